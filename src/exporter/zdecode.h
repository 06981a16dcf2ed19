#pragma once
// Conversions of Zentor 4 values into the editor's terms: jersey colour codes, packed
// stadium blocks, strength sums, contract, skin and hair codes.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class RandomSource;

namespace zexp {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Colour code -> triple. 127 stands for the pattern FFFFFF81; every other code is taken
// as 24 bits (16..23, 8..15, 0..7), so no code can fail.
Rgb colourTriple(std::int64_t code);
// "r,g,b" as exporter files write it.
std::string colourText(const Rgb& c);

// n >= 0 as exactly 32 binary digits, most significant first (negative n: its 32-bit pattern).
std::string dez2bin(std::int64_t n);
// Sum of 2^(length - i) over every 1-based position i holding '1'; other characters count as 0.
int bin2dez(std::string_view bits);

// Places of kind stehsitz (0 seated, 1 standing) in one block (letter index buch 0..13).
long stadionteil(std::int64_t block, int lauf, int stehsitz, int buch);
// One entry of the capacity table; 0 for arguments outside it.
long capacityEntry(int lauf, int stehsitz, int ranks, int buch);

struct Capacity {
    long seated = 0, standing = 0;
    bool operator==(const Capacity&) const = default;
};
// LAUFBAHN as stored (Jet -1/0, or 1) and the fourteen block values A..N.
Capacity stadiumCapacity(std::int64_t laufbahn, const std::array<std::int64_t, 14>& blocks);

// tet / 50 for a goalkeeper (position 0), tes / 70 otherwise, remainder dropped.
std::int64_t strengthStep(std::int64_t position, std::int64_t tes, std::int64_t tet);
// The game keeps remaining matches in a 16-bit and strength in a 32-bit whole number; a
// source value that lands outside gives nullopt instead of a number the game cannot hold.
// VERTRAGSLAUFZEIT × 55, within 0..32767.
std::optional<std::int64_t> contractMatches(std::int64_t vertragslaufzeit);
// Strength step × 1000, within 0..2147483647.
std::optional<std::int64_t> strengthValue(std::int64_t step);
int skinFlag(std::int64_t typus);                               // 1 for TYPUS 4

// Hair candidates for skin flag 0/1, hair colour 0..4 (255 already mapped to 4) and type
// 0..10, as stored: for skin 0 the first entry repeats the type. Empty when out of range.
std::span<const int> hairTable(int skin, int colour, int type);
// The numbers the draw chooses from: skin 0 without the leading type, skin 1 the whole list.
std::span<const int> hairCandidates(int skin, int colour, int type);

// kopfhaare: hauttyp becomes the skin flag; the result is a hair number of the editor's face
// model, drawn from the candidates with one draw of rnd; nullopt (and no draw) when type or
// colour are out of range.
std::optional<int> kopfhaare(std::int64_t& hauttyp, std::int64_t haartyp, std::int64_t haarfarbe, RandomSource& rnd);

}  // namespace zexp
