#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <unistd.h>

#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Sets WINEPREFIX for one test and restores the previous value afterwards.
class ScopedPrefix {
public:
    explicit ScopedPrefix(const std::optional<std::string>& value) {
        if (const char* old = std::getenv("WINEPREFIX")) old_ = old;
        if (value) ::setenv("WINEPREFIX", value->c_str(), 1);
        else ::unsetenv("WINEPREFIX");
    }
    ~ScopedPrefix() {
        if (old_) ::setenv("WINEPREFIX", old_->c_str(), 1);
        else ::unsetenv("WINEPREFIX");
    }

private:
    std::optional<std::string> old_;
};

// A prefix with the usual dosdevices links: c: relative to drive_c, z: to the root.
fs::path makePrefix(const fs::path& where) {
    fs::create_directories(where / "dosdevices");
    fs::create_directories(where / "drive_c");
    fs::create_directory_symlink("../drive_c", where / "dosdevices" / "c:");
    fs::create_directory_symlink("/", where / "dosdevices" / "z:");
    return where;
}

}  // namespace

TEST(Paths, ProgramDirIsTheTestExecutablesFolder) {
    fs::path dir = paths::programDir();
    EXPECT_TRUE(fs::exists(dir / "test_paths"));
}

TEST(Paths, FolderValueConvertsSeparatorsAndEndsWithSlash) {
    ScopedPrefix none(std::string("/nonexistent-prefix-for-test"));
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/kickora/attribute/", "/opt/kickora/attribute/"}, {"/opt/kickora/attribute", "/opt/kickora/attribute/"},
        {"\\opt\\kickora\\wappen\\", "/opt/kickora/wappen/"}, {"", ""},
        {"C:\\Spiele\\Kickora\\config\\", "C:/Spiele/Kickora/config/"}};  // no prefix: only the separators change
    for (auto [value, want] : cases) EXPECT_EQ(paths::folderValue(value), want) << value;
}

TEST(Paths, DriveLettersResolveThroughDosdevices) {
    TempDir tmp;
    fs::path prefix = makePrefix(tmp / "prefix");
    ScopedPrefix scoped(prefix.string());
    ASSERT_EQ(paths::winePrefix(), prefix);

    const std::string driveC = (prefix / "drive_c").string();
    const std::pair<const char*, std::string> cases[] = {
        {"C:\\Spiele\\Kickora\\config\\", driveC + "/Spiele/Kickora/config/"}, {"c:\\Spiele\\Kickora", driveC + "/Spiele/Kickora/"},
        {"C:\\", driveC + "/"}, {"Z:\\kickora-nicht-da\\x\\", "/kickora-nicht-da/x/"},
        {"Q:\\daten\\", "Q:/daten/"}};  // a drive without a link is kept as written
    for (const auto& [value, want] : cases) EXPECT_EQ(paths::folderValue(value), want) << value;

    // The folder on disk differs in letter case from the Windows value: the real one is used.
    fs::create_directories(prefix / "drive_c" / "spiele" / "kickora" / "Config");
    EXPECT_EQ(paths::folderValue("C:\\Spiele\\Kickora\\config\\"),
              driveC + "/spiele/kickora/Config/");
}

TEST(Paths, WinePrefixFallsBackToHomeAndIsEmptyWhenMissing) {
    TempDir tmp;
    const char* oldHome = std::getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    {
        ScopedPrefix unset(std::nullopt);
        ::setenv("HOME", tmp.path().c_str(), 1);
        EXPECT_TRUE(paths::winePrefix().empty());
        fs::create_directory(tmp / ".wine");
        EXPECT_EQ(paths::winePrefix(), tmp / ".wine");
    }
    {
        ScopedPrefix missing((tmp / "no-such-prefix").string());
        EXPECT_TRUE(paths::winePrefix().empty());
    }
    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1);
    else ::unsetenv("HOME");
}

TEST(Paths, FindFileIgnoresLetterCaseOfFilesAndFolders) {
    TempDir tmp;
    fs::create_directories(tmp / "Wappen" / "Gross");
    writeFile(tmp / "Wappen" / "Gross" / "Default.TGA", "x");
    writeFile(tmp / "Wappen" / "MÜLLER.jpg", "y");

    // exact; other case in the name and both folder levels; umlauts; a folder; missing: unchanged
    const std::pair<fs::path, fs::path> cases[] = {
        {"Wappen/Gross/Default.TGA", "Wappen/Gross/Default.TGA"}, {"wappen/GROSS/default.tga", "Wappen/Gross/Default.TGA"},
        {"wappen/Müller.JPG", "Wappen/MÜLLER.jpg"}, {"WAPPEN/", "Wappen/"},
        {"wappen/fehlt.tga", "wappen/fehlt.tga"}, {"nichts/default.tga", "nichts/default.tga"}};
    for (const auto& [asked, want] : cases) EXPECT_EQ(paths::findFile(tmp.path() / asked), tmp.path() / want) << asked;
}
