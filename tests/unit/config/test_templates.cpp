// Template clubs for every country, the competition file, and the country lookup landneu.
#include "configworld.h"
#include "testsupport.h"

#include "common/jetdb.h"
#include "common/progress.h"
#include "config/landneu.h"
#include "config/templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace configtest;
using testsupport::readFile;
using testsupport::TempDir;

namespace {

long long count(jet::Database& db, const std::string& sql)
{
    return db.query(sql).field(0).toInt();
}

struct Statuses final : ProgressSink {
    std::vector<std::string> texts;
    void status(const std::string& s) override { texts.push_back(s); }
    void percent(int) override {}
};

// Three leagues: one with more clubs in the database than it needs, one with a qualification
// list longer than the league, one with fewer clubs than it needs; a country without teams.
jet::Database leagueWorld(const std::filesystem::path& file)
{
    jet::Database db = emptyWorld(file);
    db.executeNative(R"SQL(
INSERT INTO e_landkontinent VALUES (1, 'Aland', 'West-Europa', 'ALA', 3, 'CL,CLQ,UEFA,XX');
INSERT INTO e_landkontinent VALUES (3, 'Cland', 'Asien', 'CLA', 4, 'UEFA');
INSERT INTO e_landkontinent VALUES (2, 'Bländ', 'Ost-Europa', 'BLA', 2, 'UEFA,UI,UI');
INSERT INTO e_landkontinent VALUES (4, 'Nullland', 'Asien', 'NUL', 0, 'CL');
INSERT INTO vereine_national (NUMMER, NAME) VALUES (11, 'Aland');
INSERT INTO vereine_national (NUMMER, NAME) VALUES (12, 'Bländ');
INSERT INTO vereine_national (NUMMER, NAME) VALUES (13, 'Cland');
INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (30, 'a30', 'Aland'), (21, 'a21', 'Aland'), (40, 'a40', 'Aland'),
  (25, 'a25', 'Aland'), (51, 'b51', 'Bländ'), (50, 'b50', 'Bländ'), (60, 'c60', 'Cland'), (61, 'c61', 'Cland'),
  (70, 'n70', 'Nullland');
)SQL");
    return db;
}

using Landneu = SmallWorld;

}  // namespace

TEST(CompetitionFile, BytesOfASmallWorld)
{
    TempDir dir;
    jet::Database db = leagueWorld(dir / "kickora.mdb");
    NullProgress none;
    const auto file = cfg::competitionFilePath(dir.path());
    EXPECT_EQ(file, dir / "1_we.cfg");
    cfg::writeCompetitionFile(db, file, none);
    // One league record; the lines that are the same for every league are written out once.
    auto league = [](const std::string& name, const std::string& id, int teams, int matchdays, const std::string& quali,
                     const std::string& qualiOwn, const std::string& starters, int country) {
        return "NEUER_WETTBEWERB\n"
               "\tNAME                               \"Liga " + name + "\"\n"
               "\tIDENTIFIKATION                     " + id + "\n"
               "\tTEAMS                              " + std::to_string(teams) + "\n"
               "\tMODUS                              RUECKSPIELE\n"
               "\tMODUS                              HEIMRECHT\n"
               "\tMODUS                              ENGLISCHE_TABELLE\n"
               "\tSUPER_ART                          NATIONAL\n"
               "\tWOCHENTAG                          Samstag\n"
               "\tQUOTE_WOCHENTAG                    80\n"
               "\tSPIELTAGE                          " + std::to_string(matchdays) + "\n"
               "\tQUALI_FUER                         " + quali + "\n"
               "\tQUALI_FUER                         " + qualiOwn + "\n"
               "\tSTARTTEILNEHMER                    " + starters + "\n"
               "\tLAND                               " + std::to_string(country) + "\n"
               "\tERSTE_GELBSPERRE                   5\n"
               "\tINTERVALL_GELBSPERRE               5\n"
               "\tGRAFIK_NUMMER                      13\n"
               "\tSIEG_PRAEMIE                       20000\n"
               "\tUNENTSCHIEDEN_PRAEMIE              5000\n"
               "\tBASISLIGA                          JA\n"
               "\tQUALI_ZU_SAISONSTART               JA\n"
               "\tKALENDER_POSITION                  0\n"
               "\n";
    };
    const std::string expected = league("Aland", "ALA", 3, 4, "CL,CLQ,UEFA,XX", "ALA,ALA,ALA", "21,25,30", 11) +
                                 league("Bländ", "BLA", 2, 2, "UEFA,UI,UI", "BLA,BLA", "50,51", 12) +
                                 league("Cland", "CLA", 4, 6, "UEFA", "CLA,CLA", "60,61", 13) +
                                 "UI1 51,\n"
                                 "UQ-1 \n"
                                 "U3 30,50,60,\n"
                                 "CQ1 25,\n"
                                 "C1 21,\n";
    EXPECT_EQ(readFile(file), gameBytes(expected));
}

