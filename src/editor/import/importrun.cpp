#include "import/importrun.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "foundation/journal.h"
#include "import/clubfile.h"
#include "import/importsave.h"
#include "import/targetchoice.h"
#include "import/workbench.h"

#include <numeric>

namespace imp {

ClubChoices clubChoices(jet::Database& db)
{
    // The tree lists countries by name and each country's clubs by name, the club entry
    // carrying the country's NATION.
    ClubChoices c;
    jet::Recordset rs = db.query(
        "SELECT v.nummer, v.name, n.nation FROM vereine_national AS n INNER JOIN vereine AS v ON v.nation = n.name "
        "ORDER BY n.name, n.nummer, v.name");
    for (; !rs.eof(); rs.moveNext()) {
        c.texts.push_back(rs.field(1).toString() + " (" + rs.field(2).toString() + ")");
        c.numbers.push_back(rs.field(0).toInt());
    }
    return c;
}

ClubImport importClub(jet::Database& db, const std::filesystem::path& aetFile, long long club, int presetItem,
                      RandomSource& random, int satz)
{
    if (presetItem < 0 || presetItem >= kPresetItems)
        throw Error("Die Aufstellung " + std::to_string(presetItem) + " gibt es nicht (0 bis " +
                    std::to_string(kPresetItems - 1) + ").");
    const ClubFile file = loadClubFile(aetFile);
    const std::optional<ClubRow> row = loadClubRow(db, club);
    if (!row)
        throw Error("Den Verein " + std::to_string(club) + " gibt es in der Datenbank nicht.");

    ClubImport result;
    result.club = club;
    result.warnings = file.warnings;

    jet::Transaction t(db);
    journal::Command journaled(db, "Verein importieren");
    // All four boxes ticked: the file's team data, stadium and jersey colours; the types stay.
    ClubSave save;
    save.club = club;
    save.boxes = {true, true, true};
    save.fields = fieldsOf(*row);
    applyBox(0, true, *row, file, save.fields);
    applyBox(1, true, *row, file, save.fields);
    save.satz = satz;
    saveClub(db, save, file);

    Workbench bench;
    bench.load(&file, loadClubPlayers(db, club));
    result.formation = bench.preset(presetItem, random);
    result.fromFile = bench.squadSize();
    result.fromClub = bench.fillFromClub();
    if (!bench.full())
        throw Error("Für den Verein " + std::to_string(club) + " kommen nur " + std::to_string(bench.squadSize()) +
                    " Spieler zusammen; ein Kader braucht " + std::to_string(kSquadSize) +
                    ". Es wurde nichts gespeichert.");
    NullProgress quiet;
    result.slots = saveSquad(db, club, bench.squadMembers(), file, random, quiet);
    result.name = loadClubRow(db, club)->name;
    t.commit();
    return result;
}

int importFree(jet::Database& db, const std::filesystem::path& aetFile, RandomSource& random, ProgressSink& progress)
{
    const ClubFile file = loadClubFile(aetFile);
    std::vector<int> all(file.players.size());
    std::iota(all.begin(), all.end(), 0);
    return saveFreePlayers(db, file, all, random, progress);
}

IndexRun importIndex(jet::Database& db, const std::filesystem::path& indexFile, bool apply, int presetItem,
                     RandomSource& random, ProgressSink& progress, int satz)
{
    IndexRun run;
    run.walk = walkIndexFile(indexFile, progress);
    // Proposals come from the database as it was, so the lines read the same with and without apply.
    const ClubChoices choices = clubChoices(db);
    for (const IndexClubFile& f : run.walk.files) {
        IndexImport line;
        line.file = f;
        const int i = candidateClub(choices.texts, clubFileKeys(f.file));
        if (i >= 0)
            line.club = choices.numbers[static_cast<std::size_t>(i)];
        run.lines.push_back(std::move(line));
    }
    if (!apply)
        return run;
    jet::Transaction t(db);
    journal::Command journaled(db, "Liga/Land importieren");
    for (std::size_t i = 0; i < run.lines.size(); ++i) {
        IndexImport& line = run.lines[i];
        progress.status(line.file.relative.string());
        progress.percent(static_cast<int>(i * 100 / run.lines.size()));
        if (!line.club)
            continue;
        try {
            line.result = importClub(db, line.file.file, *line.club, presetItem, random, satz);
        } catch (const std::exception& e) {
            // Nothing of the run stays; say which file stopped it.
            throw Error(line.file.relative.generic_string() + ": " + e.what());
        }
    }
    t.commit();
    progress.percent(100);
    return run;
}

}  // namespace imp
