#pragma once
// Invented names for the demo world, built from syllables of a language region.
#include <string>

class RandomSource;

namespace demo {

enum Region {
    kDeutsch,
    kEnglisch,
    kFranzoesisch,
    kNiederlaendisch,
    kItalienisch,
    kSpanisch,
    kPortugiesisch,
    kSlawisch,
    kKarpaten,
    kGriechisch,
    kTuerkisch,
    kArabisch,
    kAfrikanisch,
    kJapanisch,
    kFernost,
    kAtlantisch,
    kRegionCount
};

std::string firstName(Region r, RandomSource& rnd);
std::string surname(Region r, RandomSource& rnd);
std::string townName(Region r, RandomSource& rnd);
// A club name around the town, in the region's manner ("FC Bergheim", "Bergheim United").
std::string clubName(Region r, const std::string& town, RandomSource& rnd);
std::string stadiumName(Region r, const std::string& town, RandomSource& rnd);
// Chance of a dark face (skin colour 1) in the region, in percent.
int darkSkinPercent(Region r);

}  // namespace demo
