#pragma once
// The game's config text: the three layouts, key lines, value forms, the header block of the
// club and player files, Windows-1252 with CR LF. Every writer and reader of 1_tm.cfg,
// 1_sp.cfg and 1_we.cfg goes through these rules.
//
// Values that the format cannot say on its own, and how they are written here:
//  - Null: the key alone (no filler, no value), for every column kind; the readers take a
//    key-alone line back as Null, so an export always reads back and Null stays Null.
//    (A yes/no column is always written as the key alone and so reads back as Null.)
//  - A double quote inside a quoted text is written as it is; the readers take the text
//    between the first and the LAST quote of the line, so inner quotes survive.
//  - A line break inside a text cannot be written: the writers stop with an error.
#include <deque>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cfg {

// Every failure of the config files; what() is the German message for the user.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Layout {
    std::string_view recordKeyword;  // alone on its line, without indentation
    std::string_view indent;         // before every key line
    int keyWidth;                    // key and filler blanks; the value follows directly
};

inline constexpr Layout kClubLayout{"NEUES_TEAM", "        ", 25};
inline constexpr Layout kPlayerLayout{"NEUER_SPIELER", "        ", 16};
inline constexpr Layout kCompetitionLayout{"NEUER_WETTBEWERB", "\t", 35};

inline constexpr std::string_view kEol = "\r\n";

// ---- writing (all text UTF-8 until toFileBytes)

// indent + key + filler + value + CR LF. Throws Error when the key is longer than the width.
void appendKeyLine(std::string& out, const Layout& layout, std::string_view key, std::string_view value);
// indent + key + filler: everything before the value. Throws Error like appendKeyLine.
std::string keyLinePrefix(const Layout& layout, std::string_view key);
// indent + key + CR LF.
void appendKeyAlone(std::string& out, const Layout& layout, std::string_view key);
// The value between two double quotes. Throws Error for a line break inside.
std::string inQuotes(std::string_view text);
// A bare word (no quotes). Throws Error for a line break inside.
std::string bare(std::string_view text);

// How a column is written, from its declared type: VARCHAR/CHAR/LONGTEXT (and TEXT, MEMO)
// are text, BOOLEAN (and BIT) yes/no, everything else a number.
enum class ColumnKind { Text, YesNo, Number };
ColumnKind kindOfDeclaredType(std::string_view declaredType);
// A column name as a key: upper case, umlauts included (Stärke -> STÄRKE).
std::string upperName(std::string_view name);

// Local date and time, as a clock gives it.
struct DateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};
using Clock = std::function<DateTime()>;
DateTime systemNow();  // the machine's local time

// "DD.MM.YYYY hh:mm:ss"; at exactly midnight the time part is left out.
std::string headerDate(const DateTime& now);
// Header line 1 and 2 without their line ends: ";Datenexport vom <date>" and the program line.
std::string exportDateLine(const DateTime& now);
std::string programLine();       // ";Kickora Editor 1.1.4 <legal notice>"
std::string teamProgramLine();   // ";Kickora Editor v1.1 <legal notice>" (team files)

// The header block of the club file (with BASE_NATION and LETZTES_TEAM) and of the player file
// (LETZTER_SPIELER), each line ending with CR LF.
std::string clubHeaderBlock(const DateTime& now, long long lastClub);
std::string playerHeaderBlock(const DateTime& now, long long lastPlayer);

// UTF-8 text -> the file's Windows-1252 bytes.
std::string toFileBytes(std::string_view utf8);
void appendFileBytes(std::string& out, std::string_view utf8);
// Throws Error when the text holds a line break, which no value can.
void checkOneLine(std::string_view text);
// Writes through a temporary file and a rename: a failed write leaves the old file whole.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// ---- reading

// A file's lines as they stand (Windows-1252), without their line ends (CR LF, LF or CR).
// Keys are compared in the file's bytes; only values that are kept get decoded.
class LineReader {
public:
    // Throws Error when the file cannot be read.
    explicit LineReader(const std::filesystem::path& file);
    // The same on a file's bytes held in memory.
    static LineReader fromBytes(std::string bytes);
    bool next(std::string_view& line);  // false at the end
    int lineNumber() const { return line_; }  // 1-based number of the last line returned
    int percent() const;                 // share of the file read, 0..100
    // Bytes of the file as UTF-8; the view stays valid as long as the reader lives.
    std::string_view utf8(std::string_view bytes);

private:
    LineReader() = default;
    std::string bytes_;                  // the file as it is
    std::deque<std::string> decoded_;    // decoded values (few: most text is ASCII)
    std::size_t pos_ = 0;
    int line_ = 0;
};

std::string_view trim(std::string_view s);  // blanks and tabs at both ends

// One key line as read. keyAlone: nothing follows the key. quoted: the value stood in quotes
// (text = between the first and the last quote). Otherwise text = the rest, trimmed.
struct KeyValue {
    bool keyAlone = false;
    bool quoted = false;
    std::string_view text;
};

enum class KeyLineStatus { Ok, WrongKey, UnclosedQuote, TextAfterQuote };

// Reads `line` as the key line of `key` (indentation, then exactly the key, then the end of
// the line or blanks); line and key in the same encoding.
KeyLineStatus readKeyLine(std::string_view line, std::string_view key, KeyValue& kv);
// The German reason for a status other than Ok.
std::string keyLineError(KeyLineStatus status, std::string_view keyName);

}  // namespace cfg
