// The demo world's database: countries with national squads, clubs with 20 players each,
// the game's catalogues and a few free players. Every draw comes from one seeded source in
// a fixed order, so a seed always gives the same rows.
#include "demoworld.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "common/random.h"
#include "demodata.h"
#include "demoicons.h"
#include "demonames.h"
#include "demopictures.h"
#include "editor/foundation/schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace demo {

namespace {

constexpr int kSquad = 20;
constexpr int kPositionOfSlot[kSquad] = {0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
constexpr int kForeignPercent = 15;
constexpr int kDuplicateShirtPercent = 6;
constexpr int kFreePlayersPerScale = 25;
constexpr int kFreePlayersPerSourceClub = 5;

// One prepared statement, bound column by column and run once per row.
class Insert {
public:
    Insert(sqlite3* db, const std::string& sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
            fail();
    }
    ~Insert() { sqlite3_finalize(st_); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    Insert& operator()(long long v)
    {
        sqlite3_bind_int64(st_, ++col_, v);
        return *this;
    }
    Insert& operator()(int v) { return (*this)(static_cast<long long>(v)); }
    Insert& operator()(const std::string& s)
    {
        sqlite3_bind_text(st_, ++col_, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& operator()(const char* s) { return (*this)(std::string(s)); }
    Insert& null()
    {
        sqlite3_bind_null(st_, ++col_);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(st_) != SQLITE_DONE)
            fail();
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        col_ = 0;
    }

private:
    [[noreturn]] void fail() { throw jet::Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db_)); }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    int col_ = 0;
};

std::string insertSql(const char* table, int columns)
{
    std::string sql = std::string("INSERT INTO ") + table + " VALUES (";
    for (int i = 0; i < columns; ++i)
        sql += i ? ",?" : "?";
    return sql + ")";
}

// At most max characters (not bytes) of UTF-8 text, with a dot when cut.
std::string shortName(const std::string& s, std::size_t max)
{
    std::size_t chars = 0, i = 0, cut = std::string::npos;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            continue;
        if (chars == max - 1)
            cut = i;
        if (++chars > max)
            return s.substr(0, cut) + ".";
    }
    return s;
}

std::string joinList(const std::vector<int>& v)
{
    std::string out;
    for (int x : v) {
        if (!out.empty())
            out += ',';
        out += std::to_string(x);
    }
    return out;
}

class Generator {
public:
    Generator(jet::Database& db, const Options& o, ProgressSink& progress)
        : sql_(db.handle()),
          rnd_(o.seed),
          scale_(o.scale),
          progress_(progress),
          player_(sql_, insertSql("spieler", 17)),
          member_(sql_, insertSql("vereinspieler", 2))
    {
    }

    void run()
    {
        progress_.status("Erzeuge Spieldaten...");
        writeCatalogues();
        writeTeams();
        writeCountryTable();
        writeFreePlayers();
        progress_.percent(100);
    }

private:
    void writeCatalogues()
    {
        Insert attr(sql_, insertSql("e_attribute", 9));
        int id = 1;
        for (const Talent& t : talents()) {
            attr(id++)(t.group)(t.name);
            for (int v : t.voraus)
                attr(v);
            for (int s : t.schutz)
                attr(s);
            attr.run();
        }

        Insert face(sql_, insertSql("e_gesichtsfarbe", 4));
        for (int hair = 0; hair < kHairStyles; ++hair)
            for (int tone = 0; tone < 4; ++tone) {
                FaceColour c = faceColour(hair, tone);
                face(hair)(tone)(c.hautfarbe)(c.haarfarbe).run();
            }

        const char* jerseyTables[2] = {"e_trikotfarbeoriginal", "e_trikotfarbekickoranet"};
        for (int set = 0; set < 2; ++set) {
            Insert jersey(sql_, insertSql(jerseyTables[set], 5));
            for (int m = 0; m < kJerseyModels; ++m) {
                JerseyColours c = jerseyColours(set, m);
                jersey(m)(c.trikot1)(c.trikot2)(c.hose)(c.streifen).run();
            }
        }
    }

    struct Jersey {
        int home, keeper, away;
    };

    Jersey drawJersey()
    {
        Jersey j;
        j.home = static_cast<int>(rnd_.below(kFirstGoalkeeperModel));
        j.away = static_cast<int>(rnd_.below(kFirstGoalkeeperModel - 1));
        if (j.away >= j.home)
            ++j.away;
        j.keeper = kFirstGoalkeeperModel + static_cast<int>(rnd_.below(kJerseyModels - kFirstGoalkeeperModel));
        return j;
    }

