#include "editor/graphics/reszip.h"

#include "common/fileio.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace gfx {

namespace {

std::uint32_t get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void put32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

void append32(Bytes& out, std::uint32_t v)
{
    std::uint8_t b[4];
    put32(b, v);
    out.insert(out.end(), b, b + 4);
}

bool isNalp(const std::uint8_t* p) { return std::memcmp(p, "NALP", 4) == 0; }

// Buffer size of the game's zlib wrapper: 1 % plus 12 bytes, rounded to the nearest byte.
std::size_t gameBufferSize(std::size_t n) { return static_cast<std::size_t>(std::llround(n * 0.01 + n + 12.0)); }

// Blue, green, red of every 16-bit value, in the low three bytes of a 32-bit word so that a
// pixel is one store.
struct ExpandTable {
    std::array<std::uint32_t, 65536> bgr;
    ExpandTable()
    {
        for (unsigned v = 0; v < 65536; ++v)
            bgr[v] = unsigned(expand5(v & 31)) | unsigned(expand6((v >> 5) & 63)) << 8 | unsigned(expand5(v >> 11)) << 16;
    }
};
const ExpandTable& expandTable()
{
    static const ExpandTable table;
    return table;
}

}  // namespace

Bytes compress(const std::uint8_t* data, std::size_t size, int level)
{
    // The game's buffer can be a few bytes short for tiny or incompressible inputs; one
    // retry with the library's bound covers that, and a second failure is final.
    std::size_t capacity = gameBufferSize(size);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Bytes out(capacity);
        uLongf len = static_cast<uLongf>(out.size());
        int rc = compress2(out.data(), &len, data, static_cast<uLong>(size), level);
        if (rc == Z_OK) {
            out.resize(len);
            return out;
        }
        if (rc == Z_STREAM_ERROR)
            break;  // a bad level does not get better by trying again
        capacity = std::max<std::size_t>(capacity, compressBound(static_cast<uLong>(size)));
    }
    throw Error("Die Bilddaten konnten nicht komprimiert werden.");
}

Bytes decompress(const std::uint8_t* data, std::size_t size, std::size_t rawSize)
{
    // One byte more than expected would do to see an overlong stream; the game's buffer
    // size is kept, it is larger anyway.
    Bytes out(gameBufferSize(rawSize));
    uLongf len = static_cast<uLongf>(out.size());
    int rc = uncompress(out.data(), &len, data, static_cast<uLong>(size));
    if (rc != Z_OK)
        throw Error(rc == Z_BUF_ERROR && len == out.size()
                        ? "Die komprimierten Bilddaten ergeben mehr Bytes als angegeben."
                        : "Die komprimierten Bilddaten sind beschädigt.");
    if (len != rawSize)
        throw Error("Die komprimierten Bilddaten ergeben " + std::to_string(len) + " statt " +
                    std::to_string(rawSize) + " Bytes.");
    out.resize(len);
    return out;
}

std::uint32_t GfpHeaders::fieldA(int index) const { return get32(a.data() + 4 * index); }
void GfpHeaders::setFieldA(int index, std::uint32_t v) { put32(a.data() + 4 * index, v); }
std::uint32_t GfpHeaders::fieldB(int offset) const { return get32(b.data() + offset); }
void GfpHeaders::setFieldB(int offset, std::uint32_t v) { put32(b.data() + offset, v); }

GfpHeaders parseGfpHeaders(const std::uint8_t* data, std::size_t available)
{
    if (available < kGfpHeaderSize)
        throw Error("Das Bild ist kürzer als seine Kopfdaten.");
    if (!isNalp(data) || !isNalp(data + 56))
        throw Error("Das Bild ist keine gfp-Datei (Kennung NALP fehlt).");
    GfpHeaders h;
    std::memcpy(h.a.data(), data + 4, h.a.size());
    std::memcpy(h.b.data(), data + 60, h.b.size());
    if (h.width() < 1 || h.height() < 1 || h.width() > kMaxDimension || h.height() > kMaxDimension)
        throw Error("Das Bild hat eine unmögliche Größe (" + std::to_string(h.width()) + " × " +
                    std::to_string(h.height()) + ").");
    if (h.bytesPerPixel() != 1 && h.bytesPerPixel() != 2)
        throw Error("Das Bild hat eine unbekannte Farbtiefe (" + std::to_string(h.bitsPerPixel()) + " Bit).");
    return h;
}