TEST(CompetitionFile, CountryWithoutNationalTeamStopsBeforeWriting)
{
    TempDir dir;
    jet::Database db = leagueWorld(dir / "kickora.mdb");
    db.executeNative("DELETE FROM vereine_national WHERE NUMMER = 12");
    testsupport::writeFile(dir / "1_we.cfg", "alt");
    NullProgress none;
    try {
        cfg::writeCompetitionFile(db, dir / "1_we.cfg", none);
        FAIL() << "no error";
    } catch (const cfg::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Bländ"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(dir / "1_we.cfg"), "alt");
}

TEST(TemplateClubs, NamesNumbersSquads)
{
    for (auto [n, name] : {std::pair{1, "ABC001"}, std::pair{42, "ABC042"}, std::pair{1234, "ABC1234"}})
        EXPECT_EQ(cfg::templateClubName("ABC", n), name);

    TempDir dir;
    jet::Database db = emptyWorld(dir / "kickora.mdb");
    db.executeNative(R"SQL(
INSERT INTO e_landkontinent VALUES (1, 'Testland', 'Süd-Europa', 'ABC', 3, 'CL');
INSERT INTO e_landkontinent VALUES (2, 'Zweitland', 'Asien', 'ZWE', 1, '');
INSERT INTO e_landkontinent VALUES (3, 'Ohne', 'Asien', 'OHN', 0, '');
INSERT INTO vereine (NUMMER, NAME, NATION) VALUES (10, 'Alt', 'Zweitland');
INSERT INTO vereine_national (NUMMER, NAME) VALUES (4, 'Zweitland');
INSERT INTO spieler (NUMMER, NAME) VALUES (500, 'Alt');
)SQL");
    Statuses progress;
    EXPECT_EQ(cfg::createTemplateClubs(db, progress), 4);
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"ABC001", "ABC002", "ABC003", "ZWE001", ""}));

    // Testland got its national team first (11), then its clubs; Zweitland kept its own.
    EXPECT_EQ(rows(db, "vereine_national").size(), 2u);
    EXPECT_EQ(db.query("SELECT NUMMER, KONTINENT FROM vereine_national WHERE NAME='Testland'").field(0).toInt(), 11);
    jet::Recordset clubs = db.query("SELECT NUMMER, NAME, KURZNAME, NATION FROM vereine WHERE NUMMER > 10 ORDER BY NUMMER");
    std::vector<std::string> got;
    for (; !clubs.eof(); clubs.moveNext())
        got.push_back(clubs.field(0).toString() + " " + clubs.field(1).toString() + " " + clubs.field(2).toString() +
                      " " + clubs.field(3).toString());
    EXPECT_EQ(got, (std::vector<std::string>{"12 ABC001 ABC001 Testland", "13 ABC002 ABC002 Testland",
                                             "14 ABC003 ABC003 Testland", "15 ZWE001 ZWE001 Zweitland"}));
    EXPECT_EQ(rows(db, "vereine")[1],
              "I12|TABC001|TABC001|I0|T0|T0|T|T|T|TTestland|I0|I0|I0|I70|I10|I0|"
              "T255,255,255|T255,255,255|T255,255,255|T255,255,255|T 48, 48, 48|T 48, 48, 48|T 48, 48, 48|"
              "T 48, 48, 48|T 24,181,220|T 24,181,220|T 24,181,220|T 24,181,220|")
        << "template values, numbers stored as numbers";

    // Twenty placeholder players per club, numbered after the highest one, of the club's country.
    EXPECT_EQ(count(db, "SELECT count(*) FROM vereinspieler WHERE verein=13"), 20);
    EXPECT_EQ(count(db, "SELECT count(*) FROM spieler"), 81);
    EXPECT_EQ(count(db, "SELECT min(NUMMER) FROM spieler WHERE NUMMER > 500"), 501);
    EXPECT_EQ(count(db, "SELECT count(*) FROM spieler s INNER JOIN vereinspieler v ON s.NUMMER = v.spieler "
                        "INNER JOIN vereine c ON c.NUMMER = v.verein WHERE s.NATION <> c.NATION"),
              0);
}

