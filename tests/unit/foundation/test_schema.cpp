// The game schema: column order of the tables read by position, the views, the stored query,
// and the repair of views after a Jet import.
#include "common/jetdb.h"
#include "editor/foundation/schema.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names columnNames(const jet::Database& db, const std::string& table)
{
    Names out;
    for (const auto& c : db.columns(table))
        out.push_back(c.name);
    return out;
}

long long scalar(jet::Database& db, const std::string& sql)
{
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    long long v = -1;
    if (sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return v;
}

class Schema : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = jet::Database::openMemory();
        schema::createGameSchema(db);
    }
    jet::Database db;
};

// The order and kinds of the club, national team and player columns are pinned by the config
// tests' exact file bytes; these are the other tables the editor reads by position.
TEST_F(Schema, TablesHaveTheGameColumnOrder)
{
    EXPECT_EQ(columnNames(db, "vereinspieler"), (Names{"verein", "spieler"}));
    EXPECT_EQ(columnNames(db, "e_gesichtsfarbe"), (Names{"Haare", "farbe", "Hautfarbe", "Haarfarbe"}));
    for (const char* t : {"e_trikotfarbeoriginal", "e_trikotfarbekickoranet"})
        EXPECT_EQ(columnNames(db, t), (Names{"nummer", "Trikot1", "Trikot2", "Hose", "Streifen"})) << t;
    EXPECT_EQ(columnNames(db, "z4spieler"),
              (Names{"id", "name", "vorname", "Land", "verein", "position", "staerke", "Restspiele", "Rueckennummer",
                     "Gesicht", "Hautfarbe", "Haarfarbe"}));

    // read by position: id, land, kontinent, competition, teams, qualification
    Names landkontinent = columnNames(db, "e_landkontinent");
    ASSERT_EQ(landkontinent.size(), 6u);
    EXPECT_EQ((Names{landkontinent[0], landkontinent[1], landkontinent[2], landkontinent[4]}),
              (Names{"id", "land", "kontinent", "teams"}));
    const Names attribute = columnNames(db, "e_attribute");  // id, two texts, three prerequisites, three protections
    ASSERT_EQ(attribute.size(), 9u);
    EXPECT_EQ(attribute[0], "id");
}

TEST_F(Schema, TextComparesWithoutCaseAndNumbersStayNumbers)
{
    db.executeNative("INSERT INTO vereine (NUMMER, NAME, STAERKE) VALUES (3, 'Borussia Falkenrode', '0')");
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM vereine WHERE NAME = 'BORUSSIA falkenrode'"), 1);
    // Text typed into a number column (the template writes everything quoted) becomes a number.
    db.executeNative("INSERT INTO spieler (NUMMER, \"STÄRKE\", GROESSE) VALUES ('17', '5000', '180')");
    EXPECT_EQ(scalar(db, "SELECT typeof(GROESSE) = 'integer' FROM spieler WHERE NUMMER = 17"), 1);
    // ... and a number written into a text column stays text.
    db.executeNative("UPDATE vereine SET STAERKE = 45 WHERE NUMMER = 3");
    EXPECT_EQ(scalar(db, "SELECT typeof(STAERKE) = 'text' FROM vereine WHERE NUMMER = 3"), 1);
}

TEST_F(Schema, PlayerViewJoinsMembershipInTheListOrder)
{
    const Names expected = {"NUMMER",        "NAME",           "VORNAME",        "STÄRKE", "MAX_STÄRKE",
                            "NATION",        "GROESSE",        "ART",            "RUECKENNUMMER",
                            "REST_EINSÄTZE", "LIEBLINGSPOS_X", "LIEBLINGSPOS_Y", "verein", "GESICHT",
                            "HAUTFARBE",     "HAARFARBE",      "ERLERNT",        "GESPERRT"};
    EXPECT_EQ(columnNames(db, "spielerinvereine"), expected);

    db.executeNative(
        "INSERT INTO spieler VALUES (1,'Brandtner','Kai',6000,8000,'Deutschland',188,3,77,2,4,9,16385,0,2,'3,5','40');"
        "INSERT INTO spieler VALUES (2,'Ohneverein','Udo',0,0,'Deutschland',180,1,100,0,0,4,0,0,0,'','');"
        "INSERT INTO vereinspieler VALUES (12, 1);");
    auto rs = db.query("SELECT * FROM spielerinvereine");
    ASSERT_EQ(rs.recordCount(), 1) << "a player without a club is not listed";
    Names row;
    for (int i = 0; i < rs.fieldCount(); ++i)
        row.push_back(rs.field(i).toString());
    // shirt number before appearances, then the club after the favourite position
    EXPECT_EQ(row, (Names{"1", "Brandtner", "Kai", "6000", "8000", "Deutschland", "188", "3", "9", "77", "2", "4", "12",
                          "16385", "0", "2", "3,5", "40"}));
}

