#include "jetdb.h"

#include "collation.h"
#include "jetfunctions.h"
#include "jetsql.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>

namespace jet {

// ---------------------------------------------------------------- Value

std::string Value::toString() const
{
    switch (v_.index()) {
    case 1: return std::to_string(std::get<1>(v_));
    case 2: return formatReal(std::get<2>(v_));
    case 3: return std::get<3>(v_);
    case 4: {
        const Blob& b = std::get<4>(v_);
        return std::string(b.begin(), b.end());
    }
    default: return {};
    }
}

std::int64_t Value::toInt() const
{
    switch (v_.index()) {
    case 1: return std::get<1>(v_);
    case 2: return roundHalfEven(std::get<2>(v_));
    case 3: return roundHalfEven(parseLeadingNumber(std::get<3>(v_)));
    default: return 0;
    }
}

double Value::toDouble() const
{
    switch (v_.index()) {
    case 1: return static_cast<double>(std::get<1>(v_));
    case 2: return std::get<2>(v_);
    case 3: return parseLeadingNumber(std::get<3>(v_));
    default: return 0;
    }
}

const Blob& Value::blob() const
{
    static const Blob empty;
    if (const Blob* b = std::get_if<4>(&v_))
        return *b;
    return empty;
}

namespace {

struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt() = default;
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    ~Stmt() { sqlite3_finalize(s); }
};

Value columnValue(sqlite3_stmt* s, int i)
{
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(s, i));
    case SQLITE_TEXT: {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return Value(std::string(p, static_cast<size_t>(sqlite3_column_bytes(s, i))));
    }
    case SQLITE_BLOB: {
        auto p = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, i));
        int n = sqlite3_column_bytes(s, i);
        return Value(Blob(p, p + n));
    }
    default: return Value();
    }
}

void bindValue(sqlite3_stmt* s, int i, const Value& v)
{
    if (v.isNull())
        sqlite3_bind_null(s, i);
    else if (v.isInt())
        sqlite3_bind_int64(s, i, v.toInt());
    else if (v.isReal())
        sqlite3_bind_double(s, i, v.toDouble());
    else if (v.isBlob())
        sqlite3_bind_blob(s, i, v.blob().data(), static_cast<int>(v.blob().size()), SQLITE_TRANSIENT);
    else {
        std::string t = v.toString();
        sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
}

const char* notOpen = "Die Datenbank ist nicht geöffnet.";

int userVersion(sqlite3* db)
{
    Stmt st;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st.s, nullptr) != SQLITE_OK ||
        sqlite3_step(st.s) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int(st.s, 0);
}

void setUserVersion(sqlite3* db, int version)
{
    sqlite3_exec(db, ("PRAGMA user_version=" + std::to_string(version)).c_str(), nullptr, nullptr, nullptr);
}

