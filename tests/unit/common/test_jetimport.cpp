#include "common/jetimport.h"

#include "common/jetdb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>

#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

const fs::path kNwind = testsupport::fixture("jet/nwind.mdb");
const fs::path kDates = testsupport::fixture("jet/DateTestDatabase.mdb");
const fs::path kQueries = testsupport::fixture("jet/queryTestV2000.mdb");
const fs::path kNumeric = testsupport::fixture("jet/fixedNumericTestV2010.accdb");
const fs::path kCalculated = testsupport::fixture("jet/calculatedField.accdb");
const fs::path kBigInt = testsupport::fixture("jet/bigint.accdb");

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string run(const std::string& cmd) {
    int status = 0;
    std::string out = testsupport::runCommand(cmd, &status);
    EXPECT_EQ(status, 0) << cmd;
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from < text.size()) {
        size_t nl = text.find('\n', from);
        if (nl == std::string::npos) nl = text.size();
        if (nl > from) out.push_back(text.substr(from, nl - from));
        from = nl + 1;
    }
    return out;
}

// One mdb-export field: nullopt for an empty unquoted field (Null), else the text.
using Field = std::optional<std::string>;
using Row = std::vector<Field>;

// mdb-export's CSV: text in double quotes with "" inside, line breaks inside quoted fields.
std::vector<Row> parseCsv(const std::string& text) {
    std::vector<Row> rows(1);
    for (size_t i = 0; i < text.size(); ++i) {
        Field f;
        if (text[i] == '"') {
            std::string s;
            for (++i; i < text.size() && (text[i] != '"' || (i + 1 < text.size() && text[i + 1] == '"' && ++i)); ++i) s += text[i];
            f = s;
            ++i;
        } else {
            size_t end = std::min(text.find_first_of(",\n", i), text.size());
            if (end > i) f = text.substr(i, end - i);
            i = end;
        }
        rows.back().push_back(f);
        if (i >= text.size() || text[i] == '\n') rows.emplace_back();
    }
    rows.pop_back();
    return rows;
}

std::vector<Row> mdbExport(const fs::path& file, const std::string& table) {
    return parseCsv(run("mdb-export -b hex -T '%Y-%m-%d %H:%M:%S' " + shellQuote(file.string()) + " " + shellQuote(table)));
}

struct Db {
    sqlite3* db = nullptr;
    explicit Db(const fs::path& p) { EXPECT_EQ(sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK); }
    ~Db() { sqlite3_close(db); }

    struct Result {
        std::vector<std::string> names, types;
        std::vector<std::vector<int>> kinds;
        std::vector<std::vector<std::string>> values;  // text, blob bytes, or number printed
        std::vector<std::vector<double>> numbers;
    };
    Result query(const std::string& sql) {
        Result r;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
        if (!st) return r;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            r.names.push_back(sqlite3_column_name(st, c));
            const char* t = sqlite3_column_decltype(st, c);
            r.types.push_back(t ? t : "");
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<int> k;
            std::vector<std::string> v;
            std::vector<double> n;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                k.push_back(sqlite3_column_type(st, c));
                n.push_back(sqlite3_column_double(st, c));
                const void* p = k.back() == SQLITE_BLOB ? sqlite3_column_blob(st, c) : sqlite3_column_text(st, c);
                int len = sqlite3_column_bytes(st, c);
                v.emplace_back(p ? static_cast<const char*>(p) : "", p ? static_cast<size_t>(len) : 0);
            }
            r.kinds.push_back(std::move(k));
            r.values.push_back(std::move(v));
            r.numbers.push_back(std::move(n));
        }
        EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(st);
        return r;
    }
    std::string scalar(const std::string& sql) {
        auto r = query(sql);
        return r.values.empty() || r.values[0].empty() ? std::string("<none>") : r.values[0][0];
    }
};

