#include "foundation/dao.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "common/jetimport.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A small game database: the four tables that del_db empties, a lookup and an exporter table.
fs::path makeDatabase(const fs::path& file, int clubs = 3, int players = 6) {
    jet::Database db = jet::Database::open(file, true);
    db.executeNative(
        "CREATE TABLE vereine (NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE);"
        "CREATE TABLE vereine_national (NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE);"
        "CREATE TABLE vereinspieler (verein INTEGER, spieler INTEGER);"
        "CREATE TABLE spieler (NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE, ERLERNT LONGTEXT);"
        "CREATE TABLE e_attribute (id INTEGER PRIMARY KEY, name VARCHAR(50));"
        "CREATE TABLE z4spieler (id INTEGER PRIMARY KEY, name VARCHAR(50));"
        "INSERT INTO e_attribute VALUES (1,'Kopfball'),(2,'Flanke');"
        "INSERT INTO z4spieler VALUES (1,'Frei');"
        "INSERT INTO vereine_national VALUES (1,'Deutschland'),(2,'Brasilien');");
    const std::string upTo = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ";
    db.executeNative(upTo + std::to_string(clubs) + ") INSERT INTO vereine SELECT i, 'Verein ' || i FROM n;" + upTo +
                     std::to_string(players) + ") INSERT INTO spieler SELECT i, 'Spieler ' || i, printf('%200s', 'x') FROM n;" +
                     "INSERT INTO vereinspieler SELECT NUMMER % " + std::to_string(clubs) + " + 1, NUMMER FROM spieler;");
    return file;
}

long count(Dao& dao, const std::string& table) {
    jet::Recordset& r = dao.query("SELECT count(*) AS n FROM " + table, 1);
    return static_cast<long>(r.field(0).toInt());
}

std::set<std::string> filesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

}  // namespace

// ---------------------------------------------------------------- connection

TEST(Dao, OpensClosesAndKeepsTwoIndependentResultSets) {
    TempDir prog;
    const fs::path file = makeDatabase(prog / "kickora.mdb");
    Dao dao;
    EXPECT_FALSE(dao.isOpen());
    EXPECT_THROW(dao.query("SELECT * FROM vereine"), jet::Error);

    dao.open(file);
    ASSERT_TRUE(dao.isOpen());
    EXPECT_EQ(dao.path(), file);
    EXPECT_TRUE(dao.hasTable("Z4SPIELER"));
    EXPECT_FALSE(dao.hasTable("z4deleteid"));

    jet::Recordset& clubs = dao.query("SELECT NUMMER, NAME FROM vereine ORDER BY NUMMER");
    jet::Recordset& players = dao.query("SELECT NUMMER FROM spieler ORDER BY NUMMER", 1);
    EXPECT_EQ(clubs.recordCount(), 3);
    EXPECT_EQ(players.recordCount(), 6);
    // Moving in the inner set leaves the outer one where it is.
    players.moveNext();
    players.moveNext();
    EXPECT_EQ(clubs.field("NAME").toString(), "Verein 1");
    EXPECT_EQ(players.field(0).toInt(), 3);
    clubs.moveNext();
    EXPECT_EQ(dao.rs(0).field(1).toString(), "Verein 2");
    EXPECT_EQ(dao.rs(1).field(0).toInt(), 3);

    // A new query replaces the slot's set; a failing one keeps it.
    dao.query("SELECT NAME FROM vereine_national ORDER BY NUMMER");
    EXPECT_EQ(dao.rs(0).field(0).toString(), "Deutschland");
    EXPECT_THROW(dao.query("SELECT * FROM gibtsnicht"), jet::Error);
    EXPECT_EQ(dao.rs(0).field(0).toString(), "Deutschland");
    EXPECT_THROW(dao.query("SELECT * FROM vereine", 2), jet::Error);
    EXPECT_THROW(dao.rs(-1), jet::Error);

    EXPECT_EQ(dao.execute("UPDATE vereine SET NAME = \"Neu\" WHERE NUMMER = 2"), 1);
    EXPECT_EQ(dao.query("SELECT NAME FROM vereine WHERE NUMMER = 2").field(0).toString(), "Neu");

    dao.close();
    EXPECT_FALSE(dao.isOpen());
    EXPECT_TRUE(dao.rs(0).eof());
    EXPECT_TRUE(dao.rs(1).eof());
    EXPECT_THROW(dao.execute("DELETE FROM vereine"), jet::Error);

    // Re-open works; missing and non-database files are refused.
    dao.open(file);
    EXPECT_EQ(count(dao, "vereine"), 3);
    EXPECT_THROW(dao.open(prog / "fehlt.mdb"), jet::Error);
    EXPECT_FALSE(dao.isOpen());
    writeFile(prog / "zufall.mdb", std::string(4096, '\x5a'));
    EXPECT_THROW(dao.open(prog / "zufall.mdb"), jet::Error);
}

