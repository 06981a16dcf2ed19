// Import of club and player files: round trip with the demo world, the reader's edge cases,
// and all-or-nothing failures that name the file line.
#include "configworld.h"
#include "testsupport.h"

#include "common/jetdb.h"
#include "common/jetsql.h"
#include "common/progress.h"
#include "config/cfgexport.h"
#include "config/cfgimport.h"
#include "demo/demoworld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace configtest;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

struct Recorder final : ProgressSink {
    std::vector<std::string> statuses;
    int last = -1;
    void status(const std::string& s) override { statuses.push_back(s); }
    void percent(int p) override { last = p; }
};

std::vector<std::string> allRows(jet::Database& db)
{
    std::vector<std::string> out;
    for (const char* t : {"vereine", "vereine_national", "vereinspieler", "spieler"})
        for (auto& r : rows(db, t))
            out.push_back(std::string(t) + ":" + r);
    return out;
}

// 1-based number of the line that starts with `text`.
int lineOf(const std::string& file, const std::string& text)
{
    const auto pos = file.find(text);
    EXPECT_NE(pos, std::string::npos) << text;
    return static_cast<int>(std::count(file.begin(), file.begin() + static_cast<long>(pos), '\n')) + 1;
}

std::string replaceOnce(std::string s, const std::string& from, const std::string& to)
{
    const auto pos = s.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    if (pos != std::string::npos)
        s.replace(pos, from.size(), to);
    return s;
}

// The import must fail, name `line`, and leave every table as it was.
void expectRejected(jet::Database& db, const std::filesystem::path& file, cfg::ConfigFile which, int line)
{
    const auto before = allRows(db);
    Recorder progress;
    try {
        cfg::importConfig(db, file, which, progress);
        ADD_FAILURE() << "no error";
    } catch (const cfg::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Zeile " + std::to_string(line) + " "), std::string::npos) << e.what();
    }
    EXPECT_EQ(allRows(db), before);
    EXPECT_EQ(progress.statuses.back(), "") << "status cleared after a failure";
}

using ConfigImport = SmallWorld;

}  // namespace

TEST(ConfigRoundTrip, DemoWorldIsByteIdentical)
{
    TempDir dir;
    demo::writeDatabase(dir / "kickora.mdb", {1, 7});
    jet::Database db = jet::Database::open(dir / "kickora.mdb");
    // The transfer market as the tree build creates it, rows inserted with nothing but their
    // number, quotes in names, transfer-market players.
    db.execute("INSERT INTO vereine (NUMMER,NAME,GRAFIK_NR,STAERKE,STARTPLATZ) VALUES (0,'TRANSFERMARKT',999,'NULL','NULL')");
    db.execute("INSERT INTO vereine (NUMMER) VALUES (5000)");
    db.execute("INSERT INTO vereine_national (NUMMER) VALUES (5001)");
    db.execute("INSERT INTO spieler (NUMMER) VALUES (90000)");
    db.execute("INSERT INTO vereinspieler VALUES (0, 90000)");
    db.execute("INSERT INTO vereinspieler VALUES (0, 3)");
    db.execute("UPDATE vereine SET NAME=" + jetsql::quote("Der \"echte\" Club") + " WHERE NUMMER=50");
    db.execute("UPDATE spieler SET NAME=" + jetsql::quote("O\"Brien") + ", ERLERNT=Null WHERE NUMMER=7");

    NullProgress none;
    cfg::writeClubFile(db, dir / "1_tm.cfg", fixedClock(), none);
    cfg::writePlayerFile(db, dir / "1_sp.cfg", fixedClock(), none);
    const std::string clubs = readFile(dir / "1_tm.cfg");
    const std::string players = readFile(dir / "1_sp.cfg");
    const auto playersBefore = rows(db, "spieler");
    auto membersBefore = rows(db, "vereinspieler");

    EXPECT_EQ(cfg::importConfig(db, dir / "1_tm.cfg", cfg::ConfigFile::Clubs, none), 400 + 41 + 2 + 1);
    EXPECT_EQ(cfg::importConfig(db, dir / "1_sp.cfg", cfg::ConfigFile::Players, none), 8000 + 41 * 20 + 1);
    // The bytes entry points read the same records.
    EXPECT_EQ(cfg::importClubBytes(db, clubs, "1_tm.cfg", none), 400 + 41 + 2 + 1);
    EXPECT_EQ(cfg::importPlayerBytes(db, players, "1_sp.cfg", none), 8000 + 41 * 20 + 1);

    cfg::writeClubFile(db, dir / "1_tm2.cfg", fixedClock(), none);
    cfg::writePlayerFile(db, dir / "1_sp2.cfg", fixedClock(), none);
    EXPECT_TRUE(readFile(dir / "1_tm2.cfg") == clubs && readFile(dir / "1_sp2.cfg") == players) << "files differ after the round trip";

    EXPECT_EQ(rows(db, "spieler"), playersBefore) << "players come back with their values and Nulls";
    auto membersAfter = rows(db, "vereinspieler");
    std::sort(membersBefore.begin(), membersBefore.end());
    std::sort(membersAfter.begin(), membersAfter.end());
    EXPECT_EQ(membersAfter, membersBefore);
    jet::Recordset tm = db.query("SELECT NAME, STAERKE, KURZNAME FROM vereine WHERE NUMMER=0");
    ASSERT_FALSE(tm.eof());
    EXPECT_EQ(tm.field(0).toString() + "|" + tm.field(1).toString(), "TRANSFERMARKT|NULL");
    EXPECT_TRUE(tm.field(2).isNull());
    EXPECT_EQ(db.query("SELECT NAME FROM vereine WHERE NUMMER=50").field(0).toString(), "Der \"echte\" Club");
}

