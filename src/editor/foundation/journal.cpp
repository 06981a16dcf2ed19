#include "foundation/journal.h"

#include <sqlite3.h>

#include <exception>
#include <map>
#include <memory>

#include "common/jetdb.h"

namespace journal {

namespace {

constexpr const char* kTables =
    "CREATE TABLE IF NOT EXISTS editor_journal (entry INTEGER PRIMARY KEY AUTOINCREMENT, what TEXT, "
    "time TEXT, undone INTEGER NOT NULL DEFAULT 0);"
    // The open command of this connection; the triggers read it for every row.
    "CREATE TEMP TABLE IF NOT EXISTS editor_journal_open (entry INTEGER);";

// The rows of one game table live in editor_journal_t_<table>.
constexpr std::string_view kShadowPrefix = "editor_journal_t_";
// seq, entry, old_rid, new_rid, then the old values o1..on and the new values n1..nn.
constexpr int kShadowFixed = 4;

class Stmt {
public:
    Stmt(jet::Database& db, const std::string& sql) : db_(db.handle()) {
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s_, nullptr) != SQLITE_OK) fail();
    }
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int i, long long v) {
        if (sqlite3_bind_int64(s_, i, v) != SQLITE_OK) fail();
        return *this;
    }
    Stmt& bind(int i, const std::string& v) {
        if (sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK) fail();
        return *this;
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
    void reset() { sqlite3_reset(s_); }
    bool isNull(int c) const { return sqlite3_column_type(s_, c) == SQLITE_NULL; }
    long long integer(int c) const { return sqlite3_column_int64(s_, c); }
    std::string text(int c) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
        return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s_, c))) : std::string();
    }

private:
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

std::string shadowOf(const std::string& table) { return ident(std::string(kShadowPrefix) + table); }

std::vector<std::string> columnNames(jet::Database& db, const std::string& table) {
    std::vector<std::string> out;
    for (const auto& c : db.columns(table)) out.push_back(c.name);
    return out;
}

// "o1, o2, ..." or with a prefix "NEW.\"NAME\", ..." for the game table's own names.
std::string list(std::size_t n, const std::string& prefix, const std::vector<std::string>* names = nullptr) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        if (i) out += ", ";
        out += names ? prefix + ident((*names)[i]) : prefix + std::to_string(i + 1);
    }
    return out;
}

// "a.o1 IS b.n1 COLLATE BINARY AND ...": equal values of equal type, case counted.
std::string same(std::size_t n, const std::string& left, const std::string& right) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += " AND " + left + std::to_string(i + 1) + " IS " + right + std::to_string(i + 1) + " COLLATE BINARY";
    return out;
}

bool exists(jet::Database& db, const char* sql) {
    Stmt st(db, sql);
    return st.step();
}

