// The Zentor 4 demo source. Covers on purpose what the exporter must cope with: clubs
// outside any league, amateur teams in and outside leagues, a team with a negative number,
// a blank player list, a club and a league with "/" in the name, stage names, hair and skin
// codes across their ranges (and a few outside them), NULL columns, players of no country,
// stadiums with and without track and colour codes of every form.
#include "zentordemo.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "common/random.h"
#include "demodata.h"
#include "demonames.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace demo {

namespace {

const char* const kSchema = R"(
CREATE TABLE LAND (LAND_ID INTEGER PRIMARY KEY, LAND_NAME VARCHAR(50) COLLATE NOCASE, KONTINENT SMALLINT,
  KUERZEL VARCHAR(3) COLLATE NOCASE);
CREATE TABLE LIGA (LIGA_ID INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE, LAND INTEGER, STUFE SMALLINT);
CREATE TABLE VEREIN (VEREIN_ID INTEGER PRIMARY KEY, LAND_ID INTEGER, NAME VARCHAR(50) COLLATE NOCASE,
  KURZFORM VARCHAR(30) COLLATE NOCASE, KUERZEL VARCHAR(5) COLLATE NOCASE, STADTNAME VARCHAR(50) COLLATE NOCASE,
  STADION INTEGER, STADIONAMATEURE VARCHAR(50) COLLATE NOCASE, PROFITEAM INTEGER, AMATEURTEAM INTEGER,
  HEIMTRIKOTHAUPTFARBE INTEGER, HEIMTRIKOTNEBENFARBE INTEGER, HEIMHOSEHAUPTFARBE INTEGER, HEIMHOSENEBENFARBE INTEGER,
  HEIMSTUTZENHAUPTFARBE INTEGER, HEIMSTUTZENNEBENFARBE INTEGER, AUSWAERTSTRIKOTHAUPTFARBE INTEGER,
  AUSWAERTSTRIKOTNEBENFARBE INTEGER, AUSWAERTSHOSEHAUPTFARBE INTEGER, AUSWAERTSHOSENEBENFARBE INTEGER,
  AUSWAERTSSTUTZENHAUPTFARBE INTEGER, AUSWAERTSSTUTZENNEBENFARBE INTEGER);
CREATE TABLE TEAM (TEAM_ID INTEGER, LAND INTEGER, LIGA INTEGER, spielerliste LONGTEXT COLLATE NOCASE);
CREATE TABLE STADION (STADION_ID INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE, LAUFBAHN BOOLEAN,
  BLOCK_A_RAENGE INTEGER, BLOCK_B_RAENGE INTEGER, BLOCK_C_RAENGE INTEGER, BLOCK_D_RAENGE INTEGER,
  BLOCK_E_RAENGE INTEGER, BLOCK_F_RAENGE INTEGER, BLOCK_G_RAENGE INTEGER, BLOCK_H_RAENGE INTEGER,
  BLOCK_I_RAENGE INTEGER, BLOCK_J_RAENGE INTEGER, BLOCK_K_RAENGE INTEGER, BLOCK_L_RAENGE INTEGER,
  BLOCK_M_RAENGE INTEGER, BLOCK_N_RAENGE INTEGER);
CREATE TABLE SPIELER (SPIELER_ID INTEGER PRIMARY KEY, VORNAME VARCHAR(30) COLLATE NOCASE,
  NAME VARCHAR(30) COLLATE NOCASE, KNSTLRNAME VARCHAR(30) COLLATE NOCASE, STAAT INTEGER, MANNSCHAFTSTEIL TINYINT,
  RUECKENNUMMER TINYINT, VERTRAGSLAUFZEIT TINYINT, SPIELINTELLIGENZ TINYINT, ZWEIKAMPF TINYINT, KOPFBALL TINYINT,
  TECHNIK TINYINT, SCHUSSKRAFT TINYINT, SCHUSSGENAUIGKEIT TINYINT, SCHNELLIGKEIT TINYINT, BALLSICHERHEIT TINYINT,
  HERAUSLAUFEN TINYINT, LUFTHOHEIT TINYINT, PARADEN TINYINT, REFLEXE TINYINT, TYPUS TINYINT, HAARTYPE TINYINT,
  HAARFARBE TINYINT);
)";

constexpr int kNoCountry = 999;  // STAAT of a few players without a LAND row

