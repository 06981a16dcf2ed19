#include "foundation/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>

#include "common/profile.h"
#include "foundation/registry.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Points WINEPREFIX at a test prefix (folder values with drive letters use it) and restores it.
class ScopedPrefix {
public:
    explicit ScopedPrefix(const fs::path& prefix) {
        if (const char* old = std::getenv("WINEPREFIX")) old_ = old;
        ::setenv("WINEPREFIX", prefix.c_str(), 1);
    }
    ~ScopedPrefix() {
        if (old_) ::setenv("WINEPREFIX", old_->c_str(), 1);
        else ::unsetenv("WINEPREFIX");
    }

private:
    std::optional<std::string> old_;
};

const std::string kRegHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";

// A Wine prefix folder with optional registry files and a c: drive.
fs::path makePrefix(const fs::path& where, const std::string& systemReg, const std::string& userReg) {
    fs::create_directories(where / "dosdevices");
    fs::create_directories(where / "drive_c");
    fs::create_directory_symlink("../drive_c", where / "dosdevices" / "c:");
    if (!systemReg.empty()) writeFile(where / "system.reg", kRegHeader + systemReg);
    if (!userReg.empty()) writeFile(where / "user.reg", kRegHeader + userReg);
    return where;
}

std::string workDirKey(const std::string& valueLine) {
    return "[Software\\\\Vandrel\\\\Kickora\\\\a_value] 1700000000\n#time=1d9a0b0c0d0e0f0\n" + valueLine + "\n\n";
}

std::string ini(const fs::path& file, const char* section, const char* key) {
    return profile::getString(section, key, "<fehlt>", file);
}

}  // namespace

// ---------------------------------------------------------------- registry

TEST(Registry, ReadsStringsNumbersAndHexFormsOfAWinePrefix) {
    TempDir tmp;
    const std::string sys =
        "[Software\\\\Vandrel\\\\Kickora\\\\a_value] 1700000000\n"
        "#time=1d9a0b0c0d0e0f0\n"
        "@=\"Standard\"\n"
        "\"Work_Dir\"=\"C:\\\\Spiele\\\\Kickora\"\n"
        "\"Quote\"=\"sagt \\\"hallo\\\"\\nzweite Zeile\"\n"
        "\"Umlaut\"=\"M\\x00fcller \\xe4\"\n"
        "\"Utf8\"=\"Müller\"\n"
        "\"Count\"=dword:0000002a\n"
        "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
        "\"HexText\"=hex(2):25,00,41,00,\\\n"
        "  25,00,00,00\n"
        "\"HexDword\"=hex(4):2a,01,00,00\n"
        "\"Blob\"=hex:01,ff,\\\n"
        "  10\n"
        "\"Broken\"=dword:xyz\n"
        "\n"
        "[Software\\\\Other] 1700000000\n"
        "\"Work_Dir\"=\"falsch\"\n";
    fs::path prefix = makePrefix(tmp / "p", sys, "");
    Registry reg(prefix);
    const std::string key = "Software\\Vandrel\\Kickora\\a_value";

    // Key path and value name ignore letter case; stray backslashes are tolerated.
    const std::string odd = "\\SOFTWARE\\vandrel\\KICKORA\\A_Value\\";
    RegValue v;
    const std::array<std::string, 3> texts[] = {  // key, name, "type:text"
        {key, "Work_Dir", "1:C:\\Spiele\\Kickora"}, {odd, "work_dir", "1:C:\\Spiele\\Kickora"}, {key, "", "1:Standard"},
        {key, "Quote", "1:sagt \"hallo\"\nzweite Zeile"}, {key, "Umlaut", "1:Müller ä"}, {key, "Utf8", "1:Müller"},
        {key, "Expand", "2:%SystemRoot%\\x"}, {key, "HexText", "2:%A%"}};
    for (const auto& [k, name, want] : texts) {
        ASSERT_EQ(reg.queryValue(Hive::LocalMachine, k, name, v), 0) << name;
        EXPECT_EQ(v.kind, RegValue::Kind::Text) << name;
        EXPECT_EQ(std::to_string(v.type) + ":" + v.text, want);
    }
    ASSERT_EQ(reg.queryValue(Hive::LocalMachine, key, "Count", v), 0);
    EXPECT_EQ(v.kind, RegValue::Kind::Number);
    EXPECT_EQ(v.number, 42u);
    ASSERT_EQ(reg.queryValue(Hive::LocalMachine, key, "HexDword", v), 0);
    EXPECT_EQ(v.number, 0x12Au);
    ASSERT_EQ(reg.queryValue(Hive::LocalMachine, key, "Blob", v), 0);
    EXPECT_EQ(v.kind, RegValue::Kind::Binary);
    EXPECT_EQ(v.bytes, (std::vector<std::uint8_t>{0x01, 0xff, 0x10}));

    // Failures leave the out value untouched.
    RegValue keep;
    keep.text = "unverändert";
    EXPECT_EQ(reg.queryValue(Hive::LocalMachine, key, "Broken", keep), Registry::ErrorInvalidData);
    EXPECT_EQ(reg.queryValue(Hive::LocalMachine, key, "Fehlt", keep), Registry::ErrorFileNotFound);
    EXPECT_EQ(reg.queryValue(Hive::LocalMachine, "Software\\Vandrel", "Work_Dir", keep), 2);
    EXPECT_EQ(reg.queryValue(Hive::CurrentUser, key, "Work_Dir", keep), 2);  // no user.reg
    EXPECT_EQ(Registry(tmp / "kein-prefix").queryValue(Hive::LocalMachine, key, "Work_Dir", keep), 2);
    EXPECT_EQ(Registry(fs::path()).queryValue(Hive::LocalMachine, key, "Work_Dir", keep), 2);
    EXPECT_EQ(keep.text, "unverändert");
    EXPECT_EQ(keep.kind, RegValue::Kind::None);
}