TEST_F(Schema, MaxTeamNumberCoversClubsAndNationalTeams)
{
    EXPECT_EQ(columnNames(db, "maxteamnr"), (Names{"maxnr"}));
    db.executeNative("INSERT INTO vereine (NUMMER, NAME) VALUES (0, 'TRANSFERMARKT'), (40, 'A');"
                     "INSERT INTO vereine_national (NUMMER, NAME) VALUES (7, 'Deutschland');");
    EXPECT_EQ(scalar(db, "SELECT max(maxnr) FROM maxteamnr"), 40);
    db.executeNative("INSERT INTO vereine_national (NUMMER, NAME) VALUES (55, 'Japan')");
    EXPECT_EQ(db.query("Select max(maxnr) From maxteamnr").field(0).toInt(), 55);
}

TEST_F(Schema, FreePlayersInRandomOrderKeepTheirColumns)
{
    EXPECT_EQ(columnNames(db, "z4spielerzufall"), columnNames(db, "z4spieler"));
    for (int i = 0; i < 50; ++i)
        db.executeNative("INSERT INTO z4spieler (name, position) VALUES ('N" + std::to_string(i) + "', 1)");
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM z4spielerzufall"), 50);
    // The id is assigned by the database.
    EXPECT_EQ(scalar(db, "SELECT count(DISTINCT id) FROM z4spieler WHERE id IS NOT NULL"), 50);
}

TEST_F(Schema, StoredQueryZ4DeleteIdRemovesOnlyUnnamedFreePlayers)
{
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM jet_stored_queries WHERE name = 'z4deleteid'"), 1);
    db.executeNative("INSERT INTO z4spieler (name, vorname) VALUES ('Kovac', 'Ivo'), ('', 'X'), (NULL, 'Y'),"
                     " ('Berger', 'Tim')");
    EXPECT_EQ(db.runStoredQuery("z4deleteid"), 2);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM z4spieler"), 2);
    EXPECT_EQ(db.runStoredQuery("Z4DELETEID"), 0) << "running it again changes nothing";
}

TEST_F(Schema, IndexesServeTheEditorsLookups)
{
    auto indexed = [&](const std::string& table, const std::string& column) {
        return scalar(db, "SELECT count(*) FROM pragma_index_list('" + table + "') AS l, pragma_index_info(l.name) AS i"
                          " WHERE i.seqno = 0 AND i.name = '" + column + "'") > 0;
    };
    for (auto [table, column] : {std::pair{"vereinspieler", "verein"}, {"vereinspieler", "spieler"}, {"vereine", "NATION"},
                                 {"vereine_national", "NAME"}, {"e_gesichtsfarbe", "Haare"}})
        EXPECT_TRUE(indexed(table, column)) << table << "." << column;
}

TEST(SchemaCreate, FailureLeavesTheDatabaseAsItWas)
{
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE spieler (x INTEGER)");
    EXPECT_THROW(schema::createGameSchema(db), jet::Error);
    EXPECT_EQ(db.tableNames(), (Names{"spieler"}));
    EXPECT_TRUE(db.viewNames().empty());
}

