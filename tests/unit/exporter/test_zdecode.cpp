#include "common/random.h"
#include "exporter/zdecode.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <vector>

using namespace zexp;

namespace {

// The game's own reading of a code: upper-case hex text (negative: eight-digit pattern),
// last six characters, pairs 1-2, 3-4 and the last two. Only defined for six or more digits.
Rgb byHexText(std::int64_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(code)));
    std::string s = buf;
    s = s.substr(s.size() - 6);
    auto pair = [&](std::size_t at) { return static_cast<int>(std::stoi(s.substr(at, 2), nullptr, 16)); };
    return {pair(0), pair(2), pair(s.size() - 2)};
}

std::int64_t block(int r1, int k1, int r2 = 0, int k2 = 0, int r3 = 0, int k3 = 0) {
    return (static_cast<std::int64_t>(k1) << 16) | (k2 << 14) | (k3 << 12) | (r1 << 8) | (r2 << 4) | r3;
}

}  // namespace

TEST(ColourTriple, FixedAndShortCodes) {
    const std::pair<std::int64_t, Rgb> cases[] = {
        {127, {255, 255, 129}}, {-127, {255, 255, 129}}, {0, {0, 0, 0}}, {0x12345678, {52, 86, 120}}, {-1, {255, 255, 255}},
        // below six hex digits 24 bits instead of the hex reading, which would give 18,52,69 and
        // 18,52,52 and fail below 0x100
        {0x12345, {1, 35, 69}}, {0x1234, {0, 18, 52}}, {0xFF, {0, 0, 255}}, {5, {0, 0, 5}}, {126, {0, 0, 126}}};
    for (const auto& [code, want] : cases) EXPECT_EQ(colourTriple(code), want) << code;
    EXPECT_EQ(colourText(colourTriple(127)), "255,255,129");
    EXPECT_EQ(colourText(colourTriple(0)), "0,0,0");
}

TEST(ColourTriple, LargeAndNegativeCodesAgreeWithTheHexReading) {
    std::vector<std::int64_t> codes = {0x100000, 0xFFFFFF, 0x1000000, 0x7FFFFFFF, -2, -0x100000, -0x7FFFFFFF,
                                       INT32_MIN};
    RandomSource rnd(7);
    for (int i = 0; i < 2000; ++i) {
        codes.push_back(0x100000 + static_cast<std::int64_t>(rnd.below(0x7FEFFFFF)));
        codes.push_back(-1 - static_cast<std::int64_t>(rnd.below(0x7FFFFFFF)));
    }
    for (auto c : codes) EXPECT_EQ(colourTriple(c), byHexText(c)) << c;
}

TEST(Binary, Dez2binAndBin2dez) {
    EXPECT_EQ(dez2bin(0), std::string(32, '0'));
    EXPECT_EQ(dez2bin(5), std::string(29, '0') + "101");
    EXPECT_EQ(dez2bin(0x80000000LL), "1" + std::string(31, '0'));
    EXPECT_EQ(dez2bin(block(4, 0, 2, 1)), "00000000000000000100010000100000");
    // anything but "1" counts as 0
    for (auto [bits, want] : {std::pair{"1010", 10}, {"0001", 1}, {"11", 3}, {"1x1", 5}, {"", 0}})
        EXPECT_EQ(bin2dez(bits), want) << bits;
    for (std::int64_t n : {0LL, 1LL, 255LL, 4660LL, 65535LL})
        EXPECT_EQ(bin2dez(dez2bin(n).substr(16)), n) << n;
}