std::string quoteIdent(const std::string& s) {
    std::string q = "\"";
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

int yearOf(const std::string& iso) { return iso.size() >= 4 ? std::stoi(iso.substr(0, 4)) : -1; }

struct CompareStats {
    int values = 0, nulls = 0, dates = 0, blobs = 0, skippedDates = 0, multiLine = 0;
};

// Compares one imported table with mdb-export's output for it, value by value.
void compareTable(const fs::path& jetFile, Db& db, const std::string& table, CompareStats& stats,
                  const std::set<std::string>& notDecoded = {}) {
    SCOPED_TRACE(table);
    auto expected = mdbExport(jetFile, table);
    ASSERT_FALSE(expected.empty());
    auto got = db.query("SELECT * FROM " + quoteIdent(table) + " ORDER BY rowid");
    ASSERT_EQ(got.names.size(), expected[0].size());
    for (size_t c = 0; c < got.names.size(); ++c) EXPECT_EQ(got.names[c], expected[0][c].value_or(""));
    ASSERT_EQ(got.values.size(), expected.size() - 1);
    for (size_t r = 0; r < got.values.size(); ++r) {
        const Row& want = expected[r + 1];
        ASSERT_EQ(want.size(), got.names.size()) << "row " << r;
        for (size_t c = 0; c < want.size(); ++c) {
            SCOPED_TRACE("row " + std::to_string(r) + " column " + got.names[c]);
            if (notDecoded.count(got.names[c])) continue;
            const std::string& type = got.types[c];
            int kind = got.kinds[r][c];
            const std::string& value = got.values[r][c];
            ++stats.values;
            if (type == "BOOLEAN") {  // Jet stores -1/0, mdb-export prints 1/0
                ASSERT_EQ(kind, SQLITE_INTEGER);
                EXPECT_EQ(got.numbers[r][c] != 0 ? "1" : "0", want[c].value_or("?"));
                continue;
            }
            if (!want[c]) {
                EXPECT_EQ(kind, SQLITE_NULL) << value;
                ++stats.nulls;
                continue;
            }
            ASSERT_NE(kind, SQLITE_NULL);
            const std::string& w = *want[c];
            if (type == "DATETIME") {
                ASSERT_EQ(kind, SQLITE_TEXT);
                // mdb-export cannot print years outside 1900..9998; those are checked by hand
                if (yearOf(value) < 1900 || yearOf(value) > 9998) {
                    ++stats.skippedDates;
                    continue;
                }
                EXPECT_EQ(value, w);
                ++stats.dates;
            } else if (type == "LONGBINARY" || type.rfind("VARBINARY", 0) == 0) {
                ASSERT_EQ(kind, SQLITE_BLOB);
                EXPECT_EQ(hex(value), w);
                ++stats.blobs;
            } else if (type == "CURRENCY") {
                EXPECT_NEAR(got.numbers[r][c], std::stod(w), 1e-9 * std::max(1.0, std::fabs(got.numbers[r][c])));
                EXPECT_EQ(std::round(got.numbers[r][c] * 10000), std::round(std::stod(w) * 10000));
            } else if (type == "FLOAT") {  // a single: equal as single
                EXPECT_EQ(static_cast<float>(got.numbers[r][c]), std::stof(w));
            } else if (type == "DOUBLE") {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.16g", got.numbers[r][c]);
                EXPECT_EQ(buf, w);
            } else if (type == "TINYINT" || type == "SMALLINT" || type == "INTEGER") {
                ASSERT_EQ(kind, SQLITE_INTEGER);
                EXPECT_EQ(value, w);
            } else {
                ASSERT_EQ(kind, SQLITE_TEXT) << type;
                EXPECT_EQ(value, w);
                if (value.find('\n') != std::string::npos) ++stats.multiLine;
            }
        }
    }
}

jetimport::Report importInto(const fs::path& jetFile, const fs::path& target) {
    jetimport::Report report;
    EXPECT_NO_THROW(report = jetimport::importFile(jetFile, target));
    return report;
}

// Declared type as our import must give it, from mdb-schema's own wording for the column.
std::string expectedType(const std::string& access) {
    static const std::map<std::string, std::string> plain = {
        {"Boolean", "BOOLEAN"}, {"Byte", "TINYINT"}, {"Integer", "SMALLINT"}, {"Long Integer", "INTEGER"},
        {"Currency", "CURRENCY"}, {"Single", "FLOAT"}, {"Double", "DOUBLE"}, {"DateTime", "DATETIME"},
        {"Replication ID", "GUID"}, {"Unknown_0013", "BIGINT"}};
    if (auto it = plain.find(access); it != plain.end()) return it->second;
    if (access.rfind("Text (", 0) == 0) return "VARCHAR(" + access.substr(6, access.size() - 7) + ")";
    if (access.rfind("Memo/Hyperlink", 0) == 0) return "LONGTEXT";
    if (access.rfind("OLE", 0) == 0) return "LONGBINARY";
    if (access.rfind("Numeric (", 0) == 0) {  // mdb-schema: Numeric (precision, scale)
        std::string ps = access.substr(9, access.size() - 10);
        ps.erase(std::remove(ps.begin(), ps.end(), ' '), ps.end());
        return "TEXT DECIMAL(" + ps + ")";
    }
    return "?" + access;
}

// The import of src must fail with a message holding `want` and leave nothing in target's
// folder; returns the message.
std::string expectRefused(const fs::path& src, const fs::path& target, const std::string& want) {
    fs::create_directories(target.parent_path());
    std::string message;
    try {
        jetimport::importFile(src, target);
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        message = e.what();
    }
    EXPECT_NE(message.find(want), std::string::npos) << message;
    EXPECT_TRUE(fs::is_empty(target.parent_path())) << "temporary file left behind";
    return message;
}

// nwind.mdb imported once for the tests that only read the result
struct Imported {
    TempDir dir;
    fs::path file = dir / "nwind.sqlite";
    jetimport::Report report = importInto(kNwind, file);
};
const Imported& nwind() {
    static Imported once;
    return once;
}

}  // namespace

TEST(JetImportDetect, RecognisesFilesByTheirFirstBytes) {
    TempDir dir;
    {  // an SQLite file named like a Jet file
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir / "kickora.mdb").c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    fs::copy_file(kNwind, dir / "daten.sqlite");  // a Jet file named like anything
    std::string ace = testsupport::readFile(kDates);
    ace.replace(4, 15, "Standard ACE DB");  // Access 2007+ counts as Jet
    testsupport::writeFile(dir / "ace.accdb", ace);
    std::string almost = testsupport::readFile(kNwind).substr(0, 4096);
    almost[3] = 1;  // signature bytes wrong
    const std::pair<const char*, std::string> junk[] = {
        {"empty.mdb", ""}, {"text.mdb", "Standard Jet DB, but as text\n"}, {"short.mdb", "SQLite format"}, {"almost.mdb", almost}};
    for (auto& [name, bytes] : junk) testsupport::writeFile(dir / name, bytes);
    fs::create_directory(dir / "folder.mdb");
    using K = jetimport::FileKind;
    const std::pair<fs::path, K> cases[] = {
        {dir / "missing.mdb", K::Missing}, {kNwind, K::Jet}, {kDates, K::Jet}, {dir / "kickora.mdb", K::Sqlite},
        {dir / "daten.sqlite", K::Jet}, {dir / "ace.accdb", K::Jet}, {dir / "empty.mdb", K::Other},
        {dir / "text.mdb", K::Other}, {dir / "short.mdb", K::Other}, {dir / "almost.mdb", K::Other}, {dir / "folder.mdb", K::Other}};
    for (auto& [file, kind] : cases) EXPECT_EQ(jetimport::detect(file), kind) << file;
}