    // The twelve colour columns: the three models' colours of the original set, as the
    // editor writes them after a save.
    void bindColours(Insert& ins, const Jersey& j)
    {
        for (int model : {j.home, j.away, j.keeper}) {
            JerseyColours c = jerseyColours(0, model);
            ins(c.trikot1)(c.trikot2)(c.hose)(c.streifen);
        }
    }

    int roundTo(int value, int step) { return value / step * step; }

    static std::string klima(int countryIndex, int continentIndex)
    {
        int a = 60 + 10 * ((continentIndex * 7) % 5) + (countryIndex % 4) * 3;
        int b = 100 + (continentIndex * 13 + countryIndex * 5) % 60;
        int c = 400 + (continentIndex * 97 + countryIndex * 31) % 600;
        return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c);
    }

    static int continentIndex(const char* name)
    {
        for (int i = 0; i < schema::kContinentCount; ++i)
            if (std::string(name) == schema::kContinents[i])
                return i;
        return 1;
    }

    void writeTeams()
    {
        const auto& list = countries();
        int clubsTotal = 0;
        for (const Country& c : list)
            clubsTotal += c.clubs * scale_;
        const int teamsTotal = static_cast<int>(list.size()) + clubsTotal;
        int done = 0;

        Insert national(sql_, insertSql("vereine_national", 32));
        int number = 1;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Country& c = list[i];
            const Region region = static_cast<Region>(c.region);
            const double level = 3.5 + c.level * 0.75;
            Jersey j = drawJersey();
            national(number)(c.name)(shortName(c.name, 12))(number);
            national(std::to_string(static_cast<int>(level * 10)))("0")("");
            national(stadiumName(region, c.capital, rnd_))(c.capital)(klima(static_cast<int>(i), continentIndex(c.continent)));
            national(c.name)(c.continent);
            national(roundTo(25000 + c.level * 4000 + static_cast<int>(rnd_.below(20000)), 500));
            national(roundTo(static_cast<int>(rnd_.below(15000)), 500));
            national(j.home)(j.keeper)(j.away)(0);
            bindColours(national, j);
            national("")("");
            national.run();
            addSquad(number, static_cast<int>(i), level, false);
            ++number;
            report(++done, teamsTotal);
        }

