#pragma once
// While long work runs, the window takes no input and shows the wait cursor. Nests. Without the
// wait cursor it only keeps the window from input, as while an import dialog is open.
#include <QApplication>
#include <QMenuBar>
#include <QToolBar>

#include "mainwindow/frmmain.h"

class FrmMain::Busy {
public:
    explicit Busy(FrmMain& window, bool waitCursor = true) : w_(window), cursor_(waitCursor) {
        if (cursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
        if (w_.busy_++ > 0) return;
        for (QWidget* part : parts()) part->setEnabled(false);
    }
    ~Busy() {
        if (cursor_) QApplication::restoreOverrideCursor();
        if (--w_.busy_ > 0) return;
        for (QWidget* part : parts()) part->setEnabled(true);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    QList<QWidget*> parts() const {
        QList<QWidget*> list{w_.centralWidget(), w_.menuBar(), w_.tbtoolbar_};
        list.removeAll(nullptr);
        return list;
    }
    FrmMain& w_;
    bool cursor_;
};
