// kickoratool find and check on a demo program folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using tooltest::q;
using tooltest::Result;

namespace {

// The whole program folder, as check also looks at the crests beside the database.
class FindCommands : public tooltest::DemoWorldCommands {
protected:
    void SetUp() override { fs::copy(world_->path() / "w", dir_.path(), fs::copy_options::recursive); }
};

}  // namespace

// Matching and filtering are the player search's own tests; here: the lines and exit codes.
TEST_F(FindCommands, FindPrintsOneLinePerPlayerWithItsClub) {
    sql("UPDATE spieler SET NAME = \"Müller\", VORNAME = \"São\", ART = 2, STÄRKE = 6000 WHERE NUMMER = 900");
    sql("UPDATE spieler SET NAME = \"MULLERS\", VORNAME = \"Jo\", ART = 1, STÄRKE = 2000 WHERE NUMMER = 901");
    const std::string club = rows("SELECT v.NUMMER, v.NAME FROM vereinspieler vs INNER JOIN vereine v ON v.NUMMER = vs.verein WHERE vs.spieler = 900");
    const std::string clubLine = club.substr(club.find('\n') + 1);  // "number\tname\n"
    const std::pair<std::string, std::string> cases[] = {{"muller", "900\tMüller\tSão\t" + clubLine + "901\t"},
                                                         {"sao --position 2", "900\tMüller\tSão\t" + clubLine},
                                                         {"muller --strength 0-3000", "901\t"}};
    for (const auto& [args, out] : cases) {
        const Result r = tool("find " + q(db_) + " " + args);
        EXPECT_EQ(r.status, 0) << args << r.err;
        EXPECT_EQ(r.out.substr(0, out.size()), out) << args;
    }
    expectExits({{"find " + q(db_) + " muller --position 4", 2}, {"find " + q(db_) + " muller --strength 5-1", 2},
                 {"find " + q(db_) + " muller --strength x", 2}, {"find " + q(db_) + " ", 2}});
}

TEST_F(FindCommands, CheckExitsOneWithALinePerFinding) {
    Result r = tool("check " + q(db_));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    sql("UPDATE spieler SET STÄRKE = 12000, MAX_STÄRKE = 8000 WHERE NUMMER = 5");
    sql("UPDATE vereine SET GRAFIK_NR = 888 WHERE NUMMER = 50");
    r = tool("check " + q(db_));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, 10), "staerke\t5\t");
    EXPECT_NE(r.out.find("\nwappen\t50\tWappennummer 888 "), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    EXPECT_EQ(tool("check").status, 2);
}
