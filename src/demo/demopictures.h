#pragma once
// The demo world's pictures: face parts, the jersey models of both sets with their ma.res,
// and the crests with default.tga, default.gfp, wa.lst and wa.res. Drawn by the generator,
// the same for the same seed.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class QImage;

namespace demo {

struct Options;

// Crests are drawn at this size (24-bit TGA).
inline constexpr int kCrestSize = 64;
inline constexpr int kJerseyPictureSize = 56;
inline constexpr int kFaceWidth = 64;
inline constexpr int kFaceHeight = 80;

// Writes gesicht/, trikot/original/, trikot/kickoranet/ (with ma.res), wappen/ (crests of
// the teams in dir/kickora.mdb when it exists, else of the numbers a world of that scale
// uses, up to 999) and resfile/ (wa.res and ma.res as the game holds them).
void writePictures(const std::filesystem::path& dir, const Options& options);

// Single pieces, for tests and benchmarks.
QImage drawCrest(int number, std::uint64_t seed);
// Writes vereins_wappen_N.tga for each number, default.tga, default.gfp and wa.lst into
// crestFolder (ending with '/'); returns the crest numbers written.
void writeCrests(const std::string& crestFolder, const std::vector<int>& numbers, std::uint64_t seed);

}  // namespace demo
