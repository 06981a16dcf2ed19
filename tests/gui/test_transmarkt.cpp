// The transfer menu of the main window: "&Freie Spieler" with its question, and the transfer
// window with both modes, its lists, the marking, the swap button and both swaps.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "common/jetdb.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "guisupport.h"
#include "import/frmtransmarkt.h"
#include "import/market.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmpicklists.h"
#include "mainwindow_support.h"

using guisupport::child;
using guisupport::ProgramFolder;
using mwtest::action;
using mwtest::scalar;
using ui::MessageBox;

namespace {

std::vector<std::string> rowsOf(jet::Database& db, const std::string& sql) {
    std::vector<std::string> rows;
    for (jet::Recordset rs = db.query(sql); !rs.eof(); rs.moveNext()) {
        std::string row;
        for (int i = 0; i < rs.fieldCount(); ++i) row += rs.field(i).toString() + "|";
        rows.push_back(row);
    }
    return rows;
}

// Chooses an entry the way a user does: the combo's activation, not only its index.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void clickItem(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Which items of a list are dimmed: "d" dimmed, "M" marked.
QString marks(QTreeWidget* list) {
    QString out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out += list->topLevelItem(i)->data(0, FrmTransmarkt::kDimmedRole).toBool() ? QLatin1Char('d') : QLatin1Char('M');
    return out;
}

long long keyOf(QTreeWidget* list, int row) {
    return market::keyNumber(list->topLevelItem(row)->data(0, FrmTransmarkt::kKeyRole).toString().toStdString());
}

}  // namespace

class TestTransmarkt : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void freePlayersIntoTheTransferMarket() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        QVERIFY(action(window, "tb_impzentor4")->isEnabled());
        const std::string slotSql = "SELECT * FROM spieler WHERE NUMMER IN (SELECT spieler FROM vereinspieler WHERE verein=0) ORDER BY NUMMER";
        const auto before = rowsOf(window.dao().db(), slotSql);
        QCOMPARE(before.size(), std::size_t(1700));

        MessageBox::setNextAnswer(MessageBox::No);
        action(window, "mnutransferitem_0")->trigger();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().last().icon, MessageBox::Question);
        QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Transfermarkt"));
        QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Freie Spieler in Tranfermarkt kopieren (Zufallsauswahl)?"));
        QVERIFY(rowsOf(window.dao().db(), slotSql) == before);

        // Yes fills the market's slots with the free players (the draw is unit-tested).
        MessageBox::setNextAnswer(MessageBox::Yes);
        mwtest::clickNode(window, QStringLiteral("T0"));
        action(window, "mnutransferitem_0")->trigger();
        QCOMPARE(MessageBox::shown().size(), 2);
        const long long freePlayers = scalar(window, "SELECT count(*) FROM z4spieler");
        QCOMPARE(scalar(window, "SELECT count(*) FROM spieler WHERE NUMMER IN (SELECT spieler FROM vereinspieler "
                                "WHERE verein=0) AND NATION<>\"TRANSFERMARKT\""),
                 freePlayers);
        QCOMPARE(mwtest::status(window), QString());
        QVERIFY(window.centralWidget()->isEnabled());
        // The transfer market's list shows the new players.
        const std::string firstSlot = "SELECT min(spieler) FROM vereinspieler WHERE verein=0";
        const QString name = QString::fromStdString(
            mwtest::textOf(window, "SELECT NAME FROM spieler WHERE NUMMER=(" + firstSlot + ")"));
        auto* grid = window.findChild<QTableWidget*>(QStringLiteral("flxgrdspieler"));
        QVERIFY(grid);
        const QList<QTableWidgetItem*> shown = grid->findItems(name, Qt::MatchExactly);
        QVERIFY2(!shown.isEmpty(), qPrintable(name));
        grid->scrollToItem(shown.first(), QAbstractItemView::PositionAtTop);
        guisupport::screenshot(&window, QStringLiteral("transmarkt_freie_spieler"));
    }

    void swapWindowInBothModes() {
        ProgramFolder folder;
        FrmMain window(folder.path(), Registry(folder.prefix()));
        QVERIFY(mwtest::show(window));
        bool ran = false;
        mwtest::onNextModal([&](QWidget* modal) {
            ran = true;
            drive(window, modal);
            if (modal->isVisible()) child<QPushButton>(modal, "Command1")->click();
        });
        action(window, "mnutransferitem_1")->trigger();
        QVERIFY(ran);
        QVERIFY(!window.findChild<FrmTransmarkt*>(QStringLiteral("frmtransmarkt"))->isVisible());
    }

