#include "common/textfold.h"

#include <algorithm>
#include <array>

#include "common/textcodec.h"

namespace textfold {
namespace {

// Base letters of U+00C0..U+017F, lower case; two letters where the letter sorts as two.
// Characters not listed (× and ÷) stay.
struct Range {
    char32_t first, last;
    char base[3];
};
constexpr Range kRanges[] = {
    {0xC0, 0xC5, "a"},   {0xC6, 0xC6, "ae"},  {0xC7, 0xC7, "c"},   {0xC8, 0xCB, "e"},   {0xCC, 0xCF, "i"},
    {0xD0, 0xD0, "d"},   {0xD1, 0xD1, "n"},   {0xD2, 0xD6, "o"},   {0xD8, 0xD8, "o"},   {0xD9, 0xDC, "u"},
    {0xDD, 0xDD, "y"},   {0xDE, 0xDE, "th"},  {0xDF, 0xDF, "ss"},  {0xE0, 0xE5, "a"},   {0xE6, 0xE6, "ae"},
    {0xE7, 0xE7, "c"},   {0xE8, 0xEB, "e"},   {0xEC, 0xEF, "i"},   {0xF0, 0xF0, "d"},   {0xF1, 0xF1, "n"},
    {0xF2, 0xF6, "o"},   {0xF8, 0xF8, "o"},   {0xF9, 0xFC, "u"},   {0xFD, 0xFD, "y"},   {0xFE, 0xFE, "th"},
    {0xFF, 0xFF, "y"},   {0x100, 0x105, "a"}, {0x106, 0x10D, "c"}, {0x10E, 0x111, "d"}, {0x112, 0x11B, "e"},
    {0x11C, 0x123, "g"}, {0x124, 0x127, "h"}, {0x128, 0x131, "i"}, {0x132, 0x133, "ij"}, {0x134, 0x135, "j"},
    {0x136, 0x138, "k"}, {0x139, 0x142, "l"}, {0x143, 0x14B, "n"}, {0x14C, 0x151, "o"}, {0x152, 0x153, "oe"},
    {0x154, 0x159, "r"}, {0x15A, 0x161, "s"}, {0x162, 0x167, "t"}, {0x168, 0x173, "u"}, {0x174, 0x175, "w"},
    {0x176, 0x178, "y"}, {0x179, 0x17E, "z"}, {0x17F, 0x17F, "s"},
};
constexpr char32_t kFirst = 0xC0, kLast = 0x17F;

constexpr auto makeBaseTable() {
    std::array<std::array<char, 2>, kLast - kFirst + 1> t{};
    for (const Range& r : kRanges)
        for (char32_t c = r.first; c <= r.last; ++c) t[c - kFirst] = {r.base[0], r.base[1]};
    return t;
}
constexpr auto kBase = makeBaseTable();

// One code point of UTF-8 at i; a stray byte is its Latin-1 character.
char32_t next(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len <= 1 || i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return c;
    }
    char32_t cp = c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        const auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((d & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

// Case folding only: ASCII and the Latin-1 capitals.
std::string lower(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t c = next(s, i);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 32;
        textcodec::appendUtf8(out, c);
    }
    return out;
}

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

}  // namespace

std::string fold(std::string_view text) {
    std::string out;
    foldInto(text, out);
    return out;
}

void foldInto(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c0 = static_cast<unsigned char>(text[i]);
        if (c0 < 0x80) {  // the common case: plain ASCII
            out += static_cast<char>(c0 >= 'A' && c0 <= 'Z' ? c0 + 32 : c0);
            ++i;
            continue;
        }
        const char32_t c = next(text, i);
        if (c >= kFirst && c <= kLast && kBase[c - kFirst][0]) {
            out += kBase[c - kFirst][0];
            if (kBase[c - kFirst][1]) out += kBase[c - kFirst][1];
        } else {
            textcodec::appendUtf8(out, c);
        }
    }
}

bool contains(std::string_view text, std::string_view needle) {
    if (needle.empty()) return true;
    return fold(text).find(fold(needle)) != std::string::npos;
}

int compare(std::string_view a, std::string_view b) {
    if (const int c = fold(a).compare(fold(b))) return sign(c);
    if (const int c = lower(a).compare(lower(b))) return sign(c);
    return sign(a.compare(b));
}

}  // namespace textfold
