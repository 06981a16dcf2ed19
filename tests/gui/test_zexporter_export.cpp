// Export runs started from zexporter's menu: the save dialog, the progress window on top of
// the disabled main window, the files written, cancelling and failing runs.
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "common/exportnames.h"
#include "common/profile.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "exporter/frmhaupt.h"
#include "exporter/frmprogress.h"
#include "exporter/zsource.h"
#include "guisupport.h"
#include "test_zexporter_support.h"

namespace fs = std::filesystem;
using guisupport::child;

namespace {

std::string firstLine(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line);
    return line;
}

int filesIn(const fs::path& dir) {
    int n = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir)) n += e.is_regular_file() ? 1 : 0;
    return n;
}

}  // namespace

class TestZexporterExport : public QObject {
    Q_OBJECT

    std::unique_ptr<zgui::SourceFolder> folder_;
    std::unique_ptr<FrmHaupt> w_;
    std::unique_ptr<QTemporaryDir> out_;

    fs::path out() const { return fs::path(out_->path().toStdString()); }
    QString outFile(const char* name) const { return QString::fromStdString((out() / name).string()); }
    QTreeWidget* tree() { return child<QTreeWidget>(w_.get(), "tvdb"); }
    QAction* action(int i) { return w_->findChild<QAction*>(QStringLiteral("mnuimpexportitem_%1").arg(i)); }

    QTreeWidgetItem* select(const std::string& key) { return zgui::click(tree(), key); }

