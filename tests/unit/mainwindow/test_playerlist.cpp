// Player list and player save: the star conversions with their double rounding, the list
// rows of a real demo club, the input checks and the update written to a demo database.
#include "common/jetdb.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "mainwindow/playerlist.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace playerlist;
using testsupport::TempDir;

TEST(Stars, ListTextIsOneGermanDecimalRoundedHalfUp) {
    EXPECT_EQ(starsText(0), "0,0 Sterne");
    EXPECT_EQ(starsText(5000), "2,5 Sterne");
    EXPECT_EQ(starsText(5300), "2,7 Sterne");   // 2.65 stars
    EXPECT_EQ(starsText(5299), "2,6 Sterne");
    EXPECT_EQ(starsText(5100), "2,6 Sterne");   // 2.55 stars
    EXPECT_EQ(starsText(12000), "6,0 Sterne");
    EXPECT_EQ(starsText(999), "0,5 Sterne");
    EXPECT_EQ(starsText(-1000), "-0,5 Sterne");
    EXPECT_EQ(starsText(99), "0,0 Sterne");
}

TEST(Stars, EditorIndexComesFromTheListTextDoubledAndRounded) {
    EXPECT_EQ(starIndex("2,7 Sterne"), 5);   // 5.4
    EXPECT_EQ(starIndex("2,8 Sterne"), 6);   // 5.6
    EXPECT_EQ(starIndex("6,0 Sterne"), 12);
    EXPECT_EQ(starIndex("0,2 Sterne"), 0);
    EXPECT_EQ(starIndex("0,3 Sterne"), 1);
    EXPECT_EQ(starIndex("9,0 Sterne"), 12);  // kept inside the pick list
    EXPECT_EQ(starIndex("-1,0 Sterne"), 0);
    EXPECT_EQ(starIndex(""), 0);
    EXPECT_EQ(starIndex("viele Sterne"), 0);
    EXPECT_EQ(starIndex("3,5x Sterne"), 7);  // the leading number counts
    for (int i = 0; i < kStarEntries; ++i) {
        EXPECT_EQ(starIndex(starsText(i * 1000LL)), i) << i;
        EXPECT_EQ(starIndex(listTextOfEntry(starEntry(i))), i) << i;
        EXPECT_EQ(listTextOfEntry(starEntry(i)), starsText(i * 1000LL)) << i;
    }
    EXPECT_EQ(starEntry(5), "2.5 Sterne");
    EXPECT_EQ(starEntry(12), "6.0 Sterne");
}

TEST(Stars, AStrengthBetweenHalfStarsIsSavedAtTheHalfStarItShows) {
    // 5300 -> "2,7 Sterne" in the list -> "2.5 Sterne" in the editor -> 5000 in the database.
    const int index = starIndex(starsText(5300));
    EXPECT_EQ(starEntry(index), "2.5 Sterne");
    PlayerEdit e;
    e.nummer = "1";
    e.staerkeIndex = index;
    e.maxStaerkeIndex = starIndex(starsText(12000));
    const std::string sql = updateStatement(e, 0, 0);
    EXPECT_NE(sql.find("STÄRKE=5000,"), std::string::npos) << sql;
    EXPECT_NE(sql.find("MAX_STÄRKE=12000,"), std::string::npos) << sql;
}

TEST(FaceCode, SkinAndHairDecodeWhatTheEncoderPacked) {
    const int cases[][5] = {{0, 0, 0, 0, 0}, {30, 29, 61, 29, 10}, {3, 7, 127, 1, 2}, {8, 8, 9, 1, 0}};
    for (const auto& parts : cases)
        for (int skin = 0; skin < 2; ++skin) {
            const long long code = demo::faceCode(parts, skin);
            EXPECT_EQ(skinColour(code), skin) << code;
            EXPECT_EQ(hairStyle(code), parts[2]) << code;
        }
}

TEST(Positions, NamesByNumberAndUnknownNumbersKept) {
    EXPECT_EQ(positionName(0), "Tor");
    EXPECT_EQ(positionName(3), "Sturm");
    EXPECT_EQ(positionName(7), "7");
    EXPECT_EQ(positionNames().size(), 4);
    EXPECT_EQ(headers().size(), kHeadedColumns);
}

