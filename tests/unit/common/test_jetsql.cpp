#include "common/jetdb.h"
#include "common/jetsql.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

using jet::Database;

namespace {

// Small game-like tables; every statement under test runs against them.
class JetSql : public ::testing::Test {
protected:
    Database db = Database::openMemory();

    void SetUp() override
    {
        db.executeNative(R"(
            CREATE TABLE vereine_national(NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE,
                                          KONTINENT VARCHAR(50) COLLATE NOCASE);
            CREATE TABLE vereine(NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE,
                                 NATION VARCHAR(50) COLLATE NOCASE, TRIKOT_ART INTEGER, AUSWEICH_TRIKOT_ART INTEGER,
                                 F_TRIKOT_SPIELER VARCHAR(20) COLLATE NOCASE, F_AUSW_TRIKOT_SPIELER VARCHAR(20) COLLATE NOCASE,
                                 F_AUSW_HOSE_SPIELER VARCHAR(20) COLLATE NOCASE);
            CREATE TABLE e_trikotfarbeoriginal(nummer INTEGER PRIMARY KEY, Trikot1 VARCHAR(20) COLLATE NOCASE,
                                 Trikot2 VARCHAR(20) COLLATE NOCASE, Hose VARCHAR(20) COLLATE NOCASE,
                                 Streifen VARCHAR(20) COLLATE NOCASE);
            CREATE TABLE spieler(NUMMER INTEGER PRIMARY KEY, NAME VARCHAR(50) COLLATE NOCASE,
                                 VORNAME VARCHAR(50) COLLATE NOCASE, "STÄRKE" INTEGER, NATION VARCHAR(50) COLLATE NOCASE,
                                 VERLETZT BOOLEAN);
            CREATE TABLE maxteamnr(maxnr INTEGER);
            INSERT INTO vereine_national(NUMMER, NAME, KONTINENT) VALUES
                (1, 'Deutschland', 'Europa'), (2, 'Frankreich', 'Europa'), (3, 'Deutsch', 'Europa'),
                (4, 'land', 'Europa'), (5, 'Brasilien', 'Südamerika'), (6, 'Österreich', 'Europa');
            INSERT INTO e_trikotfarbeoriginal VALUES (1, '255,  0,  0', '  0,  0,255', '  1,  1,  1', '  2,  2,  2'),
                                                     (2, ' 10, 10, 10', ' 20, 20, 20', ' 30, 30, 30', ' 40, 40, 40');
            INSERT INTO vereine(NUMMER, NAME, NATION, TRIKOT_ART, AUSWEICH_TRIKOT_ART, F_TRIKOT_SPIELER) VALUES
                (0, 'TRANSFERMARKT', NULL, 1, 1, 'alt'), (5, 'Borussia Beispielstadt 1909', 'Deutschland', 2, 1, 'alt'),
                (6, 'FC Kurz', 'Frankreich', 1, 2, 'alt'), (7, 'Ballspielverein Irgendwo', 'Deutschland', 1, 1, 'alt');
            INSERT INTO spieler VALUES (1, 'Müller', 'T.', 8000, 'Deutschland', 0), (2, 'Meier', 'K.', 5000, 'Deutschland', -1),
                                       (3, 'Dupont', 'J.', 6000, 'Frankreich', 0), (4, 'Silva', NULL, 3000, 'Brasilien', 0);
            INSERT INTO maxteamnr VALUES (7), (12), (3);
        )");
    }

    // All values of the first column, as text, in the order delivered.
    std::vector<std::string> column(const std::string& jet)
    {
        std::vector<std::string> out;
        auto rs = db.query(jet);
        for (; !rs.eof(); rs.moveNext())
            out.push_back(rs.field(0).isNull() ? "<null>" : rs.field(0).toString());
        return out;
    }

    jet::Value one(const std::string& jet)
    {
        auto rs = db.query(jet);
        EXPECT_EQ(rs.recordCount(), 1) << jet;
        return rs.recordCount() ? rs.field(0) : jet::Value();
    }

    // An expression evaluated on one row, as text.
    std::string value(const std::string& expr)
    {
        auto v = one("SELECT " + expr + " FROM maxteamnr WHERE maxnr=3");
        return v.isNull() ? "<null>" : v.toString();
    }
    void expectValues(const std::vector<std::pair<std::string, std::string>>& cases)
    {
        for (const auto& [expr, want] : cases)
            EXPECT_EQ(value(expr), want) << expr;
    }