private:
    void drive(FrmMain& window, QWidget* modal) {
        auto* dialog = qobject_cast<FrmTransmarkt*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Transfermarkt"));
        auto* opt0 = child<QRadioButton>(dialog, "Opttransfer_0");
        auto* opt1 = child<QRadioButton>(dialog, "Opttransfer_1");
        auto* cbovereine = child<QComboBox>(dialog, "cbovereine");
        auto* editor0 = child<QComboBox>(dialog, "cbovereineeditor_0");
        auto* editor1 = child<QComboBox>(dialog, "cbovereineeditor_1");
        auto* left = child<QTreeWidget>(dialog, "lstvfspieler");
        auto* right = child<QTreeWidget>(dialog, "lstvtmarkt");
        auto* swap = child<QPushButton>(dialog, "btnspielertausch");
        QVERIFY(opt0 && opt1 && cbovereine && editor0 && editor1 && left && right && swap);
        QCOMPARE(opt1->text() + swap->text() + child<QPushButton>(dialog, "Command1")->text(),
                 QStringLiteral("EditorspielerSpieler tauschenAbbrechen"));
        QVERIFY(opt0->isChecked());
        QVERIFY(cbovereine->isVisible() && !editor0->isVisible() && editor1->isVisible());
        QVERIFY(!swap->isEnabled());
        QCOMPARE(left->headerItem()->text(2), QStringLiteral("Stärke"));
        QVERIFY(left->isColumnHidden(3) && right->isColumnHidden(3));

        // The clubs the free players came from, and every club of the game.
        QCOMPARE(cbovereine->count(), int(scalar(window, "SELECT count(*) FROM (SELECT DISTINCT verein FROM z4spieler)")));
        QCOMPARE(editor1->count(), window.pickLists().clubTexts().size());

        choose(cbovereine, 0);
        const std::string club = cbovereine->currentText().toStdString();
        QCOMPARE(left->topLevelItemCount(), int(scalar(window, "SELECT count(*) FROM z4spieler WHERE verein=\"" + club + "\"")));
        choose(editor1, 0);
        const long long clubNumber = editor1->currentData().toLongLong();
        QCOMPARE(right->topLevelItemCount(), 20);
        QCOMPARE(marks(left), QString(left->topLevelItemCount(), QLatin1Char('d')));
        QVERIFY(!swap->isEnabled());

        // One marked item per list; the button wants one on each side.
        clickItem(left, 1);
        QVERIFY(!swap->isEnabled());
        clickItem(right, 0);
        QVERIFY(swap->isEnabled());
        clickItem(right, 3);
        QCOMPARE(marks(right), QStringLiteral("dddM") + QString(16, QLatin1Char('d')));
        clickItem(left, 0);
        QCOMPARE(marks(left).left(2), QStringLiteral("Md"));
        guisupport::screenshot(dialog, QStringLiteral("frmtransmarkt_freie_spieler"));

        // Free-player mode: the game player takes the marked free player's data (the swap's rules
        // are unit-tested).
        const long long freeId = keyOf(left, 0);
        const long long player = keyOf(right, 3);
        const std::string freeName = mwtest::textOf(window, "SELECT name FROM z4spieler WHERE id=" + std::to_string(freeId));
        swap->click();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(mwtest::textOf(window, "SELECT NAME FROM spieler WHERE NUMMER=" + std::to_string(player)), freeName);
        // The lists show the new state, all dimmed again; the new free club is offered.
        QVERIFY(!swap->isEnabled());
        QCOMPARE(marks(right), QString(20, QLatin1Char('d')));
        QVERIFY(cbovereine->findText(editor1->currentText()) >= 0);

        // Editor mode: the left side becomes a club of the game.
        QTest::mouseClick(opt1, Qt::LeftButton);
        QVERIFY(!cbovereine->isVisible() && editor0->isVisible());
        QCOMPARE(left->topLevelItemCount(), 0);
        QCOMPARE(editor0->currentIndex(), -1);
        choose(editor0, 1);
        const long long clubA = editor0->currentData().toLongLong();
        QCOMPARE(left->topLevelItemCount(), 20);
        clickItem(left, 2);
        clickItem(right, 5);
        QVERIFY(swap->isEnabled());
        const long long a = keyOf(left, 2);
        const long long b = keyOf(right, 5);
        choose(editor0, 1);  // choosing a club again starts over
        QVERIFY(!swap->isEnabled());
        clickItem(left, 2);
        clickItem(right, 5);
        swap->click();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(scalar(window, "SELECT verein FROM vereinspieler WHERE spieler=" + std::to_string(a)), clubNumber);
        QCOMPARE(scalar(window, "SELECT verein FROM vereinspieler WHERE spieler=" + std::to_string(b)), clubA);

        // Back to the free players: the left list is empty until a club is chosen.
        QTest::mouseClick(opt0, Qt::LeftButton);
        QVERIFY(cbovereine->isVisible() && !editor0->isVisible());
        QCOMPARE(left->topLevelItemCount(), 0);
        QVERIFY(!swap->isEnabled());

        // A free player who is gone by the time of the swap: a message, nothing written.
        choose(cbovereine, 0);
        clickItem(left, 0);
        clickItem(right, 0);
        const long long gone = keyOf(left, 0);
        window.dao().execute("DELETE * FROM z4spieler WHERE id=" + std::to_string(gone));
        const std::string players = mwtest::textOf(window, "SELECT group_concat(NAME) FROM spieler");
        swap->click();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().last().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Den freien Spieler %1 gibt es nicht.").arg(gone));
        QCOMPARE(mwtest::textOf(window, "SELECT group_concat(NAME) FROM spieler"), players);
    }
};

QTEST_MAIN(TestTransmarkt)
#include "test_transmarkt.moc"
