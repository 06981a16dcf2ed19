#pragma once
// The game's picture formats: .gfp (RGB565 pixels, raw or one zlib stream behind two
// headers) and 24-bit Truevision TGA, the channel conversions between them and the zlib
// calls. Every file is untrusted: sizes and offsets are checked before anything is
// allocated, and a damaged file ends in gfx::Error with a German message.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace gfx {

using Bytes = std::vector<std::uint8_t>;

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Pictures of the game are small; anything larger is a damaged header.
inline constexpr int kMaxDimension = 4096;

// Channel conversions: 8 bit down to 5 or 6 bit drops the remainder; back up, an odd value
// lands on the top of its band so that the full value 31 (63) gives 255.
constexpr int to5(int v8) { return v8 / 8; }
constexpr int to6(int v8) { return v8 / 4; }
constexpr int expand5(int v) { return v % 2 == 0 ? v * 8 : (v + 1) * 8 - 1; }
constexpr int expand6(int v) { return v % 2 == 0 ? v * 4 : (v + 1) * 4 - 1; }
constexpr std::uint16_t rgb565(int r, int g, int b)
{
    return static_cast<std::uint16_t>(to5(r) << 11 | to6(g) << 5 | to5(b));
}

// zlib. compress: level -1 is the library default. The output buffer is sized as the game
// does (1 % + 12 bytes); a call that fails is retried once with zlib's own bound, then
// Error. decompress: Error unless the stream inflates to exactly rawSize bytes.
Bytes compress(const std::uint8_t* data, std::size_t size, int level = -1);
Bytes decompress(const std::uint8_t* data, std::size_t size, std::size_t rawSize);

// The two .gfp headers as stored (without their "NALP" magics).
struct GfpHeaders {
    std::array<std::uint8_t, 52> a{};  // thirteen 32-bit fields; 0 width, 1 height
    std::array<std::uint8_t, 72> b{};  // eighteen 32-bit fields, two single bytes at 44 and 45

    std::uint32_t fieldA(int index) const;
    void setFieldA(int index, std::uint32_t v);
    std::uint32_t fieldB(int offset) const;  // byte offset inside header B
    void setFieldB(int offset, std::uint32_t v);

    std::uint32_t width() const { return fieldB(4); }
    std::uint32_t height() const { return fieldB(8); }
    std::uint32_t bitsPerPixel() const { return fieldB(12); }
    std::uint32_t bytesPerPixel() const { return (bitsPerPixel() + 1) / 8; }
    std::uint32_t compressedBlockSize() const { return fieldB(36); }  // compressed length + 8; 0 raw
    std::uint32_t rawSize() const { return fieldB(40); }
    std::uint8_t compressionMarker() const { return b[44]; }  // 11 zlib, 0 raw
};

inline constexpr std::size_t kGfpHeaderSize = 4 + 52 + 4 + 72;
inline constexpr std::uint8_t kGfpCompressed = 11;

struct GfpImage {
    GfpHeaders headers;
    Bytes pixels;  // width × height × bytes per pixel, rows top to bottom
};

// Headers of the .gfp at data, checked: magics, dimensions 1..4096, 1 or 2 bytes per pixel.
GfpHeaders parseGfpHeaders(const std::uint8_t* data, std::size_t available);
// Length of the complete .gfp file that starts at data (headers, size prefix, pixel data),
// checked against `available`.
std::size_t gfpFileSize(const std::uint8_t* data, std::size_t available);
GfpImage decodeGfp(const std::uint8_t* data, std::size_t size);
GfpImage readGfp(const std::filesystem::path& file);

// A new .gfp: the header fields the format names are set, every other one comes from the
// template. pixels holds width × height 16-bit RGB565 values.
Bytes encodeGfp(const GfpHeaders& templ, int width, int height, const Bytes& pixels, bool compressed);

// RGB565 pixels (rows top to bottom) of a TGA.
struct Pixels565 {
    int width = 0;
    int height = 0;
    Bytes data;  // width × height × 2, little-endian values
    bool empty() const { return data.empty(); }
};

// TGA -> RGB565. Only uncompressed 24-bit true colour (type 2) converts; any other kind gives
// an empty result. A damaged file (too short, dimensions out of range) throws Error.
Pixels565 tgaToPixels(const std::uint8_t* data, std::size_t size);
Pixels565 tgaFileToPixels(const std::filesystem::path& file);

// A 24-bit TGA (type 2, rows bottom to top, blue green red) of .gfp pixels; a picture with
// one byte per pixel is taken as grey.
Bytes gfpToTga(const GfpImage& image);
// The same into a buffer that is reused from picture to picture.
void gfpToTga(const GfpImage& image, Bytes& out);

// The file conversions: .gfp -> TGA, and TGA -> .gfp into an existing .gfp whose headers
// are the template. Throw Error (the target is then left as it was).
void gfpFileToTgaFile(const std::filesystem::path& gfp, const std::filesystem::path& tga);
void tgaFileToGfpFile(const std::filesystem::path& tga, const std::filesystem::path& gfp, bool compressed);

// Whole files; Error names the file.
Bytes readBinaryFile(const std::filesystem::path& file, std::uintmax_t limit = 1u << 30);
// Writes through a temporary file in the same folder and a rename: the target is either
// the old file or the complete new one.
void writeFileReplacing(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size);
inline void writeFileReplacing(const std::filesystem::path& file, const Bytes& bytes)
{
    writeFileReplacing(file, bytes.data(), bytes.size());
}

}  // namespace gfx
