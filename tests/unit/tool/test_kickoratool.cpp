// kickoratool as scripts use it: exit codes, output formats, damaged input.
#include <gtest/gtest.h>

#include "common/jetdb.h"
#include "testsupport.h"

using testsupport::runCommand;
using testsupport::TempDir;

namespace {

std::string tool(const std::string& args, int* status, bool withStderr = false) {
    return runCommand(std::string(KICKORATOOL) + " " + args + (withStderr ? " 2>&1" : " 2>/dev/null"), status);
}

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

}  // namespace

TEST(Kickoratool, UsageErrorsExitTwoAndHelpListsTheCommands) {
    int status = 0;
    const std::string help = tool("--help", &status);
    EXPECT_EQ(status, 0);
    for (const char* command : {"demo", "import-mdb", "sql", "ini-get", "ini-set", "ini-sections", "ini-section"})
        EXPECT_NE(help.find(command), std::string::npos) << command;
    tool("", &status);
    EXPECT_EQ(status, 2);
    tool("gibtsnicht", &status);
    EXPECT_EQ(status, 2);
    tool("sql onlyonearg", &status);
    EXPECT_EQ(status, 2);
    tool("demo /tmp/x --scale nix", &status);
    EXPECT_EQ(status, 2);
}

TEST(Kickoratool, SqlPrintsHeaderRowsAndEscapesValues) {
    TempDir dir;
    const auto file = dir / "t.mdb";
    {
        jet::Database db = jet::Database::open(file, true);
        db.executeNative("CREATE TABLE t (id INTEGER, name VARCHAR(50), data LONGBINARY, r DOUBLE)");
        db.executeNative("INSERT INTO t VALUES (1, 'a' || char(9) || 'b' || char(10) || 'c\\d', x'00ff10', 2.5)");
        db.executeNative("INSERT INTO t VALUES (2, NULL, NULL, NULL)");
    }
    int status = -1;
    EXPECT_EQ(tool("sql " + q(file) + " 'SELECT id, name, data, r FROM t ORDER BY id'", &status),
              "id\tname\tdata\tr\n1\ta\\tb\\nc\\\\d\t\\x00ff10\t2.5\n2\t\\N\t\\N\t\\N\n");
    EXPECT_EQ(status, 0);

    // Jet dialect: double-quoted text with a quote inside is stored as typed.
    EXPECT_EQ(tool("sql " + q(file) + " 'UPDATE t SET name=\"Er sagte \"\"ja\"\"\" WHERE id=2'", &status), "1\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tool("sql " + q(file) + " 'Select name From t WHERE id=2'", &status), "name\nEr sagte \"ja\"\n");

    const std::string error = tool("sql " + q(file) + " 'SELECT * FROM gibtsnicht'", &status, true);
    EXPECT_EQ(status, 1);
    EXPECT_NE(error.find("gibtsnicht"), std::string::npos);
}

TEST(Kickoratool, DemoWorldAnswersTheMaxTeamQuery) {
    TempDir dir;
    int status = -1;
    tool("demo " + q(dir / "world") + " --seed 3", &status);
    ASSERT_EQ(status, 0);
    const std::string out = tool("sql " + q(dir / "world" / "kickora.mdb") + " 'Select max(maxnr) From maxteamnr'", &status);
    EXPECT_EQ(status, 0);
    const auto newline = out.find('\n');
    ASSERT_NE(newline, std::string::npos);
    EXPECT_GT(std::stol(out.substr(newline + 1)), 100);
    // names in Jet's order: Ägypten among the A-names, Österreich between Niederlande and Polen
    const std::string names = tool("sql " + q(dir / "world" / "kickora.mdb") +
                                       " 'SELECT name FROM vereine_national ORDER BY name'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_LT(names.find("\nÄgypten\n"), names.find("\nArgentinien\n"));
    EXPECT_LT(names.find("\nNiederlande\n"), names.find("\nÖsterreich\n"));
    EXPECT_LT(names.find("\nÖsterreich\n"), names.find("\nPolen\n"));
    // A second demo into the same folder refuses instead of overwriting.
    tool("demo " + q(dir / "world"), &status);
    EXPECT_EQ(status, 1);
}

TEST(Kickoratool, ImportMdbRefusesDamagedFilesAndKeepsThemUntouched) {
    TempDir dir;
    std::string junk;
    for (int i = 0; i < 10000; ++i) junk.push_back(static_cast<char>(i * 31 % 256));
    testsupport::writeFile(dir / "junk.mdb", junk);
    const std::string nwind = testsupport::readFile(testsupport::fixture("jet/nwind.mdb"));
    testsupport::writeFile(dir / "half.mdb", nwind.substr(0, nwind.size() / 2 + 100));

    for (const char* name : {"junk.mdb", "half.mdb"}) {
        const std::string before = testsupport::readFile(dir / name);
        int status = -1;
        const std::string error = tool("import-mdb " + q(dir / name) + " " + q(dir / "out.db"), &status, true);
        EXPECT_EQ(status, 1) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.db")) << name;
        EXPECT_EQ(testsupport::readFile(dir / name), before) << name;
    }
    int status = -1;
    tool("sql " + q(dir / "junk.mdb") + " 'SELECT 1'", &status);
    EXPECT_EQ(status, 1);
}

TEST(Kickoratool, AMissingInputFileIsNamedAsMissing) {
    TempDir dir;
    const std::string missing = q(dir / "fehlt.mdb");
    for (const std::string& command :
         {"sql " + missing + " 'SELECT 1'", "import-mdb " + missing + " " + q(dir / "out.db"),
          "export-config " + missing + " a b", "res-list " + missing, "res-extract " + missing + " " + q(dir.path()),
          "gfp2tga " + missing + " " + q(dir / "x.tga"), "tga2gfp " + missing + " " + missing,
          "crests-import " + q(dir.path()) + " " + missing, "zexport " + missing + " --club 1 " + q(dir / "x.aet")}) {
        int status = -1;
        const std::string error = tool(command, &status, true);
        EXPECT_EQ(status, 1) << command;
        EXPECT_NE(error.find((dir / "fehlt.mdb").string()), std::string::npos) << error;
        EXPECT_TRUE(error.find("gibt es nicht") != std::string::npos || error.find("nicht gefunden") != std::string::npos)
            << error;
    }
}

TEST(Kickoratool, ImportMdbConvertsNwindAndIniCommandsRoundTrip) {
    TempDir dir;
    int status = -1;
    tool("import-mdb " + q(testsupport::fixture("jet/nwind.mdb")) + " " + q(dir / "nw.db"), &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(tool("sql " + q(dir / "nw.db") + " 'SELECT count(*) AS n FROM [Umsätze]'", &status).substr(0, 2), "n\n");
    EXPECT_EQ(status, 0);

    const auto ini = dir / "a.ini";
    tool("ini-set " + q(ini) + " Team Name 'FC Ä'", &status);
    EXPECT_EQ(status, 0);
    tool("ini-set " + q(ini) + " Spieler1 name Muster", &status);
    EXPECT_EQ(tool("ini-get " + q(ini) + " team NAME", &status), "FC Ä\n");
    EXPECT_EQ(tool("ini-get " + q(ini) + " team fehlt vorgabe", &status), "vorgabe\n");
    EXPECT_EQ(tool("ini-sections " + q(ini), &status), "Team\nSpieler1\n");
    EXPECT_EQ(tool("ini-section " + q(ini) + " spieler1", &status), "name=Muster\n");
    EXPECT_NE(testsupport::readFile(ini).find("Name=FC \xC4\r\n"), std::string::npos);
}
