// RESF archives: layout of type 14 and type 16, name padding, damaged archives, and the
// crest import and export built on them.
#include "editor/graphics/crests.h"
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"
#include "gfxtest.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <vector>

namespace fs = std::filesystem;
using namespace gfxtest;
using testsupport::TempDir;

TEST(ResArchive, WriteAndReadBackBothLayouts)
{
    TempDir tmp;
    const std::vector<gfx::Bytes> members = {gfpOf(2, 2, 1, true), gfpOf(3, 1, 2, false), gfpOf(5, 5, 3, true)};
    for (std::uint32_t type : {14u, 16u}) {
        SCOPED_TRACE(type);
        const fs::path file = tmp / ("a" + std::to_string(type) + ".res");
        gfx::ResArchiveWriter w(file, type);
        w.add("erstes", members[0]);
        w.add("zweites", members[1]);
        w.add("drittes", members[2]);
        w.finish();

        const gfx::Bytes bytes = readBytes(file);
        const std::size_t extra = type == 16 ? 4 : 0;
        const std::size_t total = 3 * extra + members[0].size() + members[1].size() + members[2].size();
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RESF");
        EXPECT_EQ(at32(bytes, 4), 3u);
        EXPECT_EQ(at32(bytes, 8), 12 + total);
        EXPECT_EQ(bytes.size(), 12 + total + 3 * (8 + 256));
        // Type 16: the offset names the length field in front of the data.
        EXPECT_EQ(at32(bytes, 12 + total + 4), 12u);
        if (type == 16)
            EXPECT_EQ(at32(bytes, 12), members[0].size());
        EXPECT_EQ(at32(bytes, 12 + total + 12), 12 + extra + members[0].size());

        ASSERT_TRUE(gfx::isArchive(file));
        gfx::ResArchive a = gfx::ResArchive::open(file);
        ASSERT_EQ(a.members().size(), 3u);
        EXPECT_EQ(a.members()[1].name, "zweites");
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(a.members()[i].type, type);
            EXPECT_EQ(a.memberGfp(i), members[i]);
        }
        EXPECT_EQ(a.extract(2, tmp / "out" / "sub"), "drittes");
        EXPECT_EQ(readBytes(tmp / "out" / "sub" / "drittes.gfp"), members[2]);
    }
}

TEST(ResArchive, BlanksInNamesBecomeNulAndCutTheName)
{
    TempDir tmp;
    gfx::ResArchiveWriter w(tmp / "n.res", 14);
    w.add("FC Bar", gfpOf(1, 1, 0, false));
    w.add("Straße", gfpOf(1, 1, 0, false));
    w.finish();
    const gfx::Bytes bytes = readBytes(tmp / "n.res");
    const std::size_t names = at32(bytes, 8) + 16;
    EXPECT_EQ(std::memcmp(bytes.data() + names, "FC\0Bar\0\0", 8), 0);
    for (std::size_t k = 6; k < 256; ++k)
        ASSERT_EQ(bytes[names + k], 0) << k;
    EXPECT_EQ(bytes[names + 256 + 4], 0xDF);  // ß in Windows-1252
    gfx::ResArchive a = gfx::ResArchive::open(tmp / "n.res");
    EXPECT_EQ(a.members()[0].name, "FC");
    EXPECT_EQ(a.members()[1].name, "Straße");
    EXPECT_THROW(w.add(std::string(257, 'x'), gfpOf(1, 1, 0, false)), gfx::Error);
}

