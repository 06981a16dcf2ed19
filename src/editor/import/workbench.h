#pragma once
// The import workbench without its window: the database club beside the file, the fields the
// four boxes fill or restore, and the three player lists (the file's players, the club's
// current players, the new squad of at most 20) with copying, removing, ghosting, selection
// helpers and the formation presets. The form renders the lists and passes the widget's
// selection in; it never decides which row goes where.
#include "clubfile.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class RandomSource;
namespace jet { class Database; }

namespace imp {

inline constexpr int kSquadSize = 20;

// ---- the database club

// The target row. Jersey types in the order of the workbench's pictures: 0 home
// (TRIKOT_ART), 1 away (AUSWEICH_TRIKOT_ART), 2 goalkeeper (TW_TRIKOT_ART).
struct ClubRow {
    long long number = 0;
    long long grafikNr = 0;
    std::string name, kurzname, stadt, nation, stadion, sitz, steh;  // Null as ""
    std::array<int, 3> jerseyTypes{};
};
// "Select * From vereine WHERE nummer=" club; nullopt when there is no such club (tag "-1").
std::optional<ClubRow> loadClubRow(jet::Database& db, long long club);

struct ClubPlayer {
    long long number = 0;
    int art = 0;
    std::string name, vorname;
    long long strength = 0;
};
// The club's players as lstveditor shows them: spielerinvereine ORDER BY art,name,vorname.
std::vector<ClubPlayer> loadClubPlayers(jet::Database& db, long long club);

// ---- the four boxes (chkimport 0 "Teamdaten", 1 "Stadiondaten", 2 "Teamtrikots  (Livespiel)",
// 3 "Spielerdaten")

inline constexpr int kBoxes = 4;
inline constexpr const char* kBoxCaptions[kBoxes] = {"Teamdaten", "Stadiondaten", "Teamtrikots  (Livespiel)",
                                                     "Spielerdaten"};

// The text fields of frames "Team" and "Stadion".
struct ClubFields {
    std::string teamlang, teamkurz, stadt, land;  // txtteamlang, txtteamkurz, txtstadt, cboland
    std::string stadion, sitz, steh;              // txtstadion, txtsitz, txtsteh
};
// All fields as the database holds them (every box unticked).
ClubFields fieldsOf(const ClubRow& row);
// A tick or untick of box 0 or 1: unticked restores the database values, ticked takes the
// file's keys (a missing key keeps the field's current text); the short name always stays the
// database's. Boxes 2 and 3 change no text field and are ignored here.
void applyBox(int box, bool ticked, const ClubRow& row, const ClubFile& file, ClubFields& fields);
// btnteamsave is enabled when box 0, 1 or 2 is ticked.
bool teamSaveEnabled(const std::array<bool, kBoxes>& boxes);

// ---- the player lists

enum class List { File, Club, Squad };  // lstvimport, lstveditor, lstveditornew

struct Row {
    std::string key;           // "I_" + file index, "E_" + player number; in the squad the
                               // source's "I_"/"E_" + 1-based row in its source list
    std::string text;          // initial + ". " + name (file), vorname + " " + name (club)
    int position = 0;          // 0..3, the fourth column "art"
    std::string code;          // "TOR".."STU"
    std::string strengthText;  // "#0.0 Sterne"
    long long strength = 0;
    int icon = 1;              // 4 - position
    bool ghosted = false;      // source rows only: copied into the squad (or stored as free player)
    List source = List::File;  // squad rows: where the row came from
    int sourceRow = -1;        // squad rows: 0-based row in the source list
};

// One squad row as the save needs it.
struct SquadMember {
    bool fromFile = false;
    int fileIndex = -1;          // file players: section "Spieler" + (fileIndex + 1)
    long long playerNumber = 0;  // club players
};

enum class Selection { All, None, Invert };  // menu items 2, 3, 4

class Workbench {
public:
    // Fills the file list (nullptr: empty) and the club list; the squad starts empty.
    void load(const ClubFile* file, const std::vector<ClubPlayer>& clubPlayers);
    // Box 3 unticked: all three lists empty.
    void clear();

    const std::vector<Row>& rows(List list) const;
    int squadSize() const { return static_cast<int>(squad_.size()); }
    // btnspielersave is enabled exactly when the squad is full.
    bool full() const { return squadSize() == kSquadSize; }

    // The selection after menu item 2, 3 or 4: ghosted rows keep their state in `current`,
    // the others are all selected, all unselected or inverted. Sorted row indices.
    std::vector<int> select(List list, Selection op, const std::vector<int>& current) const;

