#pragma once
// The player search "Spieler suchen..." (frmspielersuche): name or first name, nation,
// position, strength and maximum strength ranges; the results with their club in a sortable
// list (lstergebnis). A double-click on a result asks the main window to show the player.
//
// Object names: txtname, cbonation, cbopos, cbostaerkevon, cbostaerkebis, cbomaxvon,
// cbomaxbis, btnsuchen, lblanzahl, lstergebnis.
#include <QDialog>

class Dao;
class PickLists;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

class FrmSpielersuche : public QDialog {
    Q_OBJECT
public:
    // At most this many results are listed; the label says how many there are.
    static constexpr int kShownResults = 1000;

    FrmSpielersuche(Dao& dao, PickLists& lists, QWidget* parent);
    void suchen();

signals:
    // key: the tree node whose list shows the player ("T12", "L3"), empty when none does.
    void spielerGewaehlt(const QString& key, qlonglong number);

private:
    Dao& dao_;
    QLineEdit* txtname_;
    QComboBox* cbonation_;
    QComboBox* cbopos_;
    QComboBox* cbostaerke_[2];
    QComboBox* cbomax_[2];
    QLabel* lblanzahl_;
    QTableWidget* lstergebnis_;
};
