// Player list and player save: the star conversions with their double rounding, the list
// rows of a real demo club, the input checks and the update written to a demo database.
#include "common/jetdb.h"
#include "demo/demodata.h"
#include "demo/demoworld.h"
#include "mainwindow/playerlist.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace playerlist;
using testsupport::TempDir;

TEST(Stars, ListTextIsOneGermanDecimalRoundedHalfUp) {
    // 5300 is 2.65 stars, 5100 is 2.55.
    const std::pair<long long, const char*> cases[] = {{0, "0,0"},      {5000, "2,5"},  {5300, "2,7"},
                                                       {5299, "2,6"},   {5100, "2,6"},  {12000, "6,0"},
                                                       {999, "0,5"},    {-1000, "-0,5"}, {99, "0,0"}};
    for (const auto& [strength, stars] : cases) EXPECT_EQ(starsText(strength).toStdString(), std::string(stars) + " Sterne") << strength;
}

TEST(Stars, EditorIndexComesFromTheListTextDoubledAndRounded) {
    // 2,7 doubled is 5.4, 2,8 is 5.6; 9,0 is kept inside the pick list; the leading number counts.
    const std::pair<const char*, int> cases[] = {{"2,7 Sterne", 5},  {"2,8 Sterne", 6}, {"6,0 Sterne", 12}, {"0,2 Sterne", 0},
                                                 {"0,3 Sterne", 1},  {"9,0 Sterne", 12}, {"-1,0 Sterne", 0}, {"", 0},
                                                 {"viele Sterne", 0}, {"3,5x Sterne", 7}};
    for (const auto& [text, index] : cases) EXPECT_EQ(starIndex(text), index) << text;
    for (int i = 0; i < kStarEntries; ++i) {
        EXPECT_EQ(starIndex(starsText(i * 1000LL)), i) << i;
        EXPECT_EQ(starIndex(listTextOfEntry(starEntry(i))), i) << i;
        EXPECT_EQ(listTextOfEntry(starEntry(i)), starsText(i * 1000LL)) << i;
    }
    EXPECT_EQ(starEntry(5), "2.5 Sterne");
    EXPECT_EQ(starEntry(12), "6.0 Sterne");
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
        const auto t = [&](const char* c) { return QString::fromStdString(rs.field(c).toString()); };
        const auto n = [&](const char* c) { return static_cast<int>(rs.field(c).toInt()); };
        PlayerEdit e;
        e.nummer = QString::number(number);
        e.name = t("NAME"), e.vorname = t("VORNAME"), e.nation = t("NATION"), e.groesse = t("GROESSE");
        e.einsaetze = t("REST_EINSÄTZE"), e.rueckennummer = t("RUECKENNUMMER"), e.erlernt = t("ERLERNT"),
        e.gesperrt = t("GESPERRT");
        e.staerkeIndex = n("STÄRKE") / 1000, e.maxStaerkeIndex = n("MAX_STÄRKE") / 1000, e.art = n("ART");
        e.gesicht = rs.field("GESICHT").toInt();
        e.haare = hairStyle(e.gesicht), e.hautfarbe = n("HAUTFARBE"), e.haarfarbe = n("HAARFARBE");
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
        EXPECT_EQ(cells[ColStaerke], starsText(player.field("STÄRKE").toInt()));
        EXPECT_EQ(cells[ColMaxStaerke], starsText(player.field("MAX_STÄRKE").toInt()));
        const int art = static_cast<int>(player.field("ART").toInt());
        EXPECT_EQ(cells[ColPosition], positionNames()[art]);
        EXPECT_GE(art, lastArt);  // sorted by position first
        lastArt = art;
        for (auto [col, name] : {std::pair{ColName, "NAME"}, std::pair{ColRueckennummer, "RUECKENNUMMER"},
                                 std::pair{ColRestspiele, "REST_EINSÄTZE"}, std::pair{ColGesicht, "GESICHT"},
                                 std::pair{ColErlernt, "ERLERNT"}, std::pair{ColGesperrt, "GESPERRT"}})
            EXPECT_EQ(cells[col].toStdString(), player.field(name).toString()) << name;
        EXPECT_EQ(cells[12].toLongLong(), club);
    }
    EXPECT_EQ(db.query(listQuery(987654)).recordCount(), 0);
    EXPECT_EQ(positionName(7), "7");  // a number without a name is shown as it is

    // within a position, names in Jet's order (letters with diacritics beside their base letter)
    const std::vector<std::string> jetOrder = {"Böhberger", "Brener", "Sánales", "Steinmeier"};
    rs = db.query(listQuery(club));
    for (auto name = jetOrder.rbegin(); name != jetOrder.rend(); ++name, rs.moveNext())
        db.execute("UPDATE spieler SET NAME=\"" + *name + "\", ART=2 WHERE NUMMER=" + rs.field(0).toString());
    std::vector<std::string> listed;
    for (rs = db.query(listQuery(club)); !rs.eof(); rs.moveNext())
        if (std::count(jetOrder.begin(), jetOrder.end(), rs.field("NAME").toString())) listed.push_back(rs.field("NAME").toString());
    EXPECT_EQ(listed, jetOrder);
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

    // LIEBLINGSPOS_X is not the editor's to write.
    const std::pair<const char*, std::string> written[] = {
        {"NAME", "O\"Neil \"Der Fels\""}, {"VORNAME", "Jürgen's"}, {"STÄRKE", "5000"}, {"MAX_STÄRKE", "12000"},
        {"NATION", "Frankreich"}, {"GROESSE", "191"}, {"ART", "3"}, {"REST_EINSÄTZE", "77"}, {"RUECKENNUMMER", "10"},
        {"GESICHT", std::to_string(e.gesicht)}, {"HAUTFARBE", std::to_string(expected.hautfarbe)},
        {"HAARFARBE", std::to_string(expected.haarfarbe)}, {"ERLERNT", "0,5"}, {"GESPERRT", ""}, {"LIEBLINGSPOS_X", posX}};
    for (const auto& [col, value] : written) EXPECT_EQ(column(number, col), value) << col;
    // Only this player changed.
    EXPECT_EQ(db.query("SELECT COUNT(*) FROM spieler WHERE NAME=\"O\"\"Neil \"\"Der Fels\"\"\"").field(0).toInt(), 1);
}

