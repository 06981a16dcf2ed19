// The find bar's tree filter and the player search.
#include "common/jetdb.h"
#include "demo/demoworld.h"
#include "mainwindow/find.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

TEST(TreeFilter, CountriesAndClubsByNameWithTheirWayUp) {
    find::TreeIndex index;
    const int root = index.add("L-1", "Kickora", -1);
    const int market = index.add("T0", "TRANSFERMARKT", root);
    const int europe = index.add("West-Europa", "West-Europa", -1);
    const int asia = index.add("Asien", "Asien", -1);
    const int germany = index.add("L1", "Deutschland", europe);
    const int muller = index.add("T10", "FC Müller", germany);
    const int other = index.add("T11", "SV Nord", germany);
    const int brazil = index.add("L2", "São Tomé", asia);
    const int santos = index.add("T12", "Santos", brazil);
    const struct {
        const char* needle;
        std::vector<int> visible, expanded;
    } cases[] = {
        {"", {root, market, europe, asia, germany, muller, other, brazil, santos}, {}},
        {"MULLER", {europe, germany, muller}, {europe, germany}},
        {"sao", {asia, brazil, santos}, {asia}},  // a matching country brings its clubs, closed
        {"markt", {root, market}, {root}},
        {"europa", {}, {}},                       // continents are not matched themselves
        {"s", {root, market, europe, asia, germany, muller, other, brazil, santos}, {root, europe, germany, asia, brazil}},
    };
    for (const auto& c : cases) {
        const find::TreeIndex::View view = index.filter(c.needle);
        std::vector<int> visible, expanded;
        for (int i = 0; i < static_cast<int>(index.size()); ++i) {
            if (view.visible[i]) visible.push_back(i);
            if (view.expanded[i]) expanded.push_back(i);
        }
        std::vector<int> want = c.expanded;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(visible, c.visible) << c.needle;
        if (*c.needle) EXPECT_EQ(expanded, want) << c.needle;
    }
}

TEST(PlayerSearch, MatchesFoldedNamesAndFiltersAndNamesTheTeam) {
    TempDir tmp;
    demo::writeDatabase(tmp / "kickora.mdb", demo::Options{1, 2});
    jet::Database db = jet::Database::open(tmp / "kickora.mdb");
    // Player 1 plays for national team 1 only; 900 for a club; 901 for a club and the market.
    db.execute("UPDATE spieler SET NAME = \"Qüxbaum\", VORNAME = \"A\", ART = 0, [STÄRKE] = 2000, [MAX_STÄRKE] = 2000 WHERE NUMMER IN (1, 900, 901)");
    db.execute("UPDATE spieler SET NAME = \"Zeta\", VORNAME = \"Éqüx\", ART = 3, [STÄRKE] = 4000, [MAX_STÄRKE] = 9000 WHERE NUMMER = 902");
    db.execute("INSERT INTO vereinspieler VALUES (0, 901)");
    db.execute("UPDATE vereine SET NUMMER = 0 WHERE NUMMER = (SELECT max(NUMMER) FROM vereine)");
    const auto club = [&](long long player) {
        return db.query("SELECT min(verein) FROM vereinspieler WHERE verein > 0 AND spieler = " + std::to_string(player)).field(0).toInt();
    };
    const auto numbers = [&](const find::PlayerQuery& q) {
        std::vector<long long> out;
        for (const find::PlayerHit& h : find::searchPlayers(db, q)) out.push_back(h.number);
        return out;
    };
    EXPECT_EQ(numbers({"QUX"}), (std::vector<long long>{1, 900, 901, 902}));
    EXPECT_EQ(numbers({"qux", "", 3}), (std::vector<long long>{902}));
    EXPECT_EQ(numbers({"qux", "", -1, 3000, 5000, 8000, 9000}), (std::vector<long long>{902}));
    const std::string nation = db.query("SELECT NATION FROM spieler WHERE NUMMER = 1").field(0).toString();
    for (long long n : numbers({"qüx", nation})) EXPECT_EQ(db.query("SELECT NATION FROM spieler WHERE NUMMER = " + std::to_string(n)).field(0).toString(), nation);
    EXPECT_TRUE(numbers({"\"' OR 1=1 --"}).empty());

    const auto hits = find::searchPlayers(db, {"qux"});
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0].key(), "L" + std::to_string(club(1) ? club(1) : 1));
    EXPECT_EQ(hits[1].key(), "T" + std::to_string(club(900)));
    EXPECT_FALSE(hits[1].teamName.empty());
    EXPECT_EQ(hits[2].key(), "T0");  // the smaller club number: the market
    EXPECT_EQ(find::playerKey(db, 900), hits[1].key());
    db.execute("DELETE FROM vereinspieler WHERE spieler = 1");
    EXPECT_EQ(find::playerKey(db, 1), "");
}
