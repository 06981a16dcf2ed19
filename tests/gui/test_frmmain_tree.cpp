// The world tree of the main window: what the first start builds, what each kind of node shows,
// the selection kept over a rebuild, and the context menu.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "common/jetsql.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "foundation/schema.h"
#include "guisupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmpicklists.h"
#include "mainwindow_support.h"

using guisupport::ProgramFolder;
using mwtest::clickNode;
using mwtest::scalar;
using mwtest::text;

class TestFrmMainTree : public QObject {
    Q_OBJECT

    template <typename T>
    static T* child(FrmMain& w, const char* name) {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
    static QTreeWidget* tree(FrmMain& w) { return child<QTreeWidget>(w, "tvdb"); }
    static QString clubKey(FrmMain& w, const char* nation) {
        return QStringLiteral("T%1").arg(scalar(w, std::string("SELECT min(NUMMER) FROM vereine WHERE NATION=\"") + nation + "\""));
    }

private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        ui::MessageBox::clearShown();
    }

    void firstStartBuildsTheWholeWorld() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        QTreeWidget* tvdb = tree(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Kickora Editor 1.1.4"));
        QVERIFY(child<QLabel>(window, "stbstatus_panel3")->text().startsWith(QStringLiteral("Kickora Editor 1.1.4 - ")));
        QVERIFY(ui::MessageBox::shown().isEmpty());

        // Root first, then the twelve continents in the list order.
        QCOMPARE(tvdb->topLevelItemCount(), 13);
        QCOMPARE(tvdb->topLevelItem(0)->text(0), QStringLiteral("Kickora"));
        for (int i = 0; i < schema::kContinentCount; ++i)
            QCOMPARE(tvdb->topLevelItem(1 + i)->text(0), QString::fromUtf8(schema::kContinents[i]));
        // The demo world has no transfer market: the first start creates it with 1700 players.
        QCOMPARE(tvdb->topLevelItem(0)->childCount(), 1);
        QCOMPARE(tvdb->topLevelItem(0)->child(0), window.node(QStringLiteral("T0")));
        QCOMPARE(window.node(QStringLiteral("T0"))->text(0), QStringLiteral("TRANSFERMARKT"));
        QCOMPARE(scalar(window, "SELECT count(*) FROM vereinspieler WHERE verein=0"), 1700LL);

        // Every country under its continent, and in the club editor's list (the placing of each
        // club is unit-tested on the same world); nothing is selected or open yet.
        long long countries = 0;
        for (int i = 1; i < tvdb->topLevelItemCount(); ++i) countries += tvdb->topLevelItem(i)->childCount();
        QCOMPARE(countries, scalar(window, "SELECT count(*) FROM vereine_national"));
        QCOMPARE(window.node(QStringLiteral("L1"))->parent()->text(0), QStringLiteral("West-Europa"));
        QCOMPARE(static_cast<long long>(child<QComboBox>(window, "cboland")->count()), countries);
        QVERIFY(!child<QPushButton>(window, "btnteamsave")->isEnabled());
        QVERIFY(!mwtest::action(window, "mnudateiitem_2")->isEnabled());
        guisupport::screenshot(&window, QStringLiteral("frmmain_first_start"));

        // A second start finds the market and creates nothing.
        window.load_dbteam();
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler WHERE NATION=\"TRANSFERMARKT\""), 1700LL);
    }

    void eachKindOfNodeShowsItsEntry() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        auto* tabs = child<QTabWidget>(window, "tabedit");
        auto* save = child<QPushButton>(window, "btnteamsave");
        auto* kontinent = child<QComboBox>(window, "cbokontinent");
        auto* cboland = child<QComboBox>(window, "cboland");

        // A club: club fields, no continent, country field and team-file commands usable.
        const QString club = clubKey(window, "Deutschland");
        clickNode(window, club);
        const long long clubNumber = club.mid(1).toLongLong();
        QCOMPARE(text(window, "txttnr"), QString::number(clubNumber));
        QCOMPARE(text(window, "txtteamlang").toStdString(),
                 mwtest::textOf(window, "SELECT NAME FROM vereine WHERE NUMMER=" + std::to_string(clubNumber)));
        QCOMPARE(cboland->currentText(), QStringLiteral("Deutschland"));
        QVERIFY(cboland->isEnabled());
        QVERIFY(!kontinent->isVisibleTo(&window));
        QVERIFY(save->isEnabled());
        QVERIFY(mwtest::action(window, "mnudateiitem_2")->isEnabled());
        QVERIFY(mwtest::action(window, "tb_save")->isEnabled());
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(window.treeTag(), club);
        QCOMPARE(tree(window)->property("tag").toString(), club);

        // A national team: continent shown, country field locked, no team-file save.
        clickNode(window, QStringLiteral("L1"));
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("Deutschland"));
        QVERIFY(kontinent->isVisibleTo(&window));
        QCOMPARE(kontinent->currentText(), QStringLiteral("West-Europa"));
        QVERIFY(!cboland->isEnabled());
        QVERIFY(save->isEnabled());
        QVERIFY(!mwtest::action(window, "mnudateiitem_2")->isEnabled());
        QVERIFY(!mwtest::action(window, "tb_save")->isEnabled());

        // The transfer market: only the logo frame, no save, the player tab.
        clickNode(window, QStringLiteral("T0"));
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("TRANSFERMARKT"));
        QCOMPARE(text(window, "txtgrafnr"), QStringLiteral("999"));
        QCOMPARE(text(window, "txtstadion"), QString());
        QVERIFY(!save->isEnabled());
        QVERIFY(child<QGroupBox>(window, "framelogo")->isEnabled());
        QVERIFY(!child<QGroupBox>(window, "frameteam")->isEnabled());
        QCOMPARE(tabs->currentIndex(), 1);

        // Root and continents disable the editor and remember the click.
        for (const QString& key : {QStringLiteral("L-1"), QStringLiteral("Atlantis")}) {
            clickNode(window, key);
            QVERIFY(!save->isEnabled());
            QVERIFY(!child<QGroupBox>(window, "framelogo")->isEnabled());
            QVERIFY(!child<QGroupBox>(window, "frameteam")->isEnabled());
            QCOMPARE(window.treeTag(), key);
        }
    }

    void countryListEdgeCases() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        // (Which countries the lists hold is unit-tested.) A club whose country is not in the list shows the first entry; the rest is filled.
        const QString club = clubKey(window, "Frankreich");
        window.dao().execute("UPDATE vereine_national SET NAME=\"Gallien\", NATION=\"Gallien\" WHERE NUMMER=3");
        window.load_dbteam();
        QVERIFY(!window.pickLists().countries().contains(QStringLiteral("Frankreich")));
        QVERIFY(mwtest::show(window));
        window.showteam(club.mid(1).toLongLong(), 1);
        auto* cboland = child<QComboBox>(window, "cboland");
        QCOMPARE(cboland->currentIndex(), 0);
        QCOMPARE(cboland->currentText(), window.pickLists().countries().first());
        QVERIFY(!text(window, "txtstadt").isEmpty());
        guisupport::screenshot(&window, QStringLiteral("frmmain_tree_unknown_country"));
    }

    // A click on the selected node shows it again from the database; the transfer market's click
    // draws no jerseys, so the club's stay as they were.
    void clickOnTheSelectedNodeShowsItAgain() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString club = clubKey(window, "Spanien");
        window.dao().execute("UPDATE vereine SET TRIKOT_ART=7, AUSWEICH_TRIKOT_ART=8, TW_TRIKOT_ART=9 WHERE NUMMER=" +
                             club.mid(1).toStdString());
        clickNode(window, club);
        const QString name = text(window, "txtteamlang");
        mwtest::type(window, "txtteamlang", QStringLiteral("Geaendert"));
        auto* players = child<QTableWidget>(window, "flxgrdspieler");
        QTest::mouseClick(players->viewport(), Qt::LeftButton, {},
                          players->visualRect(players->model()->index(0, 1)).center());
        auto* tabs = child<QTabWidget>(window, "tabedit");
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(child<QGroupBox>(window, "frameinfo")->isEnabled());

        clickNode(window, club);
        QCOMPARE(text(window, "txtteamlang"), name);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!child<QGroupBox>(window, "frameinfo")->isEnabled());
        QVERIFY(!child<QPushButton>(window, "btnspielerspeichern")->isEnabled());

        clickNode(window, QStringLiteral("T0"));
        QList<int> models;
        for (const char* k : {"pictrikot_0", "pictrikot_1", "pictrikot_2"})
            models << child<QLabel>(window, k)->property("tag").toInt();
        QCOMPARE(models, QList<int>({7, 8, 9}));
    }

    void rebuildKeepsTheSelection() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        const QString club = clubKey(window, "Spanien");
        clickNode(window, club);
        window.dao().execute("UPDATE vereine SET NAME=\"Umbenannt FC\" WHERE NUMMER=" + club.mid(1).toStdString());

        // The context menu's only entry rebuilds the tree; the clicked club is selected again
        // with the way down to it open, and the editor shows what the database holds now.
        auto* popup = window.findChild<QMenu*>(QStringLiteral("mnupopup"));
        QVERIFY(popup);
        QCOMPARE(popup->actions().size(), 1);
        QCOMPARE(popup->actions().first()->text(), QStringLiteral("aktualisieren"));
        popup->actions().first()->trigger();

        QTreeWidgetItem* item = window.node(club);
        QCOMPARE(tree(window)->currentItem(), item);
        QCOMPARE(item->text(0), QStringLiteral("Umbenannt FC"));
        QVERIFY(item->parent()->isExpanded());
        QVERIFY(item->parent()->parent()->isExpanded());
        QVERIFY(!window.node(QStringLiteral("West-Europa"))->isExpanded());
        QCOMPARE(text(window, "txtteamlang"), QStringLiteral("Umbenannt FC"));
        guisupport::screenshot(&window, QStringLiteral("frmmain_tree_refreshed"));
    }
};

QTEST_MAIN(TestFrmMainTree)
#include "test_frmmain_tree.moc"
