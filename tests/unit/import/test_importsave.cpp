// Saving imported clubs, squads, free players and team files into a real demo database.
#include "common/progress.h"
#include "common/random.h"
#include "config/cfgexport.h"
#include "graphics/faces.h"
#include "import/importsave.h"
#include "import/teafile.h"
#include "importworld.h"

#include <gtest/gtest.h>

#include <set>

using namespace imp;
using importtest::count;
using testsupport::TempDir;

namespace {

// Every row of the tables an import may touch, as one text.
std::string snapshot(jet::Database& db)
{
    std::string all;
    for (const char* t : {"vereine", "vereine_national", "spieler", "vereinspieler", "z4spieler"}) {
        jet::Recordset rs = db.query(std::string("SELECT * FROM ") + t);
        for (; !rs.eof(); rs.moveNext())
            for (int i = 0; i < rs.fieldCount(); ++i)
                all += rs.field(i).toString() + "|";
    }
    return all;
}

std::set<long long> ceilings(long long strength)
{
    std::set<long long> seen;
    RandomSource random(11);
    for (int i = 0; i < 400; ++i)
        seen.insert(strengthCeiling(strength, random));
    return seen;
}

struct Fixture {
    TempDir dir;
    jet::Database db = importtest::demoDatabase(dir.path());
    long long club = importtest::clubWithSquad(db);
    NullProgress progress;
    RandomSource random{3};

    ClubFile file(const std::string& name, const std::vector<importtest::PlayerSpec>& players,
                  const std::string& land = "Deutschland")
    {
        importtest::writeExporterFile(dir / "club.aet", importtest::clubFileText(name, players, land));
        return loadClubFile(dir / "club.aet");
    }
    std::vector<SquadMember> fromFile(int n)
    {
        std::vector<SquadMember> m;
        for (int i = 0; i < n; ++i)
            m.push_back({true, i, 0});
        return m;
    }
};

}  // namespace

TEST(ImportConversions, StrengthCeilingPerRange)
{
    EXPECT_EQ(ceilings(3000), (std::set<long long>{4000, 6000}));
    EXPECT_EQ(ceilings(0), (std::set<long long>{0, 2000, 4000, 6000}));
    EXPECT_EQ(ceilings(6000), (std::set<long long>{6000, 8000, 10000}));
    EXPECT_EQ(ceilings(12000), (std::set<long long>{12000}));
    // Between the ranges: the range of the even level the strength is lifted to.
    EXPECT_EQ(ceilings(3500), (std::set<long long>{4000, 6000, 8000, 10000}));
    EXPECT_EQ(ceilings(7400), (std::set<long long>{8000, 10000, 12000}));
    // The same seed gives the same value whatever came before.
    RandomSource a(5), b(5);
    EXPECT_EQ(strengthCeiling(3700, a), strengthCeiling(3700, b));
}

TEST(ImportConversions, FaceNumbersFollowTheFaceCode)
{
    RandomSource random(9);
    for (int i = 0; i < 200; ++i) {
        const faces::Face dark = faces::decode(faceNumber(1, 7, random));
        EXPECT_EQ(dark.skin, faces::kBlack);
        EXPECT_LT(dark.parts[0], 9);
        EXPECT_LT(dark.parts[1], 9);
        EXPECT_EQ(dark.parts[2], 7);
        EXPECT_LT(dark.parts[3], 2);
        const faces::Face white = faces::decode(faceNumber(0, 120, random));
        EXPECT_EQ(white.skin, faces::kWhite);
        EXPECT_EQ(white.parts[2], 120);
        EXPECT_LT(white.parts[4], 11);
    }
}

TEST(ImportSave, SquadOverSlotsInOrderWithQuotedValues)
{
    Fixture f;
    auto specs = importtest::players(20);
    specs[0].name = "O\"Brien";
    specs[1].skin = 1;
    const ClubFile file = f.file("FC \"Anführung\"", specs, "Neu\"land");
    const std::vector<long long> slots = saveSquad(f.db, f.club, f.fromFile(20), file, f.random, f.progress);
    ASSERT_EQ(slots.size(), 20u);
    EXPECT_TRUE(std::is_sorted(slots.begin(), slots.end()));
    for (std::size_t i = 0; i < 20; ++i) {
        const std::string where = " FROM spieler WHERE NUMMER=" + std::to_string(slots[i]);
        EXPECT_EQ(importtest::row(f.db, "SELECT NAME, VORNAME, NATION, ART, GROESSE BETWEEN 175 AND 204, "
                                        "[REST_EINSÄTZE] BETWEEN 110 AND 114" + where),
                  specs[i].name + "|V.|Neu\"land|" + std::to_string(specs[i].position) + "|1|1");
        EXPECT_EQ(faces::decode(count(f.db, "SELECT GESICHT" + where)).skin, specs[i].skin);
    }
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM vereine_national WHERE NAME='Neu\"land'"), 1);

    // Club save: the name with its quote, the file's colours, the stadium.
    ClubSave save;
    save.club = f.club;
    save.boxes = {true, true, true};
    save.fields = {"FC \"Anführung\"", "K", "Teststadt", "Neu\"land", "Testarena", "40000", "20000"};
    save.jerseyTypes = {std::optional<int>(5), std::nullopt, std::optional<int>(61)};
    saveClub(f.db, save, file);
    EXPECT_EQ(importtest::row(f.db, "SELECT NAME, NATION, STADION_SITZPL, F_TRIKOT_SPIELER, F_TRIKOT_WERBUNG, TRIKOT_ART, "
                                    "TW_TRIKOT_ART FROM vereine WHERE NUMMER=" + std::to_string(f.club)),
              "FC \"Anführung\"|Neu\"land|40000|255,  0,  0|  7,  8,  9|5|61");
}

