#pragma once
// The export menu of the main window as state: what a tree click or a tab click changes,
// what the save dialog suggests, and which export a menu entry starts. Pure functions, so the
// window only applies them.
#include "zexport.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zexp {

struct MenuEntry {
    std::string caption;
    bool enabled = false;
    bool visible = true;
    std::string tag;
};

// mnuimpexportitem(0..4).
struct ExportMenu {
    std::array<MenuEntry, 5> entries;
    static ExportMenu initial();  // "Export Verein", "Export Land", "Export Liga", "alle Vereine exportieren", hidden entry 4
};

struct NodeRef {
    std::string key, text;  // key empty: there is no such node
};
// The clicked node with its parent and grandparent (empty refs where the tree has none).
struct NodeContext {
    NodeRef node, parent, grandparent;
};
// Builds the context of a node from the source's tree.
NodeContext nodeContext(const Source& src, std::string_view key);

// Only the fields that are set change.
struct EntryChange {
    std::optional<std::string> caption;
    std::optional<bool> enabled;
    std::optional<std::string> tag;
};

enum class View { None, Team, Country };

struct NodeClick {
    std::array<EntryChange, 3> entries;  // menu entries 0..2
    bool showFrame1 = false;  // club page
    bool showFrame2 = false;  // player page
    View view = View::None;   // Team: showteam(number) (which lists the players); Country: showland then showspielerliste2
    Id number = 0;
};

// Node click on tab 0 (club page) or 1 (player page).
NodeClick nodeClick(const NodeContext& ctx, int tab);
void apply(const NodeClick& click, ExportMenu& menu);

// Tab click: {Frame1 visible, Frame2 visible}, or nullopt when the selected node shows no page.
std::optional<std::pair<bool, bool>> tabClick(std::string_view selectedKey, int tab);

// Node keys: "T" + n with n >= 0 (nullopt else), "L" + n, "P" + league + "L" + country.
std::optional<Id> teamOfKey(std::string_view key);
std::optional<Id> countryOfKey(std::string_view key);
struct LeagueKey {
    Id league = 0;  // 0: the no-league group
    Id country = 0;
};
std::optional<LeagueKey> leagueOfKey(std::string_view key);

struct SaveDialog {
    std::string suggestedName;     // with "/" removed, as every exporter file name
    std::string filter;            // "Zentor Exporter Team (*.aet)|*.aet"
    std::string defaultExtension;  // "aet"
    std::string keyMessage;        // entry 2: the node key, shown in a plain message box first
};
SaveDialog saveDialog(int entry, const NodeContext& ctx);

enum class Target { Club, National, Country, League, NoLeague, AllCountries };
struct ExportRequest {
    Target target = Target::Club;
    Id number = 0;   // team (Club), country (National, Country, League, NoLeague)
    Id league = 0;   // League
};
// What menu entry i starts with the selected node and the entries' tags; nullopt: nothing.
std::optional<ExportRequest> exportRequest(int entry, std::string_view selectedKey, const ExportMenu& menu);
// Runs a request into the file chosen in the save dialog.
ExportResult runExport(const Source& src, const ExportRequest& request, const std::filesystem::path& file,
                       const ExportOptions& options = {});

}  // namespace zexp
