// The config commands of the main window: export and import of the club and player files,
// the team file of the selected club, template clubs and the competition file. Every command
// is checked for a disabled window while it works and an enabled one afterwards.
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "common/profile.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "testsupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/newitem.h"
#include "mainwindow_support.h"

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;
using guisupport::ProgramFolder;
using mwtest::action;
using mwtest::scalar;
using mwtest::textOf;
using ui::FileDialog;
using ui::MessageBox;

namespace {

QString qpath(const fs::path& p) { return QString::fromStdString(p.string()); }

bool takesInput(FrmMain& w) {
    return w.centralWidget()->isEnabled() && w.menuBar()->isEnabled() &&
           w.findChild<QToolBar*>(QStringLiteral("tbtoolbar"))->isEnabled();
}

// Samples the window on every pass of the event loop, which the work's progress reports run.
class BusyProbe {
public:
    explicit BusyProbe(FrmMain& w) : w_(w) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const QString text = mwtest::status(w_);
            if (text.isEmpty()) return;
            ++samples_;
            if (takesInput(w_) && !enabledWhileWorking_.contains(text)) enabledWhileWorking_ << text;
        });
        timer_.start();
    }
    // At least one sample was taken during the work and none saw the window taking input.
    void verify() const {
        QVERIFY2(samples_ > 0, "no progress report during the work");
        QVERIFY2(enabledWhileWorking_.isEmpty(), qPrintable(enabledWhileWorking_.join(QLatin1Char(','))));
    }

private:
    FrmMain& w_;
    QTimer timer_;
    int samples_ = 0;
    QStringList enabledWhileWorking_;
};

// Triggers an action with the next file dialog answered by `name` and filter entry `filter`.
void answerAndRun(FrmMain& w, const char* action, const QString& name, int filter = 0) {
    FileDialog::setNextFileName(name, filter);
    mwtest::action(w, action)->trigger();
}

// Triggers an action with the next file dialog answered, watching the window stay disabled.
void runWatched(FrmMain& w, const char* name, const fs::path& file = {}, int filter = 0) {
    BusyProbe probe(w);
    if (!file.empty()) FileDialog::setNextFileName(qpath(file), filter);
    action(w, name)->trigger();
    probe.verify();
}

// After a command: the window takes input, no busy cursor, the status panel is cleared.
void expectIdle(FrmMain& w) {
    QVERIFY(takesInput(w));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(mwtest::status(w), QString());
}

// Exactly one message box, of this kind; cleared afterwards.
void expectOneBox(MessageBox::Icon icon) {
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().icon, icon);
    MessageBox::clearShown();
}

void expectNoBox() { QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text)); }

long long occurrences(const std::string& bytes, const std::string& needle) {
    long long n = 0;
    for (std::size_t p = bytes.find(needle); p != std::string::npos; p = bytes.find(needle, p + 1)) ++n;
    return n;
}

// What the database holds, in a form two states can be compared by.
std::string fingerprint(FrmMain& w) {
    std::string out;
    for (const char* table : {"vereine", "vereine_national", "spieler"})
        out += std::string(table) + ":" + textOf(w, std::string("SELECT count(*) FROM ") + table) + ":" +
               textOf(w, std::string("SELECT sum(NUMMER) FROM ") + table) + ":" +
               textOf(w, std::string("SELECT group_concat(NAME) FROM ") + table) + "\n";
    out += "vereinspieler:" + textOf(w, "SELECT count(*) FROM vereinspieler") + ":" +
           textOf(w, "SELECT sum(verein * 7 + spieler) FROM vereinspieler") + "\n";
    return out;
}

// Breaks the value of the n-th (0-based) NUMMER line of a config file; returns that line's number.
int breakNumber(const fs::path& file, int n) {
    std::string bytes = readFile(file);
    std::size_t key = bytes.find("        NUMMER ");
    while (n-- > 0 && key != std::string::npos) key = bytes.find("        NUMMER ", key + 1);
    if (key == std::string::npos) return -1;
    bytes.replace(key, bytes.find("\r\n", key) - key, "        NUMMER                   zwoelf");
    writeFile(file, bytes);
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(key), '\n'));
}

