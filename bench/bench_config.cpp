// Export and import of the club and player files on a scale-10 demo world, against
// `sqlite3 kickora.mdb .dump` of the same database, side by side in one run.
// Each of the two (export of both files, import of both files) may take at most three times
// as long as the dump.
#include "common/jetdb.h"
#include "common/progress.h"
#include "config/cfgexport.h"
#include "config/cfgimport.h"
#include "demo/demoworld.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

double seconds(Steady::time_point t0)
{
    return std::chrono::duration<double>(Steady::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double dump(const fs::path& db)
{
    const std::string cmd = "sqlite3 '" + db.string() + "' .dump > /dev/null";
    auto t0 = Steady::now();
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "sqlite3 .dump failed (is the sqlite3 command installed?)\n");
    return seconds(t0);
}

}  // namespace

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const fs::path dir = fs::temp_directory_path() / ("bench-config-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path dbFile = dir / "kickora.mdb";
    demo::writeDatabase(dbFile, {scale, 1});
    // The dump is taken of the world as written: imports add undo records to the working copy,
    // which the game tables' dump must not include.
    const fs::path reference = dir / "reference.mdb";
    fs::copy_file(dbFile, reference);

    const cfg::Clock clock = [] { return cfg::DateTime{2024, 1, 1, 12, 0, 0}; };
    NullProgress none;
    std::vector<double> dumps, exports, imports, parts[4];
    dump(reference);  // warm the page cache
    for (int r = 0; r < rounds; ++r) {
        dumps.push_back(dump(reference));
        {
            jet::Database db = jet::Database::open(dbFile);
            auto t0 = Steady::now();
            cfg::writeClubFile(db, dir / "1_tm.cfg", clock, none);
            parts[0].push_back(seconds(t0));
            auto t1 = Steady::now();
            cfg::writePlayerFile(db, dir / "1_sp.cfg", clock, none);
            parts[1].push_back(seconds(t1));
            exports.push_back(seconds(t0));
        }
        {
            jet::Database db = jet::Database::open(dbFile);
            auto t0 = Steady::now();
            cfg::importClubFile(db, dir / "1_tm.cfg", none);
            parts[2].push_back(seconds(t0));
            auto t1 = Steady::now();
            cfg::importPlayerFile(db, dir / "1_sp.cfg", none);
            parts[3].push_back(seconds(t1));
            imports.push_back(seconds(t0));
        }
    }
    const double d = median(dumps), e = median(exports), i = median(imports);
    std::printf("scale %d world: %llu clubs file bytes, %llu player file bytes; %d rounds, medians\n", scale,
                static_cast<unsigned long long>(fs::file_size(dir / "1_tm.cfg")),
                static_cast<unsigned long long>(fs::file_size(dir / "1_sp.cfg")), rounds);
    std::printf("sqlite3 .dump:                %8.1f ms\n", d * 1000);
    std::printf("export club + player file:    %8.1f ms  ratio %5.2f (limit 3.00) %s\n", e * 1000, e / d,
                e / d <= 3 ? "ok" : "TOO SLOW");
    std::printf("import club + player file:    %8.1f ms  ratio %5.2f (limit 3.00) %s\n", i * 1000, i / d,
                i / d <= 3 ? "ok" : "TOO SLOW");
    std::printf("  export club file %.1f ms, player file %.1f ms; import club file %.1f ms, player file %.1f ms\n",
                median(parts[0]) * 1000, median(parts[1]) * 1000, median(parts[2]) * 1000, median(parts[3]) * 1000);
    fs::remove_all(dir);
    return e / d <= 3 && i / d <= 3 ? 0 : 1;
}
