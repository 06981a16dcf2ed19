#include "zmenu.h"

#include "common/exportnames.h"

#include <charconv>

namespace zexp {

namespace {

std::optional<Id> number(std::string_view s) {
    Id v = 0;
    if (s.empty()) return std::nullopt;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

bool startsWith(std::string_view s, char c) { return !s.empty() && s.front() == c; }

}  // namespace

ExportMenu ExportMenu::initial() {
    ExportMenu m;
    m.entries[0].caption = "Export Verein";
    m.entries[1].caption = "Export Land";
    m.entries[2].caption = "Export Liga";
    m.entries[3].caption = "alle Vereine exportieren";
    m.entries[3].enabled = true;
    m.entries[4].caption = "alle Spieler exportieren";
    m.entries[4].visible = false;
    return m;
}

NodeContext nodeContext(const Source& src, std::string_view key) {
    NodeContext ctx;
    const TreeNode* n = src.node(key);
    NodeRef* refs[3] = {&ctx.node, &ctx.parent, &ctx.grandparent};
    for (NodeRef* r : refs) {
        if (!n) break;
        *r = {n->key, n->text};
        n = n->parentKey.empty() ? nullptr : src.node(n->parentKey);
    }
    return ctx;
}

std::optional<Id> teamOfKey(std::string_view key) {
    if (!startsWith(key, 'T')) return std::nullopt;
    auto n = number(key.substr(1));
    if (!n || *n < 0) return std::nullopt;
    return n;
}

std::optional<Id> countryOfKey(std::string_view key) {
    if (!startsWith(key, 'L')) return std::nullopt;
    return number(key.substr(1));
}

std::optional<LeagueKey> leagueOfKey(std::string_view key) {
    if (!startsWith(key, 'P')) return std::nullopt;
    const auto l = key.find('L', 1);
    if (l == std::string_view::npos) return std::nullopt;
    auto league = number(key.substr(1, l - 1));
    auto country = number(key.substr(l + 1));
    if (!league || !country) return std::nullopt;
    return LeagueKey{*league, *country};
}

NodeClick nodeClick(const NodeContext& ctx, int tab) {
    NodeClick c;
    const std::string& key = ctx.node.key;
    const bool first = tab == 0;
    if (auto team = teamOfKey(key)) {
        if (first) {
            c.showFrame1 = true;
            for (auto& e : c.entries) e.enabled = true;
            c.entries[1].tag = ctx.grandparent.key;
            c.entries[2].tag = ctx.parent.key;
            c.entries[0].caption = "Verein exportieren (" + ctx.node.text + ")";
            c.entries[1].caption = "Land exportieren (" + ctx.grandparent.text + ")";
            c.entries[2].caption = "Liga expoertieren (" + ctx.parent.text + ")";
        } else {
            c.entries[0].caption = "Verein exportieren";
            c.showFrame2 = true;
        }
        c.view = View::Team;
        c.number = *team;
        return c;
    }
    c.entries[0].enabled = false;
    if (auto country = countryOfKey(key)) {
        c.showFrame1 = first;
        c.showFrame2 = !first;
        c.entries[0].caption = "Nationalteam exportieren (" + ctx.node.text + ")";
        c.entries[1].caption = "Land exportieren (" + ctx.node.text + ")";
        c.entries[1].tag = key;
        c.entries[0].enabled = true;
        c.entries[1].enabled = true;
        c.entries[2].enabled = false;
        c.view = View::Country;
        c.number = *country;
    } else {
        c.entries[1].caption = "Land exportieren";
        c.entries[1].enabled = false;
    }
    if (startsWith(key, 'P')) {
        c.entries[1].caption = "Land exportieren (" + ctx.parent.text + ")";
        c.entries[2].caption = "Liga expoertieren (" + ctx.node.text + ")";
        c.entries[1].tag = ctx.parent.key;
        c.entries[2].tag = key;
        c.entries[1].enabled = true;
        c.entries[2].enabled = true;
    } else {
        c.entries[2].caption = "Liga exportieren";
        c.entries[2].enabled = false;
    }
    return c;
}

void apply(const NodeClick& click, ExportMenu& menu) {
    for (int i = 0; i < 3; ++i) {
        const EntryChange& ch = click.entries[i];
        MenuEntry& e = menu.entries[i];
        if (ch.caption) e.caption = *ch.caption;
        if (ch.enabled) e.enabled = *ch.enabled;
        if (ch.tag) e.tag = *ch.tag;
    }
}

std::optional<std::pair<bool, bool>> tabClick(std::string_view selectedKey, int tab) {
    if (!teamOfKey(selectedKey) && !countryOfKey(selectedKey)) return std::nullopt;
    return std::make_pair(tab == 0, tab != 0);
}

SaveDialog saveDialog(int entry, const NodeContext& ctx) {
    SaveDialog d;
    const std::string& key = ctx.node.key;
    switch (entry) {
    case 0:
        d.suggestedName = ctx.node.text + " (" + ctx.grandparent.text + ").aet";
        d.filter = "Zentor Exporter Team (*.aet)|*.aet";
        d.defaultExtension = "aet";
        break;
    case 1:
        d.suggestedName = (startsWith(key, 'L') ? ctx.node.text
                           : startsWith(key, 'P') ? ctx.parent.text
                                                  : ctx.grandparent.text) +
                          ".lan";
        d.filter = "Zentor Exporter Land (*.lan)|*.lan";
        d.defaultExtension = "lan";
        break;
    case 2:
        d.suggestedName = startsWith(key, 'P') ? ctx.node.text + " (" + ctx.parent.text + ").lig"
                                               : ctx.parent.text + " (" + ctx.grandparent.text + ").lig";
        d.filter = "Zentor Exporter Liga (*.lig)|*.lig";
        d.defaultExtension = "lig";
        d.keyMessage = key;
        break;
    default:
        d.suggestedName = "alleSpieler.all";
        d.filter = "Zentor Exporter (alle Länder) (*.all)|*.all";
        d.defaultExtension = "aet";
        break;
    }
    d.suggestedName = exportFileName(d.suggestedName);
    return d;
}

std::optional<ExportRequest> exportRequest(int entry, std::string_view selectedKey, const ExportMenu& menu) {
    switch (entry) {
    case 0:
        if (auto t = teamOfKey(selectedKey)) return ExportRequest{Target::Club, *t, 0};
        if (auto c = countryOfKey(selectedKey)) return ExportRequest{Target::National, *c, 0};
        return std::nullopt;
    case 1:
        if (auto c = countryOfKey(menu.entries[1].tag)) return ExportRequest{Target::Country, *c, 0};
        return std::nullopt;
    case 2:
        if (auto l = leagueOfKey(menu.entries[2].tag)) {
            if (l->league == 0) return ExportRequest{Target::NoLeague, l->country, 0};
            return ExportRequest{Target::League, l->country, l->league};
        }
        return std::nullopt;
    case 3:
        return ExportRequest{Target::AllCountries, 0, 0};
    default:
        return std::nullopt;
    }
}

ExportResult runExport(const Source& src, const ExportRequest& r, const std::filesystem::path& file,
                       const ExportOptions& o) {
    switch (r.target) {
    case Target::Club: return exportClub(src, r.number, file, o);
    case Target::National: return exportNational(src, r.number, file, o);
    case Target::Country: return exportCountry(src, r.number, file, o);
    case Target::League: return exportLeague(src, r.number, r.league, file, o);
    case Target::NoLeague: return exportLeague(src, r.number, std::nullopt, file, o);
    case Target::AllCountries: return exportAllCountries(src, file, o);
    }
    return {};
}

}  // namespace zexp