class Insert {
public:
    Insert(sqlite3* db, const char* table, int columns) : db_(db) {
        std::string sql = std::string("INSERT INTO ") + table + " VALUES (";
        for (int i = 0; i < columns; ++i) sql += i ? ",?" : "?";
        sql += ")";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK) fail();
    }
    ~Insert() { sqlite3_finalize(st_); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    Insert& operator()(long long v) {
        sqlite3_bind_int64(st_, ++col_, v);
        return *this;
    }
    Insert& operator()(int v) { return (*this)(static_cast<long long>(v)); }
    Insert& operator()(const std::string& s) {
        sqlite3_bind_text(st_, ++col_, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& null() {
        sqlite3_bind_null(st_, ++col_);
        return *this;
    }
    void run() {
        if (sqlite3_step(st_) != SQLITE_DONE) fail();
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

// Zentor's six continents from the demo world's regions.
int continentOf(const std::string& name) {
    if (name.find("Europa") != std::string::npos) return 1;
    if (name.find("Afrika") != std::string::npos) return 2;
    if (name == "Asien" || name == "Naher-Osten") return 3;
    if (name == "Süd-Amerika") return 4;
    if (name == "Nord-Amerika" || name == "Mittel-Amerika") return 5;
    return 6;  // Ozeanien, Atlantis
}

std::string cut(const std::string& s, std::size_t max) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == max) return s.substr(0, i);
    }
    return s;
}

class Generator {
public:
    Generator(sqlite3* db, const Options& o, ProgressSink& progress)
        : db_(db), rnd_(o.seed), scale_(std::max(1, o.scale)), progress_(progress),
          player_(db, "SPIELER", 23), team_(db, "TEAM", 4) {}

    void run() {
        progress_.status("Erzeuge Zentor-Datenbank...");
        const auto& list = countries();
        Insert land(db_, "LAND", 4);
        for (std::size_t i = 0; i < list.size(); ++i)
            land(static_cast<int>(i + 1))(std::string(list[i].name))(continentOf(list[i].continent))(
                std::string(list[i].competition)).run();

        Insert nat(db_, "VEREIN", 22);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const int id = static_cast<int>(i + 1);
            nat(id)(id)(std::string(list[i].name))(cut(list[i].name, 15))(std::string(list[i].competition));
            nat(std::string(list[i].capital))(0)(std::string())(0)(0);
            colours(nat);
            nat.run();
        }

        int total = 0;
        for (const Country& c : list) total += c.clubs * scale_;
        Insert liga(db_, "LIGA", 4);
        Insert club(db_, "VEREIN", 22);
        Insert stadion(db_, "STADION", 17);
        int clubId = 1000, leagueId = 0, done = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Country& c = list[i];
            const int land = static_cast<int>(i + 1);
            const Region region = static_cast<Region>(c.region);
            const int n = c.clubs * scale_;
            // Two leagues for the big countries, one for the middle ones, none for the small.
            const int leagues = c.clubs >= 16 ? 2 : c.clubs >= 8 ? 1 : 0;
            std::vector<int> leagueIds;
            for (int k = 0; k < leagues; ++k) {
                std::string name = std::to_string(k + 1) + ". Liga";
                if (i == 0 && k == 1) name = "2. Liga Nord/Süd";
                liga(++leagueId)(name)(land)(k + 1).run();
                leagueIds.push_back(leagueId);
            }
            const int outside = leagues ? std::max(1, n / 10) : n;  // clubs in no league
            for (int rank = 0; rank < n; ++rank) {
                ++clubId;
                std::string town, name;
                for (int attempt = 0;; ++attempt) {
                    town = townName(region, rnd_);
                    name = clubName(region, town, rnd_);
                    if (attempt >= 20) name += " " + std::to_string(attempt);
                    if (names_.insert(name).second) break;
                }
                if (i == 0 && rank == 1) name = "Blau/Weiß " + town;
                const int league = rank >= n - outside ? 0 : leagueIds[rank * leagues / std::max(1, n - outside)];
                // The first club of the third country plays under a negative team number.
                const int first = (i == 2 && rank == 0) ? -(++teamNr_) : ++teamNr_;
                const bool hasAmateurs = rnd_.below(100) < 35 || (i == 0 && rank < 3);
                const int amateur = hasAmateurs ? ++teamNr_ : 0;

                club(clubId)(land)(name)(cut(name, 15))(cut(town, 3));
                club(town)(clubId)("Sportplatz " + town)(first)(amateur);
                colours(club);
                club.run();
                writeStadium(stadion, clubId, region, town);

                writeTeam(first, land, league, land, region, 18 + static_cast<int>(rnd_.below(5)), false);
                if (amateur) {
                    // Amateurs mostly play outside the leagues, some in the lowest one.
                    const int amLeague = leagues && rnd_.below(3) == 0 ? leagueIds.back() : 0;
                    writeTeam(amateur, land, amLeague, land, region, 14 + static_cast<int>(rnd_.below(5)),
                              i == 0 && rank == 2);
                }
                if (++done % 16 == 0) progress_.percent(done * 99 / std::max(1, total));
            }
        }
        progress_.percent(100);
    }

