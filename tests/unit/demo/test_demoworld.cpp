// The demo world: reproducible from its seed, and consistent in every link the editor follows.
#include "common/jetdb.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "editor/foundation/schema.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

// All rows of a statement as text; NULL as "<NULL>", or with each value's storage class in front.
Rows rows(sqlite3* db, const std::string& sql, bool typed = false)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        return {};
    }
    Rows out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        Row& r = out.emplace_back();
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            auto t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            r.push_back(typed ? std::to_string(sqlite3_column_type(st, i)) + ":" + (t ? t : "") : t ? t : "<NULL>");
        }
    }
    sqlite3_finalize(st);
    return out;
}

long long number(sqlite3* db, const std::string& sql)
{
    Rows r = rows(db, sql);
    return r.empty() || r[0].empty() ? -1 : std::stoll(r[0][0]);
}

// Every row of every table with its storage class, in key order.
std::map<std::string, Rows> dump(sqlite3* db)
{
    std::map<std::string, Rows> out;
    for (const Row& t : rows(db, "SELECT name FROM sqlite_master WHERE type='table'"))
        out[t[0]] = rows(db, "SELECT * FROM \"" + t[0] + "\" ORDER BY rowid", true);
    return out;
}

std::vector<int> parseList(const std::string& s)
{
    std::vector<int> out;
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ','))
        out.push_back(std::stoi(item));
    return out;
}

struct World {
    TempDir dir;
    jet::Database db;
    sqlite3* h() const { return db.handle(); }
};

std::unique_ptr<World> makeWorld(int scale, std::uint64_t seed)
{
    auto w = std::make_unique<World>();
    const fs::path file = w->dir / "kickora.mdb";
    demo::writeDatabase(file, demo::Options{scale, seed});
    w->db = jet::Database::open(file);
    return w;
}

class DemoWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() { world = makeWorld(1, 1).release(); }
    static void TearDownTestSuite()
    {
        delete world;
        world = nullptr;
    }
    static sqlite3* db() { return world->h(); }
    static World* world;
};
World* DemoWorld::world = nullptr;

TEST_F(DemoWorld, SameSeedGivesTheSameRowsAndAnotherSeedOthers)
{
    auto again = makeWorld(1, 1);
    auto other = makeWorld(1, 2);
    const auto first = dump(db());
    EXPECT_GT(first.at("spieler").size(), 1000u);
    EXPECT_EQ(dump(again->h()), first);
    EXPECT_NE(dump(other->h()), first);
    // The other seed changes the invented world, not the game's catalogues.
    for (const char* t : {"e_attribute", "e_gesichtsfarbe", "e_trikotfarbeoriginal", "e_trikotfarbekickoranet"})
        EXPECT_EQ(rows(other->h(), std::string("SELECT * FROM ") + t), rows(db(), std::string("SELECT * FROM ") + t))
            << t;
}

