// The workbench's lists: copying into the squad of 20, ghosting, removing, selections, presets,
// the pop-up menu and the keys.
#include "common/random.h"
#include "import/workbench.h"
#include "importworld.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

using namespace imp;
using testsupport::TempDir;

namespace {

ClubFile fileWith(const TempDir& dir, const std::vector<importtest::PlayerSpec>& players)
{
    importtest::writeExporterFile(dir / "club.aet", importtest::clubFileText("FC Test", players));
    return loadClubFile(dir / "club.aet");
}

std::vector<ClubPlayer> clubPlayers(int n)
{
    std::vector<ClubPlayer> v;
    for (int i = 0; i < n; ++i)
        v.push_back({1000 + i, i % 4, "Alt" + std::to_string(i), "V", 1000});
    return v;
}

std::vector<int> range(int n)
{
    std::vector<int> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), 0);
    return v;
}

}  // namespace

TEST(Workbench, CopyStopsAtTwentyGhostsAndRemoveReleases)
{
    TempDir dir;
    const ClubFile file = fileWith(dir, importtest::players(30));
    Workbench wb;
    wb.load(&file, clubPlayers(5));
    EXPECT_EQ(wb.rows(List::File)[3].key, "I_3");
    EXPECT_EQ(wb.rows(List::Club)[2].key, "E_1002");

    EXPECT_EQ(wb.copy(List::File, {0, 1, 2}).size(), 3u);
    EXPECT_TRUE(wb.copy(List::File, {0}).empty());  // ghosted rows are not copied twice
    EXPECT_EQ(wb.copy(List::Club, range(5)).size(), 5u);
    const std::vector<int> copied = wb.copy(List::File, range(30));
    EXPECT_EQ(copied.size(), 12u);
    EXPECT_TRUE(wb.full());
    EXPECT_FALSE(wb.rows(List::File)[29].ghosted);  // no room: stays copyable

    // The squad is ordered by position; keys name the 1-based source row.
    const auto& squad = wb.rows(List::Squad);
    for (std::size_t i = 1; i < squad.size(); ++i)
        EXPECT_LE(squad[i - 1].position, squad[i].position);
    EXPECT_EQ(squad.front().key, "I_1");

    // Removing a file row's copy makes it copyable again, and the squad is short again.
    int fromFile2 = -1;
    for (int i = 0; i < wb.squadSize(); ++i)
        if (squad[static_cast<std::size_t>(i)].key == "I_3")
            fromFile2 = i;
    ASSERT_GE(fromFile2, 0);
    wb.remove({fromFile2});
    EXPECT_FALSE(wb.full());
    EXPECT_FALSE(wb.rows(List::File)[2].ghosted);
    EXPECT_EQ(wb.copy(List::File, {2}), std::vector<int>{2});

    // Members resolve back to file indices and player numbers.
    int club = 0;
    for (const SquadMember& m : wb.squadMembers())
        club += m.fromFile ? 0 : (m.playerNumber >= 1000 && m.playerNumber < 1005);
    EXPECT_EQ(club, 5);
}

TEST(Workbench, PresetsTakeTheStrongestOfEachPosition)
{
    TempDir dir;
    // Goalkeepers of rising strength, and more of every position than any preset wants.
    std::vector<importtest::PlayerSpec> specs;
    for (int i = 0; i < 32; ++i)
        specs.push_back({"P" + std::to_string(i), i % 4, (i / 4) * 1000});
    const ClubFile file = fileWith(dir, specs);
    for (int k = 1; k < kPresetItems; ++k) {
        SCOPED_TRACE(kPresetCaptions[k]);
        Workbench wb;
        wb.load(&file, {});
        RandomSource random(1);
        EXPECT_EQ(wb.preset(k, random), k - 1);
        ASSERT_TRUE(wb.full());
        int counts[4] = {0, 0, 0, 0};
        for (const Row& r : wb.rows(List::Squad)) {
            ++counts[r.position];
            // Each position's weakest chosen player is stronger than its strongest left out.
            for (const Row& f : wb.rows(List::File)) {
                if (!f.ghosted && f.position == r.position) {
                    EXPECT_GE(r.strength, f.strength);
                }
            }
        }
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(counts[p], kFormationCounts[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(p)]);
    }
    // Zufallssystem draws among the first nine only.
    std::set<int> drawn;
    RandomSource random(7);
    for (int i = 0; i < 300; ++i) {
        Workbench wb;
        wb.load(&file, {});
        drawn.insert(wb.preset(0, random));
    }
    EXPECT_EQ(drawn.size(), 9u);
    EXPECT_EQ(drawn.count(9), 0u);
}

