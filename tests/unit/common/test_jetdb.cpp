#include "common/jetdb.h"
#include "common/jetsql.h"

#include <gtest/gtest.h>

#include <vector>
#include <sqlite3.h>

#include "testsupport.h"

using jet::Database;
using jet::Value;

namespace {

class JetDb : public ::testing::Test {
protected:
    Database db = Database::openMemory();

    void SetUp() override
    {
        db.executeNative(R"(
            CREATE TABLE spieler(NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE,
                                 VORNAME VARCHAR(50) COLLATE NOCASE, "STÄRKE" INTEGER, "MAX_STÄRKE" INTEGER,
                                 VERLETZT BOOLEAN DEFAULT 0);
            CREATE TABLE z4spieler(id INTEGER PRIMARY KEY, verein VARCHAR(50) COLLATE NOCASE,
                                   name VARCHAR(50) COLLATE NOCASE, staerke INTEGER);
            CREATE TABLE vereinspieler(verein INTEGER, spieler INTEGER);
            CREATE VIEW spielerinvereine AS SELECT spieler.*, vereinspieler.verein FROM spieler
                                            INNER JOIN vereinspieler ON vereinspieler.spieler = spieler.NUMMER;
            INSERT INTO spieler(NUMMER, NAME, VORNAME, "STÄRKE", "MAX_STÄRKE") VALUES
                (1, 'Müller', 'T.', 8000, 9000), (2, 'Meier', 'K.', 5000, 6000), (3, 'Dupont', 'J.', 6000, 6000),
                (4, 'Silva', NULL, 3000, 7000);
            INSERT INTO vereinspieler VALUES (5, 1), (5, 2), (6, 3), (0, 4);
        )");
    }
};

}  // namespace

TEST(JetValue, ConversionsAsVbReadsFields)
{
    const std::pair<Value, const char*> texts[] = {{Value(), ""}, {Value(2.5), "2.5"}, {Value(3.0), "3"}, {Value(0.1), "0.1"},
        {Value(0.1 + 0.2), "0.3"}, {Value(-1234567.25), "-1234567.25"}, {Value(std::int64_t{-7}), "-7"},
        {Value(jet::Blob{65, 66}), "AB"}};
    for (const auto& [v, want] : texts) EXPECT_EQ(v.toString(), want) << want;
    const std::pair<Value, int> ints[] = {{Value(), 0},
        {Value(2.5), 2}, {Value(3.5), 4}, {Value(-2.5), -2}, {Value(2.6), 3},  // half to even, as CInt/CLng round
        // text is read leniently: the leading number, else 0; out of range reads as no number
        {Value("42"), 42}, {Value(" 12abc"), 12}, {Value("4.5"), 4}, {Value("abc"), 0}, {Value("1e999"), 0}};
    for (const auto& [v, want] : ints) EXPECT_EQ(v.toInt(), want) << v.toString();
    EXPECT_EQ(Value("").toDouble(), 0.0);
    EXPECT_EQ(Value("-1.25e2x").toDouble(), -125.0);
    EXPECT_TRUE(Value(jet::Blob{1, 2}).isBlob());
    EXPECT_TRUE(Value("x").blob().empty());
}

TEST_F(JetDb, RecordsetNavigationCountAndPercent)
{
    auto rs = db.query("SELECT * FROM spieler ORDER BY NUMMER");
    ASSERT_EQ(rs.recordCount(), 4);
    EXPECT_FALSE(rs.eof());
    EXPECT_FALSE(rs.bof());
    std::vector<double> percents;
    std::vector<long> positions;
    for (; !rs.eof(); rs.moveNext()) {
        percents.push_back(rs.percentPosition());
        positions.push_back(rs.absolutePosition());
    }
    EXPECT_EQ(percents, (std::vector<double>{25, 50, 75, 100}));
    EXPECT_EQ(positions, (std::vector<long>{0, 1, 2, 3}));
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_THROW(rs.field(0), jet::Error);
    rs.moveNext();  // stays at the end
    EXPECT_TRUE(rs.eof());
    rs.moveLast();
    EXPECT_EQ(rs.field("nummer").toInt(), 4);
    rs.movePrevious();
    EXPECT_EQ(rs.field(0).toInt(), 3);
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_THROW(rs.field(0), jet::Error);
    rs.moveNext();
    EXPECT_EQ(rs.field(0).toInt(), 1);

    auto empty = db.query("SELECT * FROM spieler WHERE NUMMER > 100");
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
    EXPECT_EQ(empty.percentPosition(), 0);
    EXPECT_GT(empty.fieldCount(), 0);
    EXPECT_THROW(empty.field("NAME"), jet::Error);

    jet::Recordset none;
    EXPECT_TRUE(none.eof());
    EXPECT_EQ(none.recordCount(), 0);
}

