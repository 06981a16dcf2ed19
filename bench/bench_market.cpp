// market-fill on a scale-10 demo world: 1700 transfer-market slots, 5,000 free players.
#include "common/jetdb.h"
#include "common/progress.h"
#include "common/random.h"
#include "config/squadgen.h"
#include "demo/demoworld.h"
#include "import/market.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::stoi(argv[1]) : 10;
    const int freePlayers = argc > 2 ? std::stoi(argv[2]) : 5000;
    const fs::path dir = fs::temp_directory_path() / ("kickora-bench-market-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "kickora.mdb";
    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };

    auto t0 = Clock::now();
    demo::writeDatabase(file, demo::Options{scale, 1});
    {
        // The transfer market as the tree build creates it, and the free players by SQL: copies
        // of the demo's free players until there are enough.
        jet::Database db = jet::Database::open(file);
        jet::Transaction t(db);
        db.execute("INSERT INTO vereine (NUMMER,NAME,GRAFIK_NR,STAERKE,STARTPLATZ) VALUES (0,'TRANSFERMARKT',999,'NULL','NULL')");
        squadgen::generate(db, 0, "TRANSFERMARKT", 1700);
        while (db.query("SELECT count(*) FROM z4spieler").field(0).toInt() < freePlayers)
            db.executeNative("INSERT INTO z4spieler (name, vorname, Land, verein, position, staerke, Restspiele, "
                             "Rueckennummer, Gesicht, Hautfarbe, Haarfarbe) SELECT name, vorname, Land, verein, position, "
                             "staerke, Restspiele, Rueckennummer, Gesicht, Hautfarbe, Haarfarbe FROM z4spieler");
        db.executeNative("DELETE FROM z4spieler WHERE id > (SELECT id FROM z4spieler ORDER BY id LIMIT 1 OFFSET " +
                         std::to_string(freePlayers - 1) + ")");
        t.commit();
    }
    auto t1 = Clock::now();

    jet::Database db = jet::Database::open(file);
    const long long slotCount = db.query("SELECT count(*) FROM vereinspieler WHERE verein=0").field(0).toInt();
    const long long freeCount = db.query("SELECT count(*) FROM z4spieler").field(0).toInt();
    NullProgress progress;
    RandomSource rnd(1);
    auto t2 = Clock::now();
    const std::clock_t c2 = std::clock();
    const market::FillResult result = market::spielerz4_nach_tmarkt(db, progress, rnd);
    const std::clock_t c3 = std::clock();
    auto t3 = Clock::now();

    std::printf("demo world scale %d with transfer market and free players: %.0f ms to prepare\n", scale, ms(t0, t1));
    std::printf("market-fill: %lld slots, %lld free players, %d filled, %d national teams created: %.1f ms (%.1f ms CPU)\n",
                slotCount, freeCount, result.filled, result.nationsCreated, ms(t2, t3),
                1000.0 * static_cast<double>(c3 - c2) / CLOCKS_PER_SEC);
    fs::remove_all(dir);
    return 0;
}