TEST(TemplateClubs, FailureLeavesNothingBehind)
{
    TempDir dir;
    jet::Database db = emptyWorld(dir / "kickora.mdb");
    db.executeNative("INSERT INTO e_landkontinent VALUES (1, 'Testland', 'Asien', 'ABC', 2, '');"
                     "DROP TABLE vereinspieler;");
    NullProgress none;
    EXPECT_THROW(cfg::createTemplateClubs(db, none), jet::Error);
    for (const char* table : {"vereine", "vereine_national", "spieler"})
        EXPECT_EQ(count(db, std::string("SELECT count(*) FROM ") + table), 0) << table;
}

TEST_F(Landneu, PrefixSuffixAndSzSpellingsCreateANewTeam)
{
    db.executeNative(R"SQL(
INSERT INTO vereine_national (NUMMER, NAME) VALUES (20, 'Irland'), (21, 'Korea'), (22, 'Russland'), (23, 'Grußland');
INSERT INTO e_landkontinent VALUES (1, 'Nordirland', 'West-Europa', 'NIR', 0, '');
)SQL");
    // Found as candidates by suffix, prefix and the two spellings, but none is the country itself.
    for (const char* country : {"Nordirland", "Korea Süd", "Rußland", "Grussland"}) {
        SCOPED_TRACE(country);
        const long long before = count(db, "SELECT count(*) FROM vereine_national");
        EXPECT_EQ(cfg::landneu(db, country), country);
        EXPECT_EQ(count(db, "SELECT count(*) FROM vereine_national"), before + 1);
        EXPECT_EQ(count(db, "SELECT count(*) FROM vereine_national WHERE NAME=\"" + std::string(country) + "\""), 1);
        // Asked again, the new team is found exactly.
        EXPECT_EQ(cfg::landneu(db, country), country);
        EXPECT_EQ(count(db, "SELECT count(*) FROM vereine_national"), before + 1);
    }
    EXPECT_EQ(rows(db, "vereine_national")[5],
              "I24|TNordirland|TNordirland|I292|T0|T0|N|TNordirland|TNordirland|T99,121,700|TNordirland|TWest-Europa|"
              "I8000|I3000|I16|I62|I58|I0|T144, 32, 56|T120,  8, 24|T 48, 40,120|T  0,  0,  0|T  8, 64,200|"
              "T  0, 40,160|T 24, 24, 24|T  0,  0,  0|T240,184, 32|T200,144,  8|T 24, 24, 24|T  0,  0,  0|N|N|")
        << "number after the highest club or national team, defaults, continent of e_landkontinent";
}

TEST_F(Landneu, ExactMatchAndUnknownCountryWithQuotes)
{
    EXPECT_EQ(cfg::landneu(db, "Deutschland"), "Deutschland");
    EXPECT_EQ(count(db, "SELECT count(*) FROM vereine_national"), 1);
    // Unknown: a new team in Atlantis, the quotes stored as typed.
    const std::string name = "Land \"Neu\" d'Or";
    EXPECT_EQ(cfg::landneu(db, name), name);
    EXPECT_EQ(cfg::landneu(db, name), name);
    jet::Recordset rs = db.query("SELECT NUMMER, NAME, KONTINENT FROM vereine_national WHERE NUMMER > 1");
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.field(0).toInt(), 10) << "greatest maxnr (club 9) plus one";
    EXPECT_EQ(rs.field(1).toString() + "|" + rs.field(2).toString(), name + "|Atlantis");
}