namespace {

std::size_t pixelBytes(const GfpHeaders& h) { return std::size_t(h.width()) * h.height() * h.bytesPerPixel(); }

// Where the stored pixel data lies and how long it is, all checked against `available`.
struct PixelBlock {
    std::size_t offset;  // from the start of the .gfp
    std::size_t length;
    bool compressed;
};

PixelBlock pixelBlock(const std::uint8_t* data, std::size_t available, const GfpHeaders& h)
{
    const std::size_t expected = pixelBytes(h);
    if (h.compressedBlockSize() != 0) {
        const std::size_t block = h.compressedBlockSize();
        if (block < 8 || block > available - kGfpHeaderSize)
            throw Error("Die komprimierten Bilddaten reichen über das Dateiende hinaus.");
        const std::uint32_t raw = get32(data + kGfpHeaderSize);
        const std::uint32_t packed = get32(data + kGfpHeaderSize + 4);
        if (raw != expected || packed != block - 8)
            throw Error("Die Größenangaben der komprimierten Bilddaten widersprechen sich.");
        return {kGfpHeaderSize + 8, block - 8, true};
    }
    if (h.rawSize() != expected)
        throw Error("Die Größenangabe der Bilddaten passt nicht zum Bildformat.");
    if (expected > available - kGfpHeaderSize)
        throw Error("Die Bilddaten reichen über das Dateiende hinaus.");
    return {kGfpHeaderSize, expected, false};
}

}  // namespace

std::size_t gfpFileSize(const std::uint8_t* data, std::size_t available)
{
    GfpHeaders h = parseGfpHeaders(data, available);
    PixelBlock b = pixelBlock(data, available, h);
    return b.offset + b.length;
}

GfpImage decodeGfp(const std::uint8_t* data, std::size_t size)
{
    GfpImage img;
    img.headers = parseGfpHeaders(data, size);
    PixelBlock b = pixelBlock(data, size, img.headers);
    if (b.compressed)
        img.pixels = decompress(data + b.offset, b.length, pixelBytes(img.headers));
    else
        img.pixels.assign(data + b.offset, data + b.offset + b.length);
    return img;
}

GfpImage readGfp(const fs::path& file)
{
    Bytes bytes = readBinaryFile(file);
    try {
        return decodeGfp(bytes.data(), bytes.size());
    } catch (const Error& e) {
        throw Error(file.filename().string() + ": " + e.what());
    }
}

Bytes encodeGfp(const GfpHeaders& templ, int width, int height, const Bytes& pixels, bool compressed)
{
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension)
        throw Error("Das Bild hat eine unmögliche Größe.");
    const std::size_t raw = std::size_t(width) * height * 2;
    if (pixels.size() != raw)
        throw Error("Die Bilddaten passen nicht zur Bildgröße.");
    GfpHeaders h = templ;
    h.setFieldA(0, width);
    h.setFieldA(1, height);
    h.setFieldB(4, width);
    h.setFieldB(8, height);
    h.setFieldB(12, 16);
    h.setFieldB(40, static_cast<std::uint32_t>(raw));
    Bytes packed;
    if (compressed) {
        packed = compress(pixels.data(), pixels.size());
        h.b[44] = kGfpCompressed;
        h.setFieldB(36, static_cast<std::uint32_t>(packed.size() + 8));
    } else {
        h.b[44] = 0;
        h.b[45] = 1;
        h.setFieldB(36, 0);
    }
    Bytes out;
    out.reserve(kGfpHeaderSize + 8 + (compressed ? packed.size() : raw));
    out.insert(out.end(), {'N', 'A', 'L', 'P'});
    out.insert(out.end(), h.a.begin(), h.a.end());
    out.insert(out.end(), {'N', 'A', 'L', 'P'});
    out.insert(out.end(), h.b.begin(), h.b.end());
    if (compressed) {
        append32(out, static_cast<std::uint32_t>(raw));
        append32(out, static_cast<std::uint32_t>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    } else {
        out.insert(out.end(), pixels.begin(), pixels.end());
    }
    return out;
}