    using Strings = std::vector<std::string>;
};

}  // namespace

TEST_F(JetSql, TextLiteralsKeepEmbeddedQuotes)
{
    // "" inside a Jet literal is one double quote; a single quote needs no escaping there.
    db.execute(R"(INSERT INTO vereine (NUMMER, NAME) VALUES (20, "Club ""Rot"" d'Or"))");
    EXPECT_EQ(one("SELECT NAME FROM vereine WHERE NUMMER=20").toString(), "Club \"Rot\" d'Or");
    db.execute("INSERT INTO vereine (NUMMER, NAME) VALUES (21, 'It''s \"x\"')");
    EXPECT_EQ(one("Select name From vereine WHERE nummer=21").toString(), "It's \"x\"");
    // Through the quoting helper any text arrives as typed.
    const std::string typed = "A \"B\" 'C' [D] #1# & E -- F";
    db.execute("UPDATE vereine SET NAME=" + jetsql::quote(typed) + " WHERE NUMMER=21");
    EXPECT_EQ(one("SELECT NAME FROM vereine WHERE NUMMER=21").toString(), typed);
    EXPECT_EQ(column("SELECT NUMMER FROM vereine WHERE NAME=" + jetsql::quote(typed)), Strings{"21"});
    EXPECT_EQ(jetsql::quote("a'b", '\''), "'a''b'");
}

TEST_F(JetSql, BracketedAndUmlautNames)
{
    db.executeNative("CREATE TABLE \"Spieler Daten\"(\"Rücken Nr\" INTEGER, \"Größe\" INTEGER)");
    db.execute("INSERT INTO [Spieler Daten] ([Rücken Nr], [Größe]) VALUES (9, 181)");
    EXPECT_EQ(column("SELECT [Spieler Daten].[Größe] FROM [Spieler Daten] WHERE [Rücken Nr]=9"), Strings{"181"});
    // Jet ignores case in names, umlauts included: stärke is STÄRKE.
    EXPECT_EQ(column("Select nummer,name,vorname,stärke From spieler WHERE stärke>5000 ORDER BY stärke"),
              (Strings{"3", "1"}));
    auto rs = db.query("SELECT Stärke FROM spieler WHERE nummer=1");
    EXPECT_EQ(rs.field("STÄRKE").toInt(), 8000);
    EXPECT_EQ(rs.field("stärke").toInt(), 8000);
}

TEST_F(JetSql, ConcatenationTreatsNullAsEmptyAndBindsBelowArithmetic)
{
    EXPECT_EQ(one("SELECT NAME & (2) FROM vereine_national WHERE NUMMER=2").toString(), "Frankreich2");
    EXPECT_EQ(one("SELECT NUMMER & ' II' FROM vereine WHERE NUMMER=5").toString(), "5 II");
    // & binds weaker than +: (NUMMER+1) & 'a'
    EXPECT_EQ(one("SELECT NUMMER+1 & 'a' FROM vereine WHERE NUMMER=5").toString(), "6a");
    EXPECT_EQ(value("2 * 3 & 4 - 1"), "63");
    // ...and stronger than comparisons and AND.
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE NAME & ', ' & VORNAME = 'Meier, K.' AND NUMMER>0"),
              Strings{"2"});
    // Null counts as empty; only Null & Null stays Null.
    EXPECT_EQ(one("SELECT NAME & VORNAME FROM spieler WHERE NUMMER=4").toString(), "Silva");
    EXPECT_TRUE(one("SELECT VORNAME & Null FROM spieler WHERE NUMMER=4").isNull());
    // Numbers join in their Jet text form; Jet's + joins two texts.
    expectValues({{"2.5 & '|' & 3.0 & '|' & 0.1", "2.5|3|0.1"}, {"\"ab\" + \"cd\"", "abcd"}});
}

TEST_F(JetSql, CountryLookupWithRightLeftAndLen)
{
    const std::string q = "SELECT NAME From vereine_national WHERE NAME=Right(\"Deutschland\",Len([name])) OR "
                          "NAME=Left$(\"Deutschland\",Len([name])) OR NAME=\"Deutschland\" OR NAME=\"Deutschland\";";
    auto names = column(q);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"Deutsch", "Deutschland", "land"}));
    // Case does not matter in the comparison, as in Jet.
    names = column("SELECT NAME From vereine_national WHERE NAME=Right(\"DEUTSCHLAND\",Len([name]))");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"Deutschland", "land"}));
    // Right with more characters than the text has gives the whole text; with 0 the empty text.
    EXPECT_EQ(value("Right('abc', 5) & '|' & Right('abc', 0) & '|' & Left('abc', 0) & '|' & Right('äöü', 2)"), "abc|||öü");
}

