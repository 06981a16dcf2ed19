#pragma once
// While long work runs, the window takes no input and shows the wait cursor. Nests.
#include <QApplication>
#include <QMenuBar>
#include <QToolBar>

#include "mainwindow/frmmain.h"

class FrmMain::Busy {
public:
    explicit Busy(FrmMain& window) : w_(window) {
        if (w_.busy_++ > 0) return;
        for (QWidget* part : parts()) part->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Busy() {
        if (--w_.busy_ > 0) return;
        for (QWidget* part : parts()) part->setEnabled(true);
        QApplication::restoreOverrideCursor();
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
};
