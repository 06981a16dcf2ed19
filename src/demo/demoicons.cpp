// Talent icons: a badge per talent group (shape and colour), the talent's initial in a 5x7
// font; reversed colours and an underline tell apart talents of one group with the same initial.
#include "demoicons.h"

#include "demodata.h"

#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace demo {

namespace {

constexpr int N = kTalentIconSize;

enum Shape { Circle, RoundedSquare, Shield, Diamond };

struct GroupStyle {
    const char* group;
    Shape shape;
    std::array<std::uint8_t, 3> base;
    bool darkLetter;  // light badges get a dark initial
};

constexpr GroupStyle kGroups[] = {
    {"Angriff", Circle, {214, 48, 39}, false},
    {"Standards", Diamond, {239, 135, 20}, false},
    {"Spielaufbau", RoundedSquare, {38, 104, 204}, false},
    {"Technik", Circle, {136, 66, 186}, false},
    {"Tempo", Diamond, {247, 204, 38}, true},
    {"Abwehr", Shield, {36, 146, 58}, false},
    {"Kondition", RoundedSquare, {20, 158, 160}, false},
    {"Charakter", Circle, {168, 98, 48}, false},
    {"Torwart", Shield, {64, 64, 76}, false},
};
constexpr GroupStyle kOtherGroup = {"", RoundedSquare, {150, 150, 150}, false};

const GroupStyle& styleOf(const char* group) {
    for (const GroupStyle& s : kGroups)
        if (std::strcmp(s.group, group) == 0) return s;
    return kOtherGroup;
}

// 5x7 capitals, one row per byte, bit 4 the leftmost column.
constexpr std::uint8_t kFont[26][7] = {
    {14, 17, 17, 31, 17, 17, 17}, {30, 17, 17, 30, 17, 17, 30}, {14, 17, 16, 16, 16, 17, 14},
    {30, 17, 17, 17, 17, 17, 30}, {31, 16, 16, 30, 16, 16, 31}, {31, 16, 16, 30, 16, 16, 16},
    {14, 17, 16, 23, 17, 17, 15}, {17, 17, 17, 31, 17, 17, 17}, {14, 4, 4, 4, 4, 4, 14},
    {7, 2, 2, 2, 2, 18, 12},      {17, 18, 20, 24, 20, 18, 17}, {16, 16, 16, 16, 16, 16, 31},
    {17, 27, 21, 21, 17, 17, 17}, {17, 17, 25, 21, 19, 17, 17}, {14, 17, 17, 17, 17, 17, 14},
    {30, 17, 17, 30, 16, 16, 16}, {14, 17, 17, 17, 21, 18, 13}, {30, 17, 17, 30, 20, 18, 17},
    {15, 16, 16, 14, 1, 1, 30},   {31, 4, 4, 4, 4, 4, 4},       {17, 17, 17, 17, 17, 17, 14},
    {17, 17, 17, 17, 17, 10, 4},  {17, 17, 17, 21, 21, 21, 10}, {17, 17, 10, 4, 10, 17, 17},
    {17, 17, 10, 4, 4, 4, 4},     {31, 1, 2, 4, 8, 16, 31},
};

struct Initial {
    int letter = -1;  // 0..25, -1 none
    bool umlaut = false;
};

Initial initialOf(const char* name) {
    const auto* s = reinterpret_cast<const unsigned char*>(name);
    if (s[0] >= 'A' && s[0] <= 'Z') return {s[0] - 'A', false};
    if (s[0] >= 'a' && s[0] <= 'z') return {s[0] - 'a', false};
    if (s[0] == 0xC3) {
        switch (s[1]) {
            case 0x84: case 0xA4: return {0, true};         // Ä ä
            case 0x96: case 0xB6: return {'O' - 'A', true};  // Ö ö
            case 0x9C: case 0xBC: return {'U' - 'A', true};  // Ü ü
            default: break;
        }
    }
    return {};
}

bool inside(Shape shape, int x, int y) {
    if (x < 0 || y < 0 || x >= N || y >= N) return false;
    const double cx = x - 7.5, cy = y - 7.5;
    switch (shape) {
        case Circle: return cx * cx + cy * cy <= 7.7 * 7.7;
        case Diamond: return (cx < 0 ? -cx : cx) + (cy < 0 ? -cy : cy) <= 8.6;
        case Shield: {
            if (x < 1 || x > 14) return false;
            if (y <= 8) return true;
            const int inset = (y - 8) * 6 / 7 + (y - 8) / 3;  // narrows to a point at the bottom
            return x >= 1 + inset && x <= 14 - inset;
        }
        case RoundedSquare: {
            const double ax = cx < 0 ? -cx : cx, ay = cy < 0 ? -cy : cy;
            if (ax > 7.5 || ay > 7.5) return false;
            if (ax > 4.5 && ay > 4.5) {
                const double dx = ax - 4.5, dy = ay - 4.5;
                return dx * dx + dy * dy <= 3.2 * 3.2;
            }
            return true;
        }
    }
    return false;
}

std::array<std::uint8_t, 3> mix(std::array<std::uint8_t, 3> c, std::array<std::uint8_t, 3> with, int percent) {
    std::array<std::uint8_t, 3> out{};
    for (int k = 0; k < 3; ++k) out[k] = static_cast<std::uint8_t>((c[k] * (100 - percent) + with[k] * percent) / 100);
    return out;
}

enum Colour : std::uint8_t { Clear, Outline, Base, Light, Letter, Shadow, Pip, Spare };

}  // namespace