        Insert club(sql_, insertSql("vereine", 28));
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Country& c = list[i];
            const Region region = static_cast<Region>(c.region);
            const int n = c.clubs * scale_;
            for (int rank = 0; rank < n; ++rank) {
                // Half-star level of a typical player: the country's strength, the best clubs
                // of a league one and a half levels above it, the last ones as far below.
                const double level = 1.0 + c.level * 0.75 + 1.5 * (1.0 - 2.0 * rank / std::max(1, n - 1));
                std::string town, name;
                for (int attempt = 0;; ++attempt) {
                    town = townName(region, rnd_);
                    name = clubName(region, town, rnd_);
                    if (attempt >= 20)
                        name += " " + std::to_string(attempt);
                    if (clubNames_.insert(name).second)
                        break;
                }
                Jersey j = drawJersey();
                club(number)(name)(shortName(town, 12))(number);
                club(std::to_string(static_cast<int>(std::max(0.0, level) * 10)))(std::to_string(rank + 1))("");
                club(stadiumName(region, town, rnd_))(town)(c.name);
                club(roundTo(2000 + c.level * 2500 + static_cast<int>(rnd_.below(12000)), 100));
                club(rnd_.below(4) == 0 ? 0 : roundTo(1000 + static_cast<int>(rnd_.below(c.level * 2000)), 100));
                club(j.home)(j.keeper)(j.away)(0);
                bindColours(club, j);
                club.run();
                addSquad(number, static_cast<int>(i), level, true);
                ++number;
                report(++done, teamsTotal);
            }
        }
    }

    void report(int done, int total)
    {
        int p = done * 95 / std::max(1, total);
        if (p != lastPercent_) {
            lastPercent_ = p;
            progress_.percent(p);
        }
    }

    std::vector<int> shirtNumbers()
    {
        static const int keeperNumbers[] = {12, 22, 25, 30, 33};
        std::vector<int> numbers(kSquad);
        numbers[0] = 1;
        numbers[1] = keeperNumbers[rnd_.below(std::size(keeperNumbers))];
        std::vector<int> pool;
        for (int k = 2; k <= 40; ++k)
            if (k != numbers[1])
                pool.push_back(k);
        for (int s = 2; s < kSquad; ++s) {
            std::size_t pickIndex = rnd_.below(pool.size());
            numbers[s] = pool[pickIndex];
            pool.erase(pool.begin() + static_cast<long>(pickIndex));
        }
        // Now and then two players share a number, so the shirt-number check has work.
        if (static_cast<int>(rnd_.below(100)) < kDuplicateShirtPercent) {
            int a = 2 + static_cast<int>(rnd_.below(kSquad - 2));
            int b = 1 + static_cast<int>(rnd_.below(kSquad - 1));
            if (b == a)
                b = a == 1 ? 2 : a - 1;
            numbers[a] = numbers[b];
        }
        return numbers;
    }

    // Learned and blocked talents for a position: many players have none; a learned
    // talent comes with its prerequisites, a blocked one is never learned or needed.
    void drawTalents(int art, std::string& learnedText, std::string& blockedText)
    {
        const auto& all = talents();
        const int lo = art == 0 ? kFirstSharedTalent : 0;
        const int hi = art == 0 ? kShownTalents : kFirstGoalkeeperTalent;
        std::vector<bool> learned(kShownTalents, false), blocked(kShownTalents, false);

        if (rnd_.below(100) >= 55) {
            int want = 1 + static_cast<int>(rnd_.below(4));
            for (int tries = 0; want > 0 && tries < 12; ++tries) {
                int t = lo + static_cast<int>(rnd_.below(hi - lo));
                if (learned[t])
                    continue;
                bool ready = true;
                for (int v : all[t].voraus)
                    if (v > 0 && !learned[v - 1])
                        ready = false;
                if (!ready)
                    continue;
                learned[t] = true;
                --want;
            }
        }
        if (rnd_.below(100) >= 80) {
            int want = 1 + static_cast<int>(rnd_.below(2));
            for (int tries = 0; want > 0 && tries < 8; ++tries) {
                int t = lo + static_cast<int>(rnd_.below(hi - lo));
                if (learned[t] || blocked[t])
                    continue;
                bool needed = false;
                for (int u = lo; u < hi; ++u)
                    if (learned[u])
                        for (int v : all[u].voraus)
                            if (v == t + 1)
                                needed = true;
                if (needed)
                    continue;
                blocked[t] = true;
                --want;
            }
        }
        std::vector<int> l, b;
        for (int t = 0; t < kShownTalents; ++t) {
            if (learned[t])
                l.push_back(t);
            if (blocked[t])
                b.push_back(t);
        }
        learnedText = joinList(l);
        blockedText = joinList(b);
    }

    struct Face {
        long long code;
        FaceColour colour;
    };

    // Within the picture counts of the skin colour, as the import draws them.
    Face drawFace(Region region)
    {
        const int skin = static_cast<int>(rnd_.below(100)) < darkSkinPercent(region) ? 1 : 0;
        int parts[5];
        for (int k = 0; k < 5; ++k)
            parts[k] = static_cast<int>(rnd_.below(kFaceParts[skin][k]));
        return {faceCode(parts, skin), faceColour(parts[2], skin)};
    }

    int otherCountry(int home)
    {
        const int n = static_cast<int>(countries().size());
        int c = static_cast<int>(rnd_.below(n - 1));
        return c >= home ? c + 1 : c;
    }

    int strengthLevel(double level)
    {
        double a = rnd_.next();
        double b = rnd_.next();
        double c = rnd_.next();
        double spread = (a + b + c - 1.5) * 2.0;
        long v = std::lround(level + spread);
        return static_cast<int>(std::clamp(v, 0L, 12L));
    }

    // A national squad holds players of its own country; clubs have a few foreigners.
    void addSquad(int team, int countryIndex, double level, bool foreigners)
    {
        const auto& list = countries();
        std::vector<int> shirts = shirtNumbers();
        for (int slot = 0; slot < kSquad; ++slot) {
            const int art = kPositionOfSlot[slot];
            int nation = countryIndex;
            if (foreigners && static_cast<int>(rnd_.below(100)) < kForeignPercent)
                nation = otherCountry(countryIndex);
            const Country& c = list[nation];
            const Region region = static_cast<Region>(c.region);

            std::string surname = demo::surname(region, rnd_);
            std::string first = firstName(region, rnd_);
            int s = strengthLevel(slot == 1 ? level - 1.5 : level);
            int max = std::min(12, s + static_cast<int>(rnd_.below(5)));
            static const int heightBase[4] = {185, 178, 168, 172};
            static const int heightRange[4] = {15, 18, 19, 23};
            int height = heightBase[art] + static_cast<int>(rnd_.below(heightRange[art]));
            int rest = 40 + static_cast<int>(rnd_.below(121));
            int posY = art == 0 ? 2 : static_cast<int>(rnd_.below(5));
            Face face = drawFace(region);
            std::string learned, blocked;
            drawTalents(art, learned, blocked);

            const long long number = nextPlayer_++;
            player_(number)(surname)(first)(s * 1000)(max * 1000)(c.name)(height)(art)(rest)(art)(posY)(shirts[slot]);
            player_(face.code)(face.colour.hautfarbe)(face.colour.haarfarbe)(learned)(blocked);
            player_.run();
            member_(team)(number).run();
        }
    }

    void writeCountryTable()
    {
        Insert row(sql_, insertSql("e_landkontinent", 6));
        int id = 1;
        for (const Country& c : countries())
            if (c.clubs > 0)
                row(id++)(c.name)(c.continent)(c.competition)(c.clubs * scale_)(c.qualification).run();
        for (const Country& c : countries())
            if (c.clubs == 0)
                row(id++)(c.name)(c.continent)(c.competition)(0)(c.qualification).run();
        for (const Country& c : countriesWithoutTeam())
            row(id++)(c.name)(c.continent)(c.competition)(0)(c.qualification).run();
    }

    // Free players as the import of exporter files leaves them: full first names, strength
    // in whole levels, faces within the import's ranges, clubs of the other game.
    void writeFreePlayers()
    {
        Insert row(sql_, "INSERT INTO z4spieler (name, vorname, Land, verein, position, staerke, Restspiele, "
                         "Rueckennummer, Gesicht, Hautfarbe, Haarfarbe) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
        const auto& list = countries();
        const auto& extra = countriesWithoutTeam();
        const int count = kFreePlayersPerScale * scale_;
        std::set<std::string> sourceClubs;
        std::string club;
        for (int i = 0; i < count; ++i) {
            if (i % kFreePlayersPerSourceClub == 0) {
                Region r = static_cast<Region>(list[rnd_.below(list.size())].region);
                do
                    club = clubName(r, townName(r, rnd_), rnd_);
                while (!sourceClubs.insert(club).second);
            }
            const Country& c = rnd_.below(10) == 0 ? extra[rnd_.below(extra.size())] : list[rnd_.below(list.size())];
            const Region region = static_cast<Region>(c.region);
            std::string surname = demo::surname(region, rnd_);
            std::string first = firstName(region, rnd_);
            const int position = kPositionOfSlot[rnd_.below(kSquad)];
            Face face = drawFace(region);
            row(surname)(first)(c.name)(club)(position)(static_cast<int>(rnd_.below(13)) * 1000);
            row(55 * (1 + static_cast<int>(rnd_.below(4))))(1 + static_cast<int>(rnd_.below(40)));
            row(face.code)(face.colour.hautfarbe)(face.colour.haarfarbe);
            row.run();
        }
    }

    sqlite3* sql_;
    RandomSource rnd_;
    int scale_;
    ProgressSink& progress_;
    Insert player_;
    Insert member_;
    std::set<std::string> clubNames_;
    long long nextPlayer_ = 1;
    int lastPercent_ = -1;
};

}  // namespace

