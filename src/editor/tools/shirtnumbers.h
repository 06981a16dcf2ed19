#pragma once
// The shirt-number check without the window: the clubs in which players share a shirt number,
// the player list of one club with the shared numbers marked, and the new number's save.
#include <string>
#include <vector>

struct ProgressSink;
namespace jet { class Database; }

namespace shirtnumbers {

inline constexpr const char* kTitle = "Rückennummer";
// Only this many entries of a club's list are looked at for a marker.
inline constexpr int kCheckedEntries = 20;

struct Club {
    long long number = 0;
    std::string name;                 // the club's or, failing that, the national team's name
    std::vector<long long> shirts;    // the shirt numbers used more than once, ascending
};

// Every club (the transfer market excluded) with a shirt number used more than once, by club
// number. One percent step per club. Throws jet::Error.
std::vector<Club> findClubs(jet::Database& db, ProgressSink& progress);

struct Entry {
    long long player = 0;
    std::string text;     // marker, shirt number, " ", name, ", ", first name
    bool marked = false;  // same shirt number as the entry before
};

// The players of a club by shirt number. Throws jet::Error.
std::vector<Entry> playerEntries(jet::Database& db, long long club);

// Whether one of the first kCheckedEntries entries carries the marker.
bool hasMarker(const std::vector<Entry>& entries);

// The player's stored shirt number as text ("" when none). Throws jet::Error.
std::string shirtNumber(jet::Database& db, long long player);

// Saves a typed shirt number. Blank, 0 or a negative number change nothing; a number that is
// not whole or too large changes nothing and gives a German message. Returns the message,
// empty when the input was accepted; *written says whether a number was stored. Throws jet::Error.
std::string setShirtNumber(jet::Database& db, long long player, const std::string& typed, bool* written = nullptr);

}  // namespace shirtnumbers
