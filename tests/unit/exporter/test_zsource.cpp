#include "common/collation.h"
#include "common/jetdb.h"
#include "common/random.h"
#include "demo/zentordemo.h"
#include "exporter/zmenu.h"
#include "exporter/zsource.h"
#include "testsupport.h"
#include "zminisource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace zexp;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

struct Mini : ::testing::Test {
    TempDir dir;
    fs::path file = dir / "zentor4.mdb";
    Source src;
    void SetUp() override {
        zmini::write(file);
        src = Source::open(file);
    }
};

std::vector<std::string> texts(const std::vector<PlayerEntry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list) out.push_back(e.text + "#" + std::to_string(e.id));
    return out;
}

std::string rgb(const Rgb& c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

// A club page as one line: names, seats, standing places, then home and away colours.
std::string page(const std::optional<TeamView>& v) {
    if (!v) return "<keine>";
    std::string s = v->longName + "|" + v->shortName + "|" + v->stadium + "|" + v->city + "|" + v->country + "|" +
                    std::to_string(v->seated) + "|" + std::to_string(v->standing);
    for (const auto* colours : {&v->home, &v->away})
        for (const Rgb& c : *colours) s += "|" + rgb(c);
    return s;
}

// A player page as one line, in the order of the controls.
std::string page(const std::optional<PlayerView>& p) {
    if (!p) return "<keine>";
    return p->nr + "|" + p->name + "|" + p->vorname + "|" + p->country + "|" + std::to_string(p->strengthIndex) + "|" +
           std::to_string(p->positionIndex) + "|" + p->einsatz + "|" + p->rueckennummer + "|" + p->hautfarbe + "|" +
           p->haartyp;
}

}  // namespace

TEST_F(Mini, TreeKeysTextsParentsInOrder) {
    std::vector<std::string> got;
    for (const TreeNode& n : src.tree()) got.push_back(n.key + "|" + n.text + "|" + n.parentKey);
    const std::vector<std::string> want = {
        "Zentor|Zentor|",
        "K1|Europa|Zentor", "K2|Afrika|Zentor", "K3|Asien|Zentor", "K4|Südamerika|Zentor",
        "K5|Mittel-Nordamerika|Zentor", "K6|Ozeanien|Zentor",
        // countries by name; Neuland has no continent 1..6 and no place in the tree
        "L2|Brasilien|K4", "P0L2|(keine Liga)|L2", "T17|Amigos|P0L2",
        "L1|Deutschland|K1", "P0L1|(keine Liga)|L1", "P10L1|Bundesliga|L1", "P11L1|Regional/Nord|L1",
        // first teams by club name, then amateur teams; a club without TEAM row is left out
        "T13|Blau/Weiß Au|P10L1", "T11|FC Adler|P10L1", "T-16|Minus FC|P11L1", "T14|Zebra SV|P0L1",
        "T12|FC Adler II|P0L1", "T15|Zebra SV II|P0L1",
    };
    EXPECT_EQ(got, want);
    ASSERT_NE(src.node("T-16"), nullptr);
    EXPECT_EQ(src.node("T-16")->number, -16);
    EXPECT_EQ(src.node("P10L1")->kind, NodeKind::League);
    EXPECT_EQ(src.node("L3"), nullptr);

    const NodeContext ctx = nodeContext(src, "T12");
    EXPECT_EQ(ctx.parent.key, "P0L1");
    EXPECT_EQ(ctx.grandparent.text, "Deutschland");
    EXPECT_EQ(nodeContext(src, "L1").grandparent.key, "Zentor");
    EXPECT_TRUE(nodeContext(src, "K1").grandparent.key.empty());
}

TEST_F(Mini, Counters) {
    const Counters c = src.counters();
    EXPECT_EQ(c.nationalteamsText(), "Nationalteams:3");
    EXPECT_EQ(c.vereineText(), "Vereine:8");
    EXPECT_EQ(c.spielerText(), "Spieler:10");  // the player without a country counts here
    EXPECT_EQ(c.amateurvereineText(), "Amateurvereine:2");
}