// An index keeps the NOCASE order of the program that built it, and a lookup through an index
// in another order misses rows. The file's user_version names the order its indexes follow;
// one in an earlier order gets its NOCASE indexes rebuilt once (REINDEX NOCASE touches no
// other index, and a file without indexes needs nothing). When that fails (a file that
// cannot be written), the next open tries again.
void rebuildIndexesInEarlierOrder(sqlite3* db)
{
    if (userVersion(db) == collation::kGeneration)
        return;
    {
        Stmt st;
        if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='index' LIMIT 1", -1, &st.s, nullptr) !=
                SQLITE_OK ||
            sqlite3_step(st.s) != SQLITE_ROW)
            return;
    }
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return;
    if (sqlite3_exec(db, "REINDEX NOCASE", nullptr, nullptr, nullptr) == SQLITE_OK) {
        setUserVersion(db, collation::kGeneration);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
            return;
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace


// ---------------------------------------------------------------- Database

namespace {

// Names of the open database for the translation, rebuilt when the schema changes.
class SchemaCache : public jetsql::Schema {
public:
    sqlite3* db = nullptr;

    std::vector<std::string> columns(std::string_view table) const override
    {
        refresh();
        auto it = columns_.find(foldKey(table));
        return it == columns_.end() ? std::vector<std::string>{} : it->second;
    }

    std::string spelling(std::string_view name) const override
    {
        refresh();
        auto it = names_.find(foldKey(name));
        return it == names_.end() ? std::string() : it->second;
    }

    // The stored spelling of a table or view name; empty when there is no such table.
    std::string tableName(std::string_view name) const
    {
        refresh();
        auto it = tables_.find(foldKey(name));
        return it == tables_.end() ? std::string() : it->second;
    }

private:
    mutable int version_ = -1;
    mutable std::unordered_map<std::string, std::string> names_;
    mutable std::unordered_map<std::string, std::string> tables_;
    mutable std::unordered_map<std::string, std::vector<std::string>> columns_;

    void refresh() const
    {
        if (!db)
            return;
        int version = -1;
        {
            Stmt st;
            if (sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &st.s, nullptr) == SQLITE_OK &&
                sqlite3_step(st.s) == SQLITE_ROW)
                version = sqlite3_column_int(st.s, 0);
        }
        if (version == version_ && version != -1)
            return;
        version_ = version;
        names_.clear();
        tables_.clear();
        columns_.clear();
        std::vector<std::string> tables;
        {
            Stmt st;
            if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type IN ('table','view')", -1, &st.s,
                                   nullptr) != SQLITE_OK)
                return;
            while (sqlite3_step(st.s) == SQLITE_ROW)
                tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)));
        }
        Stmt st;
        if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1)", -1, &st.s, nullptr) != SQLITE_OK)
            return;
        for (const auto& t : tables) {
            names_.emplace(foldKey(t), t);
            tables_.emplace(foldKey(t), t);
        }
        for (const auto& t : tables) {
            sqlite3_reset(st.s);
            sqlite3_bind_text(st.s, 1, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
            auto& cols = columns_[foldKey(t)];
            while (sqlite3_step(st.s) == SQLITE_ROW) {
                cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)));
                names_.emplace(foldKey(cols.back()), cols.back());
            }
        }
    }
};

}  // namespace

struct Database::Impl {
    sqlite3* db = nullptr;
    std::filesystem::path path;
    SchemaCache schema;

    ~Impl()
    {
        if (db)
            sqlite3_close_v2(db);
    }

    [[noreturn]] void fail(std::string_view sql) const
    {
        throw Error("Datenbankfehler: " + std::string(db ? sqlite3_errmsg(db) : "keine Verbindung") +
                    " in: " + std::string(sql));
    }

    std::string translate(std::string_view jetSql) const
    {
        try {
            return jetsql::translate(jetSql, &schema);
        } catch (const jetsql::TranslateError& e) {
            throw Error("SQL-Fehler: " + std::string(e.what()) + " in: " + std::string(jetSql));
        }
    }

    void prepare(Stmt& st, const std::string& sql, std::string_view shown) const
    {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.s, &tail) != SQLITE_OK)
            fail(shown);
        if (!st.s)
            throw Error("Datenbankfehler: leere Anweisung in: " + std::string(shown));
    }
};

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

Database Database::open(const std::filesystem::path& file, bool create, bool readOnly)
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    if (!create && !exists)
        throw Error("Die Datenbank " + file.string() + " wurde nicht gefunden.");
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    installSqlFunctions();
    Database d;
    d.d = std::make_shared<Impl>();
    d.d->path = file;
    int rc = sqlite3_open_v2(file.string().c_str(), &d.d->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = d.d->db ? sqlite3_errmsg(d.d->db) : sqlite3_errstr(rc);
        throw Error("Die Datenbank " + file.string() + " kann nicht geöffnet werden: " + msg);
    }
    sqlite3_busy_timeout(d.d->db, 5000);
    // The first read tells whether the file is an SQLite database at all.
    if (sqlite3_exec(d.d->db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(d.d->db);
        throw Error("Die Datei " + file.string() + " ist keine gültige Datenbank: " + msg);
    }
    registerFunctions(d.d->db);
    if (!exists && !readOnly)
        setUserVersion(d.d->db, collation::kGeneration);  // a new file: every index will be in today's order
    else if (!readOnly)
        rebuildIndexesInEarlierOrder(d.d->db);
    d.d->schema.db = d.d->db;
    return d;
}

