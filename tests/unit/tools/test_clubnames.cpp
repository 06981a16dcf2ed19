// The club-name check: the proposals of the three rules, which names are listed, the save.
#include "common/progress.h"
#include "editor/tools/clubnames.h"
#include "testsupport.h"
#include "toolsworld.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

TEST(ClubNames, ProposalsOfTheThreeRules)
{
    const struct {
        const char* name;
        const char* proposals[3];
    } cases[] = {
        {"Fußballclubverein", {"Fußballclubverein", "Fußballclubverein", "Fußballclubverein"}},
        {"Borussia Mönchengladbach", {"Borussia Mönchengladbach", "Borussia Mönchengladbach", "Borussia Mönchengladbach"}},
        {"Sportfreunde Blau Weiß", {"Sportfreunde Blau Weiß", "Blau Weiß", "Sportfreunde Blau"}},
        {"1. FC Kalten Rosenfelde", {"1. FC Kalten Rosenfelde", "FC Kalten Rosenfelde", "1. FC Kalten"}},
        {"A  B", {"A  B", " B", "A "}},  // a double blank makes an empty word
    };
    for (const auto& c : cases)
        for (int rule = 0; rule < clubnames::kRules; ++rule)
            EXPECT_EQ(clubnames::proposal(c.name, rule), c.proposals[rule]) << c.name << " rule " << rule;
}

TEST(ClubNames, LongNamesAreListedByNameAndSavedAsTyped)
{
    TempDir tmp;
    jet::Database db = toolstest::emptyWorld(tmp / "kickora.mdb");
    toolstest::addClub(db, 1, "Sportfreunde Blau Weiß", "vereine_national");  // national teams are not looked at
    toolstest::addClub(db, 2, "Zwölfzeichen123");      // 15 characters, 16 bytes
    toolstest::addClub(db, 3, "Zwölfzeichen1234");     // 16 characters
    toolstest::addClub(db, 4, "Alemannia Rotdorf 08");
    toolstest::addClub(db, 5, "Kurz");
    NullProgress progress;
    auto clubs = clubnames::longNames(db, progress);
    ASSERT_EQ(clubs.size(), 2u);
    EXPECT_EQ(clubs[0].number, 4);
    EXPECT_EQ(clubs[1].number, 3);
    EXPECT_EQ(clubnames::length("Zwölfzeichen123"), 15);

    // A quote in the name is stored as typed; a name that fits leaves the list.
    const struct {
        long long club;
        const char* name;
        std::size_t listed;
    } saves[] = {{4, "Alemannia \"Rot\" 08", 2}, {3, "Zwölf 'Zeichen'", 1}, {4, "SC \"08\"", 0}};
    for (const auto& s : saves) {
        clubnames::rename(db, s.club, s.name);
        EXPECT_EQ(db.query("SELECT name FROM vereine WHERE nummer=" + std::to_string(s.club)).field(0).toString(), s.name);
        EXPECT_EQ(clubnames::longNames(db, progress).size(), s.listed) << s.name;
    }
}
