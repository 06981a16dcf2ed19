// The road between the two programs: a demo Zentor 4 source, exported as the country
// "Deutschland", read back by the editor's import into a demo game database.
#include "common/jetsql.h"
#include "common/progress.h"
#include "common/random.h"
#include "demo/zentordemo.h"
#include "exporter/zexport.h"
#include "graphics/faces.h"
#include "import/clubfile.h"
#include "import/importrun.h"
#include "importworld.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace imp;
using importtest::count;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

struct ExportedCountry {
    TempDir dir;
    fs::path lan;
    jet::Database db;

    ExportedCountry()
    {
        demo::writeZentorDatabase(dir / "zentor.db", demo::Options{1, 4});
        const zexp::Source src = zexp::Source::open(dir / "zentor.db");
        zexp::Id germany = -1;
        for (const auto& c : src.countries())
            if (c.name == "Deutschland")
                germany = c.id;
        EXPECT_GE(germany, 0);
        RandomSource random(2);
        zexp::ExportOptions options;
        options.random = &random;
        lan = dir / "export" / "Deutschland.lan";
        fs::create_directories(lan.parent_path());
        EXPECT_TRUE(zexp::exportCountry(src, germany, lan, options).ok());
        fs::create_directories(dir / "editor");
        db = importtest::demoDatabase(dir / "editor");
    }

    std::set<fs::path> writtenClubFiles() const
    {
        std::set<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(lan.parent_path()))
            if (e.path().extension() == ".aet")
                files.insert(e.path());
        return files;
    }
};

}  // namespace

TEST(ImportEndToEnd, CountryExportIsFoundAndImported)
{
    ExportedCountry x;
    NullProgress progress;
    RandomSource random(8);

    // Every club file of the run is found from the index file, each once.
    const IndexRun run = importIndex(x.db, x.lan, false, 1, random, progress);
    const std::set<fs::path> written = x.writtenClubFiles();
    ASSERT_GT(written.size(), 10u);
    std::set<fs::path> found;
    for (const auto& line : run.lines)
        EXPECT_TRUE(found.insert(line.file.file).second) << line.file.relative;
    EXPECT_EQ(found, written);
    EXPECT_TRUE(run.walk.skipped.empty());

    // One club file over a database club.
    const fs::path aet = *written.begin();
    const ClubFile file = loadClubFile(aet);
    ASSERT_FALSE(file.players.empty());
    const long long club = importtest::clubWithSquad(x.db);
    const ClubImport r = importClub(x.db, aet, club, 1, random);
    EXPECT_EQ(r.fromFile + r.fromClub, 20);
    EXPECT_GT(r.fromFile, 10);

    EXPECT_EQ(importtest::row(x.db, "SELECT NAME, STADT, STADION_NAME, STADION_SITZPL, STADION_STEHPL, NATION FROM vereine "
                                    "WHERE NUMMER=" + std::to_string(club)),
              *file.name + "|" + *file.stadt + "|" + *file.stadion + "|" + *file.stadionsitz + "|" + *file.stadionsteh +
                  "|Deutschland");
    jet::Recordset c = x.db.query("SELECT F_TRIKOT_SPIELER, F_AUSW_TRIKOT_SPIELER, F_ALTERN_TRIKOT_SPIELER, "
                                  "F_AUSW_HOSE_SPIELER, F_ALTERN_HOSE_SPIELER, F_TRIKOT_WERBUNG FROM vereine WHERE NUMMER=" +
                                  std::to_string(club));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(jerseys::parseColour(c.field(i).toString()), jerseys::parseColour(file.homeText[i].value()));
        EXPECT_EQ(jerseys::parseColour(c.field(3 + i).toString()), jerseys::parseColour(file.awayText[i].value()));
    }

    EXPECT_EQ(count(x.db, "SELECT Count(*) FROM vereinspieler WHERE verein=" + std::to_string(club)), 20);
    std::multimap<std::string, const FilePlayer*> byName;
    for (const auto& p : file.players)
        byName.emplace(p.name, &p);
    int matched = 0;
    jet::Recordset p = x.db.query("SELECT name, vorname, [stärke], [max_stärke], art, [rest_einsätze], gesicht "
                                  "FROM spielerinvereine WHERE verein=" + std::to_string(club));
    for (; !p.eof(); p.moveNext()) {
        bool fromFile = false;
        for (auto [it, end] = byName.equal_range(p.field(0).toString()); it != end && !fromFile; ++it) {
            const FilePlayer& f = *it->second;
            const long long games = p.field(5).toInt();
            const faces::Face face = faces::decode(p.field(6).toInt());
            fromFile = p.field(1).toString() == f.initial() + "." && p.field(2).toInt() == f.strength &&
                       p.field(4).toInt() == f.position && games >= f.remainingGames && games < f.remainingGames + 5 &&
                       face.skin == f.skin && face.parts[2] == f.hair && p.field(3).toInt() >= f.strength &&
                       p.field(3).toInt() % 2000 == 0;
        }
        matched += fromFile;
    }
    EXPECT_EQ(matched, r.fromFile);

    // All players of a file as free players: exactly one row each.
    const long long before = count(x.db, "SELECT Count(*) FROM z4spieler");
    EXPECT_EQ(importFree(x.db, aet, random, progress), static_cast<int>(file.players.size()));
    EXPECT_EQ(count(x.db, "SELECT Count(*) FROM z4spieler"), before + static_cast<long long>(file.players.size()));
}

TEST(ImportEndToEnd, ApplyReplacesEveryProposedClubInOneGo)
{
    ExportedCountry x;
    NullProgress progress;
    RandomSource random(8);
    // Give three database clubs the names of exported clubs, so the proposal finds them.
    const std::set<fs::path> written = x.writtenClubFiles();
    std::vector<long long> targets;
    {
        jet::Recordset rs = x.db.query("SELECT verein FROM vereinspieler WHERE verein IN (SELECT NUMMER FROM vereine "
                                       "WHERE NUMMER > 0) GROUP BY verein HAVING Count(*) = 20 ORDER BY verein");
        for (int i = 0; i < 3 && !rs.eof(); ++i, rs.moveNext())
            targets.push_back(rs.field(0).toInt());
    }
    auto it = written.begin();
    for (long long t : targets) {
        const ClubFile f = loadClubFile(*it++);
        x.db.execute("UPDATE vereine SET NAME=" + jetsql::quote(f.name.value() + " alt") + " WHERE NUMMER=" + std::to_string(t));
    }
    const IndexRun run = importIndex(x.db, x.lan, true, 1, random, progress);
    std::set<long long> replaced;
    for (const auto& line : run.lines)
        if (line.result)
            replaced.insert(line.result->club);
    for (long long t : targets) {
        EXPECT_TRUE(replaced.count(t)) << t;
        EXPECT_EQ(count(x.db, "SELECT Count(*) FROM vereinspieler WHERE verein=" + std::to_string(t)), 20);
    }

    // One club that cannot take a squad stops the whole run, which names its file.
    x.db.execute("DELETE FROM vereinspieler WHERE verein=" + std::to_string(targets.back()) +
                 " AND spieler=(SELECT Max(spieler) FROM vereinspieler WHERE verein=" + std::to_string(targets.back()) + ")");
    const std::string sum = "SELECT Sum(Length(name) + [stärke] + gesicht) FROM spieler";
    const long long before = count(x.db, sum);
    try {
        importIndex(x.db, x.lan, true, 1, random, progress);
        ADD_FAILURE() << "a club with 19 slots was replaced";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(".aet: "), std::string::npos) << e.what();
    }
    EXPECT_EQ(count(x.db, sum), before);
}
