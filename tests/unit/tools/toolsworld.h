#pragma once
// A small world for the tool checks: clubs, a national team and the transfer market, with
// players added one statement at a time.
#include "common/jetdb.h"
#include "common/jetsql.h"
#include "editor/foundation/schema.h"

#include <filesystem>
#include <string>

namespace toolstest {

inline jet::Database emptyWorld(const std::filesystem::path& file)
{
    jet::Database db = jet::Database::open(file, true);
    schema::createGameSchema(db);
    return db;
}

// A player of a team (0: the transfer market); shirt < 0 leaves the number Null.
inline void addPlayer(jet::Database& db, long long team, long long number, const std::string& name,
                      const std::string& vorname, int shirt, const std::string& nation = "Deutschland")
{
    db.execute("INSERT INTO spieler (NUMMER, NAME, VORNAME, NATION, STÄRKE, RUECKENNUMMER) VALUES (" +
               std::to_string(number) + ", " + jetsql::quote(name) + ", " + jetsql::quote(vorname) + ", " +
               jetsql::quote(nation) + ", 5000, " + (shirt < 0 ? std::string("Null") : std::to_string(shirt)) + ")");
    db.execute("INSERT INTO vereinspieler VALUES (" + std::to_string(team) + ", " + std::to_string(number) + ")");
}

inline void addClub(jet::Database& db, long long number, const std::string& name, const char* table = "vereine")
{
    db.execute(std::string("INSERT INTO ") + table + " (NUMMER, NAME) VALUES (" + std::to_string(number) + ", " +
               jetsql::quote(name) + ")");
}

}  // namespace toolstest
