#pragma once
// The editor's main window. It runs the start-up when constructed and is always shown,
// whatever step of the start-up failed: tree of the world on the left (tvdb), the editor tabs
// (tabedit: "Land/Verein", "Spieler") on the right, the player list below, status bar with
// three panels and the progress bar (prostatus) in the middle one.
//
// Object names, so that tests and later windows find things:
//   menus        mnudatei, mnuimport, mnuexport, mnubearbeiten, mnuoptionen, mnutools, mnutransfer, mnuinfo,
//                mnupopup (the tree's context menu, not in the menu bar)
//   menu items   <menu>item_<index>, the index being the item's position in its menu, separators
//                included: mnudateiitem_0 "&Neu..." ... mnudateiitem_7 "&Programmende",
//                mnudateiitem_4/_5 open the submenus mnuimport/mnuexport, mnuimportitem_0..3,
//                mnuexportitem_0..1, mnupopupitem_0, mnuoptionenitem_0..7, mnutoolsitem_0..7,
//                mnutransferitem_0..1, mnuinfoitem_0; ours: mnubearbeitenitem_0 "Rückgängig" (Ctrl+Z),
//                mnubearbeitenitem_1 "Wiederherstellen" (Ctrl+Y), mnubearbeitenitem_3/_4/_6 (find bar,
//                player search, database check)
//   toolbar      tbtoolbar with the actions tb_<key>: tb_new, tb_open, tb_save, tb_impconfig,
//                tb_expconfig, tb_impzentor4, tb_trikotoriginal, tb_trikotkickoranet
//   club editor  frameteam, framelogo, framestadion, frame5_0..2 (jerseys), txtteamlang,
//                txtteamkurz, txtstadt, cboland, lblkontinent, cbokontinent, txttnr, txtgrafnr,
//                imgwappen, txtstadion, txtsitz, txtsteh, pictrikot_0..2 (property "tag": the
//                model number) with the shapes shpstreif_n, shpsock_n, shparm_n, shphose_n,
//                shpstreifh_n inside, btnteamsave
//   status bar   stbstatus, stbstatus_panel1, stbstatus_panelB, stbstatus_panel3, prostatus
// Dialogs (frmnew, frmAbout, frmwappen, frmtrikot, the import dialogs frmz4open and frmopen and
// the workbench frmz4import) are created on first use and only hidden afterwards; the jersey
// chooser is dropped when the jersey set changes.
#include <QHash>
#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/progress.h"
#include "common/random.h"
#include "foundation/dao.h"
#include "foundation/settings.h"

class FindBar;
class FrmAbout;
class FrmDbCheck;
class FrmSpielersuche;
class FrmRueckennummer;
class FrmSpielerbild;
class FrmTeamname;
class FrmTrikot;
class FrmTransmarkt;
class FrmWappen;
class FrmNew;
class FrmOpen;
class FrmZ4Import;
class FrmZ4Open;
class PickLists;
class PlayerArea;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSplitter;
class QPushButton;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class Registry;

class FrmMain : public QMainWindow, public ProgressSink {
    Q_OBJECT
public:
    FrmMain(const std::filesystem::path& programDir, const Registry& registry, QWidget* parent = nullptr);
    ~FrmMain() override;

    Dao& dao() { return dao_; }
    Settings& settings() { return settings_; }
    // Where windows register their country and club lists.
    PickLists& pickLists() { return *pickLists_; }
    PlayerArea& playerArea() { return *playerArea_; }

    // Status panel 1: what long work is doing.
    void setStatusText(const QString& text);
    // ProgressSink: panel 1 and the progress bar, with pending events processed.
    void status(const std::string& text) override;
    void percent(int value) override;

    // Tree.
    void load_dbteam();
    void tvdb_NodeClick(QTreeWidgetItem* node);
    QTreeWidgetItem* node(const QString& key) const;
    // The key of the node clicked last (the tree's tag).
    const QString& treeTag() const { return tvdbTag_; }

    // Club editor.
    void anaus(int kind, bool on);
    void showteam(long long number, int kind);
    void showlandnew(long long number, const QString& parentText);
    void showteamnew(long long number, const QString& parentText);
    void btnteamsave_Click();

    // Commands, by menu and index as in the menu tables.
    void mnudatei_Click(int index);
    void mnuimport_Click(int index);
    void mnuexport_Click(int index);
    void mnupopup_Click(int index);
    void mnubearbeiten_Click(int index);
    void mnuoptionen_Click(int index);
    void mnutools_Click(int index);
    void mnutransfer_Click(int index);
    void mnuinfo_Click(int index);
    // Entries 0 and 1 of "Bearbeiten": the newest journal entry taken back or redone.
    void undoRedo(int index);
    // Captions and states of Rückgängig and Wiederherstellen from the journal.
    void updateUndoActions();
    void tbtoolbar_ButtonClick(const QString& key);

    // The import dialogs hand the opened file on through the common dialog's file name.
    const QString& dlgopensaveFileName() const { return dlgopensaveFileName_; }
    void setDlgopensaveFileName(const QString& file) { dlgopensaveFileName_ = file; }
    FrmZ4Open& frmz4open();
    FrmOpen& frmopen();
    FrmZ4Import& frmz4import();
    // Rebuilds the tree and shows the entry of `key` (the tree's tag) in the editor.
    void reloadTree(const QString& key);
    // The jersey chooser for another window: the model chosen on OK, nullopt on cancel.
    std::optional<int> chooseJersey(int model);
    // The random source of imports (height, faces, presets); tests fix its seed.
    RandomSource& random() { return random_; }
    // Runs work with the window disabled; an error is shown once the window takes input again.
    bool runBusy(const QString& title, const std::function<void()>& work);

