// Finding and checking in the main window: the find bar over the tree, the player search, the
// player list's sorting and the database check, on a demo world.
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "common/jetdb.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"

using guisupport::ProgramFolder;
using mwtest::scalar;

namespace {

template <typename T>
T* child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

QStringList column(QTableWidget* grid, int c) {
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r) out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return out;
}

void clickHeader(QTableWidget* grid, int c) {
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2));
}

}  // namespace

class TestFind : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolder> folder_;
    long long club_ = 0, player_ = 0;

private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        folder_ = std::make_unique<ProgramFolder>();
        jet::Database db = jet::Database::open(folder_->path() / "kickora.mdb");
        club_ = db.query("SELECT min(NUMMER) FROM vereine WHERE NATION = \"Deutschland\"").field(0).toInt();
        player_ = db.query("SELECT min(spieler) FROM vereinspieler WHERE verein = " + std::to_string(club_)).field(0).toInt();
        db.execute("UPDATE vereine SET NAME = \"FC Müller 04\" WHERE NUMMER = " + std::to_string(club_));
        db.execute("UPDATE spieler SET NAME = \"Qüxbaum\", VORNAME = \"Zoë\" WHERE NUMMER = " + std::to_string(player_));
    }

    void findBarFiltersTheTreeWithoutCaseAndAccents() {
        FrmMain window(folder_->path(), Registry(folder_->prefix()));
        QVERIFY(mwtest::show(window));
        auto* bar = child<QLineEdit>(&window, "txtsuche");
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_F));
        QCOMPARE(QApplication::focusWidget(), bar);
        QTest::keyClicks(bar, "MULLER");
        const QString key = QStringLiteral("T%1").arg(club_);
        QTreeWidgetItem* club = window.node(key);
        QVERIFY(!club->isHidden());
        QVERIFY(club->parent()->isExpanded());
        QVERIFY(window.node(QStringLiteral("L2"))->isHidden());
        QVERIFY(club->parent()->child(club->parent()->indexOfChild(club) == 0 ? 1 : 0)->isHidden());
        guisupport::screenshot(&window, QStringLiteral("find_tree_filtered"));

        bar->clear();
        QVERIFY(!window.node(QStringLiteral("L2"))->isHidden());
        QVERIFY(!club->parent()->child(1)->isHidden());
    }

    void playerSearchShowsThePlayerInTheMainWindow() {
        FrmMain window(folder_->path(), Registry(folder_->prefix()));
        QVERIFY(mwtest::show(window));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
        auto* search = child<QDialog>(&window, "frmspielersuche");
        QVERIFY(search && search->isVisible());
        QTest::keyClicks(child<QLineEdit>(search, "txtname"), "qux zo");  // no player has both: nothing
        QTest::mouseClick(child<QPushButton>(search, "btnsuchen"), Qt::LeftButton);
        auto* results = child<QTableWidget>(search, "lstergebnis");
        QCOMPARE(results->rowCount(), 0);
        child<QLineEdit>(search, "txtname")->setText(QStringLiteral("ZOE"));
        QTest::mouseClick(child<QPushButton>(search, "btnsuchen"), Qt::LeftButton);
        QCOMPARE(results->rowCount(), 1);
        QCOMPARE(results->item(0, 1)->text(), QStringLiteral("Qüxbaum"));
        QCOMPARE(results->item(0, 7)->text(), QStringLiteral("FC Müller 04"));
        guisupport::screenshot(search, QStringLiteral("find_player_search"));

        const QRect cell = results->visualItemRect(results->item(0, 1));
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(child<QTreeWidget>(&window, "tvdb")->currentItem(), window.node(QStringLiteral("T%1").arg(club_)));
        QCOMPARE(mwtest::text(window, "txtspielernr"), QString::number(player_));
        QCOMPARE(mwtest::text(window, "txtspielername"), QStringLiteral("Qüxbaum"));
    }

    void headerClickSortsAndARefreshRestoresTheOrder() {
        FrmMain window(folder_->path(), Registry(folder_->prefix()));
        QVERIFY(mwtest::show(window));
        mwtest::clickNode(window, QStringLiteral("T%1").arg(club_));
        auto* grid = child<QTableWidget>(&window, "flxgrdspieler");
        const QStringList original = column(grid, 0);
        clickHeader(grid, 0);
        QStringList numbers = column(grid, 0);
        QVERIFY(std::is_sorted(numbers.begin(), numbers.end(), [](const QString& a, const QString& b) { return a.toLongLong() < b.toLongLong(); }));
        clickHeader(grid, 0);
        numbers = column(grid, 0);
        QVERIFY(std::is_sorted(numbers.begin(), numbers.end(), [](const QString& a, const QString& b) { return a.toLongLong() > b.toLongLong(); }));
        // The light-yellow rows stay every second row.
        QCOMPARE(grid->item(1, 1)->background().color(), QColor(255, 255, 192));
        QCOMPARE(grid->item(0, 1)->background().style(), Qt::NoBrush);
        window.mnupopup_Click(0);
        QCOMPARE(column(grid, 0), original);
    }

    void databaseCheckListsAndSelectsTheFinding() {
        {
            jet::Database db = jet::Database::open(folder_->path() / "kickora.mdb");
            db.execute("UPDATE spieler SET [STÄRKE] = 12000, [MAX_STÄRKE] = 6000 WHERE NUMMER = " + std::to_string(player_));
        }
        FrmMain window(folder_->path(), Registry(folder_->prefix()));
        QVERIFY(mwtest::show(window));
        mwtest::action(window, "mnubearbeitenitem_6")->trigger();
        auto* check = child<QDialog>(&window, "frmdbcheck");
        QVERIFY(check && check->isVisible());
        auto* findings = child<QTreeWidget>(check, "tvbefunde");
        QCOMPARE(findings->topLevelItemCount(), 1);
        QTreeWidgetItem* finding = findings->topLevelItem(0)->child(0);
        QCOMPARE(finding->text(0), QString::number(player_));
        guisupport::screenshot(check, QStringLiteral("find_database_check"));
        QTest::mouseClick(findings->viewport(), Qt::LeftButton, {}, findings->visualItemRect(finding).center());
        QCOMPARE(mwtest::text(window, "txtspielernr"), QString::number(player_));
    }
};

QTEST_MAIN(TestFind)
#include "test_find.moc"
