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

// Read-only Jet statements and the rows they must give, in the order given (sorted where marked).
TEST_F(JetSql, QueriesGiveJetsRows)
{
    struct Case {
        const char* why;
        std::string jet;
        Strings want;
        bool sorted = false;
    };
    const Case cases[] = {
        // names: case ignored, umlauts included (stärke is STÄRKE)
        {"umlaut name", "Select nummer,name,vorname,stärke From spieler WHERE stärke>5000 ORDER BY stärke", {"3", "1"}},
        // & treats Null as empty, binds weaker than + and stronger than comparisons and AND
        {"& number", "SELECT NAME & (2) FROM vereine_national WHERE NUMMER=2", {"Frankreich2"}},
        {"& text", "SELECT NUMMER & ' II' FROM vereine WHERE NUMMER=5", {"5 II"}},
        {"& below +", "SELECT NUMMER+1 & 'a' FROM vereine WHERE NUMMER=5", {"6a"}},
        {"& above =", "SELECT NUMMER FROM spieler WHERE NAME & ', ' & VORNAME = 'Meier, K.' AND NUMMER>0", {"2"}},
        {"& Null", "SELECT NAME & VORNAME FROM spieler WHERE NUMMER=4", {"Silva"}},
        {"Null & Null", "SELECT VORNAME & Null FROM spieler WHERE NUMMER=4", {"<null>"}},
        // the editor's country lookup, case-blind
        {"Right/Left$/Len",
         "SELECT NAME From vereine_national WHERE NAME=Right(\"Deutschland\",Len([name])) OR "
         "NAME=Left$(\"Deutschland\",Len([name])) OR NAME=\"Deutschland\" OR NAME=\"Deutschland\";",
         {"Deutsch", "Deutschland", "land"}, true},
        {"Right case-blind", "SELECT NAME From vereine_national WHERE NAME=Right(\"DEUTSCHLAND\",Len([name]))",
         {"Deutschland", "land"}, true},
        {"In", "SELECT NUMMER FROM spieler WHERE Nummer In (4,1,3) ORDER BY NUMMER;", {"1", "3", "4"}},
        {"Not In", "SELECT NUMMER FROM spieler WHERE NATION Not In (\"deutschland\") ORDER BY NUMMER", {"3", "4"}},
        {"len", "SELECT name,nummer From vereine WHERE len(name)>15 ORDER BY name",
         {"Ballspielverein Irgendwo", "Borussia Beispielstadt 1909"}},
        {"max", "Select max(maxnr) From maxteamnr", {"12"}},
        {"group/having", "SELECT DISTINCT verein From (SELECT NATION AS verein, NUMMER AS r FROM spieler) GROUP BY verein, "
                         "r HAVING Count(r)>0 AND verein<>'Brasilien' ORDER BY verein", {"Deutschland", "Frankreich"}},
        {"distinct", "SELECT DISTINCT kontinent FROM vereine_national ORDER BY kontinent", {"Europa", "Südamerika"}},
        {"TOP DESCENDING", "SELECT TOP 2 NUMMER FROM spieler ORDER BY [STÄRKE] DESCENDING", {"1", "3"}},
        {"DISTINCTROW TOP", "SELECT DISTINCTROW TOP 1 NAME FROM spieler ORDER BY NAME ASCENDING", {"Dupont"}},
        {"TOP in subquery", "SELECT NUMMER FROM spieler WHERE NUMMER IN (SELECT TOP 1 NUMMER FROM spieler ORDER BY NUMMER DESC)",
         {"4"}},
        {"True", "SELECT NUMMER FROM spieler WHERE VERLETZT=True", {"2"}},
        {"No", "SELECT NUMMER FROM spieler WHERE VERLETZT=No ORDER BY NUMMER", {"1", "3", "4"}},
        {"Not/And/Mod", "SELECT maxnr FROM maxteamnr WHERE Not maxnr > 5 OR maxnr = 12 AND maxnr Mod 2 = 1", {"3"}},
        {"Between", "SELECT maxnr FROM maxteamnr WHERE maxnr Between 4 And 12 AND Not maxnr Between 10 And 20", {"7"}},
        {"Like #", "SELECT NUMMER FROM vereine WHERE NAME Like '*#*' ORDER BY NUMMER", {"5"}},
        {"Not Like", "SELECT NUMMER FROM vereine WHERE NAME Not Like '*e*' ORDER BY NUMMER", {"6"}},
        // text comparisons ignore case, umlauts included, even where neither side is a column
        {"= upper", "SELECT NUMMER FROM vereine_national WHERE NAME='ÖSTERREICH'", {"6"}},
        {"= reversed", "SELECT NUMMER FROM vereine_national WHERE 'frankreich' = NAME", {"2"}},
        {"UCase =", "SELECT NUMMER FROM vereine_national WHERE UCase(NAME) = 'brasilien'", {"5"}},
        {"In umlaut", "SELECT NUMMER FROM vereine_national WHERE Left(NAME, 1) In ('ö', 'b') ORDER BY NUMMER", {"5", "6"}},
        {"Ü", "SELECT NUMMER FROM spieler WHERE NAME = 'MÜLLER'", {"1"}},
        {"comments", "SELECT NUMMER -- Kommentar\nFROM spieler /* noch einer */ WHERE NUMMER=1", {"1"}},
        {"EXISTS", "SELECT NAME FROM vereine_national n WHERE EXISTS (SELECT 1 FROM spieler s WHERE s.NATION = "
                   "n.NAME AND s.VERLETZT = True)", {"Deutschland"}},
        {"Is Null", "SELECT NUMMER FROM spieler WHERE VORNAME Is Null", {"4"}},
        {"Is Not Null", "SELECT count(*) FROM spieler WHERE VORNAME Is Not Null", {"3"}},
    };
    for (const auto& c : cases) {
        Strings got = column(c.jet);
        if (c.sorted) std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.want) << c.why << ": " << c.jet;
    }
    // Jet's wildcards, without case; % is none
    const std::pair<const char*, Strings> likes[] = {
        {"deutsch*", {"Deutschland", "Deutsch"}}, {"?and", {"land"}}, {"*REICH", {"Frankreich", "Österreich"}},
        {"ö*", {"Österreich"}}, {"[b-d]*", {"Deutschland", "Deutsch", "Brasilien"}},
        {"[!d]*", {"Frankreich", "land", "Brasilien", "Österreich"}}, {"%", {}}};
    for (const auto& [pattern, want] : likes)
        EXPECT_EQ(column("SELECT NAME FROM vereine_national WHERE NAME Like " + jetsql::quote(pattern) + " ORDER BY NUMMER"),
                  want) << pattern;
    auto rs = db.query("SELECT Stärke FROM spieler WHERE nummer=1");
    EXPECT_EQ(rs.field("STÄRKE").toInt(), 8000);
    EXPECT_EQ(rs.field("stärke").toInt(), 8000);
}

