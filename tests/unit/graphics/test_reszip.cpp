// .gfp and TGA conversion, channel rules, zlib wrapper, and refusal of damaged pictures.
#include "editor/graphics/reszip.h"
#include "gfxtest.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace fs = std::filesystem;
using namespace gfxtest;
using testsupport::TempDir;

namespace {

gfx::GfpHeaders templateWithMarks()
{
    gfx::GfpHeaders h;
    for (int i = 0; i < 13; ++i)
        h.setFieldA(i, 1000 + i);
    for (int off = 0; off < 72; off += 4)
        h.setFieldB(off, 2000 + off);
    h.b[45] = 7;
    return h;
}

// An empty picture of w × h at the given bit depth.
gfx::GfpImage image(std::uint32_t w, std::uint32_t h, std::uint32_t bits)
{
    gfx::GfpImage i;
    i.headers.setFieldB(4, w);
    i.headers.setFieldB(8, h);
    i.headers.setFieldB(12, bits);
    return i;
}

}  // namespace

TEST(ChannelConversion, FiveAndSixBitRulesBothWays)
{
    // 8 -> 5/6 bit drops the remainder; back up an odd value lands on the top of its band.
    const std::pair<int, int> five[] = {{gfx::expand5(gfx::to5(255)), 255}, {gfx::expand5(gfx::to5(0)), 0},
                                        {gfx::expand5(gfx::to5(128)), 128}, {gfx::expand5(gfx::to5(130)), 128},
                                        {gfx::expand5(1), 15}, {gfx::expand5(2), 16}, {gfx::expand6(63), 255},
                                        {gfx::expand6(gfx::to6(133)), 135}};  // 33 is odd: 34 × 4 − 1
    for (std::size_t i = 0; i < std::size(five); ++i)
        EXPECT_EQ(five[i].first, five[i].second) << "case " << i;
    EXPECT_EQ(gfx::rgb565(255, 255, 255), 0xFFFF);
    EXPECT_EQ(gfx::rgb565(8, 4, 8), (1 << 11) | (1 << 5) | 1);
}

TEST(GfpTgaRoundTrip, RawAndCompressedKeepChannelsToTheirBits)
{
    TempDir tmp;
    const std::vector<std::array<int, 3>> px = {{255, 0, 128}, {130, 133, 1}, {0, 255, 255},
                                                {16, 17, 18},  {200, 100, 50}, {7, 3, 250}};
    writeBytes(tmp / "in.tga", makeTga(3, 2, px));
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "raw");
        // A compressed template keeps its byte 45, so the rule for it is visible.
        writeBytes(tmp / "t.gfp", gfx::encodeGfp(templateWithMarks(), 1, 1, {0, 0}, true));
        gfx::tgaFileToGfpFile(tmp / "in.tga", tmp / "t.gfp", compressed);
        const gfx::GfpImage img = gfx::readGfp(tmp / "t.gfp");
        const auto& hd = img.headers;
        // width, height, their copies, raw size; then fields the format does not name come from the template
        EXPECT_EQ((std::vector<std::uint32_t>{hd.width(), hd.height(), hd.fieldA(0), hd.fieldA(1), hd.rawSize(), hd.fieldA(5),
                                              hd.fieldB(0), hd.fieldB(16), hd.fieldB(68)}),
                  (std::vector<std::uint32_t>{3, 2, 3, 2, 12, 1005, 2000, 2016, 2068}));
        EXPECT_EQ(hd.compressionMarker(), compressed ? 11 : 0);
        EXPECT_EQ(hd.b[45], compressed ? 7 : 1);  // left from the template when compressed
        const gfx::Bytes file = readBytes(tmp / "t.gfp");
        if (compressed) {
            std::uint32_t raw, packed;
            std::memcpy(&raw, file.data() + 132, 4);
            std::memcpy(&packed, file.data() + 136, 4);
            EXPECT_EQ(raw, 12u);
            EXPECT_EQ(img.headers.compressedBlockSize(), packed + 8);
            EXPECT_EQ(file.size(), 140 + packed);
        } else {
            EXPECT_EQ(img.headers.compressedBlockSize(), 0u);
            EXPECT_EQ(file.size(), 132u + 12u);
        }

        gfx::gfpFileToTgaFile(tmp / "t.gfp", tmp / "out.tga");
        const gfx::Bytes tga = readBytes(tmp / "out.tga");
        ASSERT_EQ(tga.size(), 18u + 18u);
        EXPECT_EQ((gfx::Bytes{tga[2], tga[16], tga[17]}), (gfx::Bytes{2, 24, 0}));
        // Bottom row first (BGR): {16,17,18} -> 2, 4, 2 -> 16 each.
        EXPECT_EQ((gfx::Bytes(tga.begin() + 18, tga.begin() + 21)), (gfx::Bytes{16, 16, 16}));
        // Row y 0: {255,0,128} kept; {130,133,1} -> 16, 33, 0 -> 128, 135, 0.
        EXPECT_EQ((gfx::Bytes(tga.begin() + 27, tga.begin() + 33)), (gfx::Bytes{128, 0, 255, 0, 135, 128}));
    }
}

