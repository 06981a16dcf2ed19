// Talent grid logic: the catalogue rows of a demo database, icon names, which rows each
// position sees, and the states with the two lists they are read from and written to.
#include "common/jetdb.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "mainwindow/talents.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace talents;

namespace {

std::pair<QString, QString> roundTrip(const QString& learned, const QString& blocked) {
    States s;
    s.load(learned, blocked);
    std::pair<QString, QString> out;
    s.talentsum(out.first, out.second);
    return out;
}

}  // namespace

TEST(TalentIcons, FileNamesHaveAtLeastTwoDigits) {
    for (auto [n, name] : {std::pair{0, "attribute_hell_00.gif"}, {7, "attribute_hell_07.gif"}, {123, "attribute_hell_123.gif"}})
        EXPECT_EQ(iconFileName(n), name);
}

TEST(TalentRows, VisibilityFollowsThePositionAndMatchesTheDemoCatalogue) {
    int fieldOnly = 0, shared = 0, keeperOnly = 0;
    for (int row = 1; row <= kRows; ++row) {
        const bool keeper = rowVisible(row, 0);
        for (int art = 1; art <= 3; ++art) EXPECT_EQ(rowVisible(row, art), rowVisible(row, 1)) << row;
        const bool field = rowVisible(row, 1);
        EXPECT_TRUE(keeper || field) << "row " << row << " is shown to nobody";
        fieldOnly += field && !keeper;
        shared += field && keeper;
        keeperOnly += keeper && !field;
        // The demo world draws talents for a position from exactly these rows.
        EXPECT_EQ(field, row - 1 < demo::kFirstGoalkeeperTalent) << row;
        EXPECT_EQ(keeper, row - 1 >= demo::kFirstSharedTalent) << row;
    }
    EXPECT_EQ(fieldOnly, 40);
    EXPECT_EQ(shared, 7);
    EXPECT_EQ(keeperOnly, 6);
}

// Rows 1 and 53 tell whether the grid shows a position's rows already; all rows shown (the
// grid before the first player) suits nobody.
TEST(TalentRows, VisibilityIsAppliedOnlyWhenTheShownRowsDoNotFit) {
    struct Case {
        int art;
        bool first, last, matches;
    };
    const Case cases[] = {{1, true, true, false},  {1, true, false, true},  {1, false, true, false},
                          {3, false, false, false}, {0, true, true, false},  {0, true, false, false},
                          {0, false, true, true},   {0, false, false, true}};
    for (const Case& c : cases)
        EXPECT_EQ(visibilityMatches(c.art, c.first, c.last), c.matches) << c.art << c.first << c.last;
}

TEST(TalentStates, ListsAreReadIntoRowsAndWrittenBackUnchanged) {
    States s;
    s.load(QStringLiteral("0,5"), QStringLiteral("40"));
    for (auto [row, state] : {std::pair{1, State::Learned}, {6, State::Learned}, {41, State::Blocked}}) {
        EXPECT_EQ(s.state(row), state) << row;
        EXPECT_EQ(s.value(row), state == State::Learned ? row : -row) << row;
    }
    int marked = 0;
    for (int r = 1; r <= s.rows(); ++r) marked += s.state(r) != State::None;
    EXPECT_EQ(marked, 3);

    EXPECT_EQ(roundTrip("0,5", "40"), std::make_pair(QString("0,5"), QString("40")));
    EXPECT_EQ(roundTrip("", ""), std::make_pair(QString(), QString()));
    // Blanks around elements are read; the lists come back in row order without blanks.
    EXPECT_EQ(roundTrip(" 17 , 3,40 ", " 52"), std::make_pair(QString("3,17,40"), QString("52")));
    // A talent in both lists is blocked; elements that are not numbers are skipped.
    EXPECT_EQ(roundTrip("2,x,,9", "9"), std::make_pair(QString("2"), QString("9")));
    // Indices the grid has no row for are kept as they were.
    EXPECT_EQ(roundTrip("1,60", "55,52"), std::make_pair(QString("1,60"), QString("52,55")));
    EXPECT_EQ(roundTrip("60", "60"), std::make_pair(QString(), QString("60")));
}

TEST(TalentStates, ClickingCyclesNoneLearnedBlockedNone) {
    States s;
    const auto sums = [&s] {
        std::pair<QString, QString> out;
        s.talentsum(out.first, out.second);
        return out;
    };
    s.load(QStringLiteral("3"), QString());
    EXPECT_EQ(s.cycle(10), State::Learned);
    EXPECT_EQ(s.cycle(48), State::Learned);
    EXPECT_EQ(s.cycle(48), State::Blocked);
    EXPECT_EQ(sums(), std::make_pair(QString("3,9"), QString("47")));
    EXPECT_EQ(s.cycle(48), State::None);
    EXPECT_EQ(sums(), std::make_pair(QString("3,9"), QString()));
    // setattribute: kind times row.
    s.set(20, -1);
    EXPECT_EQ(s.value(20), -20);
    s.set(20, 0);
    EXPECT_EQ(s.state(20), State::None);
    // Rows outside the grid are ignored.
    EXPECT_EQ(s.cycle(0), State::None);
    EXPECT_EQ(s.cycle(kRows + 1), State::None);
    EXPECT_EQ(sums(), std::make_pair(QString("3,9"), QString()));
    // Loading another player starts from nothing.
    s.load(QString(), QStringLiteral("1"));
    EXPECT_EQ(sums(), std::make_pair(QString(), QString("1")));
}

TEST(TalentCatalogue, FirstRowsOfTheDatabaseInIdOrder) {
    testsupport::TempDir dir;
    demo::writeDatabase(dir.path() / "kickora.mdb", demo::Options{1, 5});
    jet::Database db = jet::Database::open(dir.path() / "kickora.mdb");
    const std::vector<Talent> list = loadCatalogue(db);
    ASSERT_EQ(static_cast<int>(list.size()), kRows);
    ASSERT_GT(static_cast<int>(demo::talents().size()), kRows);  // longer catalogues are cut
    for (int i = 0; i < kRows; ++i) {
        const demo::Talent& t = demo::talents()[i];
        EXPECT_EQ(list[i].name.toStdString(), t.name);
        EXPECT_EQ(list[i].text.toStdString(), t.group);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(list[i].references[k], t.voraus[k]) << i;
            EXPECT_EQ(list[i].references[3 + k], t.schutz[k]) << i;
        }
    }
    // A shorter catalogue gives as many rows as it has.
    db.execute("DELETE * FROM e_attribute WHERE id>10");
    EXPECT_EQ(loadCatalogue(db).size(), 10u);
}
