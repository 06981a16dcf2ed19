#pragma once
// The player-picture window frmspielerbild: the offered files of the picture folder (Filbild),
// the file being handled (Label1), the choice list when several players match (lstnamen,
// item data = player number), btnstart and btnabbrechen. The walk goes from the last file to
// the first; a choice pauses it until the user clicks a player, and closing the window ends
// it (the file waiting for a choice keeps its name). Created on first use, hidden afterwards.
#include <QDialog>
#include <filesystem>
#include <string>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct ProgressSink;
namespace jet { class Database; }

class FrmSpielerbild : public QDialog {
public:
    explicit FrmSpielerbild(QWidget* parent);

    // Lists the folder's files and shows the window modally. A missing folder gives a message
    // instead of the window.
    void zeigen(jet::Database& db, const std::filesystem::path& folder, ProgressSink* progress);

    // Fills the file list (zeigen does it before showing the window).
    void fillList(const std::filesystem::path& folder);
    void btnstart_Click();
    bool walking() const { return walking_; }

protected:
    void done(int result) override;

private:
    void nextFile();
    void lstnamen_Click(QListWidgetItem* item);
    void rename(const std::string& file, long long number);
    void endWalk();

    jet::Database* db_ = nullptr;
    ProgressSink* progress_ = nullptr;
    std::filesystem::path folder_;
    std::string current_;  // the file in Label1, as named on disk
    bool walking_ = false;
    int next_ = -1;  // the file list entry handled next; the walk goes downwards
    QListWidget* filbild_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* lblordner_ = nullptr;
    QListWidget* lstnamen_ = nullptr;
    QPushButton* btnstart_ = nullptr;
};