TEST_F(JetSql, DeleteStar)
{
    EXPECT_EQ(db.execute("DELETE * FROM spieler WHERE NUMMER=2;"), 1);
    EXPECT_EQ(db.execute("Delete From spieler WHERE nation=\"Frankreich\""), 1);
    EXPECT_EQ(db.execute("DELETE spieler.* FROM spieler WHERE NUMMER=4"), 1);
    EXPECT_EQ(column("SELECT NUMMER FROM spieler"), Strings{"1"});
}

TEST_F(JetSql, JoinedUpdateOfJerseyColours)
{
    // As the jersey form writes it: colour table first, unqualified targets belong to vereine.
    const std::string c = "e_trikotfarbeoriginal", t = "vereine";
    const std::string stmt = "UPDATE " + c + " INNER JOIN " + t + " ON " + c + ".Nummer =" + t +
                             ".TRIKOT_ART SET F_TRIKOT_SPIELER = [trikot1], F_AUSW_TRIKOT_SPIELER = [trikot2] WHERE " +
                             t + ".nummer=5";
    EXPECT_EQ(db.execute(stmt), 1);
    EXPECT_EQ(column("SELECT F_TRIKOT_SPIELER & '/' & F_AUSW_TRIKOT_SPIELER FROM vereine ORDER BY NUMMER"),
              (Strings{"alt/", " 10, 10, 10/ 20, 20, 20", "alt/", "alt/"}));
    // The second jersey joins on another column.
    db.execute("UPDATE " + c + " INNER JOIN " + t + " ON " + c + ".Nummer =" + t +
               ".AUSWEICH_TRIKOT_ART SET F_AUSW_HOSE_SPIELER = [trikot1] WHERE " + t + ".nummer=6");
    EXPECT_EQ(one("SELECT F_AUSW_HOSE_SPIELER FROM vereine WHERE NUMMER=6").toString(), " 10, 10, 10");
    // Qualified targets, target table first.
    EXPECT_EQ(db.execute("UPDATE vereine INNER JOIN e_trikotfarbeoriginal ON vereine.TRIKOT_ART = "
                         "e_trikotfarbeoriginal.nummer SET vereine.F_TRIKOT_SPIELER = e_trikotfarbeoriginal.Trikot1 "
                         "WHERE vereine.nummer=7"),
              1);
    EXPECT_EQ(one("SELECT F_TRIKOT_SPIELER FROM vereine WHERE NUMMER=7").toString(), "255,  0,  0");
    // Without WHERE every joined row is written; aliases and parentheses are understood.
    EXPECT_EQ(db.execute("UPDATE (vereine AS v INNER JOIN e_trikotfarbeoriginal AS f ON v.TRIKOT_ART = f.nummer) "
                         "SET v.F_AUSW_TRIKOT_SPIELER = f.Hose"),
              4);
    EXPECT_EQ(column("SELECT F_AUSW_TRIKOT_SPIELER FROM vereine ORDER BY NUMMER"),
              (Strings{"  1,  1,  1", " 30, 30, 30", "  1,  1,  1", "  1,  1,  1"}));
    EXPECT_THROW(jetsql::translate("UPDATE a LEFT JOIN b ON a.x=b.x SET a.y=b.y"), jetsql::TranslateError);
    EXPECT_THROW(jetsql::translate("UPDATE a INNER JOIN b ON a.x=b.x SET a.y=1, b.y=2"), jetsql::TranslateError);
}

TEST_F(JetSql, PlainUpdateWithQualifiedNames)
{
    EXPECT_EQ(db.execute("UPDATE vereine SET vereine.F_TRIKOT_SPIELER ='  1,  2,  3', F_AUSW_HOSE_SPIELER = '  0,  "
                         "0,  0' WHERE vereine.nummer=5"),
              1);
    EXPECT_EQ(one("SELECT F_TRIKOT_SPIELER & F_AUSW_HOSE_SPIELER FROM vereine WHERE NUMMER=5").toString(),
              "  1,  2,  3  0,  0,  0");
    // Numbers given as quoted text are compared and stored as numbers, as Jet converts them.
    EXPECT_EQ(db.execute("UPDATE vereine SET TRIKOT_ART=\"9\" WHERE nummer=\"5\""), 1);
    EXPECT_TRUE(one("SELECT TRIKOT_ART FROM vereine WHERE NUMMER=5").isInt());
}