TEST_F(DemoWorld, CountriesSpreadOverTheTwelveContinentsAndCountTheirClubs)
{
    const std::set<std::string> continents(schema::kContinents, schema::kContinents + schema::kContinentCount);
    std::map<std::string, int> perContinent;
    for (const Row& r : rows(db(), "SELECT NAME, NATION, KONTINENT, NATIONALTEAM, LANDNAME FROM vereine_national")) {
        EXPECT_EQ(r[0], r[1]);
        EXPECT_TRUE(continents.count(r[2])) << r[0] << ": " << r[2];
        EXPECT_EQ(r[3], "");
        EXPECT_EQ(r[4], "");
        ++perContinent[r[2]];
    }
    EXPECT_EQ(perContinent.size(), 12u) << "every continent has a country";
    const long long countries = number(db(), "SELECT count(*) FROM vereine_national");
    EXPECT_GE(countries, 35);
    EXPECT_LE(countries, 45);
    EXPECT_EQ(number(db(), "SELECT count(*) FROM vereine_national WHERE NAME='Deutschland'"), 1);
    EXPECT_EQ(number(db(), "SELECT count(DISTINCT NAME) FROM vereine_national"), countries);

    // The country table counts the clubs of each country.
    const Rows table = rows(db(), "SELECT land, kontinent, wettbewerb, teams, quali FROM e_landkontinent");
    const std::set<std::string> codes = {"CL", "CLQ", "UEFA", "UEFAQ", "UI"};
    std::set<std::string> identifiers, lands;
    int empty = 0, withoutTeam = 0;
    for (const Row& r : table) {
        const long long clubs =
            number(db(), "SELECT count(*) FROM vereine WHERE NATION = '" + r[0] + "'");
        EXPECT_EQ(std::stoll(r[3]), clubs) << r[0];
        EXPECT_TRUE(identifiers.insert(r[2]).second) << "identifier twice: " << r[2];
        EXPECT_FALSE(r[2].empty());
        EXPECT_TRUE(std::all_of(r[2].begin(), r[2].end(), [](char c) { return c >= 'A' && c <= 'Z'; })) << r[2];
        lands.insert(r[0]);
        std::stringstream q(r[4]);
        for (std::string code; std::getline(q, code, ',');)
            EXPECT_TRUE(codes.count(code)) << r[0] << ": " << code;
        if (r[3] == "0") {
            ++empty;
            if (number(db(), "SELECT count(*) FROM vereine_national WHERE NAME = '" + r[0] + "'") == 0)
                ++withoutTeam;
        }
    }
    EXPECT_GE(empty, 2);
    EXPECT_GE(withoutTeam, 1) << "a country the import has to create";
    for (const Row& r : rows(db(), "SELECT DISTINCT NATION FROM vereine"))
        EXPECT_TRUE(lands.count(r[0])) << r[0] << " has clubs but no row in the country table";
    EXPECT_EQ(number(db(), "SELECT teams FROM e_landkontinent WHERE land='Deutschland'"), 36);
    EXPECT_EQ(rows(db(), "SELECT quali FROM e_landkontinent WHERE land='Deutschland'")[0][0].substr(0, 3), "CL,");
}