Database Database::openMemory()
{
    installSqlFunctions();
    Database d;
    d.d = std::make_shared<Impl>();
    if (sqlite3_open_v2(":memory:", &d.d->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw Error("Die Datenbank im Speicher kann nicht angelegt werden.");
    registerFunctions(d.d->db);
    d.d->schema.db = d.d->db;
    return d;
}

bool Database::isOpen() const
{
    return d && d->db;
}

void Database::close()
{
    d.reset();
}

const std::filesystem::path& Database::path() const
{
    static const std::filesystem::path none;
    return d ? d->path : none;
}

sqlite3* Database::handle() const
{
    return d ? d->db : nullptr;
}

std::int64_t Database::execute(std::string_view jetSql)
{
    if (!isOpen())
        throw Error(notOpen);
    std::string sql = d->translate(jetSql);
    Stmt st;
    d->prepare(st, sql, jetSql);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        d->fail(jetSql);
    return sqlite3_stmt_readonly(st.s) ? 0 : sqlite3_changes64(d->db);
}

void Database::executeNative(std::string_view sqliteSql)
{
    if (!isOpen())
        throw Error(notOpen);
    std::string sql(sqliteSql);
    char* err = nullptr;
    if (sqlite3_exec(d->db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(d->db);
        sqlite3_free(err);
        throw Error("Datenbankfehler: " + msg + " in: " + sql);
    }
}

namespace {

std::vector<std::string> namesOf(sqlite3* db, const char* sql)
{
    std::vector<std::string> out;
    Stmt st;
    if (sqlite3_prepare_v2(db, sql, -1, &st.s, nullptr) != SQLITE_OK)
        throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db));
    while (sqlite3_step(st.s) == SQLITE_ROW)
        out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)));
    return out;
}

}  // namespace

std::vector<std::string> Database::tableNames() const
{
    if (!isOpen())
        throw Error(notOpen);
    return namesOf(d->db,
                   "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                   "ORDER BY name");
}

std::vector<std::string> Database::viewNames() const
{
    if (!isOpen())
        throw Error(notOpen);
    return namesOf(d->db, "SELECT name FROM sqlite_master WHERE type='view' ORDER BY name");
}

bool Database::hasTable(std::string_view name) const
{
    if (!isOpen())
        throw Error(notOpen);
    return !d->schema.tableName(name).empty();
}

std::vector<ColumnInfo> Database::columns(std::string_view tableOrView) const
{
    if (!isOpen())
        throw Error(notOpen);
    std::string name = d->schema.tableName(tableOrView);
    if (name.empty())
        name = std::string(tableOrView);
    std::vector<ColumnInfo> out;
    Stmt st;
    if (sqlite3_prepare_v2(d->db, "SELECT name, type FROM pragma_table_info(?1)", -1, &st.s, nullptr) != SQLITE_OK)
        throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(d->db));
    sqlite3_bind_text(st.s, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(st.s) == SQLITE_ROW) {
        ColumnInfo c;
        c.name = reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0));
        if (auto t = sqlite3_column_text(st.s, 1))
            c.declaredType = reinterpret_cast<const char*>(t);
        out.push_back(std::move(c));
    }
    return out;
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : db_(&db)
{
    // Savepoint names only need to differ among the open ones of a connection.
    static std::atomic<unsigned long> counter{0};
    // The outermost one, which begins the transaction, is named jet_tx.
    const bool outermost = db.handle() && sqlite3_get_autocommit(db.handle());
    name_ = (outermost ? "jet_tx" : "jet_sp") + std::to_string(++counter);
    db.executeNative("SAVEPOINT " + name_);
}

Transaction::~Transaction()
{
    sqlite3* h = db_->handle();
    if (done_ || !h)
        return;
    // The outermost one ends the transaction with a plain rollback: releasing it after
    // ROLLBACK TO would commit, and write the reverted pages and a new change counter.
    std::string sql = name_.rfind("jet_tx", 0) == 0 ? std::string("ROLLBACK") : "ROLLBACK TO " + name_ + "; RELEASE " + name_;
    sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    if (done_)
        return;
    db_->executeNative("RELEASE " + name_);
    done_ = true;
}

// ---------------------------------------------------------------- Recordset

struct Recordset::Impl {
    enum class Mode { None, Add, Edit };

    std::weak_ptr<Database::Impl> owner;
    std::vector<std::string> names;
    std::unordered_map<std::string, int> index;  // folded name -> first position
    std::vector<std::vector<Value>> rows;
    long pos = 0;
    bool beforeFirst = false;

    // Editing: only for a set over one table, whose rows carry their rowid.
    std::string table;                // empty when the set is read-only
    std::vector<std::string> origin;  // column of `table` behind each field
    std::vector<std::int64_t> rowids;
    Mode mode = Mode::None;
    std::vector<Value> buffer;
    std::vector<bool> dirty;