TEST(ResArchive, DamagedHeadsAreRefusedBeforeReading)
{
    TempDir tmp;
    gfx::ResArchiveWriter w(tmp / "ok.res", 14);
    w.add("a", gfpOf(2, 2, 1, true));
    w.finish();
    const gfx::Bytes good = readBytes(tmp / "ok.res");

    gfx::Bytes pastEnd = good, huge = good;
    put32(pastEnd, 8, static_cast<std::uint32_t>(good.size() + 1));  // directory offset past the end
    put32(huge, 4, 0xFFFFFFFFu);                                      // four billion members cannot fit
    const std::pair<const char*, gfx::Bytes> damaged[] = {{"names cut off", gfx::Bytes(good.begin(), good.end() - 100)},
                                                          {"head only", gfx::Bytes(good.begin(), good.begin() + 8)},
                                                          {"directory past the end", pastEnd},
                                                          {"huge count", huge}};
    for (const auto& [what, bytes] : damaged) {
        writeBytes(tmp / "d.res", bytes);
        EXPECT_THROW(gfx::ResArchive::open(tmp / "d.res"), gfx::Error) << what;
    }

    gfx::Bytes memberPastEnd = good;
    put32(memberPastEnd, at32(good, 8) + 4, static_cast<std::uint32_t>(good.size() - 10));
    writeBytes(tmp / "m.res", memberPastEnd);
    gfx::ResArchive a = gfx::ResArchive::open(tmp / "m.res");
    try {
        a.memberGfp(0);
        FAIL() << "member past the end was read";
    } catch (const gfx::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Eintrag 0 (a)"), std::string::npos) << e.what();
    }
    writeBytes(tmp / "x.res", {'N', 'O', 'P', 'E'});
    EXPECT_FALSE(gfx::isArchive(tmp / "x.res"));
    EXPECT_FALSE(gfx::isArchive(tmp / "missing.res"));
}

class CrestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (tmp.path() / "wappen").string() + "/";
        fs::create_directories(folder);
        writeBytes(crests::defaultGfp(folder), gfpOf(1, 1, 0, false));
    }
    // A crest TGA of w × h in one colour.
    void writeCrest(const std::string& name, int w, int h, int r)
    {
        writeBytes(folder + name + ".tga", makeTga(w, h, std::vector<std::array<int, 3>>(std::size_t(w * h), {r, 32, 16})));
    }
    void writeList(const std::vector<std::string>& names, int anzahl)
    {
        std::string s = "[wappen]\r\ndatei=wa.res\r\nanzahl=" + std::to_string(anzahl) + "\r\ntype=14\r\n";
        for (const auto& n : names)
            s += "[" + n + "]\r\ndatei=" + n + ".gfp\r\n";
        testsupport::writeFile(crests::memberList(folder), s);
    }
    TempDir tmp;
    std::string folder;
    Recorder progress;
};

TEST_F(CrestFolder, ExportThenImportRestoresTheCrests)
{
    writeCrest("vereins_wappen_1", 4, 3, 192);
    writeCrest("vereins_wappen_2", 2, 2, 64);
    writeList({"vereins_wappen_1", "vereins_wappen_2"}, 2);
    const gfx::Bytes first = readBytes(folder + std::string("vereins_wappen_1.tga"));
    ASSERT_FALSE(fs::exists(folder + std::string("temp")));  // export works without the temporary folder

    const fs::path archive = tmp / "wa.res";
    EXPECT_EQ(crests::exportCrests(folder, archive, progress), 2);
    EXPECT_EQ(progress.texts.front(), "Exportiere Wappen ...");
    EXPECT_NE(std::find(progress.texts.begin(), progress.texts.end(), "Packe Wappen ..."), progress.texts.end());
    EXPECT_EQ(progress.texts.back(), "");
    EXPECT_EQ(progress.percents.back(), 100);
    gfx::ResArchive a = gfx::ResArchive::open(archive);
    ASSERT_EQ(a.members().size(), 2u);
    EXPECT_EQ(a.members()[0].type, 14u);
    const gfx::Bytes m = a.memberGfp(0);
    EXPECT_EQ(m[60 + 44], 11);  // compressed

    fs::remove(folder + std::string("vereins_wappen_1.tga"));
    writeCrest("vereins_wappen_2", 9, 9, 1);  // larger: overwritten and cut by the import
    writeCrest("vereins_wappen_3", 1, 1, 1);  // not in the archive: left alone
    progress = Recorder();
    crests::ImportResult r = crests::importCrests(folder, archive, progress);
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(r.imported, 2);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(progress.texts.front(), "Importiere Wappen...");
    EXPECT_EQ(progress.texts.back(), "");
    EXPECT_EQ(readBytes(folder + std::string("vereins_wappen_1.tga")), first);  // 192, 32 and 16 survive 5 and 6 bits
    const gfx::Bytes second = readBytes(folder + std::string("vereins_wappen_2.tga"));
    EXPECT_EQ(second.size(), 18u + 2 * 2 * 3);
    EXPECT_EQ(second[18 + 2], 64);
    EXPECT_EQ(second[12], 2);
    EXPECT_EQ(readBytes(folder + std::string("vereins_wappen_3.tga")).size(), 18u + 3u);
}

