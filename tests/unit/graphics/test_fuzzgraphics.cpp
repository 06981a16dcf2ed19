// Random mutations of a valid archive, .gfp and TGA: every reader either succeeds or throws
// gfx::Error, never crashes or reads out of bounds (run under the sanitizers in CI too).
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <random>

namespace fs = std::filesystem;

namespace {

gfx::Bytes mutate(const gfx::Bytes& in, std::mt19937& rnd)
{
    gfx::Bytes b = in;
    const int edits = 1 + static_cast<int>(rnd() % 4);
    for (int e = 0; e < edits && !b.empty(); ++e) {
        switch (rnd() % 4) {
        case 0: b[rnd() % b.size()] ^= static_cast<std::uint8_t>(1u << (rnd() % 8)); break;
        case 1: b[rnd() % b.size()] = static_cast<std::uint8_t>(rnd()); break;
        case 2: b.resize(rnd() % b.size()); break;
        default: {  // a 32-bit field set to an extreme
            const std::size_t at = rnd() % b.size() & ~std::size_t(3);
            const std::uint32_t v = rnd() % 2 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(rnd() % 5000);
            for (int k = 0; k < 4 && at + k < b.size(); ++k)
                b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
        }
        }
    }
    return b;
}

}  // namespace

TEST(FuzzGraphics, MutatedInputsNeverCrash)
{
    testsupport::TempDir tmp;
    gfx::Bytes px(8 * 6 * 2);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i * 31);
    const gfx::Bytes gfpZ = gfx::encodeGfp(gfx::GfpHeaders{}, 8, 6, px, true);
    const gfx::Bytes gfpRaw = gfx::encodeGfp(gfx::GfpHeaders{}, 8, 6, px, false);
    gfx::GfpImage img;
    img.headers = gfx::parseGfpHeaders(gfpRaw.data(), gfpRaw.size());
    img.pixels = px;
    const gfx::Bytes tga = gfx::gfpToTga(img);
    {
        gfx::ResArchiveWriter w(tmp / "a.res", 16);
        w.add("eins", gfpZ);
        w.add("zwei", gfpRaw);
        w.finish();
    }
    const std::string archiveText = testsupport::readFile(tmp / "a.res");
    const gfx::Bytes archive(archiveText.begin(), archiveText.end());

    std::mt19937 rnd(20240601);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        const gfx::Bytes g = mutate(round % 2 ? gfpZ : gfpRaw, rnd);
        try {
            gfx::GfpImage out = gfx::decodeGfp(g.data(), g.size());
            EXPECT_EQ(out.pixels.size(), std::size_t(out.headers.width()) * out.headers.height() *
                                             out.headers.bytesPerPixel());
            gfx::gfpToTga(out);
            ++accepted;
        } catch (const gfx::Error&) {
        }
        const gfx::Bytes t = mutate(tga, rnd);
        try {
            gfx::Pixels565 p = gfx::tgaToPixels(t.data(), t.size());
            EXPECT_EQ(p.data.size(), std::size_t(p.width) * p.height * 2);
        } catch (const gfx::Error&) {
        }
        if (round % 10 == 0) {  // archives go through a file: fewer rounds
            const gfx::Bytes a = mutate(archive, rnd);
            testsupport::writeFile(tmp / "m.res", std::string(a.begin(), a.end()));
            try {
                gfx::ResArchive r = gfx::ResArchive::open(tmp / "m.res");
                for (std::size_t i = 0; i < r.members().size(); ++i) {
                    try {
                        gfx::Bytes m = r.memberGfp(i);
                        gfx::decodeGfp(m.data(), m.size());
                    } catch (const gfx::Error&) {
                    }
                }
            } catch (const gfx::Error&) {
            }
        }
    }
    EXPECT_GT(accepted, 0);  // some mutations (inside pixel data) stay valid
}