    long count() const { return static_cast<long>(rows.size()); }
    bool atRow() const { return !beforeFirst && pos >= 0 && pos < count(); }
    void leaveEdit()
    {
        mode = Mode::None;
        buffer.clear();
        dirty.clear();
    }
    // The database behind the set; editing after it was closed is an error, reading is not.
    std::shared_ptr<Database::Impl> database() const
    {
        auto db = owner.lock();
        if (!db || !db->db)
            throw Error(notOpen);
        return db;
    }
    void readRow(std::int64_t rowid, std::vector<Value>& row);
    // Fills the set from a prepared statement; with hiddenRowid its first column is the rowid.
    void fill(sqlite3_stmt* st, bool hiddenRowid, std::string_view shown);
};

namespace {

// Rough shape test on translated text: sets built with these cannot be written back row by row.
bool mayBeEditable(const std::string& sql)
{
    if (sql.rfind("SELECT ", 0) != 0 || sql.rfind("SELECT DISTINCT", 0) == 0)
        return false;
    for (const char* w : {" GROUP BY ", " UNION ", " INTERSECT ", " EXCEPT ", " HAVING "})
        if (sql.find(w) != std::string::npos)
            return false;
    return true;
}

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Database::query(std::string_view jetSql)
{
    if (!isOpen())
        throw Error(notOpen);
    std::string sql = d->translate(jetSql);
    Recordset rs;
    rs.d = std::make_unique<Recordset::Impl>();
    rs.d->owner = d;

    Stmt plain;
    d->prepare(plain, sql, jetSql);
    const int n = sqlite3_column_count(plain.s);
    std::string table;
    bool single = n > 0 && sqlite3_stmt_readonly(plain.s) && mayBeEditable(sql);
    for (int i = 0; single && i < n; ++i) {
        const char* t = sqlite3_column_table_name(plain.s, i);
        const char* dbn = sqlite3_column_database_name(plain.s, i);
        if (!t || !dbn || std::strcmp(dbn, "main") != 0 || (i > 0 && foldKey(t) != foldKey(table)))
            single = false;
        else
            table = t;
    }
    if (single) {
        Stmt withRowid;
        std::string sql2 = "SELECT rowid, " + sql.substr(7);
        if (sqlite3_prepare_v2(d->db, sql2.c_str(), static_cast<int>(sql2.size()), &withRowid.s, nullptr) ==
                SQLITE_OK &&
            withRowid.s && sqlite3_column_count(withRowid.s) == n + 1) {
            const char* t0 = sqlite3_column_table_name(withRowid.s, 0);
            if (t0 && foldKey(t0) == foldKey(table)) {
                rs.d->table = table;
                for (int i = 0; i < n; ++i)
                    rs.d->origin.emplace_back(sqlite3_column_origin_name(withRowid.s, i + 1));
                rs.d->fill(withRowid.s, true, jetSql);
                return rs;
            }
        }
    }
    rs.d->fill(plain.s, false, jetSql);
    return rs;
}

void Recordset::Impl::fill(sqlite3_stmt* st, bool hiddenRowid, std::string_view shown)
{
    Recordset::Impl& r = *this;
    const int first = hiddenRowid ? 1 : 0;
    const int n = sqlite3_column_count(st) - first;
    r.names.clear();
    r.index.clear();
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(st, i + first);
        r.names.emplace_back(name ? name : "");
        r.index.emplace(foldKey(r.names.back()), i);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            row.push_back(columnValue(st, i + first));
        r.rows.push_back(std::move(row));
        if (hiddenRowid)
            r.rowids.push_back(sqlite3_column_int64(st, 0));
    }
    if (rc != SQLITE_DONE)
        database()->fail(shown);
}

Recordset Database::openTable(std::string_view table)
{
    if (!isOpen())
        throw Error(notOpen);
    std::string name = d->schema.tableName(table);
    if (name.empty())
        throw Error("Die Tabelle " + std::string(table) + " gibt es nicht.");
    return query("SELECT * FROM [" + name + "]");
}

