#pragma once
// Import of the game's club and player files into the database. No windows here: the import
// dialog shows the open-file dialog with the texts below and calls importConfig; afterwards it
// reloads the tree (clubs) or disables the player editing frame (players).
//
// An import is all or nothing: the tables are emptied and refilled inside one transaction, and
// when any record fails nothing of the import stays. The error names the file line.
// Values are bound to prepared statements, never pasted into SQL text.
#include "cfgexport.h"

#include <filesystem>

namespace jet { class Database; }
struct ProgressSink;

namespace cfg {

inline constexpr const char* kImportDialogTitle = "Öffnen ...";

// Replaces vereine, vereine_national and vereinspieler with the records of a club file.
// A record of 4 key lines is a short club, of 28 a club (both vereine), of 32 a national team
// (vereine_national); its SPIELER line gives the club's rows of vereinspieler. A record with
// another number of key lines, a key out of place, a bad number or a failing insert stops the
// import. Returns the number of records. Throws Error.
int importClubFile(jet::Database& db, const std::filesystem::path& file, ProgressSink& progress);

// Replaces spieler with the records of a player file (17 key lines each). Throws Error.
int importPlayerFile(jet::Database& db, const std::filesystem::path& file, ProgressSink& progress);

// The same two on a file's bytes held in memory; name stands for the file in messages.
int importClubBytes(jet::Database& db, std::string bytes, const std::string& name, ProgressSink& progress);
int importPlayerBytes(jet::Database& db, std::string bytes, const std::string& name, ProgressSink& progress);

// The import command once the dialog returned a file: status text "Importiere Vereine..." or
// "Importiere Spieler...", the reader of the chosen filter entry, the status text cleared
// whatever happens. Throws Error with the German message to show.
int importConfig(jet::Database& db, const std::filesystem::path& file, ConfigFile which, ProgressSink& progress);

}  // namespace cfg