TEST_F(ConfigImport, ReaderEdgeCases)
{
    std::string national = "NEUES_TEAM\n        NUMMER 4\n        NAME \"Nordland\"\n";
    for (const char* key : {"KURZNAME", "GRAFIK_NR", "STAERKE", "STARTPLATZ"})
        national += std::string("        ") + key + "\n";
    national += "        SPIELER \"\"\n        STADION_NAME\n        STADT \"Nord\"\n        KLIMA 1,2,3\n"
                "        NATION \"Nordland\"\n        KONTINENT \"Atlantis\"\n";
    for (const char* key : {"STADION_SITZPL", "STADION_STEHPL", "TRIKOT_ART", "TW_TRIKOT_ART", "AUSWEICH_TRIKOT_ART",
                            "AUSWEICH_TW_TRIKOT_ART", "F_TRIKOT_SPIELER", "F_AUSW_TRIKOT_SPIELER",
                            "F_ALTERN_TRIKOT_SPIELER", "F_HOSE_SPIELER", "F_AUSW_HOSE_SPIELER", "F_ALTERN_HOSE_SPIELER",
                            "F_TRIKOT_WERBUNG", "F_HOSE_STREIFEN", "F_TRIKOT_TORWART", "F_HOSE_TORWART",
                            "F_TRIKOT_TRAINER", "F_HOSE_TRAINER"})
        national += std::string("        ") + key + "\n";
    national += "        NATIONALTEAM \"wird verworfen\"\n        LANDNAME\n";

    // A header that mentions the record keyword; a start line that ends the record before it;
    // a last record without an empty line or even a line end behind it.
    const std::string text = ";Kopf\nINFOTEXT \"NEUES_TEAM im Kopf\"\n  NEUES_TEAM 12\n\n"
                             "NEUES_TEAM\n"
                             "        NUMMER                   5\n"
                             "        NAME                     \"Kurz \"Verein\"\"   \n"
                             "        GRAFIK_NR                \"3\"\n"
                             "        SPIELER                  \"11, 12\"\n" +
                             national +
                             "\n\n\nNEUES_TEAM\n"
                             "        NUMMER 6\n        NAME \"NEUES_TEAM\"\n        GRAFIK_NR -2\n        SPIELER";
    writeFile(dir / "a.cfg", gameBytes(text));
    Recorder progress;
    EXPECT_EQ(cfg::importConfig(db, dir / "a.cfg", cfg::ConfigFile::Clubs, progress), 3);
    EXPECT_EQ(progress.statuses.front() + "|" + progress.statuses.back(), "Importiere Vereine...|");
    EXPECT_EQ(progress.last, 100);

    EXPECT_EQ(rows(db, "vereine"), (std::vector<std::string>{
                                       "I5|TKurz \"Verein\"|N|I3|N|N|T|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|",
                                       "I6|TNEUES_TEAM|N|I-2|N|N|T|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|N|"}));
    EXPECT_EQ(rows(db, "vereinspieler"), (std::vector<std::string>{"I5|I11|", "I5|I12|"}))
        << "the old memberships are gone, the lists make the new ones";
    jet::Recordset n = db.query("SELECT KLIMA, NATIONALTEAM, LANDNAME, STADT, KURZNAME FROM vereine_national");
    ASSERT_EQ(n.recordCount(), 1);
    EXPECT_EQ(n.field(0), jet::Value("1,2,3"));
    EXPECT_EQ(n.field(1), jet::Value("")) << "the file's NATIONALTEAM is dropped";
    EXPECT_EQ(n.field(3), jet::Value("Nord"));
    EXPECT_TRUE(n.field(2).isNull() && n.field(4).isNull());
}

