#pragma once
// Exporter club files (.aet) as the import reads them: the Team section and the player
// sections, read once through the profile operations. The files come from another program
// and may be hand-edited, so every value is checked here, once: a missing key or text where
// a number belongs gives the default, a number out of range is pulled to the nearest
// allowed value, never wrapped.
#include "common/profile.h"
#include "graphics/jerseys.h"
#include "importerror.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace imp {

// Position numbers 0..3 and their codes in the import lists.
inline constexpr int kPositions = 4;
inline constexpr const char* kPositionCodes[kPositions] = {"TOR", "ABW", "MIT", "STU"};
inline constexpr int kAttack = 3;  // a missing or unusable "Position"

// Strength scale of the game: 0 to 12000, 1000 per half star.
inline constexpr long long kMaxStrength = 12000;
// Highest hair number: the hair field of the face code has 7 bits.
inline constexpr int kMaxHair = 127;

// "#0.0 Sterne" of a strength (strength / 2000, one decimal).
std::string strengthText(long long strength);
// The number in a value from a file: optional blanks and sign, digits, optionally a decimal
// part after '.' or ',' (rounded half to even). nullopt for anything else, and for numbers
// beyond ±10^15 (which no field holds).
std::optional<long long> parseNumber(std::string_view text);
// parseNumber, pulled into [lo, hi]; def when the text is not a number.
long long numberIn(std::string_view text, long long def, long long lo, long long hi);

// One player section "Spieler" + (index + 1), values already checked:
//  - position: 0..3; missing, not a number or outside 0..3 counts as attack (3);
//  - strength: the file's value rounded, pulled into 0..12000;
//  - remainingGames: 0..30000 (room for the random addition of the save);
//  - shirtNumber: 0..32767, 0 when missing;
//  - skin: 1 only for the value 1; every other value (missing, 2, -1, text) counts as 0, the
//    skin the exporter writes for everyone but the dark-skinned type;
//  - hair: 0..127; missing or outside counts as 0.
struct FilePlayer {
    int index = 0;          // 0-based; section "Spieler" + (index + 1)
    bool present = false;   // the section exists
    std::string name;       // "Name" ("" when missing)
    std::string vorname;    // "Vorname" as written ("" when missing)
    std::string land;       // "Land"
    int position = kAttack;
    long long strength = 0;
    long long remainingGames = 0;
    long long shirtNumber = 0;
    int skin = 0;
    int hair = 0;

    // The first character of the first name (a blank when there is none); UTF-8 aware.
    std::string initial() const;
    // lstvimport text: initial + ". " + name.
    std::string listText() const;
    const char* positionCode() const { return kPositionCodes[position]; }
    std::string strengthText() const { return imp::strengthText(strength); }
    // Icon of the import lists' image list: 4 - position (1 attack .. 4 goalkeeper).
    int icon() const { return 4 - position; }
};

struct ClubFile {
    std::filesystem::path path;
    std::string title;  // file name without folder and extension: the caption of lblverein

    // Team keys the workbench takes over; nullopt when the key is missing (a ticked box
    // then keeps the field's current text).
    std::optional<std::string> name, stadt, land, stadion, stadionsitz, stadionsteh;
    // Raw colour texts "Trikoth0..2" and "Trikota0..2" (nullopt when missing).
    std::array<std::optional<std::string>, 3> homeText, awayText;

    // Players in file order. The count is the Team key "Spieler" (0 when missing or not a
    // number), but never more than the file's highest player section: a count beyond the
    // sections the file holds would only produce empty players (see warnings).
    std::vector<FilePlayer> players;
    // German notes on what was corrected while reading (one line each); empty for a clean file.
    std::vector<std::string> warnings;

    // The live jersey of showlivetrikot: the three colours of the home (0) or away (1) keys,
    // default and unreadable values white, the fourth colour black.
    jerseys::Colours liveColours(int which) const;
    // Colour texts for settrikotfarbe: the file's colour in the editor's form (" 48, 48, 48");
    // missing or unreadable values black ("  0,  0,  0").
    std::string homeColour(int i) const;
    std::string awayColour(int i) const;
};

struct ImportFile;
// Reads a club file. Throws Error when it does not exist or cannot be read; every value
// problem inside the file is corrected as described above, never an exception.
ClubFile loadClubFile(const std::filesystem::path& file);
// The same from a file already loaded (or bytes from elsewhere).
ClubFile readClubFile(const ImportFile& in);

// Reading any import file (club, index, team): the file itself or one of another letter case
// (as copied from Windows), loaded once. Throws Error when it does not exist or cannot be read.
struct ImportFile {
    std::filesystem::path path;  // as found
    profile::Document doc;
};
ImportFile openImportFile(const std::filesystem::path& file);
// Sections "Spieler" + k (letter case ignored, k written without leading zeros, 1..limit):
// how many there are and the highest k; 0 for none.
struct PlayerSections {
    int count = 0, highest = 0;
};
PlayerSections playerSections(const profile::Document& doc, int limit);

// The file title the dialogs show: the file name without folder, less its last four
// characters (".aet", ".tea").
std::string fileTitle(const std::filesystem::path& file);

}  // namespace imp
