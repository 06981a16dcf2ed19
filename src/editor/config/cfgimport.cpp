#include "cfgimport.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "cfgsql.h"
#include "foundation/journal.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace cfg {

namespace {

constexpr std::array<std::string_view, 4> kShortClubKeys = {"NUMMER", "NAME", "GRAFIK_NR", "SPIELER"};

constexpr std::array<std::string_view, 28> kClubKeys = {
    "NUMMER", "NAME", "KURZNAME", "GRAFIK_NR", "STAERKE", "STARTPLATZ", "SPIELER", "STADION_NAME", "STADT",
    "NATION", "STADION_SITZPL", "STADION_STEHPL", "TRIKOT_ART", "TW_TRIKOT_ART", "AUSWEICH_TRIKOT_ART",
    "AUSWEICH_TW_TRIKOT_ART", "F_TRIKOT_SPIELER", "F_AUSW_TRIKOT_SPIELER", "F_ALTERN_TRIKOT_SPIELER",
    "F_HOSE_SPIELER", "F_AUSW_HOSE_SPIELER", "F_ALTERN_HOSE_SPIELER", "F_TRIKOT_WERBUNG", "F_HOSE_STREIFEN",
    "F_TRIKOT_TORWART", "F_HOSE_TORWART", "F_TRIKOT_TRAINER", "F_HOSE_TRAINER"};

constexpr std::array<std::string_view, 32> kNationalKeys = {
    "NUMMER", "NAME", "KURZNAME", "GRAFIK_NR", "STAERKE", "STARTPLATZ", "SPIELER", "STADION_NAME", "STADT",
    "KLIMA", "NATION", "KONTINENT", "STADION_SITZPL", "STADION_STEHPL", "TRIKOT_ART", "TW_TRIKOT_ART",
    "AUSWEICH_TRIKOT_ART", "AUSWEICH_TW_TRIKOT_ART", "F_TRIKOT_SPIELER", "F_AUSW_TRIKOT_SPIELER",
    "F_ALTERN_TRIKOT_SPIELER", "F_HOSE_SPIELER", "F_AUSW_HOSE_SPIELER", "F_ALTERN_HOSE_SPIELER",
    "F_TRIKOT_WERBUNG", "F_HOSE_STREIFEN", "F_TRIKOT_TORWART", "F_HOSE_TORWART", "F_TRIKOT_TRAINER",
    "F_HOSE_TRAINER", "NATIONALTEAM", "LANDNAME"};

constexpr std::array<std::string_view, 17> kPlayerKeys = {
    "NUMMER", "NAME", "VORNAME", "STÄRKE", "MAX_STÄRKE", "NATION", "GROESSE", "ART", "REST_EINSÄTZE",
    "LIEBLINGSPOS_X", "LIEBLINGSPOS_Y", "RUECKENNUMMER", "GESICHT", "HAUTFARBE", "HAARFARBE", "ERLERNT",
    "GESPERRT"};

// A failure inside one record, before the line is known to the caller.
struct LineError {
    int line;
    std::string reason;
};

// A table's columns by key: the database's spelling and the kind.
struct TargetColumn {
    std::string name;
    ColumnKind kind = ColumnKind::Text;
};

template <std::size_t N>
std::vector<TargetColumn> targetColumns(jet::Database& db, std::string_view table,
                                        const std::array<std::string_view, N>& keys)
{
    const auto cols = db.columns(table);
    if (cols.empty())
        throw Error("Die Tabelle " + std::string(table) + " fehlt in der Datenbank.");
    std::vector<TargetColumn> out;
    for (std::string_view key : keys) {
        const TargetColumn* found = nullptr;
        TargetColumn t;
        for (const auto& c : cols)
            if (upperName(c.name) == key) {
                t = {c.name, kindOfDeclaredType(c.declaredType)};
                found = &t;
                break;
            }
        if (!found)
            throw Error("Die Tabelle " + std::string(table) + " hat keine Spalte " + std::string(key) + ".");
        out.push_back(t);
    }
    return out;
}

// The keys as the file spells them (STÄRKE holds the byte 0xC4 there).
template <std::size_t N>
std::vector<std::string> fileKeys(const std::array<std::string_view, N>& keys)
{
    std::vector<std::string> out;
    for (std::string_view k : keys)
        out.push_back(toFileBytes(k));
    return out;
}

std::string insertSql(std::string_view table, const std::vector<TargetColumn>& cols)
{
    std::string names, marks;
    for (const auto& c : cols) {
        if (!names.empty()) {
            names += ",";
            marks += ",";
        }
        names += sqlIdentifier(c.name);
        marks += "?";
    }
    return "INSERT INTO " + std::string(table) + " (" + names + ") VALUES (" + marks + ")";
}

enum class NumberKind { None, Int, Real };

NumberKind parseNumber(std::string_view text, std::int64_t& i, double& d)
{
    if (text.empty())
        return NumberKind::None;
    std::string_view t = text.front() == '+' ? text.substr(1) : text;
    auto r = std::from_chars(t.data(), t.data() + t.size(), i);
    if (r.ec == std::errc() && r.ptr == t.data() + t.size())
        return NumberKind::Int;
    auto r2 = std::from_chars(t.data(), t.data() + t.size(), d);
    if (r2.ec == std::errc() && r2.ptr == t.data() + t.size())
        return NumberKind::Real;
    return NumberKind::None;
}

// Binds the value of a key line for a column of the given kind: key alone is Null, an empty
// number is Null as well, text keeps what stood between the quotes (or the bare word).
// Returns a German reason when the value does not fit, else empty.
std::string bindValue(Statement& st, int index, const KeyValue& kv, ColumnKind kind, std::string_view key,
                      LineReader& reader)
{
    if (kv.keyAlone) {
        st.bindNull(index);
        return {};
    }
    if (kind == ColumnKind::Text) {
        st.bindText(index, reader.utf8(kv.text));
        return {};
    }
    const std::string_view t = trim(kv.text);
    if (t.empty()) {
        st.bindNull(index);
        return {};
    }
    std::int64_t i = 0;
    double d = 0;
    switch (parseNumber(t, i, d)) {
    case NumberKind::Int: st.bindInt(index, i); return {};
    case NumberKind::Real: st.bindReal(index, d); return {};
    default: return "\"" + std::string(reader.utf8(t)) + "\" ist keine Zahl (" + std::string(key) + ")";
    }
}

// NUMMER of a record: a whole number.
bool recordNumber(const KeyValue& kv, std::int64_t& number)
{
    double d = 0;
    return !kv.keyAlone && parseNumber(trim(kv.text), number, d) == NumberKind::Int;
}

struct RecordLine {
    std::string_view text;
    int number;
};

// Clears the status text on every way out.
class StatusGuard {
public:
    explicit StatusGuard(ProgressSink& sink) : sink_(sink) {}
    ~StatusGuard() { sink_.status(""); }

private:
    ProgressSink& sink_;
};

class PercentOf {
public:
    explicit PercentOf(ProgressSink& sink) : sink_(sink) {}
    void set(int p)
    {
        if (p != last_) {
            last_ = p;
            sink_.percent(p);
        }
    }

private:
    ProgressSink& sink_;
    int last_ = -1;
};

[[noreturn]] void failAt(const std::string& fileName, int line, const std::string& reason)
{
    throw Error("Import abgebrochen in Zeile " + std::to_string(line) + " der Datei " + fileName + ": " + reason +
                ". Die Datenbank wurde nicht verändert.");
}

// Splits a file into records: the start line alone, then key lines up to an empty line, the
// next start line or the end of the file. Lines outside records (the header) are skipped.
template <class OnRecord>
void forEachRecord(LineReader& reader, std::string_view keyword, ProgressSink& progress, OnRecord onRecord)
{
    PercentOf percent(progress);
    percent.set(0);
    std::vector<RecordLine> lines;
    bool open = false;
    int start = 0;
    std::string_view line;
    while (reader.next(line)) {
        std::size_t b = 0;
        while (b < line.size() && (line[b] == ' ' || line[b] == '\t'))
            ++b;
        const std::string_view t = line.substr(b);
        if (t.substr(0, keyword.size()) == keyword && trim(t.substr(keyword.size())).empty()) {
            if (open)
                onRecord(start, lines);
            open = true;
            start = reader.lineNumber();
            lines.clear();
        } else if (t.empty()) {
            if (open)
                onRecord(start, lines);
            open = false;
        } else if (open) {
            lines.push_back({line, reader.lineNumber()});
        }
        percent.set(reader.percent());
    }
    if (open)
        onRecord(start, lines);
    percent.set(100);
}

class ClubImporter {
public:
    ClubImporter(jet::Database& db, LineReader& reader)
        : reader_(reader),
          shortBytes_(fileKeys(kShortClubKeys)),
          clubBytes_(fileKeys(kClubKeys)),
          nationalBytes_(fileKeys(kNationalKeys)),
          shortCols_(targetColumns(db, "vereine", kShortClubKeys)),
          clubCols_(targetColumns(db, "vereine", kClubKeys)),
          nationalCols_(targetColumns(db, "vereine_national", kNationalKeys)),
          insertShort_(db, insertSql("vereine", shortCols_)),
          insertClub_(db, insertSql("vereine", clubCols_)),
          insertNational_(db, insertSql("vereine_national", nationalCols_)),
          deleteClub_(db, "DELETE FROM vereine WHERE NUMMER=?"),
          deleteNational_(db, "DELETE FROM vereine_national WHERE NUMMER=?"),
          deleteMembers_(db, "DELETE FROM vereinspieler WHERE verein=?"),
          insertMember_(db, "INSERT INTO vereinspieler (verein, spieler) VALUES (?,?)")
    {
    }

