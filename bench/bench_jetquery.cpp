// A joined, sorted query of 20 rows on a table of 80,000 players, as the player list runs it
// for one club: time per query. Run by hand: bench_jetquery [queries]
#include "common/jetdb.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    jet::Database db = jet::Database::openMemory();
    db.executeNative("CREATE TABLE spieler(NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE, \"STÄRKE\" INTEGER);"
                     "CREATE TABLE vereinspieler(verein INTEGER, spieler INTEGER);"
                     "CREATE INDEX vs_verein ON vereinspieler(verein);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 80000) "
                     "INSERT INTO spieler SELECT i, 'Spieler' || i, (i % 13) * 1000 FROM n;"
                     "INSERT INTO vereinspieler SELECT NUMMER / 20, NUMMER FROM spieler;");
    const auto start = std::chrono::steady_clock::now();
    long rows = 0;
    for (int k = 0; k < runs; ++k)
        for (auto rs = db.query("SELECT spieler.NUMMER, NAME, Stärke FROM spieler INNER JOIN vereinspieler ON "
                                "vereinspieler.spieler = spieler.NUMMER WHERE verein=" + std::to_string(100 + k % 3900) +
                                " ORDER BY NAME");
             !rs.eof(); rs.moveNext())
            rows += rs.field("Stärke").toInt() >= 0 ? 1 : 0;
    const double perQuery =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / runs;
    std::printf("20 of 80000 rows: %.1f us per query (%d queries, %ld rows)\n", perQuery, runs, rows);
    return 0;
}