// A database as the Jet import leaves it: tables in other spellings, no views.
void createImportedTables(jet::Database& db)
{
    db.executeNative(
        "CREATE TABLE Spieler (Nummer INTEGER, Name TEXT, Vorname TEXT, \"Stärke\" INTEGER, \"Max_Stärke\" INTEGER,"
        " Nation TEXT, Groesse INTEGER, Art INTEGER, \"Rest_Einsätze\" INTEGER, LieblingsPos_X INTEGER,"
        " LieblingsPos_Y INTEGER, RueckenNummer INTEGER, Gesicht INTEGER, Hautfarbe INTEGER, Haarfarbe INTEGER,"
        " Erlernt TEXT, Gesperrt TEXT);"
        "CREATE TABLE VEREINSPIELER (Verein INTEGER, Spieler INTEGER);"
        "CREATE TABLE VEREINE (NUMMER INTEGER, NAME TEXT);");
}

TEST(SchemaEnsureViews, CreatesMissingViewsOverOtherSpellings)
{
    jet::Database db = jet::Database::openMemory();
    createImportedTables(db);
    schema::ensureGameViews(db);

    // No free-player table: neither its view nor its stored query.
    EXPECT_EQ(db.viewNames(), (Names{"maxteamnr", "spielerinvereine"}));
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM jet_stored_queries"), 0);

    const Names cols = columnNames(db, "spielerinvereine");
    ASSERT_EQ(cols.size(), 18u);
    EXPECT_EQ(cols[3], "Stärke");  // the file's own spelling
    EXPECT_EQ(cols[8], "RueckenNummer");
    EXPECT_EQ(cols[12], "Verein");

    db.executeNative("INSERT INTO Spieler (Nummer, Name, RueckenNummer) VALUES (4, 'Lenz', 23);"
                     "INSERT INTO VEREINSPIELER VALUES (9, 4); INSERT INTO VEREINE VALUES (9, 'SV Ahlbach')");
    EXPECT_EQ(scalar(db, "SELECT RueckenNummer FROM spielerinvereine WHERE verein = 9"), 23);
    // Only clubs exist: the greatest club number.
    EXPECT_EQ(scalar(db, "SELECT max(maxnr) FROM maxteamnr"), 9);

    // The lookups by club get their index; indexes of absent tables are left out quietly.
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM sqlite_master WHERE type='index' AND name='vereinspieler_verein'"), 1);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM sqlite_master WHERE type='index' AND name='e_gesichtsfarbe_haare'"), 0);
}

TEST(SchemaEnsureViews, IsIdempotentAndLeavesExistingDefinitionsAlone)
{
    jet::Database db = jet::Database::openMemory();
    createImportedTables(db);
    db.executeNative("CREATE TABLE Z4Spieler (id INTEGER PRIMARY KEY, name TEXT);"
                     "CREATE VIEW MAXTEAMNR AS SELECT 999 AS maxnr");
    schema::ensureGameViews(db);
    const long long objects = scalar(db, "SELECT count(*) FROM sqlite_master");
    schema::ensureGameViews(db);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM sqlite_master"), objects);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM jet_stored_queries"), 1);
    EXPECT_EQ(scalar(db, "SELECT max(maxnr) FROM maxteamnr"), 999) << "the file's own view is kept";
    EXPECT_TRUE(db.hasTable("z4spielerzufall"));

    // On a complete schema there is nothing to do.
    jet::Database full = jet::Database::openMemory();
    schema::createGameSchema(full);
    const long long before = scalar(full, "SELECT count(*) FROM sqlite_master");
    schema::ensureGameViews(full);
    EXPECT_EQ(scalar(full, "SELECT count(*) FROM sqlite_master"), before);
    EXPECT_EQ(scalar(full, "SELECT count(*) FROM jet_stored_queries"), 1);
}

TEST(SchemaEnsureViews, SkipsThePlayerViewWhenAColumnIsMissingAndKeepsAnImportedStoredQuery)
{
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE spieler (NUMMER INTEGER, NAME TEXT);"
                     "CREATE TABLE vereinspieler (verein INTEGER, spieler INTEGER);"
                     "CREATE TABLE z4spieler (id INTEGER PRIMARY KEY, name TEXT);"
                     "CREATE TABLE jet_stored_queries (name TEXT, sql TEXT);"
                     "INSERT INTO jet_stored_queries VALUES ('Z4DeleteId', 'DELETE * FROM z4spieler WHERE id<0');");
    EXPECT_NO_THROW(schema::ensureGameViews(db));
    EXPECT_FALSE(db.hasTable("spielerinvereine"));
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM jet_stored_queries"), 1);
}

}  // namespace
