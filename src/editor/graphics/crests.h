#pragma once
// Crests: one TGA per crest number in the crest folder (settings key "wappen"), the
// chooser's previews, and the moves between the crest folder and the game's archive wa.res
// through the member list wa.lst.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QImage;
struct ProgressSink;

namespace crests {

inline constexpr int kCount = 1000;  // crest numbers 0..999
// The chooser's grid: 11 columns × 91 rows of 66-pixel cells; the cell of number 1000 stays
// empty. The grid is 11 × 66 + 18 pixels wide (room for the scroll bar).
inline constexpr int kColumns = 11;
inline constexpr int kRows = 91;
inline constexpr int kCellSize = 66;
inline constexpr int kGridWidth = kColumns * kCellSize + 18;
constexpr int numberAt(int row, int column) { return row * kColumns + column; }
constexpr bool isCrestNumber(int n) { return n >= 0 && n < kCount; }

// Texts of the commands, as the windows show them.
inline constexpr const char* kStatusLoading = "Lade Vorschau...";
inline constexpr const char* kStatusImport = "Importiere Wappen...";
inline constexpr const char* kStatusExport = "Exportiere Wappen ...";
inline constexpr const char* kStatusPack = "Packe Wappen ...";
inline constexpr const char* kImportTitle = "Importieren Wappen...";
inline constexpr const char* kExportTitle = "Exportiere Wappen...";
inline constexpr const char* kArchiveName = "wa.res";
inline constexpr const char* kArchiveFilter = "Kickora Wappen (wa.res)|wa*.res";

// crestFolder always ends with '/'; names are appended to it directly. Each file is the one of
// that name in any letter case; the name as written here when none exists.
std::filesystem::path crestFile(const std::string& crestFolder, int number);  // vereins_wappen_N.tga
std::filesystem::path defaultTga(const std::string& crestFolder);
std::filesystem::path defaultGfp(const std::string& crestFolder);
std::filesystem::path memberList(const std::string& crestFolder);  // wa.lst

// Show crest: the crest file of the number, copied from default.tga first when no file of
// that name exists in any letter case (so the folder gains a file for the number). Returns
// the file; it still does not exist when default.tga is missing too.
std::filesystem::path loadwappen(const std::string& crestFolder, int number);

// The chooser's previews: for every number 0..999 the crest file is made sure of (as
// loadwappen) and loaded, scaled down to fit a cell when larger; cell(number, picture) is
// called in number order. Status text "Lade Vorschau..." and the percentage go to progress;
// the status text is cleared at the end.
void loadCrestPreviews(const std::string& crestFolder, const std::function<void(int, const QImage&)>& cell,
                       ProgressSink* progress = nullptr);
std::vector<QImage> loadCrestPreviews(const std::string& crestFolder, ProgressSink* progress = nullptr);

struct ImportResult {
    bool archive = false;               // false: the file is no RESF archive, nothing done
    int members = 0;                    // members in the archive
    int imported = 0;                   // crest TGAs written
    std::vector<std::string> messages;  // one German line per skipped member
};

// Import crests: every member of type 14 becomes crestFolder + name + ".tga" (overwriting).
// A damaged member, or one whose name is no plain file name, is skipped with a message; the
// others still import. Throws gfx::Error only when the archive's head or directory is damaged.
ImportResult importCrests(const std::string& crestFolder, const std::filesystem::path& archive,
                          ProgressSink& progress);

// Export crests: the members named by wa.lst, each the crest TGA crestFolder + (name
// trimmed) + ".tga" converted with default.gfp as the template and compressed, packed into
// the archive with the type of wa.lst. Returns the member count. Throws gfx::Error with a
// German message when anything is missing or damaged; the target then stays as it was.
int exportCrests(const std::string& crestFolder, const std::filesystem::path& archive, ProgressSink& progress);

}  // namespace crests
