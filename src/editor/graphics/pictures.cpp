#include "editor/graphics/pictures.h"

#include "editor/graphics/reszip.h"

#include <QImageReader>
#include <QString>

#include <cstring>
#include <cctype>

namespace gfx {

namespace {

// 24-bit type-2 TGAs straight into a QImage; null when the bytes are of another kind.
QImage decodeTga24(const Bytes& b)
{
    if (b.size() < 18 || b[2] != 2 || b[16] != 24 || b[1] != 0)
        return {};
    const int w = b[12] | b[13] << 8, h = b[14] | b[15] << 8;
    const std::size_t start = 18 + b[0];
    if (w < 1 || h < 1 || w > kMaxDimension || h > kMaxDimension || start > b.size() ||
        std::size_t(w) * 3 * h > b.size() - start)
        return {};
    QImage img(w, h, QImage::Format_BGR888);
    const bool topDown = (b[17] & 0x20) != 0;
    for (int y = 0; y < h; ++y)
        std::memcpy(img.scanLine(y), b.data() + start + std::size_t(w) * 3 * (topDown ? y : h - 1 - y),
                    std::size_t(w) * 3);
    return img;
}

}  // namespace

QImage loadPicture(const std::filesystem::path& file)
{
    Bytes bytes;
    try {
        bytes = readBinaryFile(file, 64u << 20);
    } catch (const Error&) {
        return {};
    }
    return loadPicture(bytes, file.extension().string());
}

QImage loadPicture(const std::vector<std::uint8_t>& bytes, std::string_view extension)
{
    QImage img = decodeTga24(bytes);
    if (!img.isNull())
        return img;
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    std::string ext(extension);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // TGA has no magic number, so Qt recognises it only when told the format.
    if (ext == ".tga" && img.loadFromData(data, "TGA"))
        return img;
    img.loadFromData(data);
    return img;
}

}  // namespace gfx