private:
    // Colour codes of every form: mostly 24-bit colours, some 0, 127, negative, small and
    // middle-sized codes.
    void colours(Insert& ins) {
        for (int k = 0; k < 12; ++k) {
            const auto f = rnd_.below(100);
            long long code;
            if (f < 8) code = 0;
            else if (f < 13) code = 127;
            else if (f < 18) code = -1 - static_cast<long long>(rnd_.below(0x7FFFFFFF));
            else if (f < 24) code = 1 + static_cast<long long>(rnd_.below(0xFF));
            else if (f < 30) code = 0x100 + static_cast<long long>(rnd_.below(0xFFF00));
            else code = 0x100000 + static_cast<long long>(rnd_.below(0xF00000));
            ins(code);
        }
    }

    void writeStadium(Insert& ins, int id, Region region, const std::string& town) {
        ins(id)(stadiumName(region, town, rnd_))(rnd_.below(10) < 3 ? -1 : 0);
        for (int b = 0; b < 14; ++b) {
            if (rnd_.below(5) == 0) {  // no stand on this side
                ins(0);
                continue;
            }
            long long v = 0;
            for (int tier = 0; tier < 3; ++tier) {
                if (tier > 0 && rnd_.below(2) == 0) continue;
                const auto k = rnd_.below(20);
                const long long kind = k < 11 ? 0 : k < 18 ? 1 : k == 18 ? 2 : 3;
                const long long ranks = rnd_.below(8) == 0 ? 7 + rnd_.below(9) : 1 + rnd_.below(6);
                v |= kind << (16 - 2 * tier);
                v |= ranks << (8 - 4 * tier);
            }
            ins(v);
        }
        ins.run();
    }

    void writeTeam(int nr, int land, int league, int countryOfPlayers, Region region, int size, bool blank) {
        std::string list;
        if (!blank) {
            static const int kPositions[4] = {2, 6, 6, 4};  // minimum per position; the rest spread
            for (int k = 0; k < size; ++k) {
                int pos = 3;
                int acc = 0;
                for (int p = 0; p < 4; ++p) {
                    acc += kPositions[p];
                    if (k < acc) {
                        pos = p;
                        break;
                    }
                }
                if (k >= 18) pos = 1 + static_cast<int>(rnd_.below(3));
                list += std::to_string(writePlayer(countryOfPlayers, region, pos)) + ",";
            }
        } else {
            list = " ";
        }
        team_(nr)(land)(league)(list).run();
    }

    int writePlayer(int land, Region region, int pos) {
        const int id = ++playerId_;
        const auto& list = countries();
        int staat = land;
        Region r = region;
        const auto f = rnd_.below(1000);
        if (f < 5) {
            staat = kNoCountry;
        } else if (f < 150) {
            staat = 1 + static_cast<int>(rnd_.below(list.size()));
            r = static_cast<Region>(list[staat - 1].region);
        }
        const std::string vorname = firstName(r, rnd_), name = surname(r, rnd_);
        player_(id);
        if (rnd_.below(200) == 0) player_.null(); else player_(vorname);
        player_(name);
        const auto s = rnd_.below(100);
        if (s < 7) player_(rnd_.below(2) ? vorname : vorname + "inho");
        else if (s < 40) player_(std::string());
        else player_.null();
        player_(staat)(pos)(1 + static_cast<int>(rnd_.below(40)))(1 + static_cast<int>(rnd_.below(5)));
        const int quality = 15 + static_cast<int>(rnd_.below(111));
        for (int k = 0; k < 12; ++k) {
            if (rnd_.below(400) == 0) {
                player_.null();
                continue;
            }
            player_(std::clamp(quality - 15 + static_cast<int>(rnd_.below(31)), 1, 140));
        }
        const bool dark = static_cast<int>(rnd_.below(100)) < darkSkinPercent(r);
        static const int kLight[5] = {0, 1, 2, 3, 5};
        player_(dark ? 4 : kLight[rnd_.below(5)]);
        const auto h = rnd_.below(200);
        player_(h == 0 ? 11 + static_cast<int>(rnd_.below(3)) : static_cast<int>(rnd_.below(11)));
        const auto c = rnd_.below(200);
        player_(c < 10 ? 255 : c == 10 ? 7 : static_cast<int>(rnd_.below(5)));
        player_.run();
        return id;
    }

    sqlite3* db_;
    RandomSource rnd_;
    int scale_;
    ProgressSink& progress_;
    Insert player_, team_;
    std::set<std::string> names_;
    int teamNr_ = 0, playerId_ = 0;
};

}  // namespace

const char* zentorSchema() { return kSchema; }

void writeZentorDatabase(const fs::path& file, const Options& options, ProgressSink* progress) {
    if (fs::exists(file)) throw jet::Error("Die Datei existiert bereits: " + file.string());
    NullProgress none;
    try {
        jet::Database db = jet::Database::open(file, true);
        db.executeNative(kSchema);
        db.executeNative("BEGIN");
        {
            Generator g(db.handle(), options, progress ? *progress : none);
            g.run();
        }
        db.executeNative("COMMIT");
    } catch (...) {
        std::error_code ec;
        fs::remove(file, ec);
        throw;
    }
}

}  // namespace demo
