#include "exporter/zmenu.h"

#include <gtest/gtest.h>

using namespace zexp;

namespace {

const NodeRef kRoot{"Zentor", "Zentor"};
const NodeRef kEuropa{"K1", "Europa"};
const NodeRef kLand{"L5", "Deutschland"};
const NodeRef kLiga{"P3L5", "1. Liga"};
const NodeRef kOhne{"P0L5", "(keine Liga)"};
const NodeRef kTeam{"T12", "FC Adler"};
const NodeRef kAmateur{"T40", "FC Adler II"};

NodeContext teamCtx(const NodeRef& t = kTeam, const NodeRef& group = kLiga) { return {t, group, kLand}; }

ExportMenu clicked(ExportMenu m, const NodeContext& ctx, int tab) {
    apply(nodeClick(ctx, tab), m);
    return m;
}

void expectEntry(const MenuEntry& e, const std::string& caption, bool enabled, const std::string& tag) {
    EXPECT_EQ(e.caption, caption);
    EXPECT_EQ(e.enabled, enabled) << caption;
    EXPECT_EQ(e.tag, tag) << caption;
}

}  // namespace

TEST(ExportMenu, StartState) {
    const ExportMenu m = ExportMenu::initial();
    expectEntry(m.entries[0], "Export Verein", false, "");
    expectEntry(m.entries[1], "Export Land", false, "");
    expectEntry(m.entries[2], "Export Liga", false, "");
    expectEntry(m.entries[3], "alle Vereine exportieren", true, "");
    EXPECT_EQ(m.entries[4].caption, "alle Spieler exportieren");
    EXPECT_FALSE(m.entries[4].visible);
}

TEST(NodeClick, TeamOnClubTab) {
    for (const NodeContext& ctx : {teamCtx(), teamCtx(kAmateur, kOhne), NodeContext{{"T0", "Null"}, kLiga, kLand}}) {
        const NodeClick c = nodeClick(ctx, 0);
        EXPECT_TRUE(c.showFrame1);
        EXPECT_FALSE(c.showFrame2);
        EXPECT_EQ(c.view, View::Team);
        const ExportMenu m = clicked(ExportMenu::initial(), ctx, 0);
        expectEntry(m.entries[0], "Verein exportieren (" + ctx.node.text + ")", true, "");
        expectEntry(m.entries[1], "Land exportieren (Deutschland)", true, "L5");
        expectEntry(m.entries[2], "Liga expoertieren (" + ctx.parent.text + ")", true, ctx.parent.key);
    }
    EXPECT_EQ(nodeClick(teamCtx(), 0).number, 12);
    EXPECT_EQ(nodeClick(teamCtx(kAmateur, kOhne), 1).number, 40);
}

TEST(NodeClick, TeamOnPlayerTabChangesOnlyTheFirstCaption) {
    const ExportMenu before = clicked(ExportMenu::initial(), {kLiga, kLand, kEuropa}, 0);
    const NodeClick c = nodeClick(teamCtx(), 1);
    EXPECT_FALSE(c.showFrame1);
    EXPECT_TRUE(c.showFrame2);
    EXPECT_EQ(c.view, View::Team);
    EXPECT_EQ(c.number, 12);
    ExportMenu m = before;
    apply(c, m);
    expectEntry(m.entries[0], "Verein exportieren", before.entries[0].enabled, before.entries[0].tag);
    for (int i = 1; i < 3; ++i)
        expectEntry(m.entries[i], before.entries[i].caption, before.entries[i].enabled, before.entries[i].tag);
}

TEST(NodeClick, Country) {
    for (int tab : {0, 1}) {
        const NodeContext ctx{kLand, kEuropa, kRoot};
        const NodeClick c = nodeClick(ctx, tab);
        EXPECT_EQ(c.showFrame1, tab == 0);
        EXPECT_EQ(c.showFrame2, tab == 1);
        EXPECT_EQ(c.view, View::Country);
        EXPECT_EQ(c.number, 5);
        const ExportMenu m = clicked(clicked(ExportMenu::initial(), teamCtx(), 0), ctx, tab);
        expectEntry(m.entries[0], "Nationalteam exportieren (Deutschland)", true, "");
        expectEntry(m.entries[1], "Land exportieren (Deutschland)", true, "L5");
        expectEntry(m.entries[2], "Liga exportieren", false, "P3L5");  // the tag stays
    }
}

TEST(NodeClick, LeagueAndNoLeagueGroup) {
    for (const NodeRef& group : {kLiga, kOhne}) {
        const NodeContext ctx{group, kLand, kEuropa};
        const NodeClick c = nodeClick(ctx, 0);
        EXPECT_FALSE(c.showFrame1);
        EXPECT_FALSE(c.showFrame2);
        EXPECT_EQ(c.view, View::None);
        const ExportMenu m = clicked(clicked(ExportMenu::initial(), teamCtx(), 0), ctx, 0);
        expectEntry(m.entries[0], "Verein exportieren (FC Adler)", false, "");  // caption kept, disabled
        expectEntry(m.entries[1], "Land exportieren (Deutschland)", true, "L5");
        expectEntry(m.entries[2], "Liga expoertieren (" + group.text + ")", true, group.key);
    }
}