TEST_F(JetSql, InListsLenAndAggregates)
{
    EXPECT_EQ(column("SELECT * FROM spieler WHERE Nummer In (4,1,3);").size(), 3u);
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE NATION Not In (\"deutschland\") ORDER BY NUMMER"),
              (Strings{"3", "4"}));
    EXPECT_EQ(column("SELECT name,nummer From vereine WHERE len(name)>15 ORDER BY name"),
              (Strings{"Ballspielverein Irgendwo", "Borussia Beispielstadt 1909"}));
    EXPECT_EQ(one("Select max(maxnr) From maxteamnr").toInt(), 12);
    EXPECT_EQ(column("SELECT DISTINCT verein From (SELECT NATION AS verein, NUMMER AS r FROM spieler) GROUP BY verein, "
                     "r HAVING Count(r)>0 AND verein<>'Brasilien' ORDER BY verein"),
              (Strings{"Deutschland", "Frankreich"}));
    EXPECT_EQ(column("SELECT DISTINCT kontinent FROM vereine_national ORDER BY kontinent"),
              (Strings{"Europa", "Südamerika"}));
}

TEST_F(JetSql, TopDistinctrowAndSortWords)
{
    EXPECT_EQ(column("SELECT TOP 2 NUMMER FROM spieler ORDER BY [STÄRKE] DESCENDING"), (Strings{"1", "3"}));
    EXPECT_EQ(column("SELECT DISTINCTROW TOP 1 NAME FROM spieler ORDER BY NAME ASCENDING"), Strings{"Dupont"});
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE NUMMER IN (SELECT TOP 1 NUMMER FROM spieler ORDER BY NUMMER "
                     "DESC)"),
              Strings{"4"});
    EXPECT_THROW(jetsql::translate("SELECT TOP 10 PERCENT a FROM t"), jetsql::TranslateError);
}

TEST_F(JetSql, BooleanDateAndNumberLiterals)
{
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE VERLETZT=True"), Strings{"2"});
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE VERLETZT=No ORDER BY NUMMER"), (Strings{"1", "3", "4"}));
    db.execute("UPDATE spieler SET VERLETZT=Yes WHERE NUMMER=1");
    EXPECT_EQ(one("SELECT VERLETZT FROM spieler WHERE NUMMER=1").toInt(), -1);
    expectValues({{"#1/31/1999#", "1999-01-31"}, {"#12/31/95 10:05 PM#", "1995-12-31 22:05:00"},
                  {"#2001-02-03#", "2001-02-03"}, {"Year(#2/3/2004#) * 100 + Month(#2/3/2004#)", "200402"},
                  {"&H1F + &O17", "46"}});
    EXPECT_THROW(jetsql::translate("SELECT #13/45/2000# FROM t"), jetsql::TranslateError);
}

TEST_F(JetSql, ArithmeticOperatorsKeepJetPrecedence)
{
    // Mod binds weaker than *, integer division rounds its operands first (5.5 \ 2 is 6 \ 2).
    expectValues({{"17 Mod 4 * 2", "1"}, {"3 * 5 Mod 4", "3"}, {"7 \\ 2 + 10 \\ 3", "6"}, {"5.5 \\ 2", "3"},
                  {"-2 ^ 2", "-4"}, {"2 ^ 3 ^ 2", "64"}, {"10 - 2 - 3", "5"}});
    EXPECT_EQ(column("SELECT maxnr FROM maxteamnr WHERE Not maxnr > 5 OR maxnr = 12 AND maxnr Mod 2 = 1"),
              Strings{"3"});
    EXPECT_EQ(column("SELECT maxnr FROM maxteamnr WHERE maxnr Between 4 And 12 AND Not maxnr Between 10 And 20"),
              Strings{"7"});
}