TEST(Workbench, ShortPresetLeavesRoomAndGhostsOnlyCopiedRows)
{
    TempDir dir;
    const ClubFile file = fileWith(dir, {{"A", 0, 1000}, {"B", 3, 2000}, {"C", 3, 3000}});
    Workbench wb;
    wb.load(&file, clubPlayers(20));
    RandomSource random(1);
    wb.preset(1, random);
    EXPECT_EQ(wb.squadSize(), 3);
    EXPECT_EQ(wb.fillFromClub(), 17);
    EXPECT_TRUE(wb.full());
    // A preset on a full squad copies nothing and leaves no row ghosted without a copy.
    Workbench full;
    full.load(&file, clubPlayers(20));
    full.fillFromClub();
    full.preset(1, random);
    for (const Row& r : full.rows(List::File))
        EXPECT_FALSE(r.ghosted);
}

TEST(Workbench, SelectionsSkipGhostedRows)
{
    TempDir dir;
    const ClubFile file = fileWith(dir, importtest::players(5));
    Workbench wb;
    wb.load(&file, {});
    wb.copy(List::File, {1});
    EXPECT_EQ(wb.select(List::File, Selection::All, {}), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(wb.select(List::File, Selection::None, {0, 1, 2}), (std::vector<int>{1}));
    EXPECT_EQ(wb.select(List::File, Selection::Invert, {0, 3}), (std::vector<int>{2, 4}));
    EXPECT_EQ(wb.freePlayerRows({0, 1}, false), std::vector<int>{0});
    EXPECT_EQ(wb.freePlayerRows({}, true), (std::vector<int>{0, 2, 3, 4}));
    wb.markFree({0});
    EXPECT_TRUE(wb.copy(List::File, {0}).empty());
}

TEST(Workbench, PopupMenuAndKeysPerList)
{
    struct Case {
        List list;
        bool selected;
        bool presets, copyShown, copyEnabled, remove, freeShown, freeEnabled;
    };
    const Case cases[] = {
        {List::File, true, true, true, true, false, true, true},
        {List::File, false, true, true, false, false, true, true},
        {List::Club, true, false, true, true, false, true, false},
        {List::Squad, true, false, false, false, true, false, false},
    };
    for (const Case& c : cases) {
        const auto m = popupMenu(c.list, c.selected);
        EXPECT_EQ(m[MenuPresets].visible, c.presets);
        EXPECT_EQ(m[MenuCopy].visible, c.copyShown);
        EXPECT_EQ(m[MenuCopy].enabled, c.copyEnabled);
        EXPECT_EQ(m[MenuRemove].visible, c.remove);
        EXPECT_EQ(m[MenuFreePlayers].visible, c.freeShown);
        EXPECT_EQ(m[MenuFreePlayers].enabled, c.freeEnabled);
        for (int i : {2, 3, 4, 5, 9, 10})
            EXPECT_TRUE(m[static_cast<std::size_t>(i)].visible);
    }
    EXPECT_EQ(menuItemForKey(List::File, 2, 65), MenuSelectAll);
    EXPECT_EQ(menuItemForKey(List::Squad, 2, 85), MenuInvert);
    EXPECT_EQ(menuItemForKey(List::Club, 2, 67), MenuCopy);
    EXPECT_EQ(menuItemForKey(List::Squad, 2, 67), -1);
    EXPECT_EQ(menuItemForKey(List::Squad, 0, 46), MenuRemove);
    EXPECT_EQ(menuItemForKey(List::File, 0, 46), -1);
}
