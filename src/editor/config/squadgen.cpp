#include "config/squadgen.h"

#include <string>

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"

namespace squadgen {

int slotPosition(long long slot) {
    const long long s = ((slot % kSquadSize) + kSquadSize) % kSquadSize;
    if (s < 2) return 0;
    if (s < 8) return 1;
    if (s < 15) return 2;
    return 3;
}

int slotShirtNumber(long long slot) {
    return static_cast<int>(((slot % kSquadSize) + kSquadSize) % kSquadSize) + 1;
}

long long generate(jet::Database& db, long long club, std::string_view nation, int count, ProgressSink* progress) {
    jet::Transaction tx(db);
    long long base = 1;
    {
        jet::Recordset rs = db.query("SELECT max(NUMMER) FROM spieler");
        if (rs.recordCount() > 0 && !rs.field(0).isNull()) base = rs.field(0).toInt() + 1;
    }
    const std::string nationText = jetsql::quote(nation);
    const std::string clubText = std::to_string(club);
    int shown = -1;
    if (progress) progress->percent(0);
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(base + i);
        db.execute("INSERT INTO SPIELER VALUES (" + n + "," + jetsql::quote(n) + ",\"S.\",0,0," + nationText +
                   ",180," + std::to_string(slotPosition(i)) + ",100,0,0," + std::to_string(slotShirtNumber(i)) +
                   ",0,0,0,\"\",\"\")");
        db.execute("INSERT INTO vereinspieler VALUES (" + clubText + "," + n + ")");
        if (progress) {
            const int pct = static_cast<int>(static_cast<long long>(i) * 100 / count);
            if (pct != shown) progress->percent(shown = pct);
        }
    }
    tx.commit();
    if (progress) progress->percent(100);
    return base;
}

}  // namespace squadgen
