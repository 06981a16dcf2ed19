#include "config/squadgen.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "common/jetdb.h"
#include "common/progress.h"
#include "foundation/schema.h"
#include "testsupport.h"

namespace {

struct Recorder final : ProgressSink {
    std::vector<int> values;
    void status(const std::string&) override {}
    void percent(int v) override { values.push_back(v); }
};

struct SquadDb : ::testing::Test {
    testsupport::TempDir dir;
    jet::Database db = jet::Database::open(dir / "kickora.mdb", true);
    void SetUp() override { schema::createGameSchema(db); }
    long long scalar(const std::string& sql) { return db.query(sql).field(0).toInt(); }
};

}  // namespace

TEST(SquadSlots, TwentySlotTemplateRepeats) {
    std::map<int, int> perPosition;
    for (int i = 0; i < 20; ++i) {
        ++perPosition[squadgen::slotPosition(i)];
        EXPECT_EQ(squadgen::slotShirtNumber(i), i + 1);
    }
    EXPECT_EQ(perPosition, (std::map<int, int>{{0, 2}, {1, 6}, {2, 7}, {3, 5}}));
    const int boundaries[][2] = {{1, 0}, {2, 1}, {7, 1}, {8, 2}, {14, 2}, {15, 3}, {19, 3}};
    for (const auto& [slot, position] : boundaries) {
        EXPECT_EQ(squadgen::slotPosition(slot), position) << slot;
        EXPECT_EQ(squadgen::slotPosition(slot + 20 * 7), position) << slot;
    }
    EXPECT_EQ(squadgen::slotShirtNumber(20), 1);
    EXPECT_EQ(squadgen::slotShirtNumber(1699), 20);
}

TEST_F(SquadDb, PlaceholderPlayersInAnEmptyWorldStartAtOne) {
    Recorder progress;
    EXPECT_EQ(squadgen::generate(db, 77, "Deutschland", 20, &progress), 1);

    // number and name, S., no strength, country, 180 cm, the template's position and shirt, 100 games
    const int positions[20] = {0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
    jet::Recordset rs = db.query("SELECT NUMMER & '|' & NAME & '|' & VORNAME & '|' & [STÄRKE] & '|' & [MAX_STÄRKE] & '|' & "
                                 "NATION & '|' & GROESSE & '|' & ART & '|' & [REST_EINSÄTZE] & '|' & RUECKENNUMMER & '|' & "
                                 "GESICHT & '|' & ERLERNT & '|' & GESPERRT FROM spieler ORDER BY NUMMER");
    ASSERT_EQ(rs.recordCount(), 20);
    for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
        const std::string n = std::to_string(i + 1);
        EXPECT_EQ(rs.field(0).toString(),
                  n + "|" + n + "|S.|0|0|Deutschland|180|" + std::to_string(positions[i]) + "|100|" + n + "|0||");
    }
    EXPECT_EQ(scalar("SELECT count(*) FROM vereinspieler WHERE verein=77"), 20);
    EXPECT_EQ(scalar("SELECT count(*) FROM spielerinvereine WHERE verein=77"), 20);
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.back(), 100);
    for (std::size_t i = 1; i < progress.values.size(); ++i) EXPECT_GE(progress.values[i], progress.values[i - 1]);
}

TEST_F(SquadDb, NumbersFollowTheHighestPlayerAndNationIsStoredAsTyped) {
    db.execute("INSERT INTO spieler (NUMMER, NAME) VALUES (500, \"Alt\")");
    const std::string nation = "Côte d'Ivoire \"Süd\"";
    EXPECT_EQ(squadgen::generate(db, 3, nation, 1700), 501);
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler"), 1701);
    EXPECT_EQ(scalar("SELECT max(NUMMER) FROM spieler"), 2200);
    EXPECT_EQ(db.query("SELECT DISTINCT NATION FROM spieler WHERE NUMMER>500").field(0).toString(), nation);
    // Shirt numbers run through 1 to 20 again and again: 85 players of each.
    jet::Recordset shirts = db.query("SELECT RUECKENNUMMER, count(*) FROM spieler WHERE NUMMER>500 GROUP BY RUECKENNUMMER");
    EXPECT_EQ(shirts.recordCount(), 20);
    for (; !shirts.eof(); shirts.moveNext()) EXPECT_EQ(shirts.field(1).toInt(), 85);
    EXPECT_EQ(scalar("SELECT ART FROM spieler WHERE NUMMER=" + std::to_string(501 + 20 * 40 + 15)), 3);
}

TEST_F(SquadDb, AFailureLeavesNoHalfSquad) {
    db.executeNative("DROP VIEW spielerinvereine; DROP TABLE vereinspieler");
    EXPECT_THROW(squadgen::generate(db, 5, "Polen", 20), jet::Error);
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler"), 0);
}