TEST(GfpTga, OnlyUncompressed24BitConverts)
{
    gfx::Bytes tga = makeTga(1, 1, {{1, 2, 3}});
    tga[16] = 32;
    EXPECT_TRUE(gfx::tgaToPixels(tga.data(), tga.size()).empty());
    tga[16] = 24;
    tga[2] = 10;  // run-length encoded
    EXPECT_TRUE(gfx::tgaToPixels(tga.data(), tga.size()).empty());

    TempDir tmp;
    writeBytes(tmp / "bad.tga", tga);
    writeBytes(tmp / "t.gfp", gfx::encodeGfp(templateWithMarks(), 1, 1, {1, 2}, false));
    const gfx::Bytes before = readBytes(tmp / "t.gfp");
    EXPECT_THROW(gfx::tgaFileToGfpFile(tmp / "bad.tga", tmp / "t.gfp", true), gfx::Error);
    EXPECT_EQ(readBytes(tmp / "t.gfp"), before);
}

TEST(GfpTga, TopDownTgaAndGreyGfp)
{
    const std::vector<std::array<int, 3>> px = {{255, 0, 0}, {0, 0, 255}};
    const gfx::Bytes tga = makeTga(1, 2, px, 0x20);
    const gfx::Pixels565 p = gfx::tgaToPixels(tga.data(), tga.size());
    ASSERT_EQ(p.data.size(), 4u);
    EXPECT_EQ(p.data[0] | p.data[1] << 8, 0xF800);  // first row is the red one
    EXPECT_EQ(p.data[2] | p.data[3] << 8, 0x001F);

    gfx::GfpImage grey = image(2, 1, 8);
    grey.pixels = {10, 200};
    const gfx::Bytes out = gfx::gfpToTga(grey);
    EXPECT_EQ((gfx::Bytes(out.begin() + 18, out.end())), (gfx::Bytes{10, 10, 10, 200, 200, 200}));
}

TEST(GfpTga, ReusedBufferGivesTheSameFileAsAFreshOne)
{
    // A 3 × 2 colour picture after a larger one: no byte of the larger may remain.
    gfx::GfpImage big = image(5, 5, 16), small = image(3, 2, 16);
    big.pixels.assign(5 * 5 * 2, 0xFF);
    small.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x01, 0x08, 0x21, 0x00, 0xFF, 0xFF};
    gfx::Bytes buffer;
    gfx::gfpToTga(big, buffer);
    gfx::gfpToTga(small, buffer);
    EXPECT_EQ(buffer, gfx::gfpToTga(small));
    ASSERT_EQ(buffer.size(), 18u + 3 * 2 * 3);
    // Bottom row first: 0x0801 = red 1 (15), blue 1 (15); 0x0021 = green 1 (7), blue 1; white.
    EXPECT_EQ((gfx::Bytes(buffer.begin() + 18, buffer.begin() + 27)),
              (gfx::Bytes{15, 0, 15, 15, 7, 0, 255, 255, 255}));
    // Top row: red, green, blue at full strength.
    EXPECT_EQ((gfx::Bytes(buffer.begin() + 27, buffer.end())), (gfx::Bytes{0, 0, 255, 0, 255, 0, 255, 0, 0}));
}