TEST_F(JetDb, FieldsByIndexAndName)
{
    auto rs = db.query("Select nummer,name,vorname,stärke From spielerinvereine WHERE verein=5 ORDER BY name");
    ASSERT_EQ(rs.recordCount(), 2);
    ASSERT_EQ(rs.fieldCount(), 4);
    EXPECT_EQ(rs.fieldName(3), "STÄRKE");
    EXPECT_EQ(rs.fieldIndex("Stärke"), 3);
    EXPECT_EQ(rs.fieldIndex("STÄRKE"), 3);
    EXPECT_EQ(rs.fieldIndex("fehlt"), -1);
    EXPECT_EQ(rs.field("NAME").toString(), "Meier");
    EXPECT_EQ(rs.field(3).toInt(), 5000);
    EXPECT_THROW(rs.field(4), jet::Error);
    EXPECT_THROW(rs.field("fehlt"), jet::Error);
    EXPECT_THROW(rs.fieldName(-1), jet::Error);
    auto nulls = db.query("SELECT VORNAME FROM spieler WHERE NUMMER=4");
    EXPECT_TRUE(nulls.field(0).isNull());
    EXPECT_EQ(nulls.field(0).toString(), "");
}

TEST_F(JetDb, EditWritesBackAndRefreshesTheRow)
{
    auto rs = db.query("SELECT * FROM spieler WHERE nummer=2");
    ASSERT_EQ(rs.recordCount(), 1);
    rs.edit();
    rs.setField("NAME", Value("Meyer \"der Zweite\""));
    rs.setField("Stärke", Value("7000"));  // text into a number column becomes a number
    EXPECT_EQ(rs.field("NAME").toString(), "Meyer \"der Zweite\"");  // the edit buffer is visible
    rs.update();
    EXPECT_EQ(rs.field("STÄRKE").toInt(), 7000);
    EXPECT_TRUE(rs.field("STÄRKE").isInt());
    auto again = db.query("SELECT NAME, [STÄRKE] FROM spieler WHERE NUMMER=2");
    EXPECT_EQ(again.field(0).toString(), "Meyer \"der Zweite\"");
    EXPECT_EQ(again.field(1).toInt(), 7000);

    // Cancel leaves the row as it was; moving away drops a pending edit too.
    rs.edit();
    rs.setField(1, Value("Verworfen"));
    rs.cancelUpdate();
    EXPECT_EQ(rs.field(1).toString(), "Meyer \"der Zweite\"");
    EXPECT_THROW(rs.setField(1, Value("x")), jet::Error);
    EXPECT_THROW(rs.update(), jet::Error);
    rs.moveNext();
    EXPECT_THROW(rs.edit(), jet::Error);  // no current record

    // After the database is closed the rows can still be read, but not written.
    rs.moveFirst();
    db.close();
    EXPECT_EQ(rs.field("NUMMER").toInt(), 2);
    rs.edit();
    rs.setField("NAME", Value("zu spät"));
    EXPECT_THROW(rs.update(), jet::Error);
}

TEST_F(JetDb, AddNewAppendsRowWithAssignedKey)
{
    auto rs = db.openTable("Z4SPIELER");
    EXPECT_EQ(rs.recordCount(), 0);
    for (int i = 0; i < 3; ++i) {
        rs.addNew();
        rs.setField("verein", Value("FC \"Quote\" " + std::to_string(i)));
        rs.setField("name", Value("Spieler" + std::to_string(i)));
        rs.setField("staerke", Value(1000 * i));
        rs.update();
    }
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_TRUE(rs.eof());  // the current record stays where it was
    rs.moveLast();
    EXPECT_EQ(rs.field("name").toString(), "Spieler2");
    const auto lastId = rs.field("id").toInt();
    EXPECT_GT(lastId, 0);
    auto check = db.query("SELECT max(id), count(*) FROM z4spieler");
    EXPECT_EQ(check.field(0).toInt(), lastId);
    EXPECT_EQ(check.field(1).toInt(), 3);

    // A set of one table with a filter takes new rows too; defaults are read back.
    auto players = db.query("SELECT NUMMER, NAME, VERLETZT FROM spieler WHERE NUMMER=1");
    players.addNew();
    players.setField("NAME", Value("Neu"));
    players.update();
    ASSERT_EQ(players.recordCount(), 2);
    players.moveLast();
    EXPECT_EQ(players.field("NUMMER").toInt(), 5);
    EXPECT_EQ(players.field("VERLETZT").toInt(), 0);
    EXPECT_THROW(db.openTable("gibtsnicht"), jet::Error);
}

