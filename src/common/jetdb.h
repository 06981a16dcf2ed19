#pragma once
// Database handle, statements and record sets on SQLite, speaking the Jet dialect.
// Record sets behave like DAO dynasets: the rows are known after opening (record count),
// move first/next/last, end of file, percent position, fields by position or name,
// adding and editing rows of a single-table set.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;

namespace jet {

// The table of stored action queries (name, Jet text), the same in imported and new databases.
inline constexpr const char* kStoredQueryTable = "jet_stored_queries";
inline constexpr const char* kStoredQueryTableDdl =
    "CREATE TABLE IF NOT EXISTS jet_stored_queries (name VARCHAR(64) COLLATE NOCASE PRIMARY KEY, sql LONGTEXT)";

// Every failure of the database layer; what() is the German message for the user,
// with the engine's own text where there is one.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Blob = std::vector<std::uint8_t>;

class Value {
public:
    Value() = default;  // Null
    Value(std::int64_t v) : v_(v) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(Blob v) : v_(std::move(v)) {}

    bool isNull() const { return v_.index() == 0; }
    bool isInt() const { return v_.index() == 1; }
    bool isReal() const { return v_.index() == 2; }
    bool isText() const { return v_.index() == 3; }
    bool isBlob() const { return v_.index() == 4; }

    // Conversions as VB does them on reading a field: Null gives "" / 0.
    std::string toString() const;       // numbers as decimal text, reals with '.'
    std::int64_t toInt() const;         // reals rounded half to even, text parsed (0 when not a number)
    double toDouble() const;
    const Blob& blob() const;           // empty for non-blobs

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string, Blob> v_;
};

struct ColumnInfo {
    std::string name;
    std::string declaredType;  // as declared: VARCHAR(50), INTEGER, BOOLEAN, LONGTEXT ...
};

class Recordset;
class Database;

// Begins a transaction; rolls back on destruction unless committed. Nests (savepoints).
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database* db_;
    std::string name_;
    bool done_ = false;
};

class Database {
public:
    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;

    // Opens an SQLite file (created when create is true and it is missing).
    // Throws Error with a German message when the file is not an SQLite database.
    static Database open(const std::filesystem::path& file, bool create = false, bool readOnly = false);
    static Database openMemory();

    bool isOpen() const;
    void close();
    const std::filesystem::path& path() const;

    // Runs one statement in the Jet dialect; returns the number of changed rows.
    std::int64_t execute(std::string_view jetSql);
    // Runs a statement given in SQLite's own dialect (schema work, pragmas); may hold several statements.
    void executeNative(std::string_view sqliteSql);
    // Opens a record set from a Jet SELECT.
    Recordset query(std::string_view jetSql);
    // A record set over a whole table, ready for addNew.
    Recordset openTable(std::string_view table);
    // Runs a stored action query of table jet_stored_queries by name.
    std::int64_t runStoredQuery(std::string_view name);

    std::vector<std::string> tableNames() const;  // user tables, without SQLite's own
    std::vector<std::string> viewNames() const;
    bool hasTable(std::string_view name) const;   // case-insensitive; tables and views
    std::vector<ColumnInfo> columns(std::string_view tableOrView) const;

    sqlite3* handle() const;

private:
    struct Impl;
    std::shared_ptr<Impl> d;  // shared with the record sets, which notice a closed database
    friend class Recordset;
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    long recordCount() const;
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    long absolutePosition() const;  // 0-based, -1 at eof
    double percentPosition() const; // 0..100, like DAO's PercentPosition

    int fieldCount() const;
    std::string fieldName(int index) const;
    int fieldIndex(std::string_view name) const;  // case-insensitive; -1 when absent
    const Value& field(int index) const;           // throws Error at eof or out of range
    const Value& field(std::string_view name) const;

    // Editing: addNew or edit, then setField, then update. Only for sets over one table.
    void addNew();
    void edit();
    void setField(int index, Value v);
    void setField(std::string_view name, Value v);
    void update();
    void cancelUpdate();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    friend class Database;
};

}  // namespace jet