TEST(JetImportData, EveryNwindTableEqualsMdbExport) {
    EXPECT_EQ(jetimport::detect(nwind().file), jetimport::FileKind::Sqlite);
    auto tables = lines(run("mdb-tables -1 " + shellQuote(kNwind.string())));
    ASSERT_EQ(tables.size(), 9u);
    EXPECT_EQ(nwind().report.tables, tables);
    EXPECT_NE(std::find(tables.begin(), tables.end(), "Umsätze"), tables.end());

    Db db(nwind().file);
    CompareStats stats;
    for (auto& t : tables) compareTable(kNwind, db, t, stats);
    // the comparison really covered each kind of value
    EXPECT_GT(stats.values, 20000);
    EXPECT_GT(stats.nulls, 100);
    EXPECT_GT(stats.dates, 2000);
    EXPECT_EQ(stats.blobs, 8 + 9);  // category pictures, employee photos
    EXPECT_GT(stats.multiLine, 0);
    EXPECT_EQ(stats.skippedDates, 0);
    // no MSys tables
    EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE name LIKE 'MSys%'"), "0");
}

TEST(JetImportData, DateTestEqualsMdbExportAndFarDatesAreRight) {
    TempDir dir;
    auto report = importInto(kDates, dir / "dates.sqlite");
    ASSERT_EQ(report.tables, std::vector<std::string>{"DateTest"});
    Db db(dir / "dates.sqlite");
    CompareStats stats;
    compareTable(kDates, db, "DateTest", stats);
    EXPECT_EQ(stats.skippedDates, 8);  // all but 1900-01-01 of rows 2 to 4
    EXPECT_EQ(stats.dates, 10);

    // Day counts in the file, converted by hand: 2958101 = 9999-01-01; -728 = 1898-01-01,
    // -363 = 1899-01-01, 2 = 1900-01-01; -463126 = 0632-01-01, -462760 = 0633-01-01,
    // -462395 = 0634-01-01 (proleptic Gregorian calendar, as Jet counts).
    auto r = db.query("SELECT IDCol, DateTimeCol, DateCol, TimeCol FROM DateTest WHERE IDCol IN (2, 3, 4) ORDER BY IDCol");
    ASSERT_EQ(r.values.size(), 3u);
    std::vector<std::vector<std::string>> want = {
        {"2", "9999-01-01 00:00:00", "9999-01-01 00:00:00", "9999-01-01 00:00:00"},
        {"3", "1898-01-01 00:00:00", "1899-01-01 00:00:00", "1900-01-01 00:00:00"},
        {"4", "0632-01-01 00:00:00", "0633-01-01 00:00:00", "0634-01-01 00:00:00"}};
    EXPECT_EQ(r.values, want);

    // memo and text with their line breaks exactly as stored
    EXPECT_EQ(db.scalar("SELECT LongTextCol FROM DateTest WHERE IDCol = 6"), "New line\r\nin field");
    EXPECT_EQ(db.scalar("SELECT LongTextCol FROM DateTest WHERE IDCol = 5"), "Escaped new line \\r\\n in field");
}

TEST(JetImportData, DateConversionFollowsJetsRules) {
    const std::pair<double, const char*> cases[] = {
        {0, "1899-12-30 00:00:00"}, {1.5, "1899-12-31 12:00:00"},
        // negative: the integer part is the day, the fraction's absolute value the time
        {-1.5, "1899-12-29 12:00:00"}, {-1.25, "1899-12-29 06:00:00"}, {-0.75, "1899-12-30 18:00:00"},
        {36585.0, "2000-02-29 00:00:00"},  // leap day of a 400-year; 2100 has none
        {73109.0, "2100-02-28 00:00:00"}, {73110.0, "2100-03-01 00:00:00"}, {-36522.0, "1800-01-01 00:00:00"},
        {-657434.0, "0100-01-01 00:00:00"}, {2958465.0, "9999-12-31 00:00:00"},  // Jet's first and last day
        // times round to the second; a third of a day is 08:00:00, not 07:59:59
        {44532.0 + 1.0 / 3.0, "2021-12-02 08:00:00"}, {44532.0 + 86399.6 / 86400.0, "2021-12-03 00:00:00"},
        {-2.0 - 86399.6 / 86400.0, "1899-12-29 00:00:00"}, {2958465.0 + 86399.0 / 86400.0, "9999-12-31 23:59:59"},
        {2958465.0 + 86399.7 / 86400.0, "9999-12-31 23:59:59"},
        // outside Jet's range there is no date
        {-657435.0, ""}, {2958466.0, ""}, {std::nan(""), ""}};
    for (auto [days, want] : cases) EXPECT_EQ(jetimport::dateText(days), want) << days;
}

TEST(JetImportSchema, ColumnsInOrderWithDeclaredTypes) {
    TempDir dir;
    importInto(kDates, dir / "d.sqlite");
    importInto(kNumeric, dir / "n.sqlite");
    importInto(kBigInt, dir / "b.sqlite");
    for (auto [jetFile, target] : {std::pair{kNwind, nwind().file}, std::pair{kDates, dir / "d.sqlite"},
                                   std::pair{kNumeric, dir / "n.sqlite"}, std::pair{kBigInt, dir / "b.sqlite"}}) {
        Db db(target);
        // mdb-schema's Access wording is the oracle for name, order and type of every column
        std::string table;
        int checked = 0;
        std::vector<std::pair<std::string, std::string>> want;
        auto flush = [&] {
            if (table.empty()) return;
            auto got = db.query("SELECT * FROM " + quoteIdent(table) + " LIMIT 0");
            ASSERT_EQ(got.names.size(), want.size()) << table;
            for (size_t i = 0; i < want.size(); ++i) {
                EXPECT_EQ(got.names[i], want[i].first) << table;
                EXPECT_EQ(got.types[i], expectedType(want[i].second)) << table << "." << want[i].first;
                ++checked;
            }
            want.clear();
        };
        for (auto& line : lines(run("mdb-schema " + shellQuote(jetFile.string()) + " access"))) {
            if (line.rfind("CREATE TABLE [", 0) == 0) {
                flush();
                table = line.substr(14, line.size() - 15);
            } else if (line.size() > 2 && line[0] == '\t' && line[1] == '[') {
                size_t close = line.find(']');
                std::string type = line.substr(line.find_first_not_of('\t', close + 1));
                if (auto p = type.find(" NOT NULL"); p != std::string::npos) type.erase(p);
                while (!type.empty() && (type.back() == ',' || type.back() == ' ')) type.pop_back();
                want.emplace_back(line.substr(2, close - 2), type);
            }
        }
        flush();
        EXPECT_GT(checked, 1) << jetFile;
    }
    // text and memo compare without regard to case, as in Jet
    Db db(nwind().file);
    std::string london = db.scalar("SELECT count(*) FROM Customers WHERE City = 'London'");
    EXPECT_NE(london, "0");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Customers WHERE City = 'LONDON'"), london);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Categories WHERE Description = 'CHEESES'"), "1");
    auto sql = db.scalar("SELECT sql FROM sqlite_master WHERE name = 'Employees'");
    EXPECT_NE(sql.find("\"Notes\" LONGTEXT COLLATE NOCASE"), std::string::npos) << sql;
    EXPECT_NE(sql.find("\"LastName\" VARCHAR(20) COLLATE NOCASE"), std::string::npos) << sql;
    // yes/no as Jet stores it, money as exact cents
    EXPECT_EQ(db.scalar("SELECT group_concat(DISTINCT Discontinued) FROM (SELECT Discontinued FROM Products ORDER BY 1)"), "-1,0");
    EXPECT_EQ(db.scalar("SELECT printf('%.4f', UnitPrice) FROM Products WHERE ProductID = 1"), "18.0000");
}

