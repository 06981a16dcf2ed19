// The undo journal on a demo world: the editor's own saves taken back and redone, row for row,
// also after reopening; its bound; its emptying; and rows changed behind its back.
#include "common/jetdb.h"
#include "common/progress.h"
#include "config/cfgexport.h"
#include "config/cfgimport.h"
#include "demo/demoworld.h"
#include "foundation/dao.h"
#include "foundation/journal.h"
#include "gamedump.h"
#include "mainwindow/clubeditor.h"
#include "mainwindow/playerlist.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

using testsupport::dumpGameTables;

namespace {

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        demo::writeDatabase(dir.path() / "kickora.mdb", demo::Options{1, 3});
        dao.open(dir.path() / "kickora.mdb");
    }
    jet::Database& db() { return dao.db(); }
    std::string dump() { return dumpGameTables(db()); }
    long long scalar(const std::string& sql) { return db().query(sql).field(0).toInt(); }
    // SQLite's own dialect, for looking at the schema.
    std::string native(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db().handle(), sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
            sqlite3_column_text(st, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        return out;
    }

    // A player save as the editor's form makes it: other name, strength, talents and face.
    void savePlayer(long long number, const std::string& name) {
        jet::Recordset rs = db().query("SELECT * FROM spieler WHERE NUMMER=" + std::to_string(number));
        playerlist::PlayerEdit e;
        e.nummer = QString::number(number);
        e.name = QString::fromStdString(name);
        e.vorname = QString::fromStdString(rs.field("VORNAME").toString());
        e.staerkeIndex = 3;
        e.maxStaerkeIndex = 9;
        e.nation = QString::fromStdString(rs.field("NATION").toString());
        e.groesse = "181";
        e.art = 2;
        e.einsaetze = "4";
        e.rueckennummer = "17";
        e.gesicht = (7 << 20) + (3 << 13) + 1;  // hair 3, skin 1
        e.haare = playerlist::hairStyle(e.gesicht);
        e.erlernt = "1,4,9";
        e.gesperrt = "2";
        playerlist::savePlayer(db(), e);
    }
    long long firstPlayer() { return scalar("SELECT Min(NUMMER) FROM spieler"); }

    testsupport::TempDir dir;
    Dao dao;
};

}  // namespace

TEST_F(Journal, PlayerSaveIsUndoneToTheByteAndRedoneAlsoAfterReopening) {
    const std::string before = dump();
    savePlayer(firstPlayer(), "O'Neill");
    const std::string after = dump();
    ASSERT_NE(after, before);
    dao.close();
    dao.open(dir.path() / "kickora.mdb");
    ASSERT_EQ(journal::nextUndo(db())->what, "Spieler speichern");

    EXPECT_EQ(journal::undo(db())->what, "Spieler speichern");
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(journal::nextUndo(db()));
    EXPECT_FALSE(journal::undo(db()));

    EXPECT_EQ(journal::redo(db())->what, "Spieler speichern");
    EXPECT_EQ(dump(), after);
    EXPECT_FALSE(journal::redo(db()));
}

TEST_F(Journal, CountryRenameWithItsCascadeIsOneStep) {
    const long long country = scalar("SELECT Min(NUMMER) FROM vereine_national WHERE NATION IN (SELECT NATION FROM vereine)");
    clubeditor::SaveRequest request;
    request.kind = clubeditor::KindNational;
    request.number = country;
    request.team = clubeditor::showteam(dao, country, clubeditor::KindNational);
    const std::string before = dump();
    request.team.name = "Neuland";
    NullProgress none;
    clubeditor::save(dao, request, none, {});
    ASSERT_GT(scalar("SELECT Count(*) FROM vereine WHERE NATION='Neuland'"), 0);
    ASSERT_GT(scalar("SELECT Count(*) FROM spieler WHERE NATION='Neuland'"), 0);
    ASSERT_EQ(journal::entries(db()).size(), 1u);

    EXPECT_EQ(journal::undo(db())->what, "Land speichern");
    EXPECT_EQ(dump(), before);
}

TEST_F(Journal, ANewCommandEndsRedoAndASaveThatChangesNothingLeavesNoEntry) {
    savePlayer(firstPlayer(), "Erst");
    savePlayer(firstPlayer() + 1, "Zweit");
    ASSERT_TRUE(journal::undo(db()));
    ASSERT_TRUE(journal::nextRedo(db()));
    savePlayer(firstPlayer(), "Dritt");
    EXPECT_FALSE(journal::nextRedo(db()));
    savePlayer(firstPlayer(), "Dritt");
    EXPECT_EQ(journal::entries(db()).size(), 2u);
    EXPECT_EQ(scalar("SELECT Count(*) FROM editor_journal_t_spieler"), 2);
}

TEST_F(Journal, AChangeBehindItsBackStopsTheUndoAndNothingIsWritten) {
    const long long player = firstPlayer();
    savePlayer(player, "Eins");
    db().execute("UPDATE spieler SET VORNAME=\"Fremd\" WHERE NUMMER=" + std::to_string(player));
    const std::string changed = dump();
    EXPECT_THROW(journal::undo(db()), jet::Error);
    EXPECT_EQ(dump(), changed);
    EXPECT_EQ(journal::entries(db()).size(), 1u);
}

