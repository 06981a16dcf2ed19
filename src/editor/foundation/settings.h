#pragma once
// Settings of the editor (kickoraeditor.ini in the program folder): the folder table and
// the jersey-set selector, read once at start-up.
#include <array>
#include <filesystem>
#include <string>

class Registry;

// Indices of the folder table; other parts index it by number.
enum Folder : int {
    FolderAttribute = 0,
    FolderGesicht = 1,
    FolderTrikot0 = 2,
    FolderTrikot1 = 3,
    FolderWappen = 4,
    FolderKickoradaten = 5,
    FolderZ4daten = 6,
    FolderKickoraconfig = 7,
    FolderKickorares = 8,
    FolderKickoraspieler = 9,
};

struct Settings {
    std::filesystem::path programDir;
    std::filesystem::path iniFile;       // programDir / "kickoraeditor.ini"
    std::array<std::string, 10> folders; // each ends with '/'; file names are appended directly
    int satz = 0;                        // jersey set: 0 original, 1 Kickoranet
    std::string error;                   // German message when reading or writing failed, else empty

    std::filesystem::path databasePath() const { return programDir / "kickora.mdb"; }
    const std::string& jerseyFolder() const { return folders[FolderTrikot0 + (satz ? 1 : 0)]; }
};

// The keys of section "ordner", in folder-table order.
extern const std::array<const char*, 10> kFolderKeys;

// Reads the settings file of programDir; on the first run (no file) writes it with defaults,
// taking the game folder from the registry value Work_Dir. An existing file is never rewritten.
// Failures end up in Settings::error; the settings then hold the defaults.
Settings readSettings(const std::filesystem::path& programDir, const Registry& registry);

// Stores the jersey-set selector (0 or 1; anything non-zero counts as 1) and writes it to the
// file at once. Returns a German error message, empty on success.
std::string writeSatz(Settings& settings, int value);
