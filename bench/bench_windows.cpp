// The two lists the windows fill on a demo world, offscreen: the crest chooser's grid (first
// opening with 500 crests copied from default.tga, then again) and the player list of a club.
// Run by hand: bench_windows [rounds]
#include "benchtiming.h"
#include "common/progress.h"
#include "demo/demoworld.h"
#include "editor/foundation/dao.h"
#include "editor/foundation/settings.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/frmcrests.h"
#include "editor/mainwindow/frmmain_players.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

using benchtiming::best;
using benchtiming::now;

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path dir = fs::temp_directory_path() / ("bench-windows-" + std::to_string(::getpid()));
    demo::writeProgramFolder(dir, demo::Options{});
    const std::string crestFolder = (dir / "wappen").string() + "/";

    NullProgress none;
    FrmWappen chooser(nullptr);
    for (int n = 0; n < crests::kCount; n += 2)
        fs::remove(crests::crestFile(crestFolder, n));
    double t0 = now();
    chooser.loadGrid(crestFolder, &none);
    const double chooserFirst = now() - t0;
    const double chooserAgain = best(rounds, [&] { chooser.loadGrid(crestFolder, &none); });

    Dao dao;
    dao.open(dir / "kickora.mdb");
    Settings settings;
    settings.programDir = dir;
    settings.folders[FolderAttribute] = (dir / "attribute").string() + "/";
    QWidget host;
    PlayerArea area(dao, settings, none, &host);
    area.initgrid();
    area.load_attribute();
    std::vector<long long> clubs;
    for (jet::Recordset& rs = dao.query("SELECT NUMMER FROM vereine WHERE NUMMER>0 ORDER BY NUMMER"); !rs.eof();
         rs.moveNext())
        clubs.push_back(rs.field(0).toInt());
    clubs.resize(std::min<std::size_t>(clubs.size(), 100));
    const double list = best(rounds, [&] {
        for (long long c : clubs)
            area.showspielerliste(c);
    });

    std::printf("crest chooser grid: first opening %.1f ms (500 crests copied), again %.1f ms\n", chooserFirst * 1e3,
                chooserAgain * 1e3);
    std::printf("player list: %.2f ms per club (%zu clubs)\n", list * 1e3 / std::max<std::size_t>(1, clubs.size()),
                clubs.size());
    fs::remove_all(dir);
    return 0;
}
