// Rückgängig and Wiederherstellen in the main window: Ctrl+Z after a player save brings every
// game table back, the list shows it, Ctrl+Y redoes it; the Bearbeiten menu names the command.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "../unit/gamedump.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "mainwindow/frmmain.h"
#include "mainwindow_support.h"

using guisupport::ProgramFolder;

namespace {

QString cellOf(QTableWidget* grid, long long player, int column) {
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 0) && grid->item(r, 0)->text().toLongLong() == player) return grid->item(r, column)->text();
    return {};
}

// The two entries as the opened menu shows them: caption and whether enabled.
QStringList entries(FrmMain& w) {
    auto* menu = w.findChild<QMenu*>(QStringLiteral("mnubearbeiten"));
    emit menu->aboutToShow();
    QStringList out;
    for (const char* name : {"mnubearbeitenitem_0", "mnubearbeitenitem_1"}) {
        QAction* a = mwtest::action(w, name);
        out << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (aus)"));
    }
    emit menu->aboutToHide();
    return out;
}

}  // namespace

class TestFrmMainUndo : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ui::MessageBox::setTestMode(true);
        ui::MessageBox::clearShown();
    }

    void ctrlZUndoesAPlayerSaveAndCtrlYRedoesIt() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        QCOMPARE(entries(window), QStringList({QStringLiteral("Rückgängig (aus)"), QStringLiteral("Wiederherstellen (aus)")}));

        mwtest::clickNode(window, QStringLiteral("T%1").arg(mwtest::scalar(window, "SELECT min(NUMMER) FROM vereine WHERE NUMMER > 0")));
        auto* grid = window.findChild<QTableWidget*>(QStringLiteral("flxgrdspieler"));
        const long long player = grid->item(0, 0)->text().toLongLong();
        const QString name = cellOf(grid, player, 1);
        mwtest::clickCell(grid, 0, 1);
        const std::string before = testsupport::dumpGameTables(window.dao().db());
        mwtest::type(window, "txtspielername", QStringLiteral("Rueckgang"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnspielerspeichern")), Qt::LeftButton);
        QVERIFY(ui::MessageBox::shown().isEmpty());
        const std::string after = testsupport::dumpGameTables(window.dao().db());
        QVERIFY(after != before);
        QCOMPARE(entries(window), QStringList({QStringLiteral("Rückgängig: Spieler speichern"), QStringLiteral("Wiederherstellen (aus)")}));

        auto* menu = window.findChild<QMenu*>(QStringLiteral("mnubearbeiten"));
        menu->popup(window.mapToGlobal(window.menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        guisupport::screenshot(menu, QStringLiteral("frmmain_bearbeiten_menu"));
        menu->hide();

        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(testsupport::dumpGameTables(window.dao().db()), before);
        QCOMPARE(cellOf(grid, player, 1), name);
        QCOMPARE(entries(window), QStringList({QStringLiteral("Rückgängig (aus)"), QStringLiteral("Wiederherstellen: Spieler speichern")}));

        QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(testsupport::dumpGameTables(window.dao().db()), after);
        QCOMPARE(cellOf(grid, player, 1), QStringLiteral("Rueckgang"));
        QVERIFY(ui::MessageBox::shown().isEmpty());
    }
};

QTEST_MAIN(TestFrmMainUndo)
#include "test_frmmain_undo.moc"
