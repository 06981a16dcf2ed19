// The transfer market on small worlds: filling club 0, the growth draw, both swaps, the lists,
// and what bad rows and failing statements leave behind.
#include "import/market.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "common/random.h"
#include "config/configworld.h"
#include "importworld.h"

namespace {

struct Recorder final : ProgressSink {
    std::vector<std::string> texts;
    std::vector<int> values;
    void status(const std::string& text) override { texts.push_back(text); }
    void percent(int v) override { values.push_back(v); }
};

class Market : public ::testing::Test {
protected:
    void SetUp() override {
        db.executeNative("PRAGMA synchronous=OFF");  // many one-row statements; no need to wait for the disk
        db.executeNative(R"SQL(
INSERT INTO vereine_national (NUMMER, NAME, NATION, KONTINENT) VALUES (1, 'Deutschland', 'Deutschland', 'West-Europa');
INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (0, 'TRANSFERMARKT', NULL);
INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (5, 'FC Nord', 'Deutschland');
INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (6, 'SV "Süd"', 'Deutschland');
)SQL");
    }

    // A game player in club `club` with recognisable values in every column.
    void player(long long nummer, long long club, const std::string& name = "Alt") {
        db.executeNative("INSERT INTO spieler VALUES (" + std::to_string(nummer) + ", '" + name + "', 'S.', 2000, 4000, " +
                         "'TRANSFERMARKT', 180 + " + std::to_string(nummer % 10) + ", 1, 100, 3, 4, " +
                         std::to_string(nummer % 40) + ", 8, 1, 2, '3,4', '5')");
        db.executeNative("INSERT INTO vereinspieler VALUES (" + std::to_string(club) + ", " + std::to_string(nummer) + ")");
    }
    void freePlayer(const std::string& name, const std::string& vorname, const std::string& land, long long staerke,
              const std::string& verein = "Zentor FC") {
        db.execute("INSERT INTO z4spieler (name, vorname, Land, verein, position, staerke, Restspiele, Rueckennummer, "
                   "Gesicht, Hautfarbe, Haarfarbe) VALUES (" + jetsql::quote(name) + ", " + jetsql::quote(vorname) + ", " +
                   jetsql::quote(land) + ", " + jetsql::quote(verein) + ", 2, " + std::to_string(staerke) +
                   ", 30, 9, 4100, 3, 4)");
    }
    long long scalar(const std::string& sql) { return db.query(sql).field(0).toInt(); }
    std::string row(const std::string& sql) { return importtest::row(db, sql); }
    std::vector<std::string> everything() {
        std::vector<std::string> all;
        for (const char* t : {"spieler", "vereinspieler", "z4spieler", "vereine_national"})
            for (auto& r : configtest::rows(db, t)) all.push_back(std::string(t) + ":" + r);
        return all;
    }
    // The names in the slots 101 .. 199, by number.
    std::vector<std::string> slotNames() {
        std::vector<std::string> names;
        for (auto rs = db.query("SELECT NAME FROM spieler WHERE NUMMER>100 AND NUMMER<200 ORDER BY NUMMER"); !rs.eof();
             rs.moveNext())
            names.push_back(rs.field(0).toString());
        return names;
    }
    market::FillResult fill(std::uint64_t seed = 1) {
        RandomSource rnd(seed);
        return market::spielerz4_nach_tmarkt(db, progress, rnd);
    }

    testsupport::TempDir dir;
    jet::Database db = configtest::emptyWorld(dir / "kickora.mdb");
    Recorder progress;
};

}  // namespace

TEST(MarketRules, GrowthDrawStaysWithinTheRangeOfTheStrength) {
    // Strength -> every maximum the draw may give. Rows below the line are the rule for values
    // outside the three ranges: a gap counts to the range above, a negative value as 0, above
    // 12000 nothing is added.
    const struct {
        long long staerke;
        std::set<long long> maxima;
    } cases[] = {
        {0, {0, 2000, 4000, 6000}},
        {3000, {4000, 6000}},
        {4000, {4000, 6000, 8000, 10000}},
        {5000, {6000, 8000, 10000}},
        {7000, {8000, 10000}},
        {8000, {8000, 10000, 12000}},
        {11000, {12000}},
        {12000, {12000}},
        // ----
        {3500, {3500, 5500, 7500, 9500}},
        {7500, {7500, 9500, 11500}},
        {-2000, {0, 2000, 4000, 6000}},
        {13000, {13000}},
    };
    for (const auto& c : cases) {
        std::set<long long> seen;
        RandomSource rnd(7);
        for (int i = 0; i < 400; ++i) seen.insert(market::wachstum(c.staerke, rnd));
        EXPECT_EQ(seen, c.maxima) << c.staerke;
    }
}

