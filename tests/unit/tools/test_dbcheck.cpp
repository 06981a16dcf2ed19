// The database check: a demo world with its transfer market is clean; each fault planted by
// SQL is reported once, with its kind and the club or player it belongs to.
#include "common/jetdb.h"
#include "config/squadgen.h"
#include "demo/demoworld.h"
#include "editor/tools/dbcheck.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

class DbCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world_ = std::make_unique<TempDir>();
        demo::writeProgramFolder(world_->path(), demo::Options{1, 5});
        // The transfer market as the editor creates it on its first start.
        jet::Database db = jet::Database::open(world_->path() / "kickora.mdb");
        db.execute("INSERT INTO vereine (NUMMER,NAME,GRAFIK_NR,STAERKE,STARTPLATZ) VALUES (0,'TRANSFERMARKT',999,'NULL','NULL')");
        squadgen::generate(db, 0, "TRANSFERMARKT", 1700, nullptr);
    }
    static void TearDownTestSuite() { world_.reset(); }

    void SetUp() override {
        fs::copy_file(world_->path() / "kickora.mdb", dir_ / "kickora.mdb");
        db_ = jet::Database::open(dir_ / "kickora.mdb");
    }
    std::vector<dbcheck::Finding> check() { return dbcheck::check(db_, (world_->path() / "wappen").string() + "/"); }
    long long value(const std::string& sql) { return db_.query(sql).field(0).toInt(); }

    static std::unique_ptr<TempDir> world_;
    TempDir dir_;
    jet::Database db_;
};
std::unique_ptr<TempDir> DbCheck::world_;

}  // namespace

TEST_F(DbCheck, DemoWorldWithTransferMarketIsClean) {
    for (const dbcheck::Finding& f : check()) ADD_FAILURE() << dbcheck::kindKey(f.kind) << " " << f.number << " " << f.text;
}

TEST_F(DbCheck, EachPlantedFaultIsReportedOnce) {
    using dbcheck::Kind;
    using dbcheck::Target;
    const std::string long51(51, 'x');
    const struct {
        const char* what;
        std::vector<std::string> plant;  // native SQL
        Kind kind;
        Target target;
        std::string number;  // SQL giving the expected number, run before planting
    } cases[] = {
        {"player moved to the market", {"UPDATE vereinspieler SET verein = 0 WHERE spieler = (SELECT min(spieler) FROM vereinspieler WHERE verein = 42)"},
         Kind::Squad, Target::Club, "SELECT 42"},
        {"player without membership", {"INSERT INTO spieler (NUMMER, NAME, VORNAME, NATION, STÄRKE, MAX_STÄRKE) SELECT 99001, 'Ohne', 'Verein', NAME, 1000, 2000 FROM vereine_national WHERE NUMMER = 1"},
         Kind::NoClub, Target::Player, "SELECT 99001"},
        {"national player dropped", {"DELETE FROM vereinspieler WHERE spieler = (SELECT min(spieler) FROM vereinspieler WHERE verein = 2)"},
         Kind::NoClub, Target::Player, "SELECT min(spieler) FROM vereinspieler WHERE verein = 2"},
        {"club player also on the market", {"INSERT INTO vereinspieler SELECT 0, min(spieler) FROM vereinspieler WHERE verein = 43"},
         Kind::TwoClubs, Target::Player, "SELECT min(spieler) FROM vereinspieler WHERE verein = 43"},
        {"market player listed twice", {"INSERT INTO vereinspieler SELECT 0, max(spieler) FROM vereinspieler WHERE verein = 0"},
         Kind::TwoClubs, Target::Player, "SELECT max(spieler) FROM vereinspieler WHERE verein = 0"},
        {"player number twice (table without key)",
         {"DROP VIEW spielerinvereine", "CREATE TABLE s2 AS SELECT * FROM spieler", "DROP TABLE spieler",
          "ALTER TABLE s2 RENAME TO spieler", "INSERT INTO spieler SELECT * FROM spieler WHERE NUMMER = 900"},
         Kind::NumberTwice, Target::Player, "SELECT 900"},
        {"strength above maximum", {"UPDATE spieler SET \"STÄRKE\" = \"MAX_STÄRKE\" + 1000 WHERE NUMMER = 5"},
         Kind::Strength, Target::Player, "SELECT 5"},
        {"nation of a club and a player", {"UPDATE vereine SET NATION = 'Nirgendland' WHERE NUMMER = 44", "UPDATE spieler SET NATION = 'NIRGENDLAND' WHERE NUMMER = 7"},
         Kind::Nation, Target::Club, "SELECT 44"},
        {"nation of a player", {"UPDATE spieler SET NATION = NULL WHERE NUMMER = 9"}, Kind::Nation, Target::Player, "SELECT 9"},
        {"jersey model without colours", {"UPDATE vereine SET TRIKOT_ART = 90 WHERE NUMMER = 45"},
         Kind::JerseyColours, Target::Club, "SELECT 45"},
        {"colour row unreadable",
         {"UPDATE vereine_national SET TW_TRIKOT_ART = 91 WHERE NUMMER = 3",
          "INSERT INTO e_trikotfarbeoriginal VALUES (91, '1,2,3', '1,2,3', '1,2,3', '1,2,3')",
          "INSERT INTO e_trikotfarbekickoranet VALUES (91, '1,2,3', 'blau', '1,2,3', '1,2,3')"},
         Kind::JerseyColours, Target::Country, "SELECT 3"},
        {"crest without file", {"UPDATE vereine SET GRAFIK_NR = 777 WHERE NUMMER = 46"}, Kind::Crest, Target::Club, "SELECT 46"},
        {"first name too long", {"UPDATE spieler SET VORNAME = '" + long51 + "' WHERE NUMMER = 8"},
         Kind::NameLength, Target::Player, "SELECT 8"},
        {"city too long", {"UPDATE vereine SET STADT = '" + long51 + "' WHERE NUMMER = 47"}, Kind::NameLength, Target::Club,
         "SELECT 47"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        db_.close();
        fs::remove(dir_ / "kickora.mdb");
        SetUp();
        const long long number = value(c.number);
        for (const std::string& sql : c.plant) db_.executeNative(sql);
        const auto found = check();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].kind, c.kind) << found[0].text;
        EXPECT_EQ(found[0].target, c.target) << found[0].text;
        EXPECT_EQ(found[0].number, number) << found[0].text;
    }
}

TEST_F(DbCheck, WithoutCrestFolderCrestsAreNotLookedAt) {
    db_.executeNative("UPDATE vereine SET GRAFIK_NR = 777 WHERE NUMMER = 46");
    EXPECT_TRUE(dbcheck::check(db_, "").empty());
    EXPECT_EQ(check().size(), 1u);
}
