// The import of exporter and team files in the main window on a demo world: the target dialog
// for a club file, the workbench with presets, keys, drag and drop and both saves, the free
// players, the league walk, and the team-file dialog.
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
#include <algorithm>
#include <filesystem>
#include <map>

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

struct FilePlayer {
    std::string name, vorname;
    int position;
    int strength;
};

// 30 players: 4 goalkeepers, 8 defenders, 9 midfielders, 9 attackers, strengths spread.
std::vector<FilePlayer> filePlayers() {
    std::vector<FilePlayer> players;
    for (int i = 0; i < 30; ++i) {
        const int position = i < 4 ? 0 : i < 12 ? 1 : i < 21 ? 2 : 3;
        players.push_back({"Import" + std::to_string(100 + i), "Vorname" + std::to_string(i), position,
                           ((i * 5) % 12 + 1) * 1000});
    }
    return players;
}

// A club file in the exporter's profile format, written key by key.
void writeClubFile(const fs::path& file, const std::string& name, const std::vector<FilePlayer>& players) {
    profile::Writer w(file);
    const std::pair<const char*, std::string> team[] = {
        {"Name", name}, {"Stadion", "Importarena"}, {"Stadt", "Importstadt"}, {"Land", "Deutschland"},
        {"Trikoth0", "200,10,5"}, {"Trikoth1", "250,250,250"}, {"Trikoth2", "0,0,128"},
        {"Trikota0", "20,120,20"}, {"Trikota1", "0,0,0"}, {"Trikota2", "255,255,0"},
        {"Stadionsitz", "23456"}, {"Stadionsteh", "7890"}, {"Spieler", std::to_string(players.size())}};
    for (const auto& [key, value] : team) w.writeString("Team", key, value);
    for (std::size_t i = 0; i < players.size(); ++i) {
        const std::string section = "Spieler" + std::to_string(i + 1);
        const FilePlayer& p = players[i];
        const std::pair<const char*, std::string> keys[] = {
            {"Name", p.name}, {"Vorname", p.vorname}, {"Land", "Deutschland"}, {"Position", std::to_string(p.position)},
            {"Staerke", std::to_string(p.strength)}, {"Restspiele", "55"}, {"Rueckennummer", std::to_string(i + 1)},
            {"Hautfarbe", i % 5 == 0 ? "1" : "0"}, {"Haarfarbe", "3"}};
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

QTreeWidget* listOf(QWidget* wb, const char* name) { return in<QTreeWidget>(wb, name); }

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

// The squad's file players of one position, strongest first.
std::vector<int> squadStrengths(QTreeWidget* squad, const std::vector<FilePlayer>& players, int position) {
    std::vector<int> out;
    QTreeWidget* file = squad->window()->findChild<QTreeWidget*>(QStringLiteral("lstvimport"));
    for (const QString& key : column(squad, 0, FrmZ4Import::kKeyRole)) {
        if (!key.startsWith(QLatin1Char('I'))) continue;
        const QString fileKey = file->topLevelItem(key.mid(2).toInt() - 1)->data(0, FrmZ4Import::kKeyRole).toString();
        const FilePlayer& p = players[static_cast<std::size_t>(fileKey.mid(2).toInt())];
        if (p.position == position) out.push_back(p.strength);
    }
    std::sort(out.rbegin(), out.rend());
    return out;
}

// Sends a drop of a drag out of `source` onto the squad list, as the drag ends there.
void dropOnSquad(QWidget* wb, imp::List source) {
    QTreeWidget* squad = listOf(wb, "lstveditornew");
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

// The pop-up items 0, 6, 7, 8 over a list: "+" shown and enabled, "-" shown and disabled,
// "x" hidden.
QString popupState(FrmZ4Import* wb, QTreeWidget* list) {
    emit list->customContextMenuRequested(QPoint(5, 5));
    QString out;
    for (int i : {0, 6, 7, 8}) {
        auto* a = wb->findChild<QAction*>(QStringLiteral("mnupopup_item_%1").arg(i));
        out += !a->isVisible() ? QLatin1Char('x') : a->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
    }
    return out;
}

// Runs `act` once the modal dialog of that name is shown (loading it may run events first).
void onModalNamed(const QString& name, std::function<void(QWidget*)> act) {
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [name, act, attempt](int left) {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog && dialog->objectName() == name && dialog->isVisible()) {
            act(dialog);
            return;
        }
        if (left > 0) QTimer::singleShot(20, [attempt, left] { (*attempt)(left - 1); });
    };
    QTimer::singleShot(0, [attempt] { (*attempt)(250); });
}

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
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        window.random().reseed(11);
        const long long club = scalar(window, "SELECT min(NUMMER) FROM vereine WHERE NATION=\"Deutschland\"");
        const std::string where = " FROM vereine WHERE NUMMER=" + std::to_string(club);
        const std::string clubName = textOf(window, "SELECT NAME" + where);
        const std::string kurz = textOf(window, "SELECT KURZNAME" + where);
        const std::vector<FilePlayer> players = filePlayers();
        const fs::path file = folder.path() / "Importverein.aet";
        writeClubFile(file, clubName, players);

        // Target dialog: captions, candidate, then the club chosen to replace.
        bool dialogSeen = false, workbenchSeen = false;
        std::map<QString, QString> dbNames;  // lstveditor key -> database name, before the save
        QStringList expected;                // names the slots must hold after the squad save
        const auto workbench = [&](QWidget* w) {
            workbenchSeen = true;
            auto* wb = qobject_cast<FrmZ4Import*>(w);
            QVERIFY(wb);
            QCOMPARE(wb->windowTitle(), QStringLiteral("Import"));
            QCOMPARE(wb->tag(), QString::number(club));
            // Loaded: club data from the file, the short name from the database.
            QCOMPARE(in<QLineEdit>(wb, "txtteamlang")->text(), QString::fromStdString(clubName));
            QCOMPARE(in<QLineEdit>(wb, "txtteamkurz")->text(), QString::fromStdString(kurz));
            QCOMPARE(in<QLineEdit>(wb, "txtstadt")->text(), QStringLiteral("Importstadt"));
            QCOMPARE(in<QComboBox>(wb, "cboland")->currentText(), QStringLiteral("Deutschland"));
            QCOMPARE(in<QLineEdit>(wb, "txtstadion")->text(), QStringLiteral("Importarena"));
            QCOMPARE(in<QLineEdit>(wb, "txtsitz")->text(), QStringLiteral("23456"));
            QCOMPARE(in<QLineEdit>(wb, "txttnr")->text(), QString::number(club));
            for (int i = 0; i < 4; ++i) QVERIFY(in<QCheckBox>(wb, qPrintable(QStringLiteral("chkimport_%1").arg(i)))->isChecked());
            QCOMPARE(in<QCheckBox>(wb, "chkimport_2")->text(), QStringLiteral("Teamtrikots  (Livespiel)"));
            // The home jersey in the file's colours.
            auto* stripe = wb->findChild<QFrame*>(QStringLiteral("shpstreif_0"));
            QCOMPARE(stripe->palette().color(QPalette::Window), QColor(200, 10, 5));
            QVERIFY(in<QPushButton>(wb, "btnteamsave")->isEnabled());
            in<QTabWidget>(wb, "tabedit")->setCurrentIndex(0);
            guisupport::screenshot(wb, QStringLiteral("frmz4import_team"));

            QTreeWidget* file = listOf(wb, "lstvimport");
            QTreeWidget* db = listOf(wb, "lstveditor");
            QTreeWidget* squad = listOf(wb, "lstveditornew");
            QPushButton* save = in<QPushButton>(wb, "btnspielersave");
            QCOMPARE(file->topLevelItemCount(), 30);
            QCOMPARE(file->headerItem()->text(2), QStringLiteral("Stärke"));
            QCOMPARE(file->topLevelItem(0)->text(0), QStringLiteral("V. Import100"));
            QCOMPARE(file->topLevelItem(0)->text(1), QStringLiteral("TOR"));
            QCOMPARE(file->topLevelItem(0)->text(2), QStringLiteral("0,5 Sterne"));
            QCOMPARE(file->topLevelItem(29)->text(3), QStringLiteral("3"));
            QCOMPARE(db->topLevelItemCount(), 20);
            QVERIFY(column(db, 0, FrmZ4Import::kKeyRole).first().startsWith(QStringLiteral("E_")));
            for (int i = 0; i < db->topLevelItemCount(); ++i)
                dbNames[QStringLiteral("%1").arg(i + 1)] = QString::fromStdString(textOf(
                    window, "SELECT NAME FROM spieler WHERE NUMMER=" +
                                db->topLevelItem(i)->data(0, FrmZ4Import::kKeyRole).toString().mid(2).toStdString()));
            QCOMPARE(squad->topLevelItemCount(), 0);
            QVERIFY(!save->isEnabled());

            // The tab strip switches between the file's and the club's players.
            auto* tabs = in<QTabBar>(wb, "tabspieler");
            in<QTabWidget>(wb, "tabedit")->setCurrentIndex(1);
            tabs->setCurrentIndex(1);
            QVERIFY(db->isVisible() && !file->isVisible());
            tabs->setCurrentIndex(0);
            QVERIFY(file->isVisible() && !db->isVisible());
            guisupport::screenshot(wb, QStringLiteral("frmz4import_loaded"));

            // The pop-up menu per list: items 0, 6, 7, 8 as shown/enabled pairs.
            selectOnly(file, {0});
            QCOMPARE(popupState(wb, file), QStringLiteral("++x+"));
            wb->popupMenu()->hide();
            db->clearSelection();
            QCOMPARE(popupState(wb, db), QStringLiteral("x-x-"));
            wb->popupMenu()->hide();
            QCOMPARE(popupState(wb, squad), QStringLiteral("xx+x"));
            wb->popupMenu()->hide();
            file->clearSelection();

            // Preset "2 TOR, 6 ABW, 6 MIT, 6 STU": 20 rows, the strongest of each position.
            wb->findChild<QAction*>(QStringLiteral("mnupopup_selbest_1"))->trigger();
            QCOMPARE(squad->topLevelItemCount(), 20);
            QVERIFY(save->isEnabled());
            QCOMPARE(in<QLabel>(wb, "lblanzahl")->text(), QStringLiteral("20 von 20 Spielern"));
            const int counts[4] = {2, 6, 6, 6};
            for (int p = 0; p < 4; ++p) {
                std::vector<int> all;
                for (const FilePlayer& fp : players)
                    if (fp.position == p) all.push_back(fp.strength);
                std::sort(all.rbegin(), all.rend());
                all.resize(counts[p]);
                QCOMPARE(squadStrengths(squad, players, p), all);
            }
            QCOMPARE(column(squad, 3), QStringList({"0", "0", "1", "1", "1", "1", "1", "1", "2", "2", "2", "2", "2", "2",
                                                    "3", "3", "3", "3", "3", "3"}));
            int ghosts = 0;
            for (int i = 0; i < 30; ++i) ghosts += ghosted(file, i);
            QCOMPARE(ghosts, 20);
            // Ctrl+A, Ctrl+U and Ctrl+D act on the rows that are not ghosted.
            QTest::keyClick(file, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(file->selectedItems().size(), 10);
            for (QTreeWidgetItem* item : file->selectedItems()) QVERIFY(!item->data(0, FrmZ4Import::kGhostRole).toBool());
            selectOnly(file, {0});
            QTest::keyClick(file, Qt::Key_U, Qt::ControlModifier);
            QCOMPARE(file->selectedItems().size(), 9);
            QVERIFY(!file->topLevelItem(0)->isSelected());
            QTest::keyClick(file, Qt::Key_D, Qt::ControlModifier);
            QCOMPARE(file->selectedItems().size(), 0);
            guisupport::screenshot(wb, QStringLiteral("frmz4import_full"));

            // Del removes two rows: the save button goes off below 20, the file row is free again.
            const QString removedKey = squad->topLevelItem(0)->data(0, FrmZ4Import::kKeyRole).toString();
            const int fileRow = removedKey.mid(2).toInt() - 1;
            QVERIFY(ghosted(file, fileRow));
            selectOnly(squad, {0, 19});
            QTest::keyClick(squad, Qt::Key_Delete);
            QCOMPARE(squad->topLevelItemCount(), 18);
            QVERIFY(!save->isEnabled());
            QVERIFY(!ghosted(file, fileRow));
            QVERIFY(file->topLevelItem(fileRow)->flags() & Qt::ItemIsSelectable);
            // Del in a source list removes nothing.
            selectOnly(file, {fileRow});
            QTest::keyClick(file, Qt::Key_Delete);
            QCOMPARE(file->topLevelItemCount(), 30);
            // ... and Ctrl+C copies it again.
            QTest::keyClick(file, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(squad->topLevelItemCount(), 19);
            QVERIFY(ghosted(file, fileRow));
            QVERIFY(!save->isEnabled());

            // Drag and drop of a club player onto the squad copies it; the 20th row enables the save.
            selectOnly(db, {3});
            dropOnSquad(wb, imp::List::Club);
            QCOMPARE(squad->topLevelItemCount(), 20);
            QVERIFY(ghosted(db, 3));
            QVERIFY(column(squad, 0, FrmZ4Import::kKeyRole).contains(QStringLiteral("E_4")));
            QVERIFY(save->isEnabled());
            // A full squad takes nothing more; the row stays selected and free.
            selectOnly(db, {5});
            QTest::keyClick(db, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(squad->topLevelItemCount(), 20);
            QVERIFY(!ghosted(db, 5) && db->topLevelItem(5)->isSelected());

            // The names the slots must hold, in squad order.
            for (const QString& key : column(squad, 0, FrmZ4Import::kKeyRole)) {
                const int row = key.mid(2).toInt();
                if (key.startsWith(QLatin1Char('E'))) {
                    expected << dbNames[QString::number(row)];
                } else {
                    const int n = file->topLevelItem(row - 1)->data(0, FrmZ4Import::kKeyRole).toString().mid(2).toInt();
                    expected << QString::fromStdString(players[static_cast<std::size_t>(n)].name);
                }
            }
            QTest::mouseClick(save, Qt::LeftButton);
            QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
            // Afterwards the club's list shows the saved squad, and the squad starts empty.
            QCOMPARE(db->topLevelItemCount(), 20);
            QCOMPARE(squad->topLevelItemCount(), 0);
            QVERIFY(!save->isEnabled());

            // Club save: name, city, stadium, the file's jersey colours and a goalkeeper jersey
            // chosen in the jersey chooser.
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
        const auto dialog = [&](QWidget* d) {
            dialogSeen = true;
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
            // The candidate: an entry whose name holds the file's club name.
            QVERIFY(cboverein->isEnabled());
            QVERIFY2(cboverein->currentText().startsWith(QString::fromStdString(clubName)), qPrintable(cboverein->currentText()));
            QVERIFY(btnok->isEnabled());
            cboverein->setCurrentIndex(cboverein->findData(club));
            guisupport::screenshot(d, QStringLiteral("frmz4open"));
            mwtest::onNextModal([&](QWidget* w) {
                workbench(w);
                in<QPushButton>(w, "btnabbrechen")->click();
            });
            QTest::mouseClick(btnok, Qt::LeftButton);
            if (d->isVisible()) in<QPushButton>(d, "btnabbrechen")->click();
        };
        mwtest::onNextModal(dialog);
        ui::FileDialog::setNextFileName(QString::fromStdString(file.string()));
        action(window, "mnuimportitem_2")->trigger();
        QVERIFY(dialogSeen);
        QVERIFY(workbenchSeen);
        QVERIFY(window.centralWidget()->isEnabled());

        // The squad save wrote the slots in slot order.
        QStringList slotNames;
        jet::Recordset& rs = window.dao().query(
            "SELECT s.NAME FROM spieler s INNER JOIN vereinspieler v ON s.NUMMER=v.spieler WHERE v.verein=" +
            std::to_string(club) + " ORDER BY v.spieler");
        for (; !rs.eof(); rs.moveNext()) slotNames << QString::fromStdString(rs.field(0).toString());
        QCOMPARE(slotNames, expected);
        QCOMPARE(textOf(window, "SELECT NAME" + where), std::string("Import \"Neu\""));
        QCOMPARE(textOf(window, "SELECT STADT" + where), std::string("Importstadt"));
        QCOMPARE(textOf(window, "SELECT STADION_NAME" + where), std::string("Importarena"));
        QCOMPARE(textOf(window, "SELECT F_TRIKOT_SPIELER" + where), std::string("200, 10,  5"));
        QCOMPARE(scalar(window, "SELECT TW_TRIKOT_ART" + where), 5LL);
        // The tree shows the saved club.
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(club));
        QCOMPARE(window.node(window.treeTag())->text(0), QStringLiteral("Import \"Neu\""));
    }

    void freePlayersNeverShowTheWorkbench() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const fs::path file = folder.path() / "Frei.aet";
        writeClubFile(file, "Freiverein", filePlayers());
        const long long before = scalar(window, "SELECT count(*) FROM z4spieler");
        bool seen = false;
        mwtest::onNextModal([&](QWidget* d) {
            seen = true;
            in<QRadioButton>(d, "optnew_0")->click();
            QVERIFY(!in<QComboBox>(d, "cboverein")->isEnabled());
            QVERIFY(in<QPushButton>(d, "btnok")->isEnabled());
            QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
            if (d->isVisible()) d->close();
        });
        ui::FileDialog::setNextFileName(QString::fromStdString(file.string()));
        action(window, "tb_impzentor4")->trigger();
        QVERIFY(seen);
        QCOMPARE(scalar(window, "SELECT count(*) FROM z4spieler"), before + 30);
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("stbstatus_panel1"))->text(),
                 QStringLiteral("30 Spieler in Freie Spieler importiert!"));
        QVERIFY(window.frmz4import().isHidden());
        QCOMPARE(window.findChild<QTreeWidget*>(QStringLiteral("lstvimport"))->topLevelItemCount(), 0);
        QVERIFY(MessageBox::shown().isEmpty());

        // A file without players stores nothing and leaves no "saving" text behind.
        const fs::path empty = folder.path() / "Leer.aet";
        writeClubFile(empty, "Leer", {});
        mwtest::onNextModal([&](QWidget* d) {
            in<QRadioButton>(d, "optnew_0")->click();
            QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
            if (d->isVisible()) d->close();
        });
        ui::FileDialog::setNextFileName(QString::fromStdString(empty.string()));
        action(window, "mnuimportitem_2")->trigger();
        QCOMPARE(scalar(window, "SELECT count(*) FROM z4spieler"), before + 30);
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("stbstatus_panel1"))->text(), QString());
    }

    void damagedOrMissingFileGivesDefaultsAndOneMessage() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const long long club = scalar(window, "SELECT min(NUMMER) FROM vereine WHERE NATION=\"Deutschland\"");
        const std::string where = " FROM vereine WHERE NUMMER=" + std::to_string(club);
        const QString city = QString::fromStdString(textOf(window, "SELECT STADT" + where));
        const long long rows = scalar(window, "SELECT count(*) FROM spieler");
        const fs::path file = folder.path() / "Kaputt.aet";
        profile::writeString("Team", "Name", "Kaputt", file);
        profile::writeString("Team", "Spieler", "500", file);
        profile::writeString("Spieler1", "Name", "Text", file);
        profile::writeString("Spieler1", "Position", "abc", file);
        profile::writeString("Spieler1", "Staerke", "viel", file);
        profile::writeString("Spieler2", "Name", "Riese", file);
        profile::writeString("Spieler2", "Position", "-7", file);
        profile::writeString("Spieler2", "Staerke", "99999999999", file);
        profile::writeString("Spieler3", "Name", "Leer", file);

        FrmZ4Import& wb = window.frmz4import();
        for (const fs::path& path : {file, folder.path() / "fehlt.aet"}) {
            MessageBox::clearShown();
            window.setDlgopensaveFileName(QString::fromStdString(path.string()));
            wb.setTag(QString::number(club));
            for (int i = 0; i < 4; ++i) wb.setImportChecked(i, true);
            // One message either way: the corrected player count, or the missing file.
            QCOMPARE(MessageBox::shown().size(), 1);
            // A key the file lacks keeps the club's value.
            QCOMPARE(in<QLineEdit>(&wb, "txtstadt")->text(), city);
            QTreeWidget* list = listOf(&wb, "lstvimport");
            if (path == file) {
                QCOMPARE(MessageBox::shown().first().icon, MessageBox::Warning);
                QCOMPARE(in<QLineEdit>(&wb, "txtteamlang")->text(), QStringLiteral("Kaputt"));
                QCOMPARE(column(list, 0), QStringList({" . Text", " . Riese", " . Leer"}));
                QCOMPARE(column(list, 3), QStringList({"3", "3", "3"}));
                QCOMPARE(column(list, 2), QStringList({"0,0 Sterne", "6,0 Sterne", "0,0 Sterne"}));
            } else {
                QCOMPARE(MessageBox::shown().first().icon, MessageBox::Critical);
                QCOMPARE(list->topLevelItemCount(), 0);
            }
            mwtest::onNextModal([](QWidget* w) { in<QPushButton>(w, "btnabbrechen")->click(); });
            wb.showModal();
        }
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), rows);
    }

    void leagueFileOffersEachClubFileAndReportsUnsafeNames() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const fs::path dir = folder.path() / "export";
        fs::create_directories(dir / "Liga A");
        fs::create_directories(dir / "Deutschland" / "Liga A");
        writeClubFile(dir / "Liga A" / "Erster.aet", "Erster", filePlayers());
        writeClubFile(dir / "Deutschland" / "Liga A" / "Zweiter.aet", "Zweiter", filePlayers());
        const fs::path lig = dir / "liga.lig";
        profile::writeString("LigaLand", "Land", "Deutschland", lig);
        profile::writeString("Liga A", "1", "Erster", lig);
        profile::writeString("Liga A", "2", "Zweiter", lig);
        profile::writeString("Liga A", "3", "Fehlt", lig);
        profile::writeString("Liga A", "4", "../../Erster", lig);
        QStringList offered;
        std::function<void(QWidget*)> answer = [&](QWidget* d) {
            offered << in<QLabel>(d, "lblverein")->text();
            if (offered.size() == 1) mwtest::onNextModal(answer);
            in<QPushButton>(d, "btnabbrechen")->click();
        };
        mwtest::onNextModal(answer);
        ui::FileDialog::setNextFileName(QString::fromStdString(lig.string()));
        action(window, "mnuimportitem_3")->trigger();
        QCOMPARE(offered, QStringList({"Erster", "Zweiter"}));
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("Erster")));
        QVERIFY(window.centralWidget()->isEnabled());
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("stbstatus_panel1"))->text(), QString());
    }

    void teamFileAsNewClub() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const long long source = scalar(window, "SELECT min(NUMMER) FROM vereine WHERE NATION=\"Polen\"");
        const fs::path tea = folder.path() / "Mannschaft.tea";
        cfg::writeTeamFile(window.dao().db(), tea, source, cfg::systemNow, window);
        const long long next = scalar(window, "SELECT max(maxnr) FROM maxteamnr") + 1;
        const long long players = scalar(window, "SELECT count(*) FROM spieler");
        mwtest::clickNode(window, QStringLiteral("T%1").arg(source));
        bool seen = false;
        mwtest::onNextModal([&](QWidget* d) {
            seen = true;
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
            if (d->isVisible()) in<QPushButton>(d, "btnabbrechen")->click();
        });
        ui::FileDialog::setNextFileName(QString::fromStdString(tea.string()));
        action(window, "tb_open")->trigger();
        QVERIFY(seen);
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
        QCOMPARE(scalar(window, "SELECT count(*) FROM vereine WHERE NUMMER=" + std::to_string(next)), 1LL);
        QCOMPARE(textOf(window, "SELECT NATION FROM vereine WHERE NUMMER=" + std::to_string(next)), std::string("Polen"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), players + 20);
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(next));
        QVERIFY(window.node(window.treeTag()));

        // Over another club: the proposal is a club of the file's name, the choice is the user's.
        const long long target = scalar(window, "SELECT min(NUMMER) FROM vereine WHERE NATION=\"Deutschland\"");
        const std::string sourceName = textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(source));
        seen = false;
        mwtest::onNextModal([&](QWidget* d) {
            seen = true;
            in<QRadioButton>(d, "optnew_1")->click();
            auto* cboverein = in<QComboBox>(d, "cboverein");
            QVERIFY(cboverein->isVisible() && !in<QComboBox>(d, "cboland")->isVisible());
            QVERIFY2(cboverein->currentText().startsWith(QString::fromStdString(sourceName)), qPrintable(cboverein->currentText()));
            cboverein->setCurrentIndex(cboverein->findData(target));
            QTest::mouseClick(in<QPushButton>(d, "btnok"), Qt::LeftButton);
            if (d->isVisible()) in<QPushButton>(d, "btnabbrechen")->click();
        });
        ui::FileDialog::setNextFileName(QString::fromStdString(tea.string()));
        action(window, "tb_open")->trigger();
        QVERIFY(seen);
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(MessageBox::shown().value(0).text));
        QCOMPARE(textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(target)), sourceName);
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler"), players + 20);
        QCOMPARE(window.treeTag(), QStringLiteral("T%1").arg(target));
    }
};

QTEST_MAIN(TestImport)
#include "test_import.moc"