TEST(MarketRules, FirstNamesAndListKeys) {
    const std::pair<const char*, const char*> names[] = {
        {"Karl", "K."}, {".", ".."}, {"", "."}, {"Émile", "É."}, {"Ölaf", "Ö."}};
    for (const auto& [in, out] : names) EXPECT_EQ(market::kurzvorname(in), out) << in;
    const std::pair<const char*, long long> keys[] = {{"S_17", 17}, {"S_0", 0}, {"S_", -1}, {"T_3", -1}, {"S_3x", -1}};
    for (const auto& [key, n] : keys) EXPECT_EQ(market::keyNumber(key), n) << key;
}

TEST_F(Market, FiveSlotsTakeFiveOfTwelveFreePlayersAtRandom) {
    for (int i = 0; i < 5; ++i) player(101 + i, 0);
    player(200, 5);
    for (int i = 0; i < 12; ++i) freePlayer("Frei" + std::to_string(i), "Vorname", "Deutschland", 6000);
    const auto before = configtest::rows(db, "z4spieler");

    EXPECT_EQ(fill(3).filled, 5);
    const std::vector<std::string> names = slotNames();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 5u);
    for (const std::string& n : names) EXPECT_EQ(n.rfind("Frei", 0), 0u) << n;
    // The free players stay; slots keep height, preferred position and shirt number; talents go.
    EXPECT_EQ(configtest::rows(db, "z4spieler"), before);
    EXPECT_EQ(row("SELECT VORNAME, STÄRKE, NATION, GROESSE, ART, REST_EINSÄTZE, LIEBLINGSPOS_X, RUECKENNUMMER, GESICHT, "
                  "HAARFARBE, ERLERNT, GESPERRT FROM spieler WHERE NUMMER=103"),
              "V.|6000|Deutschland|183|2|30|3|23|4100|4||");
    EXPECT_EQ(row("SELECT NAME FROM spieler WHERE NUMMER=200"), "Alt");
    EXPECT_EQ(progress.texts, std::vector<std::string>{market::kSaveStatus});
    EXPECT_EQ(progress.values, (std::vector<int>{0, 25, 50, 75, 100}));
}

TEST_F(Market, TwelveSlotsAndFiveFreePlayersFillTheFirstFiveSlots) {
    for (long long n : {112, 101, 107, 103, 110, 102, 111, 104, 105, 108, 106, 109}) player(n, 0);
    for (int i = 0; i < 5; ++i) freePlayer("Frei" + std::to_string(i), "V", "Deutschland", 1000);
    EXPECT_EQ(fill().filled, 5);
    const std::vector<std::string> names = slotNames();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(names[i].rfind("Frei", 0) == 0, i < 5) << i << names[i];
    EXPECT_EQ(std::set<std::string>(names.begin(), names.begin() + 5).size(), 5u);
    // A slot whose player row is missing takes a free player but fills nothing.
    db.executeNative("DELETE FROM spieler WHERE NUMMER=101");
    EXPECT_EQ(fill().filled, 4);
}

