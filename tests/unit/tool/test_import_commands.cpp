// kickoratool's import commands as scripts use them: exit codes, what they print, and an
// unchanged database whenever they fail.
#include <gtest/gtest.h>

#include <algorithm>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::writeFile;
using tooltest::q;
using tooltest::Result;

namespace {

class ImportCommands : public tooltest::DemoWorldCommands {
protected:
    static void SetUpTestSuite() {
        DemoWorldCommands::SetUpTestSuite();
        exportCountry();
    }
    // Path of the first club file import-index lists.
    fs::path firstClubFile() {
        const Result r = tool("import-index " + q(db_) + " " + q(exported("de.lan")));
        return exported(r.out.substr(0, r.out.find('\t')));
    }
};

}  // namespace

TEST_F(ImportCommands, UsageErrorsExitTwoFailuresOneAndBothChangeNothing) {
    const std::string db = q(db_), aet = q(firstClubFile());
    writeFile(dir_ / "kaputt.lan", "[LigaLand]\nLand=X\n[L]\n1=../../etc/passwd\n");
    expectExits({
        {"import-club " + db, 2},
        {"import-club " + db + " a.aet", 2},
        {"import-club " + db + " a.aet --replace x", 2},
        {"import-club " + db + " a.aet --replace 1 --preset 11", 2},
        {"import-free " + db, 2},
        {"import-tea " + db + " a.tea", 2},
        {"import-tea " + db + " a.tea --new-in X --replace 1", 2},
        {"import-index " + db + " a.lan --seed -1", 2},
        {"import-index " + db + " a.lan extra", 2},
        {"import-club " + db + " " + aet + " --replace 99999999", 1},  // no such club
        {"import-club " + db + " " + q(dir_ / "fehlt.aet") + " --replace 1", 1},
        {"import-free " + db + " " + q(dir_ / "fehlt.aet"), 1},
        {"import-tea " + db + " " + q(dir_ / "fehlt.tea") + " --replace 1", 1},
        {"import-index " + db + " " + q(dir_ / "fehlt.lan") + " --apply", 1},
    });
    // An index entry leaving the export folder is skipped with a word, not followed.
    const Result r = tool("import-index " + db + " " + q(dir_ / "kaputt.lan"));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("übersprungen"), std::string::npos);
}

TEST_F(ImportCommands, ImportsPrintWhatTheyWrote) {
    const fs::path aet = firstClubFile();
    const std::string db = q(db_);
    const Result index = tool("import-index " + db + " " + q(exported("de.lan")));
    ASSERT_EQ(index.status, 0) << index.err;
    EXPECT_NE(index.out.find(".aet\t"), std::string::npos);

    const std::string number = value("SELECT Min(NUMMER) FROM vereine WHERE NUMMER > 0");
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