TEST_F(JetDb, SetsOverJoinsViewsAndAggregatesAreReadOnly)
{
    for (const char* q : {"SELECT * FROM spielerinvereine", "SELECT max(NUMMER) FROM spieler",
                          "SELECT DISTINCT NAME FROM spieler", "SELECT NAME FROM spieler GROUP BY NAME",
                          "SELECT spieler.NAME FROM spieler INNER JOIN vereinspieler ON spieler=NUMMER",
                          "SELECT NAME & 'x' FROM spieler"}) {
        auto rs = db.query(q);
        ASSERT_GT(rs.recordCount(), 0) << q;
        EXPECT_THROW(rs.edit(), jet::Error) << q;
        EXPECT_THROW(rs.addNew(), jet::Error) << q;
    }
    // Failing writes report the engine's text and leave the set usable.
    db.executeNative("CREATE TABLE pflicht(id INTEGER PRIMARY KEY, wert TEXT NOT NULL)");
    auto rs = db.openTable("pflicht");
    rs.addNew();
    try {
        rs.update();
        ADD_FAILURE() << "NOT NULL accepted";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("NOT NULL"), std::string::npos) << e.what();
    }
    rs.setField("wert", Value("da"));
    rs.update();
    EXPECT_EQ(rs.recordCount(), 1);
}

TEST_F(JetDb, TransactionsNestAndRollBack)
{
    {
        jet::Transaction outer(db);
        db.execute("DELETE FROM spieler WHERE NUMMER=1");
        {
            jet::Transaction inner(db);
            db.execute("DELETE FROM spieler WHERE NUMMER=2");
        }  // inner rolled back
        EXPECT_EQ(db.query("SELECT * FROM spieler").recordCount(), 3);
        {
            jet::Transaction inner(db);
            db.execute("DELETE FROM spieler WHERE NUMMER=3");
            inner.commit();
        }
        EXPECT_EQ(db.query("SELECT * FROM spieler").recordCount(), 2);
    }  // outer rolled back, with the committed inner work
    EXPECT_EQ(db.query("SELECT * FROM spieler").recordCount(), 4);
    {
        jet::Transaction t(db);
        db.execute("UPDATE spieler SET NAME='X' WHERE NUMMER=4");
        t.commit();
        t.commit();  // harmless
    }
    EXPECT_EQ(db.query("SELECT NAME FROM spieler WHERE NUMMER=4").field(0).toString(), "X");
}

TEST_F(JetDb, ErrorsCarryEngineTextAndStatement)
{
    try {
        db.execute("SELECT nix FROM spieler");
        ADD_FAILURE();
    } catch (const jet::Error& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("Datenbankfehler"), std::string::npos) << m;
        EXPECT_NE(m.find("no such column: nix"), std::string::npos) << m;
        EXPECT_NE(m.find("SELECT nix FROM spieler"), std::string::npos) << m;
    }
    // A name with a double quote built into the SQL fails with the engine's message.
    EXPECT_THROW(db.execute("UPDATE spieler SET NAME=\"a\"b\" WHERE NUMMER=1"), jet::Error);
    // Translation problems are database errors too, for the caller.
    EXPECT_THROW(db.query("SELECT \"offen FROM spieler"), jet::Error);
    EXPECT_THROW(db.execute("UPDATE spieler SET GRAFIK_NR= WHERE NUMMER=1"), jet::Error);
    EXPECT_THROW(db.executeNative("CREATE TABLE spieler(x)"), jet::Error);
    EXPECT_THROW(db.execute(""), jet::Error);
    db.execute("DELETE FROM vereinspieler WHERE verein=5");
    EXPECT_EQ(db.execute("SELECT * FROM spieler"), 0);  // a query changes no rows
    // A bracketed name that matches no column is an error, never a text value.
    EXPECT_THROW(db.query("SELECT [gibtsnicht] FROM spieler"), jet::Error);
    // Nothing was changed by the failures.
    EXPECT_EQ(db.query("SELECT NAME FROM spieler WHERE NUMMER=1").field(0).toString(), "Müller");

    Database closed;
    EXPECT_FALSE(closed.isOpen());
    EXPECT_THROW(closed.execute("SELECT 1"), jet::Error);
    EXPECT_THROW(closed.query("SELECT 1"), jet::Error);
}

