#pragma once
// The club editor without the window: loading a national team, club or the transfer market
// into the editor's fields, checking the typed numbers, and saving.
#include <array>
#include <functional>
#include <string>

class Dao;
struct ProgressSink;
namespace jet { class Database; }

namespace clubeditor {

// Entry kinds, as the editor and the tree pass them.
enum Kind : int { KindNational = 0, KindClub = 1, KindTransferMarket = 2 };

// The fields of the tab "Land/Verein", as text the way the user sees and types them.
struct Team {
    std::string nummer;     // txttnr
    std::string name;       // txtteamlang
    std::string kurzname;   // txtteamkurz
    std::string grafnr;     // txtgrafnr
    std::string stadion;    // txtstadion
    std::string stadt;      // txtstadt
    std::string land;       // cboland
    std::string kontinent;  // cbokontinent (national teams)
    std::string sitz;       // txtsitz
    std::string steh;       // txtsteh
    std::array<long long, 3> trikot{};  // jersey models: home, away, goalkeeper
    bool found = false;     // showteam: the row exists
};

// Reads one entry (showteam). A missing row gives found = false and empty fields. Throws jet::Error.
Team showteam(Dao& dao, long long number, Kind kind);

// The placeholder entry of a new country (showlandnew) or club (showteamnew); parentText is the
// text of the tree node above it (the continent, or the country).
Team showlandnew(long long number, const std::string& parentText);
Team showteamnew(long long number, const std::string& parentText);

// The table of an entry kind.
const char* tableOf(Kind kind);

// A typed whole number: optional blanks around, optional sign, digits, within 32 bits.
bool parseWholeNumber(const std::string& text, long long& value);

struct SaveRequest {
    Kind kind = KindClub;     // national team or club; the transfer market is never saved
    bool isNew = false;       // the entry exists only in the tree so far
    long long number = 0;     // the entry's number (from its tree key)
    Team team;
};

// Checks a save before anything is written: the number fields (team number, crest number, seats,
// standing places) must be whole numbers, and a new entry's team number must be free. Returns a
// German message naming the field, empty when the save may go ahead.
std::string check(Dao& dao, const SaveRequest& request);

// Writes the colours of the chosen jersey models after the row is written (inside the same
// transaction): database, entry number, table name.
using JerseyColours = std::function<void(jet::Database&, long long, const char*)>;

struct SaveResult {
    long long number = 0;      // the saved entry's number
    std::string key;           // its tree key ("L12", "T345")
    int playersCreated = 0;    // a new club gets its squad
};

// Saves a checked request in one transaction: a new entry's row is inserted first (a new club
// with its 20 placeholder players), a renamed national team carries its new name to every
// player and club of the old name, then the row is updated and the jersey colours applied.
// Throws jet::Error; then nothing was written.
SaveResult save(Dao& dao, const SaveRequest& request, ProgressSink& progress, const JerseyColours& colours = {});

}  // namespace clubeditor
