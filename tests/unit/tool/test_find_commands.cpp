// kickoratool find and check on a demo program folder.
#include <gtest/gtest.h>

#include <memory>

#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;
using testsupport::TempDir;

namespace {

std::string q(const std::string& s) { return "'" + s + "'"; }

struct Result {
    int status = -1;
    std::string out, err;
};

class FindCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world_ = std::make_unique<TempDir>();
        int status = -1;
        runCommand(std::string(KICKORATOOL) + " demo " + q((world_->path() / "w").string()) + " --seed 4 >/dev/null 2>&1", &status);
        ASSERT_EQ(status, 0);
    }
    static void TearDownTestSuite() { world_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(world_);
        fs::copy(world_->path() / "w", dir_ / "w", fs::copy_options::recursive);
    }
    Result tool(const std::string& args) {
        Result r;
        const fs::path err = dir_ / "stderr.txt";
        r.out = runCommand(std::string(KICKORATOOL) + " " + args + " 2>" + q(err.string()), &r.status);
        r.err = readFile(err);
        return r;
    }
    void sql(const std::string& statement) { ASSERT_EQ(tool("sql " + db() + " " + q(statement)).status, 0) << statement; }
    std::string db() const { return q((dir_ / "w" / "kickora.mdb").string()); }

    static std::unique_ptr<TempDir> world_;
    TempDir dir_;
};
std::unique_ptr<TempDir> FindCommands::world_;

}  // namespace

TEST_F(FindCommands, FindMatchesWithoutCaseAndAccentsAndFilters) {
    sql("UPDATE spieler SET NAME = \"Müller\", VORNAME = \"São\", ART = 2, STÄRKE = 6000 WHERE NUMMER = 900");
    sql("UPDATE spieler SET NAME = \"MULLERS\", VORNAME = \"Jo\", ART = 1, STÄRKE = 2000 WHERE NUMMER = 901");
    const std::string club = tool("sql " + db() + " " + q("SELECT v.NUMMER, v.NAME FROM vereinspieler vs INNER JOIN vereine v ON v.NUMMER = vs.verein WHERE vs.spieler = 900")).out;
    const std::string clubLine = club.substr(club.find('\n') + 1);  // "number\tname\n"
    const struct {
        std::string args;
        std::string out;
    } cases[] = {
        {"muller", "900\tMüller\tSão\t" + clubLine + "901\t"},
        {"sao", "900\tMüller\tSão\t" + clubLine},
        {"muller --position 2", "900\tMüller\tSão\t" + clubLine},
        {"muller --strength 0-3000", "901\t"},
        {"\"\\\"; DROP TABLE spieler; --\"", ""},
    };
    for (const auto& c : cases) {
        const Result r = tool("find " + db() + " " + c.args);
        EXPECT_EQ(r.status, 0) << c.args << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.args;
        if (c.out.empty()) EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(tool("sql " + db() + " " + q("SELECT count(*) FROM spieler WHERE NUMMER = 900")).out, "count(*)\n1\n");
    for (const char* bad : {"muller --position 4", "muller --strength 5-1", "muller --strength x", ""})
        EXPECT_EQ(tool("find " + db() + " " + bad).status, 2) << bad;
}

TEST_F(FindCommands, CheckExitsOneWithALinePerFinding) {
    Result r = tool("check " + db());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    sql("UPDATE spieler SET STÄRKE = 12000, MAX_STÄRKE = 8000 WHERE NUMMER = 5");
    sql("UPDATE vereine SET GRAFIK_NR = 888 WHERE NUMMER = 50");
    r = tool("check " + db());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, 10), "staerke\t5\t");
    EXPECT_NE(r.out.find("\nwappen\t50\tWappennummer 888 "), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    EXPECT_EQ(tool("check").status, 2);
}