TEST_F(DemoWorld, EveryLinkTheEditorFollowsHolds)
{
    const long long clubs = number(db(), "SELECT count(*) FROM vereine");
    EXPECT_GE(clubs, 380);
    EXPECT_LE(clubs, 420);
    // Each query counts the rows that break one rule of the world.
    const std::pair<const char*, const char*> rules[] = {
        {"SELECT count(*) FROM vereine WHERE NUMMER = 0", "the editor creates club 0"},
        {"SELECT count(*) FROM vereine WHERE NATION NOT IN (SELECT NAME FROM vereine_national)", "club of no country"},
        {"SELECT count(*) FROM vereine v JOIN vereine_national n ON v.NUMMER = n.NUMMER", "club and national numbers meet"},
        {"SELECT count(*) - count(DISTINCT NAME) FROM vereine", "club name twice"},
        {"SELECT (SELECT count(*) FROM spieler) - (SELECT count(*) FROM vereinspieler)", "player without team"},
        {"SELECT count(*) FROM spielerinvereine p JOIN vereine_national n ON n.NUMMER = p.verein WHERE p.NATION <> n.NAME",
         "foreigner in a national squad"},
        {"SELECT count(*) FROM (SELECT spieler FROM vereinspieler GROUP BY spieler HAVING count(*) > 1)", "player in two teams"},
        {"SELECT count(*) FROM vereinspieler WHERE spieler NOT IN (SELECT NUMMER FROM spieler)", "membership of no player"},
        {"SELECT count(*) FROM spieler WHERE \"STÄRKE\" % 1000 <> 0 OR \"MAX_STÄRKE\" % 1000 <> 0 "
         "OR \"STÄRKE\" < 0 OR \"MAX_STÄRKE\" > 12000 OR \"MAX_STÄRKE\" < \"STÄRKE\"", "strength"},
        {"SELECT count(*) FROM spieler WHERE GROESSE < 160 OR GROESSE > 210", "height"},
        {"SELECT count(*) FROM e_gesichtsfarbe WHERE farbe < 0 OR farbe > 3", "face colour tone"},
        {"SELECT count(*) - count(DISTINCT id) FROM z4spieler", "free player id twice"},
        {"SELECT count(*) FROM z4spieler WHERE name = '' OR verein = '' OR position NOT BETWEEN 0 AND 3 "
         "OR staerke % 1000 <> 0 OR staerke NOT BETWEEN 0 AND 12000", "free player values"},
        {"SELECT count(*) FROM z4spieler z LEFT JOIN e_gesichtsfarbe f ON f.Haare = (z.Gesicht / 8192) % 128 "
         "AND f.farbe = z.Gesicht % 4 WHERE f.Hautfarbe IS NULL OR f.Hautfarbe <> z.Hautfarbe OR f.Haarfarbe <> z.Haarfarbe",
         "free player's face colours"},
        {"SELECT count(*) FROM spieler s LEFT JOIN e_gesichtsfarbe f ON f.Haare = (s.GESICHT / 8192) % 128 "
         "AND f.farbe = s.GESICHT % 4 WHERE f.Hautfarbe IS NULL OR f.Hautfarbe <> s.HAUTFARBE OR f.Haarfarbe <> s.HAARFARBE",
         "player's face colours"},
        {"SELECT count(*) FROM z4spieler WHERE Land NOT IN (SELECT land FROM e_landkontinent)",
         "free player's country unknown to the import"},
        {"SELECT (SELECT count(*) FROM spielerinvereine) - (SELECT count(*) FROM spieler)", "view spielerinvereine"},
        {"SELECT (SELECT max(maxnr) FROM maxteamnr) - (SELECT max(n) FROM (SELECT NUMMER AS n FROM vereine "
         "UNION SELECT NUMMER FROM vereine_national))", "view maxteamnr"},
        {"SELECT (SELECT count(*) FROM z4spielerzufall) - (SELECT count(*) FROM z4spieler)", "view z4spielerzufall"},
        {"SELECT 1 - count(*) FROM jet_stored_queries WHERE name='z4deleteid'", "stored query z4deleteid"},
    };
    for (auto [sql, rule] : rules)
        EXPECT_EQ(number(db(), sql), 0) << rule << ": " << sql;
    EXPECT_EQ(world->db.runStoredQuery("z4deleteid"), 0) << "the demo's free players all have names";

    // Per team (clubs and national teams): 20 players, 2 goalkeepers, 6 defenders, 7 midfielders, 5 strikers.
    const Rows counts = rows(db(),
                             "SELECT verein, count(*), sum(ART=0), sum(ART=1), sum(ART=2), sum(ART=3) "
                             "FROM spielerinvereine GROUP BY verein");
    ASSERT_EQ(counts.size(), clubs + number(db(), "SELECT count(*) FROM vereine_national"));
    for (const Row& r : counts)
        EXPECT_EQ((Row{r[1], r[2], r[3], r[4], r[5]}), (Row{"20", "2", "6", "7", "5"})) << "team " << r[0];
    // Clubs have some foreigners; free players come from several clubs.
    EXPECT_GT(number(db(), "SELECT count(*) FROM spielerinvereine p JOIN vereine v ON v.NUMMER = p.verein "
                           "WHERE p.NATION <> v.NATION"),
              0);
    EXPECT_GE(number(db(), "SELECT count(*) FROM z4spieler"), 10);
    EXPECT_GT(number(db(), "SELECT count(DISTINCT verein) FROM z4spieler"), 1);
}

