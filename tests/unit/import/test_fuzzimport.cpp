// Random mutations of exporter club files, index files and team files: reading and importing
// either succeed or end in a German error with the database untouched, never a crash (run
// under the sanitizers in CI too).
#include "common/progress.h"
#include "common/random.h"
#include "import/importrun.h"
#include "import/teafile.h"
#include "import/workbench.h"
#include "importworld.h"

#include <gtest/gtest.h>

#include <random>

using namespace imp;
using testsupport::TempDir;

namespace {

std::string mutate(const std::string& in, std::mt19937& rnd)
{
    static const char* extremes[] = {"-1", "99999999999999999999", "2147483648", "-9223372036854775808", "x",
                                     "", "=", "[", "..", "\\", "C:", "\"", "1e9", "0,5", "\xff\xfe"};
    std::string s = in;
    const int edits = 1 + static_cast<int>(rnd() % 6);
    for (int e = 0; e < edits && !s.empty(); ++e) {
        const std::size_t at = rnd() % s.size();
        switch (rnd() % 4) {
        case 0: s[at] = static_cast<char>(rnd()); break;
        case 1: s.erase(at, rnd() % 40); break;
        case 2: {  // a value replaced by an extreme
            const std::size_t eq = s.find('=', at);
            if (eq != std::string::npos) {
                const std::size_t end = s.find('\n', eq);
                s.replace(eq + 1, (end == std::string::npos ? s.size() : end) - eq - 1, extremes[rnd() % 15]);
            }
            break;
        }
        default: s.insert(at, extremes[rnd() % 15]);
        }
    }
    return s;
}

}  // namespace

TEST(FuzzImport, MutatedFilesNeverCrash)
{
    TempDir dir;
    jet::Database db = importtest::demoDatabase(dir.path());
    const long long club = importtest::clubWithSquad(db);
    const std::string aet = importtest::clubFileText("FC Fuzz", importtest::players(24));
    const std::string lan = "[LigaLand]\nLand=Land\n[Liga]\n1=FC Fuzz\n2=FC Fuzz II\n[(keine Liga)]\n3=Solo\n";
    const std::string tea = "[Team]\nNAME=T\nGRAFIK_NR=3\nNATION=Deutschland\n[Spieler1]\nNAME=A\nStaerke=4000\nART=1\n"
                            "[Spieler2]\nNAME=B\nGESICHT=5\n";
    importtest::writeExporterFile(dir / "Land" / "Liga" / "FC Fuzz.aet", aet);

    std::mt19937 rnd(20261206);
    RandomSource random(1);
    NullProgress progress;
    int imported = 0, refused = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        importtest::writeExporterFile(dir / "f.aet", mutate(aet, rnd));
        importtest::writeExporterFile(dir / "f.lan", mutate(lan, rnd));
        importtest::writeExporterFile(dir / "f.tea", mutate(tea, rnd));
        const long long rows = importtest::count(db, "SELECT Count(*) FROM spieler");
        try {
            importClub(db, dir / "f.aet", club, static_cast<int>(rnd() % kPresetItems), random);
            ++imported;
        } catch (const Error&) {
            ++refused;
        }
        try {
            const IndexRun run = importIndex(db, dir / "f.lan", false, 1, random, progress);
            for (const auto& line : run.lines)
                EXPECT_TRUE(line.file.file.lexically_relative(dir.path()).generic_string().rfind("..", 0) != 0);
        } catch (const Error&) {
        }
        EXPECT_NO_THROW(importTeamOver(db, loadTeamFile(dir / "f.tea"), club, progress));
        EXPECT_EQ(importtest::count(db, "SELECT Count(*) FROM spieler"), rows);
    }
    EXPECT_GT(imported, 0);
}