TEST_F(Market, QuotesUnknownCountriesAndEmptyRowsInTheFill) {
    for (int i = 0; i < 4; ++i) player(101 + i, 0);
    db.executeNative("INSERT INTO z4spieler DEFAULT VALUES");  // Null in every column
    freePlayer("O\"Neil", ".", "Nirgendland", 3000);
    db.executeNative("INSERT INTO z4spieler (name, vorname, Land, verein, position, staerke, Restspiele, Rueckennummer, "
                     "Gesicht, Hautfarbe, Haarfarbe) VALUES ('Leer', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                     "NULL, NULL)");

    const market::FillResult r = fill();
    // The nameless row is passed over; the other two fill slots 101 and 102.
    EXPECT_EQ(r.filled, 2);
    EXPECT_EQ(r.nationsCreated, 1);
    EXPECT_EQ(row("SELECT VORNAME, NATION, MAX_STÄRKE IN (4000, 6000) FROM spieler WHERE NAME=\"O\"\"Neil\""),
              "..|Nirgendland|1");
    EXPECT_EQ(row("SELECT KONTINENT FROM vereine_national WHERE NAME=\"Nirgendland\""), "Atlantis");
    // What the row without values does not say, the slot keeps.
    EXPECT_EQ(row("SELECT VORNAME, STÄRKE, MAX_STÄRKE, NATION, ART, GESICHT FROM spieler WHERE NAME=\"Leer\""),
              ".|2000|4000|TRANSFERMARKT|1|8");
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler WHERE NAME=\"Alt\""), 2);
    EXPECT_EQ(scalar("SELECT count(*) FROM z4spieler"), 3);
}

