// Export of the club, player and team files: exact bytes, Null values, failures.
#include "configworld.h"
#include "testsupport.h"

#include "common/jetdb.h"
#include "common/profile.h"
#include "common/progress.h"
#include "config/cfgexport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

using namespace configtest;
using testsupport::readFile;
using testsupport::TempDir;

namespace {

struct Recorder final : ProgressSink {
    std::vector<std::string> statuses;
    std::vector<int> percents;
    void status(const std::string& s) override { statuses.push_back(s); }
    void percent(int p) override { percents.push_back(p); }
};

// Splits off header lines 1 and 2, which carry the date and the program.
void expectHeaderStart(std::string& file)
{
    const std::string line1 = textcodec::utf8ToCp1252(";Datenexport vom 05.03.2024 14:07:09\r\n");
    ASSERT_EQ(file.substr(0, line1.size()), line1);
    file.erase(0, line1.size());
    const std::string line2 = std::string(";Kickora Editor ") + KICKORA_VERSION + " ";
    ASSERT_EQ(file.substr(0, line2.size()), line2);
    const auto end = file.find("\r\n");
    ASSERT_NE(end, std::string::npos);
    file.erase(0, end + 2);
}

const std::string kClub7 =
        "NEUES_TEAM\n"
        "        NUMMER                   7\n"
        "        NAME                     \"FC \"Blau\" Äpfelstadt\"\n"
        "        KURZNAME                 \"Äpfelstadt\"\n"
        "        GRAFIK_NR                12\n"
        "        STAERKE                  \"45\"\n"
        "        STARTPLATZ               \"1\"\n"
        "        SPIELER                  \"102,101\"\n"
        "        STADION_NAME             \"Am Ring\"\n"
        "        STADT                    \"Äpfelstadt\"\n"
        "        NATION                   \"Deutschland\"\n"
        "        STADION_SITZPL           20000\n"
        "        STADION_STEHPL           5000\n"
        "        TRIKOT_ART               3\n"
        "        TW_TRIKOT_ART            70\n"
        "        AUSWEICH_TRIKOT_ART      10\n"
        "        AUSWEICH_TW_TRIKOT_ART   0\n"
        "        F_TRIKOT_SPIELER         \"255,255,255\"\n"
        "        F_AUSW_TRIKOT_SPIELER    \"  0,  0,  0\"\n"
        "        F_ALTERN_TRIKOT_SPIELER  \" 48, 48, 48\"\n"
        "        F_HOSE_SPIELER           \"255,  0,  0\"\n"
        "        F_AUSW_HOSE_SPIELER      \"255,255,255\"\n"
        "        F_ALTERN_HOSE_SPIELER    \"  0,  0,  0\"\n"
        "        F_TRIKOT_WERBUNG         \" 48, 48, 48\"\n"
        "        F_HOSE_STREIFEN          \"255,  0,  0\"\n"
        "        F_TRIKOT_TORWART         \"255,255,255\"\n"
        "        F_HOSE_TORWART           \"  0,  0,  0\"\n"
        "        F_TRIKOT_TRAINER         \" 48, 48, 48\"\n"
        "        F_HOSE_TRAINER           \"255,  0,  0\"\n";

// Club 9 has nothing but number and name: every other key of club 7 stands bare.
std::string emptyClub9()
{
    std::string out = "NEUES_TEAM\n        NUMMER                   9\n        NAME                     \"Leer\"\n";
    for (std::size_t pos = kClub7.find("KURZNAME") - 8, end; pos < kClub7.size(); pos = end + 1) {
        end = kClub7.find('\n', pos);
        const std::string line = kClub7.substr(pos, end - pos);
        out += line.substr(0, line.find(' ', 8)) + "\n";
    }
    return out;
}

const std::string kClubRecords = kClub7 + "\n" + emptyClub9() + "\n" +
        "NEUES_TEAM\n"
        "        NUMMER                   1\n"
        "        NAME                     \"Deutschland\"\n"
        "        KURZNAME                 \"GER\"\n"
        "        GRAFIK_NR                5\n"
        "        STAERKE                  \"70\"\n"
        "        STARTPLATZ               \"0\"\n"
        "        SPIELER                  \"101\"\n"
        "        STADION_NAME             \"Nationalstadion\"\n"
        "        STADT                    \"Berlin\"\n"
        "        KLIMA                    99,121,700\n"
        "        NATION                   \"Deutschland\"\n"
        "        KONTINENT                \"West-Europa\"\n"
        "        STADION_SITZPL           60000\n"
        "        STADION_STEHPL           15000\n"
        "        TRIKOT_ART               16\n"
        "        TW_TRIKOT_ART            62\n"
        "        AUSWEICH_TRIKOT_ART      58\n"
        "        AUSWEICH_TW_TRIKOT_ART   0\n"
        "        F_TRIKOT_SPIELER         \"144, 32, 56\"\n"
        "        F_AUSW_TRIKOT_SPIELER    \"120,  8, 24\"\n"
        "        F_ALTERN_TRIKOT_SPIELER  \" 48, 40,120\"\n"
        "        F_HOSE_SPIELER           \"  0,  0,  0\"\n"
        "        F_AUSW_HOSE_SPIELER      \"144, 32, 56\"\n"
        "        F_ALTERN_HOSE_SPIELER    \"120,  8, 24\"\n"
        "        F_TRIKOT_WERBUNG         \" 48, 40,120\"\n"
        "        F_HOSE_STREIFEN          \"  0,  0,  0\"\n"
        "        F_TRIKOT_TORWART         \"144, 32, 56\"\n"
        "        F_HOSE_TORWART           \"120,  8, 24\"\n"
        "        F_TRIKOT_TRAINER         \" 48, 40,120\"\n"
        "        F_HOSE_TRAINER           \"  0,  0,  0\"\n"
        "        NATIONALTEAM             \"\"\n"
        "        LANDNAME                 \"\"\n";

const char* const kPlayerRecords =
        "NEUER_SPIELER\n"
        "        NUMMER          101\n"
        "        NAME            \"Müller\"\n"
        "        VORNAME         \"Karl\"\n"
        "        STÄRKE          6000\n"
        "        MAX_STÄRKE      8000\n"
        "        NATION          \"Deutschland\"\n"
        "        GROESSE         182\n"
        "        ART             2\n"
        "        REST_EINSÄTZE   100\n"
        "        LIEBLINGSPOS_X  2\n"
        "        LIEBLINGSPOS_Y  3\n"
        "        RUECKENNUMMER   10\n"
        "        GESICHT         67108868\n"
        "        HAUTFARBE       1\n"
        "        HAARFARBE       2\n"
        "        ERLERNT         3,17\n"
        "        GESPERRT        \n"
        "\n"
        "NEUER_SPIELER\n"
        "        NUMMER          102\n"
        "        NAME            \"O\"Neil\"\n"
        "        VORNAME         \"Seán\"\n"
        "        STÄRKE          0\n"
        "        MAX_STÄRKE      12000\n"
        "        NATION          \"Irland\"\n"
        "        GROESSE         190\n"
        "        ART             0\n"
        "        REST_EINSÄTZE   -1\n"
        "        LIEBLINGSPOS_X  0\n"
        "        LIEBLINGSPOS_Y  0\n"
        "        RUECKENNUMMER   1\n"
        "        GESICHT         0\n"
        "        HAUTFARBE       0\n"
        "        HAARFARBE       0\n"
        "        ERLERNT         \n"
        "        GESPERRT        5,40\n";

using ConfigExport = SmallWorld;
using TeamFile = SmallWorld;

}  // namespace