std::int64_t Database::runStoredQuery(std::string_view name)
{
    if (!isOpen())
        throw Error(notOpen);
    Stmt st;
    if (sqlite3_prepare_v2(d->db, "SELECT sql FROM jet_stored_queries WHERE name = ?1 COLLATE NOCASE", -1, &st.s,
                           nullptr) != SQLITE_OK)
        d->fail("jet_stored_queries");
    sqlite3_bind_text(st.s, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_ROW || sqlite3_column_type(st.s, 0) == SQLITE_NULL)
        throw Error("Die gespeicherte Abfrage " + std::string(name) + " wurde nicht gefunden.");
    std::string sql(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)),
                    static_cast<size_t>(sqlite3_column_bytes(st.s, 0)));
    return execute(sql);
}

long Recordset::recordCount() const
{
    return d ? d->count() : 0;
}

bool Recordset::eof() const
{
    return !d || d->pos >= d->count();
}

bool Recordset::bof() const
{
    return !d || d->rows.empty() || d->beforeFirst;
}

void Recordset::moveFirst()
{
    if (!d)
        return;
    d->leaveEdit();
    d->pos = 0;
    d->beforeFirst = false;
}

void Recordset::moveNext()
{
    if (!d)
        return;
    d->leaveEdit();
    if (d->beforeFirst)
        d->beforeFirst = false;
    else if (d->pos < d->count())
        ++d->pos;
}

void Recordset::movePrevious()
{
    if (!d)
        return;
    d->leaveEdit();
    if (d->pos > 0)
        --d->pos;
    else
        d->beforeFirst = true;
}

void Recordset::moveLast()
{
    if (!d)
        return;
    d->leaveEdit();
    d->pos = d->rows.empty() ? 0 : d->count() - 1;
    d->beforeFirst = false;
}

long Recordset::absolutePosition() const
{
    return d && d->atRow() ? d->pos : -1;
}

// DAO's dynaset reaches 100 on the last record; before the first and after the last the
// value stays at the nearest end.
double Recordset::percentPosition() const
{
    if (!d || d->rows.empty() || d->beforeFirst)
        return 0;
    if (d->pos >= d->count())
        return 100;
    return static_cast<double>(d->pos + 1) * 100.0 / static_cast<double>(d->count());
}

int Recordset::fieldCount() const
{
    return d ? static_cast<int>(d->names.size()) : 0;
}

std::string Recordset::fieldName(int index) const
{
    if (!d || index < 0 || index >= fieldCount())
        throw Error("Das Feld " + std::to_string(index) + " gibt es nicht.");
    return d->names[static_cast<size_t>(index)];
}

int Recordset::fieldIndex(std::string_view name) const
{
    if (!d)
        return -1;
    auto it = d->index.find(foldKey(name));
    return it == d->index.end() ? -1 : it->second;
}

const Value& Recordset::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw Error("Das Feld " + std::to_string(index) + " gibt es nicht.");
    if (d->mode != Impl::Mode::None)
        return d->buffer[static_cast<size_t>(index)];
    if (!d->atRow())
        throw Error("Kein aktueller Datensatz.");
    return d->rows[static_cast<size_t>(d->pos)][static_cast<size_t>(index)];
}

const Value& Recordset::field(std::string_view name) const
{
    int i = fieldIndex(name);
    if (i < 0)
        throw Error("Das Feld " + std::string(name) + " gibt es in dieser Datensatzgruppe nicht.");
    return field(i);
}

void Recordset::addNew()
{
    if (!d || d->table.empty())
        throw Error("Die Datensatzgruppe kann nicht bearbeitet werden.");
    d->mode = Impl::Mode::Add;
    d->buffer.assign(d->names.size(), Value());
    d->dirty.assign(d->names.size(), false);
}

void Recordset::edit()
{
    if (!d || d->table.empty())
        throw Error("Die Datensatzgruppe kann nicht bearbeitet werden.");
    if (!d->atRow())
        throw Error("Kein aktueller Datensatz.");
    d->mode = Impl::Mode::Edit;
    d->buffer = d->rows[static_cast<size_t>(d->pos)];
    d->dirty.assign(d->names.size(), false);
}

void Recordset::setField(int index, Value v)
{
    if (!d || d->mode == Impl::Mode::None)
        throw Error("Der Datensatz ist nicht im Bearbeitungsmodus (AddNew oder Edit fehlt).");
    if (index < 0 || index >= fieldCount())
        throw Error("Das Feld " + std::to_string(index) + " gibt es nicht.");
    d->buffer[static_cast<size_t>(index)] = std::move(v);
    d->dirty[static_cast<size_t>(index)] = true;
}

