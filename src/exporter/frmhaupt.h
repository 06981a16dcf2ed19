#pragma once
// frmhaupt: the main window of zexporter. The tree of the source, the club page, the player
// page and the counters; the export menu follows the node clicks and starts the export runs.
#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class FrmProgress;
class RandomSource;

namespace zexp {
class Source;
struct ExportMenu;
struct TeamView;
}  // namespace zexp

class FrmHaupt : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmHaupt(std::filesystem::path programDir, QWidget* parent = nullptr);
    ~FrmHaupt() override;

    // Start: finds and reads the source, fills the tree and the counters. false when there is
    // no source (the message has been shown); the program then ends.
    bool loadDB();

    const zexp::Source* source() const { return src_.get(); }
    // Created by the first export.
    FrmProgress* progressWindow() const { return progress_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildClubPage();
    QWidget* buildPlayerPage();
    void filltree();
    void setCounters();

    void nodeClick(QTreeWidgetItem* item);
    void tabClick(int tab);
    void showteam(long long nr);
    void showland(long long nr);
    void fillClubPage(const zexp::TeamView* view);
    void fillPlayerList(bool country, long long nr);
    void showplayer(long long nr);
    void clearPlayer();
    void applyMenu();
    void exportItem(int entry);
    QTreeWidgetItem* selectedItem() const;
    std::string selectedKey() const;

    std::filesystem::path programDir_;
    std::unique_ptr<zexp::Source> src_;
    std::unique_ptr<zexp::ExportMenu> menu_;
    std::unique_ptr<RandomSource> rnd_;
    std::unique_ptr<FrmProgress> progress_;

    QTreeWidget* tvdb_ = nullptr;
    QTabBar* tabStrip_ = nullptr;
    QFrame* frame1_ = nullptr;
    QFrame* frame2_ = nullptr;
    QLineEdit *txtteamlang_ = nullptr, *txtteamkurz_ = nullptr, *txtstadion_ = nullptr, *txtstadt_ = nullptr,
              *txtland_ = nullptr;
    QLineEdit* txtsitzsteh_[2] = {};
    QFrame* shpheim_[6] = {};
    QFrame* shpausw_[6] = {};
    QListWidget* lstspieler_ = nullptr;
    QLineEdit *txtspielernr_ = nullptr, *txtspielername_ = nullptr, *txtspielervorname_ = nullptr,
              *txtspielerland_ = nullptr, *txtspielerrnr_ = nullptr, *txtspielereinsatz_ = nullptr,
              *txtspielerhautfarbe_ = nullptr, *txtspielerhaartyp_ = nullptr;
    QComboBox *cbospielerpos_ = nullptr, *cbospielerst_ = nullptr;
    QLabel *label1_ = nullptr, *label2_ = nullptr, *label3_ = nullptr, *label33_ = nullptr;
    QAction* mnuimpexportitem_[5] = {};
};
