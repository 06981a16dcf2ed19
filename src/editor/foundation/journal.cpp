#include "foundation/journal.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <map>
#include <memory>

#include "common/jetdb.h"

namespace journal {

namespace {

constexpr const char* kTables =
    "CREATE TABLE IF NOT EXISTS editor_journal (entry INTEGER PRIMARY KEY AUTOINCREMENT, what TEXT, "
    "time TEXT, undone INTEGER NOT NULL DEFAULT 0);"
    // Game tables a command emptied: their rows live on in editor_journal_c<entry>_old_<table>,
    // after an undo the command's rows in editor_journal_c<entry>_new_<table>. The fingerprints
    // tell whether the game table still holds what the command (new) or the undo (old) left.
    "CREATE TABLE IF NOT EXISTS editor_journal_tables (entry INTEGER NOT NULL, game TEXT NOT NULL, "
    "old_digest INTEGER, new_digest INTEGER);"
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

std::string asideName(long long entry, const std::string& table, bool old) {
    return "editor_journal_c" + std::to_string(entry) + (old ? "_old_" : "_new_") + table;
}

// A table's own indexes (not those of its constraints): their names, or the statements that make them.
std::vector<std::string> indexesOf(jet::Database& db, const std::string& table, bool definitions) {
    std::vector<std::string> out;
    Stmt st(db, std::string("SELECT ") + (definitions ? "sql" : "name") +
                    " FROM sqlite_master WHERE type='index' AND tbl_name=? AND sql IS NOT NULL");
    st.bind(1, table);
    while (st.step()) out.push_back(st.text(0));
    return out;
}

void dropTriggers(jet::Database& db, const std::string& table) {
    const std::string trigger = std::string(kShadowPrefix) + table;
    for (const char* suffix : {"_i", "_u", "_d"}) db.executeNative("DROP TRIGGER IF EXISTS temp." + ident(trigger + suffix));
}

// Renames a table as it is: its rows are not copied. Views go on naming the old name.
void rename(jet::Database& db, const std::string& from, const std::string& to) {
    db.executeNative("PRAGMA legacy_alter_table=ON");
    try {
        db.executeNative("ALTER TABLE main." + ident(from) + " RENAME TO " + ident(to));
    } catch (...) {
        db.executeNative("PRAGMA legacy_alter_table=OFF");
        throw;
    }
    db.executeNative("PRAGMA legacy_alter_table=OFF");
}

// Moves a game table's rows aside under another name; its indexes go with it and are dropped
// there, so that their names are free for the table that takes its place.
void moveAside(jet::Database& db, const std::string& table, const std::string& aside) {
    dropTriggers(db, table);
    rename(db, table, aside);
    for (const std::string& index : indexesOf(db, aside, false)) db.executeNative("DROP INDEX main." + ident(index));
}

// A fingerprint of a table: per row a hash of its rowid and values (type and bytes), summed
// so that the order of the rows does not matter. An aggregate function reads the values
// inside SQLite, without a locked API call per column.
void digestStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    auto* sum = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, sizeof(std::uint64_t)));
    if (!sum) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (int c = 0; c < argc; ++c) {
        const int type = sqlite3_value_type(argv[c]);
        mix(static_cast<std::uint64_t>(type));
        if (type == SQLITE_INTEGER) {
            mix(static_cast<std::uint64_t>(sqlite3_value_int64(argv[c])));
        } else if (type == SQLITE_FLOAT) {
            const double d = sqlite3_value_double(argv[c]);
            std::uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            mix(bits);
        } else if (type != SQLITE_NULL) {
            const auto* p = static_cast<const unsigned char*>(sqlite3_value_blob(argv[c]));
            const std::size_t len = static_cast<std::size_t>(sqlite3_value_bytes(argv[c]));
            mix(len);
            for (std::size_t i = 0; i < len; i += 8) {
                std::uint64_t word = 0;
                std::memcpy(&word, p + i, std::min<std::size_t>(8, len - i));
                mix(word);
            }
        }
    }
    // Spread the bits, so that sums of similar rows do not cancel.
    h ^= h >> 31;
    h *= 0x7fb5d329728ea185ull;
    h ^= h >> 27;
    *sum += h;
}

void digestFinal(sqlite3_context* ctx) {
    auto* sum = static_cast<std::uint64_t*>(sqlite3_aggregate_context(ctx, 0));
    sqlite3_result_int64(ctx, sum ? static_cast<sqlite3_int64>(*sum) : 0);
}

long long digest(jet::Database& db, const std::string& table) {
    const std::vector<std::string> columns = columnNames(db, table);
    Stmt st(db, "SELECT editor_journal_digest(rowid" + (columns.empty() ? std::string() : ", " + list(columns.size(), "", &columns)) +
                    ") FROM main." + ident(table));
    st.step();
    return st.integer(0);
}

// Drops the rows kept aside for the entries the condition picks.
void dropAside(jet::Database& db, const std::string& where) {
    if (!db.hasTable("editor_journal_tables")) return;
    std::vector<std::string> tables;
    {
        Stmt st(db, "SELECT entry, game FROM editor_journal_tables " + where);
        while (st.step())
            for (bool old : {true, false}) tables.push_back(asideName(st.integer(0), st.text(1), old));
    }
    for (const std::string& table : tables) db.executeNative("DROP TABLE IF EXISTS main." + ident(table));
    db.executeNative("DELETE FROM editor_journal_tables " + where);
}

void deleteAll(jet::Database& db) {
    dropAside(db, "");
    for (const std::string& table : journaledTables(db)) db.executeNative("DELETE FROM " + shadowOf(table));
    db.executeNative("DELETE FROM editor_journal");
}