// Crests copied from Windows keep their letter case: shown, chosen and exported as they are,
// with default.tga copied only where no file of the name exists in any case; an existing
// crest is never overwritten by it.
TEST_F(CrestFolder, CrestsAreFoundInAnyLetterCase)
{
    writeCrest("Vereins_Wappen_5", 2, 2, 200);
    fs::rename(folder + "Vereins_Wappen_5.tga", folder + "Vereins_Wappen_5.TGA");
    writeCrest("default", 1, 1, 7);
    const fs::path real = folder + "Vereins_Wappen_5.TGA";

    EXPECT_EQ(crests::loadwappen(folder, 5), real);
    const std::vector<QImage> cells = crests::loadCrestPreviews(folder);
    EXPECT_EQ(qRed(cells[5].pixel(0, 0)), 200);
    EXPECT_EQ(qRed(cells[6].pixel(0, 0)), 7);
    EXPECT_FALSE(fs::exists(folder + "vereins_wappen_5.tga"));
    EXPECT_TRUE(fs::exists(folder + "vereins_wappen_6.tga"));
    EXPECT_EQ(crests::crestFile(folder, 5), real);
    // Showing a crest that is missing copies the default under the crest's name.
    const fs::path copied = crests::loadwappen(folder, 17);
    EXPECT_EQ(copied.filename(), "vereins_wappen_17.tga");
    EXPECT_EQ(readBytes(copied), readBytes(crests::defaultTga(folder)));

    writeList({"vereins_wappen_5"}, 1);
    EXPECT_EQ(crests::exportCrests(folder, tmp / "wa.res", progress), 1);
    // Importing it back overwrites the file it came from instead of adding a second one.
    fs::remove(real);
    writeCrest("Vereins_Wappen_5", 1, 1, 1);
    fs::rename(folder + "Vereins_Wappen_5.tga", real);
    crests::importCrests(folder, tmp / "wa.res", progress);
    EXPECT_FALSE(fs::exists(folder + "vereins_wappen_5.tga"));
    EXPECT_EQ(readBytes(real).size(), 18u + 2 * 2 * 3);
}