// Exact bytes of both files of a small world: key columns 34 and 25, quoting, bare KLIMA/ERLERNT/
// GESPERRT, empty SPIELER, one empty line between records and none at the end, CR LF, Windows-1252.
TEST_F(ConfigExport, ClubAndPlayerFileBytes)
{
    const std::string info = "\n\nINFOTEXT \"test01\"\n\n        DATA_VERSION 1\n\n";
    const struct {
        const char* name;
        cfg::ConfigFile kind;
        std::string expected;
        std::vector<std::string> statuses;
    } files[] = {
        {"1_tm.cfg", cfg::ConfigFile::Clubs,
         info + "        BASE_NATION \"Deutschland\"\n\n        LETZTES_TEAM 9\n\n\n" + kClubRecords,
         {"Exportiere Vereine...", "Exportiere Nationalteams...", "", ""}},
        {"1_sp.cfg", cfg::ConfigFile::Players, info + "        LETZTER_SPIELER 102\n\n\n" + kPlayerRecords,
         {"Exportiere Spieler...", ""}},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        Recorder progress;
        cfg::exportConfig(db, dir / f.name, f.kind, fixedClock(), progress);
        std::string file = readFile(dir / f.name);
        EXPECT_EQ(file.find('\xC3'), std::string::npos) << "no UTF-8 left";
        expectHeaderStart(file);
        EXPECT_EQ(file, gameBytes(f.expected));
        EXPECT_EQ(progress.statuses.front(), f.statuses.front());
        EXPECT_EQ(progress.statuses.back(), "");
        if (f.kind == cfg::ConfigFile::Clubs) {
            EXPECT_EQ(progress.statuses, f.statuses);
        }
        EXPECT_EQ(progress.percents.back(), 100);
    }
    EXPECT_EQ(cfg::playerListLine(db, 7), "        SPIELER                  \"102,101\"\r\n");
    EXPECT_EQ(cfg::playerListLine(db, 9), "        SPIELER\r\n");
}

