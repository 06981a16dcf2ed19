// Face codes, the downward search for missing part pictures, the face check and the dialog.
#include "common/jetdb.h"
#include "common/progress.h"
#include "demo/demoworld.h"
#include "editor/graphics/faces.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

// A face folder with the given part picture numbers (1-based) for one colour.
std::string makeFolder(const TempDir& tmp, const char* skin, const std::array<std::vector<int>, 5>& numbers)
{
    const std::string folder = (tmp.path() / "gesicht").string() + "/";
    fs::create_directories(folder);
    testsupport::writeFile(folder + "sp_gesicht_" + skin + "_grund.gif", "g");
    for (int p = 0; p < 5; ++p)
        for (int n : numbers[p])
            testsupport::writeFile(folder + "sp_gesicht_" + skin + "_" + faces::kPartNames[p] + "_" +
                                       std::to_string(n) + ".gif",
                                   "x");
    return folder;
}

}  // namespace

TEST(FaceCode, EncodeAndDecode)
{
    const std::pair<faces::Face, std::int64_t> codes[] = {
        {{0, {0, 0, 0, 0, 0}}, 0},
        {{1, {0, 0, 0, 0, 0}}, 1},
        {{0, {2, 3, 4, 5, 6}}, 2 * 67108864LL + 3 * 1048576 + 4 * 8192 + 5 * 128 + 6 * 4},
        {{0, {2, 3, 61, 29, 10}}, 2 * 67108864LL + 3 * 1048576 + 61 * 8192 + 29 * 128 + 10 * 4},
        {{1, {8, 0, 9, 1, 0}}, 8 * 67108864LL + 9 * 8192 + 1 * 128 + 1},
    };
    for (const auto& [face, code] : codes) {
        EXPECT_EQ(faces::encode(face), code);
        const faces::Face back = faces::decode(code);
        EXPECT_EQ(back.skin, face.skin) << code;
        EXPECT_EQ(back.parts, face.parts) << code;
    }
    EXPECT_EQ(faces::encode({1, {0, 0, 0, 0, 7}}), 1);  // a black face keeps chin index 0 whatever the chin says
}

TEST(FaceLibrary, FitAndShowSearchDownwardForMissingPictures)
{
    TempDir tmp;
    // nose 1..3, mouth 1 and 4, hair 1..5, eyes 2 only, no chin at all.
    const std::string folder = makeFolder(tmp, "weiss", {{{1, 2, 3}, {1, 4}, {1, 2, 3, 4, 5}, {2}, {}}});
    testsupport::writeFile(folder + "SP_Gesicht_Weiss_Haare_9.GIF", "x");  // letter case from Windows
    testsupport::writeFile(folder + "sp_gesicht_weiss_haare_extra.gif", "x");
    faces::FaceLibrary lib(folder);
    EXPECT_EQ(lib.count(0, 2), 7);  // every file of the pattern counts
    EXPECT_EQ(lib.count(0, 4), 0);
    EXPECT_TRUE(lib.exists(0, 2, 8));
    EXPECT_EQ(lib.partFile(0, 2, 8).filename(), "SP_Gesicht_Weiss_Haare_9.GIF");

    const std::int64_t code = faces::encode({0, {2, 2, 7, 0, 3}});
    // nose 2 exists; mouth 2 -> 0 (picture 1); hair 7 -> 4; eyes 0 has none -> 0; chin none -> 0.
    EXPECT_EQ(lib.fit(code), faces::encode({0, {2, 0, 4, 0, 0}}));
    const std::int64_t good = faces::encode({0, {1, 3, 8, 1, 0}});
    EXPECT_EQ(lib.fit(good), faces::encode({0, {1, 3, 8, 1, 0}}));
    EXPECT_EQ(lib.fit(2), std::nullopt);   // skin 2 names no colour
    EXPECT_EQ(lib.fit(-4), std::nullopt);

    const faces::FaceView v = faces::showgesicht(lib, code);
    ASSERT_TRUE(v.valid);
    EXPECT_EQ(v.background.filename(), "sp_gesicht_weiss_grund.gif");
    EXPECT_EQ(v.indices, (std::array<int, 5>{2, 0, 4, 0, 0}));
    EXPECT_EQ(v.parts[2].filename(), "sp_gesicht_weiss_haare_5.gif");
    EXPECT_TRUE(v.parts[3].empty());  // no eye picture at or below index 0
    EXPECT_TRUE(v.parts[4].empty());
    EXPECT_FALSE(faces::showgesicht(lib, 3).valid);
}

