#include "mainwindow/clubeditor.h"

#include <gtest/gtest.h>

#include "common/progress.h"
#include "foundation/dao.h"
#include "foundation/schema.h"
#include "mainwindow/newitem.h"
#include "testsupport.h"

using namespace clubeditor;

namespace {

struct ClubDb : ::testing::Test {
    testsupport::TempDir dir;
    Dao dao;
    NullProgress progress;
    void SetUp() override {
        {
            jet::Database db = jet::Database::open(dir / "kickora.mdb", true);
            schema::createGameSchema(db);
            db.executeNative(
                "INSERT INTO vereine_national (NUMMER,NAME,KURZNAME,GRAFIK_NR,STADION_NAME,STADT,NATION,KONTINENT,"
                "STADION_SITZPL,STADION_STEHPL,TRIKOT_ART,TW_TRIKOT_ART,AUSWEICH_TRIKOT_ART) VALUES "
                "(1,'Deutschland','GER',1,'Nationalstadion','Berlin','Deutschland','West-Europa',70000,5000,8,70,10),"
                "(2,'Polen','POL',2,'','Warschau','Polen','Ost-Europa',0,0,0,0,0);"
                "INSERT INTO vereine (NUMMER,NAME,KURZNAME,GRAFIK_NR,STADION_NAME,STADT,NATION,STADION_SITZPL,"
                "STADION_STEHPL,TRIKOT_ART,TW_TRIKOT_ART,AUSWEICH_TRIKOT_ART,AUSWEICH_TW_TRIKOT_ART) VALUES "
                "(0,'TRANSFERMARKT',NULL,999,'x','y',NULL,1,2,0,0,0,0),"
                "(42,'FC Adler','Adler',17,'Adlerhorst','Adlerstadt','Deutschland',30000,12000,3,71,12,5),"
                "(43,'Warta','Warta',18,'','Posen','Polen',1,2,0,0,0,0);"
                "INSERT INTO spieler (NUMMER,NAME,NATION) VALUES (1,'Müller','Deutschland'),(2,'Kowalski','Polen'),"
                "(3,'Schmidt','Deutschland');");
        }
        dao.open(dir / "kickora.mdb");
    }
    std::string text(const std::string& sql) { return dao.query(sql, 1).field(0).toString(); }
    long long scalar(const std::string& sql) { return dao.query(sql, 1).field(0).toInt(); }
    // Several columns of one row, joined by "|".
    std::string values(std::initializer_list<const char*> columns, const std::string& from) {
        std::string out;
        for (const char* c : columns) out += (out.empty() ? "" : "|") + text(std::string("SELECT ") + c + " " + from);
        return out;
    }
    SaveRequest request(Kind kind, long long number) {
        SaveRequest r;
        r.kind = kind;
        r.number = number;
        r.team = showteam(dao, number, kind);
        return r;
    }
};

}  // namespace

TEST_F(ClubDb, ShowteamFillsTheFieldsOfEachKind) {
    const auto fields = [](const Team& t) {
        return std::vector<std::string>{t.nummer, t.name, t.kurzname, t.grafnr, t.stadion, t.stadt,
                                        t.land,   t.kontinent, t.sitz, t.steh};
    };
    const Team national = showteam(dao, 1, KindNational);
    EXPECT_TRUE(national.found);
    EXPECT_EQ(fields(national), (std::vector<std::string>{"1", "Deutschland", "GER", "1", "Nationalstadion", "Berlin",
                                                          "Deutschland", "West-Europa", "70000", "5000"}));
    EXPECT_EQ(national.trikot, (std::array<long long, 3>{8, 10, 70}));

    const Team club = showteam(dao, 42, KindClub);
    EXPECT_EQ(fields(club), (std::vector<std::string>{"42", "FC Adler", "Adler", "17", "Adlerhorst", "Adlerstadt",
                                                      "Deutschland", "", "30000", "12000"}));
    EXPECT_EQ(club.trikot, (std::array<long long, 3>{3, 12, 71}));

    // The transfer market shows only number, name and crest.
    const Team market = showteam(dao, 0, KindTransferMarket);
    EXPECT_EQ(fields(market), (std::vector<std::string>{"0", "TRANSFERMARKT", "", "999", "", "", "", "", "", ""}));

    EXPECT_FALSE(showteam(dao, 999, KindClub).found);
}