TEST_F(ConfigImport, PlayerValuesAsTyped)
{
    const std::string evil = "x\"); DELETE FROM vereine; --";
    std::string text = "NEUER_SPIELER\n        NUMMER 1\n        NAME \"" + evil + "\"\n        VORNAME \"\"\n";
    text += "        STÄRKE 2.5\n        MAX_STÄRKE\n        NATION \"Land\"\n        GROESSE \"181\"\n";
    for (const char* key : {"ART", "REST_EINSÄTZE", "LIEBLINGSPOS_X", "LIEBLINGSPOS_Y", "RUECKENNUMMER", "GESICHT",
                            "HAUTFARBE", "HAARFARBE"})
        text += std::string("        ") + key + " -7\n";
    text += "        ERLERNT         3,17\n        GESPERRT        \n";
    // Plain LF line ends are read as well.
    writeFile(dir / "s.cfg", textcodec::utf8ToCp1252(text));
    EXPECT_EQ(cfg::importConfig(db, dir / "s.cfg", cfg::ConfigFile::Players, *std::make_unique<NullProgress>()), 1);
    EXPECT_EQ(rows(db, "spieler"),
              (std::vector<std::string>{"I1|T" + evil + "|T|R2.5|N|TLand|I181|I-7|I-7|I-7|I-7|I-7|I-7|I-7|I-7|T3,17|T|"}));
    EXPECT_EQ(rows(db, "vereine").size(), 2u);
}

TEST_F(ConfigImport, FailingClubRecordRollsBackWithItsLine)
{
    cfg::writeClubFile(db, dir / "1_tm.cfg", fixedClock(), none);
    const std::string good = readFile(dir / "1_tm.cfg");
    // Every case fails in the last record, after the others went in.
    const std::string kontinent = "        KONTINENT                \"West-Europa\"";
    struct Case {
        std::string from, to;
    } cases[] = {
        {kontinent, "        KONTINENTAL              \"West-Europa\""},             // key out of place
        {kontinent, "        KONTINENT                \"West-Europa"},               // unclosed quote
        {"        STADION_SITZPL           60000", "        STADION_SITZPL           60.000,5"},  // no number
        {"        SPIELER                  \"101\"", "        SPIELER                  \"101,x\""},  // bad list
        {kontinent + "\r\n", ""},                                                        // 31 key lines
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const int line = lineOf(good, c.from);
        writeFile(dir / "bad.cfg", replaceOnce(good, c.from, c.to));
        const int expected = c.to.empty() ? lineOf(good, "NEUES_TEAM\r\n        NUMMER                   1\r") : line;
        expectRejected(db, dir / "bad.cfg", cfg::ConfigFile::Clubs, expected);
    }
}