TEST(Registry, MachineHiveSeesTheThirtyTwoBitViewFirst) {
    TempDir tmp;
    const std::string sys =
        "[Software\\\\Vandrel\\\\Kickora\\\\a_value] 1700000000\n\"Work_Dir\"=\"D:\\\\64\"\n\"Nur64\"=\"ja\"\n\n"
        "[Software\\\\Wow6432Node\\\\Vandrel\\\\Kickora\\\\a_value] 1700000000\n\"Work_Dir\"=\"D:\\\\32\"\n\n";
    const std::string user = "[Software\\\\Wow6432Node\\\\Vandrel\\\\Kickora\\\\a_value] 1\n\"Work_Dir\"=\"nein\"\n\n";
    Registry reg(makePrefix(tmp / "p", sys, user));
    const std::string key = "Software\\Vandrel\\Kickora\\a_value";
    RegValue v;
    ASSERT_EQ(reg.queryValue(Hive::LocalMachine, key, "Work_Dir", v), 0);
    EXPECT_EQ(v.text, "D:\\32");
    // A value only in the 64-bit key is still found.
    ASSERT_EQ(reg.queryValue(Hive::LocalMachine, key, "Nur64", v), 0);
    EXPECT_EQ(v.text, "ja");
    // The user hive is not redirected.
    EXPECT_EQ(reg.queryValue(Hive::CurrentUser, key, "Work_Dir", v), 2);
}

// ---------------------------------------------------------------- settings

TEST(Settings, FirstRunWithoutRegistryWritesProgramFolderDefaults) {
    TempDir prog;
    Settings s = readSettings(prog.path(), Registry(fs::path()));
    EXPECT_EQ(s.error, "");
    ASSERT_TRUE(fs::exists(prog / "kickoraeditor.ini"));
    EXPECT_EQ(s.iniFile, prog / "kickoraeditor.ini");
    EXPECT_EQ(s.databasePath(), prog / "kickora.mdb");

    const std::string d = prog.path().string() + "/";
    const std::array<std::string, 10> expected = {
        d + "attribute/", d + "gesicht/", d + "trikot/original/", d + "trikot/kickoranet/", d + "wappen/",
        d, d, d, d, d};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(ini(s.iniFile, "ordner", kFolderKeys[i]), expected[i]) << kFolderKeys[i];
        EXPECT_EQ(s.folders[i], expected[i]) << kFolderKeys[i];
    }
    EXPECT_EQ(ini(s.iniFile, "trikot", "satz"), "0");
    EXPECT_EQ(s.satz, 0);
    EXPECT_EQ(s.jerseyFolder(), d + "trikot/original/");

    // A second start reads the file and leaves it as it is.
    const std::string before = readFile(s.iniFile);
    EXPECT_TRUE(before.ends_with("\r\nz4daten=" + d + "\r\n[trikot]\r\nsatz=0\r\n")) << before;
    Settings again = readSettings(prog.path(), Registry(fs::path()));
    EXPECT_EQ(again.folders, s.folders);
    EXPECT_EQ(readFile(s.iniFile), before);
}

