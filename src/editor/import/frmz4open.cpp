#include "import/frmz4open.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "common/ui/messagebox.h"
#include "import/frmz4import.h"
#include "import/targetchoice.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmpicklists.h"

namespace {
std::filesystem::path toPath(const QString& name) { return std::filesystem::path(name.toStdString()); }
}  // namespace

ImportTargetDialog::ImportTargetDialog(FrmMain& main, const char* objectName, const QString& option0,
                                       const QString& tip0)
    : QDialog(&main), main_(main) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QStringLiteral("Öffnen..."));
    setModal(true);

    lblverein_ = new QLabel(this);
    lblverein_->setObjectName(QStringLiteral("lblverein"));
    QFont bold = lblverein_->font();
    bold.setBold(true);
    lblverein_->setFont(bold);
    lblverein_->setFrameShape(QFrame::StyledPanel);
    lblverein_->setMargin(4);

    const QString captions[2] = {option0, QStringLiteral("Verein  ersetzen")};
    const QString tips[2] = {tip0, QStringLiteral("Ersetzt den ausgewählten Verein")};
    auto* options = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        optnew_[i] = new QRadioButton(captions[i], this);
        optnew_[i]->setObjectName(QStringLiteral("optnew_%1").arg(i));
        optnew_[i]->setToolTip(tips[i]);
        // The pair is handled by hand: both may be cleared, as every way out does.
        optnew_[i]->setAutoExclusive(false);
        connect(optnew_[i], &QRadioButton::clicked, this, [this, i] { optnew_Click(i); });
        options->addWidget(optnew_[i]);
    }
    options->addStretch(1);

    cboverein_ = new QComboBox(this);
    cboverein_->setObjectName(QStringLiteral("cboverein"));
    cboland_ = new QComboBox(this);
    cboland_->setObjectName(QStringLiteral("cboland"));
    for (QComboBox* box : {cboverein_, cboland_}) {
        box->setMaxVisibleItems(20);
        box->setMinimumWidth(380);
        box->setPlaceholderText(QStringLiteral("(keine Auswahl)"));
        connect(box, &QComboBox::currentIndexChanged, this, &ImportTargetDialog::comboChosen);
    }
    main.pickLists().registerCombo(PickLists::Clubs, cboverein_);
    main.pickLists().registerCombo(PickLists::Countries, cboland_);
    cboverein_->setCurrentIndex(-1);
    cboland_->setCurrentIndex(-1);
    cboverein_->setEnabled(false);
    cboland_->hide();

    btnok_ = new QPushButton(QStringLiteral("Übernehmen"), this);
    btnok_->setObjectName(QStringLiteral("btnok"));
    btnok_->setEnabled(false);
    btnabbrechen_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen_->setObjectName(QStringLiteral("btnabbrechen"));
    connect(btnok_, &QPushButton::clicked, this, [this] { btnok_Click(); });
    connect(btnabbrechen_, &QPushButton::clicked, this, &ImportTargetDialog::btnabbrechen_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnok_);
    buttons->addWidget(btnabbrechen_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblverein_);
    layout->addLayout(options);
    layout->addWidget(cboverein_);
    layout->addWidget(cboland_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    resize(440, sizeHint().height());
}

void ImportTargetDialog::setVerein(const QString& title) { lblverein_->setText(title); }
QString ImportTargetDialog::verein() const { return lblverein_->text(); }

int ImportTargetDialog::chosenOption() const {
    for (int i = 0; i < 2; ++i)
        if (optnew_[i]->isChecked()) return i;
    return -1;
}

void ImportTargetDialog::optnew_Click(int index) {
    optnew_[index]->setChecked(true);
    optnew_[1 - index]->setChecked(false);
    optionChosen(index);
}

void ImportTargetDialog::clearOptions() {
    for (QRadioButton* option : optnew_) option->setChecked(false);
}

void ImportTargetDialog::comboChosen() { btnok_->setEnabled(cboverein_->currentIndex() >= 0); }

void ImportTargetDialog::setComboText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index >= 0 ? index : (combo->count() > 0 ? 0 : -1));
}

void ImportTargetDialog::selectCandidate(bool teamFile) {
    if (cboverein_->count() == 0) return;
    const std::filesystem::path file = toPath(main_.dlgopensaveFileName());
    const imp::TargetKeys keys = teamFile ? imp::teamFileKeys(file) : imp::clubFileKeys(file);
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(cboverein_->count()));
    for (int i = 0; i < cboverein_->count(); ++i) entries.push_back(cboverein_->itemText(i).toStdString());
    cboverein_->setCurrentIndex(-1);
    cboverein_->setCurrentIndex(imp::candidateClub(entries, keys));
}

void ImportTargetDialog::btnabbrechen_Click() {
    clearOptions();
    btnok_->setEnabled(false);
    cboverein_->setCurrentIndex(-1);
    cboverein_->setEnabled(false);
    hide();
}

// Escape and the window's close button leave the way btnabbrechen does.
void ImportTargetDialog::reject() {
    btnabbrechen_Click();
    QDialog::reject();
}

// ---------------------------------------------------------------- frmz4open

FrmZ4Open::FrmZ4Open(FrmMain& main)
    : ImportTargetDialog(main, "frmz4open", QStringLiteral("Freie Spieler"),
                         QStringLiteral("Importiert alle Spiele in 'Freie Spieler'")) {}

void FrmZ4Open::optionChosen(int index) {
    cboland_->hide();
    cboverein_->show();
    if (index == 0) {
        cboverein_->setEnabled(false);
        btnok_->setEnabled(true);
        return;
    }
    cboverein_->setEnabled(true);
    btnok_->setEnabled(false);
    selectCandidate(false);
}

void FrmZ4Open::btnok_Click() {
    FrmZ4Import& workbench = main_.frmz4import();
    if (optnew_[1]->isChecked()) {
        const QVariant number = cboverein_->currentData();
        if (!number.isValid()) return;
        workbench.setTag(QString::number(number.toLongLong()));
        for (int i = 0; i < 4; ++i) workbench.setImportChecked(i, true);
        hide();
        clearOptions();
        workbench.showModal();
    } else {
        setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        main_.setStatusText(QStringLiteral("Speichere Freie Spieler..."));
        workbench.setTag(QStringLiteral("-1"));
        for (int i = 0; i < 3; ++i) workbench.setImportChecked(i, false);
        // Loading the players stores them all as free players and closes the workbench again.
        workbench.setImportChecked(3, true);
        clearOptions();
        hide();
        QApplication::restoreOverrideCursor();
        setEnabled(true);
    }
    btnabbrechen_Click();
}
