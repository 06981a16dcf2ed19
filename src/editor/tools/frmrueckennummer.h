#pragma once
// The shirt-number window frmrueckennummer: the clubs with shared shirt numbers (cbovereine,
// item data = club number), the selected club's players with the shared numbers marked "*"
// (lstspieler, item data = player number), the new number of a double-clicked player
// (txtnrneu, btnupdate), btnstart and btnabbrechen. A club leaves the list once it is clean.
// Created on first use, hidden afterwards.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct ProgressSink;
namespace jet { class Database; }

class FrmRueckennummer : public QDialog {
public:
    FrmRueckennummer(QWidget* parent, ProgressSink& progress);

    // Shows the window modally on the database, ready for a start.
    void zeigen(jet::Database& db);
    // Whether a shirt number was written since the window was shown.
    bool changed() const { return changed_; }

    void setDatabase(jet::Database& db);
    void btnstart_Click();
    void lstspieler_DblClick(QListWidgetItem* item);
    void btnupdate_Click();

private:
    void cbovereine_Click();
    void setListsEnabled(bool on);
    void showError(const std::exception& e);

    jet::Database* db_ = nullptr;
    ProgressSink& progress_;
    long long player_ = 0;  // the double-clicked player
    bool changed_ = false;
    QPushButton* btnstart_ = nullptr;
    QComboBox* cbovereine_ = nullptr;
    QListWidget* lstspieler_ = nullptr;
    QLineEdit* txtnrneu_ = nullptr;
    QPushButton* btnupdate_ = nullptr;
};