IndexedImage talentIcon(int index) {
    const auto& list = talents();
    const Talent& talent = list.at(static_cast<std::size_t>(index));
    const GroupStyle& style = styleOf(talent.group);
    const Initial initial = initialOf(talent.name);

    int dots = 0;
    for (int k = 0; k < index; ++k) {
        const Initial other = initialOf(list[static_cast<std::size_t>(k)].name);
        if (std::strcmp(list[static_cast<std::size_t>(k)].group, talent.group) == 0 && other.letter == initial.letter)
            ++dots;
    }

    constexpr std::array<std::uint8_t, 3> white{255, 255, 255}, black{0, 0, 0};
    IndexedImage img;
    img.width = img.height = N;
    const auto darkLetter = mix(style.base, black, 75);
    if (dots == 0) {
        img.palette = {
            white,                               // transparent
            mix(style.base, black, 45),          // outline
            style.base,                          // body
            mix(style.base, white, 38),          // highlight
            style.darkLetter ? darkLetter : white,
            mix(style.base, black, 25),          // letter shadow
            style.darkLetter ? darkLetter : white,
            black,
        };
    } else {
        // A further talent with the same initial: the badge in reverse, pale with a coloured initial.
        const auto letter = style.darkLetter ? darkLetter : mix(style.base, black, 15);
        img.palette = {
            white, mix(style.base, black, 30), mix(style.base, white, 78), mix(style.base, white, 90),
            letter, mix(style.base, white, 50), letter, black,
        };
    }
    img.pixels.assign(static_cast<std::size_t>(N * N), Clear);
    auto put = [&](int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < N && y < N) img.pixels[static_cast<std::size_t>(y * N + x)] = c;
    };

    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            if (!inside(style.shape, x, y)) continue;
            const bool edge = !inside(style.shape, x - 1, y) || !inside(style.shape, x + 1, y) ||
                              !inside(style.shape, x, y - 1) || !inside(style.shape, x, y + 1);
            // Light falls from the upper left.
            put(x, y, edge ? Outline : (x + y < 11 ? Light : Base));
        }

    if (initial.letter >= 0) {
        const int left = 5, top = initial.umlaut ? 5 : 4;
        const std::uint8_t* glyph = kFont[initial.letter];
        for (int pass = 0; pass < 2; ++pass)
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (glyph[row] & (0x10 >> col)) {
                        if (pass == 0)
                            put(left + col + 1, top + row + 1, Shadow);
                        else
                            put(left + col, top + row, Letter);
                    }
        if (initial.umlaut) {
            put(left + 1, top - 2, Letter);
            put(left + 3, top - 2, Letter);
        }
    }
    // The third talent with that initial is underlined as well.
    if (dots >= 2)
        for (int x = 5; x <= 9; ++x) put(x, 12, Pip);
    return img;
}

void writeGif(const std::filesystem::path& file, const IndexedImage& image) {
    const auto fail = [&](int code) {
        throw std::runtime_error("GIF-Datei " + file.string() + " konnte nicht geschrieben werden: " +
                                 GifErrorString(code));
    };
    if (image.palette.empty() || image.palette.size() > 256 || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        throw std::runtime_error("GIF-Datei " + file.string() + ": ungültiges Bild");

    int colours = 2;
    while (colours < static_cast<int>(image.palette.size())) colours *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(colours), GifColorType{0, 0, 0});
    for (std::size_t k = 0; k < image.palette.size(); ++k)
        entries[k] = GifColorType{image.palette[k][0], image.palette[k][1], image.palette[k][2]};

    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    if (!gif) fail(error);
    ColorMapObject* map = GifMakeMapObject(colours, entries.data());
    bool ok = map != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK;
    }
    if (ok) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = 0;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext) == GIF_OK;
    }
    if (ok) ok = EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        std::memcpy(line.data(), image.pixels.data() + static_cast<std::size_t>(y) * image.width, line.size());
        ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
    const int writeError = ok ? 0 : gif->Error;
    if (map) GifFreeMapObject(map);
    int closeError = 0;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
    if (!ok || !closed) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        fail(ok ? closeError : writeError);
    }
}

void writeTalentIcons(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const int count = static_cast<int>(talents().size());
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "attribute_hell_%02d.gif", i);
        writeGif(folder / name, talentIcon(i));
    }
}

}  // namespace demo
