// Reading exporter club files: values as written, and damaged files corrected, never trusted.
#include "import/clubfile.h"
#include "importworld.h"

#include <gtest/gtest.h>

using namespace imp;
using importtest::writeExporterFile;
using testsupport::TempDir;

TEST(ClubFile, ReadsTeamAndPlayersAsWritten)
{
    TempDir dir;
    std::string text = importtest::clubFileText("FC \"Q\"", {{"Müller", 0, 6000, 1}});
    text.replace(text.find("Vorname0"), 8, "Élodie");
    writeExporterFile(dir / "FC \"Q\".aet", text);
    const ClubFile f = loadClubFile(dir / "fc \"q\".AET");  // letter case as copied from Windows
    EXPECT_EQ(f.title, "FC \"Q\"");
    EXPECT_EQ(f.name.value_or("?"), "FC \"Q\"");
    EXPECT_EQ(f.stadionsitz.value_or("?"), "40000");
    EXPECT_EQ(f.homeColour(0), "255,  0,  0");
    EXPECT_EQ(f.liveColours(1)[2], (jerseys::Rgb{7, 8, 9}));
    ASSERT_EQ(f.players.size(), 1u);
    const FilePlayer& p = f.players[0];
    EXPECT_EQ(p.listText(), "É. Müller");  // one character, not one byte
    EXPECT_EQ(p.positionCode(), std::string("TOR"));
    EXPECT_EQ(p.icon(), 4);
    EXPECT_EQ(p.strengthText(), "3,0 Sterne");
    EXPECT_EQ(p.skin, 1);
    EXPECT_TRUE(f.warnings.empty());
}

TEST(ClubFile, DamagedValuesGiveDefaultsOrNearestAllowed)
{
    struct Case {
        const char* key;
        const char* value;
        int position;
        long long strength, games, shirt;
        int skin, hair;
    };
    // Defaults: position 3, strength 0, games 0, shirt 0, skin 0, hair 0.
    const Case cases[] = {
        {"Staerke", "viel", 3, 0, 0, 0, 0, 0},
        {"Staerke", "-4000", 3, 0, 0, 0, 0, 0},
        {"Staerke", "99999999999999999999", 3, 0, 0, 0, 0, 0},  // beyond any number: not a number
        {"Staerke", "20000", 3, 12000, 0, 0, 0, 0},
        {"Staerke", "6500,5", 3, 6500, 0, 0, 0, 0},              // half to even
        {"Position", "7", 3, 0, 0, 0, 0, 0},
        {"Position", "-1", 3, 0, 0, 0, 0, 0},
        {"Position", "1", 1, 0, 0, 0, 0, 0},
        {"Restspiele", "4294967296", 3, 0, 30000, 0, 0, 0},
        {"Rueckennummer", "-5", 3, 0, 0, 0, 0, 0},
        {"Hautfarbe", "2", 3, 0, 0, 0, 0, 0},
        {"Hautfarbe", "1", 3, 0, 0, 0, 1, 0},
        {"Haarfarbe", "128", 3, 0, 0, 0, 0, 0},
        {"Haarfarbe", "127", 3, 0, 0, 0, 0, 127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        TempDir dir;
        writeExporterFile(dir / "x.aet", std::string("[Team]\nSpieler=1\n[Spieler1]\n") + c.key + "=" + c.value + "\n");
        const ClubFile f = loadClubFile(dir / "x.aet");
        ASSERT_EQ(f.players.size(), 1u);
        const FilePlayer& p = f.players[0];
        EXPECT_EQ(p.position, c.position);
        EXPECT_EQ(p.strength, c.strength);
        EXPECT_EQ(p.remainingGames, c.games);
        EXPECT_EQ(p.shirtNumber, c.shirt);
        EXPECT_EQ(p.skin, c.skin);
        EXPECT_EQ(p.hair, c.hair);
        EXPECT_FALSE(f.name.has_value());
    }
}

TEST(ClubFile, PlayerCountIsBoundedByTheSections)
{
    struct Case {
        std::string count;
        int sections;
        std::size_t players;
        bool warned;
    };
    const Case cases[] = {
        {"", 3, 0, false},          // no key: no players
        {"0", 3, 0, false},
        {"-2", 3, 0, false},
        {"drei", 3, 0, true},
        {"2", 3, 2, false},
        {"500", 3, 3, true},
        {"500", 500, 500, false},
        {"2147483648", 0, 0, true},  // no endless walk over missing sections
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count + " / " + std::to_string(c.sections));
        TempDir dir;
        std::string text = "[Team]\nName=X\n" + (c.count.empty() ? std::string() : "Spieler=" + c.count + "\n");
        for (int k = 1; k <= c.sections; ++k)
            text += "[Spieler" + std::to_string(k) + "]\nName=N" + std::to_string(k) + "\n";
        writeExporterFile(dir / "x.aet", text);
        const ClubFile f = loadClubFile(dir / "x.aet");
        EXPECT_EQ(f.players.size(), c.players);
        EXPECT_EQ(!f.warnings.empty(), c.warned);
    }
}

TEST(ClubFile, MissingFileAndColoursAreReported)
{
    TempDir dir;
    EXPECT_THROW(loadClubFile(dir / "fehlt.aet"), Error);
    writeExporterFile(dir / "x.aet", "[Team]\nTrikoth0=300,0,0\nTrikota0=1,2\n");
    const ClubFile f = loadClubFile(dir / "x.aet");
    EXPECT_EQ(f.homeColour(0), "  0,  0,  0");  // unreadable: black into the database
    EXPECT_EQ(f.liveColours(0)[0], (jerseys::Rgb{255, 255, 255}));  // and white in the picture
    EXPECT_EQ(f.liveColours(0)[3], (jerseys::Rgb{0, 0, 0}));
    EXPECT_EQ(f.awayColour(0), "  0,  0,  0");
}
