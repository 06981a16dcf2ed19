// The shirt-number check: which clubs are listed, the markers, the update and the clean club.
#include "common/progress.h"
#include "editor/tools/shirtnumbers.h"
#include "testsupport.h"
#include "toolsworld.h"

#include <gtest/gtest.h>

using testsupport::TempDir;
using toolstest::addClub;
using toolstest::addPlayer;

namespace {

std::vector<std::string> texts(const std::vector<shirtnumbers::Entry>& entries)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.text);
    return out;
}

class ShirtNumbers : public ::testing::Test {
protected:
    void SetUp() override
    {
        jet::Transaction t(db);
        addClub(db, 1, "Deutschland", "vereine_national");
        addClub(db, 7, "FC \"Blau\" Äpfelstadt");
        addClub(db, 8, "Sauber 08");
        addPlayer(db, 7, 101, "Alt", "A.", 7);
        addPlayer(db, 7, 102, "Berg", "B.", 3);
        addPlayer(db, 7, 103, "Chor", "C.", 7);
        addPlayer(db, 7, 104, "Dorn", "D.", 7);
        addPlayer(db, 7, 105, "Eck", "E.", -1);
        addPlayer(db, 7, 106, "Falk", "F.", -1);  // two without a number share nothing
        addPlayer(db, 1, 201, "Gans", "G.", 9);
        addPlayer(db, 1, 202, "Hahn", "H.", 9);
        addPlayer(db, 8, 301, "Igel", "I.", 1);
        addPlayer(db, 8, 302, "Jung", "J.", 2);
        addPlayer(db, 0, 401, "Kern", "K.", 5);  // the transfer market is not checked
        addPlayer(db, 0, 402, "Laub", "L.", 5);
        t.commit();
    }
    TempDir tmp;
    jet::Database db = toolstest::emptyWorld(tmp / "kickora.mdb");
    NullProgress progress;
};

}  // namespace

TEST_F(ShirtNumbers, ListsTeamsWithSharedNumbersMarksThemAndDropsThemWhenFixed)
{
    auto clubs = shirtnumbers::findClubs(db, progress);
    ASSERT_EQ(clubs.size(), 2u);
    EXPECT_EQ(clubs[0].number, 1);
    EXPECT_EQ(clubs[0].name, "Deutschland");
    EXPECT_EQ(clubs[0].shirts, std::vector<long long>{9});
    EXPECT_EQ(clubs[1].number, 7);
    EXPECT_EQ(clubs[1].name, "FC \"Blau\" Äpfelstadt");
    EXPECT_EQ(clubs[1].shirts, std::vector<long long>{7});

    // Three sevens are marked after the first; the club drops out when they are fixed.
    const auto entries = shirtnumbers::playerEntries(db, 7);
    EXPECT_EQ(texts(entries), (std::vector<std::string>{" Eck, E.", " Falk, F.", "3 Berg, B.", "7 Alt, A.",
                                                        "*7 Chor, C.", "*7 Dorn, D."}));
    EXPECT_TRUE(shirtnumbers::hasMarker(entries));

    bool written = false;
    EXPECT_EQ(shirtnumbers::setShirtNumber(db, 103, "17", &written), "");
    EXPECT_TRUE(written);
    EXPECT_TRUE(shirtnumbers::hasMarker(shirtnumbers::playerEntries(db, 7)));
    EXPECT_EQ(shirtnumbers::setShirtNumber(db, 104, " 18 ", &written), "");
    const auto fixed = shirtnumbers::playerEntries(db, 7);
    EXPECT_FALSE(shirtnumbers::hasMarker(fixed));
    EXPECT_EQ(fixed.back().text, "18 Dorn, D.");
    clubs = shirtnumbers::findClubs(db, progress);
    ASSERT_EQ(clubs.size(), 1u);
    EXPECT_EQ(clubs[0].number, 1);
}

TEST_F(ShirtNumbers, TypedNumbersThatAreNotAcceptedChangeNothing)
{
    const struct {
        const char* typed;
        bool message;
    } cases[] = {{"", false}, {"0", false}, {"-4", false}, {"abc", true}, {"12x", true}, {"40000", true}};
    for (const auto& c : cases) {
        bool written = true;
        const std::string message = shirtnumbers::setShirtNumber(db, 101, c.typed, &written);
        EXPECT_EQ(!message.empty(), c.message) << c.typed;
        EXPECT_FALSE(written) << c.typed;
        EXPECT_EQ(shirtnumbers::shirtNumber(db, 101), "7") << c.typed;
    }
}

TEST_F(ShirtNumbers, OnlyTheFirstTwentyEntriesAreLookedAt)
{
    jet::Transaction t(db);
    addClub(db, 9, "Großkader");
    for (int i = 0; i < 22; ++i)
        addPlayer(db, 9, 500 + i, "Spieler" + std::to_string(i), "S.", i < 21 ? i + 1 : 21);
    t.commit();
    EXPECT_EQ(shirtnumbers::findClubs(db, progress).size(), 3u);
    const auto entries = shirtnumbers::playerEntries(db, 9);
    ASSERT_EQ(entries.size(), 22u);
    EXPECT_TRUE(entries[21].marked);
    EXPECT_FALSE(shirtnumbers::hasMarker(entries));
}
