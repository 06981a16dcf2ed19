#pragma once
// The player list and the player save without widgets: cell texts of a list row, the star
// conversions between stored strength, list text and pick-list entry, the input checks and
// the update statement.
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace jet {
class Database;
class Recordset;
}  // namespace jet

namespace playerlist {

// Columns of the list, in the order of the stored query spielerinvereine.
enum Column : int {
    ColNummer = 0,
    ColName = 1,
    ColVorname = 2,
    ColStaerke = 3,
    ColMaxStaerke = 4,
    ColLand = 5,
    ColGroesse = 6,
    ColPosition = 7,
    ColRueckennummer = 8,
    ColRestspiele = 9,
    ColGesicht = 13,
    ColHautfarbe = 14,
    ColHaarfarbe = 15,
    ColErlernt = 16,
    ColGesperrt = 17,
};
inline constexpr int kColumns = 18;
inline constexpr int kHeadedColumns = 10;
inline constexpr int kBlankRows = 20;   // shown for a club without players
inline constexpr int kStarEntries = 13; // 0.0 .. 6.0 stars in half steps

// Header texts of columns 0..9.
const QStringList& headers();
// "Tor", "Abwehr", "Mittelfeld", "Sturm"; entry i is ART i.
const QStringList& positionNames();
// The name of a position; other values stay as their number.
QString positionName(long long art);

// The list text of a stored strength: value / 2000 with one decimal, German format ("2,7 Sterne").
QString starsText(long long value);
// Entry i of the strength pick lists ("2.5 Sterne").
QString starEntry(int index);
// The pick-list index for a list text: the number before the first blank, doubled and
// rounded to the nearest half star, kept within 0..12. So 5300 -> "2,7 Sterne" -> 5.
int starIndex(const QString& listText);
// The list text for a pick-list entry ("2.5 Sterne" -> "2,5 Sterne").
QString listTextOfEntry(const QString& entry);

// SELECT of the players of a club (0: transfer market), sorted as the list shows them.
std::string listQuery(long long club);
// The 18 cell texts of the record set's current row.
QStringList gridRow(const jet::Recordset& rs);

// The order of list rows sorted by a column: numbers and star texts by their value, the
// position by its number, other texts in German order (letters with diacritics beside their
// base letter). Stable: rows equal in the column keep their order, in either direction.
std::vector<int> sortOrder(const std::vector<QStringList>& rows, int column, bool descending);

// Decoding of the face code: skin colour and the hair style (picture index of the hair).
int skinColour(long long faceCode);
int hairStyle(long long faceCode);

// What the player editor saves, as typed (number fields as text; they are checked).
struct PlayerEdit {
    QString nummer;
    QString name;
    QString vorname;
    int staerkeIndex = 0;
    int maxStaerkeIndex = 0;
    QString nation;
    QString groesse;
    int art = 0;
    QString einsaetze;
    QString rueckennummer;
    long long gesicht = 0;
    int haare = 0;        // hair style of the face
    QString erlernt;
    QString gesperrt;
    int hautfarbe = 0;    // current colours, kept when the colour table has no row for the face
    int haarfarbe = 0;
};

// Checks the typed numbers and the picked entries. Returns a German message naming the
// first bad field, empty when everything may be written.
QString checkInput(const PlayerEdit& edit);

// The update statement for the player with the given skin and hair colour numbers.
// Expects checked input.
std::string updateStatement(const PlayerEdit& edit, int hautfarbe, int haarfarbe);

struct SavedColours {
    int hautfarbe = 0;
    int haarfarbe = 0;
};
// Looks up the face colours and writes the player's row in one transaction. Expects
// checked input. Throws jet::Error (nothing written) on an engine error or when no player
// has the number.
SavedColours savePlayer(jet::Database& db, const PlayerEdit& edit);

}  // namespace playerlist
