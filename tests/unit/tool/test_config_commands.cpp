// kickoratool's config commands as scripts use them: export-config, import-config, export-tea,
// club-templates and competition-template; exit codes, what they print, what they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;
using testsupport::writeFile;

namespace {

using tooltest::q;
using tooltest::Result;

class ConfigCommands : public tooltest::DemoWorldCommands {
protected:
    std::string tables() {
        return rows("SELECT * FROM vereine") + rows("SELECT * FROM vereine_national") +
               rows("SELECT * FROM vereinspieler") + rows("SELECT * FROM spieler");
    }
};

long long count(const std::string& bytes, const std::string& needle) {
    long long n = 0;
    for (auto p = bytes.find(needle); p != std::string::npos; p = bytes.find(needle, p + 1)) ++n;
    return n;
}
std::string withoutFirstLine(const std::string& bytes) { return bytes.substr(bytes.find('\n') + 1); }
bool oneLine(const std::string& text) { return !text.empty() && text.find('\n') == text.size() - 1; }
// A failed command: exit 1 and one line on stderr.
void expectFailure(const Result& r) {
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(oneLine(r.err)) << r.err;
}

}  // namespace

// Export both files, spoil the database, import them back: a second export gives the same
// bytes (the date line aside), and the import commands say how many records they read.
TEST_F(ConfigCommands, ExportImportExportGivesTheSameFiles) {
    const auto clubs = dir_ / "1_tm.cfg", players = dir_ / "1_sp.cfg";
    Result r = tool("export-config " + q(db_) + " " + q(clubs) + " " + q(players));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    const std::string clubBytes = readFile(clubs), playerBytes = readFile(players);
    EXPECT_EQ(clubBytes.rfind(";Datenexport vom ", 0), 0u);
    EXPECT_EQ(count(clubBytes, "\n"), count(clubBytes, "\r\n"));
    const long long clubRecords = number("SELECT count(*) FROM vereine") + number("SELECT count(*) FROM vereine_national");
    const long long playerRecords = number("SELECT count(*) FROM spieler");
    EXPECT_EQ(count(clubBytes, "\r\nNEUES_TEAM\r\n"), clubRecords);
    EXPECT_EQ(count(playerBytes, "\r\nNEUER_SPIELER\r\n"), playerRecords);
    EXPECT_EQ(count(clubBytes, "NEUER_SPIELER"), 0);

    const std::string before = tables();
    sql("UPDATE vereine SET NAME=\"Er sagte \"\"ja\"\"\" WHERE NUMMER IN (SELECT min(NUMMER) FROM vereine)");
    sql("DELETE FROM vereinspieler WHERE verein IN (SELECT max(NUMMER) FROM vereine)");
    sql("DELETE FROM spieler WHERE NUMMER < 50");
    sql("UPDATE spieler SET VORNAME=\"Ö\"");
    ASSERT_NE(tables(), before);

    for (const auto& [option, file, records] : {std::tuple{"--clubs", clubs, clubRecords}, std::tuple{"--players", players, playerRecords}}) {
        r = tool("import-config " + q(db_) + " " + option + " " + q(file));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::to_string(records) + " Datensätze importiert\n");
    }

    const auto clubs2 = dir_ / "2_tm.cfg", players2 = dir_ / "2_sp.cfg";
    ASSERT_EQ(tool("export-config " + q(db_) + " " + q(clubs2) + " " + q(players2)).status, 0);
    EXPECT_TRUE(withoutFirstLine(readFile(clubs2)) == withoutFirstLine(clubBytes));
    EXPECT_TRUE(withoutFirstLine(readFile(players2)) == withoutFirstLine(playerBytes));
}

// A broken record anywhere in the file: exit 1, one German line naming the file line, and
// the tables exactly as before, also the records that came before the broken one.
TEST_F(ConfigCommands, FailedImportExitsOneAndLeavesTheDatabase) {
    const auto clubs = dir_ / "1_tm.cfg", players = dir_ / "1_sp.cfg";
    ASSERT_EQ(tool("export-config " + q(db_) + " " + q(clubs) + " " + q(players)).status, 0);
    sql("UPDATE vereine SET NAME=\"Nach dem Export\"");
    const std::string before = tables();

    struct Case {
        fs::path file;
        const char* option;
        std::string needle;  // the start of the line that gets broken
        std::string replacement;
    };
    const Case cases[] = {
        {clubs, "--clubs", "        NUMMER ", "        NUMMER                   zwoelf"},
        {players, "--players", "        ART ", "        ART             \"Sturm"},
        {players, "--players", "        GROESSE ", ""},  // a record one line short
    };
    for (const Case& c : cases) {
        std::string bytes = readFile(c.file);
        std::size_t pos = bytes.find(c.needle);
        for (int i = 0; i < 40; ++i) pos = bytes.find(c.needle, pos + 1);
        ASSERT_NE(pos, std::string::npos);
        const std::size_t end = bytes.find("\r\n", pos) + (c.replacement.empty() ? 2 : 0);
        bytes.replace(pos, end - pos, c.replacement);
        const fs::path broken = dir_ / ("kaputt" + c.file.filename().string());
        writeFile(broken, bytes);
        const long long line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(pos), '\n') + 1;

        const Result r = tool("import-config " + q(db_) + " " + c.option + " " + q(broken));
        SCOPED_TRACE(c.needle);
        expectFailure(r);
        EXPECT_EQ(r.out, "");
        // A short record is named by where it starts, before the missing line.
        EXPECT_NE(r.err.find(c.replacement.empty() ? std::string("Zeile ") : "Zeile " + std::to_string(line) + " "),
                  std::string::npos) << r.err;
        EXPECT_NE(r.err.find(broken.filename().string()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nicht verändert"), std::string::npos) << r.err;
        EXPECT_EQ(tables(), before) << c.needle;
    }

    // A file that is not there, a database that is not there, wrong calls.
    expectFailure(tool("import-config " + q(db_) + " --clubs " + q(dir_ / "fehlt.cfg")));
    EXPECT_EQ(tables(), before);
    EXPECT_EQ(tool("import-config " + q(dir_ / "fehlt.mdb") + " --clubs " + q(clubs)).status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "fehlt.mdb"));
    for (const std::string& call : {"import-config " + q(db_) + " --club " + q(clubs), "import-config " + q(db_) + " " + q(clubs),
                                    "export-config " + q(db_) + " " + q(clubs)})
        EXPECT_EQ(tool(call).status, 2) << call;

    // An export that cannot write fails with one line and writes nothing.
    expectFailure(tool("export-config " + q(db_) + " " + q(dir_ / "fehlt" / "a.cfg") + " " + q(dir_ / "b.cfg")));
    EXPECT_FALSE(fs::exists(dir_ / "b.cfg"));
}

