// kickoratool's checks of the tools menu: check-shirts, check-names and rename-pictures on a
// demo world whose names and numbers the test sets itself.
#include <gtest/gtest.h>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

using tooltest::q;
using tooltest::Result;
class ToolsCommands : public tooltest::DemoWorldCommands {};

}  // namespace

TEST_F(ToolsCommands, CheckShirtsListsEachClubWithItsSharedNumbers) {
    sql("UPDATE spieler SET RUECKENNUMMER = NUMMER");
    Result r = tool("check-shirts " + q(db_));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    // Club 44: three sevens and two nines; national team 3: two twelves.
    sql("UPDATE spieler SET RUECKENNUMMER = 7 WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein = 44 ORDER BY spieler LIMIT 3)");
    sql("UPDATE spieler SET RUECKENNUMMER = 9 WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein = 44 ORDER BY spieler DESC LIMIT 2)");
    sql("UPDATE spieler SET RUECKENNUMMER = 12 WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein = 3 LIMIT 2)");
    sql("UPDATE vereine SET NAME = \"SC \"\"Blau\"\" 44\" WHERE NUMMER = 44");
    sql("UPDATE vereine_national SET NAME = \"Nation Drei\" WHERE NUMMER = 3");
    r = tool("check-shirts " + q(db_));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3\tNation Drei\t12\n44\tSC \"Blau\" 44\t7,9\n");
}

TEST_F(ToolsCommands, CheckNamesProposesByRule) {
    sql("UPDATE vereine SET NAME = \"Kurz\"");
    sql("UPDATE vereine SET NAME = \"Sportfreunde \"\"Blau\"\" Weiß\" WHERE NUMMER = 50");
    sql("UPDATE vereine SET NAME = \"Fünfzehnzeichen\" WHERE NUMMER = 51");
    sql("UPDATE vereine SET NAME = \"Alemannia Rotdorfer\" WHERE NUMMER = 52");
    // The proposals of each rule are the club-name check's own tests; here: the rule is passed on.
    const std::string lines = "52\tAlemannia Rotdorfer\tAlemannia Rotdorfer\n50\tSportfreunde \"Blau\" Weiß\t";
    const std::pair<std::string, std::string> cases[] = {{"", "Sportfreunde \"Blau\" Weiß\n"},
                                                         {" --rule 1", "\"Blau\" Weiß\n"},
                                                         {" --rule 2", "Sportfreunde \"Blau\"\n"}};
    for (const auto& [rule, last] : cases) {
        const Result r = tool("check-names " + q(db_) + rule);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, lines + last) << rule;
    }
    expectExits({{"check-names " + q(db_) + " --rule 3", 2}, {"check-names", 2}});
}

TEST_F(ToolsCommands, RenamePicturesMatchesAsTheDatabaseComparesText) {
    sql("UPDATE spieler SET NAME = \"Ölmann\" WHERE NUMMER = 17");
    sql("UPDATE spieler SET NAME = \"Zwilling\" WHERE NUMMER IN (18, 19)");
    const fs::path pics = dir_ / "bilder";
    fs::create_directories(pics);
    for (const char* file : {"ölmann.jpg", "Zwilling.JPG", "Niemand.jpg", "5.jpg"}) writeFile(pics / file, file);
    const std::string dbBytes = readFile(db_);

    const std::string lines = "Zwilling.JPG\t?\nölmann.jpg\t17.jpg\n";
    Result r = tool("rename-pictures " + q(db_) + " " + q(pics) + " --dry-run");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, lines);
    EXPECT_TRUE(fs::exists(pics / "ölmann.jpg"));
    r = tool("rename-pictures " + q(db_) + " " + q(pics));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, lines);
    EXPECT_EQ(readFile(pics / "17.jpg"), "ölmann.jpg");
    EXPECT_FALSE(fs::exists(pics / "ölmann.jpg"));
    for (const char* file : {"Zwilling.JPG", "Niemand.jpg", "5.jpg"}) EXPECT_EQ(readFile(pics / file), file);
    EXPECT_EQ(readFile(db_), dbBytes);

    EXPECT_NE(tool("rename-pictures " + q(db_) + " " + q(dir_ / "fehlt")).err.find("gibt es nicht"), std::string::npos);
    expectExits({{"rename-pictures " + q(db_) + " " + q(dir_ / "fehlt"), 1}, {"rename-pictures " + q(db_), 2}});
}