TEST_F(DemoWorld, NamesAndValuesGiveTheToolsWork)
{
    // Long names, umlauts, and clubs for the shirt-number check's own query (a number used twice).
    for (const char* sql : {"SELECT count(*) FROM vereine WHERE length(NAME) > 15",
                            "SELECT count(*) FROM vereine WHERE NATION='Deutschland' AND "
                            "(NAME LIKE '%ß%' OR NAME LIKE '%ü%' OR NAME LIKE '%ö%' OR NAME LIKE '%ä%')",
                            "SELECT count(*) FROM spieler WHERE NAME LIKE '%ß%' OR NAME LIKE '%ä%' OR "
                            "VORNAME LIKE '%ö%' OR VORNAME LIKE '%ü%'",
                            "SELECT count(*) FROM (SELECT DISTINCT verein FROM spielerinvereine GROUP BY verein, "
                            "Rueckennummer HAVING verein>0 AND Count(Rueckennummer)>1)"})
        EXPECT_GT(number(db(), sql), 0) << sql;
    // Every text survives the game's Windows-1252 files: no character outside that code page.
    for (const char* sql : {"SELECT NAME || VORNAME || NATION FROM spieler", "SELECT NAME || STADT || STADION_NAME FROM vereine",
                            "SELECT name || vorname || verein FROM z4spieler"}) {
        for (const Row& r : rows(db(), sql)) {
            const std::string& s = r[0];
            for (std::size_t i = 0; i < s.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(s[i]);
                if (c < 0x80)
                    continue;
                ASSERT_EQ(c, 0xC3) << s << " leaves Latin-1";  // U+00C0..U+00FF only
                ++i;
            }
        }
    }
    // No Nulls, so every config record is complete.
    for (const char* table : {"vereine", "vereine_national", "spieler", "z4spieler"}) {
        Rows all = rows(db(), std::string("SELECT * FROM ") + table);
        ASSERT_FALSE(all.empty()) << table;
        for (const Row& r : all)
            for (const std::string& v : r)
                ASSERT_NE(v, "<NULL>") << table;
    }
}

TEST_F(DemoWorld, StrengthsVaryAndFacesAreValid)
{
    EXPECT_GT(number(db(), "SELECT count(DISTINCT \"STÄRKE\") FROM spieler"), 8);

    const long long weight[5] = {67108864, 1048576, 8192, 128, 4};
    int dark = 0;
    for (const Row& r : rows(db(), "SELECT GESICHT FROM spieler")) {
        long long code = std::stoll(r[0]);
        const int skin = static_cast<int>(code % 4);
        ASSERT_TRUE(skin == 0 || skin == 1) << code;
        dark += skin;
        long long rest = code;
        for (int k = 0; k < 5; ++k) {
            const long long part = rest / weight[k];
            rest %= weight[k];
            EXPECT_LT(part, demo::kFaceParts[skin][k]) << "code " << code << " part " << k;
        }
    }
    EXPECT_GT(dark, 0);
    // one colour row per hair style and tone, enough for every hair picture and the exporter's hair numbers (up to 61)
    EXPECT_EQ(number(db(), "SELECT count(*) FROM (SELECT DISTINCT Haare, farbe FROM e_gesichtsfarbe WHERE Haare BETWEEN 0 AND " +
                               std::to_string(demo::kHairStyles - 1) + ")"),
              demo::kHairStyles * 4);
    EXPECT_EQ(number(db(), "SELECT count(*) FROM e_gesichtsfarbe"), demo::kHairStyles * 4);
    EXPECT_GE(demo::kHairStyles, std::max({demo::kFaceParts[0][2], demo::kFaceParts[1][2], 62}));
}

