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
    for (int i = 0; i < 20; ++i) {
        jet::Recordset rs = f.db.query("SELECT NAME, VORNAME, NATION, ART, GESICHT, GROESSE, [REST_EINSÄTZE] "
                                       "FROM spieler WHERE NUMMER=" + std::to_string(slots[static_cast<std::size_t>(i)]));
        EXPECT_EQ(rs.field(0).toString(), specs[static_cast<std::size_t>(i)].name);
        EXPECT_EQ(rs.field(1).toString(), "V.");
        EXPECT_EQ(rs.field(2).toString(), "Neu\"land");
        EXPECT_EQ(rs.field(3).toInt(), specs[static_cast<std::size_t>(i)].position);
        EXPECT_EQ(faces::decode(rs.field(4).toInt()).skin, specs[static_cast<std::size_t>(i)].skin);
        EXPECT_GE(rs.field(5).toInt(), 175);
        EXPECT_LE(rs.field(5).toInt(), 204);
        EXPECT_GE(rs.field(6).toInt(), 110);
        EXPECT_LE(rs.field(6).toInt(), 114);
    }
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM vereine_national WHERE NAME='Neu\"land'"), 1);

    // Club save: the name with its quote, the file's colours, the stadium.
    ClubSave save;
    save.club = f.club;
    save.boxes = {true, true, true};
    save.fields = {"FC \"Anführung\"", "K", "Teststadt", "Neu\"land", "Testarena", "40000", "20000"};
    save.jerseyTypes = {std::optional<int>(5), std::nullopt, std::optional<int>(61)};
    saveClub(f.db, save, file);
    jet::Recordset rs = f.db.query("SELECT NAME, NATION, STADION_SITZPL, F_TRIKOT_SPIELER, F_TRIKOT_WERBUNG, TRIKOT_ART, "
                                   "TW_TRIKOT_ART FROM vereine WHERE NUMMER=" + std::to_string(f.club));
    EXPECT_EQ(rs.field(0).toString(), "FC \"Anführung\"");
    EXPECT_EQ(rs.field(1).toString(), "Neu\"land");
    EXPECT_EQ(rs.field(2).toInt(), 40000);
    EXPECT_EQ(rs.field(3).toString(), "255,  0,  0");
    EXPECT_EQ(rs.field(4).toString(), "  7,  8,  9");
    EXPECT_EQ(rs.field(5).toInt(), 5);
    EXPECT_EQ(rs.field(6).toInt(), 61);
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
    jet::Recordset rs = f.db.query("SELECT vorname, verein, Gesicht FROM z4spieler WHERE name='Spieler2'");
    EXPECT_EQ(rs.field(0).toString(), "Vorname2");
    EXPECT_EQ(rs.field(1).toString(), "FC Frei");
    EXPECT_EQ(rs.field(2).toInt() % 4, 1);  // the skin bit
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
    jet::Recordset club = f.db.query("SELECT NAME, GRAFIK_NR, STADION_SITZPL FROM vereine WHERE NUMMER=" + std::to_string(added));
    EXPECT_EQ(club.field(0).toString(), "Kurz \"K\"");
    EXPECT_EQ(club.field(1).toInt(), 0);
    EXPECT_EQ(club.field(2).toInt(), 2147483647);
    EXPECT_EQ(count(f.db, "SELECT Count(*) FROM spielerinvereine WHERE verein=" + std::to_string(added) +
                              " AND name='' AND rueckennummer=1"), 17);
    EXPECT_EQ(count(f.db, "SELECT art FROM spielerinvereine WHERE name='Eins' AND verein=" + std::to_string(added)), 255);

    const std::string before = snapshot(f.db);
    EXPECT_THROW(importTeamAsNew(f.db, tea, "Gibtsnicht", f.progress), Error);
    EXPECT_THROW(importTeamOver(f.db, tea, 99999999, f.progress), Error);
    EXPECT_EQ(snapshot(f.db), before);
}
