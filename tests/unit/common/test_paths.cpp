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
    EXPECT_EQ(paths::folderValue("/opt/kickora/attribute/"), "/opt/kickora/attribute/");
    EXPECT_EQ(paths::folderValue("/opt/kickora/attribute"), "/opt/kickora/attribute/");
    EXPECT_EQ(paths::folderValue("\\opt\\kickora\\wappen\\"), "/opt/kickora/wappen/");
    EXPECT_EQ(paths::folderValue(""), "");
    // No prefix: the drive letter stays, only the separators change.
    EXPECT_EQ(paths::folderValue("C:\\Spiele\\Kickora\\config\\"), "C:/Spiele/Kickora/config/");
}

TEST(Paths, DriveLettersResolveThroughDosdevices) {
    TempDir tmp;
    fs::path prefix = makePrefix(tmp / "prefix");
    ScopedPrefix scoped(prefix.string());
    ASSERT_EQ(paths::winePrefix(), prefix);

    const std::string driveC = (prefix / "drive_c").string();
    EXPECT_EQ(paths::folderValue("C:\\Spiele\\Kickora\\config\\"), driveC + "/Spiele/Kickora/config/");
    EXPECT_EQ(paths::folderValue("c:\\Spiele\\Kickora"), driveC + "/Spiele/Kickora/");
    EXPECT_EQ(paths::folderValue("C:\\"), driveC + "/");
    EXPECT_EQ(paths::folderValue("Z:\\kickora-nicht-da\\x\\"), "/kickora-nicht-da/x/");
    // A drive without a link is kept as written.
    EXPECT_EQ(paths::folderValue("Q:\\daten\\"), "Q:/daten/");

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

    // Exact name: returned as is.
    EXPECT_EQ(paths::findFile(tmp / "Wappen" / "Gross" / "Default.TGA"),
              tmp / "Wappen" / "Gross" / "Default.TGA");
    // Other case in the file name and in both folder levels.
    EXPECT_EQ(paths::findFile(tmp / "wappen" / "GROSS" / "default.tga"),
              tmp / "Wappen" / "Gross" / "Default.TGA");
    // Umlauts fold too.
    EXPECT_EQ(paths::findFile(tmp / "wappen" / "Müller.JPG"), tmp / "Wappen" / "MÜLLER.jpg");
    // A folder with trailing separator.
    EXPECT_EQ(paths::findFile(tmp / "WAPPEN" / ""), tmp / "Wappen" / "");
    // Missing: unchanged.
    EXPECT_EQ(paths::findFile(tmp / "wappen" / "fehlt.tga"), tmp / "wappen" / "fehlt.tga");
    EXPECT_EQ(paths::findFile(tmp / "nichts" / "default.tga"), tmp / "nichts" / "default.tga");
}
