#pragma once
// Shared pieces of the graphics tests: bytes on disk, 32-bit fields, small pictures.
#include "common/progress.h"
#include "editor/graphics/reszip.h"
#include "testsupport.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace gfxtest {

inline gfx::Bytes readBytes(const std::filesystem::path& f)
{
    const std::string s = testsupport::readFile(f);
    return gfx::Bytes(s.begin(), s.end());
}

inline void writeBytes(const std::filesystem::path& f, const gfx::Bytes& b)
{
    testsupport::writeFile(f, std::string(b.begin(), b.end()));
}

inline std::uint32_t at32(const gfx::Bytes& b, std::size_t off)
{
    std::uint32_t v;
    std::memcpy(&v, b.data() + off, 4);
    return v;
}

inline void put32(gfx::Bytes& b, std::size_t off, std::uint32_t v) { std::memcpy(b.data() + off, &v, 4); }

// A w × h picture of one 16-bit value repeated.
inline gfx::Bytes gfpOf(int w, int h, std::uint8_t fill, bool compressed)
{
    return gfx::encodeGfp(gfx::GfpHeaders{}, w, h, gfx::Bytes(std::size_t(w) * h * 2, fill), compressed);
}

// A 24-bit type-2 TGA (rows bottom-up unless the descriptor says top-down) of top-down RGB pixels.
inline gfx::Bytes makeTga(int w, int h, const std::vector<std::array<int, 3>>& rgbTopDown, std::uint8_t descriptor = 0)
{
    gfx::Bytes t = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h),
                    std::uint8_t(h >> 8), 24, descriptor};
    for (int r = 0; r < h; ++r) {
        const int y = descriptor & 0x20 ? r : h - 1 - r;
        for (int x = 0; x < w; ++x) {
            const auto& c = rgbTopDown[std::size_t(y * w + x)];
            t.insert(t.end(), {std::uint8_t(c[2]), std::uint8_t(c[1]), std::uint8_t(c[0])});
        }
    }
    return t;
}

struct Recorder final : ProgressSink {
    std::vector<std::string> texts;
    std::vector<int> percents;
    void status(const std::string& t) override { texts.push_back(t); }
    void percent(int p) override { percents.push_back(p); }
};

}  // namespace gfxtest