TEST(Settings, FirstRunTakesTheGameFolderFromTheRegistryUserHiveFirst) {
    struct Case {
        const char* name;
        std::string systemReg, userReg;
        std::string expectedBase;  // relative to drive_c, or absolute when starting with '/'
    };
    const std::vector<Case> cases = {
        {"user hive alone, trailing NUL and blank dropped", "",
         workDirKey("\"Work_Dir\"=\"C:\\\\Spiele\\\\Kickora\\0 \""), "Spiele/Kickora/"},
        {"machine hive alone", workDirKey("\"Work_Dir\"=\"C:\\\\Programme\\\\Kickora\""), "",
         "Programme/Kickora/"},
        {"both: the user hive wins", workDirKey("\"Work_Dir\"=\"C:\\\\Maschine\""),
         workDirKey("\"Work_Dir\"=\"  C:\\\\Benutzer\\\\Kickora  \""), "Benutzer/Kickora/"},
        {"user value blank: machine value stays", workDirKey("\"Work_Dir\"=\"/opt/kickora\""),
         workDirKey("\"Work_Dir\"=\" \\0\""), "/opt/kickora/"},
        {"a number is no folder", "", workDirKey("\"Work_Dir\"=dword:00000001"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir tmp;
        fs::path prefix = makePrefix(tmp / "prefix", c.systemReg, c.userReg);
        ScopedPrefix scoped(prefix);
        fs::create_directory(tmp / "prog");
        Settings s = readSettings(tmp / "prog", Registry(prefix));
        EXPECT_EQ(s.error, "");

        const std::string prog = (tmp / "prog").string() + "/";
        std::string base;
        if (c.expectedBase.empty()) base = prog;
        else if (c.expectedBase[0] == '/') base = c.expectedBase;
        else base = (prefix / "drive_c").string() + "/" + c.expectedBase;
        const bool game = !c.expectedBase.empty();
        for (auto [key, folder, sub] : {std::tuple{"kickoraconfig", FolderKickoraconfig, "config/"},
                                        {"kickorares", FolderKickorares, "resfile/"},
                                        {"kickoraspieler", FolderKickoraspieler, "spielerbilder/"}}) {
            EXPECT_EQ(ini(s.iniFile, "ordner", key), game ? base + sub : prog) << key;
            EXPECT_EQ(s.folders[folder], ini(s.iniFile, "ordner", key)) << key;
        }
        // The program folder defaults do not depend on the registry.
        EXPECT_EQ(ini(s.iniFile, "ordner", "wappen"), prog + "wappen/");
        EXPECT_EQ(ini(s.iniFile, "ordner", "kickoradaten"), prog);
    }
}

TEST(Settings, ExistingFileIsReadTrimmedAndNeverRewritten) {
    TempDir tmp;
    fs::path prefix = makePrefix(tmp / "prefix", "", workDirKey("\"Work_Dir\"=\"/anders\""));
    ScopedPrefix scoped(prefix);
    fs::create_directories(prefix / "drive_c" / "Spiele" / "Kickora" / "Wappen");
    fs::create_directory(tmp / "prog");
    // Keys missing, blanks around values, Windows separators and a drive letter; no [trikot].
    const std::string content =
        "; von Hand\r\n[ordner]\r\nattribute=   /daten/attribute/   \r\n"
        "wappen=C:\\Spiele\\Kickora\\wappen\\\r\nz4daten=\\\\server\\export\r\ngesicht=\r\n";
    writeFile(tmp / "prog" / "kickoraeditor.ini", content);

    Settings s = readSettings(tmp / "prog", Registry(prefix));
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(readFile(tmp / "prog" / "kickoraeditor.ini"), content);

    const std::string prog = (tmp / "prog").string() + "/";
    EXPECT_EQ(s.folders[FolderAttribute], "/daten/attribute/");
    // Drive letter through dosdevices, and the folder's real letter case on disk.
    EXPECT_EQ(s.folders[FolderWappen], (prefix / "drive_c").string() + "/Spiele/Kickora/Wappen/");
    EXPECT_EQ(s.folders[FolderZ4daten], "//server/export/");
    EXPECT_EQ(s.folders[FolderGesicht], prog + "gesicht/");  // empty value: default
    EXPECT_EQ(s.folders[FolderTrikot1], prog + "trikot/kickoranet/");
    // Missing game folders default to the program folder, not to the registry.
    EXPECT_EQ(s.folders[FolderKickoraconfig], prog);
    EXPECT_EQ(s.satz, 0);
    EXPECT_EQ(s.jerseyFolder(), prog + "trikot/original/");
}

TEST(Settings, JerseySetSelectorIsReadAndWrittenBack) {
    TempDir prog;
    writeFile(prog / "kickoraeditor.ini", "[ordner]\r\ntrikot1=/k/net/\r\n[trikot]\r\nsatz= 1 \r\n");
    Settings s = readSettings(prog.path(), Registry(fs::path()));
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(s.satz, 1);
    EXPECT_EQ(s.jerseyFolder(), "/k/net/");

    EXPECT_EQ(writeSatz(s, 0), "");
    EXPECT_EQ(s.satz, 0);
    EXPECT_EQ(ini(s.iniFile, "trikot", "satz"), "0");
    EXPECT_EQ(ini(s.iniFile, "ordner", "trikot1"), "/k/net/");
    EXPECT_EQ(readSettings(prog.path(), Registry(fs::path())).satz, 0);

    // Out-of-range selectors still pick one of the two sets.
    EXPECT_EQ(writeSatz(s, 7), "");
    EXPECT_EQ(ini(s.iniFile, "trikot", "satz"), "1");
    EXPECT_EQ(s.jerseyFolder(), "/k/net/");

    writeFile(prog / "kickoraeditor.ini", "[trikot]\r\nsatz=zwei\r\n");
    Settings bad = readSettings(prog.path(), Registry(fs::path()));
    EXPECT_EQ(bad.satz, 0);
    EXPECT_NE(bad.error.find("Trikotsatz"), std::string::npos) << bad.error;
}

TEST(Settings, ReadAndWriteFailuresGiveAMessageAndDefaults) {
    TempDir tmp;
    // Program folder that does not exist: the first-run file cannot be written.
    fs::path prefix = makePrefix(tmp / "prefix", workDirKey("\"Work_Dir\"=\"/spiel\""), "");
    ScopedPrefix scoped(prefix);
    Settings s = readSettings(tmp / "fehlt", Registry(prefix));
    EXPECT_NE(s.error.find("konnte nicht geschrieben werden"), std::string::npos) << s.error;
    EXPECT_FALSE(fs::exists(tmp / "fehlt"));
    // The values of the first run stay in memory.
    EXPECT_EQ(s.folders[FolderKickorares], "/spiel/resfile/");
    EXPECT_EQ(s.folders[FolderAttribute], (tmp / "fehlt").string() + "/attribute/");
    EXPECT_NE(writeSatz(s, 1), "");

    // A settings "file" that is a folder cannot be read.
    fs::create_directories(tmp / "prog" / "kickoraeditor.ini");
    Settings d = readSettings(tmp / "prog", Registry(prefix));
    EXPECT_NE(d.error.find("kann nicht gelesen werden"), std::string::npos) << d.error;
    EXPECT_EQ(d.folders[FolderKickoraconfig], (tmp / "prog").string() + "/");
    EXPECT_TRUE(fs::is_directory(tmp / "prog" / "kickoraeditor.ini"));
}
