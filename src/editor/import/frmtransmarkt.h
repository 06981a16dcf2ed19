#pragma once
// The transfer window: one free player against one player of a club ("Freie Spieler"), or two
// players of two clubs ("Editorspieler"). The swaps themselves are market::tauschFrei and
// market::tauschEditor; this window only collects the two players.
//
// Object names: Opttransfer_0, Opttransfer_1, cbovereine, cbovereineeditor_0, cbovereineeditor_1,
// lstvfspieler, lstvtmarkt (column 3 "art" hidden; item key in Qt::UserRole, dimmed state in
// Qt::UserRole + 1), btnspielertausch, Command1.
#include <QDialog>

#include "common/random.h"

class Dao;
class PickLists;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

class FrmTransmarkt : public QDialog {
    Q_OBJECT
public:
    static constexpr int kKeyRole = Qt::UserRole;
    static constexpr int kDimmedRole = Qt::UserRole + 1;

    // The club combos are registered with the pick lists, so every tree build refills them.
    FrmTransmarkt(Dao& dao, PickLists& lists, QWidget* parent = nullptr);

    // Run before the window is shown: the clubs the free players came from.
    void load();
    // The draw for new maximum strengths; tests seed it.
    RandomSource& random() { return rnd_; }
    // Whether a swap wrote to the database since load().
    bool changed() const { return changed_; }

    void Opttransfer_Click(int index);
    void cbovereine_Click();
    void cbovereineeditor_Click(int k);
    void btnspielertausch_Click();

private:
    void fillFreeClubs();
    void fill(int side, const QString& freeClub, long long club);
    void itemClick(int side, QTreeWidgetItem* item);
    void setDimmed(QTreeWidgetItem* item, bool dimmed);
    void clearList(int side);
    void updateButton();
    bool editorMode() const;

    Dao& dao_;
    RandomSource rnd_;
    bool changed_ = false;
    QRadioButton* Opttransfer_[2] = {};
    QComboBox* cbovereine_ = nullptr;
    QComboBox* cbovereineeditor_[2] = {};
    QTreeWidget* lists_[2] = {};  // 0 lstvfspieler, 1 lstvtmarkt
    QTreeWidgetItem* marked_[2] = {};
    QPushButton* btnspielertausch_ = nullptr;
    QPushButton* Command1_ = nullptr;
};