    // What the user sees while a run goes on, looked at from inside the run: main window enabled,
    // progress window shown, on top, its caption and label.
    QStringList watched_;
    void watchRun() {
        watched_.clear();
        QTimer::singleShot(0, this, [this] {
            FrmProgress* p = w_->progressWindow();
            if (!p) return;
            watched_ << QString::number(w_->isEnabled()) << QString::number(p->isVisible())
                     << QString::number(p->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << p->windowTitle()
                     << child<QLabel>(p, "Label1")->text();
            guisupport::screenshot(p, QStringLiteral("zexporter_progress"));
        });
    }

    void checkIdleAfterRun() {
        QVERIFY(w_->isEnabled());
        QVERIFY(w_->progressWindow());
        QVERIFY(!w_->progressWindow()->isVisible());
    }

private slots:
    void initTestCase() {
        ui::MessageBox::setTestMode(true);
        ui::FileDialog::setTestMode(true);
        folder_ = std::make_unique<zgui::SourceFolder>();
    }
    void init() {
        ui::MessageBox::clearShown();
        out_ = std::make_unique<QTemporaryDir>();
        w_ = std::make_unique<FrmHaupt>(folder_->path());
        QVERIFY(w_->loadDB());
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }
    void cleanup() {
        w_.reset();
        out_.reset();
    }

    void clubExportThroughTheMenu() {
        const zexp::Source& src = *w_->source();
        const zexp::Club* club = nullptr;
        for (const zexp::Club& c : src.clubs())
            if (!club && c.firstTeam > 0 && src.team(c.firstTeam) && !src.teamPlayers(c.firstTeam).empty()) club = &c;
        QVERIFY(club);
        select("T" + std::to_string(club->firstTeam));
        QVERIFY(action(0)->isEnabled());

        ui::FileDialog::setNextFileName(outFile("verein.aet"));
        watchRun();
        action(0)->trigger();

        QCOMPARE(watched_.mid(0, 4), QStringList({"0", "1", "1", "Import/Export"}));
        QVERIFY(!watched_.value(4).isEmpty());
        checkIdleAfterRun();
        QVERIFY(ui::MessageBox::shown().isEmpty());

        // The selected club's file, alone (its contents are unit-tested).
        const fs::path file = out() / "verein.aet";
        QVERIFY(firstLine(file).starts_with(";Datenexport vom "));
        QCOMPARE(profile::getString("Team", "Name", "", file), club->name);
        QCOMPARE(filesIn(out()), 1);
    }

    // Entry 0 on a country writes its national team; a file that cannot be written is reported,
    // and the window is usable again for a run that works.
    void nationalTeamExportAndFailedWrite() {
        const zexp::Country& c = w_->source()->countries().back();
        select("L" + std::to_string(c.id));
        ui::FileDialog::setNextFileName(QString::fromStdString((out() / "fehlt" / "x.aet").string()));
        action(0)->trigger();
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        const auto& box = ui::MessageBox::shown().first();
        QCOMPARE(box.icon, ui::MessageBox::Warning);
        QCOMPARE(box.title, QStringLiteral("Export"));
        QVERIFY(box.text.contains(QStringLiteral("x.aet")));
        QVERIFY(!fs::exists(out() / "fehlt"));
        checkIdleAfterRun();

        ui::FileDialog::setNextFileName(outFile("national.aet"));
        action(0)->trigger();
        const fs::path file = out() / "national.aet";
        QCOMPARE(profile::getString("Team", "Name", "", file), c.name);
        // The target path stays in Label1; the country is named in the progress bar.
        QCOMPARE(child<QLabel>(w_->progressWindow(), "Label1")->text(), outFile("national.aet"));
        QCOMPARE(child<QProgressBar>(w_->progressWindow(), "probar")->format(), QString::fromStdString(c.name) + " %p%");
        QCOMPARE(ui::MessageBox::shown().size(), 1);
        checkIdleAfterRun();
    }

    // Entry 2 shows the node key first; the .lig file and the league folder with one club file
    // per team of the league land beside the chosen name.
    void leagueExportShowsTheKeyAndWritesTheFolder() {
        const zexp::League& l = w_->source()->leagues().front();
        const std::string key = "P" + std::to_string(l.id) + "L" + std::to_string(l.country);
        QTreeWidgetItem* league = select(key);
        QVERIFY(league && league->childCount() > 0);
        ui::FileDialog::setNextFileName(outFile("liga.lig"));
        action(2)->trigger();

        QCOMPARE(ui::MessageBox::shown().size(), 1);
        QCOMPARE(ui::MessageBox::shown().first().text, QString::fromStdString(key));
        QCOMPARE(ui::MessageBox::shown().first().icon, ui::MessageBox::NoIcon);
        const fs::path lig = out() / "liga.lig";
        QCOMPARE(profile::getString("LigaLand", "Land", "", lig), w_->source()->country(l.country)->name);
        const fs::path folder = out() / exportFileName(l.name);
        QVERIFY(fs::is_directory(folder));
        int aet = 0;
        for (const auto& e : fs::directory_iterator(folder)) aet += e.path().extension() == ".aet";
        QCOMPARE(aet, league->childCount());
        checkIdleAfterRun();
    }

    // "alle Vereine exportieren": one .lan and one folder per country, no .all file.
    void allCountriesExport() {
        ui::FileDialog::setNextFileName(outFile("alleSpieler.all"));
        action(3)->trigger();
        QVERIFY(!fs::exists(out() / "alleSpieler.all"));
        int lan = 0, dirs = 0;
        for (const auto& e : fs::directory_iterator(out())) {
            lan += e.path().extension() == ".lan";
            dirs += e.is_directory();
        }
        QCOMPARE(lan, static_cast<int>(w_->source()->countries().size()));
        QCOMPARE(dirs, lan);
        QVERIFY(ui::MessageBox::shown().isEmpty());
        checkIdleAfterRun();
    }

    // A cancelled save dialog exports nothing, for every entry.
    void cancelledDialogExportsNothing() {
        const zexp::League& l = w_->source()->leagues().front();
        select("P" + std::to_string(l.id) + "L" + std::to_string(l.country));
        for (int i : {1, 2, 3}) {
            QVERIFY(action(i)->isEnabled());
            ui::FileDialog::setNextFileName(QString());
            action(i)->trigger();
        }
        const zexp::Club& c = w_->source()->clubs().front();
        select("T" + std::to_string(c.firstTeam > 0 ? c.firstTeam : c.amateurTeam));
        ui::FileDialog::setNextFileName(QString());
        action(0)->trigger();

        QVERIFY(fs::is_empty(out()));
        QVERIFY(!w_->progressWindow());
        QVERIFY(w_->isEnabled());
        // Only entry 2's key message was shown.
        QCOMPARE(ui::MessageBox::shown().size(), 1);
    }
};

QTEST_MAIN(TestZexporterExport)
#include "test_zexporter_export.moc"
