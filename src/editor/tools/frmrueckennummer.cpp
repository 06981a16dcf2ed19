#include "editor/tools/frmrueckennummer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/jetdb.h"
#include "common/progress.h"
#include "common/ui/messagebox.h"
#include "editor/tools/frmclubsearch.h"
#include "editor/tools/shirtnumbers.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString title() { return QString::fromUtf8(shirtnumbers::kTitle); }

}  // namespace

FrmRueckennummer::FrmRueckennummer(QWidget* parent, ProgressSink& progress) : QDialog(parent), progress_(progress) {
    setObjectName(QStringLiteral("frmrueckennummer"));
    setWindowTitle(QStringLiteral("Rückennummer überprüfen"));
    setModal(true);

    btnstart_ = new QPushButton(QStringLiteral("Start"), this);
    btnstart_->setObjectName(QStringLiteral("btnstart"));
    cbovereine_ = new QComboBox(this);
    cbovereine_->setObjectName(QStringLiteral("cbovereine"));
    cbovereine_->setMinimumWidth(260);
    lstspieler_ = new QListWidget(this);
    lstspieler_->setObjectName(QStringLiteral("lstspieler"));
    txtnrneu_ = new QLineEdit(this);
    txtnrneu_->setObjectName(QStringLiteral("txtnrneu"));
    txtnrneu_->setMaximumWidth(80);
    btnupdate_ = new QPushButton(QStringLiteral("Übernehmen"), this);
    btnupdate_->setObjectName(QStringLiteral("btnupdate"));
    btnupdate_->setAutoDefault(false);
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);
    txtnrneu_->setEnabled(false);
    btnupdate_->setEnabled(false);

    connect(btnstart_, &QPushButton::clicked, this, &FrmRueckennummer::btnstart_Click);
    connect(cbovereine_, &QComboBox::currentIndexChanged, this, &FrmRueckennummer::cbovereine_Click);
    connect(lstspieler_, &QListWidget::itemDoubleClicked, this, &FrmRueckennummer::lstspieler_DblClick);
    connect(btnupdate_, &QPushButton::clicked, this, &FrmRueckennummer::btnupdate_Click);
    connect(txtnrneu_, &QLineEdit::returnPressed, btnupdate_, &QPushButton::click);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Verein:"), this));
    top->addWidget(cbovereine_, 1);
    top->addWidget(btnstart_);
    auto* edit = new QHBoxLayout;
    edit->addWidget(new QLabel(QStringLiteral("Neue Rückennummer:"), this));
    edit->addWidget(txtnrneu_);
    edit->addWidget(btnupdate_);
    edit->addStretch(1);
    edit->addWidget(btnabbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Spieler (Doppelklick ändert die Rückennummer):"), this));
    layout->addWidget(lstspieler_, 1);
    layout->addLayout(edit);
    resize(460, 520);
}

void FrmRueckennummer::setDatabase(jet::Database& db) {
    db_ = &db;
    changed_ = false;
    {
        const QSignalBlocker block(cbovereine_);
        cbovereine_->clear();
    }
    lstspieler_->clear();
    txtnrneu_->clear();
    txtnrneu_->setEnabled(false);
    btnupdate_->setEnabled(false);
    setListsEnabled(true);
    btnstart_->setEnabled(true);
}

void FrmRueckennummer::zeigen(jet::Database& db) {
    setDatabase(db);
    exec();
}

void FrmRueckennummer::btnstart_Click() {
    if (!db_) return;
    btnstart_->setEnabled(false);
    {
        const QSignalBlocker block(cbovereine_);
        cbovereine_->clear();
    }
    lstspieler_->clear();
    const bool ok = searchClubs(this, progress_, title(), [this] {
        const auto clubs = shirtnumbers::findClubs(*db_, progress_);
        const QSignalBlocker block(cbovereine_);
        for (const auto& club : clubs) cbovereine_->addItem(qs(club.name), club.number);
        return !clubs.empty();
    });
    if (!ok) btnstart_->setEnabled(true);
    if (cbovereine_->count() == 0) return;
    cbovereine_->setCurrentIndex(0);
    cbovereine_Click();
}

void FrmRueckennummer::cbovereine_Click() {
    const int index = cbovereine_->currentIndex();
    if (index < 0 || !db_) return;
    std::vector<shirtnumbers::Entry> entries;
    try {
        entries = shirtnumbers::playerEntries(*db_, cbovereine_->itemData(index).toLongLong());
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    lstspieler_->clear();
    for (const auto& entry : entries) (new QListWidgetItem(qs(entry.text), lstspieler_))->setData(Qt::UserRole, entry.player);
    if (shirtnumbers::hasMarker(entries)) return;
    // Clean: the club leaves the list and the next one is shown.
    {
        const QSignalBlocker block(cbovereine_);
        cbovereine_->removeItem(index);
        cbovereine_->setCurrentIndex(cbovereine_->count() > 0 ? 0 : -1);
    }
    if (cbovereine_->count() > 0) cbovereine_Click();
}

void FrmRueckennummer::lstspieler_DblClick(QListWidgetItem* item) {
    if (!item || !db_) return;
    player_ = item->data(Qt::UserRole).toLongLong();
    QString shirt;
    try {
        shirt = qs(shirtnumbers::shirtNumber(*db_, player_));
    } catch (const std::exception& e) {
        showError(e);
        return;
    }
    btnstart_->setEnabled(false);
    setListsEnabled(false);
    txtnrneu_->setText(shirt);
    txtnrneu_->setEnabled(true);
    btnupdate_->setEnabled(true);
    txtnrneu_->setFocus();
    txtnrneu_->selectAll();
}

void FrmRueckennummer::btnupdate_Click() {
    if (!btnupdate_->isEnabled() || !db_) return;
    txtnrneu_->setEnabled(false);
    btnupdate_->setEnabled(false);
    try {
        bool written = false;
        const std::string message = shirtnumbers::setShirtNumber(*db_, player_, txtnrneu_->text().toStdString(), &written);
        changed_ = changed_ || written;
        if (!message.empty()) ui::MessageBox::warning(this, title(), qs(message));
    } catch (const std::exception& e) {
        showError(e);
    }
    btnstart_->setEnabled(true);
    setListsEnabled(true);
    cbovereine_Click();
}

void FrmRueckennummer::setListsEnabled(bool on) {
    cbovereine_->setEnabled(on);
    lstspieler_->setEnabled(on);
}

void FrmRueckennummer::showError(const std::exception& e) { ui::MessageBox::critical(this, title(), qs(e.what())); }