TEST(FaceCheck, CorrectsCodesAgainstTheDemoPictures)
{
    TempDir tmp;
    demo::writeProgramFolder(tmp.path(), demo::Options{});
    jet::Database db = jet::Database::open(tmp / "kickora.mdb");
    faces::FaceLibrary lib((tmp / "gesicht").string() + "/");
    NullProgress none;
    faces::CheckResult first = faces::checkFaces(db, lib, none);
    EXPECT_EQ(first.corrected, 0);
    EXPECT_EQ(first.message, "Alle Gesichter in Ordnung!");
    EXPECT_GT(first.players, 8000);

    // Hair 70 of a white face and eyes 5 of a black face have no pictures; skin 3 is left.
    db.execute("UPDATE spieler SET gesicht=" + std::to_string(faces::encode({0, {0, 0, 70, 0, 0}})) +
               " WHERE nummer=5");
    db.execute("UPDATE spieler SET gesicht=" + std::to_string(faces::encode({1, {0, 0, 0, 5, 0}})) +
               " WHERE nummer=6");
    db.execute("UPDATE spieler SET gesicht=3 WHERE nummer=7");
    struct Rec final : ProgressSink {
        std::vector<std::string> t;
        int last = -1;
        void status(const std::string& s) override { t.push_back(s); }
        void percent(int p) override { last = p; }
    } rec;
    faces::CheckResult r = faces::checkFaces(db, lib, rec);
    EXPECT_EQ(r.corrected, 2);
    EXPECT_EQ(r.unfittable, 1);
    EXPECT_EQ(r.message, "2 Gesichter korrigiert!");
    EXPECT_EQ(rec.t.front(), "Überprüfe Spielergesichter...");
    EXPECT_EQ(rec.last, 100);
    EXPECT_EQ(db.query("SELECT gesicht FROM spieler WHERE nummer=5").field(0).toInt(),
              faces::encode({0, {0, 0, 61, 0, 0}}));
    EXPECT_EQ(db.query("SELECT gesicht FROM spieler WHERE nummer=6").field(0).toInt(),
              faces::encode({1, {0, 0, 0, 1, 0}}));
    EXPECT_EQ(db.query("SELECT gesicht FROM spieler WHERE nummer=7").field(0).toInt(), 3);
}

TEST(FaceDialog, SlidersButtonsSkinAndCode)
{
    TempDir tmp;
    std::string folder = makeFolder(tmp, "weiss", {{{1, 2, 3}, {1}, {1, 2}, {1, 2}, {1, 2, 3, 4}}});
    makeFolder(tmp, "schwarz", {{{1, 2}, {1, 2}, {1}, {1, 2}, {1}}});
    faces::FaceLibrary lib(folder);
    faces::FaceDialogModel m(lib);
    m.open(0, {2, 0, 1, 0, 3});
    EXPECT_EQ(m.maximum(0), 2);
    // plus and minus of part 0 at its top, of part 1 with one picture only: both off
    EXPECT_EQ(std::vector<bool>({m.plusEnabled(0), m.minusEnabled(0), m.plusEnabled(1), m.minusEnabled(1)}),
              std::vector<bool>({false, true, false, false}));
    EXPECT_EQ(m.code(), faces::encode({0, {2, 0, 1, 0, 3}}));
    m.minus(0);
    m.plus(3);
    m.plus(3);  // stops at the maximum
    EXPECT_EQ(m.value(0), 1);
    EXPECT_EQ(m.value(3), 1);
    EXPECT_EQ(m.partFile(3).filename(), "sp_gesicht_weiss_augen_2.gif");

    m.setSkin(1);
    EXPECT_EQ(m.backgroundFile().filename(), "sp_gesicht_schwarz_grund.gif");
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(m.value(k), 0);
    m.plus(0);
    m.plus(4);  // a single chin picture
    EXPECT_EQ(m.code(), faces::encode({1, {1, 0, 0, 0, 0}}));
    EXPECT_EQ(m.code() % 4, 1);

    m.open(0, {9, 9, 9, 9, 9});  // Reset from the main window clamps to what exists
    EXPECT_EQ(m.value(4), 3);
}
