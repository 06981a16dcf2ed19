#pragma once
// The dialog for a new country or club. It only asks where the entry goes; the main window
// adds the entry to the tree, and the club editor's save writes it.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class PickLists;

class FrmNew : public QDialog {
    Q_OBJECT
public:
    // Countries come from the pick-list hub; continents are the fixed twelve.
    FrmNew(PickLists& lists, QWidget* parent = nullptr);

    // 0 new country (continent list), 1 new club (country list).
    void setOption(int option);
    int option() const;
    // The chosen continent or country; empty without a selection.
    QString selection() const;

private:
    void updateState();

    QRadioButton* optnew_[2] = {};
    QLabel* lblkontinent_ = nullptr;
    QLabel* lblland_ = nullptr;
    QComboBox* cbokontinent_ = nullptr;
    QComboBox* cboland_ = nullptr;
    QPushButton* cmdok_ = nullptr;
};
