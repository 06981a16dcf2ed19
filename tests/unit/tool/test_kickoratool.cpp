// kickoratool as scripts use it: exit codes, output formats, damaged input.
#include <gtest/gtest.h>

#include "common/jetdb.h"
#include "demoworldcommands.h"
#include "testsupport.h"

using testsupport::readFile;
using tooltest::q;
using tooltest::Result;

namespace {
class Kickoratool : public tooltest::DemoWorldCommands {};
}  // namespace

TEST_F(Kickoratool, UsageErrorsExitTwoAndHelpListsTheCommands) {
    const Result help = tool("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"demo", "import-mdb", "sql", "ini-get", "ini-set", "ini-sections", "ini-section"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    expectExits({{"", 2}, {"gibtsnicht", 2}, {"sql onlyonearg", 2}, {"demo /tmp/x --scale nix", 2}});
}

TEST_F(Kickoratool, SqlPrintsHeaderRowsAndEscapesValues) {
    {
        jet::Database db = jet::Database::open(dir_ / "t.mdb", true);
        db.executeNative("CREATE TABLE t (id INTEGER, name VARCHAR(50), data LONGBINARY, r DOUBLE)");
        db.executeNative("INSERT INTO t VALUES (1, 'a' || char(9) || 'b' || char(10) || 'c\\d', x'00ff10', 2.5)");
        db.executeNative("INSERT INTO t VALUES (2, NULL, NULL, NULL)");
    }
    const std::string t = q(dir_ / "t.mdb");
    const struct {
        std::string sql, out;
    } cases[] = {
        {"SELECT id, name, data, r FROM t ORDER BY id", "id\tname\tdata\tr\n1\ta\\tb\\nc\\\\d\t\\x00ff10\t2.5\n2\t\\N\t\\N\t\\N\n"},
        // Jet dialect: double-quoted text with a quote inside is stored as typed.
        {"UPDATE t SET name=\"Er sagte \"\"ja\"\"\" WHERE id=2", "1\n"},
        {"Select name From t WHERE id=2", "name\nEr sagte \"ja\"\n"},
    };
    for (const auto& c : cases) {
        const Result r = tool("sql " + t + " " + q(c.sql));
        EXPECT_EQ(r.status, 0) << c.sql;
        EXPECT_EQ(r.out, c.out) << c.sql;
    }
    const Result error = tool("sql " + t + " 'SELECT * FROM gibtsnicht'");
    EXPECT_EQ(error.status, 1);
    EXPECT_NE(error.err.find("gibtsnicht"), std::string::npos);
}

TEST_F(Kickoratool, DemoWorldAnswersTheMaxTeamQuery) {
    EXPECT_GT(number("Select max(maxnr) From maxteamnr"), 100);
    // A second demo into the same folder refuses instead of overwriting.
    const std::string world = readFile(worldDatabase());
    EXPECT_EQ(tool("demo " + q(worldDatabase().parent_path())).status, 1);
    EXPECT_TRUE(readFile(worldDatabase()) == world);
}

TEST_F(Kickoratool, DamagedAndMissingInputFailsAndIsLeftUntouched) {
    std::string junk;
    for (int i = 0; i < 10000; ++i) junk.push_back(static_cast<char>(i * 31 % 256));
    testsupport::writeFile(dir_ / "junk.mdb", junk);
    const std::string nwind = readFile(testsupport::fixture("jet/nwind.mdb"));
    testsupport::writeFile(dir_ / "half.mdb", nwind.substr(0, nwind.size() / 2 + 100));
    for (const char* name : {"junk.mdb", "half.mdb"}) {
        const std::string before = readFile(dir_ / name);
        const Result r = tool("import-mdb " + q(dir_ / name) + " " + q(dir_ / "out.db"));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_FALSE(r.err.empty()) << name;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out.db")) << name;
        EXPECT_EQ(readFile(dir_ / name), before) << name;
    }
    EXPECT_EQ(tool("sql " + q(dir_ / "junk.mdb") + " 'SELECT 1'").status, 1);

    // A missing input file is named as missing.
    const std::string missing = q(dir_ / "fehlt.mdb"), d = q(dir_.path());
    for (const std::string& command :
         {"sql " + missing + " 'SELECT 1'", "import-mdb " + missing + " " + q(dir_ / "out.db"),
          "export-config " + missing + " a b", "res-list " + missing, "res-extract " + missing + " " + d,
          "gfp2tga " + missing + " " + q(dir_ / "x.tga"), "tga2gfp " + missing + " " + missing,
          "crests-import " + d + " " + missing, "zexport " + missing + " --club 1 " + q(dir_ / "x.aet")}) {
        const Result r = tool(command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find((dir_ / "fehlt.mdb").string()), std::string::npos) << r.err;
        EXPECT_TRUE(r.err.find("gibt es nicht") != std::string::npos || r.err.find("nicht gefunden") != std::string::npos)
            << r.err;
    }
}

TEST_F(Kickoratool, ImportMdbConvertsNwindAndIniCommandsRoundTrip) {
    ASSERT_EQ(tool("import-mdb " + q(testsupport::fixture("jet/nwind.mdb")) + " " + q(dir_ / "nw.db")).status, 0);
    const Result count = tool("sql " + q(dir_ / "nw.db") + " 'SELECT count(*) AS n FROM [Umsätze]'");
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.out.substr(0, 2), "n\n");

    const std::string ini = q(dir_ / "a.ini");
    EXPECT_EQ(tool("ini-set " + ini + " Team Name 'FC Ä'").status, 0);
    tool("ini-set " + ini + " Spieler1 name Muster");
    const std::pair<std::string, std::string> reads[] = {{"ini-get " + ini + " team NAME", "FC Ä\n"},
                                                         {"ini-get " + ini + " team fehlt vorgabe", "vorgabe\n"},
                                                         {"ini-sections " + ini, "Team\nSpieler1\n"},
                                                         {"ini-section " + ini + " spieler1", "name=Muster\n"}};
    for (const auto& [call, out] : reads) EXPECT_EQ(tool(call).out, out) << call;
    EXPECT_NE(readFile(dir_ / "a.ini").find("Name=FC \xC4\r\n"), std::string::npos);
}
