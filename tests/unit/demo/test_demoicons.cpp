// Talent icons of the demo world: GIF files that a reader takes back at 16x16, one distinct
// picture per talent, written the same way every time.
#include "demo/demodata.h"
#include "demo/demoicons.h"
#include "testsupport.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

QImage readBack(const fs::path& file) {
    QImage img(QString::fromStdString(file.string()));
    return img.convertToFormat(QImage::Format_ARGB32);
}

fs::path iconFile(const fs::path& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "attribute_hell_%02d.gif", index);
    return folder / name;
}

}  // namespace

TEST(DemoIcons, EveryTalentHasASixteenPixelGifWithATransparentBackgroundWrittenTheSameEachTime) {
    TempDir dir, again;
    demo::writeTalentIcons(dir.path() / "attribute");
    demo::writeTalentIcons(again.path());
    const int count = static_cast<int>(demo::talents().size());
    ASSERT_GE(count, demo::kShownTalents);
    for (int i = 0; i < count; ++i) {
        const fs::path file = iconFile(dir.path() / "attribute", i);
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_EQ(testsupport::readFile(file).substr(0, 6), "GIF89a") << file;
        EXPECT_EQ(testsupport::readFile(file), testsupport::readFile(iconFile(again.path(), i))) << file;
        const QImage img = readBack(file);
        ASSERT_FALSE(img.isNull()) << file;
        EXPECT_EQ(img.width(), 16);
        EXPECT_EQ(img.height(), 16);
        // The corners lie outside every badge shape; the middle is drawn.
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << file;
        EXPECT_EQ(qAlpha(img.pixel(15, 0)), 0) << file;
        EXPECT_EQ(qAlpha(img.pixel(8, 8)), 255) << file;
    }
    EXPECT_FALSE(fs::exists(iconFile(dir.path() / "attribute", count)));
}

TEST(DemoIcons, PicturesDifferPerTalentAndMatchTheirGroupColour) {
    const auto& list = demo::talents();
    std::set<std::vector<std::uint8_t>> seen;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const demo::IndexedImage icon = demo::talentIcon(static_cast<int>(i));
        ASSERT_EQ(icon.pixels.size(), 256u);
        ASSERT_LE(icon.palette.size(), 256u);
        // Palette and pixels together: two talents never look the same.
        std::vector<std::uint8_t> look = icon.pixels;
        for (const auto& c : icon.palette) look.insert(look.end(), c.begin(), c.end());
        EXPECT_TRUE(seen.insert(look).second) << "icon " << i << " repeats another";
        std::set<std::uint8_t> used(icon.pixels.begin(), icon.pixels.end());
        EXPECT_GE(used.size(), 4u) << "icon " << i << " is too plain";
    }
    // Talents of one group share the badge colour; different groups do not.
    auto body = [](int i) { return demo::talentIcon(i).palette.at(2); };
    EXPECT_EQ(body(0), body(2));    // Angriff
    EXPECT_EQ(body(47), body(48));  // Torwart
    EXPECT_NE(body(0), body(20));   // Angriff / Abwehr
}

TEST(DemoIcons, GifWriterKeepsEveryPaletteColourAndFailsCleanly) {
    TempDir dir;
    // 200 colours (not a power of two) on a 20x10 picture: each pixel its own colour index.
    demo::IndexedImage img;
    img.width = 20;
    img.height = 10;
    for (int k = 0; k < 200; ++k)
        img.palette.push_back({static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k),
                               static_cast<std::uint8_t>((k * 7) % 256)});
    for (int k = 0; k < 200; ++k) img.pixels.push_back(static_cast<std::uint8_t>(k));
    const fs::path file = dir.path() / "many.gif";
    demo::writeGif(file, img);
    const QImage back = readBack(file);
    ASSERT_EQ(back.size(), QSize(20, 10));
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);  // entry 0 is the transparent one
    for (int k = 1; k < 200; ++k) {
        const QRgb px = back.pixel(k % 20, k / 20);
        EXPECT_EQ(qRed(px), k);
        EXPECT_EQ(qGreen(px), 255 - k);
        EXPECT_EQ(qBlue(px), (k * 7) % 256);
    }

    EXPECT_THROW(demo::writeGif(dir.path() / "missing" / "x.gif", img), std::runtime_error);
    img.pixels.pop_back();
    EXPECT_THROW(demo::writeGif(dir.path() / "short.gif", img), std::runtime_error);
    EXPECT_FALSE(fs::exists(dir.path() / "short.gif"));
}
