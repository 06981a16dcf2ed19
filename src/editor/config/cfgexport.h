#pragma once
// Export of the database into the game's club and player files, and of one club with its
// players into a team file (.tea). No windows here: the export dialog shows the save-file
// dialog with the texts below, disables the main window and calls exportConfig; the file
// menu's "&Speichern..." calls writeTeamFile with the selected tree node's key.
#include "cfgformat.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace jet { class Database; }
struct ProgressSink;

namespace cfg {

inline constexpr const char* kExportDialogTitle = "Kickora Config exportieren";
inline constexpr const char* kConfigFileFilter =
    "Kickora Vereine (1_tm.cfg)|*.cfg|Kickora Spieler (1_sp.cfg)|*.cfg";
inline constexpr const char* kConfigFileName = "*.cfg";

// The filter entry chosen in the file dialog (1-based, as the dialog counts).
enum class ConfigFile { Clubs = 1, Players = 2 };

// Whether the file dialog returned a file: neither empty nor the proposed "*.cfg" itself.
bool configFileChosen(const std::filesystem::path& file);

// Header blocks with the database's last club number (greatest maxnr of maxteamnr) and last
// player number (greatest NUMMER of spieler); 0 for an empty table.
std::string clubHeader(jet::Database& db, const DateTime& now);
std::string playerHeader(jet::Database& db, const DateTime& now);

// The SPIELER key line of a club: its player numbers from vereinspieler in database order,
// quoted and joined by ","; the key alone when it has none. Ends with CR LF.
std::string playerListLine(jet::Database& db, long long club);

// The whole club file (vereine, then vereine_national) or player file as the file's
// Windows-1252 bytes. Status texts "Exportiere Vereine...", "Exportiere Nationalteams...",
// "Exportiere Spieler...", the percentage per row; the status text is cleared at the end.
// Throws Error or jet::Error.
std::string clubFileBytes(jet::Database& db, const DateTime& now, ProgressSink& progress);
std::string playerFileBytes(jet::Database& db, const DateTime& now, ProgressSink& progress);

// Write the files (Windows-1252, through a temporary file: a failed export leaves the old file).
void writeClubFile(jet::Database& db, const std::filesystem::path& file, const Clock& clock,
                   ProgressSink& progress);
void writePlayerFile(jet::Database& db, const std::filesystem::path& file, const Clock& clock,
                     ProgressSink& progress);

// The export command once the dialog returned a file: the writer of the chosen filter entry.
// Throws Error or jet::Error with the German message to show; the status text is cleared
// whatever happens.
void exportConfig(jet::Database& db, const std::filesystem::path& file, ConfigFile which, const Clock& clock,
                  ProgressSink& progress);

// The club number of a tree node key ("T12", "L5"): the key without its first character;
// nullopt for the root, continents and items not saved yet ("T12_").
std::optional<long long> teamFileClubNumber(std::string_view nodeKey);

// Writes the team file of a club: a comment header, section "Team" with the row of vereine
// and then vereine_national of that number (the second replacing the first), and sections
// "Spieler1", "Spieler2", ... with the club's players (STÄRKE and MAX_STÄRKE as STAERKE and
// MAX_STAERKE). A file already there is replaced. Status text "Speichere Verein...", cleared
// at the end. Throws Error or jet::Error.
void writeTeamFile(jet::Database& db, const std::filesystem::path& file, long long club, const Clock& clock,
                   ProgressSink& progress);

}  // namespace cfg