    void record(int start, const std::vector<RecordLine>& lines)
    {
        const std::vector<TargetColumn>* cols;
        const std::string_view* keys;
        const std::vector<std::string>* keyBytes;
        Statement* insert;
        Statement* remove;
        switch (lines.size()) {
        case kShortClubKeys.size():
            cols = &shortCols_, keys = kShortClubKeys.data(), keyBytes = &shortBytes_, insert = &insertShort_, remove = &deleteClub_;
            break;
        case kClubKeys.size():
            cols = &clubCols_, keys = kClubKeys.data(), keyBytes = &clubBytes_, insert = &insertClub_, remove = &deleteClub_;
            break;
        case kNationalKeys.size():
            cols = &nationalCols_, keys = kNationalKeys.data(), keyBytes = &nationalBytes_, insert = &insertNational_, remove = &deleteNational_;
            break;
        default:
            throw LineError{start, "Der Datensatz hat " + std::to_string(lines.size()) +
                                       " Schlüsselzeilen; erwartet werden 4 (Kurzverein), 28 (Verein) oder 32 "
                                       "(Nationalteam)"};
        }

        std::int64_t club = 0;
        const RecordLine* members = nullptr;
        KeyValue membersValue;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view key = keys[i];
            const int index = static_cast<int>(i) + 1;
            KeyValue kv;
            const KeyLineStatus status = readKeyLine(lines[i].text, (*keyBytes)[i], kv);
            if (status != KeyLineStatus::Ok)
                throw LineError{lines[i].number, keyLineError(status, key)};
            if (i == 0 && !recordNumber(kv, club))
                throw LineError{lines[i].number, "NUMMER braucht eine ganze Zahl"};
            if (key == "SPIELER") {
                // The list goes to vereinspieler; the column itself stays empty.
                members = &lines[i];
                membersValue = kv;
                insert->bindText(index, "");
            } else if (key == "NATIONALTEAM" || key == "LANDNAME") {
                // The game fills these itself; a Null stays Null so that an export reads back.
                if (kv.keyAlone)
                    insert->bindNull(index);
                else
                    insert->bindText(index, "");
            } else {
                const std::string err = bindValue(*insert, index, kv, (*cols)[i].kind, key, reader_);
                if (!err.empty())
                    throw LineError{lines[i].number, err};
            }
        }
        remove->bindInt(1, club);
        std::string err = remove->run();
        if (err.empty())
            err = insert->run();
        if (!err.empty())
            throw LineError{start, "Datenbankfehler: " + err};
        if (members)
            writeMembers(club, *members, membersValue);
    }

private:
    // The club's rows of vereinspieler from its list; an empty list leaves the rows as they are.
    void writeMembers(std::int64_t club, const RecordLine& line, const KeyValue& kv)
    {
        if (kv.keyAlone || trim(kv.text).empty())
            return;
        std::vector<std::int64_t> players;
        std::string_view rest = kv.text;
        while (true) {
            std::size_t comma = rest.find(',');
            std::string_view piece = trim(rest.substr(0, comma));
            std::int64_t player = 0;
            double d = 0;
            if (parseNumber(piece, player, d) != NumberKind::Int)
                throw LineError{line.number, "\"" + std::string(reader_.utf8(piece)) + "\" ist keine Spielernummer"};
            players.push_back(player);
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
        // The table was emptied when the import began: only a club met twice has rows to drop.
        std::string err;
        if (!membersWritten_.insert(club).second) {
            deleteMembers_.bindInt(1, club);
            err = deleteMembers_.run();
        }
        for (std::size_t i = 0; err.empty() && i < players.size(); ++i) {
            insertMember_.bindInt(1, club);
            insertMember_.bindInt(2, players[i]);
            err = insertMember_.run();
        }
        if (!err.empty())
            throw LineError{line.number, "Datenbankfehler: " + err};
    }

    LineReader& reader_;
    std::unordered_set<std::int64_t> membersWritten_;
    std::vector<std::string> shortBytes_, clubBytes_, nationalBytes_;
    std::vector<TargetColumn> shortCols_, clubCols_, nationalCols_;
    Statement insertShort_, insertClub_, insertNational_;
    Statement deleteClub_, deleteNational_, deleteMembers_, insertMember_;
};

class PlayerImporter {
public:
    PlayerImporter(jet::Database& db, LineReader& reader)
        : reader_(reader),
          keyBytes_(fileKeys(kPlayerKeys)),
          cols_(targetColumns(db, "spieler", kPlayerKeys)),
          insert_(db, insertSql("spieler", cols_))
    {
    }