TEST_F(JetSql, LikeUsesJetWildcardsWithoutCase)
{
    auto like = [&](const std::string& pattern) {
        auto v = column("SELECT NAME FROM vereine_national WHERE NAME Like " + jetsql::quote(pattern) +
                        " ORDER BY NUMMER");
        return v;
    };
    EXPECT_EQ(like("deutsch*"), (Strings{"Deutschland", "Deutsch"}));
    EXPECT_EQ(like("?and"), Strings{"land"});
    EXPECT_EQ(like("*REICH"), (Strings{"Frankreich", "Österreich"}));
    EXPECT_EQ(like("ö*"), Strings{"Österreich"});
    EXPECT_EQ(like("[b-d]*"), (Strings{"Deutschland", "Deutsch", "Brasilien"}));
    EXPECT_EQ(like("[!d]*"), (Strings{"Frankreich", "land", "Brasilien", "Österreich"}));
    EXPECT_EQ(like("%"), Strings{});  // % is no wildcard in Jet
    EXPECT_EQ(column("SELECT NUMMER FROM vereine WHERE NAME Like '*#*' ORDER BY NUMMER"), Strings{"5"});
    EXPECT_EQ(column("SELECT NUMMER FROM vereine WHERE NAME Not Like '*e*' ORDER BY NUMMER"), Strings{"6"});
}

TEST_F(JetSql, ConversionAndTextFunctions)
{
    expectValues({
        {"UCase('straße äöü') & LCase('ÄÖÜ ABC')", "STRAßE ÄÖÜäöü abc"},
        {"Trim('  a  ') & '|' & LTrim('  b ') & '|' & RTrim(' c  ')", "a|b | c"},
        {"Mid$('Kickora', 3, 2) & Mid('Kickora', 5)", "ckora"},
        {"IIf(maxnr > 2, 'gross', 'klein')", "gross"},
        {"Nz(Null, 7) + Nz(maxnr, 0)", "10"},
        {"Nz(Null) & 'x'", "x"},
        {"Val(' 1 2.5kg') & '|' & Val('abc')", "12.5|0"},
        {"Str(42) & '|' & Str(-3) & '|' & CStr(2.50)", " 42|-3|2.5"},
        {"CInt(2.5) & CInt(3.5) & CLng('7.5') & CInt(-2.5)", "248-2"},
        {"Int(-2.5) & '|' & Fix(-2.5) & '|' & Abs(-4) & '|' & CDbl('1.25')", "-3|-2|4|1.25"},
        {"InStr('Borussia', 'SS') & InStr(5, 'abcabc', 'b') & InStr('abc', 'x')", "550"},
        {"Format(7, '000') & '|' & Format(1234.5, '#,##0.00') & '|' & Format(0.256, 'Percent')", "007|1,234.50|25.60%"},
        {"Format(#3/4/2005#, 'dd.mm.yyyy')", "04.03.2005"},
        {"Len(Date()) & Len(Now())", "1019"},
        {"IIf(IsNull(Null) AND Not IsNull(maxnr), 'ja', 'nein')", "ja"}});
    EXPECT_THROW(jetsql::translate("SELECT Right('a') FROM t"), jetsql::TranslateError);
}

TEST_F(JetSql, TextComparisonsIgnoreCaseAndUmlautCase)
{
    EXPECT_EQ(column("SELECT NUMMER FROM vereine_national WHERE NAME='ÖSTERREICH'"), Strings{"6"});
    EXPECT_EQ(column("SELECT NUMMER FROM vereine_national WHERE 'frankreich' = NAME"), Strings{"2"});
    // Neither side a column: still without case.
    EXPECT_EQ(column("SELECT NUMMER FROM vereine_national WHERE UCase(NAME) = 'brasilien'"), Strings{"5"});
    EXPECT_EQ(column("SELECT NUMMER FROM vereine_national WHERE Left(NAME, 1) In ('ö', 'b') ORDER BY NUMMER"),
              (Strings{"5", "6"}));
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE NAME = 'MÜLLER'"), Strings{"1"});
}

TEST_F(JetSql, CommentsAndExistsPassThrough)
{
    EXPECT_EQ(column("SELECT NUMMER -- Kommentar\nFROM spieler /* noch einer */ WHERE NUMMER=1"), Strings{"1"});
    EXPECT_EQ(column("SELECT NAME FROM vereine_national n WHERE EXISTS (SELECT 1 FROM spieler s WHERE s.NATION = "
                     "n.NAME AND s.VERLETZT = True)"),
              Strings{"Deutschland"});
    EXPECT_EQ(column("SELECT NUMMER FROM spieler WHERE VORNAME Is Null"), Strings{"4"});
    EXPECT_EQ(column("SELECT count(*) FROM spieler WHERE VORNAME Is Not Null"), Strings{"3"});
}

