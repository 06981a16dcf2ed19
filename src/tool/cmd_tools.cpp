// Maintenance checks of the editor's tools menu: shirt numbers, club names, player pictures.
#include "common/jetdb.h"
#include "common/progress.h"
#include "editor/tools/clubnames.h"
#include "editor/tools/playerpictures.h"
#include "editor/tools/shirtnumbers.h"
#include "tool.h"

#include <filesystem>
#include <iostream>

namespace tool {

namespace {

// The checks only read; opening read-only makes sure of it.
jet::Database openForReading(const std::string& file)
{
    return jet::Database::open(file, false, true);
}

}  // namespace

int cmdCheckShirts(const Args& args)
{
    if (args.size() != 1)
        return kUsage;
    jet::Database db = openForReading(args[0]);
    NullProgress progress;
    for (const shirtnumbers::Club& club : shirtnumbers::findClubs(db, progress)) {
        std::cout << club.number << '\t' << club.name << '\t';
        for (std::size_t i = 0; i < club.shirts.size(); ++i)
            std::cout << (i ? "," : "") << club.shirts[i];
        std::cout << '\n';
    }
    return kOk;
}

int cmdCheckNames(const Args& in)
{
    Args args = in;
    std::string rule = "0";
    if (!takeOption(args, "--rule", rule) || args.size() != 1)
        return kUsage;
    if (rule.size() != 1 || rule[0] < '0' || rule[0] >= '0' + clubnames::kRules) {
        std::cerr << "Ungültige Regel: " << rule << " (0, 1 oder 2)\n";
        return kUsage;
    }
    jet::Database db = openForReading(args[0]);
    NullProgress progress;
    for (const clubnames::Club& club : clubnames::longNames(db, progress))
        std::cout << club.number << '\t' << club.name << '\t' << clubnames::proposal(club.name, rule[0] - '0') << '\n';
    return kOk;
}

int cmdRenamePictures(const Args& in)
{
    Args args = in;
    bool dryRun = false;
    for (auto it = args.begin(); it != args.end();)
        if (*it == "--dry-run") {
            dryRun = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    if (args.size() != 2)
        return kUsage;
    jet::Database db = openForReading(args[0]);
    const std::string problem = playerpictures::checkFolder(args[1], !dryRun);
    if (!problem.empty()) {
        std::cerr << problem << '\n';
        return kError;
    }
    bool failed = false;
    playerpictures::renameAll(db, args[1], dryRun, [&](const playerpictures::Outcome& o) {
        if (!o.error.empty()) {
            std::cerr << o.error << '\n';
            failed = true;
            return;
        }
        std::cout << o.file << '\t' << (o.players.size() == 1 ? o.newName : std::string("?")) << '\n';
    });
    return failed ? kError : kOk;
}

}  // namespace tool