TEST_F(Mini, ClubAndNationalTeamPages) {
    const auto adler = src.showteam(11);
    ASSERT_TRUE(adler);
    EXPECT_EQ(page(adler).rfind("FC Adler|Adler|Adlerpark|Adlerstadt|Deutschland|4000|3000|255,255,129|0,0,0|52,86,120|0,0,5|", 0),
              0u)
        << page(adler);
    EXPECT_EQ(rgb(adler->away[0]) + " " + rgb(adler->away[1]) + " " + rgb(adler->away[5]), "255,0,0 255,255,255 0,0,3");
    // amateur team: "2" appended, the amateur stadium's name, the club's seats
    EXPECT_EQ(page(src.showteam(12)).rfind("FC Adler2|Adler2|Adlerwiese|Adlerstadt|Deutschland|4000|", 0), 0u);
    EXPECT_NE(page(src.showteam(13)).find("|2200|75000|"), std::string::npos);  // stadium with track
    EXPECT_EQ(page(src.showteam(-16)), "<keine>");  // negative: only the player list
    EXPECT_EQ(texts(src.showspielerliste(-16)), std::vector<std::string>{"Max Spieler (Abwehr)#9"});
    EXPECT_EQ(page(src.showteam(999)), "<keine>");

    EXPECT_EQ(page(src.showland(1)).rfind("Deutschland|GER|Nationalstadion|Hauptstadt|Deutschland|40000|20000|255,255,129|", 0),
              0u)
        << page(src.showland(1));
    EXPECT_EQ(page(src.showland(3)), "<keine>");  // no VEREIN row for that country
}

TEST_F(Mini, PlayerLists) {
    // By position, then name; stage names alone; the player of no country is dropped.
    EXPECT_EQ(texts(src.showspielerliste(11)),
              (std::vector<std::string>{"Hans Müller (Tor)#1", "Karl Abel (Abwehr)#3", "Zico (Sturm)#2"}));
    EXPECT_EQ(texts(src.showspielerliste(12)),
              (std::vector<std::string>{"Emil Acker (Mittelfeld)#6", "Paul Bauer (Mittelfeld)#5"}));
    EXPECT_TRUE(src.showspielerliste(15).empty());  // blank list
    EXPECT_TRUE(src.showspielerliste(18).empty());  // no TEAM row
    // Country: everyone of STAAT 1 but the one whose position has no word.
    EXPECT_EQ(texts(src.showspielerliste2(1)),
              (std::vector<std::string>{"Hans Müller (Tor)#1", "Karl Abel (Abwehr)#3", "Max Spieler (Abwehr)#9",
                                        "Emil Acker (Mittelfeld)#6", "Paul Bauer (Mittelfeld)#5",
                                        "Udo Lang (Sturm)#8"}));
    EXPECT_TRUE(src.showspielerliste2(77).empty());
}

TEST_F(Mini, PlayerPage) {
    RandomSource rnd(1);
    const std::pair<Id, const char*> cases[] = {
        {2, "2|Zico|.|Brasilien|9|3|165|10|1|5"},
        {1, "1|Müller|Hans|Deutschland|6|0|110|1|0|4"},  // goalkeeper: tet 349 / 50; hair colour 255 reads as 4
        {3, "3|Abel|Karl|Deutschland|10|1||4|0|"},        // NULL contract; hair type 11 has no list
        {-2, "<keine>"}, {4, "<keine>"}};                // no country: not in the player query
    for (auto [id, want] : cases) EXPECT_EQ(page(src.showplayer(id, rnd)), want) << id;
    // A contract whose remaining matches the game cannot store shows nothing.
    TempDir tmp;
    zmini::write(tmp / "z.mdb");
    jet::Database::open(tmp / "z.mdb").executeNative("UPDATE SPIELER SET VERTRAGSLAUFZEIT=9223372036854775807 WHERE SPIELER_ID=1");
    EXPECT_EQ(page(Source::open(tmp / "z.mdb").showplayer(1, rnd)), "1|Müller|Hans|Deutschland|6|0||1|0|4");
    ASSERT_TRUE(src.showplayer(7, rnd));
    EXPECT_EQ(src.showplayer(7, rnd)->positionIndex, -1);
}