TEST_F(JetDb, StoredActionQueriesRunByName)
{
    db.executeNative("CREATE TABLE jet_stored_queries(name TEXT, sql TEXT);"
                     "INSERT INTO jet_stored_queries VALUES ('z4deleteid', "
                     "'DELETE * FROM z4spieler WHERE verein=\"weg\"');"
                     "INSERT INTO z4spieler(verein, name) VALUES ('weg', 'a'), ('bleibt', 'b'), ('WEG', 'c');");
    EXPECT_EQ(db.runStoredQuery("Z4DeleteID"), 2);
    EXPECT_EQ(db.query("SELECT name FROM z4spieler").recordCount(), 1);
    EXPECT_THROW(db.runStoredQuery("fehlt"), jet::Error);
}

TEST_F(JetDb, SchemaLookups)
{
    EXPECT_TRUE(db.hasTable("SPIELER"));
    EXPECT_TRUE(db.hasTable("SpielerInVereine"));
    EXPECT_FALSE(db.hasTable("NAME"));  // a column is no table
    EXPECT_EQ(db.tableNames(), (std::vector<std::string>{"spieler", "vereinspieler", "z4spieler"}));
    EXPECT_EQ(db.viewNames(), (std::vector<std::string>{"spielerinvereine"}));
    auto cols = db.columns("Spieler");
    ASSERT_EQ(cols.size(), 6u);
    EXPECT_EQ(cols[3].name, "STÄRKE");
    EXPECT_EQ(cols[1].declaredType, "VARCHAR(50)");
    EXPECT_EQ(cols[5].declaredType, "BOOLEAN");
    // The schema seen by the translation follows changes.
    db.executeNative("ALTER TABLE spieler ADD COLUMN \"RÜCKEN\" INTEGER");
    db.execute("UPDATE spieler SET rücken=7 WHERE NUMMER=1");
    EXPECT_EQ(db.query("SELECT Rücken FROM spieler WHERE NUMMER=1").field(0).toInt(), 7);
}

TEST(JetDbFile, OpenCreateCloseAndRejectForeignFiles)
{
    testsupport::TempDir dir;
    EXPECT_THROW(Database::open(dir / "fehlt.mdb"), jet::Error);
    {
        Database db = Database::open(dir / "neu.mdb", true);
        EXPECT_EQ(db.path(), dir / "neu.mdb");
        db.executeNative("CREATE TABLE t(a INTEGER); INSERT INTO t VALUES (1); INSERT INTO t VALUES (2);");
        db.close();
        EXPECT_FALSE(db.isOpen());
    }
    Database again = Database::open(dir / "neu.mdb");
    EXPECT_EQ(again.query("SELECT sum(a) FROM t").field(0).toInt(), 3);
    Database moved = std::move(again);
    EXPECT_EQ(moved.query("SELECT count(*) FROM t").field(0).toInt(), 2);

    Database readOnly = Database::open(dir / "neu.mdb", false, true);
    EXPECT_THROW(readOnly.execute("DELETE FROM t"), jet::Error);

    // A Jet file (or anything else) is not taken for an SQLite database.
    testsupport::writeFile(dir / "jet.mdb", std::string("\0\1\0\0Standard Jet DB\0", 19) + std::string(4000, 'x'));
    try {
        Database::open(dir / "jet.mdb");
        ADD_FAILURE();
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("keine gültige Datenbank"), std::string::npos) << e.what();
    }
}

TEST(JetDbFile, TranslatedSqlRunsOnConnectionsOpenedElsewhere)
{
    testsupport::TempDir dir;
    {
        Database db = Database::open(dir / "v.mdb", true);
        db.executeNative("CREATE TABLE t(a TEXT COLLATE NOCASE, b INTEGER); INSERT INTO t VALUES ('Ä', 1), (NULL, 2);");
        db.executeNative("CREATE VIEW v AS " + jetsql::translate("SELECT a & '-' & b AS x FROM t WHERE a='ä'"));
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2((dir / "v.mdb").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT x FROM v", -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "Ä-1");
    sqlite3_finalize(st);
    sqlite3_close(raw);
}