TEST_F(ConfigExport, HeaderDateLeavesOutTheTimeAtMidnight)
{
    EXPECT_EQ(cfg::headerDate({2024, 12, 31, 0, 0, 0}), "31.12.2024");
    EXPECT_EQ(cfg::headerDate({2024, 12, 31, 0, 0, 1}), "31.12.2024 00:00:01");
    EXPECT_EQ(cfg::headerDate({2025, 1, 2, 23, 59, 59}), "02.01.2025 23:59:59");
    cfg::writePlayerFile(db, dir / "1_sp.cfg", fixedClock({2024, 6, 1, 0, 0, 0}), none);
    EXPECT_EQ(readFile(dir / "1_sp.cfg").substr(0, 30), ";Datenexport vom 01.06.2024\r\n;");
}

TEST_F(ConfigExport, EmptyTablesAndEmptyLists)
{
    jet::Database empty = emptyWorld(dir / "leer.mdb");
    empty.executeNative("INSERT INTO vereine (NUMMER, NAME) VALUES (3, 'Solo')");
    cfg::writeClubFile(empty, dir / "1_tm.cfg", fixedClock(), none);
    cfg::writePlayerFile(empty, dir / "1_sp.cfg", fixedClock(), none);
    const std::string clubs = readFile(dir / "1_tm.cfg");
    // The empty national-team table still writes the empty line before its records.
    const std::string tail = "        F_HOSE_TRAINER\r\n\r\n";
    EXPECT_EQ(clubs.substr(clubs.size() - tail.size()), tail);
    EXPECT_NE(clubs.find("\r\n        SPIELER\r\n"), std::string::npos);
    // No players: the header with 0 and the two empty lines, nothing else.
    const std::string players = readFile(dir / "1_sp.cfg");
    const std::string end = "        LETZTER_SPIELER 0\r\n\r\n\r\n";
    EXPECT_EQ(players.substr(players.size() - end.size()), end);
}

TEST_F(ConfigExport, FailuresLeaveTheOldFile)
{
    testsupport::writeFile(dir / "1_tm.cfg", "alt");
    testsupport::writeFile(dir / "1_sp.cfg", "alt");

    // A line break cannot be written in a value.
    db.executeNative("UPDATE spieler SET NAME = 'Zwei' || char(10) || 'Zeilen' WHERE NUMMER = 101");
    EXPECT_THROW(cfg::writePlayerFile(db, dir / "1_sp.cfg", fixedClock(), none), cfg::Error);
    EXPECT_EQ(readFile(dir / "1_sp.cfg"), "alt");

    // A column name longer than the key width stops the export.
    db.executeNative("ALTER TABLE vereine ADD COLUMN ABCDEFGHIJKLMNOPQRSTUVWXYZ INTEGER");
    try {
        cfg::writeClubFile(db, dir / "1_tm.cfg", fixedClock(), none);
        FAIL() << "no error";
    } catch (const cfg::Error& e) {
        EXPECT_NE(std::string(e.what()).find("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    }
    EXPECT_EQ(readFile(dir / "1_tm.cfg"), "alt");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 3)
        << "no temporary file left";
}

TEST_F(TeamFile, ClubWithPlayers)
{
    testsupport::writeFile(dir / "club.tea", "[Alt]\r\nx=1\r\n");
    Recorder progress;
    cfg::writeTeamFile(db, dir / "club.tea", 7, fixedClock(), progress);

    const std::string bytes = readFile(dir / "club.tea");
    const std::string start = ";Datenexport vom 05.03.2024 14:07:09\r\n;Kickora Editor v";
    EXPECT_EQ(bytes.substr(0, start.size()), start);
    EXPECT_NE(bytes.find("\r\n[Spieler2]\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n\r\n[Spieler"), std::string::npos) << "no blank line before a section";
    const auto doc = profile::Document::load(dir / "club.tea");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"Team", "Spieler1", "Spieler2"})) << "old file replaced";
    EXPECT_EQ(doc.getString("Team", "NAME", "-"), "FC \"Blau\" Äpfelstadt");
    EXPECT_EQ(doc.getString("Team", "STADION_SITZPL", "-"), "20000");
    EXPECT_EQ(doc.getString("Team", "F_AUSW_TRIKOT_SPIELER", "-"), "0,  0,  0");
    EXPECT_EQ(doc.getString("Team", "SPIELER", "-"), "");

    std::vector<std::string> names;
    for (const char* s : {"Spieler1", "Spieler2"}) {
        names.push_back(doc.getString(s, "NAME", "-"));
        EXPECT_NE(doc.getString(s, "Staerke", "-"), "-") << "STÄRKE is written as Staerke";
        EXPECT_NE(doc.getString(s, "Max_Staerke", "-"), "-");
        EXPECT_EQ(doc.getString(s, "STÄRKE", "-"), "-");
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Müller", "O\"Neil"}));
    const std::string karl = names.front() == doc.getString("Spieler1", "NAME", "") ? "Spieler1" : "Spieler2";
    EXPECT_EQ(doc.getString(karl, "Staerke", ""), "6000");
    EXPECT_EQ(doc.getString(karl, "ERLERNT", ""), "3,17");
    EXPECT_EQ(doc.getString(karl, "REST_EINSÄTZE", ""), "100");
    EXPECT_EQ(progress.statuses.back(), "");
    EXPECT_EQ(progress.percents.back(), 100);
}

