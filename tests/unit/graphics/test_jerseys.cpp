// Jerseys on the demo database: show, model colours after a save, set choice and ma.res copy.
#include "common/jetdb.h"
#include "common/progress.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "editor/foundation/settings.h"
#include "editor/graphics/jerseys.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <map>
#include <optional>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

class JerseyDb : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        demo::writeDatabase(dir->path() / "master.mdb", demo::Options{});
    }
    static void TearDownTestSuite() { delete dir; }
    void SetUp() override
    {
        fs::copy_file(dir->path() / "master.mdb", tmp / "kickora.mdb");
        db = jet::Database::open(tmp / "kickora.mdb");
    }
    std::string text(const std::string& sql) { return db.query(sql).field(0).toString(); }

    static TempDir* dir;
    TempDir tmp;
    jet::Database db;
};
TempDir* JerseyDb::dir = nullptr;

jerseys::Colours expected(int set, int model)
{
    const demo::JerseyColours c = demo::jerseyColours(set, model);
    return {*jerseys::parseColour(c.trikot1), *jerseys::parseColour(c.trikot2), *jerseys::parseColour(c.hose),
            *jerseys::parseColour(c.streifen)};
}

}  // namespace

TEST(JerseyColour, ParseAndFormat)
{
    const std::pair<const char*, std::optional<jerseys::Rgb>> parsed[] = {
        {" 48, 48, 48", jerseys::Rgb{48, 48, 48}}, {"\"255,0 ,7\"", jerseys::Rgb{255, 0, 7}}, {"256,0,0", std::nullopt},
        {"1,2", std::nullopt}, {"1,2,3,4", std::nullopt}, {"a,b,c", std::nullopt}};
    for (const auto& [text, rgb] : parsed) EXPECT_EQ(jerseys::parseColour(text), rgb) << text;
    EXPECT_EQ(jerseys::colourText({0, 40, 160}), "  0, 40,160");
    for (auto [model, file] : {std::pair{0, "/s/trikot_00.gif"}, {5, "/s/trikot_05.gif"}, {100, "/s/trikot_100.gif"}})
        EXPECT_EQ(jerseys::modelPicture("/s/", model).string(), file);
    EXPECT_EQ(jerseys::modelAt(6, 11), 83);
    EXPECT_FALSE(jerseys::isChoosable(80));
    EXPECT_TRUE(jerseys::isChoosable(79));
}

TEST_F(JerseyDb, LoadJerseysReadsModelsAndColourGroups)
{
    db.execute("UPDATE vereine SET TRIKOT_ART=3, AUSWEICH_TRIKOT_ART=7, TW_TRIKOT_ART=61, "
               "F_AUSW_HOSE_SPIELER='\"1, 2, 3\"', F_HOSE_TRAINER='kaputt' WHERE nummer=42");
    auto j = jerseys::loadJerseys(db, 42, 1);
    ASSERT_TRUE(j);
    EXPECT_EQ(std::vector<int>({(*j)[0].model, (*j)[1].model, (*j)[2].model}), std::vector<int>({3, 7, 61}));
    EXPECT_EQ((*j)[1].colours[0], (jerseys::Rgb{1, 2, 3}));
    EXPECT_EQ((*j)[2].colours[3], (jerseys::Rgb{0, 0, 0}));
    EXPECT_FALSE(jerseys::loadJerseys(db, 999999, 1));
    EXPECT_TRUE(jerseys::loadJerseys(db, 1, 0));
}

TEST_F(JerseyDb, SettrikotfarbeAppliesModelColoursAndSkipsModelsWithoutRow)
{
    db.execute("UPDATE vereine SET TRIKOT_ART=85, AUSWEICH_TRIKOT_ART=12, TW_TRIKOT_ART=70, "
               "F_TRIKOT_SPIELER='  1,  1,  1', F_AUSW_TRIKOT_SPIELER='  2,  2,  2', "
               "F_ALTERN_TRIKOT_SPIELER='  3,  3,  3', F_HOSE_SPIELER='  4,  4,  4', "
               "F_AUSW_HOSE_SPIELER='  5,  5,  5', F_TRIKOT_TORWART='  6,  6,  6' WHERE nummer=42");
    const std::string otherBefore = text("SELECT F_TRIKOT_SPIELER FROM vereine WHERE nummer=43");
    jerseys::settrikotfarbe(db, 42, "vereine", 1);
    auto j = jerseys::loadJerseys(db, 42, 1);
    ASSERT_TRUE(j);
    // Model 85 has no colour row: home colours untouched.
    EXPECT_EQ((*j)[0].colours, (jerseys::Colours{{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}}));
    EXPECT_EQ((*j)[1].colours, expected(1, 12));
    EXPECT_EQ((*j)[2].colours, expected(1, 70));
    EXPECT_EQ(text("SELECT F_AUSW_HOSE_SPIELER FROM vereine WHERE nummer=42"),
              demo::jerseyColours(1, 12).trikot1);
    EXPECT_EQ(text("SELECT F_TRIKOT_SPIELER FROM vereine WHERE nummer=43"), otherBefore);

    jerseys::settrikotfarbe(db, 1, "vereine_national", 0);
    auto n = jerseys::loadJerseys(db, 1, 0);
    EXPECT_EQ((*n)[0].colours, expected(0, (*n)[0].model));
    EXPECT_THROW(jerseys::settrikotfarbe(db, 1, "spieler; DROP TABLE x", 0), jet::Error);
    EXPECT_EQ(jerseys::modelColours(db, 1, 12), expected(1, 12));
    EXPECT_FALSE(jerseys::modelColours(db, 0, 85));
}

