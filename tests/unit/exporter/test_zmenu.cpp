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
    using Opt = std::optional<Id>;
    const std::pair<const char*, Opt> teams[] = {{"T12", 12}, {"T0", 0}, {"T-3", {}}, {"T", {}}, {"L3", {}}};
    for (const auto& [key, want] : teams) EXPECT_EQ(teamOfKey(key), want) << key;
    const std::pair<const char*, Opt> countries[] = {{"L17", 17}, {"L", {}}, {"P0L17", {}}};
    for (const auto& [key, want] : countries) EXPECT_EQ(countryOfKey(key), want) << key;
    // league, country; -1: no league key
    const std::tuple<const char*, Id, Id> leagues[] = {{"P12L7", 12, 7}, {"P0L7", 0, 7}, {"P12", -1, 0}, {"PxL3", -1, 0}};
    for (const auto& [key, league, country] : leagues) {
        const auto l = leagueOfKey(key);
        EXPECT_EQ(l ? l->league : -1, league) << key;
        EXPECT_EQ(l ? l->country : 0, country) << key;
    }
}

TEST(TabClick, OnlyTeamsAndCountriesShowPages) {
    using Pages = std::optional<std::pair<bool, bool>>;
    const std::tuple<const char*, int, Pages> cases[] = {
        {"T12", 0, std::pair{true, false}}, {"T12", 1, std::pair{false, true}}, {"L5", 1, std::pair{false, true}},
        {"T-1", 0, std::nullopt}, {"P3L5", 0, std::nullopt}, {"K1", 1, std::nullopt}};
    for (const auto& [key, tab, want] : cases) EXPECT_EQ(tabClick(key, tab), want) << key << " " << tab;
}

TEST(SaveDialog, SuggestionsFiltersExtensions) {
    const std::string team = "Zentor Exporter Team (*.aet)|*.aet", land = "Zentor Exporter Land (*.lan)|*.lan",
                      liga = "Zentor Exporter Liga (*.lig)|*.lig", all = "Zentor Exporter (alle Länder) (*.all)|*.all";
    const struct { int entry; NodeContext ctx; std::string name, filter, extension, keyMessage; } cases[] = {
        {0, teamCtx(), "FC Adler (Deutschland).aet", team, "aet", ""},
        {0, {kLand, kEuropa, kRoot}, "Deutschland (Zentor).aet", team, "aet", ""},
        {0, {{"T3", "Blau/Weiß Au"}, kLiga, kLand}, "BlauWeiß Au (Deutschland).aet", team, "aet", ""},
        {1, {kLand, kEuropa, kRoot}, "Deutschland.lan", land, "lan", ""},
        {1, {kLiga, kLand, kEuropa}, "Deutschland.lan", land, "lan", ""},
        {1, teamCtx(), "Deutschland.lan", land, "lan", ""},
        {2, {kOhne, kLand, kEuropa}, "(keine Liga) (Deutschland).lig", liga, "lig", "P0L5"},
        {2, teamCtx(), "1. Liga (Deutschland).lig", liga, "lig", "T12"},
        {3, teamCtx(), "alleSpieler.all", all, "aet", ""},
        {4, teamCtx(), "alleSpieler.all", all, "aet", ""},
    };
    for (const auto& c : cases) {
        const SaveDialog d = saveDialog(c.entry, c.ctx);
        EXPECT_EQ(d.suggestedName + "|" + d.filter + "|" + d.defaultExtension + "|" + d.keyMessage,
                  c.name + "|" + c.filter + "|" + c.extension + "|" + c.keyMessage)
            << c.entry << " " << c.ctx.node.key;
    }
}

TEST(ExportRequest, FromSelectionAndTags) {
    const ExportMenu afterTeam = clicked(ExportMenu::initial(), teamCtx(), 0);
    const ExportMenu afterNoLeague = clicked(afterTeam, {kOhne, kLand, kEuropa}, 0);
    const ExportMenu afterCountry = clicked(afterNoLeague, {kLand, kEuropa, kRoot}, 0);
    const struct { int entry; const char* key; const ExportMenu& menu; std::optional<Target> target; Id number, league; } cases[] = {
        {0, "T12", afterTeam, Target::Club, 12, 0},
        {1, "T12", afterTeam, Target::Country, 5, 0},
        {2, "T12", afterTeam, Target::League, 5, 3},
        {2, "P0L5", afterNoLeague, Target::NoLeague, 5, 0},
        {0, "L5", afterCountry, Target::National, 5, 0},
        {0, "P3L5", afterCountry, std::nullopt, 0, 0},
        {1, "T1", ExportMenu::initial(), std::nullopt, 0, 0},  // no tag yet
        {3, "", afterCountry, Target::AllCountries, 0, 0},
        {4, "T12", afterCountry, std::nullopt, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.entry) + " " + c.key);
        const auto r = exportRequest(c.entry, c.key, c.menu);
        ASSERT_EQ(r.has_value(), c.target.has_value());
        if (!r) continue;
        EXPECT_EQ(r->target, *c.target);
        if (c.target == Target::AllCountries) continue;
        EXPECT_EQ(r->number, c.number);
        EXPECT_EQ(r->league, c.league);
    }
}