TEST(PlayerList, Parsing) {
    const std::pair<const char*, std::vector<Id>> cases[] = {
        {"12,15,19,", {12, 15, 19}}, {"12,15,19", {12, 15, 19}},  // with and without the trailing comma
        {" 7 , 8 ,", {7, 8}}, {"  ", {}}, {"1,x);DROP,2,", {1, 2}}};
    for (const auto& [text, want] : cases) EXPECT_EQ(parsePlayerList(text), want) << text;
}

TEST(SourceOpen, RecognisesFilesByContent) {
    TempDir dir;
    EXPECT_THROW(Source::open(dir / "fehlt.mdb"), jet::Error);
    testsupport::writeFile(dir / "text.mdb", "kein Datenbankinhalt");
    try {
        Source::open(dir / "text.mdb");
        FAIL();
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("keine Zentor-Datenbank"), std::string::npos);
    }
    // An SQLite source under any name is read and left as it was.
    zmini::write(dir / "quelle.dat");
    const std::string before = testsupport::readFile(dir / "quelle.dat");
    EXPECT_EQ(Source::open(dir / "quelle.dat").counters().spieler, 10);
    EXPECT_EQ(testsupport::readFile(dir / "quelle.dat"), before);

    // The same from the bytes: SQLite in memory, other bytes through the same recognition.
    const Source fromBytes = Source::openBytes(before);
    EXPECT_EQ(fromBytes.counters().spieler, 10);
    EXPECT_EQ(fromBytes.tree().size(), Source::open(dir / "quelle.dat").tree().size());
    for (const std::string& bytes : {std::string("kein Datenbankinhalt"), std::string()}) {
        try {
            Source::openBytes(bytes);
            FAIL();
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find("keine Zentor-Datenbank"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(Source::openBytes(before.substr(0, before.size() / 2)), jet::Error);  // cut short
}

TEST(SourceOpen, DefaultDatabaseInTheProgramFolder) {
    TempDir dir;
    EXPECT_FALSE(defaultDatabase(dir.path()));
    fs::create_directories(dir / "zentor4.mdb" / "x");  // a folder is no database
    EXPECT_FALSE(defaultDatabase(dir.path()));
    fs::remove_all(dir / "zentor4.mdb");
    testsupport::writeFile(dir / "Zentor4.MDB", "x");  // copied from Windows in another case
    ASSERT_TRUE(defaultDatabase(dir.path()));
    EXPECT_EQ(defaultDatabase(dir.path())->filename(), "Zentor4.MDB");
}

TEST(SourceOpen, JetFilesGoThroughTheImport) {
    // A Jet file that is not a Zentor database: it is converted and then read, so the error
    // is about the missing Zentor table; the temporary conversion is gone afterwards.
    TempDir dir;
    fs::copy_file(testsupport::fixture("jet/nwind.mdb"), dir / "nwind.mdb");
    const std::string before = testsupport::readFile(dir / "nwind.mdb");
    auto temps = [] {
        int n = 0;
        for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
            if (e.path().filename().string().rfind("zexporter-" + std::to_string(::getpid()) + "-", 0) == 0) ++n;
        return n;
    };
    try {
        Source::open(dir / "nwind.mdb");
        FAIL();
    } catch (const jet::Error& e) {
        std::string m = e.what();
        for (char& ch : m) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_NE(m.find("land"), std::string::npos) << e.what();
    }
    EXPECT_EQ(temps(), 0);
    EXPECT_EQ(testsupport::readFile(dir / "nwind.mdb"), before);
    EXPECT_THROW(Source::openBytes(before), jet::Error);
    EXPECT_EQ(temps(), 0);
}

TEST(DemoSource, TreeAndCountersAgreeWithTheDatabaseAndEveryCaseIsThere) {
    TempDir dir;
    demo::Options o;
    demo::writeZentorDatabase(dir / "z.mdb", o);
    const Source src = Source::open(dir / "z.mdb");
    jet::Database db = jet::Database::open(dir / "z.mdb", false, true);
    auto count = [&](const std::string& sql) { return db.query(sql).field(0).toInt(); };

    const Counters c = src.counters();
    EXPECT_EQ(c.nationalteams, count("SELECT count(*) FROM LAND"));
    EXPECT_EQ(c.vereine, count("SELECT count(*) FROM VEREIN"));
    EXPECT_EQ(c.spieler, count("SELECT count(*) FROM SPIELER"));
    EXPECT_EQ(c.amateurvereine, count("SELECT count(*) FROM VEREIN WHERE AMATEURTEAM<>0"));
    EXPECT_GE(c.vereine - c.nationalteams, 380);  // scale 1: about 400 clubs
    EXPECT_LE(c.vereine - c.nationalteams, 420);

    std::map<NodeKind, int> kinds;
    for (const TreeNode& n : src.tree()) {
        ++kinds[n.kind];
        if (n.kind != NodeKind::Team) continue;
        // The team node hangs under the league of its TEAM row in its club's country.
        auto rs = db.query("SELECT TEAM.LIGA, VEREIN.LAND_ID FROM VEREIN INNER JOIN TEAM ON VEREIN.LAND_ID = TEAM.LAND "
                           "AND (VEREIN.PROFITEAM = TEAM.TEAM_ID OR VEREIN.AMATEURTEAM = TEAM.TEAM_ID) WHERE TEAM.TEAM_ID = " +
                           std::to_string(n.number));
        ASSERT_FALSE(rs.eof()) << n.key;
        EXPECT_EQ(n.parentKey, "P" + rs.field(0).toString() + "L" + rs.field(1).toString());
    }
    EXPECT_EQ(kinds[NodeKind::Country], count("SELECT count(*) FROM LAND"));
    EXPECT_EQ(kinds[NodeKind::NoLeague], kinds[NodeKind::Country]);
    EXPECT_EQ(kinds[NodeKind::League], count("SELECT count(*) FROM LIGA"));
    EXPECT_EQ(kinds[NodeKind::Team], count("SELECT count(*) FROM VEREIN WHERE PROFITEAM<>0") +
                                         count("SELECT count(*) FROM VEREIN WHERE AMATEURTEAM<>0"));
    std::set<int> continents;
    std::vector<std::string> names;
    for (const Country& k : src.countries()) {
        continents.insert(static_cast<int>(k.continent));
        names.push_back(k.name);
    }
    EXPECT_EQ(continents, (std::set<int>{1, 2, 3, 4, 5, 6}));
    // countries in Jet's order: Österreich among the O-names, not after Ungarn
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), collation::Less()));
    EXPECT_LT(std::find(names.begin(), names.end(), "Österreich"), std::find(names.begin(), names.end(), "Polen"));

    // The player lists hold every club player once; the team list view agrees with the SQL join.
    auto rs = db.query("SELECT TEAM_ID, spielerliste FROM TEAM");
    for (int i = 0; !rs.eof() && i < 40; rs.moveNext(), ++i) {
        const auto ids = parsePlayerList(rs.field(1).toString());
        if (ids.empty()) continue;
        std::string in;
        for (auto id : ids) in += (in.empty() ? "" : ",") + std::to_string(id);
        const auto n = count("SELECT count(*) FROM SPIELER INNER JOIN LAND ON SPIELER.STAAT = LAND.LAND_ID "
                             "WHERE SPIELER_ID IN (" + in + ") AND MANNSCHAFTSTEIL BETWEEN 0 AND 3");
        EXPECT_EQ(static_cast<long>(src.showspielerliste(rs.field(0).toInt()).size()), n);
    }

    // It covers the cases the exporter must handle: each condition holds for some row.
    const std::string vereinTeam = "VEREIN INNER JOIN TEAM ON VEREIN.";
    const std::pair<std::string, std::string> present[] = {
        {"TEAM", "TEAM_ID < 0"}, {"TEAM", "Trim(spielerliste) = ''"},
        {vereinTeam + "PROFITEAM = TEAM.TEAM_ID", "TEAM.LIGA = 0"},
        {vereinTeam + "AMATEURTEAM = TEAM.TEAM_ID", "TEAM.LIGA = 0"},
        {vereinTeam + "AMATEURTEAM = TEAM.TEAM_ID", "TEAM.LIGA <> 0"},
        {"VEREIN", "NAME LIKE '*/*'"}, {"LIGA", "NAME LIKE '*/*'"},
        {"SPIELER", "Len(KNSTLRNAME) > 0"}, {"SPIELER", "KNSTLRNAME IS NULL"},
        {"SPIELER", "STAAT NOT IN (SELECT LAND_ID FROM LAND)"}, {"SPIELER", "HAARFARBE = 255"},
        {"SPIELER", "HAARTYPE > 10 OR HAARFARBE IN (5, 6, 7)"}, {"SPIELER", "TYPUS = 4"},
        {"SPIELER", "REFLEXE IS NULL OR SCHNELLIGKEIT IS NULL"},
        {"STADION", "LAUFBAHN"}, {"STADION", "NOT LAUFBAHN"}, {"STADION", "BLOCK_A_RAENGE = 0"}};
    for (const auto& [from, cond] : present) EXPECT_GT(count("SELECT count(*) FROM " + from + " WHERE " + cond), 0) << cond;
    for (const char* cond : {"= 0", "= 127", "< 0", "BETWEEN 1 AND 255", "BETWEEN 256 AND 1048575", ">= 1048576"})
        EXPECT_GT(count(std::string("SELECT count(*) FROM VEREIN WHERE HEIMTRIKOTHAUPTFARBE ") + cond), 0) << cond;
    EXPECT_EQ(count("SELECT count(*) FROM (SELECT DISTINCT HAARTYPE FROM SPIELER WHERE HAARTYPE <= 10)"), 11);
}