    // Menu item 6 and a drop on the squad: the selected rows of a source list (File or Club)
    // that are not ghosted, in list order, while the squad has room. Copied rows become
    // ghosted (the form unselects them); the others stay selected. Returns the copied rows.
    // The squad stays ordered by position number, rows of one position in the order they came.
    std::vector<int> copy(List source, const std::vector<int>& selectedRows);
    // Menu item 7 on the squad: removes the given squad rows and un-ghosts their sources.
    // Other lists have no rows to remove (their rows are what the squad points at).
    void remove(const std::vector<int>& squadRows);

    // Formation presets (menu index k: 0 "Zufallssystem", 1..10 the formations). For each
    // position 0..3 the file's players of that position, strongest first (equal strengths in
    // file order), are counted up to the formation's number and copied while the squad has
    // room; a player already in the squad counts too. Zufallssystem draws one of the first
    // nine formations. Returns the formation used (0..9); -1 for an unknown k.
    int preset(int k, RandomSource& random);

    // Menu item 8: the file rows to store as free players (the selected ones, or every row
    // when `all`), leaving out ghosted rows. Call markFree with them once they are stored.
    std::vector<int> freePlayerRows(const std::vector<int>& selectedRows, bool all) const;
    void markFree(const std::vector<int>& fileRows);

    // Without a window nobody arranges the rest: fills the squad's free places with the club's
    // own players (not yet in the squad) in the order of the club list. Returns how many.
    int fillFromClub();

    // The squad in list order, resolved back through the source lists.
    std::vector<SquadMember> squadMembers() const;

private:
    void ghost(List list, int row, bool on);
    std::vector<Row> file_, club_, squad_;
};

// ---- pop-up menu and keys

inline constexpr int kMenuItems = 11;
inline constexpr const char* kMenuCaptions[kMenuItems] = {
    "automatische Spielerauswahl",
    "-",
    "Alle Spieler auswählen (Strg+A)",
    "keine Auswahl (Strg+D)",
    "Auswahl umkehren (Strg+U)",
    "-",
    "Kopieren in Spielerliste (Strg+C)",
    "Spieler aus Liste entfernen (Entf)",
    "Spieler in 'Freie Spieler' kopieren",
    "-",
    "Popup schliessen",
};
enum MenuItem : int {
    MenuPresets = 0,
    MenuSelectAll = 2,
    MenuSelectNone = 3,
    MenuInvert = 4,
    MenuCopy = 6,
    MenuRemove = 7,
    MenuFreePlayers = 8,
    MenuClose = 10,
};
struct MenuItemState {
    bool visible = false;
    bool enabled = false;
};
// The menu as shown over `list`; rowSelected: the list has a selected row.
std::array<MenuItemState, kMenuItems> popupMenu(List list, bool rowSelected);
// The menu item a key runs in `list` (shift state 2 = Ctrl, key code as the runtime gives
// it: 65 A, 68 D, 85 U, 67 C, 46 Del); -1 for none. Del removes from the squad only.
int menuItemForKey(List list, int shift, int keyCode);

// Formation presets: menu captions (index 0 "Zufallssystem") and the counts of goalkeepers,
// defenders, midfielders, attackers of formations 0..9 (menu index k is formation k - 1).
inline constexpr int kPresetItems = 11;
inline constexpr const char* kPresetCaptions[kPresetItems] = {
    "Zufallssystem",          "2 TOR, 6 ABW, 6 MIT, 6 STU", "2 TOR, 6 ABW, 7 MIT, 5 STU",
    "2 TOR, 6 ABW, 5 MIT, 7 STU", "2 TOR, 5 ABW, 6 MIT, 7 STU", "2 TOR, 5 ABW, 7 MIT, 6 STU",
    "2 TOR, 7 ABW, 5 MIT, 6 STU", "2 TOR, 7 ABW, 6 MIT, 5 STU", "2 TOR, 7 ABW, 7 MIT, 4 STU",
    "2 TOR, 4 ABW, 7 MIT, 7 STU", "2 TOR, 7 ABW, 4 MIT, 7 STU",
};
inline constexpr int kFormations = 10;
inline constexpr std::array<std::array<int, kPositions>, kFormations> kFormationCounts = {{
    {2, 6, 6, 6}, {2, 6, 7, 5}, {2, 6, 5, 7}, {2, 5, 6, 7}, {2, 5, 7, 6},
    {2, 7, 5, 6}, {2, 7, 6, 5}, {2, 7, 7, 4}, {2, 4, 7, 7}, {2, 7, 4, 7},
}};
inline constexpr int kRandomFormations = 9;  // Zufallssystem never picks the tenth

}  // namespace imp
