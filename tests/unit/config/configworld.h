#pragma once
// Small worlds and helpers shared by the config tests.
#include "common/jetdb.h"
#include "common/progress.h"
#include "common/textcodec.h"
#include "config/cfgformat.h"
#include "editor/foundation/schema.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace configtest {

inline cfg::Clock fixedClock(cfg::DateTime t = {2024, 3, 5, 14, 7, 9})
{
    return [t] { return t; };
}

// "\n" line ends -> CR LF, UTF-8 -> Windows-1252: a file as the game holds it.
inline std::string gameBytes(const std::string& text)
{
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return textcodec::utf8ToCp1252(crlf);
}

inline jet::Database emptyWorld(const std::filesystem::path& file)
{
    jet::Database db = jet::Database::open(file, true);
    schema::createGameSchema(db);
    return db;
}

// Two clubs (one with players and a quoted name, one with nothing but number and name),
// one national team, two players.
inline jet::Database smallWorld(const std::filesystem::path& file)
{
    jet::Database db = emptyWorld(file);
    db.executeNative(R"SQL(
INSERT INTO vereine VALUES (7, 'FC "Blau" Äpfelstadt', 'Äpfelstadt', 12, '45', '1', '', 'Am Ring', 'Äpfelstadt',
  'Deutschland', 20000, 5000, 3, 70, 10, 0,
  '255,255,255', '  0,  0,  0', ' 48, 48, 48', '255,  0,  0',
  '255,255,255', '  0,  0,  0', ' 48, 48, 48', '255,  0,  0',
  '255,255,255', '  0,  0,  0', ' 48, 48, 48', '255,  0,  0');
INSERT INTO vereine (NUMMER, NAME) VALUES (9, 'Leer');
INSERT INTO vereine_national VALUES (1, 'Deutschland', 'GER', 5, '70', '0', '', 'Nationalstadion', 'Berlin',
  '99,121,700', 'Deutschland', 'West-Europa', 60000, 15000, 16, 62, 58, 0,
  '144, 32, 56', '120,  8, 24', ' 48, 40,120', '  0,  0,  0',
  '144, 32, 56', '120,  8, 24', ' 48, 40,120', '  0,  0,  0',
  '144, 32, 56', '120,  8, 24', ' 48, 40,120', '  0,  0,  0', '', '');
INSERT INTO spieler VALUES (101, 'Müller', 'Karl', 6000, 8000, 'Deutschland', 182, 2, 100, 2, 3, 10, 67108868, 1, 2,
  '3,17', '');
INSERT INTO spieler VALUES (102, 'O"Neil', 'Seán', 0, 12000, 'Irland', 190, 0, -1, 0, 0, 1, 0, 0, 0, '', '5,40');
INSERT INTO vereinspieler VALUES (7, 102);
INSERT INTO vereinspieler VALUES (7, 101);
INSERT INTO vereinspieler VALUES (1, 101);
)SQL");
    return db;
}

// A test on the small world, in a folder of its own.
struct SmallWorld : ::testing::Test {
    testsupport::TempDir dir;
    jet::Database db = smallWorld(dir / "kickora.mdb");
    NullProgress none;
};

// Every row of a table in rowid order, values with their storage class, one text per row.
inline std::vector<std::string> rows(jet::Database& db, const std::string& table)
{
    std::vector<std::string> out;
    jet::Recordset rs = db.query("SELECT * FROM " + table);
    for (; !rs.eof(); rs.moveNext()) {
        std::string row;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const jet::Value& v = rs.field(i);
            row += v.isNull() ? "N" : v.isInt() ? "I" : v.isReal() ? "R" : "T";
            row += v.toString() + "|";
        }
        out.push_back(row);
    }
    return out;
}

}  // namespace configtest