void Recordset::setField(std::string_view name, Value v)
{
    int i = fieldIndex(name);
    if (i < 0)
        throw Error("Das Feld " + std::string(name) + " gibt es in dieser Datensatzgruppe nicht.");
    setField(i, std::move(v));
}

void Recordset::Impl::readRow(std::int64_t rowid, std::vector<Value>& row)
{
    std::string sql = "SELECT ";
    for (size_t i = 0; i < origin.size(); ++i)
        sql += (i ? ", " : "") + jetsql::quote(origin[i], '"');
    sql += " FROM " + jetsql::quote(table, '"') + " WHERE rowid = ?1";
    auto dbi = database();
    Stmt st;
    if (sqlite3_prepare_v2(dbi->db, sql.c_str(), static_cast<int>(sql.size()), &st.s, nullptr) != SQLITE_OK)
        dbi->fail(sql);
    sqlite3_bind_int64(st.s, 1, rowid);
    int rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW) {
        row.clear();
        for (int i = 0; i < static_cast<int>(origin.size()); ++i)
            row.push_back(columnValue(st.s, i));
    } else if (rc != SQLITE_DONE) {
        dbi->fail(sql);
    }
}

void Recordset::update()
{
    if (!d || d->mode == Impl::Mode::None)
        throw Error("Der Datensatz ist nicht im Bearbeitungsmodus (AddNew oder Edit fehlt).");
    auto dbi = d->database();
    sqlite3* db = dbi->db;
    // The same table column may stand behind several fields: the last value set wins.
    std::vector<std::pair<std::string, const Value*>> cols;
    for (size_t i = 0; i < d->buffer.size(); ++i) {
        if (!d->dirty[i])
            continue;
        auto it = std::find_if(cols.begin(), cols.end(),
                               [&](const auto& c) { return foldKey(c.first) == foldKey(d->origin[i]); });
        if (it != cols.end())
            it->second = &d->buffer[i];
        else
            cols.emplace_back(d->origin[i], &d->buffer[i]);
    }
    const std::string table = jetsql::quote(d->table, '"');
    std::string sql;
    std::int64_t rowid = 0;
    if (d->mode == Impl::Mode::Add) {
        if (cols.empty()) {
            sql = "INSERT INTO " + table + " DEFAULT VALUES";
        } else {
            std::string names, params;
            for (size_t i = 0; i < cols.size(); ++i) {
                names += (i ? ", " : "") + jetsql::quote(cols[i].first, '"');
                params += (i ? ", ?" : "?") + std::to_string(i + 1);
            }
            sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + params + ")";
        }
    } else {
        rowid = d->rowids[static_cast<size_t>(d->pos)];
        if (cols.empty()) {
            d->leaveEdit();
            return;
        }
        sql = "UPDATE " + table + " SET ";
        for (size_t i = 0; i < cols.size(); ++i)
            sql += (i ? ", " : "") + jetsql::quote(cols[i].first, '"') + " = ?" + std::to_string(i + 1);
        sql += " WHERE rowid = ?" + std::to_string(cols.size() + 1);
    }
    Stmt st;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.s, nullptr) != SQLITE_OK)
        dbi->fail(sql);
    for (size_t i = 0; i < cols.size(); ++i)
        bindValue(st.s, static_cast<int>(i + 1), *cols[i].second);
    if (d->mode == Impl::Mode::Edit)
        sqlite3_bind_int64(st.s, static_cast<int>(cols.size() + 1), rowid);
    if (sqlite3_step(st.s) != SQLITE_DONE)
        dbi->fail(sql);
    if (d->mode == Impl::Mode::Add) {
        rowid = sqlite3_last_insert_rowid(db);
        std::vector<Value> row = d->buffer;
        d->readRow(rowid, row);
        // DAO keeps the record that was current before AddNew; at the end it stays at the end.
        const bool atEnd = d->pos >= d->count();
        d->rows.push_back(std::move(row));
        d->rowids.push_back(rowid);
        if (atEnd)
            d->pos = d->count();
    } else {
        d->readRow(rowid, d->rows[static_cast<size_t>(d->pos)]);
    }
    d->leaveEdit();
}

void Recordset::cancelUpdate()
{
    if (d)
        d->leaveEdit();
}

}  // namespace jet
