#include "editor/tools/frmteamname.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/jetdb.h"
#include "common/progress.h"
#include "common/ui/messagebox.h"
#include "editor/tools/frmclubsearch.h"
#include "editor/tools/clubnames.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString title() { return QString::fromUtf8(clubnames::kTitle); }

}  // namespace

FrmTeamname::FrmTeamname(QWidget* parent, ProgressSink& progress) : QDialog(parent), progress_(progress) {
    setObjectName(QStringLiteral("frmteamname"));
    setWindowTitle(title());
    setModal(true);

    btnstart_ = new QPushButton(QStringLiteral("Start"), this);
    btnstart_->setObjectName(QStringLiteral("btnstart"));
    lstvereine_ = new QListWidget(this);
    lstvereine_->setObjectName(QStringLiteral("lstvereine"));
    auto* rules = new QGroupBox(QStringLiteral("Vorschlag"), this);
    auto* group = new QButtonGroup(this);
    auto* rulesLayout = new QVBoxLayout(rules);
    const char* captions[clubnames::kRules] = {"ganzer Name", "ohne erstes Wort", "ohne letztes Wort"};
    for (int i = 0; i < clubnames::kRules; ++i) {
        optname_[i] = new QRadioButton(QString::fromUtf8(captions[i]), rules);
        optname_[i]->setObjectName(QStringLiteral("optname_%1").arg(i));
        group->addButton(optname_[i], i);
        rulesLayout->addWidget(optname_[i]);
    }
    optname_[clubnames::RuleFull]->setChecked(true);
    rulesLayout->addStretch(1);
    txtteamneu_ = new QLineEdit(this);
    txtteamneu_->setObjectName(QStringLiteral("txtteamneu"));
    btnupdate_ = new QPushButton(QStringLiteral("Übernehmen"), this);
    btnupdate_->setObjectName(QStringLiteral("btnupdate"));
    btnupdate_->setAutoDefault(false);
    btnupdate_->setEnabled(false);
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);

    connect(btnstart_, &QPushButton::clicked, this, &FrmTeamname::btnstart_Click);
    connect(lstvereine_, &QListWidget::currentRowChanged, this, &FrmTeamname::propose);
    connect(group, &QButtonGroup::idClicked, this, &FrmTeamname::propose);
    connect(txtteamneu_, &QLineEdit::textChanged, this, &FrmTeamname::enableUpdate);
    connect(txtteamneu_, &QLineEdit::returnPressed, btnupdate_, &QPushButton::click);
    connect(btnupdate_, &QPushButton::clicked, this, &FrmTeamname::btnupdate_Click);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* middle = new QHBoxLayout;
    middle->addWidget(lstvereine_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(btnstart_);
    side->addWidget(rules);
    side->addStretch(1);
    middle->addLayout(side);
    auto* edit = new QHBoxLayout;
    edit->addWidget(new QLabel(QStringLiteral("Neuer Name:"), this));
    edit->addWidget(txtteamneu_, 1);
    edit->addWidget(btnupdate_);
    edit->addWidget(btnabbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Vereine mit mehr als %1 Zeichen im Namen:").arg(clubnames::kNameLimit), this));
    layout->addLayout(middle, 1);
    layout->addLayout(edit);
    resize(520, 460);
}

void FrmTeamname::setDatabase(jet::Database& db) {
    db_ = &db;
    changed_ = false;
    lstvereine_->clear();
    txtteamneu_->clear();
    btnstart_->setEnabled(true);
}

void FrmTeamname::zeigen(jet::Database& db) {
    setDatabase(db);
    exec();
}

void FrmTeamname::btnstart_Click() {
    if (!db_) return;
    btnstart_->setEnabled(false);
    lstvereine_->clear();
    const bool ok = searchClubs(this, progress_, title(), [this] {
        const auto clubs = clubnames::longNames(*db_, progress_);
        for (const auto& club : clubs) (new QListWidgetItem(qs(club.name), lstvereine_))->setData(Qt::UserRole, club.number);
        return !clubs.empty();
    });
    if (!ok) btnstart_->setEnabled(true);
    enableUpdate();
    enableUpdate();
}

int FrmTeamname::rule() const {
    for (int i = 0; i < clubnames::kRules; ++i)
        if (optname_[i]->isChecked()) return i;
    return clubnames::RuleFull;
}

void FrmTeamname::propose() {
    txtteamneu_->clear();
    QListWidgetItem* item = lstvereine_->currentItem();
    if (!item) return;
    txtteamneu_->setText(qs(clubnames::proposal(item->text().toStdString(), rule())));
}

void FrmTeamname::enableUpdate() { btnupdate_->setEnabled(!txtteamneu_->text().isEmpty() && lstvereine_->currentItem()); }

void FrmTeamname::btnupdate_Click() {
    QListWidgetItem* item = lstvereine_->currentItem();
    const QString name = txtteamneu_->text();
    if (!item || name.isEmpty() || !db_) return;
    try {
        clubnames::rename(*db_, item->data(Qt::UserRole).toLongLong(), name.toStdString());
    } catch (const std::exception& e) {
        ui::MessageBox::critical(this, title(), qs(e.what()));
        return;
    }
    changed_ = true;
    item->setText(name);
    if (clubnames::length(name.toStdString()) <= clubnames::kNameLimit) btnstart_Click();
}
