#pragma once
// The Jet functions (Format, InStr, Val, ...) and the NOCASE collation, registered into
// SQLite. Translated statements call them as jet_* functions; the record sets convert
// values with the same rules, so a field reads as the SQL functions see it.
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;

namespace jet {

// Makes the functions and the collation available on every SQLite connection the process
// opens from now on, also those opened without jet::Database. Runs when a program linking
// this layer starts (and again, harmlessly, from jetsql::translate and Database::open).
void installSqlFunctions();
// Registers them on one connection.
void registerFunctions(sqlite3* db);

// Reals as VB prints them: '.', up to 15 significant digits, no trailing zeros.
std::string formatReal(double v);
// Leading number of a text as VB's lenient reading does: blanks skipped, a sign,
// digits with '.' and an exponent; nothing numeric gives 0.
double parseLeadingNumber(std::string_view s);
// Rounded half to even, saturated at the int64 range.
std::int64_t roundHalfEven(double v);
// Lower-case key of a name for case-insensitive lookups, umlauts included.
std::string foldKey(std::string_view s);

}  // namespace jet
