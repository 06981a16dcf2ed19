#include "foundation/journal.h"

#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <set>
#include <variant>

#include "common/jetdb.h"

namespace journal {

namespace {

constexpr const char* kTables =
    "CREATE TABLE IF NOT EXISTS editor_journal (entry INTEGER PRIMARY KEY AUTOINCREMENT, what TEXT, "
    "time TEXT, undone INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS editor_journal_rows (seq INTEGER PRIMARY KEY, entry INTEGER NOT NULL, "
    "tbl TEXT NOT NULL, old_rid INTEGER, old TEXT, new_rid INTEGER, new TEXT);"
    "CREATE INDEX IF NOT EXISTS editor_journal_rows_entry ON editor_journal_rows(entry);"
    // The open command of this connection; the triggers read it for every row.
    "CREATE TEMP TABLE IF NOT EXISTS editor_journal_open (entry INTEGER);";

constexpr std::string_view kPrefix = "editor_journal";

class Stmt {
public:
    Stmt(jet::Database& db, const std::string& sql) : db_(db.handle()) {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s_, &tail) != SQLITE_OK) fail();
    }
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, long long v) { return check(sqlite3_bind_int64(s_, i, v)); }
    Stmt& bind(int i, const std::string& v) {
        return check(sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    }
    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    void run() {
        while (step()) {
        }
        sqlite3_reset(s_);
    }
    void reset() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    bool isNull(int c) const { return sqlite3_column_type(s_, c) == SQLITE_NULL; }
    long long integer(int c) const { return sqlite3_column_int64(s_, c); }
    std::string text(int c) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
        return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s_, c))) : std::string();
    }
    sqlite3_stmt* get() { return s_; }

private:
    Stmt& check(int rc) {
        if (rc != SQLITE_OK) fail();
        return *this;
    }
    [[noreturn]] void fail() { throw jet::Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db_)); }
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

