// Name order as Jet sorts: in C++, in SQLite's NOCASE, and in files whose indexes were built
// in an earlier order.
#include "common/collation.h"
#include "common/jetdb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testsupport.h"

using Names = std::vector<std::string>;

namespace {

// Each list in the order Jet gives it.
const Names kOrdered[] = {
    {"Ägypten", "Algerien", "Marokko", "Niederlande", "Österreich", "Polen", "Schweiz", "Tunesien", "Ungarn"},
    {"Böhberger", "Brener"},
    {"Sánales", "Steinmeier"},
    {"Mueller", "muller", "Müller", "Mullerová", "Mund"},   // plain letter before its variant
    {"Strasse", "Straße", "Strassen", "Strasze"},            // ß as ss
    {"Aero", "Ærø", "Aeskulap"},
    {"Šimić", "Simon", "Škoda", "Sleeper"},                   // Latin Extended-A beside its base letters
    {"Lukas", "Łukasz", "Lum"},
    {"", "1. FC", "a", "B", "é", "f", "zz", "×"},
};

// Equal only where the texts differ in nothing but letter case, as before.
const std::tuple<const char*, const char*, bool> kEquality[] = {
    {"ÄGYPTEN", "ägypten", true}, {"FC Köln", "fc KÖLN", true}, {"Ägypten", "Agypten", false},
    {"Straße", "Strasse", false}, {"é", "e", false},           {"a", "a ", false},
};

// First column of every row of a statement in SQLite's own dialect (pragmas, INDEXED BY).
Names nativeColumn(const jet::Database& db, const std::string& sql)
{
    Names out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db.handle());
        return out;
    }
    while (sqlite3_step(st) == SQLITE_ROW) out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

const Names kCurrentGeneration = {std::to_string(collation::kGeneration)};

}  // namespace

TEST(Collation, JetOrderInCppAndInSqlite)
{
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE t(name VARCHAR(50) COLLATE NOCASE)");
    for (const Names& want : kOrdered) {
        Names names(want.rbegin(), want.rend());
        std::sort(names.begin(), names.end(), collation::Less());
        EXPECT_EQ(names, want);

        db.executeNative("DELETE FROM t");
        for (const auto& n : names) db.execute("INSERT INTO t VALUES (\"" + n + "\")");
        Names fromSql;
        for (auto rs = db.query("SELECT name FROM t ORDER BY name"); !rs.eof(); rs.moveNext())
            fromSql.push_back(rs.field(0).toString());
        EXPECT_EQ(fromSql, want);
    }
    for (const auto& [a, b, equal] : kEquality) {
        EXPECT_EQ(collation::compare(a, b) == 0, equal) << a << " / " << b;
        EXPECT_EQ(collation::compare(a, b), -collation::compare(b, a)) << a << " / " << b;
        db.executeNative("DELETE FROM t");
        db.execute(std::string("INSERT INTO t VALUES (\"") + a + "\")");
        EXPECT_EQ(db.query(std::string("SELECT count(*) FROM t WHERE name = \"") + b + "\"").field(0).toInt(), equal ? 1 : 0)
            << a << " / " << b;
    }
}

TEST(Collation, IndexesOfAnEarlierOrderAreRebuiltOnOpen)
{
    testsupport::TempDir dir;
    const auto file = dir / "alt.mdb";
    {
        // A file written by a program whose NOCASE ordered differently (here: backwards).
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
        auto backwards = [](void*, int n1, const void* p1, int n2, const void* p2) {
            return -collation::compare({static_cast<const char*>(p1), static_cast<size_t>(n1)},
                                       {static_cast<const char*>(p2), static_cast<size_t>(n2)});
        };
        sqlite3_create_collation_v2(raw, "NOCASE", SQLITE_UTF8, nullptr, backwards, nullptr);
        std::string sql = "CREATE TABLE v(name VARCHAR(50) COLLATE NOCASE); CREATE INDEX v_name ON v(name);";
        for (const auto& n : kOrdered[0]) sql += "INSERT INTO v VALUES ('" + n + "');";
        ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    {
        jet::Database readOnly = jet::Database::open(file, false, true);  // cannot rebuild, changes nothing
        EXPECT_EQ(nativeColumn(readOnly, "PRAGMA user_version"), Names{"0"});
    }
    jet::Database db = jet::Database::open(file);
    EXPECT_EQ(nativeColumn(db, "PRAGMA user_version"), kCurrentGeneration);
    EXPECT_EQ(nativeColumn(db, "PRAGMA integrity_check"), Names{"ok"});
    for (const auto& n : kOrdered[0])
        EXPECT_EQ(db.query("SELECT count(*) FROM v WHERE name = \"" + n + "\"").field(0).toInt(), 1) << n;
    EXPECT_EQ(nativeColumn(db, "SELECT name FROM v INDEXED BY v_name ORDER BY name"), kOrdered[0]);

    // a new file starts in today's order: nothing to rebuild later
    EXPECT_EQ(nativeColumn(jet::Database::open(dir / "neu.mdb", true), "PRAGMA user_version"), kCurrentGeneration);
}
