// Tree build (load_dbteam) on a scale-10 demo world: the first build, which creates the
// transfer market with its 1700 players, and a plain rebuild.
#include "common/progress.h"
#include "demo/demoworld.h"
#include "foundation/dao.h"
#include "mainwindow/dbtree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::stoi(argv[1]) : 10;
    const fs::path dir = fs::temp_directory_path() / ("kickora-bench-tree-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "kickora.mdb";
    demo::writeDatabase(file, demo::Options{scale, 1});

    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    Dao dao;
    dao.open(file);
    NullProgress progress;

    auto t0 = Clock::now();
    dbtree::Tree first = dbtree::load_dbteam(dao, progress);
    auto t1 = Clock::now();
    std::printf("scale %d, first build with transfer market (%s): %zu nodes, %zu clubs listed, %.1f ms\n", scale,
                first.transferMarketCreated ? "created" : "present", first.nodes.size(), first.lists.clubs.size(),
                ms(t0, t1));

    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        auto a = Clock::now();
        dbtree::Tree again = dbtree::load_dbteam(dao, progress);
        times.push_back(ms(a, Clock::now()));
    }
    std::sort(times.begin(), times.end());
    std::printf("rebuild: median %.1f ms, best %.1f ms (5 runs)\n", times[2], times[0]);

    // The same first build again, on a world whose market was removed.
    dao.execute("DELETE FROM spieler WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein=0)");
    dao.execute("DELETE FROM vereinspieler WHERE verein=0");
    dao.execute("DELETE FROM vereine WHERE NUMMER=0");
    auto t2 = Clock::now();
    dbtree::load_dbteam(dao, progress);
    std::printf("build that re-creates the market: %.1f ms\n", ms(t2, Clock::now()));
    dao.close();
    fs::remove_all(dir);
    return 0;
}
