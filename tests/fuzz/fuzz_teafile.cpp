// Team files (.tea) read and written over a club of an in-memory game database: the club
// keeps its 20 players and its name arrives exactly as the file has it.
#include "common/jetdb.h"
#include "common/progress.h"
#include "editor/foundation/schema.h"
#include "editor/import/clubfile.h"
#include "editor/import/importerror.h"
#include "editor/import/teafile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

jet::Database& database()
{
    static jet::Database db = [] {
        jet::Database d = jet::Database::openMemory();
        schema::createGameSchema(d);
        std::string sql = "INSERT INTO vereine_national (NUMMER, NAME, NATION) VALUES (900, 'Land', 'Land');"
                          "INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (1, 'Verein', 'Land');";
        for (int p = 1; p <= imp::kTeamPlayers; ++p)
            sql += "INSERT INTO spieler (NUMMER, NAME) VALUES (" + std::to_string(p) + ", 'S');"
                   "INSERT INTO vereinspieler (verein, spieler) VALUES (1, " + std::to_string(p) + ");";
        d.executeNative(sql);
        return d;
    }();
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NullProgress none;
    imp::ImportFile in{"fuzz.tea", profile::Document::fromBytes(std::string_view(reinterpret_cast<const char*>(data), size))};
    const imp::TeamFile team = imp::readTeamFile(in);
    jet::Database& db = database();
    try {
        imp::importTeamOver(db, team, 1, none);
    } catch (const imp::Error&) {
        return 0;
    } catch (const jet::Error&) {
        return 0;
    }
    if (db.query("SELECT Count(*) FROM vereinspieler WHERE verein=1").field(0).toInt() != imp::kTeamPlayers ||
        db.query("SELECT NAME FROM vereine WHERE NUMMER=1").field(0).toString() != team.club[1])
        __builtin_trap();
    return 0;
}
