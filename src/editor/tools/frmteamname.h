#pragma once
// The club-name window frmteamname ("Teamname"): the clubs whose name is too long for the game
// (lstvereine, item data = club number), the proposal rule (optname_0..2), the new name
// (txtteamneu), btnupdate, btnstart and btnabbrechen. A club whose new name fits leaves the
// list at once. Created on first use, hidden afterwards.
#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
struct ProgressSink;
namespace jet { class Database; }

class FrmTeamname : public QDialog {
public:
    FrmTeamname(QWidget* parent, ProgressSink& progress);

    // Shows the window modally on the database, ready for a start.
    void zeigen(jet::Database& db);
    // Whether a club name was written since the window was shown.
    bool changed() const { return changed_; }

    void setDatabase(jet::Database& db);
    void btnstart_Click();
    void btnupdate_Click();

private:
    void propose();
    int rule() const;
    void enableUpdate();

    jet::Database* db_ = nullptr;
    ProgressSink& progress_;
    bool changed_ = false;
    QPushButton* btnstart_ = nullptr;
    QListWidget* lstvereine_ = nullptr;
    QRadioButton* optname_[3] = {};
    QLineEdit* txtteamneu_ = nullptr;
    QPushButton* btnupdate_ = nullptr;
};
