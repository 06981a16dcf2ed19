#include "common/collation.h"

#include "common/textcodec.h"

#include <algorithm>
#include <array>
#include <utility>

namespace collation {
namespace {

constexpr unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// Base letters of U+00C0..U+017F (Latin-1 and Latin Extended-A, which cover the names of
// European players), lower case; two letters where the letter sorts as two. Characters
// not listed (× and ÷) sort as themselves.
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

// The characters of a text as their base letters: one or two weights per character.
class Weights {
public:
    explicit Weights(std::string_view s) : s_(s) {}
    long next() {  // -1 at the end
        if (pending_) return std::exchange(pending_, 0);
        if (i_ >= s_.size()) return -1;
        const char32_t c = textcodec::nextCodePoint(s_, i_);
        if (c < 0x80) return lowerAscii(static_cast<unsigned char>(c));
        if (c >= kFirst && c <= kLast) {
            const auto& base = kBase[c - kFirst];
            if (base[0]) {
                pending_ = static_cast<unsigned char>(base[1]);
                return static_cast<unsigned char>(base[0]);
            }
        }
        return static_cast<long>(c);
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    long pending_ = 0;
};

// Byte order of the case-folded texts (ASCII and the Latin-1 letters C3 80..9E): decides
// between texts with the same base letters, and is 0 exactly for texts equal without regard
// to case.
int foldedCompare(std::string_view a, std::string_view b) {
    auto next = [](std::string_view s, size_t& k) -> int {
        const unsigned char c = static_cast<unsigned char>(s[k]);
        if (c >= 'A' && c <= 'Z') {
            ++k;
            return c + 32;
        }
        if (c == 0xC3 && k + 1 < s.size()) {
            unsigned char d = static_cast<unsigned char>(s[k + 1]);
            k += 2;
            if (d >= 0x80 && d <= 0x9E && d != 0x97) d = static_cast<unsigned char>(d + 0x20);
            return 0xC300 | d;  // compared as the byte pair
        }
        ++k;
        return c;
    };
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const int x = next(a, i), y = next(b, j);
        if (x == y) continue;
        // As byte sequences: a pair 0xC3xx sorts by its first byte against a single byte.
        const int x1 = x > 0xFF ? 0xC3 : x, y1 = y > 0xFF ? 0xC3 : y;
        if (x1 != y1) return x1 < y1 ? -1 : 1;
        return (x & 0xFF) < (y & 0xFF) ? -1 : 1;
    }
    const size_t restA = a.size() - i, restB = b.size() - j;
    return restA < restB ? -1 : restA > restB ? 1 : 0;
}

}  // namespace

std::string_view baseLetters(char32_t c) {
    if (c < kFirst || c > kLast) return {};
    const auto& base = kBase[c - kFirst];
    return std::string_view(base.data(), base[1] ? 2 : base[0] ? 1 : 0);
}

int compare(std::string_view a, std::string_view b) {
    // ASCII prefix: base letters and folded bytes agree, so its first difference decides.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) break;
        const unsigned char fx = lowerAscii(x), fy = lowerAscii(y);
        if (fx != fy) return fx < fy ? -1 : 1;
    }
    if (i == n) return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    a.remove_prefix(i);
    b.remove_prefix(i);
    Weights wa(a), wb(b);
    for (;;) {
        const long x = wa.next(), y = wb.next();
        if (x != y) return x < y ? -1 : 1;
        if (x < 0) break;
    }
    return foldedCompare(a, b);
}

}  // namespace collation