TEST(JetImportQueries, SelectQueriesBecomeViewsOthersAreKeptWithRebuiltText) {
    const auto& report = nwind().report;
    const fs::path& file = nwind().file;
    auto queries = lines(run("mdb-queries -L -1 " + shellQuote(kNwind.string())));
    ASSERT_EQ(queries.size(), 22u);
    // every stored query is either a view or kept, never both, never lost
    std::set<std::string> seen;
    for (auto& v : report.views) EXPECT_TRUE(seen.insert(v).second) << v;
    std::map<std::string, std::string> kept;
    for (auto& k : report.keptQueries) {
        EXPECT_TRUE(seen.insert(k.name).second) << k.name;
        EXPECT_FALSE(k.reason.empty() || k.sql.empty()) << k.name;
        kept[k.name] = k.sql;
    }
    EXPECT_EQ(seen, std::set<std::string>(queries.begin(), queries.end()));

    Db db(file);
    EXPECT_EQ(db.query("SELECT name FROM sqlite_master WHERE type = 'view'").values.size(), report.views.size());
    for (auto& v : report.views) EXPECT_EQ(db.query("SELECT count(*) FROM " + quoteIdent(v)).values.size(), 1u) << v;
    auto stored = db.query("SELECT name, sql FROM jet_stored_queries ORDER BY rowid");
    ASSERT_EQ(stored.values.size(), report.keptQueries.size());
    for (size_t i = 0; i < stored.values.size(); ++i)
        EXPECT_EQ(stored.values[i], (std::vector<std::string>{report.keptQueries[i].name, report.keptQueries[i].sql}));

    // A stored query is kept as rows (tables, joins, columns, flags); its text is rebuilt.
    // Parameter queries are always kept, so their text is compared whole.
    for (auto* name : {"Employee Sales by Country", "Sales by Year"})
        for (auto& k : report.keptQueries)
            if (k.name == name) {
                EXPECT_EQ(k.reason, "Parameterabfrage") << name;
            }
    EXPECT_EQ(kept["Employee Sales by Country"],
              "PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime;\n"
              "SELECT DISTINCTROW Employees.Country, Employees.LastName, Employees.FirstName, Orders.ShippedDate, "
              "Orders.OrderID, [Order Subtotals].Subtotal AS SaleAmount\n"
              "FROM Employees INNER JOIN (Orders INNER JOIN [Order Subtotals] ON Orders.OrderID = [Order Subtotals].OrderID) "
              "ON Employees.EmployeeID = Orders.EmployeeID\n"
              "WHERE (((Orders.ShippedDate) Between [Beginning Date] And [Ending Date]))");
    EXPECT_EQ(kept["Sales by Year"],
              "PARAMETERS [Forms!Sales by Year Dialog!BeginningDate] DateTime, [Forms!Sales by Year Dialog!EndingDate] DateTime;\n"
              "SELECT DISTINCTROW Orders.ShippedDate, Orders.OrderID, [Order Subtotals].Subtotal, Format([ShippedDate],\"yyyy\") AS Year\n"
              "FROM Orders INNER JOIN [Order Subtotals] ON Orders.OrderID = [Order Subtotals].OrderID\n"
              "WHERE (((Orders.ShippedDate) Is Not Null And (Orders.ShippedDate) Between [Forms]![Sales by Year Dialog]![BeginningDate] "
              "And [Forms]![Sales by Year Dialog]![EndingDate]))");
    // a crosstab has no SQLite form
    EXPECT_EQ(kept["Quarterly Orders by Product"],
              "TRANSFORM Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS ProductAmount\n"
              "SELECT DISTINCTROW Products.ProductName, Orders.CustomerID, Year([OrderDate]) AS OrderYear\n"
              "FROM Products INNER JOIN (Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID) "
              "ON Products.ProductID = [Order Details].ProductID\n"
              "WHERE (((Orders.OrderDate) Between #1/1/95# And #12/31/95#))\n"
              "GROUP BY Products.ProductName, Orders.CustomerID, Year([OrderDate])\n"
              "PIVOT \"Qtr \" & DatePart(\"q\",[OrderDate],1,0) In (\"Qtr 1\",\"Qtr 2\",\"Qtr 3\",\"Qtr 4\")");

    // Others become views as the translation allows: then their row count must be what the
    // rebuilt query means, else their text is checked.
    struct Case {
        const char* name;
        std::string oracleCount, keptText;
    };
    const Case cases[] = {
        {"Current Product List", "SELECT count(*) FROM Products WHERE NOT Discontinued",  // a table under another name
         "SELECT [Product List].ProductID, [Product List].ProductName\nFROM Products AS [Product List]\n"
         "WHERE ((([Product List].Discontinued)=No))\nORDER BY [Product List].ProductName"},
        {"Customers and Suppliers by City",  // UNION of two stored parts, without ALL
         "SELECT count(*) FROM (SELECT City, CompanyName, ContactName FROM Customers UNION "
         "SELECT City, CompanyName, ContactName FROM Suppliers)",
         "SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship]\nFROM Customers\n"
         "UNION SELECT City, CompanyName, ContactName, \"Suppliers\"\nFROM Suppliers\nORDER BY City, CompanyName"},
        {"Quarterly Orders",  // RIGHT JOIN
         "SELECT count(DISTINCT Orders.OrderID) FROM Orders LEFT JOIN Customers ON Customers.CustomerID = Orders.CustomerID "
         "WHERE Orders.OrderDate BETWEEN '1995-01-01' AND '1995-12-31 23:59:59'",
         "FROM Customers RIGHT JOIN Orders ON Customers.CustomerID = Orders.CustomerID"},
        {"Invoices",  // six tables in nested INNER JOINs
         "SELECT count(*) FROM \"Order Details\" d JOIN Orders o ON o.OrderID = d.OrderID "
         "JOIN Customers c ON c.CustomerID = o.CustomerID JOIN Employees e ON e.EmployeeID = o.EmployeeID "
         "JOIN Products p ON p.ProductID = d.ProductID JOIN Shippers s ON s.ShipperID = o.ShipVia",
         "FROM Shippers INNER JOIN (Products INNER JOIN ((Employees INNER JOIN (Customers INNER JOIN "
         "Orders ON Customers.CustomerID = Orders.CustomerID) ON Employees.EmployeeID = "
         "Orders.EmployeeID) INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID) "
         "ON Products.ProductID = [Order Details].ProductID) ON Shippers.ShipperID = Orders.ShipVia"},
    };
    auto isView = [&](const std::string& name) {
        return std::find(report.views.begin(), report.views.end(), name) != report.views.end();
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (isView(c.name)) {
            EXPECT_EQ(db.scalar("SELECT count(*) FROM " + quoteIdent(c.name)), db.scalar(c.oracleCount));
        } else {
            EXPECT_NE(kept[c.name].find(c.keptText), std::string::npos) << kept[c.name];
        }
    }
    // DISTINCTROW and TOP 10 together, a column alias, descending order
    if (isView("Ten Most Expensive Products")) {
        auto r = db.query("SELECT * FROM \"Ten Most Expensive Products\"");
        EXPECT_EQ(r.names, (std::vector<std::string>{"TenMostExpensiveProducts", "UnitPrice"}));
        ASSERT_EQ(r.values.size(), 10u);
        EXPECT_EQ(r.values[0][1], db.scalar("SELECT max(UnitPrice) FROM Products"));
        EXPECT_EQ(r.values[0][0], "Côte de Blaye");
    } else {
        EXPECT_EQ(kept["Ten Most Expensive Products"],
                  "SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice\n"
                  "FROM Products\nORDER BY Products.UnitPrice DESC");
    }
    // GROUP BY with an alias; order 10248 is 12 x 14.00 + 10 x 9.80 + 5 x 34.80 = 440.00
    if (isView("Order Subtotals")) {
        EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Order Subtotals\""), "830");
        EXPECT_EQ(db.scalar("SELECT printf('%.2f', Subtotal) FROM \"Order Subtotals\" WHERE OrderID = 10248"), "440.00");
    }
}

