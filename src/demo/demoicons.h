#pragma once
// Talent icons of the demo world: 16x16 badges drawn here and written as GIF files.
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace demo {

// A picture with a palette; pixel values index the palette. Entry 0 is transparent.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::array<std::uint8_t, 3>> palette;  // at most 256 entries
    std::vector<std::uint8_t> pixels;                  // row by row
};

inline constexpr int kTalentIconSize = 16;

// The icon of talent index i (0-based) of the demo catalogue: a badge whose shape and colour
// stand for the talent's group, with the talent's initial. Further talents of a group with the
// same initial get the badge in reverse (pale body, coloured initial), the third one underlined.
IndexedImage talentIcon(int index);

// Writes the picture as a GIF89a file with palette entry 0 transparent. Throws
// std::runtime_error with a German message when the file cannot be written.
void writeGif(const std::filesystem::path& file, const IndexedImage& image);

// attribute_hell_00.gif, attribute_hell_01.gif, ... for every talent of the catalogue.
void writeTalentIcons(const std::filesystem::path& folder);

}  // namespace demo