TEST(JerseySet, CopyToTheGameOnlyWhenTheGameHasOne)
{
    TempDir tmp;
    Settings s;
    s.programDir = tmp.path();
    s.iniFile = tmp / "kickoraeditor.ini";
    s.folders[FolderTrikot0] = (tmp / "set0").string() + "/";
    s.folders[FolderTrikot1] = (tmp / "set1").string() + "/";
    s.folders[FolderKickorares] = (tmp / "game").string() + "/";
    fs::create_directories(tmp / "set0");
    fs::create_directories(tmp / "set1");
    fs::create_directories(tmp / "game");
    testsupport::writeFile(tmp / "set0" / "ma.res", "set null");
    testsupport::writeFile(tmp / "set1" / "ma.res", "set eins");
    NullProgress none;
    EXPECT_EQ(jerseys::copyJerseySet(s, none), jerseys::CopyResult::NoGame);
    EXPECT_FALSE(fs::exists(tmp / "game" / "ma.res"));

    testsupport::writeFile(tmp / "game" / "ma.res", "game");
    EXPECT_EQ(jerseys::chooseJerseySet(s, 1), "");
    EXPECT_EQ(s.satz, 1);
    EXPECT_NE(testsupport::readFile(s.iniFile).find("satz=1"), std::string::npos);
    EXPECT_EQ(jerseys::copyJerseySet(s, none), jerseys::CopyResult::Copied);
    EXPECT_EQ(testsupport::readFile(tmp / "game" / "ma.res"), "set eins");
    EXPECT_EQ(jerseys::modelPicture(s, 3), tmp / "set1" / "trikot_03.gif");
    testsupport::writeFile(tmp / "set1" / "TRIKOT_07.GIF", "gif");
    EXPECT_EQ(jerseys::modelPicture(s, 7), tmp / "set1" / "TRIKOT_07.GIF");

    fs::remove(tmp / "set1" / "ma.res");
    EXPECT_THROW(jerseys::copyJerseySet(s, none), std::exception);
    EXPECT_EQ(testsupport::readFile(tmp / "game" / "ma.res"), "set eins");

    // Files copied from Windows keep their letter case: both are still found, and the game's
    // file is replaced under its own name.
    testsupport::writeFile(tmp / "set1" / "MA.RES", "set eins neu");
    fs::rename(tmp / "game" / "ma.res", tmp / "game" / "Ma.Res");
    EXPECT_EQ(jerseys::copyJerseySet(s, none), jerseys::CopyResult::Copied);
    EXPECT_EQ(testsupport::readFile(tmp / "game" / "Ma.Res"), "set eins neu");
    EXPECT_FALSE(fs::exists(tmp / "game" / "ma.res"));

    // A set folder that is the game's folder: nothing to copy, nothing lost.
    s.folders[FolderTrikot1] = s.folders[FolderKickorares];
    EXPECT_EQ(jerseys::copyJerseySet(s, none), jerseys::CopyResult::Copied);
    EXPECT_EQ(testsupport::readFile(tmp / "game" / "Ma.Res"), "set eins neu");
}

TEST(JerseyPreview, ShapesCoverTheFiveArraysWithTheirColours)
{
    const auto shapes = jerseys::previewShapes(2);
    std::map<std::string, std::vector<int>> indices;
    for (const auto& s : shapes) {
        indices[s.array].push_back(s.index);
        EXPECT_LE(s.x + s.width, jerseys::kPreviewWidth);
        EXPECT_LE(s.y + s.height, jerseys::kPreviewHeight);
    }
    EXPECT_EQ(indices["shpstreif"], (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(indices["shpsock"], (std::vector<int>{4, 5}));
    EXPECT_EQ(indices["shphose"], (std::vector<int>{6, 7, 8}));
    const jerseys::Colours c{{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};
    const QImage img = jerseys::drawPreview(QImage(), c);
    for (const auto& s : shapes) {
        const QColor got = img.pixelColor(s.x + s.width / 2, s.y + s.height / 2);
        EXPECT_EQ(got, QColor(c[s.colour].r, c[s.colour].g, c[s.colour].b)) << s.array << s.index;
    }
}