TEST_F(Market, AFailingStatementLeavesTheDatabaseAsItWas) {
    for (int i = 0; i < 6; ++i) player(101 + i, 0);
    for (int i = 0; i < 6; ++i) freePlayer("Frei" + std::to_string(i), "V", "Land" + std::to_string(i), 1000);
    db.executeNative("CREATE TRIGGER stop BEFORE UPDATE ON spieler WHEN new.NUMMER=105 BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    const auto start = everything();
    EXPECT_THROW(fill(), jet::Error);
    EXPECT_EQ(everything(), start);
}

TEST_F(Market, FreePlayerSwapKeepsTheNumberOfFreePlayers) {
    player(301, 6, "Tauschmann");
    player(302, 6);
    freePlayer("O\"Neil", "Seán", "Irland", 12000, "Zentor \"United\"");
    freePlayer("Zweiter", "Z", "Deutschland", 1000, "Zentor \"United\"");
    const long long freeBefore = scalar("SELECT count(*) FROM z4spieler");
    const long long id = scalar("SELECT id FROM z4spieler WHERE name=\"O\"\"Neil\"");
    RandomSource rnd(1);

    market::tauschFrei(db, id, 301, market::vereinText(db, 6), rnd);

    EXPECT_EQ(scalar("SELECT count(*) FROM z4spieler"), freeBefore);
    EXPECT_EQ(scalar("SELECT count(*) FROM z4spieler WHERE id=" + std::to_string(id)), 0);
    EXPECT_EQ(row("SELECT NAME, VORNAME, STÄRKE, MAX_STÄRKE, NATION, RUECKENNUMMER, GROESSE FROM spieler WHERE NUMMER=301"),
              "O\"Neil|S.|12000|12000|Irland|9|181");
    EXPECT_EQ(scalar("SELECT verein FROM vereinspieler WHERE spieler=301"), 6);
    // The player's old data are the newest free player, with his club as the lists show it.
    EXPECT_EQ(row("SELECT name, vorname, Land, verein, position, staerke, Restspiele, Rueckennummer, Gesicht, Hautfarbe, "
                  "Haarfarbe FROM z4spieler ORDER BY id DESC"),
              "Tauschmann|S.|TRANSFERMARKT|SV \"Süd\" (Deutschland)|1|2000|100|21|8|1|2");
}

TEST_F(Market, SwapsThatCannotWorkChangeNothing) {
    player(301, 6);
    player(302, 5);
    db.executeNative("INSERT INTO spieler (NUMMER) VALUES (303)");
    db.executeNative("INSERT INTO vereinspieler VALUES (6, 303)");
    freePlayer("Frei", "F", "Deutschland", 1000);
    db.executeNative("INSERT INTO z4spieler DEFAULT VALUES");
    const long long good = scalar("SELECT id FROM z4spieler WHERE name=\"Frei\"");
    const long long empty = scalar("SELECT id FROM z4spieler WHERE name Is Null");
    const auto start = everything();
    RandomSource rnd(1);
    const struct {
        const char* what;
        std::function<void()> swap;
        std::string message;
    } cases[] = {
        {"free player without data", [&] { market::tauschFrei(db, empty, 301, "X", rnd); },
         "Der freie Spieler " + std::to_string(empty) + " hat keinen Namen und kann nicht übernommen werden."},
        {"unknown free player", [&] { market::tauschFrei(db, 999, 301, "X", rnd); }, "Den freien Spieler 999 gibt es nicht."},
        {"unknown player", [&] { market::tauschFrei(db, good, 999, "X", rnd); }, "Den Spieler 999 gibt es nicht."},
        {"nameless player", [&] { market::tauschFrei(db, good, 303, "X", rnd); },
         "Der Spieler 303 hat keinen Namen und kann nicht zu den freien Spielern. Bitte erst einen Namen eintragen."},
        {"player of another club", [&] { market::tauschEditor(db, 301, 6, 302, 6); },
         "Der Spieler 302 gehört nicht zum Verein 6."},
    };
    for (const auto& c : cases) {
        try {
            c.swap();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const jet::Error& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
        EXPECT_EQ(everything(), start) << c.what;
    }
}

TEST_F(Market, EditorSwapMovesOnlyTheMembershipsOfTheTwoClubs) {
    player(301, 6);
    player(302, 5);
    db.executeNative("INSERT INTO vereinspieler VALUES (1, 301)");  // also in the national team
    market::tauschEditor(db, 301, 6, 302, 5);
    EXPECT_EQ(configtest::rows(db, "vereinspieler"),
              (std::vector<std::string>{"I5|I301|", "I6|I302|", "I1|I301|"}));
    EXPECT_THROW(market::vereinVon(db, 301), jet::Error);
    EXPECT_EQ(market::vereinVon(db, 302), 6);
}

TEST_F(Market, ListsShowKeysNamesPositionsAndStars) {
    player(301, 6, "Zorn");
    player(302, 6, "Adler");
    freePlayer("Bär", "Ben", "Deutschland", 5000, "Zentor \"United\"");
    freePlayer("Ahn", "Al", "Deutschland", 12000, "Zentor \"United\"");
    freePlayer("Weg", "W", "Deutschland", 0, "Anderer");
    db.executeNative("INSERT INTO z4spieler DEFAULT VALUES");

    const std::vector<QString> clubs = market::freieVereine(db);
    EXPECT_EQ(clubs, (std::vector<QString>{"Anderer", "Zentor \"United\""}));
    const auto text = [](const market::ListEntry& e) {
        return QString::fromStdString(e.key) + "|" + e.text + "|" + e.position + "|" + e.stars + "|" + QString::number(e.art);
    };
    QStringList shown;
    for (const auto& e : market::freieSpieler(db, clubs[1])) shown << text(e);
    for (const auto& e : market::vereinsSpieler(db, 6)) shown << text(e);
    const long long ahn = scalar("SELECT id FROM z4spieler WHERE name=\"Ahn\"");
    EXPECT_EQ(shown, (QStringList{QStringLiteral("S_%1|Al Ahn|MIT|6,0 Sterne|2").arg(ahn),
                                  QStringLiteral("S_%1|Ben Bär|MIT|2,5 Sterne|2").arg(ahn - 1),
                                  "S_302|S. Adler|ABW|1,0 Sterne|1", "S_301|S. Zorn|ABW|1,0 Sterne|1"}));
}

TEST(MarketDatabase, WithoutTheFreePlayerTableTheCommandsDoNothing) {
    testsupport::TempDir dir;
    jet::Database db = configtest::emptyWorld(dir / "kickora.mdb");
    EXPECT_TRUE(market::checkz4(db));
    db.executeNative("DROP VIEW z4spielerzufall; DROP TABLE z4spieler; CREATE TABLE Z4SPIELER (id INTEGER)");
    EXPECT_TRUE(market::checkz4(db));
    db.executeNative("DROP TABLE Z4SPIELER");
    EXPECT_FALSE(market::checkz4(db));
    EXPECT_TRUE(market::freieVereine(db).empty());
    NullProgress progress;
    RandomSource rnd;
    EXPECT_EQ(market::spielerz4_nach_tmarkt(db, progress, rnd).filled, 0);
}