TEST(ImportSave, FailuresLeaveTheDatabaseAsItWas)
{
    Fixture f;
    const ClubFile file = f.file("FC Test", importtest::players(20), "Nirgendland");
    const std::string before = snapshot(f.db);

    // A club player that vanished: the national team created for the file player before goes too.
    std::vector<SquadMember> squad = f.fromFile(19);
    squad.push_back({false, -1, 99999999});
    EXPECT_THROW(saveSquad(f.db, f.club, squad, file, f.random, f.progress), Error);
    EXPECT_EQ(snapshot(f.db), before);

    // Fewer slots than squad rows: stopped before any statement.
    const long long small = f.club;
    f.db.execute("DELETE FROM vereinspieler WHERE verein=" + std::to_string(small) +
                 " AND spieler=(SELECT Max(spieler) FROM vereinspieler WHERE verein=" + std::to_string(small) + ")");
    const std::string shortened = snapshot(f.db);
    try {
        saveSquad(f.db, small, f.fromFile(20), file, f.random, f.progress);
        ADD_FAILURE() << "saved over 19 slots";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("nur 19 Spielerpl"), std::string::npos) << e.what();
    }
    EXPECT_EQ(snapshot(f.db), shortened);

    // A typed number that is none: nothing written, not even box 0.
    ClubSave save;
    save.club = f.club;
    save.boxes = {true, true, false};
    save.fields = {"Neu", "K", "S", "Nirgendland", "Arena", "40.000", "0"};
    EXPECT_THROW(saveClub(f.db, save, file), Error);
    save.fields.sitz = "-1";
    EXPECT_THROW(saveClub(f.db, save, file), Error);
    EXPECT_EQ(snapshot(f.db), shortened);
}

TEST(ImportSave, FreePlayersAddOneRowEach)
{
    Fixture f;
    auto specs = importtest::players(7);
    specs[6].name = "";  // a nameless row is cleared by z4deleteid
    specs[2].skin = 1;
    const ClubFile file = f.file("FC Frei", specs);
    const long long before = count(f.db, "SELECT Count(*) FROM z4spieler");
    EXPECT_EQ(saveFreePlayers(f.db, file, {0, 1, 2, 3, 4, 5, 6}, f.random, f.progress), 6);
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM z4spieler"), before + 6);
    EXPECT_EQ(importtest::row(f.db, "SELECT vorname, verein FROM z4spieler WHERE name='Spieler2'"), "Vorname2|FC Frei");
    EXPECT_EQ(count(f.db, "SELECT Gesicht FROM z4spieler WHERE name='Spieler2'") % 4, 1);  // the skin bit
    EXPECT_EQ(freePlayersDone(6), "6 Spieler in Freie Spieler importiert!");
    EXPECT_THROW(saveFreePlayers(f.db, file, {0, 7}, f.random, f.progress), Error);
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM z4spieler"), before + 6);
}

TEST(ImportSave, TeamFilesAsNewClubAndOverAClub)
{
    Fixture f;
    cfg::writeTeamFile(f.db, f.dir / "club.tea", f.club, cfg::systemNow, f.progress);
    const TeamFile tea = loadTeamFile(f.dir / "club.tea");
    EXPECT_EQ(tea.playerSections, 20);
    const std::string country = f.db.query("SELECT NAME FROM vereine_national ORDER BY NUMMER").field(0).toString();
    const long long added = importTeamAsNew(f.db, tea, country, f.progress);
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM vereinspieler WHERE verein=" + std::to_string(added)), 20);
    auto names = [&](long long club) {
        std::multiset<std::string> n;
        jet::Recordset rs = f.db.query("SELECT name || '/' || vorname || '/' || [stärke] FROM spielerinvereine "
                                       "WHERE verein=" + std::to_string(club));
        for (; !rs.eof(); rs.moveNext())
            n.insert(rs.field(0).toString());
        return n;
    };
    EXPECT_EQ(names(added), names(f.club));
    EXPECT_EQ(f.db.query("SELECT NATION FROM vereine WHERE NUMMER=" + std::to_string(added)).field(0).toString(), country);

    // A damaged team file with three player sections over the new club: the rest get defaults.
    importtest::writeExporterFile(f.dir / "kurz.tea",
                                  "[Team]\nNAME=Kurz \"K\"\nGRAFIK_NR=viel\nSTADION_SITZPL=99999999999\n"
                                  "[Spieler1]\nNAME=Eins\nStaerke=4000\nART=300\n[Spieler2]\nNAME=Zwei\n[Spieler3]\nNAME=Drei\n");
    importTeamOver(f.db, loadTeamFile(f.dir / "kurz.tea"), added, f.progress);
    EXPECT_EQ(importtest::row(f.db, "SELECT NAME, GRAFIK_NR, STADION_SITZPL FROM vereine WHERE NUMMER=" + std::to_string(added)),
              "Kurz \"K\"|0|2147483647");
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM spielerinvereine WHERE verein=" + std::to_string(added) +
                              " AND name='' AND rueckennummer=1"), 17);
    EXPECT_EQ(count(f.db, "SELECT art FROM spielerinvereine WHERE name='Eins' AND verein=" + std::to_string(added)), 255);

    const std::string before = snapshot(f.db);
    EXPECT_THROW(importTeamAsNew(f.db, tea, "Gibtsnicht", f.progress), Error);
    EXPECT_THROW(importTeamOver(f.db, tea, 99999999, f.progress), Error);
    EXPECT_EQ(snapshot(f.db), before);
}
