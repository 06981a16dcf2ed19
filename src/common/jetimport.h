#pragma once
// Import of a Jet/Access file (Jet 3 and Jet 4) into a new SQLite file, through libmdb.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jetimport {

enum class FileKind { Missing, Sqlite, Jet, Other };
// Recognises a file by its first bytes, never by its name.
FileKind detect(const std::filesystem::path& file);

struct Report {
    std::vector<std::string> tables;                // imported tables, in file order
    std::vector<std::string> views;                 // stored select queries that became views
    struct Query { std::string name, sql, reason; };
    std::vector<Query> keptQueries;                 // stored in jet_stored_queries, not views
};

// Reads jetFile (never written) and writes target, which must not exist yet.
// Throws jet::Error with a German message; then no target file is left behind.
// progress gets (tables done, tables total).
// The reading runs in a child process, so that a damaged file cannot take the caller down.
Report importFile(const std::filesystem::path& jetFile, const std::filesystem::path& target,
                  const std::function<void(int, int)>& progress = {});

// The same for a file's bytes held in memory (for fuzzing: no file on disk).
Report importBytes(std::string_view jetBytes, const std::filesystem::path& target,
                   const std::function<void(int, int)>& progress = {});

// A Jet date value (days since 1899-12-30; for negative values the integer part is the day
// and the fraction's absolute value the time of day) as 'YYYY-MM-DD HH:MM:SS', rounded to the
// second. Empty when the value lies outside Jet's range (years 100 to 9999).
std::string dateText(double jetDays);

// A Date/Time Extended value as stored (days since 0001-01-01, ':', seconds of the day and
// seven digits of 100 ns, then a trailer) as 'YYYY-MM-DD HH:MM:SS.fffffff'. Empty when the
// bytes are no such value.
std::string extendedDateText(std::string_view stored);

}  // namespace jetimport