    void record(int start, const std::vector<RecordLine>& lines)
    {
        if (lines.size() != kPlayerKeys.size())
            throw LineError{start, "Der Datensatz hat " + std::to_string(lines.size()) +
                                       " Schlüsselzeilen; erwartet werden 17"};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            KeyValue kv;
            const KeyLineStatus status = readKeyLine(lines[i].text, keyBytes_[i], kv);
            if (status != KeyLineStatus::Ok)
                throw LineError{lines[i].number, keyLineError(status, kPlayerKeys[i])};
            std::int64_t number = 0;
            if (i == 0 && !recordNumber(kv, number))
                throw LineError{lines[i].number, "NUMMER braucht eine ganze Zahl"};
            const std::string err = bindValue(insert_, static_cast<int>(i) + 1, kv, cols_[i].kind, kPlayerKeys[i], reader_);
            if (!err.empty())
                throw LineError{lines[i].number, err};
        }
        std::string err = insert_.run();
        if (!err.empty())
            throw LineError{start, "Datenbankfehler: " + err};
    }

private:
    LineReader& reader_;
    std::vector<std::string> keyBytes_;
    std::vector<TargetColumn> cols_;
    Statement insert_;
};

template <class Importer>
int runImport(jet::Database& db, LineReader& reader, const std::string& fileName, std::string_view keyword,
              std::initializer_list<const char*> emptied, ProgressSink& progress)
{
    int records = 0;
    try {
        jet::Transaction transaction(db);
        journal::Command journaled(db, keyword == kPlayerLayout.recordKeyword ? "Config importieren (Spieler)"
                                                                              : "Config importieren (Vereine)");
        for (const char* table : emptied)
            journaled.emptyTable(table);
        {
            Importer importer(db, reader);
            forEachRecord(reader, keyword, progress, [&](int start, const std::vector<RecordLine>& lines) {
                importer.record(start, lines);
                ++records;
            });
        }
        // Emptying the game's tables for a file that holds none of their records would lose
        // everything; "Datenbank löschen" is the way to empty them.
        if (records == 0)
            throw Error("Die Datei " + fileName + " enthält keinen Datensatz (" +
                        std::string(keyword) + "). Die Datenbank wurde nicht verändert.");
        transaction.commit();
    } catch (const LineError& e) {
        failAt(fileName, e.line, e.reason);
    } catch (const jet::Error& e) {
        throw Error(std::string(e.what()) + " Die Datenbank wurde nicht verändert.");
    }
    return records;
}

