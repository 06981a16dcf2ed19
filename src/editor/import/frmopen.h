#pragma once
// frmopen: the target dialog of team files (.tea). optnew_0 " Neuer Verein" writes the club as
// a new club of the country chosen in cboland, optnew_1 "Verein  ersetzen" over the club
// chosen in cboverein; either way with 20 players, then the tree is rebuilt with the club
// selected.
#include "import/frmz4open.h"

class FrmOpen : public ImportTargetDialog {
    Q_OBJECT
public:
    explicit FrmOpen(FrmMain& main);
    void btnok_Click() override;

protected:
    void optionChosen(int index) override;
    void comboChosen() override;
};
