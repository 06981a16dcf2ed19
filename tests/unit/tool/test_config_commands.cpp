// kickoratool's config commands as scripts use them: export-config, import-config, export-tea,
// club-templates and competition-template; exit codes, what they print, what they leave. The
// file contents and the record checks themselves are the config tests' business.
#include <gtest/gtest.h>

#include <algorithm>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;
using tooltest::q;
using tooltest::Result;

namespace {

class ConfigCommands : public tooltest::DemoWorldCommands {
protected:
    std::string tables() {
        return rows("SELECT * FROM vereine") + rows("SELECT * FROM vereine_national") +
               rows("SELECT * FROM vereinspieler") + rows("SELECT * FROM spieler");
    }
    // A failed command: exit 1 and one line on stderr.
    Result failing(const std::string& args) {
        const Result r = tool(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_EQ(r.err.back(), '\n') << args;
        return r;
    }
    const fs::path clubs = dir_ / "1_tm.cfg", players = dir_ / "1_sp.cfg";
};

long long count(const std::string& bytes, const std::string& needle) {
    long long n = 0;
    for (auto p = bytes.find(needle); p != std::string::npos; p = bytes.find(needle, p + 1)) ++n;
    return n;
}
std::string withoutFirstLine(const std::string& bytes) { return bytes.substr(bytes.find('\n') + 1); }

}  // namespace

// Export both files, spoil the database, import them back: a second export gives the same
// bytes (the date line aside), and the import commands say how many records they read.
TEST_F(ConfigCommands, ExportImportExportGivesTheSameFiles) {
    Result r = tool("export-config " + q(db_) + " " + q(clubs) + " " + q(players));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    const std::string clubBytes = readFile(clubs), playerBytes = readFile(players);
    const long long clubRecords = number("SELECT count(*) FROM vereine") + number("SELECT count(*) FROM vereine_national");
    const long long playerRecords = number("SELECT count(*) FROM spieler");
    EXPECT_EQ(count(clubBytes, "\r\nNEUES_TEAM\r\n"), clubRecords);
    EXPECT_EQ(count(playerBytes, "\r\nNEUER_SPIELER\r\n"), playerRecords);

    const std::string before = tables();
    sql("UPDATE vereine SET NAME=\"Er sagte \"\"ja\"\"\" WHERE NUMMER IN (SELECT min(NUMMER) FROM vereine)");
    sql("DELETE FROM spieler WHERE NUMMER < 50");
    ASSERT_NE(tables(), before);
    for (const auto& [option, file, records] : {std::tuple{"--clubs", clubs, clubRecords}, std::tuple{"--players", players, playerRecords}}) {
        r = tool("import-config " + q(db_) + " " + option + " " + q(file));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::to_string(records) + " Datensätze importiert\n");
    }
    ASSERT_EQ(tool("export-config " + q(db_) + " " + q(dir_ / "2_tm.cfg") + " " + q(dir_ / "2_sp.cfg")).status, 0);
    EXPECT_TRUE(withoutFirstLine(readFile(dir_ / "2_tm.cfg")) == withoutFirstLine(clubBytes));
    EXPECT_TRUE(withoutFirstLine(readFile(dir_ / "2_sp.cfg")) == withoutFirstLine(playerBytes));
}

