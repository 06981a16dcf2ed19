// The tools menu's checks on a scale-10 demo world: the shirt-number check up to its first
// list (clubs found and named, first club's players shown), the club-name check, and the
// picture walk over a folder of photos named after players (dry run).
#include "common/jetdb.h"
#include "common/progress.h"
#include "demo/demoworld.h"
#include "editor/tools/clubnames.h"
#include "editor/tools/playerpictures.h"
#include "editor/tools/shirtnumbers.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::stoi(argv[1]) : 10;
    const fs::path dir = fs::temp_directory_path() / ("kickora-bench-tools-" + std::to_string(::getpid()));
    fs::create_directories(dir / "bilder");
    const fs::path file = dir / "kickora.mdb";
    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };

    auto t0 = Clock::now();
    demo::writeDatabase(file, demo::Options{scale, 1});
    auto t1 = Clock::now();
    std::printf("demo world scale %d: %.0f ms to generate\n", scale, ms(t0, t1));

    jet::Database db = jet::Database::open(file);
    NullProgress progress;
    const int runs = 5;
    double best = 1e9;
    std::size_t clubs = 0, entries = 0;
    for (int i = 0; i < runs; ++i) {
        auto a = Clock::now();
        const auto found = shirtnumbers::findClubs(db, progress);
        const auto first = found.empty() ? std::vector<shirtnumbers::Entry>{} : shirtnumbers::playerEntries(db, found.front().number);
        auto b = Clock::now();
        best = std::min(best, ms(a, b));
        clubs = found.size();
        entries = first.size();
    }
    std::printf("shirt-number check to the first list: %.1f ms (best of %d; %zu clubs, %zu players shown)\n", best, runs,
                clubs, entries);

    auto a = Clock::now();
    const auto names = clubnames::longNames(db, progress);
    auto b = Clock::now();
    std::printf("club-name check: %.1f ms (%zu clubs)\n", ms(a, b), names.size());

    // A photo for every 40th player, named after the player (shared names give one file).
    for (jet::Recordset rs = db.query("SELECT NAME FROM spieler WHERE NUMMER % 40 = 0"); !rs.eof(); rs.moveNext())
        std::ofstream(dir / "bilder" / (rs.field(0).toString() + ".jpg")) << "x";
    const int photos = static_cast<int>(playerpictures::pictureFiles(dir / "bilder").size());
    a = Clock::now();
    const auto outcomes = playerpictures::renameAll(db, dir / "bilder", true);
    b = Clock::now();
    std::printf("picture walk (dry run): %.1f ms for %d files, %zu of them found players\n", ms(a, b), photos, outcomes.size());
    fs::remove_all(dir);
    return 0;
}
