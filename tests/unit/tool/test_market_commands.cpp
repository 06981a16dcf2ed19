// kickoratool market-fill and market-swap as scripts use them: what they print, exit codes,
// and a database left as it was after every failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "demoworldcommands.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::runCommand;

namespace {

using tooltest::q;
using tooltest::Result;

// The demo world with 30 transfer-market slots.
class MarketCommands : public tooltest::DemoWorldCommands {
protected:
    static void SetUpTestSuite() {
        DemoWorldCommands::SetUpTestSuite();
        for (const char* sql : {"INSERT INTO vereine (NUMMER, NAME) VALUES (0, \"TRANSFERMARKT\")",
                                "INSERT INTO spieler (NUMMER, NAME, VORNAME, NATION) SELECT NUMMER + 100000, \"Platz\", "
                                "\"P.\", \"TRANSFERMARKT\" FROM spieler WHERE NUMMER <= 30",
                                "INSERT INTO vereinspieler SELECT 0, NUMMER FROM spieler WHERE NUMMER > 100000"}) {
            int status = -1;
            runCommand(std::string(KICKORATOOL) + " sql " + q(worldDatabase()) + " '" + sql + "' >/dev/null", &status);
            ASSERT_EQ(status, 0) << sql;
        }
    }
    std::string db() const { return q(db_); }
};

}  // namespace

TEST_F(MarketCommands, FillPrintsTheFilledSlotsAndASeedRepeatsIt) {
    const std::string slotsSql = "SELECT * FROM spieler WHERE NUMMER > 100000 ORDER BY NUMMER";
    const Result r = tool("market-fill " + db() + " --seed 9");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "25 Plätze im Transfermarkt besetzt\n");
    EXPECT_EQ(value("SELECT count(*) FROM spieler WHERE NUMMER > 100000 AND NAME = \"Platz\""), "5");
    const std::string filled = rows(slotsSql);

    fs::copy_file(worldDatabase(), db_, fs::copy_options::overwrite_existing);
    EXPECT_EQ(tool("market-fill " + db() + " --seed 9").status, 0);
    EXPECT_EQ(rows(slotsSql), filled);
}

TEST_F(MarketCommands, SwapsInBothModes) {
    const std::string count = value("SELECT count(*) FROM z4spieler");
    const std::string freeId = value("SELECT min(id) FROM z4spieler");
    const std::string freeName = value("SELECT name FROM z4spieler WHERE id=" + freeId);
    Result r = tool("market-swap " + db() + " --free " + freeId + " --player 100003");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(value("SELECT count(*) FROM z4spieler"), count);
    EXPECT_EQ(value("SELECT NAME FROM spieler WHERE NUMMER=100003"), freeName);
    EXPECT_EQ(value("SELECT verein FROM z4spieler WHERE id=(SELECT max(id) FROM z4spieler)"), "TRANSFERMARKT");

    const std::string clubA = value("SELECT verein FROM vereinspieler WHERE spieler=41");
    const std::string clubB = value("SELECT verein FROM vereinspieler WHERE spieler=100004");
    r = tool("market-swap " + db() + " --player 41 --with 100004");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(value("SELECT verein FROM vereinspieler WHERE spieler=41"), clubB);
    EXPECT_EQ(value("SELECT verein FROM vereinspieler WHERE spieler=100004"), clubA);
}

TEST_F(MarketCommands, FailuresAndUsageErrorsLeaveTheDatabaseAlone) {
    const std::string before = readFile(db_);
    const struct {
        std::string args;
        int status;
        std::string message;  // the German line on standard error (usage errors: its start)
    } cases[] = {
        {"market-fill", 2, "Aufruf: kickoratool market-fill"},
        {"market-fill " + db() + " --seed zehn", 2, "Ungültiger Startwert: zehn"},
        {"market-fill " + db() + " nochwas", 2, "Aufruf:"},
        {"market-fill " + q(dir_ / "fehlt.mdb"), 1, "Die Datei " + (dir_ / "fehlt.mdb").string() + " ist keine Datenbank des Editors."},
        {"market-swap " + db() + " --free 1", 2, "Aufruf: kickoratool market-swap"},
        {"market-swap " + db() + " --free 1 --player 5 --with 6", 2, "Aufruf:"},
        {"market-swap " + db() + " --player 5", 2, "Aufruf:"},
        {"market-swap " + db() + " --player x --with 6", 2, "Ungültige Nummer"},
        {"market-swap " + db() + " --free 9999 --player 100001", 1, "Den freien Spieler 9999 gibt es nicht."},
        {"market-swap " + db() + " --free 1 --player 999999", 1, "Der Spieler 999999 gehört zu keinem Verein."},
        {"market-swap " + db() + " --player 999999 --with 5", 1, "Der Spieler 999999 gehört zu keinem Verein."},
    };
    for (const auto& c : cases) {
        const Result r = tool(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << c.args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_TRUE(readFile(db_) == before) << c.args;
    }

    // Without the free-player table there is nothing to fill from.
    rows("DROP TABLE z4spieler");
    const std::string without = readFile(db_);
    const Result r = tool("market-fill " + db());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Die Datenbank hat keine Tabelle z4spieler (freie Spieler).\n");
    EXPECT_TRUE(readFile(db_) == without);
}
