// kickoratool's import commands as scripts use them: exit codes, what they print, and an
// unchanged database whenever they fail.
#include <gtest/gtest.h>

#include <algorithm>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;
using testsupport::writeFile;

namespace {

using tooltest::q;
using tooltest::Result;

class ImportCommands : public tooltest::DemoWorldCommands {
protected:
    // Beside the demo world, one exported country for the suite.
    static void SetUpTestSuite() {
        DemoWorldCommands::SetUpTestSuite();
        int status = -1;
        const std::string tool = KICKORATOOL;
        const fs::path d = world_->path();
        runCommand(tool + " demo-zentor " + q(d / "z.db") + " && " + tool + " zexport " + q(d / "z.db") +
                       " --country 1 " + q(d / "x" / "de.lan") + " >/dev/null",
                   &status);
        ASSERT_EQ(status, 0);
    }

    fs::path exported(const std::string& relative) const { return world_->path() / "x" / relative; }
    fs::path lan() const { return exported("de.lan"); }
    // Path of the first club file import-index lists.
    fs::path firstClubFile() {
        const Result r = tool("import-index " + q(db_) + " " + q(lan()));
        return exported(r.out.substr(0, r.out.find('\t')));
    }
};

}  // namespace

TEST_F(ImportCommands, UsageErrorsExitTwo) {
    const std::string db = q(db_);
    for (const std::string& args :
         {"import-club " + db, "import-club " + db + " a.aet", "import-club " + db + " a.aet --replace x",
          "import-club " + db + " a.aet --replace 1 --preset 11", "import-free " + db,
          "import-tea " + db + " a.tea", "import-tea " + db + " a.tea --new-in X --replace 1",
          "import-index " + db + " a.lan --seed -1", "import-index " + db + " a.lan extra"}) {
        EXPECT_EQ(tool(args).status, 2) << args;
    }
}

TEST_F(ImportCommands, FailuresExitOneAndChangeNothing) {
    const std::string before = readFile(db_);
    const fs::path aet = firstClubFile();
    writeFile(dir_ / "kaputt.lan", "[LigaLand]\nLand=X\n[L]\n1=../../etc/passwd\n");
    const std::string db = q(db_);
    for (const std::string& args :
         {"import-club " + db + " " + q(aet) + " --replace 99999999",        // no such club
          "import-club " + db + " " + q(dir_ / "fehlt.aet") + " --replace 1",
          "import-free " + db + " " + q(dir_ / "fehlt.aet"),
          "import-tea " + db + " " + q(dir_ / "fehlt.tea") + " --replace 1",
          "import-index " + db + " " + q(dir_ / "fehlt.lan") + " --apply"}) {
        const Result r = tool(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_FALSE(r.err.empty()) << args;
        EXPECT_EQ(readFile(db_), before) << args;
    }
    const Result r = tool("import-index " + db + " " + q(dir_ / "kaputt.lan"));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("übersprungen"), std::string::npos);
}

TEST_F(ImportCommands, ImportsPrintWhatTheyWrote) {
    const fs::path aet = firstClubFile();
    const std::string db = q(db_);
    const Result index = tool("import-index " + db + " " + q(lan()));
    ASSERT_EQ(index.status, 0) << index.err;
    EXPECT_NE(index.out.find(".aet\t"), std::string::npos);

    const Result first = tool("sql " + db + " " + q("SELECT Min(NUMMER) FROM vereine WHERE NUMMER > 0"));
    const std::string number = first.out.substr(first.out.find('\n') + 1, first.out.rfind('\n') - first.out.find('\n') - 1);
    const Result club = tool("import-club " + db + " " + q(aet) + " --replace " + number + " --preset 3 --seed 4");
    ASSERT_EQ(club.status, 0) << club.err;
    EXPECT_EQ(club.out.rfind("Verein " + number + ": ", 0), 0u) << club.out;
    EXPECT_NE(club.out.find("Aufstellung: 2 TOR, 6 ABW, 5 MIT, 7 STU"), std::string::npos);
    EXPECT_EQ(std::count(club.out.begin(), club.out.end(), '\n'), 22);  // two lines, then 20 slots

    const Result free = tool("import-free " + db + " " + q(aet));
    ASSERT_EQ(free.status, 0) << free.err;
    EXPECT_NE(free.out.find(" Spieler in Freie Spieler importiert!"), std::string::npos);

    ASSERT_EQ(tool("export-tea " + db + " " + number + " " + q(dir_ / "eins.tea")).status, 0);
    const Result tea = tool("import-tea " + db + " " + q(dir_ / "eins.tea") + " --new-in Deutschland");
    ASSERT_EQ(tea.status, 0) << tea.err;
    EXPECT_GT(std::stoll(tea.out), std::stoll(number));
}
