#pragma once
// The transfer market without the window: free players (table z4spieler) into the slots of
// the transfer-market club, and the two swaps of the transfer window. Every command is one
// transaction: a failure leaves the database as it was and throws jet::Error with a German
// message.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class RandomSource;
struct ProgressSink;
namespace jet { class Database; }

namespace market {

inline constexpr const char* kTitle = "Transfermarkt";
inline constexpr const char* kFillQuestion = "Freie Spieler in Tranfermarkt kopieren (Zufallsauswahl)?";
inline constexpr const char* kSaveStatus = "Speichere Spieler...";

// Whether the database has the free-player table (the name compared without case).
bool checkz4(jet::Database& db);

// A first name as the game stores it: its first character and a dot ("Karl" -> "K.").
std::string kurzvorname(std::string_view vorname);

// The new maximum strength of a free player with strength s: the level raised to even, plus an
// even random growth within the bound of the strength's range (6, 10 or 12 levels; 1000 per
// level). Strengths between the ranges count to the range above, a negative strength is drawn
// as 0, and above 12000 there is no room left: the maximum is the strength itself.
long long wachstum(long long staerke, RandomSource& rnd);

struct FillResult {
    int filled = 0;          // player rows of club 0 that got a free player
    int nationsCreated = 0;  // national teams that the country lookup had to create
};

// "&Freie Spieler": overwrites the slots of club 0 (by player number) with free players in
// random order, as many as there are of both. The free players stay where they are. Free
// players without a name are passed over; a column a free player has no value for keeps the
// slot's value. The order depends only on rnd, so a seed reproduces a run.
FillResult spielerz4_nach_tmarkt(jet::Database& db, ProgressSink& progress, RandomSource& rnd);

// One row of the two lists of the transfer window.
struct ListEntry {
    std::string key;    // "S_" + player number (free players: id)
    QString text;       // first name + " " + name
    QString position;   // "TOR", "ABW", "MIT", "STU"
    QString stars;      // "2,5 Sterne"
    long long art = 0;  // raw position code
};

// The clubs the free players came from, sorted; rows without a club are left out. Empty when
// the database has no free-player table.
std::vector<QString> freieVereine(jet::Database& db);
// The free players of club name C, and the players of club number n.
std::vector<ListEntry> freieSpieler(jet::Database& db, const QString& verein);
std::vector<ListEntry> vereinsSpieler(jet::Database& db, long long verein);
// A list key back to its number; -1 for a key that is not "S_" + number.
long long keyNumber(std::string_view key);

// Free-player mode: the game player keeps his number and club but takes over the free
// player's data; his old data become a new free player of club name `vereinText`, and the
// free player leaves the table. The number of free players stays the same.
void tauschFrei(jet::Database& db, long long freiId, long long spieler, const std::string& vereinText,
                RandomSource& rnd);

// Editor mode: player a (of club vereinA) goes to club vereinB and player b (of club vereinB) to
// club vereinA. Only the membership rows of those two clubs change.
void tauschEditor(jet::Database& db, long long a, long long vereinA, long long b, long long vereinB);

// The one club of a player (for the command line); throws when he has none or several.
long long vereinVon(jet::Database& db, long long spieler);
// A club's entry as the club lists show it: name + " (" + nation of its country + ")"; a
// national team by its name.
std::string vereinText(jet::Database& db, long long verein);

}  // namespace market
