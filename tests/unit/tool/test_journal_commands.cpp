// kickoratool journal, undo and redo: an import-club over a club taken back to the row and
// redone, what the commands print, and their exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/jetdb.h"
#include "gamedump.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class JournalCommands : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string tool = KICKORATOOL;
        int status = -1;
        runCommand(tool + " demo " + q(dir_ / "w") + " --seed 5 >/dev/null 2>&1 && " + tool + " demo-zentor " +
                       q(dir_ / "z.db") + " && " + tool + " zexport " + q(dir_ / "z.db") + " --country 1 " +
                       q(dir_ / "x" / "de.lan") + " >/dev/null",
                   &status);
        ASSERT_EQ(status, 0);
    }
    Result tool(const std::string& args) {
        Result r;
        const fs::path err = dir_ / "stderr.txt";
        r.out = runCommand(std::string(KICKORATOOL) + " " + args + " 2>" + q(err), &r.status);
        r.err = readFile(err);
        return r;
    }
    std::string dump() {
        jet::Database db = jet::Database::open(db_);
        return testsupport::dumpGameTables(db);
    }

    TempDir dir_;
    fs::path db_ = dir_ / "w" / "kickora.mdb";
};

}  // namespace

TEST_F(JournalCommands, ImportClubIsTakenBackAndRedone) {
    const Result index = tool("import-index " + q(db_) + " " + q(dir_ / "x" / "de.lan"));
    ASSERT_EQ(index.status, 0) << index.err;
    const fs::path aet = dir_ / "x" / index.out.substr(0, index.out.find('\t'));
    std::string club;
    {
        jet::Database db = jet::Database::open(db_);
        club = db.query("SELECT Min(NUMMER) FROM vereine WHERE NUMMER > 0").field(0).toString();
    }
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
    const Result again = tool("undo " + q(db_));
    EXPECT_EQ(again.status, 1);
    EXPECT_FALSE(again.err.empty());

    EXPECT_EQ(tool("redo " + q(db_)).status, 0);
    EXPECT_EQ(dump(), after);
    EXPECT_EQ(tool("redo " + q(db_)).status, 1);
}

TEST_F(JournalCommands, UsageErrorsExitTwoAndOtherFilesOne) {
    const std::string db = q(db_);
    for (const std::string& args : {std::string("journal"), "undo " + db + " " + db, std::string("redo")})
        EXPECT_EQ(tool(args).status, 2) << args;
    writeFile(dir_ / "text.mdb", "kein SQLite");
    for (const char* command : {"journal ", "undo ", "redo "}) {
        const Result r = tool(command + q(dir_ / "text.mdb"));
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_FALSE(r.err.empty()) << command;
    }
}