// Journal tables, the marker and one trigger per game table and kind of change. The triggers
// live in this connection only, so other programs writing the file never meet them.
void attach(jet::Database& db) {
    db.executeNative(kTables);
    if (sqlite3_create_function_v2(db.handle(), "editor_journal_digest", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   nullptr, digestStep, digestFinal, nullptr) != SQLITE_OK)
        throw jet::Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db.handle()));
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
std::string cannot(const Entry& e, bool back) {
    return "„" + e.what + "“ lässt sich nicht " + (back ? "zurücknehmen" : "wiederherstellen");
}

// Swaps the emptied tables of an entry with the rows kept aside: the game table must hold
// what the command (undo) or the undo (redo) left there.
void swapTables(jet::Database& db, const Entry& e, bool back) {
    struct Emptied {
        std::string game;
        bool known;
        long long digest;
    };
    std::vector<Emptied> tables;
    {
        Stmt st(db, std::string("SELECT game, ") + (back ? "new_digest" : "old_digest") +
                        " IS NOT NULL, " + (back ? "new_digest" : "old_digest") +
                        " FROM editor_journal_tables WHERE entry=?");
        st.bind(1, e.entry);
        while (st.step()) tables.push_back({st.text(0), st.integer(1) != 0, st.integer(2)});
    }
    for (const Emptied& t : tables) {
        const std::string in = asideName(e.entry, t.game, back), out = asideName(e.entry, t.game, !back);
        if (!db.hasTable(t.game)) throw jet::Error("Die Tabelle " + t.game + " gibt es nicht mehr; " + cannot(e, back) + ".");
        if (!db.hasTable(in)) throw jet::Error(cannot(e, back) + ": die aufbewahrten Zeilen der Tabelle " + t.game + " fehlen.");
        if (!t.known || digest(db, t.game) != t.digest)
            throw jet::Error(cannot(e, back) + ": die Tabelle " + t.game +
                             " wurde inzwischen anders geändert. Es wurde nichts verändert.");
        const std::vector<std::string> indexes = indexesOf(db, t.game, true);
        moveAside(db, t.game, out);
        rename(db, in, t.game);
        for (const std::string& index : indexes) db.executeNative(index);
        if (back) {
            Stmt left(db, "UPDATE editor_journal_tables SET old_digest=? WHERE entry=? AND game=?");
            left.bind(1, digest(db, t.game)).bind(2, e.entry).bind(3, t.game).run();
        }
    }
}

void replay(jet::Database& db, const Entry& e, bool back) {
    const std::string from = back ? "n" : "o", to = back ? "o" : "n";
    const std::string fromRid = back ? "new_rid" : "old_rid", toRid = back ? "old_rid" : "new_rid";
    // An emptied table stands after every row journaled before in its command.
    if (back) swapTables(db, e, back);
    for (const std::string& table : journaledTables(db)) {
        const std::string shadow = shadowOf(table);
        Stmt rows(db, "SELECT seq, " + fromRid + ", " + toRid + " FROM " + shadow + " WHERE entry=? ORDER BY seq " +
                          (back ? "DESC" : "ASC"));
        rows.bind(1, e.entry);
        if (!rows.step()) continue;
        if (!db.hasTable(table))
            throw jet::Error("Die Tabelle " + table + " gibt es nicht mehr; " + cannot(e, back) + ".");
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
            return jet::Error(cannot(e, back) + ": die Zeile " + std::to_string(rid) + " der Tabelle " + table +
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
    if (!back) swapTables(db, e, back);
}

std::optional<Entry> step(jet::Database& db, bool back) {
    auto e = pick(db, !back);
    if (!e) return std::nullopt;
    if (commandOpen(db)) throw jet::Error("Während ein Befehl läuft, lässt sich nichts zurücknehmen.");
    jet::Transaction t(db);
    attach(db);
    replay(db, *e, back);
    attach(db);  // tables put back by name lost their triggers
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

void Command::emptyTable(const std::string& table) {
    std::string definition;
    if (entry_ && std::find(emptied_.begin(), emptied_.end(), table) == emptied_.end()) {
        Stmt st(*db_, "SELECT sql FROM sqlite_master WHERE type='table' AND name=? AND sql IS NOT NULL");
        st.bind(1, table);
        if (st.step()) definition = st.text(0);
    }
    // A joined command, or a table without a definition to make it again: row by row.
    if (definition.empty()) {
        db_->executeNative("DELETE FROM main." + ident(table));
        return;
    }
    const std::vector<std::string> indexes = indexesOf(*db_, table, true);
    moveAside(*db_, table, asideName(entry_, table, true));
    db_->executeNative(definition);
    for (const std::string& index : indexes) db_->executeNative(index);
    Stmt add(*db_, "INSERT INTO editor_journal_tables (entry, game) VALUES (?, ?)");
    add.bind(1, entry_).bind(2, table).run();
    emptied_.push_back(table);
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
        for (const std::string& table : emptied_) {
            Stmt left(*db_, "UPDATE editor_journal_tables SET new_digest=? WHERE entry=? AND game=?");
            left.bind(1, digest(*db_, table)).bind(2, entry_).bind(3, table).run();
        }
        if (!emptied_.empty()) attach(*db_);  // the new tables get their triggers
        const std::string entry = std::to_string(entry_);
        const auto rowsOf = [&](const std::string& table) {
            return "SELECT 1 FROM " + shadowOf(table) + " WHERE entry=" + entry;
        };
        bool changed = !emptied_.empty();
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
        dropAside(*db_, "WHERE entry IN " + dropped);
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
