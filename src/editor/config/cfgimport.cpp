#include "cfgimport.h"

#include "common/jetdb.h"
#include "common/progress.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>
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

// One statement prepared once and run with bound values, so no file text ever becomes SQL.
// Its text is plain SQL that needs nothing of the Jet dialect; the translation has no
// parameters, so it is prepared as it stands.
class Statement {
public:
    Statement(jet::Database& db, const std::string& sql) : db_(db.handle())
    {
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
            throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db_) + " in: " + sql);
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int i, const jet::Value& v)
    {
        if (v.isNull())
            sqlite3_bind_null(st_, i);
        else if (v.isInt())
            sqlite3_bind_int64(st_, i, v.toInt());
        else if (v.isReal())
            sqlite3_bind_double(st_, i, v.toDouble());
        else {
            const std::string s = v.toString();
            sqlite3_bind_text(st_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        }
    }
    // Runs with the bound values; returns the engine's message on failure, empty on success.
    std::string run()
    {
        int rc = sqlite3_step(st_);
        std::string err = rc == SQLITE_DONE ? std::string() : std::string(sqlite3_errmsg(db_));
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        return err;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
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

std::string identifier(const std::string& name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string insertSql(std::string_view table, const std::vector<TargetColumn>& cols)
{
    std::string names, marks;
    for (const auto& c : cols) {
        if (!names.empty()) {
            names += ",";
            marks += ",";
        }
        names += identifier(c.name);
        marks += "?";
    }
    return "INSERT INTO " + std::string(table) + " (" + names + ") VALUES (" + marks + ")";
}

bool parseNumber(std::string_view text, jet::Value& out)
{
    if (text.empty())
        return false;
    std::string_view t = text.front() == '+' ? text.substr(1) : text;
    long long i = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), i);
    if (r.ec == std::errc() && r.ptr == t.data() + t.size()) {
        out = jet::Value(static_cast<std::int64_t>(i));
        return true;
    }
    double d = 0;
    auto r2 = std::from_chars(t.data(), t.data() + t.size(), d);
    if (r2.ec == std::errc() && r2.ptr == t.data() + t.size()) {
        out = jet::Value(d);
        return true;
    }
    return false;
}

// The value of a key line for a column of the given kind. Key alone is Null; an empty number
// is Null as well; text keeps what stood between the quotes (or the bare word).
jet::Value valueOf(const KeyValue& kv, ColumnKind kind, std::string_view key, std::string& error)
{
    if (kv.keyAlone)
        return {};
    if (kind == ColumnKind::Text)
        return jet::Value(std::string(kv.text));
    std::string_view t = trim(kv.text);
    if (t.empty())
        return {};
    jet::Value v;
    if (!parseNumber(t, v))
        error = "\"" + std::string(t) + "\" ist keine Zahl (" + std::string(key) + ")";
    return v;
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

[[noreturn]] void failAt(const fs::path& file, int line, const std::string& reason)
{
    throw Error("Import abgebrochen in Zeile " + std::to_string(line) + " der Datei " + file.filename().string() +
                ": " + reason + ". Die Datenbank wurde nicht verändert.");
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
        std::string_view t = trim(line);
        if (t == keyword) {
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
    ClubImporter(jet::Database& db)
        : shortCols_(targetColumns(db, "vereine", kShortClubKeys)),
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
        Statement* insert;
        Statement* remove;
        switch (lines.size()) {
        case kShortClubKeys.size():
            cols = &shortCols_, keys = kShortClubKeys.data(), insert = &insertShort_, remove = &deleteClub_;
            break;
        case kClubKeys.size():
            cols = &clubCols_, keys = kClubKeys.data(), insert = &insertClub_, remove = &deleteClub_;
            break;
        case kNationalKeys.size():
            cols = &nationalCols_, keys = kNationalKeys.data(), insert = &insertNational_, remove = &deleteNational_;
            break;
        default:
            throw LineError{start, "Der Datensatz hat " + std::to_string(lines.size()) +
                                       " Schlüsselzeilen; erwartet werden 4 (Kurzverein), 28 (Verein) oder 32 "
                                       "(Nationalteam)"};
        }

        long long club = 0;
        const RecordLine* members = nullptr;
        KeyValue membersValue;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view key = keys[i];
            KeyValue kv;
            std::string err = readKeyLine(lines[i].text, key, kv);
            if (!err.empty())
                throw LineError{lines[i].number, err};
            jet::Value v;
            if (key == "SPIELER") {
                // The list goes to vereinspieler; the column itself stays empty.
                members = &lines[i];
                membersValue = kv;
                v = jet::Value("");
            } else if (key == "NATIONALTEAM" || key == "LANDNAME") {
                // The game fills these itself; a Null stays Null so that an export reads back.
                if (!kv.keyAlone)
                    v = jet::Value("");
            } else {
                v = valueOf(kv, (*cols)[i].kind, key, err);
                if (!err.empty())
                    throw LineError{lines[i].number, err};
            }
            if (i == 0) {
                if (!v.isInt())
                    throw LineError{lines[i].number, "NUMMER braucht eine ganze Zahl"};
                club = v.toInt();
            }
            insert->bind(static_cast<int>(i) + 1, v);
        }
        remove->bind(1, jet::Value(static_cast<std::int64_t>(club)));
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
    void writeMembers(long long club, const RecordLine& line, const KeyValue& kv)
    {
        if (kv.keyAlone || trim(kv.text).empty())
            return;
        std::vector<std::int64_t> players;
        std::string_view rest = kv.text;
        while (true) {
            std::size_t comma = rest.find(',');
            std::string_view piece = trim(rest.substr(0, comma));
            jet::Value v;
            if (!parseNumber(piece, v) || !v.isInt())
                throw LineError{line.number, "\"" + std::string(piece) + "\" ist keine Spielernummer"};
            players.push_back(v.toInt());
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
        deleteMembers_.bind(1, jet::Value(static_cast<std::int64_t>(club)));
        std::string err = deleteMembers_.run();
        for (std::size_t i = 0; err.empty() && i < players.size(); ++i) {
            insertMember_.bind(1, jet::Value(static_cast<std::int64_t>(club)));
            insertMember_.bind(2, jet::Value(players[i]));
            err = insertMember_.run();
        }
        if (!err.empty())
            throw LineError{line.number, "Datenbankfehler: " + err};
    }

    std::vector<TargetColumn> shortCols_, clubCols_, nationalCols_;
    Statement insertShort_, insertClub_, insertNational_;
    Statement deleteClub_, deleteNational_, deleteMembers_, insertMember_;
};

class PlayerImporter {
public:
    PlayerImporter(jet::Database& db)
        : cols_(targetColumns(db, "spieler", kPlayerKeys)), insert_(db, insertSql("spieler", cols_))
    {
    }

    void record(int start, const std::vector<RecordLine>& lines)
    {
        if (lines.size() != kPlayerKeys.size())
            throw LineError{start, "Der Datensatz hat " + std::to_string(lines.size()) +
                                       " Schlüsselzeilen; erwartet werden 17"};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            KeyValue kv;
            std::string err = readKeyLine(lines[i].text, kPlayerKeys[i], kv);
            if (!err.empty())
                throw LineError{lines[i].number, err};
            jet::Value v = valueOf(kv, cols_[i].kind, kPlayerKeys[i], err);
            if (!err.empty())
                throw LineError{lines[i].number, err};
            if (i == 0 && !v.isInt())
                throw LineError{lines[i].number, "NUMMER braucht eine ganze Zahl"};
            insert_.bind(static_cast<int>(i) + 1, v);
        }
        std::string err = insert_.run();
        if (!err.empty())
            throw LineError{start, "Datenbankfehler: " + err};
    }

private:
    std::vector<TargetColumn> cols_;
    Statement insert_;
};

template <class Importer>
int runImport(jet::Database& db, const fs::path& file, std::string_view keyword,
              std::initializer_list<const char*> emptied, ProgressSink& progress)
{
    LineReader reader(file);
    int records = 0;
    try {
        jet::Transaction transaction(db);
        for (const char* table : emptied)
            db.execute(std::string("Delete From ") + table);
        {
            Importer importer(db);
            forEachRecord(reader, keyword, progress, [&](int start, const std::vector<RecordLine>& lines) {
                importer.record(start, lines);
                ++records;
            });
        }
        transaction.commit();
    } catch (const LineError& e) {
        failAt(file, e.line, e.reason);
    } catch (const jet::Error& e) {
        throw Error(std::string(e.what()) + " Die Datenbank wurde nicht verändert.");
    }
    return records;
}

}  // namespace

int importClubFile(jet::Database& db, const fs::path& file, ProgressSink& progress)
{
    return runImport<ClubImporter>(db, file, kClubLayout.recordKeyword, {"vereine", "vereine_national", "vereinspieler"},
                                   progress);
}

int importPlayerFile(jet::Database& db, const fs::path& file, ProgressSink& progress)
{
    return runImport<PlayerImporter>(db, file, kPlayerLayout.recordKeyword, {"spieler"}, progress);
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
