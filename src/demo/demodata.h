#pragma once
// Fixed game data of the demo world: countries, talents, jersey models, face pictures and
// face colours. The picture generator draws exactly what these tables name.
#include <string>
#include <vector>

namespace demo {

// Jersey models 0..79 in both jersey sets; 60..79 are the goalkeeper models.
inline constexpr int kJerseyModels = 80;
inline constexpr int kFirstGoalkeeperModel = 60;

// Face pictures per skin colour (0 "weiss", 1 "schwarz") and part (nase, mund, haare, augen,
// kinn). The exporter's imports draw within these counts, so every code they build exists.
inline constexpr int kFaceParts[2][5] = {{31, 30, 62, 30, 11}, {9, 9, 10, 2, 1}};

// Hair style numbers with rows in e_gesichtsfarbe: the whole hair field of the face code
// (bits 13 to 19), so any well-formed code finds its colours.
inline constexpr int kHairStyles = 128;

// Talents shown by the editor: rows 1..40 field players only, 41..47 everyone, 48..53
// goalkeepers only; further rows exist in the catalogue but are never shown.
inline constexpr int kShownTalents = 53;
inline constexpr int kFirstSharedTalent = 40;      // 0-based index
inline constexpr int kFirstGoalkeeperTalent = 47;  // 0-based index

struct Talent {
    const char* group;
    const char* name;
    int voraus[3];  // 1-based ids, 0 none
    int schutz[3];
};
const std::vector<Talent>& talents();

struct Country {
    const char* name;
    const char* continent;
    const char* competition;  // short identifier of the national league
    int region;               // language region of the invented names
    int clubs;                // clubs at scale 1 (0: national team only)
    int level;                // playing strength 1..10
    const char* capital;
    const char* qualification;  // codes separated by ","
};
// Countries with a national team, in national-team number order (Deutschland first).
const std::vector<Country>& countries();
// Countries that the country table knows without a national team (the import creates them).
const std::vector<Country>& countriesWithoutTeam();

// Colour text " 48, 48, 48": each component right-aligned in three characters.
std::string colourText(int r, int g, int b);

struct JerseyColours {
    std::string trikot1, trikot2, hose, streifen;
};
// Default colours of a model in jersey set 0 (original) or 1 (Kickoranet).
JerseyColours jerseyColours(int set, int model);

// Skin and hair colour numbers for a hair style and a skin-tone index 0..3.
struct FaceColour {
    int hautfarbe;
    int haarfarbe;
};
FaceColour faceColour(int hairStyle, int skinTone);

// Face code of the given part indices (nase, mund, haare, augen, kinn) and skin colour.
long long faceCode(const int parts[5], int skin);

}  // namespace demo