TEST_F(DemoWorld, TalentCatalogueAndPlayerTalentsFitTheGrid)
{
    const Rows catalogue = rows(db(), "SELECT * FROM e_attribute ORDER BY id");
    ASSERT_GE(catalogue.size(), 53u);
    auto kind = [](int index) { return index < 40 ? 'F' : index < 47 ? 'B' : index < 53 ? 'T' : 'X'; };
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const Row& r = catalogue[i];
        EXPECT_EQ(r[0], std::to_string(i + 1));
        EXPECT_FALSE(r[2].empty());
        for (int c = 3; c <= 8; ++c) {
            const int ref = std::stoi(r[c]);
            ASSERT_GE(ref, 0);
            ASSERT_LE(ref, static_cast<int>(catalogue.size()));
            if (ref == 0)
                continue;
            EXPECT_NE(ref, static_cast<int>(i + 1)) << "talent refers to itself";
            const char own = kind(static_cast<int>(i)), other = kind(ref - 1);
            // A reference is shown to the same players as the talent itself.
            EXPECT_TRUE(other == own || other == 'B') << r[2] << " -> " << catalogue[ref - 1][2];
        }
    }

    long long players = 0, withoutTalent = 0;
    for (const Row& r : rows(db(), "SELECT ART, ERLERNT, GESPERRT FROM spieler")) {
        ++players;
        const bool keeper = r[0] == "0";
        const std::vector<int> learned = parseList(r[1]), blocked = parseList(r[2]);
        if (learned.empty())
            ++withoutTalent;
        std::set<int> seen(learned.begin(), learned.end());
        EXPECT_TRUE(std::is_sorted(learned.begin(), learned.end()));
        for (int t : learned) {
            ASSERT_TRUE(keeper ? t >= 40 && t < 53 : t >= 0 && t < 47) << "ART " << r[0] << " talent " << t;
            for (int c = 3; c <= 5; ++c) {
                const int pre = std::stoi(catalogue[t][c]);
                if (pre > 0) {
                    EXPECT_TRUE(seen.count(pre - 1)) << "talent " << t << " without prerequisite " << pre - 1;
                }
            }
        }
        for (int t : blocked) {
            ASSERT_TRUE(keeper ? t >= 40 && t < 53 : t >= 0 && t < 47) << "ART " << r[0] << " blocked " << t;
            EXPECT_FALSE(seen.count(t)) << "talent " << t << " both learned and blocked";
        }
    }
    EXPECT_GT(withoutTalent * 3, players) << "many players have no talent";
    EXPECT_LT(withoutTalent, players);
    EXPECT_GT(number(db(), "SELECT count(*) FROM spieler WHERE GESPERRT <> ''"), 0);
}

bool isColour(const std::string& s)
{
    static const std::regex form(R"((  \d| \d\d|\d{3}),(  \d| \d\d|\d{3}),(  \d| \d\d|\d{3}))");
    std::smatch m;
    return std::regex_match(s, m, form) && std::stoi(m[1]) <= 255 && std::stoi(m[2]) <= 255 && std::stoi(m[3]) <= 255;
}

