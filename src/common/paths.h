#pragma once
// Program folder, folder values of the settings, case-insensitive file lookup.
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace paths {

// Folder of the running executable.
std::filesystem::path programDir();

// The programs' installed data beside an installed executable: exeDir/../share/kickora.
std::filesystem::path installedDataDir(const std::filesystem::path& exeDir);

// True when the executable runs from an installed tree: its folder is not writable, or the
// installed data lie beside it (root may write anywhere, so writability alone does not tell).
bool isInstalled(const std::filesystem::path& exeDir);

// The program folder: exeDir for a program run from a folder of its own, else userDataDir.
std::filesystem::path programDir(const std::filesystem::path& exeDir, const std::filesystem::path& userDataDir);

// A folder value from the settings as a path ending in '/': '\' becomes '/', a Windows
// drive letter is resolved through the Wine prefix's dosdevices links when a prefix exists.
// Without a prefix (or a link for that drive) the drive letter stays, as "C:/Spiele/".
// A folder missing under its exact name is looked up case-insensitively. "" stays "".
std::string folderValue(std::string_view stored);

// The file itself when it exists; else a file of the same name in another letter case in
// the same folder (folders looked up the same way); else the path unchanged.
std::filesystem::path findFile(const std::filesystem::path& file);

// findFile for many names of one folder: the folder is listed once, on the first name that
// is missing under its exact spelling.
class FolderLookup {
public:
    explicit FolderLookup(const std::filesystem::path& folder);
    // folder / name when it exists; else the entry of that name in another letter case; else
    // folder / name unchanged.
    std::filesystem::path find(const std::string& name) const;

private:
    std::filesystem::path folder_;
    mutable bool listed_ = false;
    mutable std::unordered_map<std::string, std::string> entries_;  // folded name -> entry name
};

// The Wine prefix used for drive letters and registry files: $WINEPREFIX, else ~/.wine.
// Empty when it does not exist.
std::filesystem::path winePrefix();

}  // namespace paths