TEST(Input, EveryNumberFieldIsCheckedByName) {
    PlayerEdit good;
    good.nummer = "17";
    good.groesse = " 183 ";
    good.einsaetze = "0";
    good.rueckennummer = "+9";
    EXPECT_TRUE(checkInput(good).isEmpty()) << checkInput(good).toStdString();

    struct Case {
        QString PlayerEdit::*field;
        const char* value;
        const char* named;
    };
    const Case cases[] = {
        {&PlayerEdit::groesse, "1,85", "Größe"},       {&PlayerEdit::groesse, "", "Größe"},
        {&PlayerEdit::groesse, "40000", "Größe"},      {&PlayerEdit::einsaetze, "12a", "Resteinsätze"},
        {&PlayerEdit::einsaetze, "-3", "Resteinsätze"}, {&PlayerEdit::rueckennummer, "x", "Rückennummer"},
        {&PlayerEdit::rueckennummer, "1 2", "Rückennummer"}, {&PlayerEdit::nummer, "", "Spielernummer"},
    };
    for (const Case& c : cases) {
        PlayerEdit e = good;
        e.*(c.field) = QString::fromUtf8(c.value);
        const QString message = checkInput(e);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.named))) << c.value << " -> " << message.toStdString();
    }
    PlayerEdit noPosition = good;
    noPosition.art = -1;
    EXPECT_TRUE(checkInput(noPosition).contains(QStringLiteral("Position")));
    PlayerEdit noStrength = good;
    noStrength.staerkeIndex = 13;
    EXPECT_FALSE(checkInput(noStrength).isEmpty());
}

namespace {

class DemoDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        demo::writeDatabase(dir.path() / "kickora.mdb", demo::Options{1, 3});
        db = jet::Database::open(dir.path() / "kickora.mdb");
    }

    // The club of the first player row, and that player's number.
    long long anyClub() { return db.query("SELECT verein FROM vereinspieler WHERE verein>0 ORDER BY verein").field(0).toInt(); }

    PlayerEdit editOf(long long number) {
        jet::Recordset rs = db.query("SELECT * FROM spieler WHERE NUMMER=" + std::to_string(number));
        PlayerEdit e;
        e.nummer = QString::number(number);
        e.name = QString::fromStdString(rs.field("NAME").toString());
        e.vorname = QString::fromStdString(rs.field("VORNAME").toString());
        e.staerkeIndex = static_cast<int>(rs.field("STÄRKE").toInt() / 1000);
        e.maxStaerkeIndex = static_cast<int>(rs.field("MAX_STÄRKE").toInt() / 1000);
        e.nation = QString::fromStdString(rs.field("NATION").toString());
        e.groesse = QString::fromStdString(rs.field("GROESSE").toString());
        e.art = static_cast<int>(rs.field("ART").toInt());
        e.einsaetze = QString::fromStdString(rs.field("REST_EINSÄTZE").toString());
        e.rueckennummer = QString::fromStdString(rs.field("RUECKENNUMMER").toString());
        e.gesicht = rs.field("GESICHT").toInt();
        e.haare = hairStyle(e.gesicht);
        e.hautfarbe = static_cast<int>(rs.field("HAUTFARBE").toInt());
        e.haarfarbe = static_cast<int>(rs.field("HAARFARBE").toInt());
        e.erlernt = QString::fromStdString(rs.field("ERLERNT").toString());
        e.gesperrt = QString::fromStdString(rs.field("GESPERRT").toString());
        return e;
    }

    std::string column(long long number, const char* name) {
        return db.query("SELECT * FROM spieler WHERE NUMMER=" + std::to_string(number)).field(name).toString();
    }

    TempDir dir;
    jet::Database db;
};

}  // namespace

TEST_F(DemoDatabase, ListRowsFollowTheQueryWithStarsAndPositionNames) {
    const long long club = anyClub();
    jet::Recordset rs = db.query(listQuery(club));
    ASSERT_EQ(rs.recordCount(), 20);
    int lastArt = -1;
    for (; !rs.eof(); rs.moveNext()) {
        const QStringList cells = gridRow(rs);
        ASSERT_EQ(cells.size(), kColumns);
        const long long number = rs.field(0).toInt();
        jet::Recordset player = db.query("SELECT * FROM spieler WHERE NUMMER=" + std::to_string(number));
        EXPECT_EQ(cells[ColName].toStdString(), player.field("NAME").toString());
        EXPECT_EQ(cells[ColStaerke], starsText(player.field("STÄRKE").toInt()));
        EXPECT_EQ(cells[ColMaxStaerke], starsText(player.field("MAX_STÄRKE").toInt()));
        const int art = static_cast<int>(player.field("ART").toInt());
        EXPECT_EQ(cells[ColPosition], positionNames()[art]);
        EXPECT_GE(art, lastArt);  // sorted by position first
        lastArt = art;
        EXPECT_EQ(cells[ColRueckennummer].toStdString(), player.field("RUECKENNUMMER").toString());
        EXPECT_EQ(cells[ColRestspiele].toStdString(), player.field("REST_EINSÄTZE").toString());
        EXPECT_EQ(cells[ColGesicht].toStdString(), player.field("GESICHT").toString());
        EXPECT_EQ(cells[ColErlernt].toStdString(), player.field("ERLERNT").toString());
        EXPECT_EQ(cells[ColGesperrt].toStdString(), player.field("GESPERRT").toString());
        EXPECT_EQ(cells[12].toLongLong(), club);
    }
    EXPECT_EQ(db.query(listQuery(987654)).recordCount(), 0);
}