// Null values stay empty, a team without players has no player section, and a number found in
// both tables takes the national row with its own columns and players.
TEST_F(TeamFile, NullValuesAndNationalTeams)
{
    cfg::writeTeamFile(db, dir / "leer.tea", 9, fixedClock(), none);
    const auto doc = profile::Document::load(dir / "leer.tea");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"Team"}));
    EXPECT_EQ(doc.getString("Team", "NAME", "-"), "Leer");
    EXPECT_EQ(doc.getString("Team", "KURZNAME", "-") + doc.getString("Team", "STADION_SITZPL", "-"), "");

    db.executeNative("INSERT INTO vereine (NUMMER, NAME, STADT) VALUES (1, 'Club Eins', 'Clubstadt')");
    cfg::writeTeamFile(db, dir / "ger.tea", 1, fixedClock(), none);
    const auto ger = profile::Document::load(dir / "ger.tea");
    EXPECT_EQ(ger.getString("Team", "NAME", "-") + "|" + ger.getString("Team", "STADT", "-"), "Deutschland|Berlin");
    EXPECT_EQ(ger.getString("Team", "KLIMA", "-"), "99,121,700");
    EXPECT_EQ(ger.getString("Spieler1", "NAME", "-"), "Müller");
    EXPECT_EQ(ger.sectionNames().size(), 2u);
}

TEST_F(ConfigExport, FileChosenAndTeamFileClubNumber)
{
    for (const char* none : {"", "*.cfg", "/spiel/config/*.cfg"}) EXPECT_FALSE(cfg::configFileChosen(none)) << none;
    EXPECT_TRUE(cfg::configFileChosen("/spiel/config/1_tm.cfg"));

    const std::pair<const char*, std::optional<long long>> keys[] = {
        {"T12", 12}, {"L5", 5}, {"T0", 0}, {"T12_", std::nullopt}, {"L-1", std::nullopt}, {"Asien", std::nullopt}, {"", std::nullopt}};
    for (const auto& [key, number] : keys) EXPECT_EQ(cfg::teamFileClubNumber(key), number) << key;
}

TEST_F(ConfigExport, FractionsUseAPointWhateverTheLocale)
{
    db.executeNative("UPDATE spieler SET \"STÄRKE\" = 2.5, GROESSE = -180.25 WHERE NUMMER = 101");
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "C.UTF-8"})
        if (std::setlocale(LC_ALL, name))
            break;
    cfg::writePlayerFile(db, dir / "1_sp.cfg", fixedClock(), none);
    std::setlocale(LC_ALL, saved.c_str());
    const std::string file = readFile(dir / "1_sp.cfg");
    EXPECT_NE(file.find("        ST\xC4RKE          2.5\r\n"), std::string::npos);
    EXPECT_NE(file.find("        GROESSE         -180.25\r\n"), std::string::npos);
}
