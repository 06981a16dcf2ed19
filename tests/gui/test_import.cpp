// The import of exporter and team files in the main window on a demo world: the target dialog
// for a club file, the workbench's wiring (keys, pop-up, drag and drop, both saves), the free
// players, the league walk, and the team-file dialog. The list rules themselves are unit-tested.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>

#include "common/jetsql.h"
#include "common/profile.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "config/cfgexport.h"
#include "editor/graphics/frmjerseys.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "import/frmz4import.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"

namespace fs = std::filesystem;
using guisupport::ProgramFolder;
using mwtest::action;
using mwtest::scalar;
using mwtest::textOf;
using ui::MessageBox;

namespace {

// A club file in the exporter's profile format, written key by key; its players "Import100"..
// are 4 goalkeepers, 8 defenders, 9 midfielders and 9 attackers.
void writeClubFile(const fs::path& file, const std::string& name, int players) {
    profile::Writer w(file);
    const std::pair<const char*, std::string> team[] = {
        {"Name", name}, {"Stadion", "Importarena"}, {"Stadt", "Importstadt"}, {"Land", "Deutschland"},
        {"Trikoth0", "200,10,5"}, {"Trikoth1", "250,250,250"}, {"Trikoth2", "0,0,128"},
        {"Trikota0", "20,120,20"}, {"Trikota1", "0,0,0"}, {"Trikota2", "255,255,0"},
        {"Stadionsitz", "23456"}, {"Stadionsteh", "7890"}, {"Spieler", std::to_string(players)}};
    for (const auto& [key, value] : team) w.writeString("Team", key, value);
    for (int i = 0; i < players; ++i) {
        const std::string section = "Spieler" + std::to_string(i + 1);
        const int position = i < 4 ? 0 : i < 12 ? 1 : i < 21 ? 2 : 3;
        const std::pair<const char*, std::string> keys[] = {
            {"Name", "Import" + std::to_string(100 + i)}, {"Vorname", "Vorname" + std::to_string(i)},
            {"Land", "Deutschland"}, {"Position", std::to_string(position)},
            {"Staerke", std::to_string(((i * 5) % 12 + 1) * 1000)}, {"Restspiele", "55"},
            {"Rueckennummer", std::to_string(i + 1)}, {"Hautfarbe", i % 5 == 0 ? "1" : "0"}, {"Haarfarbe", "3"}};
        for (const auto& [key, value] : keys) w.writeString(section, key, value);
    }
    QVERIFY(w.flush());
}

template <typename T>
T* in(QWidget* root, const char* name) {
    T* w = root->findChild<T*>(QString::fromLatin1(name));
    if (!w) qWarning("no widget %s", name);
    return w;
}

QStringList column(QTreeWidget* list, int c, int role = Qt::DisplayRole) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->data(c, role).toString();
    return out;
}

bool ghosted(QTreeWidget* list, int row) { return list->topLevelItem(row)->data(0, FrmZ4Import::kGhostRole).toBool(); }

