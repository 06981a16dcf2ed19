#pragma once
// The Zentor 4 source database, read once into memory: countries, leagues, clubs, teams,
// stadiums and players, and the browser's views of them (tree, counters, club, national
// team and player pages). The source is never written; every view and export of a run
// answers from this model.
#include "zdecode.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RandomSource;
namespace jet { class Database; }

namespace zexp {

using Id = std::int64_t;

struct Country {
    Id id = 0;
    std::string name;
    Id continent = 0;  // 1..6
};

struct League {
    Id id = 0;
    std::string name;
    Id country = 0;
};

// VEREIN: a club (or a national team, whose VEREIN_ID is the country number).
struct Club {
    Id id = 0, country = 0;
    std::string name, kurzform, kuerzel, city, amateurStadium;
    Id stadium = 0, firstTeam = 0, amateurTeam = 0;
    std::array<std::int64_t, 12> colours{};  // home shirt/shorts/socks main+second, then away
};

struct Team {
    Id id = 0, country = 0, league = 0;
    std::string playerList;  // "12,15,19," (NULL reads as empty)
};

struct Stadium {
    Id id = 0;
    std::string name;
    std::int64_t laufbahn = 0;
    std::array<std::int64_t, 14> blocks{};
};

// A row of the player queries: only players whose STAAT names a country. Columns that
// are NULL in the source are empty optionals.
struct Player {
    Id id = 0, staat = 0;
    std::optional<std::string> vorname, name, countryName;
    std::string stageName;  // KNSTLRNAME, trimmed; empty = none
    std::optional<std::int64_t> position, shirt, contract, tes, tet, typus, hairType, hairColour;
};

// Result of the club queries for a first team or an amateur team.
struct ClubRow {
    bool amateur = false;
    std::string countryName, longName, shortName, city, stadiumName;
    std::array<std::int64_t, 12> colours{};
    Id stadium = 0;
};

// Result of the national team query.
struct NationalRow {
    std::string countryName, name, kuerzel;
    std::array<std::int64_t, 12> colours{};
};

enum class NodeKind { Root, Continent, Country, NoLeague, League, Team };

struct TreeNode {
    std::string key, text, parentKey;  // parentKey empty for the root
    NodeKind kind = NodeKind::Root;
    Id number = 0;  // country (Country, NoLeague, League), league (League), team (Team)
};

struct Counters {
    long nationalteams = 0, vereine = 0, spieler = 0, amateurvereine = 0;
    // Label texts: "Nationalteams:41", "Vereine:512", "Spieler:9000", "Amateurvereine:120".
    std::string nationalteamsText() const;
    std::string vereineText() const;
    std::string spielerText() const;
    std::string amateurvereineText() const;
};

// Club page.
struct TeamView {
    std::string longName, shortName, stadium, city, country;
    std::array<Rgb, 6> home{}, away{};
    long seated = 0, standing = 0;
};

// Entry of lstspieler: text and item data.
struct PlayerEntry {
    std::string text;
    Id id = 0;
};

// Player page, already as the controls show it.
struct PlayerView {
    std::string nr, name, vorname, country;
    int strengthIndex = -1;  // into "0.0 Sterne".."6.0 Sterne"; -1 unknown, larger steps shown as 12
    int positionIndex = -1;  // into "Tor".."Sturm"; -1 unknown or outside 0..3
    std::string einsatz, rueckennummer, hautfarbe, haartyp;  // haartyp empty when the codes are out of range
};

// Index line of a multi-club run: team number, club name as in the tree, league name.
struct IndexRow {
    Id team = 0;
    std::string clubName;
    std::string leagueName;  // empty in the no-league part
};

// Start-up: zentor4.mdb in the program folder (any letter case), else nullopt and the window
// asks with kDatabaseFilter; without a choice it shows kNoDatabaseMessage ("Information") and ends.
std::optional<std::filesystem::path> defaultDatabase(const std::filesystem::path& programDir);
inline constexpr const char* kDatabaseFilter = "Zentor Datenbank (*.dat;*.mdb)|*.dat;*.mdb";
inline constexpr const char* kNoDatabaseMessage = "Keine Datenbank ausgewählt Programm wird beendet!";

const char* positionWord(std::int64_t position);  // "Tor".."Sturm", nullptr outside 0..3
const char* continentName(Id continent);          // "Europa".."Ozeanien", nullptr outside 1..6

class Source {
public:
    // Opens a Zentor database recognised by its first bytes: a Jet file goes through the
    // Jet import into a temporary SQLite file, an SQLite file is read directly. Throws
    // jet::Error with a German message.
    static Source open(const std::filesystem::path& file);
    // The same on a file's bytes: an SQLite file is read in memory, anything else goes
    // through a temporary file and open().
    static Source openBytes(std::string_view bytes);
    // Reads an open database.
    static Source read(jet::Database& db);

    Source();
    ~Source();
    Source(Source&&) noexcept;
    Source& operator=(Source&&) noexcept;

    // The model.
    const std::vector<Country>& countries() const;  // by name
    const std::vector<League>& leagues() const;     // by country, then league number
    const std::vector<Club>& clubs() const;         // by name
    const std::vector<Player>& players() const;     // by position, then name
    const Country* country(Id id) const;
    const Team* team(Id id) const;
    const Stadium* stadium(Id id) const;

    // Browser.
    const std::vector<TreeNode>& tree() const;  // in insertion order: parents before children
    const TreeNode* node(std::string_view key) const;
    Counters counters() const;
    // nullopt: nothing to fill (negative team number or no club row found).
    std::optional<TeamView> showteam(Id nr) const;
    std::optional<TeamView> showland(Id nr) const;
    std::vector<PlayerEntry> showspielerliste(Id nr) const;
    std::vector<PlayerEntry> showspielerliste2(Id nr) const;
    // One draw of rnd for the hair number; nullopt for a negative number or an unknown player.
    std::optional<PlayerView> showplayer(Id nr, RandomSource& rnd) const;

    // Queries of the exporter.
    std::optional<ClubRow> firstTeamClub(Id team) const;
    std::optional<ClubRow> amateurClub(Id team) const;
    std::optional<NationalRow> nationalTeam(Id country) const;
    std::optional<Capacity> stadiumCapacity(Id stadium) const;  // nullopt: no STADION row

    enum class ListState { NoTeam, Blank, Listed };
    // Players of a team's player list, in query order.
    std::vector<const Player*> teamPlayers(Id team, ListState* state = nullptr) const;
    std::vector<const Player*> countryPlayers(Id country) const;
    std::optional<std::string> countryName(Id country) const;
    std::vector<const League*> leaguesOf(Id country, std::optional<Id> league = std::nullopt) const;
    // Teams in the leagues of a country (optionally one league), ordered by team number.
    std::vector<IndexRow> leagueTeams(Id country, std::optional<Id> league, bool amateur) const;
    // Teams of a country's clubs outside any league (TEAM.LIGA 0), ordered by team number.
    std::vector<IndexRow> noLeagueTeams(Id country, bool amateur) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Team numbers in a player list text: the numbers separated by commas; anything that is not
// a whole number is left out.
std::vector<Id> parsePlayerList(std::string_view list);

}  // namespace zexp