TEST(JetImportFailure, DamagedFilesGiveAnErrorAndLeaveNothing) {
    TempDir dir;
    const std::string original = testsupport::readFile(kNwind);
    const size_t page = 2048;
    std::mt19937 rng(12345);
    std::string random(64 * page, '\0');
    for (auto& c : random) c = static_cast<char>(rng());
    std::string jetHeadRandomBody = original.substr(0, page) + random;  // passes the header check
    std::string scrambled = original;  // catalog pages overwritten
    for (size_t i = 2 * page; i < 6 * page; ++i) scrambled[i] = static_cast<char>(rng());

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cut-at-page.mdb", original.substr(0, (original.size() / 2 / page) * page)},
        {"cut-anywhere.mdb", original.substr(0, original.size() / 3 + 17)},
        {"random.mdb", random},
        {"jet-head-random-body.mdb", jetHeadRandomBody},
        {"scrambled.mdb", scrambled},
        {"empty.mdb", ""},
    };
    for (auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        fs::path src = dir / name;
        testsupport::writeFile(src, bytes);
        ASSERT_EQ(::chmod(src.c_str(), 0444), 0);  // nothing may write the source
        const std::string message = expectRefused(src, dir / "out" / (name + ".sqlite"), "keine lesbare Access-Datenbank");
        EXPECT_NE(message.find(src.string()), std::string::npos) << message;
        EXPECT_EQ(testsupport::readFile(src), bytes);
    }
    // missing source
    EXPECT_THROW(jetimport::importFile(dir / "nothing.mdb", dir / "x.sqlite"), jet::Error);
    EXPECT_FALSE(fs::exists(dir / "x.sqlite"));
    // an existing target is never replaced
    testsupport::writeFile(dir / "kickora.mdb", "precious");
    auto entries = [&] { return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()); };
    const auto before = entries();
    try {
        jetimport::importFile(kNwind, dir / "kickora.mdb");
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("existiert bereits"), std::string::npos) << e.what();
    }
    EXPECT_EQ(testsupport::readFile(dir / "kickora.mdb"), "precious");
    EXPECT_EQ(entries(), before) << "temporary file left behind";
}

