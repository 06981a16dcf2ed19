#include "common/textcodec.h"

#include <array>
#include <cstdint>

namespace textcodec {
namespace {

// Code points of the bytes 0x80..0x9F. The five bytes Windows leaves unassigned map to the
// C1 control of the same number, so every byte survives a round trip.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t toCodePoint(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char32_t(b);
}

// Windows-1252 byte for a code point, or '?' when the code page has none.
char fromCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
    for (unsigned i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return char(0x80 + i);
    return '?';
}

bool isCont(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of a well-formed UTF-8 sequence at s[i] (no overlongs, no surrogates,
// nothing above U+10FFFF), 0 when the bytes there are not one.
size_t sequenceLength(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const size_t left = s.size() - i;
    auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (left < 2 || !isCont(at(1))) return 0;
        cp = char32_t(b0 & 0x1F) << 6 | (at(1) & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (left < 3 || !isCont(at(1)) || !isCont(at(2))) return 0;
        if (b0 == 0xE0 && at(1) < 0xA0) return 0;   // overlong
        if (b0 == 0xED && at(1) > 0x9F) return 0;   // surrogate
        cp = char32_t(b0 & 0x0F) << 12 | char32_t(at(1) & 0x3F) << 6 | (at(2) & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (left < 4 || !isCont(at(1)) || !isCont(at(2)) || !isCont(at(3))) return 0;
        if (b0 == 0xF0 && at(1) < 0x90) return 0;   // overlong
        if (b0 == 0xF4 && at(1) > 0x8F) return 0;   // above U+10FFFF
        cp = char32_t(b0 & 0x07) << 18 | char32_t(at(1) & 0x3F) << 12 | char32_t(at(2) & 0x3F) << 6 |
             (at(3) & 0x3F);
        return 4;
    }
    return 0;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            appendUtf8(out, toCodePoint(b));
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        if (size_t n = sequenceLength(utf8, i, cp)) {
            out += fromCodePoint(cp);
            i += n;
        } else {
            // Not UTF-8: the byte is most likely already Windows-1252 text, keep it.
            out += char(b);
            ++i;
        }
    }
    return out;
}

char32_t nextCodePoint(std::string_view s, size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    char32_t cp = b;
    if (b >= 0x80) {
        if (const size_t n = sequenceLength(s, i, cp)) {
            i += n;
            return cp;
        }
        cp = b;
    }
    ++i;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace textcodec