TEST_F(CrestFolder, FailedExportLeavesTheOldArchive)
{
    const fs::path archive = tmp / "wa.res";
    testsupport::writeFile(archive, "old archive");
    writeCrest("a", 1, 1, 1);
    writeList({"a", "fehlt"}, 2);
    EXPECT_THROW(crests::exportCrests(folder, archive, progress), gfx::Error);
    writeList({"a"}, 3);  // names fewer sections than anzahl
    EXPECT_THROW(crests::exportCrests(folder, archive, progress), gfx::Error);
    writeList({"a"}, 1);
    fs::remove(crests::defaultGfp(folder));
    EXPECT_THROW(crests::exportCrests(folder, archive, progress), gfx::Error);
    EXPECT_EQ(testsupport::readFile(archive), "old archive");
    for (const auto& e : fs::directory_iterator(tmp.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    EXPECT_EQ(progress.texts.back(), "");
}

TEST_F(CrestFolder, ImportSkipsDamagedAndUnsafeMembersAndKeepsTheOthers)
{
    const fs::path archive = tmp / "wa.res";
    {
        gfx::ResArchiveWriter w(archive, 14);
        w.add("gut", gfpOf(2, 2, 0x1F, true));
        w.add("../x", gfpOf(1, 1, 0, true));
        w.add("", gfpOf(1, 1, 0, true));
        gfx::Bytes bad = gfpOf(4, 4, 7, true);
        bad[bad.size() - 3] ^= 0xFF;  // zlib stream damaged
        bad[150] ^= 0xFF;
        w.add("kaputt", bad);
        w.add("auch_gut", gfpOf(1, 2, 0xE0, false));
        w.finish();
    }
    // A member of another type is passed over without a word.
    crests::ImportResult r = crests::importCrests(folder, archive, progress);
    EXPECT_EQ(r.members, 5);
    EXPECT_EQ(r.imported, 2);
    ASSERT_EQ(r.messages.size(), 3u);
    EXPECT_NE(r.messages[0].find("../x"), std::string::npos);
    EXPECT_NE(r.messages[2].find("kaputt"), std::string::npos);
    for (auto [file, wanted] : {std::pair{folder + "gut.tga", true}, {folder + "auch_gut.tga", true},
                                {(tmp / "x.tga").string(), false}, {folder + ".tga", false}})
        EXPECT_EQ(fs::exists(file), wanted) << file;

    testsupport::writeFile(tmp / "no.res", "RIFF....");
    EXPECT_FALSE(crests::importCrests(folder, tmp / "no.res", progress).archive);
}

namespace {

// An archive of `count` type-14 entries that all point at the one member stored: a small
// file that names far more picture data than it holds.
gfx::Bytes sharedMemberArchive(const gfx::Bytes& member, std::uint32_t count)
{
    gfx::Bytes b(12 + member.size(), 0);
    std::memcpy(b.data(), "RESF", 4);
    put32(b, 4, count);
    put32(b, 8, static_cast<std::uint32_t>(12 + member.size()));
    std::memcpy(b.data() + 12, member.data(), member.size());
    for (std::uint32_t i = 0; i < count; ++i) {
        b.resize(b.size() + 8);
        put32(b, b.size() - 8, 14);
        put32(b, b.size() - 4, 12);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string name = "w" + std::to_string(i);
        b.resize(b.size() + 256, 0);
        std::memcpy(b.data() + b.size() - 256, name.data(), name.size());
    }
    return b;
}

}  // namespace

TEST_F(CrestFolder, ImportSkipsPicturesLargerThanAnyOfTheGame)
{
    const struct {
        int w, h;
        bool taken;
    } cases[] = {{64, 64, true}, {512, 512, true}, {513, 512, false}, {1, 4096, true}, {4096, 4096, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        fs::remove_all(folder);
        const fs::path archive = tmp / "wa.res";
        {
            gfx::ResArchiveWriter w(archive, 14);
            w.add("bild", gfpOf(c.w, c.h, 0x55, true));
            w.add("klein", gfpOf(2, 2, 0x55, true));
            w.finish();
        }
        crests::ImportResult r = crests::importCrests(folder, archive, progress);
        EXPECT_EQ(r.imported, c.taken ? 2 : 1);
        EXPECT_EQ(fs::exists(folder + std::string("bild.tga")), c.taken);
        ASSERT_EQ(r.messages.size(), c.taken ? 0u : 1u);
        if (!c.taken) {
            EXPECT_NE(r.messages[0].find("Eintrag 0 (bild) übersprungen: das Bild ist mit"), std::string::npos)
                << r.messages[0];
        }
    }
}

TEST_F(CrestFolder, ArchiveThatExpandsBeyondTheBoundIsRefusedBeforeWriting)
{
    // 1100 entries of one 512 × 512 crest: about 300 KB of file, 825 MB of crests.
    const fs::path archive = tmp / "wa.res";
    writeBytes(archive, sharedMemberArchive(gfpOf(512, 512, 0, true), 1100));
    ASSERT_LT(fs::file_size(archive), 400u * 1024);
    fs::remove_all(folder);
    try {
        crests::importCrests(folder, archive, progress);
        FAIL() << "the archive was imported";
    } catch (const gfx::Error& e) {
        EXPECT_NE(std::string(e.what()).find("nimmt der Import nicht an"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(progress.texts.back(), "");

    // Fewer such entries stay below the bound and import.
    writeBytes(archive, sharedMemberArchive(gfpOf(512, 512, 0, true), 20));
    EXPECT_EQ(crests::importCrests(folder, archive, progress).imported, 20);

    // res-extract measures the same way: members that share their bytes count once each.
    const std::string tool = std::string(KICKORA_BUILD_DIR) + "/src/tool/kickoratool";
    if (!fs::exists(tool))
        GTEST_SKIP() << "kickoratool is not built";
    writeBytes(archive, sharedMemberArchive(gfpOf(512, 512, 0, false), 600));  // 600 × 512 KB raw
    int status = -1;
    const std::string out =
        testsupport::runCommand(tool + " res-extract " + archive.string() + " " + (tmp / "aus").string() + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("werden nicht ausgepackt"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(tmp / "aus"));
}