Pixels565 tgaToPixels(const std::uint8_t* data, std::size_t size)
{
    if (size < 18)
        throw Error("Die TGA-Datei ist kürzer als ihr Kopf.");
    Pixels565 out;
    if (data[2] != 2 || data[16] != 24)
        return out;
    const int width = data[12] | data[13] << 8;
    const int height = data[14] | data[15] << 8;
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension)
        throw Error("Die TGA-Datei hat eine unmögliche Größe (" + std::to_string(width) + " × " +
                    std::to_string(height) + ").");
    // An image identification field and a colour map (allowed, though unused, in type 2)
    // lie between the header and the pixels.
    const std::size_t mapEntries = data[1] ? std::size_t(data[5] | data[6] << 8) : 0;
    const std::size_t mapBytes = mapEntries * ((data[7] + 7) / 8);
    const std::size_t start = 18 + data[0] + mapBytes;
    const std::size_t rowBytes = std::size_t(width) * 3;
    if (start > size || rowBytes * height > size - start)
        throw Error("Die TGA-Datei ist kürzer als ihre Bilddaten.");
    const bool topDown = (data[17] & 0x20) != 0;
    out.width = width;
    out.height = height;
    out.data.resize(std::size_t(width) * height * 2);
    std::uint8_t* dst = out.data.data();
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* src = data + start + rowBytes * (topDown ? r : height - 1 - r);
        for (int x = 0; x < width; ++x, src += 3, dst += 2) {
            const unsigned v = unsigned(src[2] >> 3) << 11 | unsigned(src[1] >> 2) << 5 | unsigned(src[0] >> 3);
            dst[0] = static_cast<std::uint8_t>(v);
            dst[1] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    return out;
}

Pixels565 tgaFileToPixels(const fs::path& file)
{
    Bytes bytes = readBinaryFile(file);
    try {
        return tgaToPixels(bytes.data(), bytes.size());
    } catch (const Error& e) {
        throw Error(file.filename().string() + ": " + e.what());
    }
}

void gfpToTga(const GfpImage& image, Bytes& out)
{
    const int width = static_cast<int>(image.headers.width());
    const int height = static_cast<int>(image.headers.height());
    const int bpp = static_cast<int>(image.headers.bytesPerPixel());
    if (image.pixels.size() != std::size_t(width) * height * bpp)
        throw Error("Die Bilddaten passen nicht zur Bildgröße.");
    // One spare byte at the end takes the fourth byte of the last pixel's store.
    const std::size_t size = 18 + std::size_t(width) * height * 3;
    out.resize(size + 1);
    std::memset(out.data(), 0, 18);
    out[2] = 2;
    out[12] = static_cast<std::uint8_t>(width);
    out[13] = static_cast<std::uint8_t>(width >> 8);
    out[14] = static_cast<std::uint8_t>(height);
    out[15] = static_cast<std::uint8_t>(height >> 8);
    out[16] = 24;
    std::uint8_t* dst = out.data() + 18;
    const std::uint32_t* table = expandTable().bgr.data();
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* src = image.pixels.data() + std::size_t(y) * width * bpp;
        if (bpp == 1) {
            for (int x = 0; x < width; ++x, dst += 3)
                dst[0] = dst[1] = dst[2] = src[x];
            continue;
        }
        for (int x = 0; x < width; ++x, dst += 3) {
            const std::uint32_t bgr = table[src[2 * x] | unsigned(src[2 * x + 1]) << 8];
            static_assert(std::endian::native == std::endian::little);
            std::memcpy(dst, &bgr, 4);  // blue, green, red, then a byte the next pixel overwrites
        }
    }
    out.resize(size);
}

Bytes gfpToTga(const GfpImage& image)
{
    Bytes out;
    gfpToTga(image, out);
    return out;
}

void gfpFileToTgaFile(const fs::path& gfp, const fs::path& tga)
{
    writeFileReplacing(tga, gfpToTga(readGfp(gfp)));
}

void tgaFileToGfpFile(const fs::path& tga, const fs::path& gfp, bool compressed)
{
    const GfpHeaders templ = readGfp(gfp).headers;
    Pixels565 px = tgaFileToPixels(tga);
    if (px.empty())
        throw Error(tga.filename().string() + " ist kein unkomprimiertes 24-Bit-TGA-Bild.");
    writeFileReplacing(gfp, encodeGfp(templ, px.width, px.height, px.data, compressed));
}

Bytes readBinaryFile(const fs::path& file, std::uintmax_t limit)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || std::uintmax_t(size) > limit)
        throw Error("Die Datei " + file.string() + " ist zu groß.");
    in.seekg(0);
    Bytes bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden.");
    return bytes;
}

void writeFileReplacing(const fs::path& file, const std::uint8_t* data, std::size_t size)
{
    if (!fileio::replaceFile(file, std::string_view(reinterpret_cast<const char*>(data), size)))
        throw Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
}

}  // namespace gfx