void selectOnly(QTreeWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

// Sends a drop of a drag out of `source` onto the squad list, as the drag ends there.
void dropOnSquad(QWidget* wb, imp::List source) {
    QTreeWidget* squad = in<QTreeWidget>(wb, "lstveditornew");
    QMimeData data;
    data.setData(QString::fromLatin1(ImportList::kDragFormat), QByteArray::number(static_cast<int>(source)));
    const QPoint at = squad->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(squad->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(squad->property("tag").toString(), QStringLiteral("1"));
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(squad->viewport(), &drop);
    QCOMPARE(squad->property("tag").toString(), QStringLiteral("0"));
}

// The pop-up items 0, 6, 7, 8 over a list: "+" shown and enabled, "-" shown and disabled, "x" hidden.
QString popupState(FrmZ4Import* wb, QTreeWidget* list) {
    emit list->customContextMenuRequested(QPoint(5, 5));
    QString out;
    for (int i : {0, 6, 7, 8}) {
        auto* a = wb->findChild<QAction*>(QStringLiteral("mnupopup_item_%1").arg(i));
        out += !a->isVisible() ? QLatin1Char('x') : a->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
    }
    wb->popupMenu()->hide();
    return out;
}

// Runs `act` once the modal dialog of that name is shown (loading it may run events first).
void onModalNamed(const QString& name, std::function<void(QWidget*)> act) {
    mwtest::onModal([name](QWidget* dialog) { return dialog->objectName() == name && dialog->isVisible(); },
                    std::move(act));
}

// A demo world in a shown main window.
struct World {
    ProgramFolder folder;
    FrmMain window{folder.path(), Registry(folder.prefix())};
    World() { QVERIFY(mwtest::show(window)); }
    long long firstClubOf(const char* nation) {
        return scalar(window, std::string("SELECT min(NUMMER) FROM vereine WHERE NATION=\"") + nation + "\"");
    }
    // Opens `file` through the file dialog with the menu action; `dialog` answers the target dialog.
    bool open(const fs::path& file, const char* actionName, std::function<void(QWidget*)> dialog) {
        bool seen = false;
        mwtest::onNextModal([&](QWidget* d) {
            seen = true;
            dialog(d);
            if (d->isVisible()) in<QPushButton>(d, "btnabbrechen")->click();
        });
        ui::FileDialog::setNextFileName(QString::fromStdString(file.string()));
        action(window, actionName)->trigger();
        return seen;
    }
};

}  // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        ui::FileDialog::setTestMode(true);
    }

    void clubFileThroughDialogAndWorkbench() {
        World w;
        FrmMain& window = w.window;
        window.random().reseed(11);
        const long long club = w.firstClubOf("Deutschland");
        const std::string where = " FROM vereine WHERE NUMMER=" + std::to_string(club);
        const std::string clubName = textOf(window, "SELECT NAME" + where);
        const std::string kurz = textOf(window, "SELECT KURZNAME" + where);
        const fs::path file = w.folder.path() / "Importverein.aet";
        writeClubFile(file, clubName, 30);

        bool workbenchSeen = false;
        QString clubPlayer;  // the club player dropped into the squad
        const auto workbench = [&](QWidget* widget) {
            workbenchSeen = true;
            auto* wb = qobject_cast<FrmZ4Import*>(widget);
            QVERIFY(wb);
            QCOMPARE(wb->windowTitle(), QStringLiteral("Import"));
            QCOMPARE(wb->tag(), QString::number(club));
            // Loaded: club data from the file, the short name and number from the database.
            QCOMPARE(in<QLineEdit>(wb, "txtteamlang")->text(), QString::fromStdString(clubName));
            QCOMPARE(in<QLineEdit>(wb, "txtteamkurz")->text(), QString::fromStdString(kurz));
            QCOMPARE(in<QLineEdit>(wb, "txtstadt")->text(), QStringLiteral("Importstadt"));
            QCOMPARE(in<QComboBox>(wb, "cboland")->currentText(), QStringLiteral("Deutschland"));
            QCOMPARE(in<QLineEdit>(wb, "txtsitz")->text(), QStringLiteral("23456"));
            QCOMPARE(in<QLineEdit>(wb, "txttnr")->text(), QString::number(club));
            for (int i = 0; i < 4; ++i) QVERIFY(in<QCheckBox>(wb, qPrintable(QStringLiteral("chkimport_%1").arg(i)))->isChecked());
            QCOMPARE(in<QCheckBox>(wb, "chkimport_2")->text(), QStringLiteral("Teamtrikots  (Livespiel)"));
            // The home jersey in the file's colours.
            QCOMPARE(wb->findChild<QFrame*>(QStringLiteral("shpstreif_0"))->palette().color(QPalette::Window), QColor(200, 10, 5));
            in<QTabWidget>(wb, "tabedit")->setCurrentIndex(0);
            guisupport::screenshot(wb, QStringLiteral("frmz4import_team"));

            QTreeWidget* file = in<QTreeWidget>(wb, "lstvimport");
            QTreeWidget* db = in<QTreeWidget>(wb, "lstveditor");
            QTreeWidget* squad = in<QTreeWidget>(wb, "lstveditornew");
            QPushButton* save = in<QPushButton>(wb, "btnspielersave");
            QCOMPARE(file->topLevelItemCount(), 30);
            QCOMPARE(file->headerItem()->text(2), QStringLiteral("Stärke"));
            QCOMPARE(QStringList({file->topLevelItem(0)->text(0), file->topLevelItem(0)->text(1), file->topLevelItem(0)->text(2)}),
                     QStringList({"V. Import100", "TOR", "0,5 Sterne"}));
            QCOMPARE(db->topLevelItemCount(), 20);
            clubPlayer = QString::fromStdString(textOf(window, "SELECT NAME FROM spieler WHERE NUMMER=" +
                                db->topLevelItem(3)->data(0, FrmZ4Import::kKeyRole).toString().mid(2).toStdString()));
            QCOMPARE(squad->topLevelItemCount(), 0);
            QVERIFY(!save->isEnabled());

            // The tab strip switches between the file's and the club's players.
            auto* tabs = in<QTabBar>(wb, "tabspieler");
            in<QTabWidget>(wb, "tabedit")->setCurrentIndex(1);
            tabs->setCurrentIndex(1);
            QVERIFY(db->isVisible() && !file->isVisible());
            tabs->setCurrentIndex(0);
            QVERIFY(file->isVisible() && !db->isVisible());

            // The pop-up menu follows the list it opens over.
            selectOnly(file, {0});
            QCOMPARE(popupState(wb, file), QStringLiteral("++x+"));
            db->clearSelection();
            QCOMPARE(popupState(wb, db), QStringLiteral("x-x-"));
            QCOMPARE(popupState(wb, squad), QStringLiteral("xx+x"));
            file->clearSelection();

            // A preset fills the squad: the count label, the save button and the ghosted file rows follow.
            wb->findChild<QAction*>(QStringLiteral("mnupopup_selbest_1"))->trigger();
            QCOMPARE(squad->topLevelItemCount(), 20);
            QVERIFY(save->isEnabled());
            QCOMPARE(in<QLabel>(wb, "lblanzahl")->text(), QStringLiteral("20 von 20 Spielern"));
            int ghosts = 0;
            for (int i = 0; i < 30; ++i) ghosts += ghosted(file, i);
            QCOMPARE(ghosts, 20);
            // Ctrl+A and Ctrl+D reach the list: all rows not ghosted, then none.
            QTest::keyClick(file, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(file->selectedItems().size(), 10);
            QTest::keyClick(file, Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(file->selectedItems().size(), 0);
            guisupport::screenshot(wb, QStringLiteral("frmz4import_full"));

            // Del removes two rows: the save button goes off below 20, the file row is free again.
            const int fileRow = squad->topLevelItem(0)->data(0, FrmZ4Import::kKeyRole).toString().mid(2).toInt() - 1;
            QVERIFY(ghosted(file, fileRow));
            selectOnly(squad, {0, 19});
            QTest::keyClick(squad, Qt::Key_Delete);
            QCOMPARE(squad->topLevelItemCount(), 18);
            QVERIFY(!save->isEnabled());
            QVERIFY(!ghosted(file, fileRow));
            QVERIFY(file->topLevelItem(fileRow)->flags() & Qt::ItemIsSelectable);
            // Del in a source list removes nothing; Ctrl+C copies the row again.
            selectOnly(file, {fileRow});
            QTest::keyClick(file, Qt::Key_Delete);
            QCOMPARE(file->topLevelItemCount(), 30);
            QTest::keyClick(file, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(squad->topLevelItemCount(), 19);
            QVERIFY(ghosted(file, fileRow));

            // Drag and drop of a club player onto the squad copies it; the 20th row enables the save.
            selectOnly(db, {3});
            dropOnSquad(wb, imp::List::Club);
            QCOMPARE(squad->topLevelItemCount(), 20);
            QVERIFY(ghosted(db, 3));
            QVERIFY(column(squad, 0, FrmZ4Import::kKeyRole).contains(QStringLiteral("E_4")));
            QVERIFY(save->isEnabled());

            QTest::mouseClick(save, Qt::LeftButton);
            QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
            // Afterwards the club's list shows the saved squad, and the squad starts empty.
            QCOMPARE(db->topLevelItemCount(), 20);
            QCOMPARE(squad->topLevelItemCount(), 0);
            QVERIFY(!save->isEnabled());

            // Club save: a new name and a goalkeeper jersey chosen in the jersey chooser.
            in<QTabWidget>(wb, "tabedit")->setCurrentIndex(0);
            QLabel* keeper = in<QLabel>(wb, "pictrikot_2");
            bool chooserSeen = false;
            onModalNamed(QStringLiteral("frmtrikot"), [&](QWidget* chooser) {
                chooserSeen = true;
                if (auto* t = dynamic_cast<FrmTrikot*>(chooser)) t->select(0, 5);
                in<QPushButton>(chooser, "btnok")->click();
            });
            QTest::mouseDClick(keeper, Qt::LeftButton);
            QVERIFY(chooserSeen);
            QCOMPARE(keeper->property("tag").toInt(), 5);
            in<QLineEdit>(wb, "txtteamlang")->setText(QStringLiteral("Import \"Neu\""));
            QTest::mouseClick(in<QPushButton>(wb, "btnteamsave"), Qt::LeftButton);
            QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
        };
        // Target dialog: captions, the candidate, then the club chosen to replace.
        QVERIFY(w.open(file, "mnuimportitem_2", [&](QWidget* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmz4open"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Öffnen..."));
            QCOMPARE(in<QLabel>(d, "lblverein")->text(), QStringLiteral("Importverein"));
            auto* opt0 = in<QRadioButton>(d, "optnew_0");
            auto* opt1 = in<QRadioButton>(d, "optnew_1");
            QCOMPARE(opt0->text(), QStringLiteral("Freie Spieler"));
            QCOMPARE(opt0->toolTip(), QStringLiteral("Importiert alle Spiele in 'Freie Spieler'"));
            QCOMPARE(opt1->text(), QStringLiteral("Verein  ersetzen"));
            QCOMPARE(opt1->toolTip(), QStringLiteral("Ersetzt den ausgewählten Verein"));
            auto* cboverein = in<QComboBox>(d, "cboverein");
            auto* btnok = in<QPushButton>(d, "btnok");
            QVERIFY(!in<QComboBox>(d, "cboland")->isVisible());
            QVERIFY(!btnok->isEnabled() && !cboverein->isEnabled());
            opt1->click();
            QVERIFY(cboverein->isEnabled() && btnok->isEnabled());
            QVERIFY2(cboverein->currentText().startsWith(QString::fromStdString(clubName)), qPrintable(cboverein->currentText()));
            cboverein->setCurrentIndex(cboverein->findData(club));
            guisupport::screenshot(d, QStringLiteral("frmz4open"));
            mwtest::onNextModal([&](QWidget* wb) {
                workbench(wb);
                in<QPushButton>(wb, "btnabbrechen")->click();
            });
            QTest::mouseClick(btnok, Qt::LeftButton);
        }));
        QVERIFY(workbenchSeen);
        QVERIFY(window.centralWidget()->isEnabled());

        // The squad save wrote 19 file players and the dropped club player into the slots (their
        // order is unit-tested); the club save wrote its fields.
        const std::string squadSql = "SELECT NAME FROM spieler WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein=" +
                                  std::to_string(club) + ")";
        QCOMPARE(scalar(window, "SELECT count(*) FROM (" + squadSql + ") WHERE NAME LIKE \"Import1*\""), 19LL);
        QCOMPARE(scalar(window, "SELECT count(*) FROM (" + squadSql + ") WHERE NAME=" + jetsql::quote(clubPlayer.toStdString())), 1LL);
        QCOMPARE(textOf(window, "SELECT NAME" + where), std::string("Import \"Neu\""));
        QCOMPARE(textOf(window, "SELECT STADION_NAME" + where), std::string("Importarena"));
        QCOMPARE(textOf(window, "SELECT F_TRIKOT_SPIELER" + where), std::string("200, 10,  5"));
        QCOMPARE(scalar(window, "SELECT TW_TRIKOT_ART" + where), 5LL);
        // The tree shows the saved club.
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(club));
        QCOMPARE(window.node(window.treeTag())->text(0), QStringLiteral("Import \"Neu\""));
    }

    void freePlayersNeverShowTheWorkbench() {
        World w;
        FrmMain& window = w.window;
        const long long before = scalar(window, "SELECT count(*) FROM z4spieler");
        // A file of 30 players, then one without players: that stores nothing and leaves no text behind.
        struct Case { const char* file; const char* action; int players; long long added; QString status; };
        const Case cases[] = {{"Frei.aet", "tb_impzentor4", 30, 30, QStringLiteral("30 Spieler in Freie Spieler importiert!")},
                              {"Leer.aet", "mnuimportitem_2", 0, 30, QString()}};
        for (const Case& c : cases) {
            const fs::path file = w.folder.path() / c.file;
            writeClubFile(file, "Freiverein", c.players);
            QVERIFY2(w.open(file, c.action, [](QWidget* d) {
                in<QRadioButton>(d, "optnew_0")->click();
                QVERIFY(!in<QComboBox>(d, "cboverein")->isEnabled());
                QVERIFY(in<QPushButton>(d, "btnok")->isEnabled());
                QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
            }), c.file);
            QCOMPARE(scalar(window, "SELECT count(*) FROM z4spieler"), before + c.added);
            QCOMPARE(mwtest::status(w.window), c.status);
            QVERIFY(window.frmz4import().isHidden());
            QVERIFY(MessageBox::shown().isEmpty());
        }
    }

    void damagedOrMissingFileGivesDefaultsAndOneMessage() {
        World w;
        FrmMain& window = w.window;
        const long long club = w.firstClubOf("Deutschland");
        const QString city = QString::fromStdString(textOf(window, "SELECT STADT FROM vereine WHERE NUMMER=" + std::to_string(club)));
        const long long rows = scalar(window, "SELECT count(*) FROM spieler");
        const fs::path file = w.folder.path() / "Kaputt.aet";
        profile::writeString("Team", "Name", "Kaputt", file);
        profile::writeString("Team", "Spieler", "500", file);
        profile::writeString("Spieler1", "Name", "Text", file);
        profile::writeString("Spieler1", "Position", "abc", file);
        profile::writeString("Spieler2", "Name", "Riese", file);
        profile::writeString("Spieler2", "Staerke", "99999999999", file);

        FrmZ4Import& wb = window.frmz4import();
        for (const fs::path& path : {file, w.folder.path() / "fehlt.aet"}) {
            MessageBox::clearShown();
            window.setDlgopensaveFileName(QString::fromStdString(path.string()));
            wb.setTag(QString::number(club));
            for (int i = 0; i < 4; ++i) wb.setImportChecked(i, true);
            // One message either way: the corrected player count (a warning), or the missing file.
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().icon, path == file ? MessageBox::Warning : MessageBox::Critical);
            // A key the file lacks keeps the club's value.
            QCOMPARE(in<QLineEdit>(&wb, "txtstadt")->text(), city);
            QCOMPARE(column(in<QTreeWidget>(&wb, "lstvimport"), 0),
                     path == file ? QStringList({" . Text", " . Riese"}) : QStringList());
            mwtest::onNextModal([](QWidget* d) { in<QPushButton>(d, "btnabbrechen")->click(); });
            wb.showModal();
        }
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), rows);
    }

    void leagueFileOffersEachClubFileAndReportsUnsafeNames() {
        World w;
        const fs::path dir = w.folder.path() / "export";
        fs::create_directories(dir / "Liga A");
        fs::create_directories(dir / "Deutschland" / "Liga A");
        writeClubFile(dir / "Liga A" / "Erster.aet", "Erster", 30);
        writeClubFile(dir / "Deutschland" / "Liga A" / "Zweiter.aet", "Zweiter", 30);
        const fs::path lig = dir / "liga.lig";
        profile::writeString("LigaLand", "Land", "Deutschland", lig);
        const char* entries[] = {"Erster", "Zweiter", "Fehlt", "../../Erster"};
        for (int i = 0; i < 4; ++i) profile::writeString("Liga A", std::to_string(i + 1), entries[i], lig);
        QStringList offered;
        std::function<void(QWidget*)> answer = [&](QWidget* d) {
            offered << in<QLabel>(d, "lblverein")->text();
            if (offered.size() == 1) mwtest::onNextModal(answer);
            in<QPushButton>(d, "btnabbrechen")->click();
        };
        mwtest::onNextModal(answer);
        ui::FileDialog::setNextFileName(QString::fromStdString(lig.string()));
        action(w.window, "mnuimportitem_3")->trigger();
        QCOMPARE(offered, QStringList({"Erster", "Zweiter"}));
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("Erster")));
        QVERIFY(w.window.centralWidget()->isEnabled());
        QCOMPARE(mwtest::status(w.window), QString());
    }

    void teamFileAsNewClubAndOverAnother() {
        World w;
        FrmMain& window = w.window;
        const long long source = w.firstClubOf("Polen");
        const fs::path tea = w.folder.path() / "Mannschaft.tea";
        cfg::writeTeamFile(window.dao().db(), tea, source, cfg::systemNow, window);
        const long long next = scalar(window, "SELECT max(maxnr) FROM maxteamnr") + 1;
        const long long players = scalar(window, "SELECT count(*) FROM spieler");
        mwtest::clickNode(window, QStringLiteral("T%1").arg(source));
        QVERIFY(w.open(tea, "tb_open", [](QWidget* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmopen"));
            QCOMPARE(in<QLabel>(d, "lblverein")->text(), QStringLiteral("Mannschaft"));
            auto* opt0 = in<QRadioButton>(d, "optnew_0");
            QCOMPARE(opt0->text(), QStringLiteral(" Neuer Verein"));
            QCOMPARE(opt0->toolTip(), QStringLiteral("Erstellt ein neuen Team im ausgewählten Land"));
            opt0->click();
            auto* cboland = in<QComboBox>(d, "cboland");
            QVERIFY(cboland->isVisible() && !in<QComboBox>(d, "cboverein")->isVisible());
            QCOMPARE(cboland->currentText(), QStringLiteral("Polen"));
            QVERIFY(in<QPushButton>(d, "btnok")->isEnabled());
            // Replacing needs a club: with none proposed or chosen, btnok waits.
            in<QRadioButton>(d, "optnew_1")->click();
            in<QComboBox>(d, "cboverein")->setCurrentIndex(-1);
            QVERIFY(!in<QPushButton>(d, "btnok")->isEnabled());
            opt0->click();
            guisupport::screenshot(d, QStringLiteral("frmopen"));
            QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
        }));
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
        QCOMPARE(textOf(window, "SELECT NATION FROM vereine WHERE NUMMER=" + std::to_string(next)), std::string("Polen"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), players + 20);
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(next));
        QVERIFY(window.node(window.treeTag()));

        // Over another club: the proposal is a club of the file's name, the choice is the user's.
        const long long target = w.firstClubOf("Deutschland");
        const std::string sourceName = textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(source));
        QVERIFY(w.open(tea, "tb_open", [&](QWidget* d) {
            in<QRadioButton>(d, "optnew_1")->click();
            auto* cboverein = in<QComboBox>(d, "cboverein");
            QVERIFY(cboverein->isVisible() && !in<QComboBox>(d, "cboland")->isVisible());
            QVERIFY2(cboverein->currentText().startsWith(QString::fromStdString(sourceName)), qPrintable(cboverein->currentText()));
            cboverein->setCurrentIndex(cboverein->findData(target));
            QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
        }));
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
        QCOMPARE(textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(target)), sourceName);
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), players + 20);
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(target));
    }
};

QTEST_MAIN(TestImport)
#include "test_import.moc"
