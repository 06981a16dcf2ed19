// Finding players and checking the database from the command line.
#include "common/jetdb.h"
#include "editor/foundation/registry.h"
#include "editor/foundation/settings.h"
#include "editor/mainwindow/find.h"
#include "editor/tools/dbcheck.h"
#include "tool.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace tool {

namespace {

// The crest folder of the database's program folder: from its settings file when there is
// one (read, never written), else the default folder beside the database.
std::string crestFolder(const fs::path& dbFile) {
    const fs::path dir = fs::absolute(dbFile).parent_path();
    std::error_code ec;
    if (fs::exists(dir / "kickoraeditor.ini", ec)) return readSettings(dir, Registry(fs::path())).folders[FolderWappen];
    return (dir / "wappen").string() + "/";
}

}  // namespace

int cmdFind(const Args& in) {
    Args args = in;
    std::string nation, position, strength;
    if (!takeOption(args, "--nation", nation) || !takeOption(args, "--position", position) ||
        !takeOption(args, "--strength", strength) || args.size() != 2)
        return kUsage;
    find::PlayerQuery query;
    query.text = args[1];
    query.nation = nation;
    if (!position.empty()) {
        if (position.size() != 1 || position[0] < '0' || position[0] > '3') {
            std::cerr << "Ungültige Position: " << position << " (0 bis 3)\n";
            return kUsage;
        }
        query.position = position[0] - '0';
    }
    if (!strength.empty() && !find::parseRange(strength, 12000, query.strengthMin, query.strengthMax)) {
        std::cerr << "Ungültiger Stärkebereich: " << strength << " (MIN-MAX, 0 bis 12000)\n";
        return kUsage;
    }
    jet::Database db = jet::Database::open(args[0], false, true);
    for (const find::PlayerHit& h : find::searchPlayers(db, query))
        std::cout << h.number << '\t' << h.name << '\t' << h.vorname << '\t' << (h.team < 0 ? std::string() : std::to_string(h.team))
                  << '\t' << h.teamName << '\n';
    return kOk;
}

int cmdCheck(const Args& args) {
    if (args.size() != 1) return kUsage;
    jet::Database db = jet::Database::open(args[0], false, true);
    std::string crests = crestFolder(args[0]);
    std::error_code ec;
    if (!fs::is_directory(crests, ec)) {
        std::cerr << "Wappenordner " << crests << " fehlt; Wappen nicht geprüft\n";
        crests.clear();
    }
    const auto findings = dbcheck::check(db, crests);
    for (const dbcheck::Finding& f : findings)
        std::cout << dbcheck::kindKey(f.kind) << '\t' << f.number << '\t' << f.text << '\n';
    return findings.empty() ? kOk : kError;
}

}  // namespace tool
