#include "jetdb.h"

#include "jetsql.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace jet {

namespace {

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Reals as VB prints them: '.', up to 15 significant digits, no trailing zeros.
// std::to_chars does not depend on the C locale (which Qt sets from the environment).
std::string formatReal(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Inf" : "Inf";
    if (v == 0)
        return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

// Leading number of a text as VB's lenient reading does: blanks skipped, a sign,
// digits with '.' and an exponent; nothing numeric gives 0.
double parseLeadingNumber(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    double v = 0;
    auto r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
    if (r.ec != std::errc())
        return 0;
    return negative ? -v : v;
}

std::int64_t roundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18)
        return INT64_MAX;
    if (v <= -9.2e18)
        return INT64_MIN;
    return static_cast<std::int64_t>(std::nearbyint(v));  // default rounding mode: to nearest even
}

}  // namespace

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

// ---------------------------------------------------------------- Database

struct Database::Impl {
    sqlite3* db = nullptr;
    std::filesystem::path path;

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

    sqlite3* require() const
    {
        if (!db)
            throw Error("Die Datenbank ist nicht geöffnet.");
        return db;
    }
};

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

}  // namespace

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

Database Database::open(const std::filesystem::path& file, bool create, bool readOnly)
{
    std::error_code ec;
    if (!create && !std::filesystem::exists(file, ec))
        throw Error("Die Datenbank " + file.string() + " wurde nicht gefunden.");
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    Database d;
    d.d = std::make_unique<Impl>();
    d.d->path = file;
    int rc = sqlite3_open_v2(file.string().c_str(), &d.d->db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
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
    return d;
}

Database Database::openMemory()
{
    Database d;
    d.d = std::make_unique<Impl>();
    if (sqlite3_open_v2(":memory:", &d.d->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw Error("Die Datenbank im Speicher kann nicht angelegt werden.");
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
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    sqlite3* db = d->require();
    std::string sql = jetsql::translate(jetSql);
    Stmt st;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.s, nullptr) != SQLITE_OK)
        d->fail(jetSql);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        d->fail(jetSql);
    return sqlite3_changes64(db);
}

void Database::executeNative(std::string_view sqliteSql)
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    std::string sql(sqliteSql);
    char* err = nullptr;
    if (sqlite3_exec(d->require(), sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
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
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    return namesOf(d->require(),
                   "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                   "ORDER BY name");
}

std::vector<std::string> Database::viewNames() const
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    return namesOf(d->require(), "SELECT name FROM sqlite_master WHERE type='view' ORDER BY name");
}

bool Database::hasTable(std::string_view name) const
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    Stmt st;
    sqlite3* db = d->require();
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ?1 COLLATE NOCASE",
                           -1, &st.s, nullptr) != SQLITE_OK)
        throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db));
    sqlite3_bind_text(st.s, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    return sqlite3_step(st.s) == SQLITE_ROW;
}

std::vector<ColumnInfo> Database::columns(std::string_view tableOrView) const
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    sqlite3* db = d->require();
    std::vector<ColumnInfo> out;
    Stmt st;
    if (sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info(?1)", -1, &st.s, nullptr) != SQLITE_OK)
        throw Error(std::string("Datenbankfehler: ") + sqlite3_errmsg(db));
    sqlite3_bind_text(st.s, 1, tableOrView.data(), static_cast<int>(tableOrView.size()), SQLITE_TRANSIENT);
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
    name_ = "jet_sp" + std::to_string(++counter);
    db.executeNative("SAVEPOINT " + name_);
}

Transaction::~Transaction()
{
    sqlite3* h = db_->handle();
    if (done_ || !h)
        return;
    std::string sql = "ROLLBACK TO " + name_ + "; RELEASE " + name_;
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
    Database::Impl* owner = nullptr;
    std::vector<std::string> names;
    std::unordered_map<std::string, int> index;  // lower-case name -> position
    std::vector<std::vector<Value>> rows;
    long pos = 0;
    bool beforeFirst = false;
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Database::query(std::string_view jetSql)
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    sqlite3* db = d->require();
    std::string sql = jetsql::translate(jetSql);
    Stmt st;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st.s, nullptr) != SQLITE_OK)
        d->fail(jetSql);
    Recordset rs;
    rs.d = std::make_unique<Recordset::Impl>();
    auto& r = *rs.d;
    r.owner = d.get();
    int n = sqlite3_column_count(st.s);
    for (int i = 0; i < n; ++i) {
        r.names.emplace_back(sqlite3_column_name(st.s, i));
        r.index.emplace(lowerAscii(r.names.back()), i);
    }
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.push_back(columnValue(st.s, i));
        r.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        d->fail(jetSql);
    return rs;
}

