#include "mainwindow/frmnew.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "foundation/schema.h"
#include "mainwindow/frmpicklists.h"

FrmNew::FrmNew(PickLists& lists, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmnew"));
    setWindowTitle(QStringLiteral("Neu"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* kindBox = new QGroupBox(QStringLiteral("Was soll angelegt werden?"), this);
    auto* kindLayout = new QVBoxLayout(kindBox);
    const QString captions[2] = {QStringLiteral("neues &Land (Nationalmannschaft)"), QStringLiteral("neuer &Verein")};
    for (int i = 0; i < 2; ++i) {
        optnew_[i] = new QRadioButton(captions[i], kindBox);
        optnew_[i]->setObjectName(QStringLiteral("optnew_%1").arg(i));
        kindLayout->addWidget(optnew_[i]);
        connect(optnew_[i], &QRadioButton::toggled, this, &FrmNew::updateState);
    }
    layout->addWidget(kindBox);

    auto* form = new QFormLayout;
    cbokontinent_ = new QComboBox(this);
    cbokontinent_->setObjectName(QStringLiteral("cbokontinent"));
    for (const char* continent : schema::kContinents) cbokontinent_->addItem(QString::fromUtf8(continent));
    cbokontinent_->setCurrentIndex(-1);
    cbokontinent_->setPlaceholderText(QStringLiteral("Kontinent wählen"));
    cboland_ = new QComboBox(this);
    cboland_->setObjectName(QStringLiteral("cboland"));
    cboland_->setPlaceholderText(QStringLiteral("Land wählen"));
    cboland_->setMaxVisibleItems(20);
    lists.registerCombo(PickLists::Countries, cboland_);
    lblkontinent_ = new QLabel(QStringLiteral("Kontinent:"), this);
    lblland_ = new QLabel(QStringLiteral("Land:"), this);
    form->addRow(lblkontinent_, cbokontinent_);
    form->addRow(lblland_, cboland_);
    layout->addLayout(form);
    for (QComboBox* box : {cbokontinent_, cboland_}) {
        box->setMinimumWidth(240);
        connect(box, &QComboBox::currentIndexChanged, this, &FrmNew::updateState);
    }

    auto* buttons = new QDialogButtonBox(this);
    cmdok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdok_->setObjectName(QStringLiteral("cmdok"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdcancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setOption(0);
}

void FrmNew::setOption(int option) {
    optnew_[option == 1 ? 1 : 0]->setChecked(true);
    updateState();
}

int FrmNew::option() const { return optnew_[1]->isChecked() ? 1 : 0; }

QString FrmNew::selection() const {
    const QComboBox* box = option() == 0 ? cbokontinent_ : cboland_;
    return box->currentIndex() >= 0 ? box->currentText() : QString();
}

void FrmNew::updateState() {
    const bool country = option() == 0;
    lblkontinent_->setVisible(country);
    cbokontinent_->setVisible(country);
    lblland_->setVisible(!country);
    cboland_->setVisible(!country);
    cmdok_->setEnabled(!selection().isEmpty());
}