int importClubs(jet::Database& db, LineReader& reader, const std::string& fileName, ProgressSink& progress)
{
    return runImport<ClubImporter>(db, reader, fileName, kClubLayout.recordKeyword,
                                   {"vereine", "vereine_national", "vereinspieler"}, progress);
}

int importPlayers(jet::Database& db, LineReader& reader, const std::string& fileName, ProgressSink& progress)
{
    return runImport<PlayerImporter>(db, reader, fileName, kPlayerLayout.recordKeyword, {"spieler"}, progress);
}

}  // namespace

int importClubFile(jet::Database& db, const fs::path& file, ProgressSink& progress)
{
    LineReader reader(file);
    return importClubs(db, reader, file.filename().string(), progress);
}

int importPlayerFile(jet::Database& db, const fs::path& file, ProgressSink& progress)
{
    LineReader reader(file);
    return importPlayers(db, reader, file.filename().string(), progress);
}

int importClubBytes(jet::Database& db, std::string bytes, const std::string& name, ProgressSink& progress)
{
    LineReader reader = LineReader::fromBytes(std::move(bytes));
    return importClubs(db, reader, name, progress);
}

int importPlayerBytes(jet::Database& db, std::string bytes, const std::string& name, ProgressSink& progress)
{
    LineReader reader = LineReader::fromBytes(std::move(bytes));
    return importPlayers(db, reader, name, progress);
}

int importConfig(jet::Database& db, const fs::path& file, ConfigFile which, ProgressSink& progress)
{
    StatusGuard guard(progress);
    if (which == ConfigFile::Clubs) {
        progress.status("Importiere Vereine...");
        return importClubFile(db, file, progress);
    }
    progress.status("Importiere Spieler...");
    return importPlayerFile(db, file, progress);
}

}  // namespace cfg