TEST(Stadium, BlocksAndTiers) {
    EXPECT_EQ(stadionteil(0, 0, 0, 0), 0);
    EXPECT_EQ(stadionteil(0, 1, 1, 13), 0);
    // 4 ranks seated over 2 ranks standing, block A, no track.
    const auto b = block(4, 0, 2, 1);
    EXPECT_EQ(stadionteil(b, 0, 0, 0), 4000);
    EXPECT_EQ(stadionteil(b, 0, 1, 0), 3000);
    // Ranks 7..15 count as 6.
    for (int r : {6, 7, 11, 15}) EXPECT_EQ(stadionteil(block(r, 0), 0, 0, 4), 9000) << r;
    // Kinds 2 and 3 are neither seated nor standing.
    for (int k : {2, 3}) {
        EXPECT_EQ(stadionteil(block(3, k, 3, k, 3, k), 0, 0, 0), 0);
        EXPECT_EQ(stadionteil(block(3, k, 3, k, 3, k), 1, 1, 0), 0);
    }
    // Three tiers of one kind add up; tier 3 alone counts too.
    EXPECT_EQ(stadionteil(block(1, 1, 2, 1, 3, 1), 1, 1, 2), 1500 + 3300 + 5400);
    EXPECT_EQ(stadionteil(block(0, 0, 0, 0, 2, 0), 0, 0, 2), 600);
    // The table as listed, odd entries included.
    EXPECT_EQ(stadionteil(block(5, 1), 1, 1, 3), 75000);
    const std::array<int, 5> entries[] = {{1, 1, 5, 2, 10500}, {1, 1, 5, 12, 5000}, {0, 1, 2, 7, 300}, {0, 1, 4, 7, 600},
                                          {1, 0, 3, 11, 3500}, {0, 0, 6, 2, 7400}, {0, 1, 1, 9, 1500}, {1, 1, 1, 4, 4500},
                                          {0, 0, 0, 0, 0},     {0, 0, 7, 0, 0}};
    for (const auto& [track, kind, ranks, letter, want] : entries)
        EXPECT_EQ(capacityEntry(track, kind, ranks, letter), want) << track << kind << " " << ranks << " " << letter;
}

TEST(Stadium, CapacityOverFourteenBlocksWithTrackFlag) {
    std::array<std::int64_t, 14> blocks{};
    blocks[0] = block(4, 0, 2, 1);   // A: 4000 / 3000 without track, 5200 / 3300 with
    blocks[13] = block(1, 1);        // N: standing 300 / 1500
    EXPECT_EQ(stadiumCapacity(0, blocks), (Capacity{4000, 3300}));
    EXPECT_EQ(stadiumCapacity(-1, blocks), (Capacity{5200, 4800}));  // Jet true
    EXPECT_EQ(stadiumCapacity(1, blocks), (Capacity{5200, 4800}));
    EXPECT_EQ(stadiumCapacity(0, {}), (Capacity{0, 0}));
}

TEST(Player, StrengthContractSkin) {
    EXPECT_EQ(strengthStep(0, 9999, 349), 6);
    EXPECT_EQ(strengthStep(0, 9999, 350), 7);
    EXPECT_EQ(strengthStep(1, 700, 0), 10);
    EXPECT_EQ(strengthStep(3, 699, 9999), 9);
    EXPECT_EQ(strengthStep(2, 69, 9999), 0);
    // Results the game cannot store (16-bit remaining matches, 32-bit strength) give nothing.
    const std::pair<std::int64_t, std::optional<std::int64_t>> contracts[] = {
        {2, 110}, {0, 0}, {595, 32725}, {596, std::nullopt}, {-1, std::nullopt},
        {INT64_MAX, std::nullopt}, {INT64_MIN, std::nullopt}, {INT64_MAX / 55 + 1, std::nullopt}};
    for (auto [v, want] : contracts) EXPECT_EQ(contractMatches(v), want) << v;
    const std::pair<std::int64_t, std::optional<std::int64_t>> steps[] = {
        {0, 0}, {6, 6000}, {2147483, 2147483000}, {2147484, std::nullopt}, {-1, std::nullopt},
        {INT64_MAX / 70, std::nullopt}, {INT64_MIN / 50, std::nullopt}};
    for (auto [v, want] : steps) EXPECT_EQ(strengthValue(v), want) << v;
    EXPECT_EQ(skinFlag(4), 1);
    for (int t : {0, 1, 2, 3, 5, 255}) EXPECT_EQ(skinFlag(t), 0) << t;
}

