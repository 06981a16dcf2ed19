#pragma once
// The database check: what the game or the editor would trip over, by kind. Reads only.
#include <string>
#include <vector>

namespace jet { class Database; }

namespace dbcheck {

inline constexpr const char* kTitle = "Datenbank prüfen";
inline constexpr int kSquadSize = 20;

enum class Kind {
    Squad,          // a club without exactly 20 players
    NoClub,         // a player in no club and no national team
    TwoClubs,       // a player in more than one club, or twice in one
    NumberTwice,    // a player number used by more than one row
    Strength,       // strength above maximum strength
    Nation,         // a nation name without a national team
    JerseyColours,  // a jersey model in use without a readable row in a colour table
    Crest,          // a crest number in use without a crest file
    NameLength,     // a name longer than its field
};
inline constexpr Kind kKinds[] = {Kind::Squad,    Kind::NoClub,        Kind::TwoClubs, Kind::NumberTwice, Kind::Strength,
                                  Kind::Nation,   Kind::JerseyColours, Kind::Crest,    Kind::NameLength};

// What a finding's number stands for (and what a click on it selects).
enum class Target { Club, Country, Player };

struct Finding {
    Kind kind = Kind::Squad;
    Target target = Target::Club;
    long long number = 0;
    std::string text;  // German, one line
};

// Short name of a kind for the command line ("kader", "ohne-verein", ...).
const char* kindKey(Kind kind);
// Heading of a kind in the window.
const char* kindTitle(Kind kind);

// Every finding, by kind in the order of kKinds. Club memberships count in clubs (vereine,
// the transfer market included); a national team's squad only saves its players from being
// "in no club", since club players may also play for their country. Crest files are looked
// up in crestFolder (ending in '/'); an empty crestFolder skips the crest check. Throws jet::Error.
std::vector<Finding> check(jet::Database& db, const std::string& crestFolder);

}  // namespace dbcheck
