#pragma once
// The editor's start-up without a window: settings, database preparation and opening.
// Every step runs even when an earlier one failed; the messages tell the window what happened.
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/dao.h"
#include "foundation/settings.h"

class Registry;

struct StartupResult {
    Settings settings;
    std::string statusText;            // for status panel 1 (e.g. that a Jet file was converted)
    std::vector<std::string> errors;   // German messages to show, in order
};

// Reads the settings (writing them on the first run), converts a Jet-format kickora.mdb and
// opens the database into dao.
StartupResult runStartup(const std::filesystem::path& programDir, const Registry& registry, Dao& dao);

// The folder the editor works in and what went wrong preparing it (German, empty when nothing).
struct ProgramFolderChoice {
    std::filesystem::path dir;
    std::string error;
};

// The executable's own folder; for an installed editor userDataDir instead, filled from the
// installed demo world on its first start. Nothing is ever written beside an installed executable.
ProgramFolderChoice chooseProgramFolder(const std::filesystem::path& exeDir, const std::filesystem::path& userDataDir);

// First start in dir (neither settings file nor database there): copies the demo world of
// demoDir into it. Files already there are kept; the copies are the user's to write. Returns a
// German message when the folder could not be prepared, else empty.
std::string fillFromDemo(const std::filesystem::path& dir, const std::filesystem::path& demoDir);

// "Kickora Editor": the program's title without the version (the About box)
std::string programName();
// "Kickora Editor 1.1.4": the window title
std::string programTitle();
// The address shown after the title in status panel 3.
std::string projectAddress();
