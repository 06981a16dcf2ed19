#pragma once
// "Datenbank prüfen" (frmdbcheck): the findings of the database check by kind in a tree
// (tvbefunde); a click on a finding asks the main window to show its club or player.
#include <QDialog>
#include <string>

#include "tools/dbcheck.h"

class QLabel;
class QTreeWidget;
namespace jet { class Database; }

class FrmDbCheck : public QDialog {
    Q_OBJECT
public:
    explicit FrmDbCheck(QWidget* parent);
    // Runs the check and lists what it found. Throws jet::Error.
    void pruefen(jet::Database& db, const std::string& crestFolder);

signals:
    void befundGewaehlt(dbcheck::Target target, qlonglong number);

private:
    QTreeWidget* tvbefunde_;
    QLabel* lblergebnis_;
};
