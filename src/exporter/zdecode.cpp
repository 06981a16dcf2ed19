#include "zdecode.h"

#include "common/random.h"

#include <vector>

namespace zexp {

Rgb colourTriple(std::int64_t code) {
    if (code == 0) return {};
    const std::uint32_t bits = code == 127 ? 0xFFFFFF81u : static_cast<std::uint32_t>(code);
    return {static_cast<int>((bits >> 16) & 0xFF), static_cast<int>((bits >> 8) & 0xFF), static_cast<int>(bits & 0xFF)};
}

std::string colourText(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

std::string dez2bin(std::int64_t n) {
    const auto bits = static_cast<std::uint32_t>(n);
    std::string s(32, '0');
    for (int i = 0; i < 32; ++i)
        if (bits & (1u << i)) s[31 - i] = '1';
    return s;
}

int bin2dez(std::string_view bits) {
    int sum = 0;
    const auto len = bits.size();
    for (std::size_t i = 0; i < len; ++i)
        if (bits[i] == '1') sum += 1 << (len - 1 - i);
    return sum;
}

namespace {

// [track][kind][ranks - 1][block letter], used exactly as the game's table lists them.
constexpr long kCapacity[2][2][6][14] = {
    {   // no track
        {   // seated
            {1000, 1000, 200, 1000, 1000, 1000, 200, 1000, 1000, 200, 1000, 1000, 1000, 200},
            {2000, 2000, 600, 2000, 2000, 2000, 600, 2000, 2000, 600, 2000, 2000, 2000, 600},
            {3000, 3000, 1400, 3000, 3000, 3000, 1400, 3000, 3000, 1400, 3000, 3000, 3000, 1400},
            {4000, 4000, 2800, 4000, 4000, 4000, 2800, 4000, 4000, 2800, 4000, 4000, 4000, 2800},
            {5000, 5000, 4800, 5000, 5000, 5000, 4800, 5000, 5000, 4800, 5000, 5000, 5000, 4800},
            {6000, 6000, 7400, 6000, 9000, 9000, 7400, 6000, 6000, 7400, 6000, 6000, 6000, 7400},
        },
        {   // standing
            {1500, 1500, 300, 1500, 1500, 1500, 300, 1500, 1500, 1500, 1500, 1500, 1500, 300},
            {3000, 3000, 900, 3000, 3000, 3000, 900, 300, 3000, 3000, 3000, 3000, 3000, 900},
            {4500, 4500, 2100, 4500, 4500, 4500, 2100, 4500, 4500, 4500, 4500, 4500, 4500, 2100},
            {6000, 6000, 4800, 6000, 6000, 6000, 4800, 600, 6000, 6000, 6000, 6000, 6000, 4800},
            {7500, 7500, 7800, 7500, 7500, 7500, 7800, 7500, 7500, 7500, 7500, 7500, 7500, 7800},
            {9000, 9000, 11700, 9000, 9000, 9000, 11700, 9000, 9000, 9000, 9000, 9000, 9000, 11700},
        },
    },
    {   // track
        {   // seated
            {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
            {2200, 2200, 2200, 2000, 2000, 2000, 2200, 2200, 2200, 2200, 2000, 2000, 2000, 2200},
            {3600, 3600, 3600, 3000, 3000, 3000, 3600, 3600, 3600, 3600, 3000, 3500, 3000, 3600},
            {5200, 5200, 5200, 4000, 4000, 4000, 5200, 5200, 5200, 5200, 4000, 4000, 4000, 5200},
            {7000, 7000, 7000, 5000, 5000, 5000, 7000, 7000, 7000, 7000, 5000, 5500, 5000, 7000},
            {9000, 9000, 9000, 6000, 6000, 6000, 9000, 9000, 9000, 9000, 6000, 6000, 6000, 9000},
        },
        {   // standing
            {1500, 1500, 1500, 1500, 4500, 4500, 1500, 1500, 1500, 1500, 1500, 1500, 1500, 1500},
            {3300, 3300, 3300, 3000, 3000, 3000, 3300, 3300, 3300, 3300, 3000, 3000, 3000, 3300},
            {5400, 5400, 5400, 4500, 4500, 4500, 5400, 5400, 5400, 5400, 4500, 4500, 4500, 5400},
            {7800, 7800, 7800, 6000, 6000, 6000, 7800, 7800, 7800, 7800, 6000, 6000, 6000, 7800},
            {10500, 10500, 10500, 75000, 7500, 7500, 10500, 10500, 10500, 7500, 7500, 7500, 5000, 10500},
            {13500, 13500, 13500, 9000, 9000, 9000, 13500, 13500, 13500, 13500, 9000, 9000, 9000, 13500},
        },
    },
};

}  // namespace

long capacityEntry(int lauf, int stehsitz, int ranks, int buch) {
    if (lauf < 0 || lauf > 1 || stehsitz < 0 || stehsitz > 1 || ranks < 1 || ranks > 6 || buch < 0 || buch > 13)
        return 0;
    return kCapacity[lauf][stehsitz][ranks - 1][buch];
}

long stadionteil(std::int64_t block, int lauf, int stehsitz, int buch) {
    const std::string s = dez2bin(block);
    const std::string_view ranks = std::string_view(s).substr(20, 12);  // characters 21..32
    const std::string_view kinds = std::string_view(s).substr(14, 6);   // characters 15..20
    long sum = 0;
    for (int k = 0; k < 3; ++k) {
        int r = bin2dez(ranks.substr(4 * k, 4));
        const int t = bin2dez(kinds.substr(2 * k, 2));
        if (r > 6) r = 6;
        if (t == stehsitz && r >= 1) sum += capacityEntry(lauf, stehsitz, r, buch);
    }
    return sum;
}

Capacity stadiumCapacity(std::int64_t laufbahn, const std::array<std::int64_t, 14>& blocks) {
    const int lauf = laufbahn != 0 ? 1 : 0;
    Capacity c;
    for (int i = 0; i < 14; ++i) {
        c.seated += stadionteil(blocks[i], lauf, 0, i);
        c.standing += stadionteil(blocks[i], lauf, 1, i);
    }
    return c;
}

std::int64_t strengthStep(std::int64_t position, std::int64_t tes, std::int64_t tet) {
    return position == 0 ? tet / 50 : tes / 70;
}

std::optional<std::int64_t> contractMatches(std::int64_t vertragslaufzeit) {
    if (vertragslaufzeit < 0 || vertragslaufzeit > INT16_MAX / 55) return std::nullopt;
    return vertragslaufzeit * 55;
}

std::optional<std::int64_t> strengthValue(std::int64_t step) {
    if (step < 0 || step > INT32_MAX / 1000) return std::nullopt;
    return step * 1000;
}

int skinFlag(std::int64_t typus) { return typus == 4 ? 1 : 0; }

namespace {

using List = std::vector<int>;

// Skin flag 0: [type][colour 0, colour 1 and 3, colour 2, colour 4]; first entry = the type.
const List kHair0[11][4] = {
    {{0, 1}, {0, 21}, {0, 5}, {0, 4}},
    {{1, 1, 49}, {1, 21, 22, 45}, {1, 5, 11, 39}, {1, 4}},
    {{2, 9, 10, 13, 18, 24, 26, 53, 54}, {2, 3, 16, 31, 36, 38, 42}, {2, 0, 2, 6, 7, 8, 12, 15, 43, 58}, {2, 4}},
    {{3, 27, 29, 55}, {3, 47, 56, 57}, {3, 32, 35, 44, 48, 52}, {3, 4}},
    {{4, 50, 41}, {4, 4, 25, 41}, {4, 17, 46, 59, 60}, {4, 4}},
    {{5, 26, 53, 54}, {5, 28, 37}, {5, 14, 51}, {5, 4}},
    {{6, 30, 13, 18}, {6, 30, 34}, {6, 5, 11, 39}, {6, 4}},
    {{7, 13, 18, 30}, {7, 30, 34}, {7, 5, 11, 39}, {7, 4}},
    {{8, 61}, {8, 61}, {8, 61}, {8, 4}},
    {{9, 61}, {9, 61}, {9, 61}, {9, 4}},
    {{10, 1, 49}, {10, 21, 22, 45}, {10, 5, 11, 39, 33, 40}, {10, 4}},
};

// Skin flag 1: [type][colours 0..3, colour 4]; no leading type.
const List kHair1[11][2] = {
    {{5}, {5}},
    {{0, 1, 2, 4, 6, 8}, {5}},
    {{0, 1, 2, 4, 6, 8}, {5}},
    {{7}, {5}},
    {{5}, {5}},
    {{3, 9}, {5}},
    {{3, 9}, {5}},
    {{3, 9}, {5}},
    {{3, 9}, {5}},
    {{0, 1, 2, 5, 8}, {5}},
    {{0, 1, 2, 5, 8}, {5}},
};

constexpr int kColumn0[5] = {0, 1, 2, 1, 3};

}  // namespace

std::span<const int> hairTable(int skin, int colour, int type) {
    if (type < 0 || type > 10 || colour < 0 || colour > 4) return {};
    if (skin == 0) return kHair0[type][kColumn0[colour]];
    if (skin == 1) return kHair1[type][colour == 4 ? 1 : 0];
    return {};
}

std::span<const int> hairCandidates(int skin, int colour, int type) {
    auto list = hairTable(skin, colour, type);
    if (skin == 0 && !list.empty()) list = list.subspan(1);
    return list;
}

std::optional<int> kopfhaare(std::int64_t& hauttyp, std::int64_t haartyp, std::int64_t haarfarbe, RandomSource& rnd) {
    hauttyp = skinFlag(hauttyp);
    if (haarfarbe == 255) haarfarbe = 4;
    if (haartyp < 0 || haartyp > 10 || haarfarbe < 0 || haarfarbe > 4) return std::nullopt;
    const auto c = hairCandidates(static_cast<int>(hauttyp), static_cast<int>(haarfarbe), static_cast<int>(haartyp));
    if (c.empty()) return std::nullopt;
    return c[rnd.below(c.size())];
}

}  // namespace zexp