TEST_F(DemoWorld, JerseyTablesAreCompleteAndClubColoursFollowThem)
{
    for (const char* table : {"e_trikotfarbeoriginal", "e_trikotfarbekickoranet"}) {
        const Rows models = rows(db(), std::string("SELECT nummer, Trikot1, Trikot2, Hose, Streifen FROM ") + table +
                                           " ORDER BY nummer");
        ASSERT_EQ(models.size(), 80u) << table;
        for (int m = 0; m < 80; ++m) {
            EXPECT_EQ(models[m][0], std::to_string(m)) << table;
            for (int c = 1; c <= 4; ++c)
                EXPECT_TRUE(isColour(models[m][c])) << table << " model " << m << ": '" << models[m][c] << "'";
        }
    }
    EXPECT_NE(rows(db(), "SELECT * FROM e_trikotfarbeoriginal"), rows(db(), "SELECT * FROM e_trikotfarbekickoranet"));

    for (const char* table : {"vereine", "vereine_national"}) {
        const std::string t = table;
        EXPECT_EQ(number(db(), "SELECT count(*) FROM " + t + " WHERE AUSWEICH_TW_TRIKOT_ART <> 0"), 0);
        for (const char* model : {"TRIKOT_ART", "TW_TRIKOT_ART", "AUSWEICH_TRIKOT_ART"})
            for (const char* colours : {"e_trikotfarbeoriginal", "e_trikotfarbekickoranet"})
                EXPECT_EQ(number(db(), "SELECT count(*) FROM " + t + " WHERE " + model + " NOT IN (SELECT nummer FROM " +
                                           colours + ")"),
                          0)
                    << t << "." << model << " in " << colours;
        // The colour columns are the original set's model colours, as a save in the editor leaves them.
        EXPECT_EQ(number(db(), "SELECT count(*) FROM " + t + " v JOIN e_trikotfarbeoriginal h ON h.nummer = v.TRIKOT_ART "
                               "JOIN e_trikotfarbeoriginal a ON a.nummer = v.AUSWEICH_TRIKOT_ART "
                               "JOIN e_trikotfarbeoriginal k ON k.nummer = v.TW_TRIKOT_ART "
                               "WHERE v.F_TRIKOT_SPIELER = h.Trikot1 AND v.F_HOSE_SPIELER = h.Streifen "
                               "AND v.F_AUSW_HOSE_SPIELER = a.Trikot1 AND v.F_TRIKOT_WERBUNG = a.Hose "
                               "AND v.F_TRIKOT_TORWART = k.Trikot1 AND v.F_HOSE_TRAINER = k.Streifen"),
                  number(db(), "SELECT count(*) FROM " + t));
    }
}

TEST(DemoWorldScale, ScaleMultipliesClubsAndPlayersButNotCountries)
{
    auto one = makeWorld(1, 5);
    auto two = makeWorld(2, 5);
    EXPECT_EQ(number(two->h(), "SELECT count(*) FROM vereine"), 2 * number(one->h(), "SELECT count(*) FROM vereine"));
    EXPECT_EQ(number(two->h(), "SELECT count(*) FROM vereine_national"),
              number(one->h(), "SELECT count(*) FROM vereine_national"));
    const std::string clubPlayers = "SELECT count(*) FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine)";
    EXPECT_EQ(number(two->h(), clubPlayers), 2 * number(one->h(), clubPlayers));
    EXPECT_EQ(number(two->h(), "SELECT teams FROM e_landkontinent WHERE land='Deutschland'"), 72);
    EXPECT_EQ(number(two->h(), "SELECT count(*) FROM vereine WHERE NATION='Deutschland'"), 72);
    EXPECT_EQ(number(two->h(), "SELECT count(*) FROM vereine"), number(two->h(), "SELECT count(DISTINCT NAME) FROM vereine"));
}

TEST(DemoWorldFolder, WritesTheFoldersAndTheDatabaseButNeverOverAnother)
{
    TempDir dir;
    demo::writeProgramFolder(dir.path(), demo::Options{1, 3});
    for (const char* sub : {"attribute", "gesicht", "trikot/original", "trikot/kickoranet", "wappen", "config",
                            "resfile", "spielerbilder"})
        EXPECT_TRUE(fs::is_directory(dir / sub)) << sub;
    EXPECT_FALSE(fs::exists(dir / "kickoraeditor.ini")) << "the editor writes its settings on first start";
    EXPECT_TRUE(jet::Database::open(dir / "kickora.mdb").hasTable("spielerinvereine"));

    testsupport::writeFile(dir / "old.mdb", "not to be touched");
    EXPECT_THROW(demo::writeDatabase(dir / "old.mdb", demo::Options{}), std::exception);
    EXPECT_EQ(testsupport::readFile(dir / "old.mdb"), "not to be touched");
    EXPECT_THROW(demo::writeDatabase(dir / "zero.mdb", demo::Options{0, 1}), std::exception);
    EXPECT_FALSE(fs::exists(dir / "zero.mdb"));
}

}  // namespace
