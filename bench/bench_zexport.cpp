// zexporter: all-countries export of a scale-10 Zentor demo source (files per second, must
// stay under 10 s), and the growth of one club file's writing with its number of keys.
#include "common/random.h"
#include "demo/zentordemo.h"
#include "exporter/zexport.h"
#include "exporter/zsource.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::atoi(argv[1]) : 10;
    const fs::path dir = fs::temp_directory_path() / ("bench-zexport-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    auto t0 = Clock::now();
    demo::writeZentorDatabase(dir / "zentor4.mdb", {scale, 1});
    auto t1 = Clock::now();
    const zexp::Source src = zexp::Source::open(dir / "zentor4.mdb");
    auto t2 = Clock::now();
    const auto c = src.counters();
    std::printf("demo-zentor scale %d: %ld clubs, %ld players in %.2f s; source read in %.2f s\n", scale,
                c.vereine - c.nationalteams, c.spieler, seconds(t0, t1), seconds(t1, t2));

    RandomSource rnd(1);
    zexp::ExportOptions o;
    o.random = &rnd;
    fs::create_directories(dir / "alle");
    t0 = Clock::now();
    const zexp::ExportResult r = zexp::exportAllCountries(src, dir / "alle" / "alleSpieler.all", o);
    t1 = Clock::now();
    const double s = seconds(t0, t1);
    const int files = r.clubFiles + r.indexFiles;
    std::printf("all countries: %d club files + %d index files in %.2f s = %.0f files/s%s\n", r.clubFiles,
                r.indexFiles, s, files / s, r.ok() ? "" : " (with errors)");

    // Growth: national team files of the smallest and the largest country; time per key.
    const zexp::Country* small = nullptr;
    const zexp::Country* large = nullptr;
    std::size_t nSmall = SIZE_MAX, nLarge = 0;
    for (const auto& k : src.countries()) {
        const auto n = src.countryPlayers(k.id).size();
        if (n > 0 && n < nSmall) nSmall = n, small = &k;
        if (n > nLarge) nLarge = n, large = &k;
    }
    for (const auto* k : {small, large}) {
        const auto players = src.countryPlayers(k->id).size();
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            t0 = Clock::now();
            zexp::exportNational(src, k->id, dir / "nat.aet", o);
            best = std::min(best, seconds(t0, Clock::now()));
        }
        std::printf("national file %-14s %6zu players (%7zu keys): %8.2f ms, %.3f us per key\n", k->name.c_str(),
                    players, players * 9 + 13, best * 1000, best * 1e6 / static_cast<double>(players * 9 + 13));
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return s < 10.0 && r.ok() ? 0 : 1;
}
