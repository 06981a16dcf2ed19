#pragma once
// Faces: the face code (skin colour and five part indices in one number), the part pictures
// of the face folder (settings key "gesicht"), the downward search for missing pictures,
// the check of all players' faces and the face dialog's state.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ProgressSink;
namespace jet { class Database; }

namespace faces {

inline constexpr int kParts = 5;
// Part order of the code: nose, mouth, hair, eyes, chin.
inline constexpr const char* kPartNames[kParts] = {"nase", "mund", "haare", "augen", "kinn"};
inline constexpr std::int64_t kWeights[kParts] = {67108864, 1048576, 8192, 128, 4};
inline constexpr int kSkins = 2;
inline constexpr const char* kSkinNames[kSkins] = {"weiss", "schwarz"};
inline constexpr const char* kSkinCaptions[kSkins] = {"Helle Hautfarbe", "Dunkler Hautfarbe"};
inline constexpr int kWhite = 0;
inline constexpr int kBlack = 1;

struct Face {
    int skin = 0;                    // code modulo 4: 0 white, 1 black (2, 3 name no colour)
    std::array<int, kParts> parts{}; // 0-based picture indices
};

// Part indices in weight order; the skin is the code modulo 4.
Face decode(std::int64_t code);
// Sum of index × weight; a black face puts its skin bit where the chin would go, so it
// always carries chin index 0.
std::int64_t encode(const Face& face);

// The pictures of one face folder, listed once (letter case ignored, as the files may come
// from Windows). folder ends with '/'.
class FaceLibrary {
public:
    explicit FaceLibrary(std::string folder);

    const std::string& folder() const { return folder_; }
    // sp_gesicht_<colour>_grund.gif
    std::filesystem::path backgroundFile(int skin) const;
    // sp_gesicht_<colour>_<part>_<index + 1>.gif
    std::filesystem::path partFile(int skin, int part, int index) const;
    bool exists(int skin, int part, int index) const;
    // Files matching sp_gesicht_<colour>_<part>_*.gif
    int count(int skin, int part) const;
    // The index itself when its picture exists, else the nearest lower one that has a
    // picture; 0 when none has.
    int nearestExisting(int skin, int part, int index) const;
    // Fit face code: every part index without a picture replaced by the nearest lower one.
    // nullopt for codes that name no colour (skin 2 or 3, negative codes).
    std::optional<std::int64_t> fit(std::int64_t code) const;

private:
    std::string folder_;
    std::array<std::array<int, kParts>, kSkins> counts_{};
    std::array<std::string, kSkins> background_;                            // file names as found
    std::array<std::array<std::vector<std::string>, kParts>, kSkins> names_;  // by index; "" missing
};

// What showgesicht puts on the screen for a code: the background and the five part
// pictures after the downward search, with the indices used (the image tags).
struct FaceView {
    bool valid = false;  // false for skin 2 or 3
    int skin = 0;
    std::filesystem::path background;
    std::array<std::filesystem::path, kParts> parts;  // empty when no picture exists at all
    std::array<int, kParts> indices{};
};
FaceView showgesicht(const FaceLibrary& lib, std::int64_t code);

// "Spielergesichter überprüfen": fits every player's code, writes the changed ones (in one
// transaction) and returns the message to show (title kCheckTitle, information icon).
inline constexpr const char* kCheckStatus = "Überprüfe Spielergesichter...";
inline constexpr const char* kCheckTitle = "Spielergesichter";
struct CheckResult {
    int players = 0;
    int corrected = 0;
    int unfittable = 0;  // codes that name no colour; left as they are
    std::string message;
};
CheckResult checkFaces(jet::Database& db, const FaceLibrary& lib, ProgressSink& progress);

// The face dialog without its widgets: skin option, five sliders with minus and plus.
class FaceDialogModel {
public:
    explicit FaceDialogModel(const FaceLibrary& lib) : lib_(lib) {}

    // Opening and Reset: the main window's skin and part indices (its image tags).
    void open(int skin, const std::array<int, kParts>& indices);
    // Choosing a skin colour: every slider back to 0, ranges from the picture counts.
    void setSkin(int skin);
    int skin() const { return skin_; }

    int value(int part) const { return values_[part]; }
    int minimum(int) const { return 0; }
    int maximum(int part) const { return maxima_[part]; }
    void setValue(int part, int value);  // clamped to the range
    void minus(int part) { setValue(part, values_[part] - 1); }
    void plus(int part) { setValue(part, values_[part] + 1); }
    bool minusEnabled(int part) const { return values_[part] > 0; }
    bool plusEnabled(int part) const { return values_[part] < maxima_[part]; }

    std::filesystem::path backgroundFile() const { return lib_.backgroundFile(skin_); }
    std::filesystem::path partFile(int part) const { return lib_.partFile(skin_, part, values_[part]); }
    // OK: the code built from the sliders and the skin option.
    std::int64_t code() const;

private:
    void updateRanges();
    const FaceLibrary& lib_;
    int skin_ = 0;
    std::array<int, kParts> values_{};
    std::array<int, kParts> maxima_{};
};

}  // namespace faces
