// Player list of every club on a scale-10 demo world: time per club.
#include "common/jetdb.h"
#include "demo/demoworld.h"

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
    const fs::path dir = fs::temp_directory_path() / ("kickora-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "kickora.mdb";

    auto t0 = Clock::now();
    demo::writeDatabase(file, demo::Options{scale, 1});
    auto t1 = Clock::now();

    jet::Database db = jet::Database::open(file);
    std::vector<long long> clubs;
    for (jet::Recordset rs = db.query("SELECT nummer FROM vereine ORDER BY nummer"); !rs.eof(); rs.moveNext())
        clubs.push_back(rs.field(0).toInt());
    auto t2 = Clock::now();

    long players = 0;
    for (long long club : clubs) {
        jet::Recordset rs = db.query("Select * From spielerinvereine WHERE verein=" + std::to_string(club) +
                                     " ORDER BY art,name,vorname");
        for (; !rs.eof(); rs.moveNext()) players += rs.field(1).toString().empty() ? 0 : 1;
    }
    auto t3 = Clock::now();

    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    std::printf("demo world scale %d: %.0f ms to generate\n", scale, ms(t0, t1));
    std::printf("open + club list: %.1f ms\n", ms(t1, t2));
    std::printf("%zu clubs, %ld players: %.1f ms in all, %.1f us per club\n", clubs.size(), players, ms(t2, t3),
                clubs.empty() ? 0.0 : ms(t2, t3) * 1000.0 / clubs.size());
    fs::remove_all(dir);
    return 0;
}