TEST_F(JetSql, ZentorQueriesWithParenthesisedJoins)
{
    db.executeNative(R"(
        CREATE TABLE VEREIN(VEREIN_ID INTEGER, NAME TEXT COLLATE NOCASE, KURZFORM TEXT COLLATE NOCASE,
                            LAND_ID INTEGER, PROFITEAM INTEGER, AMATEURTEAM INTEGER);
        CREATE TABLE LAND(LAND_ID INTEGER, LAND_NAME TEXT COLLATE NOCASE);
        CREATE TABLE TEAM(TEAM_ID INTEGER, LAND INTEGER, LIGA INTEGER);
        INSERT INTO VEREIN VALUES (1, 'Bayern', 'FCB', 1, 10, 11), (2, 'Lyon', 'OL', 2, 20, 0);
        INSERT INTO LAND VALUES (1, 'Deutschland'), (2, 'Frankreich');
        INSERT INTO TEAM VALUES (10, 1, 1), (11, 1, 0), (20, 2, 0);
    )");
    auto rs = db.query("SELECT AMATEURTEAM & ' II', LAND_NAME , verein.NAME & (2), verein.KURZFORM & (2) FROM "
                       "(VEREIN INNER JOIN LAND ON VEREIN.LAND_ID = LAND.LAND_ID)WHERE AMATEURTEAM = 11");
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ((Strings{rs.field(0).toString(), rs.field(1).toString(), rs.field(2).toString(), rs.field(3).toString()}),
              (Strings{"11 II", "Deutschland", "Bayern2", "FCB2"}));
    EXPECT_EQ(column("SELECT verein.AMATEURTEAM, verein.NAME & ' II' FROM verein INNER JOIN TEAM ON "
                     "(verein.AMATEURTEAM = TEAM.TEAM_ID) AND (verein.LAND_ID = TEAM.LAND) WHERE verein.land_id=1 AND "
                     "verein.AMATEURTEAM<>0 AND team.liga=0 ORDER BY verein.AMATEURTEAM"),
              Strings{"11"});
}

TEST(JetSqlErrors, UnfinishedTextRaisesGermanTranslateError)
{
    for (const char* bad : {"SELECT \"abc", "SELECT 'abc", "SELECT [abc", "SELECT (a", "SELECT a)",
                            "SELECT #1/2/2000", "SELECT a FROM t; DELETE FROM t", "UPDATE t x=1"}) {
        try {
            jetsql::translate(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const jetsql::TranslateError& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
            if (bad[7] == '"')
                EXPECT_NE(std::string(e.what()).find("Anführungszeichen"), std::string::npos) << e.what();
        }
    }
}

TEST(JetSqlErrors, JunkNeverCrashes)
{
    Database db = Database::openMemory();
    db.executeNative("CREATE TABLE t(a INTEGER, b TEXT)");
    const std::vector<std::string> seeds = {
        "SELECT NAME From vereine_national WHERE NAME=Right(\"Deutschland\",Len([name])) OR NAME=Left$(\"x\",1)",
        "UPDATE a INNER JOIN b ON a.x = b.y SET a.z = [q], w = 'x' WHERE a.n=5",
        "SELECT TOP 5 a & (2), #1/2/2003#, &HFF, x Mod 2 FROM (t INNER JOIN u ON t.a=u.b) WHERE b Like \"*x?\"",
        "DELETE * FROM t WHERE a In (1,2,3) AND b Between 1 And 2 AND Not c Is Null"};
    std::mt19937 rng(4711);
    const std::string alphabet = "()[]\"'#&*,.;=<>+-/\\^ abcSELECTFROMWHEREUPDATESETJOINON 0123456789\xC3\xA4";
    int translated = 0, rejected = 0;
    auto attempt = [&](const std::string& s) {
        try {
            jetsql::translate(s);
            ++translated;
        } catch (const jetsql::TranslateError&) {
            ++rejected;
        }
        try {
            db.execute(s);
        } catch (const jet::Error&) {
        }
    };
    for (const auto& seed : seeds) {
        for (size_t n = 0; n <= seed.size(); ++n)
            attempt(seed.substr(0, n));
        for (int k = 0; k < 300; ++k) {
            std::string s = seed;
            for (int m = 0; m < 3; ++m)
                s[rng() % s.size()] = alphabet[rng() % alphabet.size()];
            attempt(s);
        }
    }
    for (int k = 0; k < 500; ++k) {
        std::string s;
        for (size_t n = rng() % 60; n > 0; --n)
            s += alphabet[rng() % alphabet.size()];
        attempt(s);
    }
    attempt(std::string(100000, '('));
    attempt("SELECT " + std::string(5000, '-') + "1");
    EXPECT_GT(translated, 0);
    EXPECT_GT(rejected, 0);
}
