#pragma once
// Exporter files: club files (.aet) of clubs, amateur teams and national teams, league (.lig)
// and country (.lan) index files with their folder tree, and the export runs the menu starts.
// Every file is built in memory and written once; a file or folder that cannot be written is
// reported in the result, and the run goes on with the next club.
#include "zsource.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class RandomSource;
struct ProgressSink;

namespace zexp {

inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 25;
// "Zentor Exporter v0.25"
std::string programTitle();
// The legal notice of the info box and of header line 2.
std::string legalNotice();
// Text of the info box (caption "Info"): title, a line feed, the legal notice.
std::string infoText();

// Header lines 1 and 2, each ending in CR LF (UTF-8; the writer converts to Windows-1252).
// dateTime as "05.12.2026 20:41:22".
std::string tm_header(const std::string& dateTime);
// The current local date and time as "DD.MM.YYYY hh:mm:ss".
std::string currentDateTime();

struct ExportOptions {
    RandomSource* random = nullptr;   // hair draws; nullptr: a source with seed 1 for this run
    ProgressSink* progress = nullptr; // status texts and percentages; nullptr: none
    std::string dateTime;             // header time; empty: now
    // The country of a national team being written; its status text stays the target path.
    std::function<void(const std::string&)> teamName;
};

struct ExportResult {
    int clubFiles = 0;   // club files written
    int indexFiles = 0;  // .lig and .lan files written
    std::vector<std::string> errors;  // German, one line each
    bool ok() const { return errors.empty(); }
};

// Menu entry 0 on a team node: the club file of first or amateur team nr.
ExportResult exportClub(const Source& src, Id team, const std::filesystem::path& file, const ExportOptions& = {});
// Menu entry 0 on a country node: the national team file of country nr.
ExportResult exportNational(const Source& src, Id country, const std::filesystem::path& file, const ExportOptions& = {});
// Menu entry 1: lanFile with every league and the no-league group of the country, the
// country folder beside it with one .lig per league and the club folders.
ExportResult exportCountry(const Source& src, Id country, const std::filesystem::path& lanFile, const ExportOptions& = {});
// Menu entry 2: one league of the country, or (league nullopt) its clubs outside any league;
// club folders beside ligFile.
ExportResult exportLeague(const Source& src, Id country, std::optional<Id> league, const std::filesystem::path& ligFile,
                          const ExportOptions& = {});
// Menu entry 3: one .lan and one country folder per country of the tree, in the folder of
// allFile; allFile itself is removed and not written.
ExportResult exportAllCountries(const Source& src, const std::filesystem::path& allFile, const ExportOptions& = {});
// The same into a folder, without any .all file.
ExportResult exportAllCountriesTo(const Source& src, const std::filesystem::path& dir, const ExportOptions& = {});

}  // namespace zexp