void writeDatabase(const fs::path& dbFile, const Options& options, ProgressSink* progress)
{
    if (options.scale < 1)
        throw jet::Error("Der Maßstab der Demowelt muss mindestens 1 sein.");
    std::error_code ec;
    if (fs::exists(dbFile, ec))
        throw jet::Error("Die Datei " + dbFile.string() + " existiert bereits.");
    NullProgress none;
    ProgressSink& sink = progress ? *progress : none;
    try {
        jet::Database db = jet::Database::open(dbFile, true);
        jet::Transaction t(db);
        schema::createGameTables(db);
        Generator(db, options, sink).run();
        // Indexes after the rows: one sort each instead of a tree update per row.
        schema::createGameIndexes(db);
        t.commit();
    } catch (...) {
        fs::remove(dbFile, ec);
        throw;
    }
}

void writeProgramFolder(const fs::path& dir, const Options& options, ProgressSink* progress)
{
    for (const char* sub : {"attribute", "gesicht", "trikot/original", "trikot/kickoranet", "wappen", "config",
                            "resfile", "spielerbilder"})
        fs::create_directories(dir / sub);
    writeTalentIcons(dir / "attribute");
    writeDatabase(dir / "kickora.mdb", options, progress);
    writePictures(dir, options);
}

}  // namespace demo