std::string ident(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string literal(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::vector<std::string> columnNames(jet::Database& db, const std::string& table) {
    std::vector<std::string> out;
    for (const auto& c : db.columns(table)) out.push_back(c.name);
    return out;
}

// A row as one text: the SQL literals of its values, comma-separated. quote() keeps the
// storage class and writes reals so that they read back exactly.
std::string imageOf(const std::vector<std::string>& columns, const std::string& prefix) {
    std::string out;
    for (const std::string& c : columns) {
        if (!out.empty()) out += "||','||";
        out += "quote(" + prefix + ident(c) + ")";
    }
    return out.empty() ? "''" : out;
}

bool hasJournal(jet::Database& db) {
    Stmt st(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='editor_journal_rows'");
    return st.step();
}

bool commandOpen(jet::Database& db) {
    Stmt has(db, "SELECT 1 FROM sqlite_temp_master WHERE type='table' AND name='editor_journal_open'");
    if (!has.step()) return false;
    Stmt st(db, "SELECT 1 FROM temp.editor_journal_open");
    return st.step();
}

// Tables, the marker and one trigger per game table and kind of change. The triggers live in
// this connection only, so other programs writing the file never meet them.
void attach(jet::Database& db) {
    db.executeNative(kTables);
    // INSERT OR REPLACE removes the row it replaces; that removal must be journaled too.
    db.executeNative("PRAGMA recursive_triggers = ON");
    std::set<std::string> present;
    {
        Stmt st(db, "SELECT name FROM sqlite_temp_master WHERE type='trigger'");
        while (st.step()) present.insert(st.text(0));
    }
    std::vector<std::string> tables;
    {
        Stmt st(db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                    "AND name NOT LIKE 'editor\\_journal%' ESCAPE '\\' AND sql NOT LIKE '%WITHOUT ROWID%'");
        while (st.step()) tables.push_back(st.text(0));
    }
    for (const std::string& table : tables) {
        struct Kind {
            const char* suffix;
            const char* event;
            bool old, neu;
        };
        std::vector<std::string> columns;
        for (const Kind k : {Kind{"_i", "INSERT", false, true}, Kind{"_u", "UPDATE", true, true},
                             Kind{"_d", "DELETE", true, false}}) {
            const std::string name = std::string(kPrefix) + "_" + table + k.suffix;
            if (present.count(name)) continue;
            if (columns.empty()) columns = columnNames(db, table);
            const std::string oldPart = k.old ? "OLD.rowid, " + imageOf(columns, "OLD.") : std::string("NULL, NULL");
            const std::string newPart = k.neu ? "NEW.rowid, " + imageOf(columns, "NEW.") : std::string("NULL, NULL");
            db.executeNative("CREATE TEMP TRIGGER " + ident(name) + " AFTER " + k.event + " ON main." + ident(table) +
                             " BEGIN INSERT INTO editor_journal_rows (entry, tbl, old_rid, old, new_rid, new) "
                             "SELECT entry, " + literal(table) + ", " + oldPart + ", " + newPart +
                             " FROM editor_journal_open; END");
        }
    }
}

// One value of an image, parsed back for binding.
using Literal = std::variant<std::monostate, long long, double, std::string, std::vector<unsigned char>>;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an image written by quote(): literals only, so a journal row can never carry a statement.
std::optional<std::vector<Literal>> parseImage(const std::string& s) {
    std::vector<Literal> out;
    std::size_t i = 0;
    if (s.empty()) return out;
    while (true) {
        if (s.compare(i, 4, "NULL") == 0) {
            out.emplace_back();
            i += 4;
        } else if (s[i] == '\'') {
            std::string text;
            for (++i;; ++i) {
                if (i >= s.size()) return std::nullopt;
                if (s[i] == '\'') {
                    if (i + 1 < s.size() && s[i + 1] == '\'') {
                        text += '\'';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    text += s[i];
                }
            }
            out.emplace_back(std::move(text));
        } else if ((s[i] == 'X' || s[i] == 'x') && i + 1 < s.size() && s[i + 1] == '\'') {
            std::vector<unsigned char> blob;
            for (i += 2; i < s.size() && s[i] != '\''; i += 2) {
                if (i + 1 >= s.size() || hexDigit(s[i]) < 0 || hexDigit(s[i + 1]) < 0) return std::nullopt;
                blob.push_back(static_cast<unsigned char>(hexDigit(s[i]) * 16 + hexDigit(s[i + 1])));
            }
            if (i >= s.size()) return std::nullopt;
            ++i;
            out.emplace_back(std::move(blob));
        } else {
            const std::size_t end = s.find(',', i);
            const std::string number = s.substr(i, end == std::string::npos ? std::string::npos : end - i);
            if (number.empty()) return std::nullopt;
            char* stop = nullptr;
            if (number.find_first_of(".eE") == std::string::npos) {
                errno = 0;
                const long long v = std::strtoll(number.c_str(), &stop, 10);
                if (*stop || errno) return std::nullopt;
                out.emplace_back(v);
            } else {
                const double v = std::strtod(number.c_str(), &stop);
                if (*stop) return std::nullopt;
                out.emplace_back(v);
            }
            i += number.size();
        }
        if (i == s.size()) return out;
        if (s[i] != ',') return std::nullopt;
        ++i;
    }
}

// Statements of one table, prepared once per replay.
struct TableOps {
    std::vector<std::string> columns;
    std::unique_ptr<Stmt> current, remove, insert;
};

std::optional<Entry> pick(jet::Database& db, bool undone) {
    if (!hasJournal(db)) return std::nullopt;
    Stmt st(db, std::string("SELECT entry, what, time FROM editor_journal WHERE undone=") + (undone ? "1" : "0") +
                    " ORDER BY entry " + (undone ? "ASC" : "DESC") + " LIMIT 1");
    if (!st.step()) return std::nullopt;
    return Entry{st.integer(0), st.text(1), st.text(2)};
}

// Undo goes from each row's new image back to its old one, newest row first; redo the other way.
void replay(jet::Database& db, const Entry& e, bool back) {
    std::map<std::string, TableOps> ops;
    auto opsOf = [&](const std::string& table) -> TableOps& {
        auto it = ops.find(table);
        if (it != ops.end()) return it->second;
        TableOps& t = ops[table];
        if (!db.hasTable(table))
            throw jet::Error("Die Tabelle " + table + " gibt es nicht mehr; „" + e.what +
                             "“ lässt sich nicht zurücknehmen.");
        t.columns = columnNames(db, table);
        std::string names = "rowid", marks = "?";
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
            names += ", " + ident(t.columns[i]);
            marks += ", ?";
        }
        t.current = std::make_unique<Stmt>(db, "SELECT " + imageOf(t.columns, "") + " FROM main." + ident(table) +
                                                   " WHERE rowid=?");
        t.remove = std::make_unique<Stmt>(db, "DELETE FROM main." + ident(table) + " WHERE rowid=?");
        t.insert = std::make_unique<Stmt>(db, "INSERT INTO main." + ident(table) + " (" + names + ") VALUES (" +
                                                  marks + ")");
        return t;
    };
    auto conflict = [&](const std::string& table, long long rid) {
        return jet::Error("„" + e.what + "“ lässt sich nicht " + (back ? "zurücknehmen" : "wiederherstellen") +
                          ": die Zeile " + std::to_string(rid) + " der Tabelle " + table +
                          " wurde inzwischen anders geändert. Es wurde nichts verändert.");
    };

    Stmt rows(db, std::string("SELECT tbl, old_rid, old, new_rid, new FROM editor_journal_rows WHERE entry=? "
                              "ORDER BY seq ") + (back ? "DESC" : "ASC"));
    rows.bind(1, e.entry);
    const int fromCol = back ? 3 : 1, toCol = back ? 1 : 3;
    while (rows.step()) {
        const std::string table = rows.text(0);
        TableOps& t = opsOf(table);
        if (!rows.isNull(fromCol + 1)) {
            const long long rid = rows.integer(fromCol);
            t.current->reset();
            t.current->bind(1, rid);
            if (!t.current->step() || t.current->text(0) != rows.text(fromCol + 1)) throw conflict(table, rid);
            t.current->reset();
            t.remove->reset();
            t.remove->bind(1, rid).run();
        }
        if (!rows.isNull(toCol + 1)) {
            const long long rid = rows.integer(toCol);
            const auto values = parseImage(rows.text(toCol + 1));
            if (!values || values->size() != t.columns.size()) throw conflict(table, rid);
            t.current->reset();
            t.current->bind(1, rid);
            if (t.current->step()) throw conflict(table, rid);
            t.current->reset();
            Stmt& ins = *t.insert;
            ins.reset();
            ins.bind(1, rid);
            int i = 2;
            for (const Literal& v : *values) {
                sqlite3_stmt* s = ins.get();
                if (const auto* n = std::get_if<long long>(&v)) sqlite3_bind_int64(s, i, *n);
                else if (const auto* d = std::get_if<double>(&v)) sqlite3_bind_double(s, i, *d);
                else if (const auto* x = std::get_if<std::string>(&v)) ins.bind(i, *x);
                else if (const auto* b = std::get_if<std::vector<unsigned char>>(&v))
                    sqlite3_bind_blob(s, i, b->data(), static_cast<int>(b->size()), SQLITE_TRANSIENT);
                ++i;
            }
            ins.run();
        }
    }
}

std::optional<Entry> step(jet::Database& db, bool back) {
    auto e = pick(db, !back);
    if (!e) return std::nullopt;
    if (commandOpen(db)) throw jet::Error("Während ein Befehl läuft, lässt sich nichts zurücknehmen.");
    jet::Transaction t(db);
    replay(db, *e, back);
    Stmt mark(db, std::string("UPDATE editor_journal SET undone=") + (back ? "1" : "0") + " WHERE entry=?");
    mark.bind(1, e->entry).run();
    t.commit();
    return e;
}

}  // namespace

Command::Command(jet::Database& db, std::string_view what) : db_(&db) {
    if (commandOpen(db)) return;
    attach(db);
    Stmt add(db, "INSERT INTO editor_journal (what, time) VALUES (?, strftime('%d.%m.%Y %H:%M:%S', 'now', 'localtime'))");
    add.bind(1, std::string(what)).run();
    entry_ = sqlite3_last_insert_rowid(db.handle());
    Stmt open(db, "INSERT INTO temp.editor_journal_open (entry) VALUES (?)");
    open.bind(1, entry_).run();
}

Command::~Command() {
    if (!entry_) return;
    try {
        Stmt(*db_, "DELETE FROM temp.editor_journal_open").run();
        // An UPDATE that set what was there already changes nothing to take back.
        Stmt same(*db_, "DELETE FROM editor_journal_rows WHERE entry=? AND old_rid IS new_rid AND old IS new");
        same.bind(1, entry_).run();
        Stmt any(*db_, "SELECT 1 FROM editor_journal_rows WHERE entry=? LIMIT 1");
        any.bind(1, entry_);
        if (!any.step()) {
            Stmt drop(*db_, "DELETE FROM editor_journal WHERE entry=?");
            drop.bind(1, entry_).run();
            return;
        }
        // A new change ends what could be redone.
        db_->executeNative(
            "DELETE FROM editor_journal_rows WHERE entry IN (SELECT entry FROM editor_journal WHERE undone);"
            "DELETE FROM editor_journal WHERE undone;");
        Stmt cut(*db_, "SELECT entry FROM editor_journal ORDER BY entry DESC LIMIT 1 OFFSET ?");
        cut.bind(1, kLimit - 1);
        if (cut.step()) {
            const long long oldest = cut.integer(0);
            Stmt rows(*db_, "DELETE FROM editor_journal_rows WHERE entry < ?");
            rows.bind(1, oldest).run();
            Stmt entries(*db_, "DELETE FROM editor_journal WHERE entry < ?");
            entries.bind(1, oldest).run();
        }
    } catch (const std::exception&) {
        // The surrounding transaction reports the failure of the command itself.
    }
}

std::vector<Entry> entries(jet::Database& db) {
    std::vector<Entry> out;
    if (!hasJournal(db)) return out;
    Stmt st(db, "SELECT entry, what, time FROM editor_journal WHERE undone=0 ORDER BY entry DESC");
    while (st.step()) out.push_back({st.integer(0), st.text(1), st.text(2)});
    return out;
}

std::optional<Entry> nextUndo(jet::Database& db) { return pick(db, false); }
std::optional<Entry> nextRedo(jet::Database& db) { return pick(db, true); }
std::optional<Entry> undo(jet::Database& db) { return step(db, true); }
std::optional<Entry> redo(jet::Database& db) { return step(db, false); }

void clear(jet::Database& db) {
    if (!hasJournal(db)) return;
    db.executeNative("DELETE FROM editor_journal_rows; DELETE FROM editor_journal;");
}

}  // namespace journal
