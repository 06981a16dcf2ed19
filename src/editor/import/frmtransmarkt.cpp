#include "import/frmtransmarkt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/ui/messagebox.h"
#include "foundation/dao.h"
#include "import/market.h"
#include "mainwindow/frmpicklists.h"

namespace {

QTreeWidget* listView(QWidget* parent, const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Position"), QStringLiteral("Stärke"), QStringLiteral("art")});
    list->setColumnHidden(3, true);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->setColumnWidth(1, 70);
    list->setColumnWidth(2, 90);
    list->setMinimumSize(330, 340);
    return list;
}

QComboBox* combo(QWidget* parent, const QString& name, const QString& placeholder) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setPlaceholderText(placeholder);
    box->setMaxVisibleItems(20);
    box->setMinimumWidth(330);
    return box;
}

}  // namespace

FrmTransmarkt::FrmTransmarkt(Dao& dao, PickLists& lists, QWidget* parent) : QDialog(parent), dao_(dao) {
    setObjectName(QStringLiteral("frmtransmarkt"));
    setWindowTitle(QString::fromUtf8(market::kTitle));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* modes = new QHBoxLayout;
    const QString captions[2] = {QStringLiteral("Freie Spieler"), QStringLiteral("Editorspieler")};
    for (int i = 0; i < 2; ++i) {
        Opttransfer_[i] = new QRadioButton(captions[i], this);
        Opttransfer_[i]->setObjectName(QStringLiteral("Opttransfer_%1").arg(i));
        modes->addWidget(Opttransfer_[i]);
        connect(Opttransfer_[i], &QRadioButton::clicked, this, [this, i] { Opttransfer_Click(i); });
    }
    modes->addStretch();
    layout->addLayout(modes);

    auto* grid = new QGridLayout;
    cbovereine_ = combo(this, QStringLiteral("cbovereine"), QStringLiteral("Verein der freien Spieler wählen"));
    connect(cbovereine_, &QComboBox::activated, this, [this] { cbovereine_Click(); });
    for (int k = 0; k < 2; ++k) {
        cbovereineeditor_[k] = combo(this, QStringLiteral("cbovereineeditor_%1").arg(k), QStringLiteral("Verein wählen"));
        lists.registerCombo(PickLists::Clubs, cbovereineeditor_[k]);
        connect(cbovereineeditor_[k], &QComboBox::activated, this, [this, k] { cbovereineeditor_Click(k); });
    }
    lists_[0] = listView(this, "lstvfspieler");
    lists_[1] = listView(this, "lstvtmarkt");
    for (int side = 0; side < 2; ++side)
        connect(lists_[side], &QTreeWidget::itemClicked, this, [this, side](QTreeWidgetItem* item) { itemClick(side, item); });
    // Both left combos share one place; the mode shows one of them.
    grid->addWidget(cbovereine_, 0, 0);
    grid->addWidget(cbovereineeditor_[0], 0, 0);
    grid->addWidget(cbovereineeditor_[1], 0, 1);
    grid->addWidget(lists_[0], 1, 0);
    grid->addWidget(lists_[1], 1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btnspielertausch_ = new QPushButton(QStringLiteral("Spieler tauschen"), this);
    btnspielertausch_->setObjectName(QStringLiteral("btnspielertausch"));
    btnspielertausch_->setAutoDefault(false);
    Command1_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(btnspielertausch_);
    buttons->addWidget(Command1_);
    layout->addLayout(buttons);
    connect(btnspielertausch_, &QPushButton::clicked, this, &FrmTransmarkt::btnspielertausch_Click);
    connect(Command1_, &QPushButton::clicked, this, &QDialog::reject);

    Opttransfer_[0]->setChecked(true);
    Opttransfer_Click(0);
}

void FrmTransmarkt::load() {
    changed_ = false;
    fillFreeClubs();
}

void FrmTransmarkt::fillFreeClubs() {
    const QString current = cbovereine_->currentText();
    const QSignalBlocker block(cbovereine_);
    cbovereine_->clear();
    try {
        for (const QString& club : market::freieVereine(dao_.db())) cbovereine_->addItem(club);
    } catch (const std::exception& e) {
        ui::MessageBox::critical(this, QString::fromUtf8(market::kTitle), QString::fromUtf8(e.what()));
    }
    cbovereine_->setCurrentIndex(current.isEmpty() ? -1 : cbovereine_->findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

bool FrmTransmarkt::editorMode() const { return Opttransfer_[1]->isChecked(); }

void FrmTransmarkt::Opttransfer_Click(int index) {
    cbovereineeditor_[0]->setVisible(index == 1);
    cbovereine_->setVisible(index == 0);
    clearList(0);
    if (index == 1) cbovereineeditor_[0]->setCurrentIndex(-1);
    updateButton();
}

void FrmTransmarkt::cbovereine_Click() {
    if (cbovereine_->currentIndex() < 0) return;
    fill(0, cbovereine_->currentText(), -1);
}

void FrmTransmarkt::cbovereineeditor_Click(int k) {
    btnspielertausch_->setEnabled(false);
    if (cbovereineeditor_[k]->currentIndex() < 0) return;
    fill(k, QString(), cbovereineeditor_[k]->currentData().toLongLong());
}

// A free club name for the free players, otherwise the club number; every item starts dimmed.
void FrmTransmarkt::fill(int side, const QString& freeClub, long long club) {
    clearList(side);
    std::vector<market::ListEntry> entries;
    try {
        entries = club < 0 ? market::freieSpieler(dao_.db(), freeClub) : market::vereinsSpieler(dao_.db(), club);
    } catch (const std::exception& e) {
        ui::MessageBox::critical(this, QString::fromUtf8(market::kTitle), QString::fromUtf8(e.what()));
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(entries.size()));
    for (const market::ListEntry& e : entries) {
        auto* item = new QTreeWidgetItem(QStringList{e.text, e.position, e.stars, QString::number(e.art)});
        item->setData(0, kKeyRole, QString::fromStdString(e.key));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        setDimmed(item, true);
        items.append(item);
    }
    lists_[side]->addTopLevelItems(items);
    updateButton();
}

void FrmTransmarkt::clearList(int side) {
    lists_[side]->clear();
    marked_[side] = nullptr;
}

void FrmTransmarkt::setDimmed(QTreeWidgetItem* item, bool dimmed) {
    item->setData(0, kDimmedRole, dimmed);
    const QColor colour = palette().color(dimmed ? QPalette::Disabled : QPalette::Active, QPalette::Text);
    QFont font = item->font(0);
    font.setBold(!dimmed);
    for (int c = 0; c < item->columnCount(); ++c) {
        item->setForeground(c, colour);
        item->setFont(c, font);
    }
}

void FrmTransmarkt::itemClick(int side, QTreeWidgetItem* item) {
    if (!item) return;
    if (marked_[side] && marked_[side] != item) setDimmed(marked_[side], true);
    setDimmed(item, false);
    marked_[side] = item;
    updateButton();
}

void FrmTransmarkt::updateButton() {
    bool on = true;
    for (int side = 0; side < 2; ++side)
        on = on && lists_[side]->topLevelItemCount() > 0 && marked_[side] && !marked_[side]->data(0, kDimmedRole).toBool();
    btnspielertausch_->setEnabled(on);
}

void FrmTransmarkt::btnspielertausch_Click() {
    if (!marked_[0] || !marked_[1]) return;
    const long long a = market::keyNumber(marked_[0]->data(0, kKeyRole).toString().toStdString());
    const long long b = market::keyNumber(marked_[1]->data(0, kKeyRole).toString().toStdString());
    try {
        if (editorMode())
            market::tauschEditor(dao_.db(), a, cbovereineeditor_[0]->currentData().toLongLong(), b,
                                 cbovereineeditor_[1]->currentData().toLongLong());
        else
            market::tauschFrei(dao_.db(), a, b, cbovereineeditor_[1]->currentText().toStdString(), rnd_);
        changed_ = true;
    } catch (const std::exception& e) {
        ui::MessageBox::critical(this, QString::fromUtf8(market::kTitle), QString::fromUtf8(e.what()));
        return;
    }
    // Both lists again. The player who left a club is a free player of a club name the left
    // combo may not hold yet, and the free player's club may have no one left.
    if (editorMode()) {
        cbovereineeditor_Click(0);
    } else {
        fillFreeClubs();
        if (cbovereine_->currentIndex() >= 0) fill(0, cbovereine_->currentText(), -1);
        else clearList(0);
    }
    cbovereineeditor_Click(1);
}