// Expressions evaluated on one row, with Jet's operators, literals and functions.
TEST_F(JetSql, ExpressionsGiveJetsValues)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2 * 3 & 4 - 1", "63"},  // & below arithmetic
        {"2.5 & '|' & 3.0 & '|' & 0.1", "2.5|3|0.1"}, {"\"ab\" + \"cd\"", "abcd"},
        // Right with more characters than the text gives it whole, with 0 the empty text
        {"Right('abc', 5) & '|' & Right('abc', 0) & '|' & Left('abc', 0) & '|' & Right('äöü', 2)", "abc|||öü"},
        {"#1/31/1999#", "1999-01-31"}, {"#12/31/95 10:05 PM#", "1995-12-31 22:05:00"}, {"#2001-02-03#", "2001-02-03"},
        {"Year(#2/3/2004#) * 100 + Month(#2/3/2004#)", "200402"}, {"&H1F + &O17", "46"},
        // Mod binds weaker than *, integer division rounds its operands first (5.5 \ 2 is 6 \ 2)
        {"17 Mod 4 * 2", "1"}, {"3 * 5 Mod 4", "3"}, {"7 \\ 2 + 10 \\ 3", "6"}, {"5.5 \\ 2", "3"},
        {"-2 ^ 2", "-4"}, {"2 ^ 3 ^ 2", "64"}, {"10 - 2 - 3", "5"},
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
        {"IIf(IsNull(Null) AND Not IsNull(maxnr), 'ja', 'nein')", "ja"}};
    for (auto [expr, want] : cases)
        EXPECT_EQ(one(std::string("SELECT ") + expr + " FROM maxteamnr WHERE maxnr=3").toString(), want) << expr;
    for (const char* bad : {"SELECT Right('a') FROM t", "SELECT #13/45/2000# FROM t", "SELECT TOP 10 PERCENT a FROM t",
                            "UPDATE a LEFT JOIN b ON a.x=b.x SET a.y=b.y", "UPDATE a INNER JOIN b ON a.x=b.x SET a.y=1, b.y=2"})
        EXPECT_THROW(jetsql::translate(bad), jetsql::TranslateError) << bad;
}