// A broken record: exit 1, one German line naming the file and its line, the tables exactly
// as before; the other failures and wrong calls alike leave everything.
TEST_F(ConfigCommands, FailedImportExitsOneAndLeavesTheDatabase) {
    ASSERT_EQ(tool("export-config " + q(db_) + " " + q(clubs) + " " + q(players)).status, 0);
    sql("UPDATE vereine SET NAME=\"Nach dem Export\"");
    const std::string before = tables();

    std::string bytes = readFile(players);
    std::size_t pos = bytes.find("        ART ");
    for (int i = 0; i < 40; ++i) pos = bytes.find("        ART ", pos + 1);  // well after the first records
    bytes.replace(pos, bytes.find("\r\n", pos) - pos, "        ART             \"Sturm");
    writeFile(dir_ / "kaputt.cfg", bytes);
    const long long line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(pos), '\n') + 1;
    const Result r = failing("import-config " + q(db_) + " --players " + q(dir_ / "kaputt.cfg"));
    EXPECT_EQ(r.out, "");
    for (const std::string& part : {std::string("kaputt.cfg"), "Zeile " + std::to_string(line) + " ", std::string("nicht verändert")})
        EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_EQ(tables(), before);

    failing("import-config " + q(db_) + " --clubs " + q(dir_ / "fehlt.cfg"));
    EXPECT_EQ(tool("import-config " + q(dir_ / "fehlt.mdb") + " --clubs " + q(clubs)).status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "fehlt.mdb"));
    expectExits({{"import-config " + q(db_) + " --club " + q(clubs), 2},
                 {"import-config " + q(db_) + " " + q(clubs), 2},
                 {"export-config " + q(db_) + " " + q(clubs), 2}});
    // An export that cannot write fails with one line and writes nothing.
    failing("export-config " + q(db_) + " " + q(dir_ / "fehlt" / "a.cfg") + " " + q(dir_ / "b.cfg"));
    EXPECT_FALSE(fs::exists(dir_ / "b.cfg"));
    EXPECT_EQ(tables(), before);
}

// The team file of a club replaces an old file and holds the club and one section per
// member; a bad number is a usage error, a file that cannot be written an error.
TEST_F(ConfigCommands, ExportTeaWritesTheClubAndItsPlayers) {
    const std::string club = value("SELECT max(verein) FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine)");
    const auto tea = dir_ / "verein.tea";
    writeFile(tea, "[Alt]\r\nx=1\r\n[Spieler99]\r\nNAME=weg\r\n");
    const Result r = tool("export-tea " + q(db_) + " " + club + " " + q(tea));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    std::string expected = "Team\n";
    for (long long i = 1; i <= number("SELECT count(*) FROM vereinspieler WHERE verein=" + club); ++i)
        expected += "Spieler" + std::to_string(i) + "\n";
    EXPECT_EQ(tool("ini-sections " + q(tea)).out, expected);
    EXPECT_EQ(tool("ini-get " + q(tea) + " Team NAME").out, value("SELECT NAME FROM vereine WHERE NUMMER=" + club) + "\n");

    for (const char* bad : {"abc", "-3", "12x", ""}) {
        EXPECT_EQ(tool("export-tea " + q(db_) + " " + q(bad) + " " + q(dir_ / "b.tea")).status, 2) << bad;
        EXPECT_FALSE(fs::exists(dir_ / "b.tea")) << bad;
    }
    failing("export-tea " + q(db_) + " " + club + " " + q(dir_ / "fehlt" / "c.tea"));
}

// Template clubs and the competition file say what they made; without the country table
// both fail with one line and change nothing.
TEST_F(ConfigCommands, ClubTemplatesAndCompetitionTemplate) {
    const long long clubsBefore = number("SELECT count(*) FROM vereine");
    const long long wanted = number("SELECT sum(teams) FROM e_landkontinent WHERE teams > 0");
    ASSERT_GT(wanted, 0);
    Result r = tool("club-templates " + q(db_));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::to_string(wanted) + " Vereine angelegt\n");
    EXPECT_EQ(number("SELECT count(*) FROM vereine"), clubsBefore + wanted);

    const auto we = dir_ / "1_we.cfg";
    r = tool("competition-template " + q(db_) + " " + q(we));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(count(readFile(we), "NEUER_WETTBEWERB\r\n"), number("SELECT count(*) FROM e_landkontinent WHERE teams > 0"));

    sql("DROP TABLE e_landkontinent");
    const std::string before = tables();
    failing("club-templates " + q(db_));
    EXPECT_EQ(tables(), before);
    fs::remove(we);
    failing("competition-template " + q(db_) + " " + q(we));
    EXPECT_FALSE(fs::exists(we));
    expectExits({{"competition-template " + q(db_), 2}, {"club-templates", 2}});
}