TEST_F(ConfigImport, FailingPlayerRecordRollsBackWithItsLine)
{
    cfg::writePlayerFile(db, dir / "1_sp.cfg", fixedClock(), none);
    const std::string good = readFile(dir / "1_sp.cfg");
    struct Case {
        std::string from, to, named;  // `named` starts the line the message must name
    } cases[] = {
        // The database refuses the second record (same number): the line of its start is named.
        {"NUMMER          102", "NUMMER          101", "NEUER_SPIELER\r\n        NUMMER          101\r\n        NAME            \"O"},
        // A record with a line too many.
        {"GESPERRT        5,40\r\n", "GESPERRT        5,40\r\n        ZUSATZ 1\r\n", "NEUER_SPIELER\r\n        NUMMER          102"},
        // A number key without a whole number.
        {"NUMMER          102", "NUMMER          10.5", "        NUMMER          10.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const std::string bad = replaceOnce(good, c.from, c.to);
        writeFile(dir / "bad.cfg", bad);
        expectRejected(db, dir / "bad.cfg", cfg::ConfigFile::Players, lineOf(bad, c.named));
    }

    // A missing file, an empty one, garbage, or a file of the other kind: refused, nothing emptied.
    const auto before = allRows(db);
    ASSERT_FALSE(before.empty());
    EXPECT_THROW(cfg::importConfig(db, dir / "fehlt.cfg", cfg::ConfigFile::Clubs, none), cfg::Error);
    writeFile(dir / "leer.cfg", "");
    writeFile(dir / "muell.cfg", "\x01garbage = 1\r\n");
    cfg::writeClubFile(db, dir / "1_tm.cfg", fixedClock(), none);
    const std::pair<const char*, cfg::ConfigFile> foreign[] = {
        {"leer.cfg", cfg::ConfigFile::Clubs},  {"leer.cfg", cfg::ConfigFile::Players},
        {"muell.cfg", cfg::ConfigFile::Clubs}, {"muell.cfg", cfg::ConfigFile::Players},
        {"1_sp.cfg", cfg::ConfigFile::Clubs},  {"1_tm.cfg", cfg::ConfigFile::Players},
    };
    for (const auto& [name, which] : foreign) {
        SCOPED_TRACE(name);
        try {
            cfg::importConfig(db, dir / name, which, none);
            ADD_FAILURE() << "no error";
        } catch (const cfg::Error& e) {
            EXPECT_NE(std::string(e.what()).find("nicht verändert"), std::string::npos) << e.what();
        }
        EXPECT_EQ(allRows(db), before);
    }
}

TEST_F(ConfigImport, ANumberMetTwiceKeepsTheLastPlayerList)
{
    const std::string text = "NEUES_TEAM\n        NUMMER 5\n        NAME \"A\"\n        GRAFIK_NR 1\n        SPIELER \"11,12\"\n\n"
                             "NEUES_TEAM\n        NUMMER 6\n        NAME \"B\"\n        GRAFIK_NR 1\n        SPIELER \"14\"\n\n"
                             "NEUES_TEAM\n        NUMMER 5\n        NAME \"C\"\n        GRAFIK_NR 2\n        SPIELER \"13\"\n";
    writeFile(dir / "twice.cfg", gameBytes(text));
    EXPECT_EQ(cfg::importConfig(db, dir / "twice.cfg", cfg::ConfigFile::Clubs, none), 3);
    EXPECT_EQ(rows(db, "vereinspieler"), (std::vector<std::string>{"I6|I14|", "I5|I13|"}));
    EXPECT_EQ(db.query("SELECT NAME FROM vereine WHERE NUMMER=5").field(0).toString(), "C");
}