Recordset Database::openTable(std::string_view table)
{
    return query("SELECT * FROM " + jetsql::quote(table, '"'));
}

std::int64_t Database::runStoredQuery(std::string_view name)
{
    if (!d)
        throw Error("Die Datenbank ist nicht geöffnet.");
    sqlite3* db = d->require();
    Stmt st;
    if (sqlite3_prepare_v2(db, "SELECT sql FROM jet_stored_queries WHERE name = ?1 COLLATE NOCASE", -1, &st.s,
                           nullptr) != SQLITE_OK)
        d->fail("jet_stored_queries");
    sqlite3_bind_text(st.s, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_ROW)
        throw Error("Die gespeicherte Abfrage " + std::string(name) + " wurde nicht gefunden.");
    std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0));
    return execute(sql);
}

long Recordset::recordCount() const { return d ? static_cast<long>(d->rows.size()) : 0; }
bool Recordset::eof() const { return !d || d->pos >= static_cast<long>(d->rows.size()); }
bool Recordset::bof() const { return !d || d->rows.empty() || d->beforeFirst; }
void Recordset::moveFirst() { if (d) { d->pos = 0; d->beforeFirst = false; } }
void Recordset::moveNext()
{
    if (!d)
        return;
    if (d->beforeFirst)
        d->beforeFirst = false;
    else if (d->pos < static_cast<long>(d->rows.size()))
        ++d->pos;
}
void Recordset::movePrevious()
{
    if (!d)
        return;
    if (d->pos > 0)
        --d->pos;
    else
        d->beforeFirst = true;
}
void Recordset::moveLast()
{
    if (d) {
        d->pos = d->rows.empty() ? 0 : static_cast<long>(d->rows.size()) - 1;
        d->beforeFirst = false;
    }
}
long Recordset::absolutePosition() const { return eof() || bof() ? -1 : d->pos; }
double Recordset::percentPosition() const
{
    if (eof() || bof())
        return 0;
    return (d->pos + 1) * 100.0 / static_cast<double>(d->rows.size());
}
int Recordset::fieldCount() const { return d ? static_cast<int>(d->names.size()) : 0; }
std::string Recordset::fieldName(int index) const
{
    if (!d || index < 0 || index >= fieldCount())
        throw Error("Feld " + std::to_string(index) + " gibt es nicht.");
    return d->names[static_cast<size_t>(index)];
}
int Recordset::fieldIndex(std::string_view name) const
{
    if (!d)
        return -1;
    auto it = d->index.find(lowerAscii(name));
    return it == d->index.end() ? -1 : it->second;
}
const Value& Recordset::field(int index) const
{
    if (eof() || bof())
        throw Error("Kein aktueller Datensatz.");
    if (index < 0 || index >= fieldCount())
        throw Error("Feld " + std::to_string(index) + " gibt es nicht.");
    return d->rows[static_cast<size_t>(d->pos)][static_cast<size_t>(index)];
}
const Value& Recordset::field(std::string_view name) const
{
    int i = fieldIndex(name);
    if (i < 0)
        throw Error("Das Feld " + std::string(name) + " gibt es nicht.");
    return field(i);
}

void Recordset::addNew() { throw Error("Bearbeiten wird noch nicht unterstützt."); }
void Recordset::edit() { throw Error("Bearbeiten wird noch nicht unterstützt."); }
void Recordset::setField(int, Value) { throw Error("Bearbeiten wird noch nicht unterstützt."); }
void Recordset::setField(std::string_view, Value) { throw Error("Bearbeiten wird noch nicht unterstützt."); }
void Recordset::update() { throw Error("Bearbeiten wird noch nicht unterstützt."); }
void Recordset::cancelUpdate() {}

}  // namespace jet