// ---------------------------------------------------------------- del_db

TEST(Dao, DeleteEmptiesTheGameTablesKeepsLookupTablesAndIsAllOrNothing) {
    TempDir prog;
    Dao dao;
    dao.open(makeDatabase(prog / "kickora.mdb"));
    dao.del_db();
    for (const char* t : {"vereine", "vereine_national", "vereinspieler", "spieler"}) EXPECT_EQ(count(dao, t), 0) << t;
    EXPECT_EQ(count(dao, "e_attribute"), 2);
    EXPECT_EQ(count(dao, "z4spieler"), 1);
    // Committed: a fresh connection sees the same.
    dao.close();
    dao.open(prog / "kickora.mdb");
    EXPECT_EQ(count(dao, "spieler"), 0);

    // All or nothing: the third statement fails after two tables were already emptied.
    dao.close();
    dao.open(makeDatabase(prog / "zwei.mdb"));
    dao.execute("DROP TABLE vereinspieler");
    EXPECT_THROW(dao.del_db(), jet::Error);
    EXPECT_EQ(count(dao, "vereine"), 3);
    EXPECT_EQ(count(dao, "vereine_national"), 2);
    EXPECT_EQ(count(dao, "spieler"), 6);
    // No transaction stays open: later statements are written for good.
    dao.execute("DELETE FROM z4spieler");
    dao.close();
    dao.open(prog / "zwei.mdb");
    EXPECT_EQ(count(dao, "vereine"), 3);
    EXPECT_EQ(count(dao, "z4spieler"), 0);
}

// ---------------------------------------------------------------- comp_db

TEST(Dao, CompactKeepsTheDataAndLeavesNoOtherFiles) {
    TempDir prog;
    Dao dao;
    dao.open(makeDatabase(prog / "kickora.mdb", 50, 2000));
    dao.execute("DELETE FROM spieler WHERE NUMMER > 200");
    const auto sizeBefore = fs::file_size(prog / "kickora.mdb");
    const long clubs = count(dao, "vereine"), players = count(dao, "spieler"), links = count(dao, "vereinspieler");
    // A leftover of an interrupted compaction does not stop the next one.
    writeFile(prog / "kickora.mdb.compact", "alt");
    dao.query("SELECT * FROM spieler");  // an open result set does not stop it either

    dao.comp_db();
    ASSERT_TRUE(dao.isOpen());
    EXPECT_LT(fs::file_size(prog / "kickora.mdb"), sizeBefore);
    EXPECT_EQ(count(dao, "vereine"), clubs);
    EXPECT_EQ(count(dao, "spieler"), players);
    EXPECT_EQ(count(dao, "vereinspieler"), links);
    EXPECT_EQ(dao.query("SELECT NAME FROM spieler WHERE NUMMER = 200").field(0).toString(), "Spieler 200");
    EXPECT_EQ(filesIn(prog.path()), std::set<std::string>{"kickora.mdb"});
    // Writes after the compaction land in the new file.
    dao.execute("DELETE FROM vereine WHERE NUMMER = 1");
    dao.close();
    dao.open(prog / "kickora.mdb");
    EXPECT_EQ(count(dao, "vereine"), clubs - 1);
}

