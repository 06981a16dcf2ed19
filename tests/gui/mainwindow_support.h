#pragma once
// Helpers of the main-window tests: clicking tree nodes, reading fields, answering dialogs.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "foundation/dao.h"
#include "mainwindow/frmmain.h"

namespace mwtest {

// Shows the window at a common desktop size (the offscreen screen is small) and waits for it.
inline bool show(FrmMain& window) {
    window.resize(1280, 800);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// Clicks a node the way a user does: its parents opened, scrolled into view, left button.
inline void clickNode(FrmMain& window, const QString& key) {
    QTreeWidgetItem* item = window.node(key);
    QVERIFY2(item, qPrintable(QStringLiteral("no node ") + key));
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tvdb"));
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(tree->currentItem(), item);
}

// Clicks a cell the way a user does: scrolled into view, left button.
inline void clickCell(QTableWidget* grid, int row, int column) {
    grid->scrollTo(grid->model()->index(row, column));
    const QRect rect = grid->visualRect(grid->model()->index(row, column));
    QVERIFY(rect.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
}

// The status bar's first panel, where long work reports.
inline QString status(QWidget& window) { return window.findChild<QLabel*>(QStringLiteral("stbstatus_panel1"))->text(); }

inline QLineEdit* edit(FrmMain& window, const char* name) { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }
inline QString text(FrmMain& window, const char* name) { return edit(window, name)->text(); }
// Types into a field; text beyond ASCII (which the test keyboard lacks) is set directly.
inline void type(FrmMain& window, const char* name, const QString& value) {
    QLineEdit* e = edit(window, name);
    e->selectAll();
    bool ascii = true;
    for (QChar c : value) ascii &= c.unicode() < 128;
    if (ascii && !value.isEmpty()) QTest::keyClicks(e, value);
    else e->setText(value);
}

inline QAction* action(FrmMain& window, const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }

inline long long scalar(FrmMain& window, const std::string& sql) { return window.dao().query(sql, 1).field(0).toInt(); }
inline std::string textOf(FrmMain& window, const std::string& sql) { return window.dao().query(sql, 1).field(0).toString(); }

// Runs `act` on the first modal dialog `wanted` accepts, once it is shown (its exec() is waiting).
// The retry holds itself only through its pending timer, so nothing is left behind.
inline void onModal(std::function<bool(QWidget*)> wanted, std::function<void(QWidget*)> act) {
    auto attempt = std::make_shared<std::function<void(int)>>();
    std::weak_ptr<std::function<void(int)>> self = attempt;
    *attempt = [wanted, act, self](int left) {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog && wanted(dialog)) {
            act(dialog);
            return;
        }
        if (auto me = self.lock(); me && left > 0) QTimer::singleShot(20, [me, left] { (*me)(left - 1); });
    };
    QTimer::singleShot(0, [attempt] { (*attempt)(250); });
}

inline void onNextModal(std::function<void(QWidget*)> act) {
    onModal([](QWidget*) { return true; }, std::move(act));
}

}  // namespace mwtest