// The team file of a club holds the club and one section per member; a bad number is a usage
// error, a file that cannot be written an error.
TEST_F(ConfigCommands, ExportTeaWritesTheClubAndItsPlayers) {
    const long long club = number("SELECT max(verein) FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine)");
    ASSERT_GT(club, 0);
    const auto tea = dir_ / "verein.tea";
    writeFile(tea, "[Alt]\r\nx=1\r\n[Spieler99]\r\nNAME=weg\r\n");
    Result r = tool("export-tea " + q(db_) + " " + std::to_string(club) + " " + q(tea));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    const long long members = number("SELECT count(*) FROM vereinspieler WHERE verein=" + std::to_string(club));
    std::string expected = "Team\n";
    for (long long i = 1; i <= members; ++i) expected += "Spieler" + std::to_string(i) + "\n";
    EXPECT_EQ(tool("ini-sections " + q(tea)).out, expected);  // the old file is gone
    EXPECT_EQ(tool("ini-get " + q(tea) + " Team NAME").out, value("SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(club)) + "\n");
    std::string player = tool("ini-get " + q(tea) + " Spieler1 NUMMER").out;
    ASSERT_FALSE(player.empty());
    player.pop_back();
    EXPECT_EQ(number("SELECT count(*) FROM vereinspieler WHERE verein=" + std::to_string(club) + " AND spieler=" + player), 1);
    EXPECT_EQ(tool("ini-get " + q(tea) + " Spieler1 STAERKE").out, value("SELECT [STÄRKE] FROM spieler WHERE NUMMER=" + player) + "\n");

    for (const char* bad : {"abc", "-3", "12x", ""}) {
        r = tool("export-tea " + q(db_) + " " + q(bad) + " " + q(dir_ / "b.tea"));
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_FALSE(fs::exists(dir_ / "b.tea")) << bad;
    }
    expectFailure(tool("export-tea " + q(db_) + " " + std::to_string(club) + " " + q(dir_ / "fehlt" / "c.tea")));
}

// Template clubs: as many as the countries need, named by identifier and number, 20
// placeholder players each; the competition file then lists one league per country, then the
// summary lines.
TEST_F(ConfigCommands, ClubTemplatesAndCompetitionTemplate) {
    const long long clubsBefore = number("SELECT count(*) FROM vereine");
    const long long playersBefore = number("SELECT count(*) FROM spieler");
    const long long wanted = number("SELECT sum(teams) FROM e_landkontinent WHERE teams > 0");
    ASSERT_GT(wanted, 0);
    Result r = tool("club-templates " + q(db_));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::to_string(wanted) + " Vereine angelegt\n");
    EXPECT_EQ(number("SELECT count(*) FROM vereine"), clubsBefore + wanted);
    EXPECT_EQ(number("SELECT count(*) FROM spieler"), playersBefore + 20 * wanted);

    const std::string id = value("SELECT wettbewerb FROM e_landkontinent WHERE teams > 0 ORDER BY id");
    const long long teams = number("SELECT teams FROM e_landkontinent WHERE wettbewerb=\"" + id + "\"");
    EXPECT_EQ(number("SELECT count(*) FROM vereine WHERE NAME BETWEEN \"" + id + "000\" AND \"" + id + "999\""), teams);
    EXPECT_EQ(number("SELECT count(*) FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine WHERE NAME=\"" +
                     id + "001\")"),
              20);

    const auto we = dir_ / "1_we.cfg";
    r = tool("competition-template " + q(db_) + " " + q(we));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string bytes = readFile(we);
    EXPECT_EQ(count(bytes, "NEUER_WETTBEWERB\r\n"), number("SELECT count(*) FROM e_landkontinent WHERE teams > 0"));
    EXPECT_EQ(count(bytes, "\n"), count(bytes, "\r\n"));

    // The summary lines (their exact form is checked on a small world elsewhere) follow the leagues.
    EXPECT_GT(bytes.find("\r\nUQ"), bytes.rfind("NEUER_WETTBEWERB"));

    // Without the country table both commands fail with one line and change nothing.
    sql("DROP TABLE e_landkontinent");
    const std::string before = tables();
    expectFailure(tool("club-templates " + q(db_)));
    EXPECT_EQ(tables(), before);
    fs::remove(we);
    expectFailure(tool("competition-template " + q(db_) + " " + q(we)));
    EXPECT_FALSE(fs::exists(we));
    EXPECT_EQ(tool("competition-template " + q(db_)).status, 2);
    EXPECT_EQ(tool("club-templates").status, 2);
}
