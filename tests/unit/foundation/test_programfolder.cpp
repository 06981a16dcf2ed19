// Which folder the editor works in, and the first start of an installed editor from the
// installed demo world.
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/paths.h"
#include "foundation/startup.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;

namespace {

void writeFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    testsupport::writeFile(file, bytes);
}

// An installation below root: bin/ with a program, share/kickora/demo with a tiny world, all
// of it read-only as a package manager leaves it.
struct Installed {
    TempDir root;
    fs::path bin = root / "prefix/bin";
    fs::path demo = root / "prefix/share/kickora/demo";
    fs::path userData = root / "home/.local/share/kickoraeditor";

    Installed() {
        fs::create_directories(bin);
        writeFile(bin / "kickoraeditor", "program");
        writeFile(demo / "kickora.mdb", "database");
        writeFile(demo / "wappen/default.tga", "crest");
        writeFile(demo / "attribute/1.gif", "talent");
        testsupport::setWritable(root / "prefix", false);
    }
    ~Installed() { testsupport::setWritable(root / "prefix", true); }
};

bool ownerWritable(const fs::path& p) {
    return (fs::status(p).permissions() & fs::perms::owner_write) != fs::perms::none;
}

}  // namespace

TEST(ProgramFolder, OwnWritableFolderIsTheProgramFolder) {
    TempDir t;
    const fs::path exe = t / "kickora";
    fs::create_directories(exe);
    const ProgramFolderChoice r = chooseProgramFolder(exe, t / "userdata");
    EXPECT_EQ(r.dir, exe);
    EXPECT_EQ(r.error, "");
    EXPECT_FALSE(fs::exists(t / "userdata"));
    EXPECT_FALSE(paths::isInstalled(exe));
}

TEST(ProgramFolder, ReadOnlyFolderMeansInstalled) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
    TempDir t;
    const fs::path exe = t / "readonly";
    fs::create_directories(exe);
    testsupport::setWritable(exe, false);
    EXPECT_TRUE(paths::isInstalled(exe));
    EXPECT_EQ(paths::programDir(exe, t / "userdata"), t / "userdata");
    testsupport::setWritable(exe, true);
}

TEST(ProgramFolder, InstalledEditorFillsTheUserDataFolderAndLeavesThePrefixAlone) {
    Installed in;
    const std::string before = testsupport::treeListing(in.root / "prefix");
    ASSERT_TRUE(paths::isInstalled(in.bin));
    EXPECT_EQ(paths::installedDataDir(in.bin), in.root / "prefix/share/kickora");

    const ProgramFolderChoice r = chooseProgramFolder(in.bin, in.userData);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.dir, in.userData);
    EXPECT_EQ(readFile(in.userData / "kickora.mdb"), "database");
    EXPECT_EQ(readFile(in.userData / "wappen/default.tga"), "crest");
    EXPECT_EQ(readFile(in.userData / "attribute/1.gif"), "talent");
    EXPECT_FALSE(fs::exists(in.userData / "kickora.mdb.part"));
    // The installed files are read-only; the user's copies must not be.
    EXPECT_TRUE(ownerWritable(in.userData / "kickora.mdb"));
    EXPECT_TRUE(ownerWritable(in.userData / "wappen"));
    EXPECT_TRUE(ownerWritable(in.userData / "wappen/default.tga"));
    EXPECT_EQ(testsupport::treeListing(in.root / "prefix"), before);
}

// Whatever the user's folder holds already is kept: an edited database, a crest deleted on
// purpose, an own database put there before the first start, an own crest.
TEST(ProgramFolder, FilesAlreadyInTheUserFolderAreKept) {
    {
        Installed in;
        ASSERT_EQ(chooseProgramFolder(in.bin, in.userData).error, "");
        writeFile(in.userData / "kickora.mdb", "edited");
        fs::remove(in.userData / "wappen/default.tga");
        EXPECT_EQ(chooseProgramFolder(in.bin, in.userData).error, "");
        EXPECT_EQ(readFile(in.userData / "kickora.mdb"), "edited");
        EXPECT_FALSE(fs::exists(in.userData / "wappen/default.tga"));
    }
    {
        Installed in;
        writeFile(in.userData / "kickora.mdb", "the user's Jet file");
        EXPECT_EQ(chooseProgramFolder(in.bin, in.userData).error, "");
        EXPECT_EQ(readFile(in.userData / "kickora.mdb"), "the user's Jet file");
        EXPECT_FALSE(fs::exists(in.userData / "wappen"));
    }
    Installed in;
    writeFile(in.userData / "wappen/default.tga", "own crest");
    EXPECT_EQ(fillFromDemo(in.userData, in.demo), "");
    EXPECT_EQ(readFile(in.userData / "wappen/default.tga"), "own crest");
    EXPECT_EQ(readFile(in.userData / "kickora.mdb"), "database");
}

TEST(ProgramFolder, FolderThatCannotBeMadeIsReported) {
    Installed in;
    writeFile(in.root / "home/file", "x");
    const std::string error = fillFromDemo(in.root / "home/file/kickoraeditor", in.demo);
    EXPECT_NE(error.find("Der Programmordner " + (in.root / "home/file/kickoraeditor").string()), std::string::npos)
        << error;
}
