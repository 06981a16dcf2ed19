#include "import/frmopen.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "common/ui/messagebox.h"
#include "import/clubfile.h"
#include "import/targetchoice.h"
#include "import/teafile.h"
#include "mainwindow/frmmain.h"

FrmOpen::FrmOpen(FrmMain& main)
    : ImportTargetDialog(main, "frmopen", QStringLiteral(" Neuer Verein"),
                         QStringLiteral("Erstellt ein neuen Team im ausgewählten Land")) {}

void FrmOpen::optionChosen(int index) {
    if (index == 0) {
        cboverein_->hide();
        cboland_->show();
        if (cboland_->count() > 0 && cboland_->currentIndex() < 0) {
            const imp::TargetKeys keys = imp::teamFileKeys(main_.dlgopensaveFileName().toStdString());
            setComboText(cboland_, QString::fromStdString(keys.land));
        }
    } else {
        cboland_->hide();
        cboverein_->show();
        cboverein_->setEnabled(true);
        selectCandidate(true);
    }
    comboChosen();
}

// Only a choice that the chosen option uses enables btnok: a country chosen for a new club
// must not let "Verein  ersetzen" run without a club.
void FrmOpen::comboChosen() {
    const int option = chosenOption();
    const bool chosen = (option == 0 && cboland_->currentIndex() >= 0) || (option == 1 && cboverein_->currentIndex() >= 0);
    btnok_->setEnabled(chosen);
}

void FrmOpen::btnok_Click() {
    const int option = chosenOption();
    if (option < 0) return;
    const QString title = QStringLiteral("Öffnen...");
    std::optional<long long> club;
    if (option == 1 && cboverein_->currentIndex() >= 0) club = cboverein_->currentData().toLongLong();
    if (option == 1 && !club) return;
    const QString country = cboland_->currentText();
    long long shown = 0;
    const bool ok = main_.runBusy(title, [&] {
        const imp::TeamFile file = imp::loadTeamFile(main_.dlgopensaveFileName().toStdString());
        if (option == 0) {
            main_.status(imp::kNewClubStatus);
            shown = imp::importTeamAsNew(main_.dao().db(), file, country.toStdString(), main_);
        } else {
            main_.status(imp::kReplaceClubStatus);
            imp::importTeamOver(main_.dao().db(), file, *club, main_);
            shown = *club;
        }
    });
    main_.status("");
    main_.percent(0);
    if (!ok) return;  // the dialog stays open: the user may choose another target
    btnok_->setEnabled(false);
    clearOptions();
    btnabbrechen_Click();
    main_.reloadTree(QStringLiteral("T%1").arg(shown));
}