TEST_F(Journal, KeepsTheNewestThousandCommandsAndDatabaseLoeschenEmptiesIt) {
    const long long player = firstPlayer();
    jet::Transaction t(db());
    for (int i = 1; i <= journal::kLimit + 5; ++i) {
        journal::Command cmd(db(), "Nummer " + std::to_string(i));
        db().execute("UPDATE spieler SET RUECKENNUMMER=" + std::to_string(i) + " WHERE NUMMER=" + std::to_string(player));
    }
    t.commit();
    const auto entries = journal::entries(db());
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(journal::kLimit));
    EXPECT_EQ(entries.front().what, "Nummer 1005");
    EXPECT_EQ(entries.back().what, "Nummer 6");
    EXPECT_EQ(scalar("SELECT Count(*) FROM editor_journal_t_spieler"), journal::kLimit);

    dao.del_db();
    EXPECT_TRUE(journal::entries(db()).empty());
    EXPECT_FALSE(journal::undo(db()));
    EXPECT_EQ(scalar("SELECT Count(*) FROM editor_journal_t_spieler"), 0);
}

// A config import empties and refills whole tables; its undo puts the very rows back (rowids
// included) with their indexes, and the views still see the game tables.
TEST_F(Journal, ConfigImportIsTakenBackWholeRedoneAndGuarded) {
    NullProgress none;
    const cfg::Clock clock = [] { return cfg::DateTime{2024, 1, 1, 12, 0, 0}; };
    cfg::writeClubFile(db(), dir.path() / "1_tm.cfg", clock, none);
    cfg::writePlayerFile(db(), dir.path() / "1_sp.cfg", clock, none);
    db().executeNative("DELETE FROM vereinspieler WHERE rowid IN (SELECT rowid FROM vereinspieler LIMIT 3)");
    savePlayer(firstPlayer(), "Vorher");
    const std::string indexes = "SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE type='index' "
                                "AND tbl_name NOT LIKE 'editor%' ORDER BY name)";
    const std::string indexesBefore = native(indexes);
    const std::string before = dump();
    cfg::importClubFile(db(), dir.path() / "1_tm.cfg", none);
    cfg::importPlayerFile(db(), dir.path() / "1_sp.cfg", none);
    const std::string after = dump();
    ASSERT_NE(after, before);

    ASSERT_EQ(journal::undo(db())->what, "Config importieren (Spieler)");
    ASSERT_EQ(journal::undo(db())->what, "Config importieren (Vereine)");
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(native(indexes), indexesBefore);
    EXPECT_GT(scalar("SELECT Count(*) FROM spielerinvereine"), 0);
    ASSERT_TRUE(journal::redo(db()));
    ASSERT_TRUE(journal::redo(db()));
    EXPECT_EQ(dump(), after);
    savePlayer(firstPlayer() + 1, "Danach");  // the tables put back are journaled again
    ASSERT_TRUE(journal::undo(db()));
    EXPECT_EQ(dump(), after);
    // A row written behind the journal's back stops the undo of the club import only.
    db().executeNative("INSERT INTO vereinspieler (verein, spieler) VALUES (1, 1)");
    EXPECT_EQ(journal::undo(db())->what, "Config importieren (Spieler)");
    const std::string changed = dump();
    EXPECT_THROW(journal::undo(db()), jet::Error);
    EXPECT_EQ(dump(), changed);

    // The rows kept aside go with their entries.
    const std::string aside = "SELECT Count(*) FROM sqlite_master WHERE name LIKE 'editor\\_journal\\_c%' ESCAPE '\\'";
    EXPECT_NE(native(aside), "0");
    dao.del_db();
    EXPECT_EQ(native(aside), "0");
}

TEST(JournalRows, EveryKindOfValueAndChangeComesBackExactly) {
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE t (a, b TEXT, c REAL, d BLOB);"
                     "CREATE TABLE k (id INTEGER PRIMARY KEY, name TEXT UNIQUE);"
                     "INSERT INTO t VALUES (1, 'x', 0.5, NULL), (2, 'y', NULL, x'00'), (3, 'z', 2.0, NULL);"
                     "INSERT INTO k VALUES (1, 'eins'), (2, 'zwei');");
    const std::string before = dumpGameTables(db);
    {
        journal::Command cmd(db, "alles");
        db.executeNative("INSERT INTO t VALUES (-9223372036854775808, 'O''Brien, ''a''', 0.1, x'00ff27');"
                         "INSERT INTO t VALUES (NULL, '', 1e300, '');"
                         "UPDATE t SET c = c / 3, b = 'NULL' WHERE a = 1;"
                         "DELETE FROM t WHERE a = 2;"
                         "INSERT INTO t (rowid, a) VALUES (2, 'neu auf alter Zeile');"
                         "UPDATE k SET id = 7 WHERE id = 1;"
                         "INSERT OR REPLACE INTO k VALUES (9, 'zwei');");
    }
    const std::string after = dumpGameTables(db);
    ASSERT_TRUE(journal::undo(db));
    EXPECT_EQ(dumpGameTables(db), before);
    ASSERT_TRUE(journal::redo(db));
    EXPECT_EQ(dumpGameTables(db), after);
}

TEST(JournalRows, ACommandOutsideATransactionIsAllOrNothing) {
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT NOT NULL); INSERT INTO t VALUES (1, 'eins');");
    const std::string before = dumpGameTables(db);
    try {
        journal::Command cmd(db, "halb");
        db.executeNative("UPDATE t SET b = 'neu' WHERE a = 1");
        db.executeNative("INSERT INTO t VALUES (2, NULL)");
        FAIL() << "the second statement must fail";
    } catch (const jet::Error&) {
    }
    EXPECT_EQ(dumpGameTables(db), before);
    EXPECT_FALSE(journal::nextUndo(db));
}
