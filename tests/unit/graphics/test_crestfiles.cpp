// The demo program folder's pictures as the editor reads them: crests per team, the chooser's
// loading, the face and jersey pictures, and the kickoratool crest round trip.
#include "common/jetdb.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/faces.h"
#include "editor/graphics/jerseys.h"
#include "editor/graphics/pictures.h"
#include "editor/graphics/resarchive.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QImage>


namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

class DemoFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        demo::writeProgramFolder(dir->path(), demo::Options{});
    }
    static void TearDownTestSuite() { delete dir; }
    static std::string folder(const char* sub) { return (dir->path() / sub).string() + "/"; }
    static TempDir* dir;
};
TempDir* DemoFolder::dir = nullptr;

}  // namespace

TEST_F(DemoFolder, EveryTeamHasItsCrestAndTheArchiveListsThem)
{
    jet::Database db = jet::Database::open(dir->path() / "kickora.mdb", false, true);
    int teams = 0;
    for (const char* sql : {"SELECT GRAFIK_NR FROM vereine_national", "SELECT GRAFIK_NR FROM vereine"})
        for (jet::Recordset rs = db.query(sql); !rs.eof(); rs.moveNext(), ++teams) {
            const QImage img = gfx::loadPicture(crests::crestFile(folder("wappen"), static_cast<int>(rs.field(0).toInt())));
            ASSERT_FALSE(img.isNull()) << rs.field(0).toInt();
            EXPECT_EQ(img.width(), 64);
        }
    gfx::ResArchive wa = gfx::ResArchive::open(dir->path() / "resfile" / "wa.res");
    EXPECT_EQ(static_cast<int>(wa.members().size()), teams + 1);  // and the transfer market's 999
    EXPECT_EQ(wa.members().back().name, "vereins_wappen_999");
    EXPECT_FALSE(gfx::loadPicture(crests::defaultTga(folder("wappen"))).isNull());
    const gfx::GfpImage templ = gfx::readGfp(crests::defaultGfp(folder("wappen")));
    EXPECT_EQ(templ.headers.width(), 64u);
}

TEST_F(DemoFolder, FacePicturesCoverTheRangesOfTheFaceCodes)
{
    faces::FaceLibrary lib(folder("gesicht"));
    for (int skin = 0; skin < 2; ++skin) {
        EXPECT_FALSE(gfx::loadPicture(lib.backgroundFile(skin)).isNull());
        for (int part = 0; part < 5; ++part) {
            EXPECT_EQ(lib.count(skin, part), demo::kFaceParts[skin][part]);
            for (int i = 0; i < demo::kFaceParts[skin][part]; ++i)
                ASSERT_TRUE(lib.exists(skin, part, i)) << skin << part << i;
        }
    }
    // Part layers are transparent around the drawing, the background is not.
    const QImage hair = gfx::loadPicture(lib.partFile(0, 2, 0));
    ASSERT_FALSE(hair.isNull());
    EXPECT_EQ(hair.size(), QSize(64, 80));
    EXPECT_EQ(qAlpha(hair.pixel(0, 79)), 0);
    EXPECT_EQ(qAlpha(gfx::loadPicture(lib.backgroundFile(1)).pixel(0, 0)), 255);
}

TEST_F(DemoFolder, JerseyModelsOfBothSetsWithTheirArchives)
{
    for (const char* set : {"trikot/original", "trikot/kickoranet"}) {
        for (int m = 0; m < demo::kJerseyModels; ++m) {
            const QImage img = gfx::loadPicture(jerseys::modelPicture(folder(set), m));
            ASSERT_FALSE(img.isNull()) << set << m;
            EXPECT_EQ(img.width(), 56);
        }
        gfx::ResArchive ma = gfx::ResArchive::open(dir->path() / set / "ma.res");
        ASSERT_EQ(ma.members().size(), 80u);
        EXPECT_EQ(ma.members()[0].type, gfx::kLengthPrefixedType);
        EXPECT_EQ(ma.members()[79].name, "trikot_79");
        const gfx::Bytes g = ma.memberGfp(79);
        EXPECT_EQ(gfx::decodeGfp(g.data(), g.size()).pixels.size(), 56u * 56u * 2u);
    }
    EXPECT_TRUE(fs::exists(dir->path() / "resfile" / "ma.res"));
}

// Its speed: bench/bench_crests and bench/bench_windows.
TEST_F(DemoFolder, ChooserLoadsAllCrestsAndFillsTheGaps)
{
    TempDir tmp;
    const std::string crestFolder = (tmp.path() / "wappen").string() + "/";
    fs::copy(dir->path() / "wappen", tmp.path() / "wappen");
    fs::remove(crests::crestFile(crestFolder, 500));
    std::vector<QImage> cells = crests::loadCrestPreviews(crestFolder);
    ASSERT_EQ(cells.size(), 1000u);
    for (int n = 0; n < 1000; ++n)
        ASSERT_FALSE(cells[n].isNull()) << n;
    EXPECT_EQ(testsupport::readFile(crests::crestFile(crestFolder, 500)),
              testsupport::readFile(crests::defaultTga(crestFolder)));
    EXPECT_TRUE(fs::exists(crests::crestFile(crestFolder, 0)));
    EXPECT_EQ(crests::numberAt(90, 10), 1000);
}

TEST_F(DemoFolder, KickoratoolCrestExportAndImportRoundTrip)
{
    const std::string tool = std::string(KICKORA_BUILD_DIR) + "/src/tool/kickoratool";
    if (!fs::exists(tool))
        GTEST_SKIP() << "kickoratool is not built";
    TempDir tmp;
    fs::copy(dir->path() / "wappen", tmp.path() / "wappen");
    int status = -1;
    testsupport::runCommand(tool + " crests-export " + tmp.path().string() + " " + (tmp / "wa.res").string(), &status);
    ASSERT_EQ(status, 0);
    for (const auto& e : fs::directory_iterator(tmp / "wappen"))
        if (e.path().filename().string().rfind("vereins_wappen_", 0) == 0)
            fs::remove(e.path());
    const std::string out = testsupport::runCommand(
        tool + " crests-import " + tmp.path().string() + " " + (tmp / "wa.res").string(), &status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(out.find("Wappen importiert"), std::string::npos);
    int compared = 0;
    for (const auto& e : fs::directory_iterator(dir->path() / "wappen")) {
        const std::string name = e.path().filename().string();
        if (name.rfind("vereins_wappen_", 0) != 0)
            continue;
        ASSERT_EQ(testsupport::readFile(e.path()), testsupport::readFile(tmp / "wappen" / name)) << name;
        ++compared;
    }
    EXPECT_GT(compared, 400);
    const std::string list = testsupport::runCommand(tool + " res-list " + (tmp / "wa.res").string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(list.substr(0, list.find('\n')), "0\t14\t12\tvereins_wappen_1");
}