TEST(NodeClick, RootContinentAndNegativeTeamOfferNothing) {
    const NodeContext cases[] = {{kRoot, {}, {}}, {kEuropa, kRoot, {}}, {{"T-7", "Minus FC"}, kLiga, kLand}};
    for (const NodeContext& ctx : cases) {
        for (int tab : {0, 1}) {
            const NodeClick c = nodeClick(ctx, tab);
            EXPECT_FALSE(c.showFrame1 || c.showFrame2) << ctx.node.key;
            EXPECT_EQ(c.view, View::None);
            const ExportMenu m = clicked(clicked(ExportMenu::initial(), {kLand, kEuropa, kRoot}, 0), ctx, tab);
            EXPECT_FALSE(m.entries[0].enabled);
            expectEntry(m.entries[1], "Land exportieren", false, "L5");
            expectEntry(m.entries[2], "Liga exportieren", false, "");
            EXPECT_TRUE(m.entries[3].enabled);
        }
    }
}

TEST(NodeKeys, Parsing) {
    EXPECT_EQ(teamOfKey("T12"), 12);
    EXPECT_EQ(teamOfKey("T0"), 0);
    EXPECT_FALSE(teamOfKey("T-3"));
    EXPECT_FALSE(teamOfKey("T"));
    EXPECT_FALSE(teamOfKey("L3"));
    EXPECT_EQ(countryOfKey("L17"), 17);
    EXPECT_FALSE(countryOfKey("L"));
    EXPECT_FALSE(countryOfKey("P0L17"));
    auto l = leagueOfKey("P12L7");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->league, 12);
    EXPECT_EQ(l->country, 7);
    l = leagueOfKey("P0L7");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->league, 0);
    EXPECT_FALSE(leagueOfKey("P12"));
    EXPECT_FALSE(leagueOfKey("PxL3"));
}

TEST(TabClick, OnlyTeamsAndCountriesShowPages) {
    EXPECT_EQ(tabClick("T12", 0), std::make_pair(true, false));
    EXPECT_EQ(tabClick("T12", 1), std::make_pair(false, true));
    EXPECT_EQ(tabClick("L5", 1), std::make_pair(false, true));
    EXPECT_FALSE(tabClick("T-1", 0));
    EXPECT_FALSE(tabClick("P3L5", 0));
    EXPECT_FALSE(tabClick("K1", 1));
}

TEST(SaveDialog, SuggestionsFiltersExtensions) {
    SaveDialog d = saveDialog(0, teamCtx());
    EXPECT_EQ(d.suggestedName, "FC Adler (Deutschland).aet");
    EXPECT_EQ(d.filter, "Zentor Exporter Team (*.aet)|*.aet");
    EXPECT_EQ(d.defaultExtension, "aet");
    EXPECT_TRUE(d.keyMessage.empty());
    EXPECT_EQ(saveDialog(0, {kLand, kEuropa, kRoot}).suggestedName, "Deutschland (Zentor).aet");
    EXPECT_EQ(saveDialog(0, {{"T3", "Blau/Weiß Au"}, kLiga, kLand}).suggestedName, "BlauWeiß Au (Deutschland).aet");

    EXPECT_EQ(saveDialog(1, {kLand, kEuropa, kRoot}).suggestedName, "Deutschland.lan");
    EXPECT_EQ(saveDialog(1, {kLiga, kLand, kEuropa}).suggestedName, "Deutschland.lan");
    EXPECT_EQ(saveDialog(1, teamCtx()).suggestedName, "Deutschland.lan");
    EXPECT_EQ(saveDialog(1, teamCtx()).filter, "Zentor Exporter Land (*.lan)|*.lan");
    EXPECT_EQ(saveDialog(1, teamCtx()).defaultExtension, "lan");

    d = saveDialog(2, {kOhne, kLand, kEuropa});
    EXPECT_EQ(d.suggestedName, "(keine Liga) (Deutschland).lig");
    EXPECT_EQ(d.keyMessage, "P0L5");
    EXPECT_EQ(d.filter, "Zentor Exporter Liga (*.lig)|*.lig");
    EXPECT_EQ(d.defaultExtension, "lig");
    EXPECT_EQ(saveDialog(2, teamCtx()).suggestedName, "1. Liga (Deutschland).lig");

    for (int e : {3, 4}) {
        d = saveDialog(e, teamCtx());
        EXPECT_EQ(d.suggestedName, "alleSpieler.all");
        EXPECT_EQ(d.filter, "Zentor Exporter (alle Länder) (*.all)|*.all");
        EXPECT_EQ(d.defaultExtension, "aet");
    }
}

TEST(ExportRequest, FromSelectionAndTags) {
    ExportMenu m = clicked(ExportMenu::initial(), teamCtx(), 0);
    auto r = exportRequest(0, "T12", m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, Target::Club);
    EXPECT_EQ(r->number, 12);
    r = exportRequest(1, "T12", m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, Target::Country);
    EXPECT_EQ(r->number, 5);
    r = exportRequest(2, "T12", m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, Target::League);
    EXPECT_EQ(r->number, 5);
    EXPECT_EQ(r->league, 3);

    m = clicked(m, {kOhne, kLand, kEuropa}, 0);
    r = exportRequest(2, "P0L5", m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, Target::NoLeague);
    EXPECT_EQ(r->number, 5);

    m = clicked(m, {kLand, kEuropa, kRoot}, 0);
    r = exportRequest(0, "L5", m);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, Target::National);
    EXPECT_EQ(r->number, 5);

    EXPECT_FALSE(exportRequest(0, "P3L5", m));
    EXPECT_FALSE(exportRequest(1, "T1", ExportMenu::initial()));  // no tag yet
    EXPECT_EQ(exportRequest(3, "", m)->target, Target::AllCountries);
    EXPECT_FALSE(exportRequest(4, "T12", m));
}