TEST_F(DemoDatabase, SaveWritesEveryEditedColumnAndTheColoursOfTheFace) {
    const long long club = anyClub();
    const long long number = db.query(listQuery(club)).field(0).toInt();
    const std::string posX = column(number, "LIEBLINGSPOS_X");
    PlayerEdit e = editOf(number);
    e.name = QStringLiteral("O\"Neil \"Der Fels\"");
    e.vorname = QStringLiteral("Jürgen's");
    e.staerkeIndex = 5;
    e.maxStaerkeIndex = 12;
    e.nation = QStringLiteral("Frankreich");
    e.groesse = QStringLiteral(" 191");
    e.art = 3;
    e.einsaetze = QStringLiteral("77");
    e.rueckennummer = QStringLiteral("10");
    const int parts[5] = {2, 3, 17, 4, 0};
    e.gesicht = demo::faceCode(parts, 1);
    e.haare = 17;
    e.erlernt = QStringLiteral("0,5");
    e.gesperrt = QString();
    ASSERT_TRUE(checkInput(e).isEmpty());

    const SavedColours colours = savePlayer(db, e);
    const demo::FaceColour expected = demo::faceColour(17, 1);
    EXPECT_EQ(colours.hautfarbe, expected.hautfarbe);
    EXPECT_EQ(colours.haarfarbe, expected.haarfarbe);

    EXPECT_EQ(column(number, "NAME"), "O\"Neil \"Der Fels\"");
    EXPECT_EQ(column(number, "VORNAME"), "Jürgen's");
    EXPECT_EQ(column(number, "STÄRKE"), "5000");
    EXPECT_EQ(column(number, "MAX_STÄRKE"), "12000");
    EXPECT_EQ(column(number, "NATION"), "Frankreich");
    EXPECT_EQ(column(number, "GROESSE"), "191");
    EXPECT_EQ(column(number, "ART"), "3");
    EXPECT_EQ(column(number, "REST_EINSÄTZE"), "77");
    EXPECT_EQ(column(number, "RUECKENNUMMER"), "10");
    EXPECT_EQ(column(number, "GESICHT"), std::to_string(e.gesicht));
    EXPECT_EQ(column(number, "HAUTFARBE"), std::to_string(expected.hautfarbe));
    EXPECT_EQ(column(number, "HAARFARBE"), std::to_string(expected.haarfarbe));
    EXPECT_EQ(column(number, "ERLERNT"), "0,5");
    EXPECT_EQ(column(number, "GESPERRT"), "");
    EXPECT_EQ(column(number, "LIEBLINGSPOS_X"), posX);  // not the editor's to write
    // Only this player changed.
    EXPECT_EQ(db.query("SELECT COUNT(*) FROM spieler WHERE NAME=\"O\"\"Neil \"\"Der Fels\"\"\"").field(0).toInt(), 1);
}

TEST_F(DemoDatabase, AFaceWithoutColourRowKeepsItsColours) {
    const long long number = db.query(listQuery(anyClub())).field(0).toInt();
    PlayerEdit e = editOf(number);
    db.execute("DELETE * FROM e_gesichtsfarbe WHERE Haare=" + std::to_string(e.haare));
    e.hautfarbe = 3;
    e.haarfarbe = 4;
    const SavedColours colours = savePlayer(db, e);
    EXPECT_EQ(colours.hautfarbe, 3);
    EXPECT_EQ(colours.haarfarbe, 4);
    EXPECT_EQ(column(number, "HAUTFARBE"), "3");
    EXPECT_EQ(column(number, "HAARFARBE"), "4");
}

TEST_F(DemoDatabase, AFailedSaveLeavesTheRowAsItWasAndSaysSo) {
    const long long number = db.query(listQuery(anyClub())).field(0).toInt();
    const std::string before = column(number, "NAME");

    PlayerEdit missing = editOf(number);
    missing.nummer = QStringLiteral("99999999");
    EXPECT_THROW(savePlayer(db, missing), jet::Error);

    db.executeNative("CREATE TRIGGER refuse BEFORE UPDATE ON spieler WHEN NEW.NAME='Abgelehnt' "
                     "BEGIN SELECT RAISE(ABORT, 'abgelehnt'); END");
    PlayerEdit refused = editOf(number);
    refused.name = QStringLiteral("Abgelehnt");
    EXPECT_THROW(savePlayer(db, refused), jet::Error);
    EXPECT_EQ(column(number, "NAME"), before);
    // The connection is usable afterwards: no transaction was left open.
    PlayerEdit fine = editOf(number);
    fine.name = QStringLiteral("Danach");
    savePlayer(db, fine);
    EXPECT_EQ(column(number, "NAME"), "Danach");
}