TEST(Hair, TablesAsStored) {
    for (int type = 0; type <= 10; ++type) {
        for (int colour = 0; colour <= 4; ++colour) {
            auto list = hairTable(0, colour, type);
            ASSERT_FALSE(list.empty());
            EXPECT_EQ(list.front(), type);  // skin 0 lists repeat the type first
            EXPECT_EQ(hairCandidates(0, colour, type).size(), list.size() - 1);
            EXPECT_EQ(hairCandidates(1, colour, type).size(), hairTable(1, colour, type).size());
        }
        auto c1 = hairCandidates(0, 1, type), c3 = hairCandidates(0, 3, type);
        EXPECT_EQ(std::vector<int>(c1.begin(), c1.end()), std::vector<int>(c3.begin(), c3.end()));
        EXPECT_EQ(std::vector<int>(hairTable(1, 4, type).begin(), hairTable(1, 4, type).end()), std::vector<int>{5});
    }
    const std::pair<std::array<int, 3>, std::vector<int>> lists[] = {
        {{0, 2, 2}, {2, 0, 2, 6, 7, 8, 12, 15, 43, 58}}, {{0, 0, 4}, {4, 50, 41}}, {{1, 2, 9}, {0, 1, 2, 5, 8}}, {{1, 3, 3}, {7}}};
    for (const auto& [at, want] : lists) {
        const auto l = hairTable(at[0], at[1], at[2]);
        EXPECT_EQ(std::vector<int>(l.begin(), l.end()), want) << at[0] << at[1] << at[2];
    }
    EXPECT_TRUE(hairTable(0, 5, 0).empty());
    EXPECT_TRUE(hairTable(0, 0, 11).empty());
    EXPECT_TRUE(hairTable(2, 0, 0).empty());
}

TEST(Hair, KopfhaareDrawsFromTheCandidates) {
    RandomSource rnd(3);
    for (int skinCode : {0, 4}) {
        for (int colour : {0, 1, 2, 3, 4, 255}) {
            for (int type = 0; type <= 10; ++type) {
                const auto cand = hairCandidates(skinCode == 4 ? 1 : 0, colour == 255 ? 4 : colour, type);
                std::set<int> seen;
                for (int i = 0; i < 200; ++i) {
                    std::int64_t skin = skinCode;
                    auto h = kopfhaare(skin, type, colour, rnd);
                    ASSERT_TRUE(h.has_value());
                    EXPECT_EQ(skin, skinCode == 4 ? 1 : 0);
                    seen.insert(*h);
                }
                // Every candidate can come up, nothing else does.
                EXPECT_EQ(seen, std::set<int>(cand.begin(), cand.end())) << skinCode << "/" << colour << "/" << type;
            }
        }
    }
    // Colour 255 means 4: skin 0, type 3 has the single candidate 4.
    std::int64_t skin = 0;
    EXPECT_EQ(kopfhaare(skin, 3, 255, rnd), 4);
    skin = 4;
    EXPECT_EQ(kopfhaare(skin, 0, 1, rnd), 5);
}

TEST(Hair, OutOfRangeCodesGiveNoNumberAndUseNoDraw) {
    RandomSource a(11), b(11);
    std::int64_t skin = 4;
    EXPECT_FALSE(kopfhaare(skin, 11, 0, a).has_value());
    EXPECT_EQ(skin, 1);  // the skin flag is handed back even so
    skin = 0;
    EXPECT_FALSE(kopfhaare(skin, -1, 0, a).has_value());
    EXPECT_FALSE(kopfhaare(skin, 0, 5, a).has_value());
    EXPECT_FALSE(kopfhaare(skin, 0, 254, a).has_value());
    EXPECT_EQ(a.next(), b.next());
}

TEST(Hair, SameSeedSameHair) {
    RandomSource a(42), b(42), c(43);
    std::vector<int> x, y, z;
    for (int i = 0; i < 50; ++i) {
        std::int64_t s1 = 0, s2 = 0, s3 = 0;
        x.push_back(*kopfhaare(s1, 2, 2, a));
        y.push_back(*kopfhaare(s2, 2, 2, b));
        z.push_back(*kopfhaare(s3, 2, 2, c));
    }
    EXPECT_EQ(x, y);
    EXPECT_NE(x, z);
}