TEST(Dao, FailedCompactionKeepsTheOriginalOpenAndUntouched) {
    TempDir prog;
    Dao dao;
    dao.open(makeDatabase(prog / "kickora.mdb"));
    const std::string before = readFile(prog / "kickora.mdb");

    // The compacted copy cannot be written: its name is taken by a folder.
    fs::create_directory(prog / "kickora.mdb.compact");
    try {
        dao.comp_db();
        ADD_FAILURE() << "comp_db succeeded";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("nicht komprimiert"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(prog / "kickora.mdb.compact"));
    EXPECT_EQ(readFile(prog / "kickora.mdb"), before);
    ASSERT_TRUE(dao.isOpen());
    EXPECT_EQ(count(dao, "spieler"), 6);
    fs::remove(prog / "kickora.mdb.compact");

    // The copy is written but cannot be renamed into place (another file system).
    const fs::path elsewhere = fs::path("/dev/shm") / ("kickora-compact-" + std::to_string(::getpid()));
    if (fs::is_directory("/dev/shm")) {
        struct stat a {}, b {};
        ::stat("/dev/shm", &a);
        ::stat(prog.path().c_str(), &b);
        if (a.st_dev != b.st_dev) {
            try {
                dao.comp_db(elsewhere);
                ADD_FAILURE() << "comp_db succeeded across file systems";
            } catch (const jet::Error& e) {
                EXPECT_NE(std::string(e.what()).find("nicht komprimiert"), std::string::npos) << e.what();
            }
            EXPECT_FALSE(fs::exists(elsewhere));
            EXPECT_EQ(readFile(prog / "kickora.mdb"), before);
            ASSERT_TRUE(dao.isOpen());
            EXPECT_EQ(count(dao, "vereine"), 3);
        }
    }
    EXPECT_EQ(filesIn(prog.path()), std::set<std::string>{"kickora.mdb"});

    Dao closed;
    EXPECT_THROW(closed.comp_db(), jet::Error);
}

// ---------------------------------------------------------------- start-up conversion

TEST(PrepareDatabase, ConvertsAJetFileAndKeepsTheOriginalBesideIt) {
    TempDir prog;
    const fs::path db = prog / "kickora.mdb";
    const fs::path dates = testsupport::fixture("jet/DateTestDatabase.mdb"), nwind = testsupport::fixture("jet/nwind.mdb");
    fs::copy_file(dates, db);
    DatabasePreparation first = prepareDatabase(db);
    ASSERT_EQ(first.outcome, DatabasePreparation::Outcome::Converted) << first.message;
    EXPECT_EQ(first.original, prog / "kickora_jet.mdb");
    EXPECT_EQ(readFile(prog / "kickora_jet.mdb"), readFile(dates));

    // A kickora_jet.mdb of an earlier conversion stays as it is; the next free name is used.
    const std::string original = readFile(nwind);
    writeFile(db, original);
    DatabasePreparation p = prepareDatabase(db);
    ASSERT_EQ(p.outcome, DatabasePreparation::Outcome::Converted) << p.message;
    EXPECT_EQ(p.original, prog / "kickora_jet1.mdb");
    EXPECT_EQ(p.message, "Access-Datenbank umgewandelt; das Original liegt als kickora_jet1.mdb daneben.");
    EXPECT_EQ(readFile(prog / "kickora_jet1.mdb"), original);
    EXPECT_EQ(readFile(prog / "kickora_jet.mdb"), readFile(dates));
    EXPECT_EQ(jetimport::detect(db), jetimport::FileKind::Sqlite);
    EXPECT_EQ(filesIn(prog.path()), (std::set<std::string>{"kickora.mdb", "kickora_jet.mdb", "kickora_jet1.mdb"}));

    // What the conversion reads from the Jet file is the Jet import's own test; the converted
    // file is used as it is on the next start.
    p = prepareDatabase(db);
    EXPECT_EQ(p.outcome, DatabasePreparation::Outcome::Ready);
    EXPECT_EQ(p.message, "");
}

TEST(PrepareDatabase, LeavesUnusableFilesUntouched) {
    TempDir prog;
    const fs::path db = prog / "kickora.mdb";

    std::mt19937 rng(7);
    std::string random(8192, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    const std::string nwind = readFile(testsupport::fixture("jet/nwind.mdb"));
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"random bytes", random},
        {"empty", ""},
        {"Jet file cut short", nwind.substr(0, 6000)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        writeFile(db, bytes);
        DatabasePreparation p = prepareDatabase(db);
        EXPECT_EQ(p.outcome, DatabasePreparation::Outcome::Unusable);
        EXPECT_NE(p.message.find("unverändert"), std::string::npos) << p.message;
        EXPECT_EQ(readFile(db), bytes);
        EXPECT_EQ(filesIn(prog.path()), std::set<std::string>{"kickora.mdb"});
    }

    fs::remove(db);
    DatabasePreparation missing = prepareDatabase(db);
    EXPECT_EQ(missing.outcome, DatabasePreparation::Outcome::Missing);
    EXPECT_NE(missing.message, "");
}