// A face without a colour row keeps its colours; a failed save leaves the row as it was and says so.
TEST_F(DemoDatabase, FaceWithoutColourRowAndFailedSaves) {
    const long long number = db.query(listQuery(anyClub())).field(0).toInt();
    PlayerEdit e = editOf(number);
    db.execute("DELETE * FROM e_gesichtsfarbe WHERE Haare=" + std::to_string(e.haare));
    e.hautfarbe = 3;
    e.haarfarbe = 4;
    const SavedColours colours = savePlayer(db, e);
    EXPECT_EQ(std::pair(colours.hautfarbe, colours.haarfarbe), std::pair(3, 4));
    EXPECT_EQ(column(number, "HAUTFARBE") + column(number, "HAARFARBE"), "34");

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

TEST(Sort, ByColumnAsNumbersStarsPositionsOrGermanText) {
    const auto row = [](const char* nr, const char* name, const char* stars, const char* pos) {
        QStringList r(kColumns);
        r[ColNummer] = QString::fromUtf8(nr);
        r[ColName] = QString::fromUtf8(name);
        r[ColStaerke] = QString::fromUtf8(stars);
        r[ColPosition] = QString::fromUtf8(pos);
        return r;
    };
    const std::vector<QStringList> rows = {row("10", "Zander", "2,5 Sterne", "Sturm"), row("9", "Öztürk", "10,0 Sterne", "Tor"),
                                           row("100", "Otto", "2,5 Sterne", "Abwehr"), row("", "abel", "0,5 Sterne", "Mittelfeld")};
    const struct {
        int column;
        bool descending;
        std::vector<int> order;
    } cases[] = {
        {ColNummer, false, {3, 1, 0, 2}},  // numbers, not text: 9 < 10 < 100; an empty cell first
        {ColName, false, {3, 2, 1, 0}},    // abel, Otto, Öztürk, Zander
        {ColName, true, {0, 1, 2, 3}},
        {ColStaerke, false, {3, 0, 2, 1}}, // equal stars keep their order ...
        {ColStaerke, true, {1, 0, 2, 3}},  // ... in either direction
        {ColPosition, false, {1, 2, 3, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(sortOrder(rows, c.column, c.descending), c.order) << c.column << c.descending;
}
