// kickoratool journal, undo and redo: an import-club over a club taken back to the row and
// redone, what the commands print, and their exit codes.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/jetdb.h"
#include "demoworldcommands.h"
#include "gamedump.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using tooltest::q;
using tooltest::Result;

namespace {

class JournalCommands : public tooltest::DemoWorldCommands {
protected:
    static void SetUpTestSuite() {
        DemoWorldCommands::SetUpTestSuite();
        exportCountry();
    }
    std::string dump() {
        jet::Database db = jet::Database::open(db_);
        return testsupport::dumpGameTables(db);
    }
};

}  // namespace

TEST_F(JournalCommands, ImportClubIsTakenBackAndRedone) {
    const Result index = tool("import-index " + q(db_) + " " + q(exported("de.lan")));
    ASSERT_EQ(index.status, 0) << index.err;
    const fs::path aet = exported(index.out.substr(0, index.out.find('\t')));
    const std::string club = value("SELECT Min(NUMMER) FROM vereine WHERE NUMMER > 0");
    const std::string before = dump();
    ASSERT_EQ(tool("import-club " + q(db_) + " " + q(aet) + " --replace " + club + " --seed 4").status, 0);
    const std::string after = dump();
    ASSERT_NE(after, before);

    const Result journal = tool("journal " + q(db_));
    EXPECT_EQ(journal.status, 0);
    EXPECT_EQ(journal.out.rfind("1\tVerein importieren\t", 0), 0u) << journal.out;
    EXPECT_EQ(std::count(journal.out.begin(), journal.out.end(), '\n'), 1);

    const Result undo = tool("undo " + q(db_));
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out, "1\tVerein importieren\n");
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(tool("journal " + q(db_)).out, "");
    expectExits({{"undo " + q(db_), 1}});  // nothing left to take back

    EXPECT_EQ(tool("redo " + q(db_)).status, 0);
    EXPECT_EQ(dump(), after);
    expectExits({{"redo " + q(db_), 1}});
}

TEST_F(JournalCommands, UsageErrorsExitTwoAndOtherFilesOne) {
    const std::string db = q(db_), text = q(dir_ / "text.mdb");
    testsupport::writeFile(dir_ / "text.mdb", "kein SQLite");
    expectExits({{"journal", 2}, {"undo " + db + " " + db, 2}, {"redo", 2},
                 {"journal " + text, 1}, {"undo " + text, 1}, {"redo " + text, 1}});
}
