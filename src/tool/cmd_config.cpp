// Config file commands: club and player files, team files, template clubs, competition file.
#include "common/jetdb.h"
#include "common/progress.h"
#include "config/cfgexport.h"
#include "config/cfgimport.h"
#include "config/templates.h"
#include "tool.h"

#include <charconv>
#include <iostream>

namespace tool {

namespace {

jet::Database openDatabase(const std::string& file)
{
    return jet::Database::open(file);
}

}  // namespace

int cmdExportConfig(const Args& args)
{
    if (args.size() != 3)
        return kUsage;
    jet::Database db = openDatabase(args[0]);
    NullProgress progress;
    cfg::exportConfig(db, args[1], cfg::ConfigFile::Clubs, cfg::systemNow, progress);
    cfg::exportConfig(db, args[2], cfg::ConfigFile::Players, cfg::systemNow, progress);
    return kOk;
}

int cmdImportConfig(const Args& args)
{
    if (args.size() != 3 || (args[1] != "--clubs" && args[1] != "--players"))
        return kUsage;
    jet::Database db = openDatabase(args[0]);
    NullProgress progress;
    const auto which = args[1] == "--clubs" ? cfg::ConfigFile::Clubs : cfg::ConfigFile::Players;
    const int records = cfg::importConfig(db, args[2], which, progress);
    std::cout << records << " Datensätze importiert\n";
    return kOk;
}

int cmdExportTea(const Args& args)
{
    if (args.size() != 3)
        return kUsage;
    long long club = 0;
    const std::string& text = args[1];
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), club);
    if (ec != std::errc() || p != text.data() + text.size() || club < 0) {
        std::cerr << "Ungültige Vereinsnummer: " << text << "\n";
        return kUsage;
    }
    jet::Database db = openDatabase(args[0]);
    NullProgress progress;
    cfg::writeTeamFile(db, args[2], club, cfg::systemNow, progress);
    return kOk;
}

int cmdClubTemplates(const Args& args)
{
    if (args.size() != 1)
        return kUsage;
    jet::Database db = openDatabase(args[0]);
    NullProgress progress;
    const int clubs = cfg::createTemplateClubs(db, progress);
    std::cout << clubs << " Vereine angelegt\n";
    return kOk;
}

int cmdCompetitionTemplate(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    jet::Database db = openDatabase(args[0]);
    NullProgress progress;
    cfg::writeCompetitionFile(db, args[1], progress);
    return kOk;
}

}  // namespace tool