TEST(JetImportFailure, ReadingThatLoopsForeverIsStopped) {
    // Twenty bytes changed in nwind.mdb (found by fuzzing) make libmdb's catalog reading loop
    // and allocate without end; mdb-tables never returns on this file.
    TempDir dir;
    std::string bytes = testsupport::readFile(kNwind);
    const std::pair<size_t, int> patches[] = {
        {260705, 108}, {271586, 28},  {309843, 22},   {353757, 201},  {511418, 171},  {647465, 187},  {744873, 22},
        {845583, 38},  {1119585, 243}, {1132096, 22}, {1166495, 127}, {1248725, 53},  {1506241, 150}, {1580881, 170},
        {1724091, 48}, {1800425, 209}, {1946922, 46}, {2268321, 34},  {2672307, 163}, {2851433, 81}};
    for (auto [at, value] : patches) bytes[at] = static_cast<char>(value);
    testsupport::writeFile(dir / "stuck.mdb", bytes);
    fs::create_directory(dir / "out");

    // Whether libmdb loops depends on memory it reads uninitialised, so several runs with
    // different name lengths; each must end soon, with an error or with a database.
    ::setenv("KICKORA_IMPORT_STALL_SECONDS", "1", 1);
    for (int i = 0; i < 6; ++i) {
        fs::path target = dir / "out" / (std::string(static_cast<size_t>(i * 7 + 1), 'x') + ".sqlite");
        try {
            jetimport::importFile(dir / "stuck.mdb", target);
            fs::remove(target);
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find("keine lesbare Access-Datenbank"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(fs::is_empty(dir / "out"));
        // the reading process is gone
        int status;
        EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }
    ::unsetenv("KICKORA_IMPORT_STALL_SECONDS");
}

TEST(JetImportProgress, ReportsEachTableAndCanBeStopped) {
    TempDir dir;
    const fs::path copy = dir / "nwind.mdb";
    fs::copy_file(kNwind, copy);
    std::vector<std::pair<int, int>> calls;
    auto report = jetimport::importFile(copy, dir / "a.sqlite", [&](int done, int total) { calls.emplace_back(done, total); });
    ASSERT_EQ(calls.size(), report.tables.size() + 1);
    for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i], std::make_pair(static_cast<int>(i), 9));
    EXPECT_EQ(testsupport::readFile(copy), testsupport::readFile(kNwind));

    // a callback that throws stops the import; nothing is left behind
    struct Stop {};
    EXPECT_THROW(jetimport::importFile(copy, dir / "b.sqlite",
                                       [](int done, int) {
                                           if (done == 3) throw Stop{};
                                       }),
                 Stop);
    EXPECT_FALSE(fs::exists(dir / "b.sqlite"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // the imported file is a complete database for jetdb
    jet::Database db = jet::Database::open(dir / "a.sqlite");
    EXPECT_TRUE(db.hasTable("jet_stored_queries"));
    EXPECT_TRUE(db.hasTable("Umsätze"));
}

namespace {

void putLe(std::string& bytes, size_t at, uint64_t v, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

// The one table definition page (type 2) whose row count at countAt is `rows`.
size_t definitionWithRowCount(const std::string& file, size_t pageSize, size_t countAt, uint32_t rows) {
    std::vector<size_t> found;
    for (size_t pg = 0; (pg + 1) * pageSize <= file.size(); ++pg) {
        const auto* p = reinterpret_cast<const unsigned char*>(file.data() + pg * pageSize);
        uint32_t count = p[countAt] | p[countAt + 1] << 8 | p[countAt + 2] << 16 | static_cast<uint32_t>(p[countAt + 3]) << 24;
        if (p[0] == 0x02 && p[1] == 0x01 && count == rows) found.push_back(pg);
    }
    EXPECT_EQ(found.size(), 1u) << "table definition with " << rows << " rows";
    return found.empty() ? 0 : found[0];
}

// Data pages (type 1) owned by the table definition on page tdef.
std::vector<size_t> dataPagesOf(const std::string& file, size_t pageSize, size_t tdef) {
    std::vector<size_t> out;
    for (size_t pg = 0; (pg + 1) * pageSize <= file.size(); ++pg) {
        const auto* p = reinterpret_cast<const unsigned char*>(file.data() + pg * pageSize);
        if (p[0] == 0x01 && (p[4] | p[5] << 8 | p[6] << 16 | static_cast<uint32_t>(p[7]) << 24) == tdef) out.push_back(pg);
    }
    return out;
}

std::string declared(Db& db, const std::string& table, const std::string& column) {
    return db.scalar("SELECT type FROM pragma_table_info(" + quoteIdent(table) + ") WHERE name = '" + column + "'");
}

}  // namespace

TEST(JetImportWild, StaleRowCountsAreNoDamage) {
    // Access updates a table definition's row count lazily: every row on the data pages counts.
    TempDir dir;
    importInto(kDates, dir / "dates.sqlite");
    struct Case {
        fs::path file;
        size_t pageSize, countAt;  // Jet 3: 2 KB pages, count at 12; Jet 4: 4 KB, at 16
        const char* table;
        uint32_t rows, stale;
        fs::path reference;
    };
    const Case cases[] = {
        {kNwind, 2048, 12, "Customers", 91, 0, nwind().file},      {kNwind, 2048, 12, "Customers", 91, 5, nwind().file},
        {kNwind, 2048, 12, "Customers", 91, 92, nwind().file},     {kNwind, 2048, 12, "Customers", 91, 0x7fffffff, nwind().file},
        {kDates, 4096, 16, "DateTest", 6, 0, dir / "dates.sqlite"}, {kDates, 4096, 16, "DateTest", 6, 7, dir / "dates.sqlite"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " counted as " + std::to_string(c.stale));
        std::string bytes = testsupport::readFile(c.file);
        size_t tdef = definitionWithRowCount(bytes, c.pageSize, c.countAt, c.rows);
        ASSERT_NE(tdef, 0u);
        putLe(bytes, tdef * c.pageSize + c.countAt, c.stale, 4);
        fs::path src = dir / ("stale" + std::to_string(n) + ".mdb"), target = dir / ("stale" + std::to_string(n++) + ".sqlite");
        testsupport::writeFile(src, bytes);
        importInto(src, target);
        Db got(target), want(c.reference);
        std::string all = "SELECT * FROM " + quoteIdent(c.table) + " ORDER BY rowid";
        EXPECT_EQ(got.scalar("SELECT count(*) FROM " + quoteIdent(c.table)), std::to_string(c.rows));
        EXPECT_EQ(got.query(all).values, want.query(all).values);
    }

    // a real file whose MSysQueries holds more rows than its count: every stored query comes through
    auto report = importInto(kQueries, dir / "queries.sqlite");
    EXPECT_EQ(report.tables, lines(run("mdb-tables -1 " + shellQuote(kQueries.string()))));
    std::set<std::string> seen(report.views.begin(), report.views.end());
    for (auto& k : report.keptQueries) seen.insert(k.name);
    auto queries = lines(run("mdb-queries -L -1 " + shellQuote(kQueries.string())));
    EXPECT_EQ(seen, std::set<std::string>(queries.begin(), queries.end()));
    EXPECT_EQ(seen.size(), report.views.size() + report.keptQueries.size());
    Db db(dir / "queries.sqlite");
    CompareStats stats;
    for (auto& t : report.tables) compareTable(kQueries, db, t, stats);
}

TEST(JetImportWild, NewerFilesHoldTheirOwnValues) {
    TempDir dir;
    struct Case {
        fs::path file;
        const char* table;
        std::set<std::string> notDecoded;  // by mdbtools: checked against the file's format below
        std::string sql;
        std::vector<std::vector<std::string>> want;
        std::vector<std::pair<std::string, std::string>> types;  // column, declared type
    };
    const Case cases[] = {
        // Large Number: 8 bytes little-endian, 2A 00 .. 00 in the file
        {kBigInt, "Table", {"Numeric"}, "SELECT ID, Numeric, typeof(Numeric) FROM \"Table\"", {{"1", "42", "integer"}},
         {{"Numeric", "BIGINT"}}},
        // %markup = ([retail]/[wholesale]-1)*100, stored by Access as a wrapped double
        {kCalculated, "products", {"%markup"},
         "SELECT id, printf('%g', \"%markup\"), typeof(\"%markup\") FROM products ORDER BY id",
         {{"1", "50", "real"}, {"2", "10", "real"}}, {{"%markup", "DOUBLE"}, {"retail", "CURRENCY"}}},
        // calculated text columns; no rows stored
        {kCalculated, "clcdFlds", {}, "SELECT count(*) FROM clcdFlds", {{"0"}}, {{"clcd1", "VARCHAR(243)"}}},
        // Numeric (18, 0) kept in its fixed-length form
        {kNumeric, "test", {}, "SELECT col1, col2, col3, col4, col5, col6, col7, typeof(col2) FROM test",
         {{"some data", "1", "0", "0", "4", "-1", "1", "text"}}, {{"col2", "TEXT DECIMAL(18,0)"}}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.filename().string() + " " + c.table);
        fs::path target = dir / ("n" + std::to_string(n++) + ".sqlite");
        importInto(c.file, target);
        Db db(target);
        CompareStats stats;
        compareTable(c.file, db, c.table, stats, c.notDecoded);
        EXPECT_EQ(db.query(c.sql).values, c.want);
        for (auto& [column, type] : c.types) EXPECT_EQ(declared(db, c.table, column), type) << column;
    }
}

TEST(JetImportWild, DecimalsKeepEveryDigit) {
    // fixedNumericTestV2010's six Numeric columns given other precisions, scales and values.
    // A value is a sign byte (0x80 negative) and 16 bytes: four 32-bit words, each little-endian,
    // the most significant first. Column entries of table `test` start at 323647 (25 bytes each,
    // precision at +11, scale at +12); its row's fixed values at 335740 (17 bytes each).
    struct Case {
        int precision, scale;
        const char* magnitude;
        bool negative;
        const char* want;
    };
    const Case cases[] = {
        {18, 6, "102030405060654321", false, "102030405060.654321"},
        {18, 4, "15000", true, "-1.5000"},
        {28, 0, "9999999999999999999999999999", false, "9999999999999999999999999999"},
        {28, 28, "1", false, "0.0000000000000000000000000001"},
        {18, 2, "0", true, "0.00"},
        {12, 3, "4294967296", false, "4294967.296"},  // crosses into the second word
    };
    std::string bytes = testsupport::readFile(kNumeric);
    ASSERT_EQ(bytes.substr(335740, 17), std::string(13, '\0') + std::string("\x01\0\0\0", 4));  // col2 = 1
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        size_t entry = 323647 + (i + 1) * 25;
        ASSERT_EQ(bytes[entry], 0x10) << "column entry of a Numeric column";
        bytes[entry + 11] = static_cast<char>(c.precision);
        bytes[entry + 12] = static_cast<char>(c.scale);
        unsigned __int128 v = 0;
        for (const char* d = c.magnitude; *d; ++d) v = v * 10 + static_cast<unsigned>(*d - '0');
        size_t at = 335740 + i * 17;
        bytes[at] = c.negative ? '\x80' : '\0';
        for (int w = 0; w < 4; ++w) putLe(bytes, at + 1 + w * 4, static_cast<uint32_t>(v >> (32 * (3 - w))), 4);
    }
    TempDir dir;
    testsupport::writeFile(dir / "numeric.accdb", bytes);
    importInto(dir / "numeric.accdb", dir / "n.sqlite");
    Db db(dir / "n.sqlite");
    auto r = db.query("SELECT col2, col3, col4, col5, col6, col7 FROM test");
    ASSERT_EQ(r.values.size(), 1u);
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string column = "col" + std::to_string(i + 2);
        EXPECT_EQ(r.values[0][i], cases[i].want) << column;
        EXPECT_EQ(r.kinds[0][i], SQLITE_TEXT) << column;
        EXPECT_EQ(declared(db, "test", column),
                  "TEXT DECIMAL(" + std::to_string(cases[i].precision) + "," + std::to_string(cases[i].scale) + ")");
    }
    // still the number it is, for arithmetic
    EXPECT_EQ(db.scalar("SELECT col2 * 2 FROM test"), "204060810121.309");
}

TEST(JetImportData, ExtendedDatesFollowTheStoredText) {
    // days since 0001-01-01 (19 digits), ':', seconds of the day (12) and 100 ns (7), ":7" and a NUL
    const std::pair<std::string, const char*> cases[] = {
        {std::string("0000000000000000000:0000000000000000000:7\0", 42), "0001-01-01 00:00:00.0000000"},
        {"0000000000000738153:0000000452967891234:7 ", "2021-12-30 12:34:56.7891234"},
        {"0000000000000365240:0000000452967891234:7 ", "1000-12-30 12:34:56.7891234"},
        {"0000000000000693593:0000000000000000000:7 ", "1899-12-30 00:00:00.0000000"},
        {"0000000000003652058:0000000863999999999:7 ", "9999-12-31 23:59:59.9999999"},
        // no such value
        {"0000000000003652059:0000000000000000000:7 ", ""}, {"0000000000000000000:0000000864000000000:7 ", ""},
        {"000000000000000000x:0000000000000000000:7 ", ""}, {"0000000000000000000-0000000000000000000:7 ", ""},
        {"0000000000000000000:000000000000", ""}, {"", ""}};
    for (auto& [stored, want] : cases) EXPECT_EQ(jetimport::extendedDateText(stored), want) << stored;
}

TEST(JetImportFailure, DamagedPagesAndRowsAreRefused) {
    // Customers of nwind.mdb: definition on page 77, data pages 79 to 85 (2 KB pages; a data
    // page holds its type at 0, its table's definition page at 4, its row count at 8 and the
    // row offsets from 10).
    const std::string original = testsupport::readFile(kNwind);
    const size_t page = 2048;
    ASSERT_EQ(dataPagesOf(original, page, 77), (std::vector<size_t>{79, 80, 81, 82, 83, 84, 85}));
    struct Case {
        const char* name;
        size_t at;
        std::string bytes;
    };
    const Case cases[] = {
        {"index page among the data pages", 81 * page, "\x04"},
        {"data page of another table", 81 * page + 4, std::string("\x5e\0\0\0", 4)},
        {"row reaching beyond its page", 81 * page + 10, "\xff\x0f"},
        // page 81's first row ends the page: null mask (2 bytes), variable column count, their offsets
        {"row whose column reaches beyond the row", 82 * page - 5, "\xf0"},
    };
    TempDir dir;
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = original;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        testsupport::writeFile(dir / "damaged.mdb", bytes);
        expectRefused(dir / "damaged.mdb", dir / "out" / "x.sqlite", "keine lesbare Access-Datenbank (sie ist beschädigt)");
    }
}

