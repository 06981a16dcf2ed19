// `cmake --install` into a temporary prefix: what lands there, the desktop entries, and the
// installed editor started from the read-only prefix.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;
using testsupport::TempDir;

namespace {

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// A prefix with the build's installation in it.
struct Installation {
    TempDir dir;
    fs::path prefix = dir / "prefix";

    Installation() {
        int status = -1;
        const std::string out = runCommand(std::string(KICKORA_CMAKE) + " --install " + quoted(KICKORA_BUILD_DIR) +
                                               " --prefix " + quoted(prefix) + " 2>&1",
                                           &status);
        EXPECT_EQ(status, 0) << out;
    }
    ~Installation() {
        if (fs::exists(prefix)) testsupport::setWritable(prefix, true);
    }
};

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> desktopEntry(const fs::path& file) {
    std::map<std::string, std::string> keys;
    std::istringstream in(readFile(file));
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (line.starts_with("[")) inGroup = line == "[Desktop Entry]";
        const auto eq = line.find('=');
        if (inGroup && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

bool executable(const fs::path& p) {
    return fs::is_regular_file(p) && (fs::status(p).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

bool sqliteFile(const fs::path& p) { return readFile(p).starts_with(std::string("SQLite format 3\0", 16)); }

}  // namespace

TEST(InstallTree, HoldsTheProgramsTheirDesktopEntriesIconsAndTheDemoWorld) {
    Installation in;
    const fs::path& p = in.prefix;

    std::vector<std::string> programs;
    for (const auto& e : fs::directory_iterator(p / "bin")) programs.push_back(e.path().filename().string());
    std::sort(programs.begin(), programs.end());
    EXPECT_EQ(programs, (std::vector<std::string>{"kickoraeditor", "kickoratool", "zexporter"}));
    for (const std::string& name : programs) EXPECT_TRUE(executable(p / "bin" / name)) << name;

    struct Expected {
        const char* program;
        const char* name;
        const char* comment;
        const char* pngSize;
    };
    for (const Expected& x :
         {Expected{"kickoraeditor", "Kickora Editor",
                   "Länder, Vereine, Spieler, Talente, Trikots und Wappen des Fußballmanagers Kickora bearbeiten",
                   "64x64"},
          Expected{"zexporter", "Zentor Exporter",
                   "Vereine, Ligen und Länder aus der Datenbank von Zentor 4 als Exporterdateien für den Kickora "
                   "Editor schreiben",
                   "24x24"}}) {
        const fs::path desktop = p / "share/applications" / (std::string(x.program) + ".desktop");
        ASSERT_TRUE(fs::exists(desktop)) << desktop;
        auto keys = desktopEntry(desktop);
        EXPECT_EQ(keys["Type"], "Application");
        EXPECT_EQ(keys["Name"], x.name);
        EXPECT_EQ(keys["Exec"], x.program);
        EXPECT_EQ(keys["Icon"], x.program);
        EXPECT_TRUE(keys["Categories"].starts_with("Game;")) << keys["Categories"];
        EXPECT_EQ(keys["Comment"], x.comment);
        EXPECT_TRUE(executable(p / "bin" / keys["Exec"]));

        const fs::path svg = p / "share/icons/hicolor/scalable/apps" / (std::string(x.program) + ".svg");
        EXPECT_TRUE(readFile(svg).starts_with("<svg")) << svg;
        const fs::path png = p / "share/icons/hicolor" / x.pngSize / "apps" / (std::string(x.program) + ".png");
        EXPECT_TRUE(readFile(png).starts_with("\x89PNG")) << png;
        EXPECT_TRUE(fs::exists(p / "share/icons/hicolor/16x16/apps" / (std::string(x.program) + ".png")));
    }

    const fs::path demo = p / "share/kickora/demo";
    EXPECT_TRUE(sqliteFile(demo / "kickora.mdb"));
    EXPECT_TRUE(fs::exists(demo / "wappen/default.tga"));
    EXPECT_FALSE(fs::exists(demo / "kickoraeditor.ini"));  // written by the editor for its own folder
}

TEST(InstallTree, DesktopEntriesPassDesktopFileValidate) {
    if (runCommand("command -v desktop-file-validate").empty())
        GTEST_SKIP() << "desktop-file-validate fehlt (Paket desktop-file-utils)";
    Installation in;
    for (const char* name : {"kickoraeditor.desktop", "zexporter.desktop"}) {
        int status = -1;
        const std::string out =
            runCommand("desktop-file-validate " + quoted(in.prefix / "share/applications" / name) + " 2>&1", &status);
        EXPECT_EQ(status, 0) << name << ":\n" << out;
        EXPECT_EQ(out, "") << name;  // no warnings or hints either
    }
}

// The real program from a read-only prefix with a fresh home: it fills the user's data folder,
// keeps running with its window, and the prefix stays as it was.
TEST(InstalledEditor, StartsFromAReadOnlyPrefixAndWritesNothingThere) {
    Installation in;
    const fs::path home = in.dir / "home";
    const fs::path data = in.dir / "data";
    fs::create_directories(home);
    fs::permissions(home, fs::perms::owner_all);  // as a runtime folder must be
    testsupport::setWritable(in.prefix, false);
    const std::string before = testsupport::treeListing(in.prefix);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::unsetenv("WINEPREFIX");
        const fs::path exe = in.prefix / "bin/kickoraeditor";
        ::execl(exe.c_str(), "kickoraeditor", static_cast<char*>(nullptr));
        std::_Exit(127);
    }

    // The settings file is written after the copy of the world and before the window shows.
    const fs::path folder = data / "kickoraeditor";
    bool exited = false;
    int status = 0;
    bool started = false;
    for (int i = 0; i < 1200 && !exited; ++i) {  // a hang guard, not a time limit on the start
        if (fs::exists(folder / "kickoraeditor.ini") && fs::exists(folder / "kickora.mdb")) {
            started = true;
            break;
        }
        exited = ::waitpid(pid, &status, WNOHANG) == pid;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!exited) {
        // Still running with its window: a start that failed would have ended or hung in a box.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        exited = ::waitpid(pid, &status, WNOHANG) == pid;
        if (!exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
    }
    EXPECT_TRUE(started);
    EXPECT_FALSE(exited) << "the editor ended by itself, status " << status;

    EXPECT_TRUE(sqliteFile(folder / "kickora.mdb"));
    EXPECT_TRUE(fs::exists(folder / "wappen/default.tga"));
    EXPECT_NE(readFile(folder / "kickoraeditor.ini").find("wappen=" + (folder / "wappen").string() + "/"),
              std::string::npos)
        << readFile(folder / "kickoraeditor.ini");
    EXPECT_EQ(testsupport::treeListing(in.prefix), before);
}
