// Import commands: exporter club files over a club or into the free players, team files, and
// whole league or country files.
#include "common/jetdb.h"
#include "common/progress.h"
#include "common/random.h"
#include "import/clubfile.h"
#include "import/importrun.h"
#include "import/importsave.h"
#include "import/teafile.h"
#include "import/workbench.h"
#include "tool.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace tool {

namespace {

template <typename T>
bool parse(const std::string& text, T& out)
{
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size();
}

// Removes a flag without value; true when it was there.
bool takeFlag(Args& args, const std::string& name)
{
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

// --preset K and --seed S with their defaults; false (usage) when a value is not a number.
bool takePresetAndSeed(Args& args, int& preset, std::uint64_t& seed)
{
    std::string presetText = "1", seedText = "1";
    if (!takeOption(args, "--preset", presetText) || !takeOption(args, "--seed", seedText))
        return false;
    if (!parse(presetText, preset) || preset < 0 || preset >= imp::kPresetItems) {
        std::cerr << "Ungültige Aufstellung: " << presetText << " (0 bis " << imp::kPresetItems - 1 << ")\n";
        return false;
    }
    if (!parse(seedText, seed)) {
        std::cerr << "Ungültiger Startwert: " << seedText << "\n";
        return false;
    }
    return true;
}

bool clubNumber(const std::string& text, long long& club)
{
    if (parse(text, club) && club >= 0)
        return true;
    std::cerr << "Ungültige Vereinsnummer: " << text << "\n";
    return false;
}

void printWarnings(const std::vector<std::string>& warnings)
{
    for (const auto& w : warnings)
        std::cerr << "Hinweis: " << w << "\n";
}

// What import-club wrote: the club, the formation and one line per squad slot.
void printClubImport(jet::Database& db, const imp::ClubImport& r)
{
    std::cout << "Verein " << r.club << ": " << r.name << "\n";
    std::cout << "Aufstellung: " << imp::kPresetCaptions[r.formation + 1] << "; " << r.fromFile
              << " Spieler aus der Datei, " << r.fromClub << " aus dem Verein\n";
    for (long long slot : r.slots) {
        jet::Recordset rs = db.query("SELECT art, vorname, name, stärke FROM spieler WHERE nummer=" + std::to_string(slot));
        if (rs.eof())
            continue;
        const long long art = rs.field(0).toInt();
        std::cout << slot << "\t" << (art >= 0 && art < imp::kPositions ? imp::kPositionCodes[art] : "?") << "\t"
                  << rs.field(1).toString() << " " << rs.field(2).toString() << "\t"
                  << imp::strengthText(rs.field(3).toInt()) << "\n";
    }
}

}  // namespace

int cmdImportClub(const Args& in)
{
    Args args = in;
    int preset = 1;
    std::uint64_t seed = 1;
    std::string replace;
    if (!takeOption(args, "--replace", replace) || replace.empty() || !takePresetAndSeed(args, preset, seed) ||
        args.size() != 2)
        return kUsage;
    long long club = 0;
    if (!clubNumber(replace, club))
        return kUsage;
    jet::Database db = jet::Database::open(args[0]);
    RandomSource random(seed);
    const imp::ClubImport r = imp::importClub(db, args[1], club, preset, random);
    printWarnings(r.warnings);
    printClubImport(db, r);
    return kOk;
}

int cmdImportFree(const Args& args)
{
    if (args.size() != 2)
        return kUsage;
    jet::Database db = jet::Database::open(args[0]);
    RandomSource random(1);
    NullProgress progress;
    printWarnings(imp::loadClubFile(args[1]).warnings);
    const int count = imp::importFree(db, args[1], random, progress);
    std::cout << imp::freePlayersDone(count) << "\n";
    return kOk;
}

int cmdImportTea(const Args& in)
{
    Args args = in;
    std::string country, replace;
    if (!takeOption(args, "--new-in", country) || !takeOption(args, "--replace", replace) || args.size() != 2 ||
        country.empty() == replace.empty())
        return kUsage;
    long long club = 0;
    if (!replace.empty() && !clubNumber(replace, club))
        return kUsage;
    jet::Database db = jet::Database::open(args[0]);
    const imp::TeamFile file = imp::loadTeamFile(args[1]);
    NullProgress progress;
    if (!country.empty())
        club = imp::importTeamAsNew(db, file, country, progress);
    else
        imp::importTeamOver(db, file, club, progress);
    std::cout << club << "\n";
    return kOk;
}

int cmdImportIndex(const Args& in)
{
    Args args = in;
    const bool apply = takeFlag(args, "--apply");
    int preset = 1;
    std::uint64_t seed = 1;
    if (!takePresetAndSeed(args, preset, seed) || args.size() != 2)
        return kUsage;
    jet::Database db = jet::Database::open(args[0]);
    RandomSource random(seed);
    NullProgress progress;
    const imp::IndexRun run = imp::importIndex(db, args[1], apply, preset, random, progress);
    for (const auto& s : run.walk.skipped)
        std::cerr << "Hinweis: " << s << "\n";
    int replaced = 0;
    for (const auto& line : run.lines) {
        std::cout << line.file.relative.generic_string() << "\t"
                  << (line.club ? std::to_string(*line.club) : std::string("-")) << "\n";
        if (line.result) {
            ++replaced;
            printWarnings(line.result->warnings);
        }
    }
    if (apply)
        std::cout << replaced << " Vereine ersetzt\n";
    return kOk;
}

}  // namespace tool