bool hasJournal(jet::Database& db) {
    return exists(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='editor_journal'");
}

bool commandOpen(jet::Database& db) {
    return exists(db, "SELECT 1 FROM sqlite_temp_master WHERE type='table' AND name='editor_journal_open'") &&
           exists(db, "SELECT 1 FROM temp.editor_journal_open");
}

// The game tables of the database with their journal tables, by game table name.
std::vector<std::string> gameTables(jet::Database& db) {
    std::vector<std::string> out;
    Stmt st(db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                "AND name NOT LIKE 'editor\\_journal%' ESCAPE '\\' AND sql NOT LIKE '%WITHOUT ROWID%'");
    while (st.step()) out.push_back(st.text(0));
    return out;
}

std::vector<std::string> journaledTables(jet::Database& db) {
    std::vector<std::string> out;
    Stmt st(db, "SELECT substr(name, " + std::to_string(kShadowPrefix.size() + 1) +
                    ") FROM sqlite_master WHERE type='table' AND substr(name, 1, " +
                    std::to_string(kShadowPrefix.size()) + ")='" + std::string(kShadowPrefix) + "'");
    while (st.step()) out.push_back(st.text(0));
    return out;
}

void deleteAll(jet::Database& db) {
    for (const std::string& table : journaledTables(db)) db.executeNative("DELETE FROM " + shadowOf(table));
    db.executeNative("DELETE FROM editor_journal");
}

// Journal tables, the marker and one trigger per game table and kind of change. The triggers
// live in this connection only, so other programs writing the file never meet them.
void attach(jet::Database& db) {
    db.executeNative(kTables);
    // INSERT OR REPLACE removes the row it replaces; that removal must be journaled too.
    db.executeNative("PRAGMA recursive_triggers = ON");
    std::map<std::string, bool> triggers;
    {
        Stmt st(db, "SELECT name FROM sqlite_temp_master WHERE type='trigger'");
        while (st.step()) triggers[st.text(0)] = true;
    }
    for (const std::string& table : gameTables(db)) {
        const std::string trigger = std::string(kShadowPrefix) + table;
        if (triggers.count(trigger + "_d")) continue;
        const std::vector<std::string> columns = columnNames(db, table);
        const std::size_t n = columns.size();
        const std::string shadow = shadowOf(table);
        // Journal rows written for other columns cannot be put back; the journal starts anew.
        if (db.hasTable(std::string(kShadowPrefix) + table) &&
            db.columns(std::string(kShadowPrefix) + table).size() != kShadowFixed + 2 * n) {
            deleteAll(db);
            db.executeNative("DROP TABLE " + shadow);
        }
        db.executeNative("CREATE TABLE IF NOT EXISTS " + shadow +
                         " (seq INTEGER PRIMARY KEY, entry INTEGER NOT NULL, old_rid INTEGER, new_rid INTEGER" +
                         (n ? ", " + list(n, "o") + ", " + list(n, "n") : std::string()) + ");" +
                         "CREATE INDEX IF NOT EXISTS " + ident(trigger + "_entry") + " ON " + shadow + " (entry)");
        struct Kind {
            const char* suffix;
            const char* event;
            bool old, neu;
        };
        for (const Kind k : {Kind{"_i", "INSERT", false, true}, Kind{"_u", "UPDATE", true, true},
                             Kind{"_d", "DELETE", true, false}}) {
            std::string targets = "entry", values = "entry";
            if (k.old) {
                targets += ", old_rid" + (n ? ", " + list(n, "o") : std::string());
                values += ", OLD.rowid" + (n ? ", " + list(n, "OLD.", &columns) : std::string());
            }
            if (k.neu) {
                targets += ", new_rid" + (n ? ", " + list(n, "n") : std::string());
                values += ", NEW.rowid" + (n ? ", " + list(n, "NEW.", &columns) : std::string());
            }
            db.executeNative("CREATE TEMP TRIGGER IF NOT EXISTS " + ident(trigger + k.suffix) + " AFTER " + k.event +
                             " ON main." + ident(table) + " BEGIN INSERT INTO " + shadow + " (" + targets +
                             ") SELECT " + values + " FROM editor_journal_open; END");
        }
    }
}

std::optional<Entry> pick(jet::Database& db, bool undone) {
    if (!hasJournal(db)) return std::nullopt;
    Stmt st(db, std::string("SELECT entry, what, time FROM editor_journal WHERE undone=") + (undone ? "1" : "0") +
                    " ORDER BY entry " + (undone ? "ASC" : "DESC") + " LIMIT 1");
    if (!st.step()) return std::nullopt;
    return Entry{st.integer(0), st.text(1), st.text(2)};
}

// Undo goes from each row's new state back to its old one, newest change first; redo the
// other way. Rows of different tables never depend on each other, so each table is replayed
// on its own, in its own order.
void replay(jet::Database& db, const Entry& e, bool back) {
    const std::string from = back ? "n" : "o", to = back ? "o" : "n";
    const std::string fromRid = back ? "new_rid" : "old_rid", toRid = back ? "old_rid" : "new_rid";
    for (const std::string& table : journaledTables(db)) {
        const std::string shadow = shadowOf(table);
        Stmt rows(db, "SELECT seq, " + fromRid + ", " + toRid + " FROM " + shadow + " WHERE entry=? ORDER BY seq " +
                          (back ? "DESC" : "ASC"));
        rows.bind(1, e.entry);
        if (!rows.step()) continue;
        if (!db.hasTable(table))
            throw jet::Error("Die Tabelle " + table + " gibt es nicht mehr; „" + e.what + "“ lässt sich nicht zurücknehmen.");
        const std::vector<std::string> columns = columnNames(db, table);
        const std::size_t n = columns.size();
        const std::string game = "main." + ident(table);
        // The row must look as the command left it (or be absent where it put none).
        std::string unchanged;
        for (std::size_t i = 0; i < n; ++i)
            unchanged += " AND s." + from + std::to_string(i + 1) + " IS g." + ident(columns[i]) + " COLLATE BINARY";
        Stmt current(db, "SELECT 1 FROM " + game + " AS g, " + shadow + " AS s WHERE s.seq=? AND g.rowid=s." + fromRid +
                             unchanged);
        Stmt occupied(db, "SELECT 1 FROM " + game + " WHERE rowid=?");
        Stmt remove(db, "DELETE FROM " + game + " WHERE rowid=?");
        Stmt insert(db, "INSERT INTO " + game + " (rowid" + (n ? ", " + list(n, "", &columns) : std::string()) +
                            ") SELECT " + toRid + (n ? ", " + list(n, to) : std::string()) + " FROM " + shadow +
                            " WHERE seq=?");
        const auto conflict = [&](long long rid) {
            return jet::Error("„" + e.what + "“ lässt sich nicht " + (back ? "zurücknehmen" : "wiederherstellen") +
                              ": die Zeile " + std::to_string(rid) + " der Tabelle " + table +
                              " wurde inzwischen anders geändert. Es wurde nichts verändert.");
        };
        do {
            const long long seq = rows.integer(0);
            if (!rows.isNull(1)) {
                const long long rid = rows.integer(1);
                current.reset();
                if (!current.bind(1, seq).step()) throw conflict(rid);
                current.reset();
                remove.bind(1, rid).run();
            }
            if (!rows.isNull(2)) {
                const long long rid = rows.integer(2);
                occupied.reset();
                if (occupied.bind(1, rid).step()) throw conflict(rid);
                occupied.reset();
                insert.bind(1, seq).run();
            }
        } while (rows.step());
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

Command::Command(jet::Database& db, std::string_view what) : db_(&db), exceptions_(std::uncaught_exceptions()) {
    if (commandOpen(db)) return;
    // The journal and the rows it describes are written together or not at all.
    if (sqlite3_get_autocommit(db.handle())) own_ = std::make_unique<jet::Transaction>(db);
    attach(db);
    Stmt add(db, "INSERT INTO editor_journal (what, time) VALUES (?, strftime('%d.%m.%Y %H:%M:%S', 'now', 'localtime'))");
    add.bind(1, std::string(what)).run();
    entry_ = sqlite3_last_insert_rowid(db.handle());
    Stmt open(db, "INSERT INTO temp.editor_journal_open (entry) VALUES (?)");
    open.bind(1, entry_).run();
}

// A failing commit is the command's failure: it is thrown, unless another exception is on its way.
Command::~Command() noexcept(false) {
    if (!entry_) return;
    finish();
    if (own_ && std::uncaught_exceptions() == exceptions_) own_->commit();
}

void Command::finish() noexcept {
    try {
        db_->executeNative("DELETE FROM temp.editor_journal_open");
        const std::string entry = std::to_string(entry_);
        const auto rowsOf = [&](const std::string& table) {
            return "SELECT 1 FROM " + shadowOf(table) + " WHERE entry=" + entry;
        };
        bool changed = false;
        for (const std::string& table : journaledTables(*db_)) {
            if (!exists(*db_, rowsOf(table).c_str())) continue;
            const std::size_t n = (db_->columns(std::string(kShadowPrefix) + table).size() - kShadowFixed) / 2;
            // An UPDATE that set what was there already changes nothing to take back.
            db_->executeNative("DELETE FROM " + shadowOf(table) + " WHERE entry=" + entry + " AND old_rid IS new_rid" +
                               same(n, "o", "n"));
            changed = changed || exists(*db_, rowsOf(table).c_str());
        }
        if (!changed) {
            db_->executeNative("DELETE FROM editor_journal WHERE entry=" + entry);
            return;
        }
        // A new change ends what could be redone; only the newest kLimit commands stay.
        Stmt cut(*db_, "SELECT entry FROM editor_journal WHERE undone=0 ORDER BY entry DESC LIMIT 1 OFFSET ?");
        cut.bind(1, kLimit);
        const bool full = cut.step();
        if (!full && !exists(*db_, "SELECT 1 FROM editor_journal WHERE undone")) return;
        const std::string dropped = "(SELECT entry FROM editor_journal WHERE undone OR entry <= " +
                                    (full ? std::to_string(cut.integer(0)) : std::string("0")) + ")";
        for (const std::string& table : journaledTables(*db_))
            db_->executeNative("DELETE FROM " + shadowOf(table) + " WHERE entry IN " + dropped);
        db_->executeNative("DELETE FROM editor_journal WHERE entry IN " + dropped);
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
    if (hasJournal(db)) deleteAll(db);
}

}  // namespace journal
