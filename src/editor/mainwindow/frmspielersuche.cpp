#include "mainwindow/frmspielersuche.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/collation.h"
#include "common/ui/messagebox.h"
#include "foundation/dao.h"
#include "mainwindow/find.h"
#include "mainwindow/frmpicklists.h"
#include "mainwindow/playerlist.h"

namespace {

constexpr int kSortRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
enum Column { ColNummer, ColName, ColVorname, ColLand, ColPosition, ColStaerke, ColMax, ColVerein, ColCount };

// Numbers sort by value, texts in German order.
class ResultItem : public QTableWidgetItem {
public:
    ResultItem(const QString& text, const QVariant& sortKey) : QTableWidgetItem(text) { setData(kSortRole, sortKey); }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(kSortRole), b = other.data(kSortRole);
        if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong) return a.toLongLong() < b.toLongLong();
        return collation::compare(text().toStdString(), other.text().toStdString()) < 0;
    }
};

QComboBox* starBox(QWidget* parent, const char* name, int index) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < playerlist::kStarEntries; ++i) box->addItem(playerlist::starEntry(i));
    box->setCurrentIndex(index);
    return box;
}

}  // namespace

FrmSpielersuche::FrmSpielersuche(Dao& dao, PickLists& lists, QWidget* parent) : QDialog(parent), dao_(dao) {
    setObjectName(QStringLiteral("frmspielersuche"));
    setWindowTitle(QStringLiteral("Spieler suchen"));
    txtname_ = new QLineEdit(this);
    txtname_->setObjectName(QStringLiteral("txtname"));
    txtname_->setPlaceholderText(QStringLiteral("Name oder Vorname"));
    txtname_->setClearButtonEnabled(true);
    cbonation_ = new QComboBox(this);
    cbonation_->setObjectName(QStringLiteral("cbonation"));
    cbonation_->setMinimumContentsLength(16);
    cbonation_->setMaxVisibleItems(20);
    // "(alle)" first; the tree build refills the countries behind it.
    lists.registerSink(PickLists::Countries, [this](const QStringList& countries) {
        const QString current = cbonation_->currentIndex() > 0 ? cbonation_->currentText() : QString();
        cbonation_->clear();
        cbonation_->addItem(QStringLiteral("(alle)"));
        cbonation_->addItems(countries);
        cbonation_->setCurrentIndex(std::max(0, cbonation_->findText(current)));
    });
    cbonation_->addItem(QStringLiteral("(alle)"));
    cbonation_->addItems(lists.countries());
    cbopos_ = new QComboBox(this);
    cbopos_->setObjectName(QStringLiteral("cbopos"));
    cbopos_->addItem(QStringLiteral("(alle)"));
    cbopos_->addItems(playerlist::positionNames());
    const int last = playerlist::kStarEntries - 1;
    cbostaerke_[0] = starBox(this, "cbostaerkevon", 0);
    cbostaerke_[1] = starBox(this, "cbostaerkebis", last);
    cbomax_[0] = starBox(this, "cbomaxvon", 0);
    cbomax_[1] = starBox(this, "cbomaxbis", last);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    txtname_->setMinimumWidth(320);
    form->addRow(QStringLiteral("Name/Vorname:"), txtname_);
    form->addRow(QStringLiteral("Land:"), cbonation_);
    form->addRow(QStringLiteral("Position:"), cbopos_);
    const auto range = [this](QComboBox* from, QComboBox* to) {
        auto* row = new QHBoxLayout;
        row->addWidget(from);
        row->addWidget(new QLabel(QStringLiteral("bis"), this));
        row->addWidget(to);
        row->addStretch();
        return row;
    };
    form->addRow(QStringLiteral("Stärke von:"), range(cbostaerke_[0], cbostaerke_[1]));
    form->addRow(QStringLiteral("Maxstärke von:"), range(cbomax_[0], cbomax_[1]));

    auto* btnsuchen = new QPushButton(QStringLiteral("Suchen"), this);
    btnsuchen->setObjectName(QStringLiteral("btnsuchen"));
    btnsuchen->setDefault(true);
    connect(btnsuchen, &QPushButton::clicked, this, &FrmSpielersuche::suchen);
    connect(txtname_, &QLineEdit::returnPressed, this, &FrmSpielersuche::suchen);
    lblanzahl_ = new QLabel(this);
    lblanzahl_->setObjectName(QStringLiteral("lblanzahl"));

    lstergebnis_ = new QTableWidget(0, ColCount, this);
    lstergebnis_->setObjectName(QStringLiteral("lstergebnis"));
    lstergebnis_->setHorizontalHeaderLabels({QStringLiteral("Nummer"), QStringLiteral("Name"), QStringLiteral("Vorname"),
                                             QStringLiteral("Land"), QStringLiteral("Position"), QStringLiteral("Stärke"),
                                             QStringLiteral("Maxstärke"), QStringLiteral("Verein")});
    lstergebnis_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstergebnis_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstergebnis_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstergebnis_->verticalHeader()->hide();
    lstergebnis_->horizontalHeader()->setStretchLastSection(true);
    lstergebnis_->horizontalHeader()->setResizeContentsPrecision(100);  // widths from the first rows: fast for long lists
    lstergebnis_->setSortingEnabled(true);
    lstergebnis_->setToolTip(QStringLiteral("Doppelklick: Spieler im Hauptfenster zeigen"));
    connect(lstergebnis_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem* item = lstergebnis_->item(row, ColNummer);
        if (item) emit spielerGewaehlt(item->data(kKeyRole).toString(), item->data(kSortRole).toLongLong());
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(lblanzahl_, 1);
    searchRow->addWidget(btnsuchen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(searchRow);
    layout->addWidget(lstergebnis_, 1);
    layout->addWidget(buttons);
    resize(820, 560);
}

void FrmSpielersuche::suchen() {
    find::PlayerQuery query;
    query.text = txtname_->text().trimmed().toStdString();
    if (cbonation_->currentIndex() > 0) query.nation = cbonation_->currentText().toStdString();
    query.position = cbopos_->currentIndex() - 1;
    query.strengthMin = std::min(cbostaerke_[0]->currentIndex(), cbostaerke_[1]->currentIndex()) * 1000;
    query.strengthMax = std::max(cbostaerke_[0]->currentIndex(), cbostaerke_[1]->currentIndex()) * 1000;
    query.maxStrengthMin = std::min(cbomax_[0]->currentIndex(), cbomax_[1]->currentIndex()) * 1000;
    query.maxStrengthMax = std::max(cbomax_[0]->currentIndex(), cbomax_[1]->currentIndex()) * 1000;
    std::vector<find::PlayerHit> hits;
    try {
        hits = find::searchPlayers(dao_.db(), query);
    } catch (const std::exception& e) {
        ui::MessageBox::critical(this, windowTitle(), QString::fromUtf8(e.what()));
        return;
    }
    const int shown = static_cast<int>(std::min<std::size_t>(hits.size(), kShownResults));
    lblanzahl_->setText(hits.size() > static_cast<std::size_t>(shown)
                            ? QStringLiteral("%1 Spieler gefunden, die ersten %2 angezeigt").arg(hits.size()).arg(shown)
                            : QStringLiteral("%1 Spieler gefunden").arg(hits.size()));
    lstergebnis_->setSortingEnabled(false);
    lstergebnis_->setUpdatesEnabled(false);
    lstergebnis_->setRowCount(shown);
    const auto qs = [](const std::string& s) { return QString::fromStdString(s); };
    for (int r = 0; r < shown; ++r) {
        const find::PlayerHit& h = hits[static_cast<std::size_t>(r)];
        auto* number = new ResultItem(QString::number(h.number), QVariant::fromValue<qlonglong>(h.number));
        number->setData(kKeyRole, qs(h.key()));
        lstergebnis_->setItem(r, ColNummer, number);
        lstergebnis_->setItem(r, ColName, new ResultItem(qs(h.name), {}));
        lstergebnis_->setItem(r, ColVorname, new ResultItem(qs(h.vorname), {}));
        lstergebnis_->setItem(r, ColLand, new ResultItem(qs(h.nation), {}));
        lstergebnis_->setItem(r, ColPosition, new ResultItem(playerlist::positionName(h.art), QVariant::fromValue<qlonglong>(h.art)));
        lstergebnis_->setItem(r, ColStaerke, new ResultItem(playerlist::starsText(h.staerke), QVariant::fromValue<qlonglong>(h.staerke)));
        lstergebnis_->setItem(r, ColMax, new ResultItem(playerlist::starsText(h.maxStaerke), QVariant::fromValue<qlonglong>(h.maxStaerke)));
        lstergebnis_->setItem(r, ColVerein, new ResultItem(qs(h.teamName), {}));
    }
    // The search's own order (name, first name) until a header is clicked.
    lstergebnis_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    lstergebnis_->setSortingEnabled(true);
    lstergebnis_->resizeColumnsToContents();
    lstergebnis_->setUpdatesEnabled(true);
}
