// League and country index files: both club-file places, the exporter's name rule, letter
// case, names that would leave the folder; and the proposal of the club to replace.
#include "common/progress.h"
#include "import/indexwalk.h"
#include "import/targetchoice.h"
#include "importworld.h"

#include <gtest/gtest.h>

using namespace imp;
using importtest::writeExporterFile;
using testsupport::TempDir;

namespace {

std::vector<std::string> relatives(const IndexWalk& w)
{
    std::vector<std::string> r;
    for (const auto& f : w.files)
        r.push_back(f.relative.generic_string());
    return r;
}

}  // namespace

TEST(IndexWalk, FindsClubFilesInBothPlacesByTheNameRule)
{
    TempDir dir;
    const std::string aet = "[Team]\nName=X\n";
    writeExporterFile(dir / "Land A" / "Liga 12" / "BlauWeiß.aet", aet);  // "/" left out of both names
    writeExporterFile(dir / "Liga 12" / "BlauWeiß.aet", aet);             // beside the index too
    writeExporterFile(dir / "Land A" / "Liga 12" / "fc ä=b.AET", aet);       // another letter case
    writeExporterFile(dir / "Land A" / "(keine Liga)" / "Solo.aet", aet);
    writeExporterFile(dir / "geheim.aet", aet);
    writeExporterFile(dir / "land.lan", "[LigaLand]\nLand=Land A\n[Liga 1/2]\n3=Blau/Weiß\n4=FC Ä=B\n\n5=Fehlt\n"
                                        "6=../geheim\n7=..\\geheim\n8=C:geheim\n[(keine Liga)]\nSolo\n[..]\n9=geheim\n");
    NullProgress progress;
    const IndexWalk w = walkIndexFile(dir / "land.lan", progress);
    EXPECT_EQ(w.country, "Land A");
    EXPECT_EQ(relatives(w), (std::vector<std::string>{"Liga 12/BlauWeiß.aet", "Land A/Liga 12/BlauWeiß.aet",
                                                      "Land A/Liga 12/fc ä=b.AET", "Land A/(keine Liga)/Solo.aet"}));
    EXPECT_EQ(w.files[1].section, "Liga 1/2");
    EXPECT_EQ(w.files[1].baseName, "Blau/Weiß");
    EXPECT_TRUE(w.files[1].inCountryFolder);
    EXPECT_EQ(w.skipped.size(), 4u);  // three lines and the section ".."
    for (const auto& f : w.files)
        EXPECT_EQ(f.file.lexically_relative(dir.path()).generic_string().rfind("..", 0), std::string::npos);
}

TEST(IndexWalk, HeaderOnlyAndMissingFiles)
{
    TempDir dir;
    writeExporterFile(dir / "leer.lig", "[LigaLand]\nLand=X\n");
    NullProgress progress;
    EXPECT_TRUE(walkIndexFile(dir / "leer.lig", progress).files.empty());
    EXPECT_THROW(walkIndexFile(dir / "fehlt.lig", progress), Error);
    const std::vector<std::string> safe = {"Blau/Weiß", "A..B", "1. FC", "..x"};
    const std::vector<std::string> unsafe = {"..", "../x", "a/../b", "a\\b", "C:x", " .. /x"};
    for (const auto& s : safe)
        EXPECT_TRUE(safeIndexName(s)) << s;
    for (const auto& s : unsafe)
        EXPECT_FALSE(safeIndexName(s)) << s;
}

TEST(TargetChoice, CandidateRule)
{
    const std::vector<std::string> entries = {
        "SV Nord Hafenstadt (Deutschland)", "FC Hafenstadt (Deutschland)", "Hafenstadt United (England)",
        "TSV Bergdorf (Deutschland)",       "FC Süd Hafenstadt (Deutschland)"};
    struct Case {
        TargetKeys keys;
        int expected;
    };
    const Case cases[] = {
        {{"Bergdorf", "X", "Y"}, 3},                    // name inside the entry's name part
        {{"Unbekannt", "Hafenstadt", "Deutschland"}, 4}, // city and country: the last such entry
        {{"FC Hafenstadt", "Hafenstadt", "Deutschland"}, 1},  // the name ends the search
        {{"hafenstadt united", "", ""}, -1},            // case-sensitive
        {{"Deutschland", "", ""}, -1},                  // the nation part is not the name
        {{"", "", ""}, -1},                             // no name: no proposal
    };
    for (const Case& c : cases)
        EXPECT_EQ(candidateClub(entries, c.keys), c.expected) << c.keys.name << "/" << c.keys.stadt;

    TempDir dir;
    writeExporterFile(dir / "a.aet", "[team]\nname=FC Hafenstadt\nStadt=Hafenstadt\nLand=Deutschland\nNation=England\n");
    EXPECT_EQ(clubFileKeys(dir / "a.aet").land, "Deutschland");
    EXPECT_EQ(teamFileKeys(dir / "a.aet").land, "England");
}