TEST(DemoSource, SameSeedSameSourceAndScaleMultiplies) {
    TempDir dir;
    demo::writeZentorDatabase(dir / "a.mdb", {1, 5});
    demo::writeZentorDatabase(dir / "b.mdb", {1, 5});
    demo::writeZentorDatabase(dir / "c.mdb", {1, 6});
    demo::writeZentorDatabase(dir / "d.mdb", {2, 5});
    auto dump = [](const fs::path& f) {
        jet::Database db = jet::Database::open(f, false, true);
        std::string s;
        for (const char* t : {"LAND", "LIGA", "VEREIN", "TEAM", "STADION", "SPIELER"}) {
            auto rs = db.query(std::string("SELECT * FROM ") + t);
            for (; !rs.eof(); rs.moveNext())
                for (int i = 0; i < rs.fieldCount(); ++i) s += rs.field(i).toString() + "|";
        }
        return s;
    };
    EXPECT_EQ(dump(dir / "a.mdb"), dump(dir / "b.mdb"));
    EXPECT_NE(dump(dir / "a.mdb"), dump(dir / "c.mdb"));
    const auto clubs1 = Source::open(dir / "a.mdb").counters(), clubs2 = Source::open(dir / "d.mdb").counters();
    EXPECT_EQ(clubs2.vereine - clubs2.nationalteams, 2 * (clubs1.vereine - clubs1.nationalteams));
    EXPECT_GT(clubs2.spieler, 19 * clubs1.spieler / 10);
    EXPECT_EQ(clubs2.nationalteams, clubs1.nationalteams);
}
