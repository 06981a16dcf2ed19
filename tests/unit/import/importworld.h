#pragma once
// Shared pieces of the import tests: exporter files written as the exporter writes them, and
// a demo database to import into.
#include "common/jetdb.h"
#include "common/textcodec.h"
#include "demo/demoworld.h"
#include "testsupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace importtest {

// "\n" -> CR LF, UTF-8 -> Windows-1252, as exporter files are stored.
inline void writeExporterFile(const std::filesystem::path& file, const std::string& text)
{
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    std::filesystem::create_directories(file.parent_path());
    testsupport::writeFile(file, textcodec::utf8ToCp1252(crlf));
}

struct PlayerSpec {
    std::string name;
    int position;
    int strength;
    int skin = 0;
};

// A club file with a Team section and the given players (all keys present).
inline std::string clubFileText(const std::string& name, const std::vector<PlayerSpec>& players,
                                const std::string& land = "Deutschland")
{
    std::string t = ";Datenexport vom 05.12.2026 20:41:22\n;Test\n\n[Team]\nName=" + name +
                    "\nStadion=Testarena\nStadt=Teststadt\nLand=" + land +
                    "\nTrikoth0=255,0,0\nTrikoth1=0,255,0\nTrikoth2=0,0,255\nTrikota0=1,2,3\nTrikota1=4,5,6\n"
                    "Trikota2=7,8,9\nStadionsitz=40000\nStadionsteh=20000\nSpieler=" +
                    std::to_string(players.size()) + "\n";
    for (std::size_t i = 0; i < players.size(); ++i) {
        const PlayerSpec& p = players[i];
        t += "[Spieler" + std::to_string(i + 1) + "]\nName=" + p.name + "\nVorname=Vorname" + std::to_string(i) +
             "\nLand=" + land + "\nPosition=" + std::to_string(p.position) + "\nStaerke=" + std::to_string(p.strength) +
             "\nRestspiele=110\nRueckennummer=" + std::to_string(i + 1) + "\nHautfarbe=" + std::to_string(p.skin) +
             "\nHaarfarbe=5\n";
    }
    return t;
}

// n players cycling through the positions, strengths rising with the index.
inline std::vector<PlayerSpec> players(int n)
{
    std::vector<PlayerSpec> v;
    for (int i = 0; i < n; ++i)
        v.push_back({"Spieler" + std::to_string(i), i % 4, (i * 1000) % 13000});
    return v;
}

inline jet::Database demoDatabase(const std::filesystem::path& dir)
{
    demo::writeDatabase(dir / "kickora.mdb", demo::Options{1, 5});
    return jet::Database::open(dir / "kickora.mdb");
}

inline long long count(jet::Database& db, const std::string& sql) { return db.query(sql).field(0).toInt(); }

// The first row of a query, values joined by "|".
inline std::string row(jet::Database& db, const std::string& sql)
{
    jet::Recordset rs = db.query(sql);
    std::string out;
    for (int i = 0; !rs.eof() && i < rs.fieldCount(); ++i)
        out += (i ? "|" : "") + rs.field(i).toString();
    return out;
}

// A database club with its player slots: the first club of the demo world that has 20.
inline long long clubWithSquad(jet::Database& db)
{
    return db.query("SELECT verein FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine WHERE NUMMER > 0) "
                    "GROUP BY verein HAVING Count(*) = 20 ORDER BY verein")
        .field(0)
        .toInt();
}

}  // namespace importtest