TEST(NumberFields, WholeNumbersOnly) {
    long long v = 0;
    const std::pair<const char*, long long> good[] = {{"0", 0}, {" 12 ", 12}, {"-3", -3}, {"+7", 7},
                                                      {"2147483647", 2147483647LL}, {"-2147483648", -2147483648LL}};
    for (const auto& [text, value] : good) {
        EXPECT_TRUE(parseWholeNumber(text, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    for (const char* bad : {"", " ", "12a", "1.5", "1,5", "-", "2147483648", "99999999999999999999", "1 2"})
        EXPECT_FALSE(parseWholeNumber(bad, v)) << bad;
}

TEST_F(ClubDb, CheckNamesTheBadFieldAndRefusesTakenNumbers) {
    struct Case {
        std::string Team::*field;
        const char* caption;
    } cases[] = {{&Team::nummer, "Teamnummer"}, {&Team::grafnr, "Grafiknummer"},
                 {&Team::sitz, "Sitzplätze"}, {&Team::steh, "Stehplätze"}};
    for (const Case& c : cases) {
        SaveRequest r = request(KindClub, 42);
        EXPECT_EQ(check(dao, r), "");
        r.team.*c.field = "zehn";
        const std::string message = check(dao, r);
        EXPECT_NE(message.find(c.caption), std::string::npos) << message;
    }

    SaveRequest fresh;
    fresh.kind = KindClub;
    fresh.isNew = true;
    fresh.team = showteamnew(43, "Polen");  // 43 is a club already
    EXPECT_NE(check(dao, fresh).find("43"), std::string::npos);
    fresh.team = showteamnew(2, "Polen");  // 2 is a national team: numbers are shared
    EXPECT_NE(check(dao, fresh), "");
    fresh.team = showteamnew(44, "Polen");
    EXPECT_EQ(check(dao, fresh), "");

    SaveRequest moved = request(KindClub, 42);
    moved.team.nummer = "43";  // would overwrite another club
    EXPECT_NE(check(dao, moved), "");
    EXPECT_NE(check(dao, request(KindTransferMarket, 0)), "");
}

TEST_F(ClubDb, SavingAClubWritesEveryColumnAsTyped) {
    SaveRequest r = request(KindClub, 42);
    r.team.name = "FC \"Adler\" d'Or";
    r.team.kurzname = "Adler'";
    r.team.grafnr = " 55";
    r.team.stadion = "Horst";
    r.team.stadt = "Neustadt";
    r.team.land = "Polen";
    r.team.sitz = "100";
    r.team.steh = "200";
    r.team.trikot = {1, 2, 3};
    const SaveResult result = save(dao, r, progress);
    EXPECT_EQ(result.key, "T42");
    EXPECT_EQ(result.playersCreated, 0);

    EXPECT_EQ(values({"NAME", "KURZNAME", "GRAFIK_NR", "STADION_NAME", "STADT", "NATION", "STADION_SITZPL", "STADION_STEHPL",
                      "TRIKOT_ART", "AUSWEICH_TRIKOT_ART", "TW_TRIKOT_ART", "AUSWEICH_TW_TRIKOT_ART"},
                     "FROM vereine WHERE NUMMER=42"),
              "FC \"Adler\" d'Or|Adler'|55|Horst|Neustadt|Polen|100|200|1|2|3|0");
    // Another club and the players are untouched.
    EXPECT_EQ(text("SELECT NAME FROM vereine WHERE NUMMER=43"), "Warta");
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler WHERE NATION=\"Deutschland\""), 2);
}

TEST_F(ClubDb, NewEntriesAreInsertedANewClubWithItsSquad) {
    const long long n = newitem::nextTeamNumber(dao);
    EXPECT_EQ(n, 44);
    EXPECT_EQ(newitem::nextTeamNumber(dao, 60), 61);
    EXPECT_EQ(newitem::key(newitem::NewClub, n), "T44_");
    EXPECT_EQ(newitem::text(newitem::NewCountry, 7), "Land7");

    SaveRequest club;
    club.kind = KindClub;
    club.isNew = true;
    club.number = n;
    club.team = showteamnew(n, "Polen");
    EXPECT_EQ(club.team.name + "|" + club.team.kurzname + "|" + club.team.grafnr + "|" + club.team.sitz, "Team44|T44|0|0");
    const SaveResult result = save(dao, club, progress);
    EXPECT_EQ(result.key, "T44");
    EXPECT_EQ(result.playersCreated, 20);
    EXPECT_EQ(values({"NAME", "NATION"}, "FROM vereine WHERE NUMMER=44"), "Team44|Polen");
    EXPECT_EQ(scalar("SELECT count(*) FROM spielerinvereine WHERE verein=44 AND NATION=\"Polen\""), 20);
    EXPECT_EQ(scalar("SELECT min(NUMMER) FROM spielerinvereine WHERE verein=44"), 4);

    SaveRequest land;
    land.kind = KindNational;
    land.isNew = true;
    land.number = 45;
    land.team = showlandnew(45, "Ozeanien");
    EXPECT_EQ(land.team.kontinent, "Ozeanien");
    std::string coloured;  // the jersey colours are set for the saved row of its table
    EXPECT_EQ(save(dao, land, progress, [&](jet::Database&, long long n, const char* table) {
                  coloured = std::to_string(n) + " " + table;
              }).key,
              "L45");
    EXPECT_EQ(coloured, "45 vereine_national");
    EXPECT_EQ(values({"NAME", "KONTINENT"}, "FROM vereine_national WHERE NUMMER=45"), "Land45|Ozeanien");
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler"), 23);
    EXPECT_EQ(newitem::nextTeamNumber(dao), 46);
}

TEST_F(ClubDb, AFailingSaveWritesNothing) {
    SaveRequest club;
    club.kind = KindClub;
    club.isNew = true;
    club.number = 50;
    club.team = showteamnew(50, "Polen");
    const JerseyColours failing = [](jet::Database&, long long, const char*) { throw jet::Error("Farben kaputt"); };
    EXPECT_THROW(save(dao, club, progress, failing), jet::Error);
    EXPECT_EQ(scalar("SELECT count(*) FROM vereine WHERE NUMMER=50"), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler"), 3);

    SaveRequest rename = request(KindNational, 1);
    rename.team.name = "Germania";
    EXPECT_THROW(save(dao, rename, progress, failing), jet::Error);
    EXPECT_EQ(scalar("SELECT count(*) FROM spieler WHERE NATION=\"Deutschland\""), 2);
    EXPECT_EQ(text("SELECT NAME FROM vereine_national WHERE NUMMER=1"), "Deutschland");

    // An unchecked request is refused before anything runs.
    SaveRequest bad = request(KindClub, 42);
    bad.team.sitz = "viele";
    EXPECT_THROW(save(dao, bad, progress), jet::Error);
}
