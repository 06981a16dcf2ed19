#pragma once
// The talent grid without widgets: the catalogue rows it shows, the icon file names, which
// rows a position sees, and the three states per talent with the two lists they travel in.
#include <QString>
#include <vector>

namespace jet {
class Database;
}

namespace talents {

// Rows of the grid (1-based, row r is talent index r - 1): 1..40 field players only,
// 41..47 everyone, 48..53 goalkeepers only.
inline constexpr int kRows = 53;
inline constexpr int kFirstSharedRow = 41;
inline constexpr int kFirstGoalkeeperRow = 48;
inline constexpr int kReferences = 6;  // three prerequisites, then three protections

struct Talent {
    QString text;  // first text column of the catalogue (the group)
    QString name;
    int references[kReferences] = {};  // 1-based ids of other talents, 0 none
};

// The first kRows rows of e_attribute in id order (fewer when the catalogue is shorter).
std::vector<Talent> loadCatalogue(jet::Database& db);

// Picture file of a talent index: "attribute_hell_" + index with at least two digits + ".gif".
QString iconFileName(int index);

// Grid geometry in pixels: icon and mark columns, the two text columns, talent rows.
inline constexpr int kIconColumnWidth = 16;
inline constexpr int kTextColumnWidth = 125;
inline constexpr int kNameColumnWidth = 86;
inline constexpr int kRowHeight = 16;

// Whether grid row r (1-based) is shown for a player of position art (0 goalkeeper).
bool rowVisible(int row, int art);
// Whether the grid already shows the rows of position art, judged by its first and last row:
// a field player needs row 1 shown and the last hidden, a goalkeeper row 1 hidden.
bool visibilityMatches(int art, bool firstRowShown, bool lastRowShown);

enum class State { None, Learned, Blocked };

// The states of one player's talents. The state value of row r is 0, r (learned) or -r
// (blocked). Indices the grid has no row for are kept as read and written back unchanged.
class States {
public:
    explicit States(int rows = kRows);

    int rows() const { return static_cast<int>(values_.size()); }
    // All rows to none; the kept indices are dropped.
    void clear();
    // Reads the two lists ("3,17,40", blanks around elements allowed). A talent in both
    // lists ends up blocked; elements that are not numbers are skipped.
    void load(const QString& learned, const QString& blocked);

    State state(int row) const;
    // The state value of the row: 0, row or -row.
    int value(int row) const;
    // setattribute: kind 1 learned, -1 blocked, 0 none.
    void set(int row, int kind);
    // A click on the row's icon: none -> learned -> blocked -> none. Returns the new state.
    State cycle(int row);

    // talentsum: the learned and the blocked list, elements in row order separated by ",".
    void talentsum(QString& learned, QString& blocked) const;

private:
    std::vector<int> values_;
    std::vector<int> keptLearned_;
    std::vector<int> keptBlocked_;
};

}  // namespace talents
