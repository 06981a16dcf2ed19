#pragma once
// The import workbench frmz4import (caption "Import"): one exporter club file beside the
// database club it replaces. The file comes from the main window's dlgopensave file name, the
// club from the form's tag (a club number, or "-1": every file player becomes a free player
// and the form is never shown).
//
// Object names: tabedit (pages "Land/Verein" and "Spieler"); Frame6 "Team" with txtteamlang,
// txtteamkurz, txtstadt, cboland, lblkontinent, cbokontinent; Frame4 "Stadion" with txtstadion,
// txtsitz, txtsteh; Frame7 "Logo" with txttnr, txtgrafnr, ImgXwappen; Frame5_0..2 with the
// jersey pictures pictrikot_0..2 (property "tag": the jersey type, invalid until one is shown);
// Frame1 "Speicheroptionen" with chkimport_0..2 and btnteamsave; Frame2 "Speicheroptionen"
// with chkimport_3, lblanzahl (rows of the squad) and btnspielersave; the tab strip tabspieler over frameimport (lstvimport,
// the file's players) and fraeditor (lstveditor, the club's players); Frame8 "Spielerliste"
// with lstveditornew (the new squad); btnabbrechen. The pop-up menu mnupopup holds the actions
// mnupopup_item_0..10 and the preset submenu's mnupopup_selbest_0..10.
// List rows: column texts "Name", "Position", "Stärke", "art"; the row key in Qt::UserRole of
// column 0, the ghost mark in kGhostRole.
#include <QDialog>
#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <optional>

#include "import/clubfile.h"
#include "import/workbench.h"

class FrmMain;
class FrmZ4Import;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTabWidget;

// One of the three player lists: keys, pop-up menu, drag out of the two source lists, drops.
// A drag carries kDragFormat with the source list's number (imp::List) as text.
class ImportList : public QTreeWidget {
public:
    static constexpr const char* kDragFormat = "application/x-kickora-importlist";
    ImportList(FrmZ4Import& form, imp::List which, const char* objectName, QWidget* parent);
    imp::List which() const { return which_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::optional<imp::List> dragSource(const QMimeData* data) const;
    void setDragOver(bool over);
    // Copy on the squad; on a source list a drop only ends the drag.
    Qt::DropAction dropAction() const;
    FrmZ4Import& form_;
    imp::List which_;
};

class FrmZ4Import : public QDialog {
    Q_OBJECT
public:
    static constexpr int kKeyRole = Qt::UserRole;
    static constexpr int kGhostRole = Qt::UserRole + 1;
    // The picture list iltrikot: 1..4 the position icons (4 - position), 5 the drag picture,
    // 6 and 7 the squad list with a drag over it and without.
    static QIcon iltrikot(int index);

    explicit FrmZ4Import(FrmMain& main);
    ~FrmZ4Import() override;

    void setTag(const QString& tag);
    QString tag() const { return tag_; }
    // A tick or untick as a click does it: the handler runs when the state changes.
    void setImportChecked(int box, bool on);
    bool importChecked(int box) const;
    // Shows the workbench modally (never for the tag "-1").
    void showModal();

    // Handlers.
    void chkimport_Click(int box);
    void mnupopup_Click(int item);
    void mnupopup_selbest_Click(int k);
    void btnteamsave_Click();
    void btnspielersave_Click();
    void btnabbrechen_Click();
    void tabspieler_Click(int tab);
    void pictrikot_DblClick(int k);

    // The list the pop-up menu and the keys act on.
    void setMenuList(imp::List list);
    imp::List menuList() const { return menuList_; }
    // The pop-up menu as it is shown over a list (items shown and enabled per list).
    void preparePopup(imp::List list);
    QMenu* popupMenu() const { return mnupopup_; }
    // A key in one of the lists: runs its menu item; false when the key has none.
    bool listKey(imp::List list, Qt::KeyboardModifiers modifiers, int key);

    // Drag and drop between the lists.
    bool dragging() const { return dragging_; }
    void dragStarted() { dragging_ = true; }
    // A drop of a drag out of `source` on `target`: on the squad the source's selected rows
    // are copied; any drop ends the drag.
    void dropped(imp::List source, imp::List target);

    ImportList* list(imp::List which) const;

protected:
    void reject() override;

private:
    QWidget* buildTeamPage();
    QWidget* buildPlayerPage();
    void buildPopup();

    void loadFile();
    imp::ClubFields fields() const;
    void showFields(const imp::ClubFields& f);
    void showtrikot(int k, int model);
    void showStoredJerseys();
    void showlivetrikot(int which);
    void loadwappen(const QString& grafnr);
    void loadPlayers();

    std::vector<int> selectedRows(imp::List which) const;
    // Renders a list from the model; `selected` rows are selected again where selectable.
    void showList(imp::List which, const std::vector<int>& selected = {});
    void copyRows(imp::List source);
    void removeRows();
    void freePlayers();
    void updateSaveButton();
    void showError(const QString& title, const std::exception& e);

    FrmMain& main_;
    QString tag_;
    imp::Workbench wb_;
    imp::ClubFile file_;
    std::optional<imp::ClubRow> row_;
    imp::List menuList_ = imp::List::File;
    bool dragging_ = false;
    bool saved_ = false;
    QString fileError_;  // the last read error shown
    bool warned_ = false;  // the file's corrections were shown
    bool fresh_ = true;    // the fields hold nothing of this opening yet

    QTabWidget* tabedit_ = nullptr;
    QLineEdit* txtteamlang_ = nullptr;
    QLineEdit* txtteamkurz_ = nullptr;
    QLineEdit* txtstadt_ = nullptr;
    QComboBox* cboland_ = nullptr;
    QLabel* lblkontinent_ = nullptr;
    QComboBox* cbokontinent_ = nullptr;
    QLineEdit* txtstadion_ = nullptr;
    QLineEdit* txtsitz_ = nullptr;
    QLineEdit* txtsteh_ = nullptr;
    QLineEdit* txttnr_ = nullptr;
    QLineEdit* txtgrafnr_ = nullptr;
    QLabel* imgXwappen_ = nullptr;
    std::array<QLabel*, 3> pictrikot_{};
    std::array<QCheckBox*, imp::kBoxes> chkimport_{};
    QPushButton* btnteamsave_ = nullptr;
    QPushButton* btnspielersave_ = nullptr;
    QLabel* lblanzahl_ = nullptr;
    QPushButton* btnabbrechen_ = nullptr;
    QTabBar* tabspieler_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::array<ImportList*, 3> lists_{};
    QMenu* mnupopup_ = nullptr;
    std::array<QAction*, imp::kMenuItems> items_{};
};
