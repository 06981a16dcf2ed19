#pragma once
// Team files (.tea, written by the editor's "&Speichern..."): a club's columns in section
// "Team" under their own names and one section "Spieler" + k per player. Opening one writes
// the club into the database as a new club of a country or over an existing club, always
// with 20 players; values missing from the file get the column defaults.
#include "importerror.h"
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct ProgressSink;
namespace jet { class Database; }

namespace imp {

inline constexpr int kTeamPlayers = 20;
inline constexpr const char* kNewClubStatus = "Erstelle Verein...";
inline constexpr const char* kReplaceClubStatus = "Aktualisiere Verein...";

// Club columns as the team file names them (NUMMER first), and player columns.
extern const std::vector<std::string> kTeamClubColumns;
extern const std::vector<std::string> kTeamPlayerColumns;

// A team file's values, read once. Number columns that hold no number get their default
// ("0"; RUECKENNUMMER "1"), numbers beyond the column's type are pulled into its range; text
// columns are taken as written.
struct TeamFile {
    std::filesystem::path path;
    std::string title;                // file name less its extension
    std::string nation;               // Team key "Nation": the country the dialog proposes
    std::vector<std::string> club;    // per kTeamClubColumns
    int playerSections = 0;           // "Spieler" + k sections present
    // Player section k (0-based: "Spieler" + (k + 1)) per kTeamPlayerColumns; the defaults
    // when the file has no such section.
    std::vector<std::string> player(int k) const;

    std::vector<std::vector<std::string>> players;  // up to the highest section present
};
// Throws Error when the file does not exist or cannot be read.
TeamFile loadTeamFile(const std::filesystem::path& file);
struct ImportFile;
TeamFile readTeamFile(const ImportFile& in);

// Option 0: a new club (number = greatest maxnr + 1) in `country` (a NAME or NATION of
// vereine_national, else Error) with 20 new players numbered after the greatest player
// number. One transaction. Returns the new club number (the tree selects "T" + number).
long long importTeamAsNew(jet::Database& db, const TeamFile& file, std::string_view country, ProgressSink& progress);
// Option 1: overwrites club `club` and its player rows in the order vereinspieler delivers
// them, the k-th row with section k (rows beyond the file's sections get the defaults).
// Error when the club does not exist. One transaction.
void importTeamOver(jet::Database& db, const TeamFile& file, long long club, ProgressSink& progress);

}  // namespace imp