struct Window {
    ProgramFolder folder;
    FrmMain w{folder.path(), Registry(folder.prefix())};
    fs::path out = folder.path() / "ausgabe";
    Window() { fs::create_directories(out); }
};

}  // namespace

class TestFrmMainConfig : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        FileDialog::setTestMode(true);
    }

    // Export both files from the menu and the toolbar, change the database, import them back:
    // the database and the tree are as before the change.
    void exportAndImportRoundTrip() {
        Window t;
        FrmMain& w = t.w;
        QVERIFY(mwtest::show(w));
        const fs::path clubs = t.out / "1_tm.cfg";
        const fs::path players = t.out / "1_sp.cfg";
        const std::string before = fingerprint(w);

        runWatched(w, "mnuexportitem_0", clubs, 1);
        answerAndRun(w, "tb_expconfig", qpath(players), 2);
        expectNoBox();
        expectIdle(w);

        // The filter entry chose the writer (the files' bytes are unit-tested).
        const std::string clubBytes = readFile(clubs);
        const std::string playerBytes = readFile(players);
        QVERIFY(occurrences(clubBytes, "\r\nNEUES_TEAM\r\n") > 0 && occurrences(playerBytes, "\r\nNEUER_SPIELER\r\n") > 0);
        QCOMPARE(occurrences(clubBytes, "NEUER_SPIELER") + occurrences(playerBytes, "NEUES_TEAM"), 0LL);

        // A club renamed and shown so in the tree, a player renamed, a membership dropped.
        const long long club = scalar(w, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0");
        const QString key = QStringLiteral("T%1").arg(club);
        const QString name = w.node(key)->text(0);
        const long long player = scalar(w, "SELECT min(spieler) FROM vereinspieler WHERE verein=" + std::to_string(club));
        w.dao().db().execute("UPDATE vereine SET NAME=\"Umbenannt\" WHERE NUMMER=" + std::to_string(club));
        w.dao().db().execute("UPDATE spieler SET NAME=\"Umbenannt\" WHERE NUMMER=" + std::to_string(player));
        w.dao().db().execute("DELETE FROM vereinspieler WHERE spieler=" + std::to_string(player));
        action(w, "mnupopupitem_0")->trigger();
        QCOMPARE(w.node(key)->text(0), QStringLiteral("Umbenannt"));
        QVERIFY(fingerprint(w) != before);

        // Clubs back through the menu: the tree is built anew and shows the old name.
        mwtest::clickNode(w, key);
        runWatched(w, "mnuimportitem_0", clubs, 1);
        expectNoBox();
        QCOMPARE(w.node(key)->text(0), name);
        QCOMPARE(mwtest::text(w, "txtteamlang"), name);
        expectIdle(w);

        // Players back through the toolbar: the list shows the old name, the player editor is
        // disabled until a player is clicked again.
        auto* grid = w.findChild<QTableWidget*>(QStringLiteral("flxgrdspieler"));
        QVERIFY(grid->rowCount() > 0);
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QWidget* framedaten = w.findChild<QWidget*>(QStringLiteral("framedaten"));
        QVERIFY(framedaten->isEnabled());
        answerAndRun(w, "tb_impconfig", qpath(players), 2);
        expectNoBox();
        QVERIFY(!framedaten->isEnabled());
        QCOMPARE(fingerprint(w), before);
        bool listed = false;
        for (int r = 0; r < grid->rowCount(); ++r)
            listed |= grid->item(r, 0) && grid->item(r, 0)->text().toLongLong() == player;
        QVERIFY(listed);
        QVERIFY(takesInput(w));
        guisupport::screenshot(&w, QStringLiteral("frmmain_config_imported"));
    }

    // Cancel, or the proposed "*.cfg" left as it was, does nothing at all. A broken record stops
    // the import with the file line in the message; nothing of the import stays, the tree is not
    // touched and the window takes input again. A failed export is shown too.
    void cancelsAndFailuresChangeNothing() {
        Window t;
        FrmMain& w = t.w;
        QVERIFY(mwtest::show(w));
        const std::string untouched = fingerprint(w);
        const long long club = scalar(w, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0");
        mwtest::clickNode(w, QStringLiteral("T%1").arg(club));
        QTreeWidgetItem* item = w.node(QStringLiteral("T%1").arg(club));
        w.setStatusText(QStringLiteral("vorher"));

        for (const char* name : {"mnuexportitem_0", "mnuimportitem_0", "tb_expconfig", "tb_impconfig"}) {
            for (int filter : {1, 2}) {
                answerAndRun(w, name, QString(), filter);
                answerAndRun(w, name, qpath(t.out / "*.cfg"), filter);
            }
        }
        answerAndRun(w, "mnudateiitem_2", QString());

        QVERIFY(fs::is_empty(t.out));
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(fingerprint(w), untouched);
        QCOMPARE(w.node(QStringLiteral("T%1").arg(club)), item);  // the tree was not rebuilt
        QCOMPARE(mwtest::status(w), QStringLiteral("vorher"));
        QVERIFY(takesInput(w));

        const fs::path clubs = t.out / "1_tm.cfg";
        answerAndRun(w, "mnuexportitem_0", qpath(clubs), 1);
        QVERIFY(MessageBox::shown().isEmpty());

        // Records before the broken one would be imported already without the transaction (the
        // player file's rollback is unit-tested).
        const int clubLine = breakNumber(clubs, 12);
        QVERIFY(clubLine > 0);
        w.dao().db().execute("UPDATE vereine SET NAME=\"Nach dem Export\" WHERE NUMMER=" +
                             std::to_string(scalar(w, "SELECT max(NUMMER) FROM vereine")));
        action(w, "mnupopupitem_0")->trigger();
        const std::string before = fingerprint(w);
        QTreeWidgetItem* anyNode = w.node(QStringLiteral("T%1").arg(scalar(w, "SELECT max(NUMMER) FROM vereine")));
        QVERIFY(anyNode);

        runWatched(w, "mnuimportitem_0", clubs, 1);
        const QString text = MessageBox::shown().value(0).text;
        QVERIFY2(text.contains(QStringLiteral("Zeile %1 ").arg(clubLine)) && text.contains(QStringLiteral("nicht verändert")),
                 qPrintable(text));
        expectOneBox(MessageBox::Critical);
        QCOMPARE(fingerprint(w), before);
        QCOMPARE(w.node(QStringLiteral("T%1").arg(scalar(w, "SELECT max(NUMMER) FROM vereine"))), anyNode);
        expectIdle(w);

        // An export into a folder that is not there.
        answerAndRun(w, "tb_expconfig", qpath(t.out / "fehlt" / "1_tm.cfg"), 1);
        expectOneBox(MessageBox::Critical);
        QVERIFY(!fs::exists(t.out / "fehlt"));
        expectIdle(w);
    }

    // "&Speichern..." writes the selected club with its players; a club that exists only in the
    // tree asks to be saved first, and a failed write is shown.
    void teamFileTemplateClubsAndCompetitionFile() {
        Window t;
        FrmMain& w = t.w;
        QVERIFY(mwtest::show(w));
        const long long club = scalar(w, "SELECT max(NUMMER) FROM vereine WHERE NUMMER IN (SELECT verein FROM vereinspieler)");
        mwtest::clickNode(w, QStringLiteral("T%1").arg(club));

        const fs::path file = t.out / "verein.tea";
        writeFile(file, "alt\r\n");  // the dialog asked before overwriting
        runWatched(w, "mnudateiitem_2", file);
        expectNoBox();
        expectIdle(w);
        // The selected club was written (the file's contents are unit-tested).
        QCOMPARE(profile::getString("Team", "NUMMER", "", file), std::to_string(club));

        // Through the toolbar into a missing folder: the user is told.
        answerAndRun(w, "tb_save", qpath(t.out / "fehlt" / "verein.tea"));
        expectOneBox(MessageBox::Critical);
        expectIdle(w);

        // A new club not saved yet: nothing to write, the dialog is not shown.
        const std::string country = textOf(w, "SELECT NATION FROM vereine WHERE NUMMER=" + std::to_string(club));
        w.addNewItem(newitem::NewClub, QString::fromStdString(country));
        QVERIFY(w.treeTag().endsWith(QLatin1Char('_')));
        QVERIFY(action(w, "mnudateiitem_2")->isEnabled());
        const fs::path unsaved = t.out / "neu.tea";
        answerAndRun(w, "mnudateiitem_2", qpath(unsaved));
        expectOneBox(MessageBox::Information);
        QVERIFY(!fs::exists(unsaved));

        // The hidden tools entries: template clubs for every country, then the competition file.
        MessageBox::clearShown();
        QVERIFY(!action(w, "mnutoolsitem_4")->isVisible() && !action(w, "mnutoolsitem_7")->isVisible());
        const long long clubsBefore = scalar(w, "SELECT count(*) FROM vereine");
        const long long wanted = scalar(w, "SELECT sum(teams) FROM e_landkontinent WHERE teams > 0");
        QVERIFY(wanted > 0);
        runWatched(w, "mnutoolsitem_4");
        expectNoBox();
        QCOMPARE(scalar(w, "SELECT count(*) FROM vereine"), clubsBefore + wanted);
        expectIdle(w);

        // The tree shows the first template club of the first country under its country.
        const std::string id = textOf(w, "SELECT wettbewerb FROM e_landkontinent WHERE teams > 0 ORDER BY id");
        const long long number = scalar(w, "SELECT NUMMER FROM vereine WHERE NAME=\"" + id + "001\"");
        QTreeWidgetItem* node = w.node(QStringLiteral("T%1").arg(number));
        QVERIFY(node);
        QCOMPARE(node->text(0), QString::fromStdString(id + "001"));
        QCOMPARE(node->parent()->text(0).toStdString(),
                 textOf(w, "SELECT land FROM e_landkontinent WHERE teams > 0 ORDER BY id"));
        guisupport::screenshot(&w, QStringLiteral("frmmain_config_templates"));

        const fs::path competition = t.folder.path() / "1_we.cfg";
        QVERIFY(!fs::exists(competition));
        action(w, "mnutoolsitem_7")->trigger();
        expectNoBox();
        QVERIFY(takesInput(w));
        QVERIFY(occurrences(readFile(competition), "NEUER_WETTBEWERB\r\n") > 0);

        // The file cannot be written: the user is told and the window takes input again.
        fs::remove(competition);
        fs::create_directories(competition / "belegt");
        action(w, "mnutoolsitem_7")->trigger();
        expectOneBox(MessageBox::Critical);
        QVERIFY(fs::is_directory(competition));
        QVERIFY(takesInput(w));
    }

    // The real dialog, as the commands open it, tells which of the two same-pattern filter
    // entries was chosen.
    void realDialogTellsTheFilterEntry() {
        FileDialog::setTestMode(false);
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        const QString filter = QStringLiteral("Kickora Vereine (1_tm.cfg)|*.cfg|Kickora Spieler (1_sp.cfg)|*.cfg");
        for (int entry : {2, 1}) {
            QString shownFolder;
            mwtest::onNextModal([&](QWidget* widget) {
                auto* dialog = qobject_cast<QFileDialog*>(widget);
                QVERIFY(dialog);
                shownFolder = dialog->directory().absolutePath();
                dialog->selectNameFilter(dialog->nameFilters().value(entry - 1));
                dialog->selectFile(QStringLiteral("neu.cfg"));
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            });
            int chosen = 0;
            const QString name = FileDialog::getSaveFileName(nullptr, QStringLiteral("Export"), folder + QStringLiteral("*.cfg"),
                                                             filter, QStringLiteral("cfg"), &chosen);
            QCOMPARE(chosen, entry);
            QCOMPARE(name, folder + QStringLiteral("neu.cfg"));
            QCOMPARE(shownFolder, dir.path());
        }
        FileDialog::setTestMode(true);
    }
};

QTEST_MAIN(TestFrmMainConfig)
#include "test_frmmain_config.moc"