TEST(JetImportBytes, ImportsFromMemoryAsFromTheFile) {
    TempDir dir;
    auto report = jetimport::importBytes(testsupport::readFile(kNwind), dir / "mem.sqlite");
    EXPECT_EQ(report.tables, nwind().report.tables);
    EXPECT_EQ(report.views, nwind().report.views);
    Db a(dir / "mem.sqlite"), b(nwind().file);
    EXPECT_EQ(a.query("SELECT * FROM Orders ORDER BY rowid").values, b.query("SELECT * FROM Orders ORDER BY rowid").values);
    EXPECT_THROW(jetimport::importBytes("Standard Jet DB, but not", dir / "x.sqlite"), jet::Error);
    EXPECT_FALSE(fs::exists(dir / "x.sqlite"));
}

TEST(JetImportWild, CalculatedValuesOfEachResultType) {
    // products.%markup of calculatedField.accdb, a calculated column: 16 bytes, the value's
    // length (at +16), the value (at +20, 8 bytes here), 3 bytes; in the row of id 1 at 397274.
    // Its column entry is at 385174 (type at +0). With the property naming the result type
    // renamed, the entry's type is the result type: each case stores another one.
    std::string original = testsupport::readFile(kCalculated);
    const std::string resultType = std::string("R\0e\0s\0u\0l\0t\0T\0y\0p\0e\0", 20);
    for (size_t at = original.find(resultType); at != std::string::npos; at = original.find(resultType, at))
        original[at + 18] = 'f';  // "ResultTypf"
    const size_t entry = 385174, value = 397274;
    ASSERT_EQ(original[entry], 0x07);  // Double
    ASSERT_EQ(original.substr(value + 16, 12), std::string("\x08\0\0\0\0\0\0\0\0\0\x49\x40", 12));  // 8 bytes: 50.0
    struct Case {
        char type;
        std::string stored;
        std::string want, declaredType;
    };
    const Case cases[] = {
        {0x04, std::string("\x2a\0\0\0", 4), "42", "INTEGER"},
        {0x01, "\xff", "-1", "BOOLEAN"},
        {0x01, std::string("\0", 1), "0", "BOOLEAN"},
        {0x0a, "\xff\xfe" "Abc", "Abc", "VARCHAR(8)"},  // compressed text
        // decimal: length after it, scale, sign, a 32-bit little-endian word
        {0x10, std::string("\x06\0\x01\0" "\x7d\0\0\0", 8), "12.5", "TEXT DECIMAL"},
        {0x10, std::string("\x06\0\x02\x80" "\0\0\x01\0", 8), "-655.36", "TEXT DECIMAL"},
    };
    TempDir dir;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        std::string bytes = original;
        bytes[entry] = c.type;
        putLe(bytes, value + 16, c.stored.size(), 4);
        bytes.replace(value + 20, c.stored.size(), c.stored);
        fs::path src = dir / ("calc" + std::to_string(n) + ".accdb"), target = dir / ("calc" + std::to_string(n++) + ".sqlite");
        testsupport::writeFile(src, bytes);
        importInto(src, target);
        Db db(target);
        EXPECT_EQ(db.scalar("SELECT \"%markup\" FROM products WHERE id = 1"), c.want);
        EXPECT_EQ(declared(db, "products", "%markup"), c.declaredType);
    }
}
