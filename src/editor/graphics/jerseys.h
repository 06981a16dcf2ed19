#pragma once
// Jerseys: three per club (home, away, goalkeeper), each a model number and four colours;
// the two jersey sets with their model pictures and default colour tables; the previews'
// shapes; settrikotfarbe; the copy of the active set's ma.res into the game.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QImage;
struct ProgressSink;
struct Settings;
namespace jet { class Database; }

namespace jerseys {

inline constexpr int kModels = 80;  // models the chooser offers: 0..79
// The chooser's grid: 12 columns × 7 rows of 61-pixel cells, 12 × 61 + 16 pixels wide. The
// last row holds models 72..79 in its first eight cells, so the caption kSelectedCaption is
// merged over the three free cells after them (over the first four it would hide models
// 72..75); the last cell (row 6, column 11) shows the chosen model.
inline constexpr int kColumns = 12;
inline constexpr int kRows = 7;
inline constexpr int kCellSize = 61;
inline constexpr int kGridWidth = kColumns * kCellSize + 16;
inline constexpr const char* kSelectedCaption = "Ausgewähltes Trikot:";
inline constexpr int kCaptionColumn = 8;
inline constexpr int kCaptionSpan = 3;
constexpr int modelAt(int row, int column) { return row * kColumns + column; }
constexpr bool isChoosable(int model) { return model >= 0 && model < kModels; }

// Jersey k: 0 home, 1 away, 2 goalkeeper.
inline constexpr const char* kFrameCaptions[3] = {"Heimtrikot", "Auswärtstrikot", "Torwarttrikot"};
inline constexpr const char* kModelColumns[3] = {"TRIKOT_ART", "AUSWEICH_TRIKOT_ART", "TW_TRIKOT_ART"};
// Colours 1 to 4 of jersey k: shirt main, shirt second, shorts, shorts stripes.
inline constexpr const char* kColourColumns[3][4] = {
    {"F_TRIKOT_SPIELER", "F_AUSW_TRIKOT_SPIELER", "F_ALTERN_TRIKOT_SPIELER", "F_HOSE_SPIELER"},
    {"F_AUSW_HOSE_SPIELER", "F_ALTERN_HOSE_SPIELER", "F_TRIKOT_WERBUNG", "F_HOSE_STREIFEN"},
    {"F_TRIKOT_TORWART", "F_HOSE_TORWART", "F_TRIKOT_TRAINER", "F_HOSE_TRAINER"},
};

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
using Colours = std::array<Rgb, 4>;

// "R,G,B" with blanks around the components and double quotes anywhere ignored; nullopt when
// it is not three numbers 0..255.
std::optional<Rgb> parseColour(std::string_view text);
// " 48, 48, 48": each component right-aligned in three characters.
std::string colourText(const Rgb& c);

struct Jersey {
    int model = 0;
    Colours colours{};  // an unreadable colour text gives black
};

// Table index as the tree passes it: 0 vereine_national, 1 vereine.
const char* tableName(int tableIndex);
// Show jersey: the three jerseys of the club or national team; nullopt when there is no row.
std::optional<std::array<Jersey, 3>> loadJerseys(jet::Database& db, int number, int tableIndex);

// Jersey sets: 0 original, 1 Kickoranet.
struct JerseySet {
    const char* menuCaption;
    const char* colourTable;
    int folderIndex;  // index into Settings::folders
};
inline constexpr JerseySet kSets[2] = {
    {"Trikotsatz (&Orignal)", "e_trikotfarbeoriginal", 2},
    {"Trikotsatz (&Kickoranet)", "e_trikotfarbekickoranet", 3},
};
const char* colourTable(int satz);

// set folder + "trikot_" + model with at least two digits + ".gif", found in any letter case
std::filesystem::path modelPicture(const std::string& setFolder, int model);
std::filesystem::path modelPicture(const Settings& settings, int model);  // active set

// The model's default colours in the set's colour table; nullopt when the model has no row.
std::optional<Colours> modelColours(jet::Database& db, int satz, int model);

// Apply model colours after a save: the twelve colour columns of row `number` of `table`
// become the default colours of its three models in the set. A model without a row in the
// colour table leaves its four columns as they are.
void settrikotfarbe(jet::Database& db, int number, const std::string& table, int satz);

// Choose jersey set: stores the selector in kickoraeditor.ini and makes it active. Returns a
// German error message, empty on success.
std::string chooseJerseySet(Settings& settings, int set);

// Copy the active set's ma.res over the game's (settings key kickorares). When the game has
// no ma.res nothing is copied and NoGame is returned: show kNoGameMessage, title
// kNoGameTitle, information icon. Throws gfx::Error when the copy fails (the game's file is
// then unchanged).
enum class CopyResult { Copied, NoGame };
inline constexpr const char* kCopyStatus = "Kopiere Trikotsatz...";
inline constexpr const char* kNoGameMessage = "Kein Kickora installiert";
inline constexpr const char* kNoGameTitle = "Fehler";
CopyResult copyJerseySet(const Settings& settings, ProgressSink& progress);

// The preview of one jersey: the model picture with shapes in the jersey's colours beside
// it, a small kit of 5 shirt stripes (colours 1 2 1 2 1), 2 sleeves (colour 2), 3 shorts
// parts (colour 3), 2 shorts stripes (colour 4) and 2 socks (colour 1).
inline constexpr int kPreviewWidth = 120;
inline constexpr int kPreviewHeight = 61;
inline constexpr int kPictureSize = 56;  // model pictures are drawn for this size
struct Shape {
    const char* array;  // shpstreif, shparm, shphose, shpstreifh, shpsock
    int index;          // index in the array for jersey k (k × 5 + i, k × 2 + i, k × 3 + i)
    int x, y, width, height;  // in the preview
    int colour;               // 0..3: colour 1..4
};
std::vector<Shape> previewShapes(int k);
// Picture and shapes drawn into one image of kPreviewWidth × kPreviewHeight.
QImage drawPreview(const QImage& modelPicture, const Colours& colours);

}  // namespace jerseys