TEST_F(JetSql, WritesWithJetSyntax)
{
    db.executeNative("CREATE TABLE \"Spieler Daten\"(\"Rücken Nr\" INTEGER, \"Größe\" INTEGER)");
    db.execute("INSERT INTO [Spieler Daten] ([Rücken Nr], [Größe]) VALUES (9, 181)");
    EXPECT_EQ(column("SELECT [Spieler Daten].[Größe] FROM [Spieler Daten] WHERE [Rücken Nr]=9"), Strings{"181"});
    db.execute("UPDATE spieler SET VERLETZT=Yes WHERE NUMMER=1");
    EXPECT_EQ(one("SELECT VERLETZT FROM spieler WHERE NUMMER=1").toInt(), -1);
    EXPECT_EQ(db.execute("UPDATE vereine SET vereine.F_TRIKOT_SPIELER ='  1,  2,  3', F_AUSW_HOSE_SPIELER = '  0,  "
                         "0,  0' WHERE vereine.nummer=5"), 1);
    EXPECT_EQ(one("SELECT F_TRIKOT_SPIELER & F_AUSW_HOSE_SPIELER FROM vereine WHERE NUMMER=5").toString(),
              "  1,  2,  3  0,  0,  0");
    // Numbers given as quoted text are compared and stored as numbers, as Jet converts them.
    EXPECT_EQ(db.execute("UPDATE vereine SET TRIKOT_ART=\"9\" WHERE nummer=\"5\""), 1);
    EXPECT_TRUE(one("SELECT TRIKOT_ART FROM vereine WHERE NUMMER=5").isInt());
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
                         "WHERE vereine.nummer=7"), 1);
    EXPECT_EQ(one("SELECT F_TRIKOT_SPIELER FROM vereine WHERE NUMMER=7").toString(), "255,  0,  0");
    // Without WHERE every joined row is written; aliases and parentheses are understood.
    EXPECT_EQ(db.execute("UPDATE (vereine AS v INNER JOIN e_trikotfarbeoriginal AS f ON v.TRIKOT_ART = f.nummer) "
                         "SET v.F_AUSW_TRIKOT_SPIELER = f.Hose"), 4);
    EXPECT_EQ(column("SELECT F_AUSW_TRIKOT_SPIELER FROM vereine ORDER BY NUMMER"),
              (Strings{"  1,  1,  1", " 30, 30, 30", "  1,  1,  1", "  1,  1,  1"}));
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
            if (bad[7] == '"') {
                EXPECT_NE(std::string(e.what()).find("Anführungszeichen"), std::string::npos) << e.what();
            }
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