    // Selects a tree node as a click on it would (clearing the find bar when it hides the
    // node), then the player in the list when one is given. False when the node is missing.
    bool showEntry(const QString& key, long long player = -1);

    // The new-entry dialog with its result applied: a node "L<n>_" or "T<n>_" under the chosen
    // continent or country, selected and shown in the editor.
    void addNewItem(int option, const QString& parentText);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Busy;
    void buildStatusBar();
    void buildMenus();
    void buildToolbar();
    void buildCentral();
    QWidget* buildTeamPage();
    void sizeToScreen();
    void startupSteps();

    QAction* menuItem(QMenu* menu, const QString& menuName, int index, const QString& caption,
                      const QKeySequence& shortcut = {}, bool hidden = false);
    QAction* menuAction(const QString& menuName, int index) const;
    QAction* toolAction(const QString& key) const;

    // Crests, jerseys and faces (frmmain_graphics.cpp).
    void buildGraphics();
    void setCrestPicture(const QPixmap& picture);
    void imgwappen_Click();
    void wappenImport();
    void wappenExport();
    void showJerseys(long long number, int kind);
    void clearJerseys();
    void pictrikot_DblClick(int k);
    void trikotChooserUnload();
    void trikotfarbe(jet::Database& db, long long number, const char* table);
    void gesichterPruefen();
    // The maintenance tools of the tools menu.
    void toolWindow(int index);

    void showSelected();
    void refreshTree();
    void trikotsatz(int set);
    void trikotsatzKopieren();
    void datenbankLoeschen();
    void datenbankKomprimieren();
    void showtrikot(int k, long long model);
    void loadwappen(const QString& grafnr);
    void showError(const QString& title, const std::exception& error);

    // Config files, team files and templates (frmmain_config.cpp).
    void exportConfigFile();
    void importConfigFile();
    void saveTeamFile();
    void templateClubs();
    void competitionTemplate();
    // Exporter and team files (frmmain_import.cpp).
    void openClubFile();
    void openIndexFile();
    void openTeamFile();

    Dao dao_;
    Settings settings_;
    PickLists* pickLists_ = nullptr;
    PlayerArea* playerArea_ = nullptr;
    int busy_ = 0;
    bool splitDone_ = false;
    bool starting_ = true;

    QLabel* panel1_ = nullptr;
    QLabel* panelB_ = nullptr;
    QLabel* panel3_ = nullptr;
    QProgressBar* prostatus_ = nullptr;
    QToolBar* tbtoolbar_ = nullptr;
    QMenu* mnupopup_ = nullptr;
    QHash<QString, QAction*> actions_;

    QTreeWidget* tvdb_ = nullptr;
    FindBar* findBar_ = nullptr;
    QHash<QString, QTreeWidgetItem*> nodes_;
    QString tvdbTag_;
    QTreeWidgetItem* pressedOnSelected_ = nullptr;  // the selected node when the mouse went down
    QTabWidget* tabedit_ = nullptr;
    QSplitter* splitmain_ = nullptr;

    QGroupBox* frameteam_ = nullptr;
    QGroupBox* framelogo_ = nullptr;
    QGroupBox* framestadion_ = nullptr;
    QGroupBox* frame5_[3] = {};
    QLineEdit* txtteamlang_ = nullptr;
    QLineEdit* txtteamkurz_ = nullptr;
    QLineEdit* txtstadt_ = nullptr;
    QComboBox* cboland_ = nullptr;
    QLabel* lblkontinent_ = nullptr;
    QComboBox* cbokontinent_ = nullptr;
    QLineEdit* txttnr_ = nullptr;
    QLineEdit* txtgrafnr_ = nullptr;
    QLabel* imgwappen_ = nullptr;
    QLineEdit* txtstadion_ = nullptr;
    QLineEdit* txtsitz_ = nullptr;
    QLineEdit* txtsteh_ = nullptr;
    QLabel* pictrikot_[3] = {};
    QPushButton* btnteamsave_ = nullptr;

    FrmNew* frmnew_ = nullptr;
    FrmAbout* frmAbout_ = nullptr;
    FrmWappen* frmwappen_ = nullptr;
    FrmTrikot* frmtrikot_ = nullptr;
    FrmTransmarkt* frmtransmarkt_ = nullptr;
    int trikotK_ = 0;  // the jersey the chooser was opened for
    FrmSpielerbild* frmspielerbild_ = nullptr;
    FrmRueckennummer* frmrueckennummer_ = nullptr;
    FrmTeamname* frmteamname_ = nullptr;
    FrmZ4Open* frmz4open_ = nullptr;
    FrmOpen* frmopen_ = nullptr;
    FrmZ4Import* frmz4import_ = nullptr;
    FrmSpielersuche* frmspielersuche_ = nullptr;
    FrmDbCheck* frmdbcheck_ = nullptr;
    QString dlgopensaveFileName_;
    RandomSource random_;
};