TEST(Zlib, StreamMustInflateToTheStatedSize)
{
    gfx::Bytes data(1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    const gfx::Bytes packed = gfx::compress(data.data(), data.size());
    EXPECT_EQ(gfx::decompress(packed.data(), packed.size(), data.size()), data);
    EXPECT_THROW(gfx::decompress(packed.data(), packed.size(), data.size() - 1), gfx::Error);
    EXPECT_THROW(gfx::decompress(packed.data(), packed.size(), data.size() + 1), gfx::Error);
    gfx::Bytes broken = packed;
    broken[broken.size() / 2] ^= 0x55;
    broken[2] ^= 0xFF;
    EXPECT_THROW(gfx::decompress(broken.data(), broken.size(), data.size()), gfx::Error);

    // Tiny and incompressible inputs do not fit the 1 % + 12 byte buffer; the one retry does.
    for (std::size_t n : {0u, 1u, 5u, 17u}) {
        gfx::Bytes noise(n);
        for (std::size_t i = 0; i < n; ++i)
            noise[i] = static_cast<std::uint8_t>(i * 97 + 13);
        const gfx::Bytes c = gfx::compress(noise.data(), noise.size());
        EXPECT_EQ(gfx::decompress(c.data(), c.size(), n), noise);
    }
    EXPECT_THROW(gfx::compress(data.data(), data.size(), 42), gfx::Error);  // a bad level fails at once
}

TEST(GfpDamaged, HeadersAndLengthsAreCheckedBeforeUse)
{
    const gfx::Bytes good = gfx::encodeGfp(templateWithMarks(), 4, 4, gfx::Bytes(32, 9), true);
    EXPECT_EQ(gfx::decodeGfp(good.data(), good.size()).pixels, gfx::Bytes(32, 9));

    auto withB = [&](int off, std::uint32_t v) {
        gfx::Bytes b = good;
        std::memcpy(b.data() + 60 + off, &v, 4);
        return b;
    };
    gfx::Bytes magic = good;
    magic[56] = 'X';
    const std::pair<const char*, gfx::Bytes> damaged[] = {
        {"width far above 4096", withB(4, 100000)}, {"width 4097", withB(4, 4097)},
        {"block past the end", withB(36, 0xFFFFFFF0u)}, {"depth 32", withB(12, 32)},
        {"one byte short", gfx::Bytes(good.begin(), good.end() - 1)}, {"cut at 100", gfx::Bytes(good.begin(), good.begin() + 100)},
        {"bad magic", magic}};
    for (const auto& [what, bytes] : damaged)
        EXPECT_THROW(gfx::decodeGfp(bytes.data(), bytes.size()), gfx::Error) << what;

    // A raw picture whose raw size does not match its dimensions.
    gfx::Bytes raw = gfx::encodeGfp(templateWithMarks(), 4, 4, gfx::Bytes(32, 9), false);
    EXPECT_EQ(gfx::gfpFileSize(raw.data(), raw.size()), 132u + 32u);
    std::uint32_t wrong = 1u << 30;
    std::memcpy(raw.data() + 60 + 40, &wrong, 4);
    EXPECT_THROW(gfx::decodeGfp(raw.data(), raw.size()), gfx::Error);

    const gfx::Bytes bigTga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 24, 0};  // 65535 × 65535
    EXPECT_THROW(gfx::tgaToPixels(bigTga.data(), bigTga.size()), gfx::Error);
    gfx::Bytes shortTga = makeTga(4, 4, std::vector<std::array<int, 3>>(16, {1, 2, 3}));
    shortTga.resize(shortTga.size() - 3);
    EXPECT_THROW(gfx::tgaToPixels(shortTga.data(), shortTga.size()), gfx::Error);
}
