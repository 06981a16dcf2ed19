#include "mainwindow/frmmain_players.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <vector>

#include "common/paths.h"
#include "common/progress.h"
#include "foundation/dao.h"
#include "editor/graphics/frmface.h"
#include "foundation/settings.h"
#include "mainwindow/playerlist.h"
#include "mainwindow/talents.h"

namespace {

using namespace playerlist;

const QColor kLightYellow(255, 255, 192);
constexpr int kIconSize = 16;
constexpr int kNumberBaseWidth = 70;  // column "Nummer" before it is narrowed
constexpr int kNarrowBy = 2;          // each of the columns 1..9
constexpr int kNarrowNumberBy = 6;    // column 0

// Talent grid columns.
constexpr int kTalentIcon = 0;
constexpr int kTalentMark = 1;
constexpr int kTalentText = 2;
constexpr int kTalentName = 3;
constexpr int kFirstReference = 4;           // 4..9: icons of the referenced talents
constexpr int kFirstReferenceIndex = 10;     // 10..15: their indices
constexpr int kTalentState = 16;
constexpr int kTalentColumns = 17;

const char* const kTag = "tag";

// A header whose neighbouring sections with equal text are drawn as one.
class MergedHeader : public QHeaderView {
public:
    explicit MergedHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        if (!rect.isValid()) return;
        const QString text = label(logicalIndex);
        int first = logicalIndex, last = logicalIndex;
        while (first > 0 && label(first - 1) == text) --first;
        while (last + 1 < count() && label(last + 1) == text) ++last;
        int left = sectionViewportPosition(first);
        int right = sectionViewportPosition(last) + sectionSize(last);
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = QRect(left, rect.top(), right - left, rect.height());
        opt.section = logicalIndex;
        opt.text = text.trimmed();
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        painter->save();
        painter->setClipRect(rect);
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        painter->restore();
    }

private:
    QString label(int logical) const { return model()->headerData(logical, orientation(), Qt::DisplayRole).toString(); }
};

// Pictures in the talent grid: drawn at their own size in the middle of the cell, so that a
// 16-pixel column shows the whole 16-pixel icon.
class IconDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QPixmap pixmap = index.data(Qt::DecorationRole).value<QPixmap>();
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        opt.text.clear();
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        if (pixmap.isNull()) return;
        QRect target(QPoint(), pixmap.deviceIndependentSize().toSize());
        target.moveCenter(option.rect.center());
        painter->drawPixmap(target, pixmap);
    }
};

// Calls a function whenever the watched widget is resized.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject* parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) f_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> f_;
};

// The learned and blocked marks: from the icon theme when it has one, drawn otherwise.
QPixmap markPicture(bool learned) {
    const char* const names[2][3] = {{"dialog-cancel", "process-stop", "emblem-unreadable"},
                                     {"emblem-default", "object-select", "dialog-ok"}};
    for (const char* name : names[learned ? 1 : 0]) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull()) {
            const QPixmap pm = icon.pixmap(kIconSize, kIconSize);
            if (!pm.isNull()) return pm;
        }
    }
    QPixmap pm(kIconSize, kIconSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = learned ? QColor(46, 160, 67) : QColor(207, 34, 46);
    p.setPen(QPen(fill.darker(140), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (learned) {
        QPainterPath tick;
        tick.moveTo(4.8, 8.2);
        tick.lineTo(7.0, 10.5);
        tick.lineTo(11.2, 5.5);
        p.drawPath(tick);
    } else {
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    return pm;
}

QTableWidgetItem* textItem(const QString& text, Qt::Alignment align = Qt::AlignCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    return item;
}

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    return edit;
}

QComboBox* comboBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

QGroupBox* frame(QWidget* parent, const QString& title, const char* name) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

struct PlayerArea::Impl {
    PlayerArea* q;
    Dao& dao;
    const Settings& settings;
    ProgressSink& progress;

    QGroupBox* gridFrame = nullptr;
    QTableWidget* grid = nullptr;  // flxgrdspieler

    QWidget* page = nullptr;
    QGroupBox* frameInfo = nullptr;
    QGroupBox* frameDaten = nullptr;
    QGroupBox* frameGesicht = nullptr;
    QGroupBox* frameTalente = nullptr;
    QLineEdit* txtspielernr = nullptr;
    QComboBox* cbostaerke = nullptr;
    QComboBox* cbomstaerke = nullptr;
    QComboBox* cbopos = nullptr;
    QLineEdit* txtname = nullptr;
    QLineEdit* txtvorname = nullptr;
    QComboBox* cboland = nullptr;
    QLineEdit* txteinsatz = nullptr;
    QLineEdit* txtrnr = nullptr;
    QLineEdit* txtgroesse = nullptr;
    QLabel* picgesicht = nullptr;
    QLabel* imggesicht[5] = {};
    std::unique_ptr<FaceFrame> face;
    QPushButton* btnsave = nullptr;
    QTableWidget* talentGrid = nullptr;  // flxgrdattribute

    talents::States states;
    QHash<int, QPixmap> talentIcons;
    QPixmap learnedMark = markPicture(true);
    QPixmap blockedMark = markPicture(false);
    int currentRow = -1;  // row of the player list shown in the editor
    int sortColumn = -1;  // -1: the query's order
    bool sortDescending = false;

    Impl(PlayerArea* owner, Dao& d, const Settings& s, ProgressSink& p, QWidget* parent)
        : q(owner), dao(d), settings(s), progress(p), states(0) {
        buildGrid(parent);
        buildPage(parent);
    }

    void buildGrid(QWidget* parent);
    void buildPage(QWidget* parent);
    QWidget* buildFacePlaceholder(QWidget* parent);
    void fitGridColumns();
    void colourRow(int row);
    void showBlankRows();
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    void showspieler(int row);
    void sortBy(int column);
    void resetSort();
    void showtalente(int row, int art);
    void applyTalentVisibility(int art);
    void showMark(int talentRow);
    QPixmap talentIcon(int index);
    void cycleTalent(int talentRow);
    void btnspielerspeichern_Click();
};

void PlayerArea::Impl::buildGrid(QWidget* parent) {
    gridFrame = frame(parent, QStringLiteral("Spieler"), "framespielerliste");
    grid = new QTableWidget(gridFrame);
    grid->setObjectName(QStringLiteral("flxgrdspieler"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setWordWrap(false);
    auto* layout = new QVBoxLayout(gridFrame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(grid);
    grid->viewport()->installEventFilter(new ResizeWatcher(q, [this] { fitGridColumns(); }));
    QObject::connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, q, [this](int column) { sortBy(column); });
    QObject::connect(grid, &QTableWidget::cellClicked, q, [this](int row, int) {
        if (row < 0 || cell(row, ColNummer).isEmpty()) return;
        q->setPlayerFramesEnabled(true);
        showspieler(row);
        emit q->playerShown();
    });
}

QWidget* PlayerArea::Impl::buildFacePlaceholder(QWidget* parent) {
    // The face code is the picture's tag, the part indices are the layers' tags.
    picgesicht = new QLabel(parent);
    picgesicht->setObjectName(QStringLiteral("picgesicht"));
    picgesicht->setFixedSize(100, 120);
    picgesicht->setFrameShape(QFrame::StyledPanel);
    picgesicht->setFrameShadow(QFrame::Sunken);
    picgesicht->setProperty(kTag, 0LL);
    for (int part = 0; part < 5; ++part) {
        imggesicht[part] = new QLabel(picgesicht);
        imggesicht[part]->setObjectName(QStringLiteral("imggesicht_%1").arg(part));
        imggesicht[part]->setGeometry(picgesicht->rect());
        imggesicht[part]->setAttribute(Qt::WA_TransparentForMouseEvents);
        imggesicht[part]->setProperty(kTag, 0);
        imggesicht[part]->setProperty("index", part);
    }
    const facepics::Layers layers{imggesicht[0], imggesicht[1], imggesicht[2], imggesicht[3], imggesicht[4]};
    face = std::make_unique<FaceFrame>(picgesicht, layers, [this] { return settings.folders[FolderGesicht]; });
    picgesicht->setToolTip(QStringLiteral("Doppelklick: Gesicht bearbeiten"));
    return picgesicht;
}

void PlayerArea::Impl::buildPage(QWidget* parent) {
    page = new QWidget(parent);
    page->setObjectName(QStringLiteral("tabspieler"));

    frameInfo = frame(page, QStringLiteral("Info"), "frameinfo");
    txtspielernr = lineEdit(frameInfo, "txtspielernr");
    // The number is the key of the row the save writes; it comes from the list only.
    txtspielernr->setReadOnly(true);
    cbostaerke = comboBox(frameInfo, "cbospielerstärke");
    cbomstaerke = comboBox(frameInfo, "cbospielermstärke");
    for (int i = 0; i < kStarEntries; ++i) {
        cbostaerke->addItem(starEntry(i));
        cbomstaerke->addItem(starEntry(i));
    }
    cbopos = comboBox(frameInfo, "cbospielerpos");
    cbopos->addItems(positionNames());
    auto* info = new QFormLayout(frameInfo);
    info->addRow(QStringLiteral("Spielernummer:"), txtspielernr);
    info->addRow(QStringLiteral("Stärke:"), cbostaerke);
    info->addRow(QStringLiteral("Maxstärke:"), cbomstaerke);
    info->addRow(QStringLiteral("Position:"), cbopos);

    frameDaten = frame(page, QStringLiteral("Daten"), "framedaten");
    txtvorname = lineEdit(frameDaten, "txtspielervorname");
    txtname = lineEdit(frameDaten, "txtspielername");
    cboland = comboBox(frameDaten, "cbospielerland");
    cboland->addItem(QStringLiteral("TRANSFERMARKT"));  // until the tree build brings the countries
    cboland->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboland->setMinimumContentsLength(16);
    txteinsatz = lineEdit(frameDaten, "txtspielereinsatz");
    txtrnr = lineEdit(frameDaten, "txtspielerrnr");
    txtgroesse = lineEdit(frameDaten, "txtspielergroesse");
    for (QLineEdit* number : {txteinsatz, txtrnr, txtgroesse}) {
        number->setMaximumWidth(70);
        number->setAlignment(Qt::AlignRight);
    }
    auto* daten = new QGridLayout(frameDaten);
    daten->addWidget(new QLabel(QStringLiteral("Vorname/Name:"), frameDaten), 0, 0);
    auto* names = new QHBoxLayout;
    names->addWidget(txtvorname);
    names->addWidget(txtname);
    daten->addLayout(names, 0, 1, 1, 3);
    daten->addWidget(new QLabel(QStringLiteral("Land:"), frameDaten), 1, 0);
    daten->addWidget(cboland, 1, 1, 1, 3);
    daten->addWidget(new QLabel(QStringLiteral("Resteinsätze:"), frameDaten), 2, 0);
    daten->addWidget(txteinsatz, 2, 1);
    daten->addWidget(new QLabel(QStringLiteral("Rückennummer:"), frameDaten), 3, 0);
    daten->addWidget(txtrnr, 3, 1);
    daten->addWidget(new QLabel(QStringLiteral("Größe:"), frameDaten), 4, 0);
    daten->addWidget(txtgroesse, 4, 1);
    daten->addWidget(new QLabel(QStringLiteral("cm"), frameDaten), 4, 2);
    daten->setColumnStretch(3, 1);

    frameGesicht = frame(page, QStringLiteral("Gesicht"), "framegesicht");
    auto* face = new QHBoxLayout(frameGesicht);
    face->setContentsMargins(8, 4, 8, 8);
    face->addWidget(buildFacePlaceholder(frameGesicht));

    frameTalente = frame(page, QStringLiteral("Spielertalente"), "framespielertalente");
    talentGrid = new QTableWidget(frameTalente);
    talentGrid->setObjectName(QStringLiteral("flxgrdattribute"));
    talentGrid->setHorizontalHeader(new MergedHeader(talentGrid));
    talentGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    talentGrid->setSelectionMode(QAbstractItemView::NoSelection);
    talentGrid->setFocusPolicy(Qt::NoFocus);
    talentGrid->verticalHeader()->hide();
    talentGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    talentGrid->verticalHeader()->setMinimumSectionSize(kIconSize);
    talentGrid->verticalHeader()->setDefaultSectionSize(talents::kRowHeight);
    talentGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    talentGrid->horizontalHeader()->setMinimumSectionSize(kIconSize);
    talentGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    talentGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    talentGrid->setWordWrap(false);
    QFont small = talentGrid->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    talentGrid->setFont(small);
    talentGrid->setMouseTracking(true);
    auto* icons = new IconDelegate(talentGrid);
    talentGrid->setItemDelegateForColumn(kTalentIcon, icons);
    talentGrid->setItemDelegateForColumn(kTalentMark, icons);
    for (int c = kFirstReference; c < kFirstReferenceIndex; ++c) talentGrid->setItemDelegateForColumn(c, icons);
    auto* talentsLayout = new QVBoxLayout(frameTalente);
    talentsLayout->setContentsMargins(4, 4, 4, 4);
    talentsLayout->addWidget(talentGrid);
    QObject::connect(talentGrid, &QTableWidget::cellClicked, q, [this](int row, int column) {
        if (column == kTalentIcon || column == kTalentMark) cycleTalent(row + 1);
    });
    // The state cells invite a click.
    QObject::connect(talentGrid, &QTableWidget::cellEntered, q, [this](int, int column) {
        if (column == kTalentIcon || column == kTalentMark)
            talentGrid->viewport()->setCursor(Qt::PointingHandCursor);
        else
            talentGrid->viewport()->unsetCursor();
    });

    btnsave = new QPushButton(QStringLiteral("Spieler speichern"), page);
    btnsave->setObjectName(QStringLiteral("btnspielerspeichern"));
    QObject::connect(btnsave, &QPushButton::clicked, q, [this] { btnspielerspeichern_Click(); });

    // Face beside the info frame keeps the page short enough for small screens.
    auto* top = new QHBoxLayout;
    top->addWidget(frameInfo, 1);
    top->addWidget(frameGesicht);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(frameDaten);
    left->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnsave);
    left->addLayout(buttons);
    // The editor keeps a readable width; the talent grid is as wide as its columns.
    auto* leftSide = new QWidget(page);
    leftSide->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftSide->setMaximumWidth(560);
    frameTalente->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(leftSide, 1);
    layout->addWidget(frameTalente);
    layout->addStretch(0);
}

QString PlayerArea::Impl::cell(int row, int column) const {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void PlayerArea::Impl::setCell(int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, textItem(text));
}

void PlayerArea::Impl::fitGridColumns() {
    const int width = grid->viewport()->width();
    const int each = std::max(20, (width - kNumberBaseWidth) / 9 - kNarrowBy);
    for (int c = 1; c < kHeadedColumns; ++c) grid->setColumnWidth(c, each);
    grid->setColumnWidth(ColNummer, kNumberBaseWidth - kNarrowNumberBy);
}

void PlayerArea::Impl::colourRow(int row) {
    // Every second data row light yellow; the number column looks like the fixed column it is.
    const QBrush number = grid->palette().brush(QPalette::Button);
    if (QTableWidgetItem* item = grid->item(row, ColNummer)) item->setBackground(number);
    // A sorted row may come from the other colour.
    const QBrush background = row % 2 ? QBrush(kLightYellow) : QBrush();
    for (int c = 1; c < kColumns; ++c)
        if (QTableWidgetItem* item = grid->item(row, c)) item->setBackground(background);
}

// A header click sorts by that column, a second click on it the other way round. The rows
// move with their items, so the editor's working copy stays the row it was.
void PlayerArea::Impl::sortBy(int column) {
    if (column < 0 || column >= kHeadedColumns || !grid->isEnabled() || grid->rowCount() < 1) return;
    sortDescending = column == sortColumn ? !sortDescending : false;
    sortColumn = column;
    const int rows = grid->rowCount();
    std::vector<QStringList> cells(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kHeadedColumns; ++c) cells[r] << cell(r, c);
    const std::vector<int> order = sortOrder(cells, column, sortDescending);
    std::vector<std::vector<QTableWidgetItem*>> taken(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c) taken[r].push_back(grid->takeItem(r, c));
    grid->setUpdatesEnabled(false);
    int shown = -1;
    for (int r = 0; r < rows; ++r) {
        const int from = order[static_cast<std::size_t>(r)];
        for (int c = 0; c < kColumns; ++c) grid->setItem(r, c, taken[from][c]);
        colourRow(r);
        if (from == currentRow) shown = r;
    }
    currentRow = shown;
    grid->clearSelection();
    if (shown >= 0) grid->selectRow(shown);
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSortIndicator(column, sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    grid->setUpdatesEnabled(true);
}

void PlayerArea::Impl::resetSort() {
    sortColumn = -1;
    sortDescending = false;
    grid->horizontalHeader()->setSortIndicatorShown(false);
}

void PlayerArea::Impl::showBlankRows() {
    grid->setRowCount(kBlankRows);
    grid->setEnabled(false);
}

// Grid row -> editor. The list row is the player's working copy.
void PlayerArea::Impl::showspieler(int row) {
    currentRow = row;
    txtspielernr->setText(cell(row, ColNummer));
    txtname->setText(cell(row, ColName));
    txtvorname->setText(cell(row, ColVorname));
    cbostaerke->setCurrentIndex(starIndex(cell(row, ColStaerke)));
    cbomstaerke->setCurrentIndex(starIndex(cell(row, ColMaxStaerke)));
    // A country missing from the list shows the first entry, "TRANSFERMARKT".
    const int country = cboland->findText(cell(row, ColLand), Qt::MatchFixedString);
    cboland->setCurrentIndex(country >= 0 ? country : (cboland->count() ? 0 : -1));
    txtgroesse->setText(cell(row, ColGroesse));
    txteinsatz->setText(cell(row, ColRestspiele));
    txtrnr->setText(cell(row, ColRueckennummer));
    cbopos->setCurrentIndex(cbopos->findText(cell(row, ColPosition)));

    face->showgesicht(cell(row, ColGesicht).toLongLong());

    showtalente(row, cbopos->currentIndex());
}

QPixmap PlayerArea::Impl::talentIcon(int index) {
    auto it = talentIcons.constFind(index);
    if (it != talentIcons.constEnd()) return *it;
    const std::filesystem::path file =
        paths::findFile(std::filesystem::path(settings.folders[FolderAttribute] + talents::iconFileName(index).toStdString()));
    QPixmap pm;
    pm.load(QString::fromStdString(file.string()));
    talentIcons.insert(index, pm);
    return pm;
}

// Only when the rows shown do not fit the position; rows 41 to 47 are everyone's and stay.
void PlayerArea::Impl::applyTalentVisibility(int art) {
    const int rows = talentGrid->rowCount();
    if (art < 0 || rows == 0 ||
        talents::visibilityMatches(art, !talentGrid->isRowHidden(0), !talentGrid->isRowHidden(rows - 1)))
        return;
    talentGrid->setUpdatesEnabled(false);
    for (int r = 1; r <= rows; ++r) {
        if (r >= talents::kFirstSharedRow && r < talents::kFirstGoalkeeperRow) continue;
        const bool shown = talents::rowVisible(r, art);
        talentGrid->setRowHidden(r - 1, !shown);
        if (shown) talentGrid->setRowHeight(r - 1, talents::kRowHeight);
    }
    talentGrid->setUpdatesEnabled(true);
}

void PlayerArea::Impl::showMark(int talentRow) {
    QTableWidgetItem* mark = talentGrid->item(talentRow - 1, kTalentMark);
    QTableWidgetItem* state = talentGrid->item(talentRow - 1, kTalentState);
    if (!mark || !state) return;
    switch (states.state(talentRow)) {
        case talents::State::None:
            mark->setData(Qt::DecorationRole, QVariant());
            mark->setToolTip(QString());
            break;
        case talents::State::Learned:
            mark->setData(Qt::DecorationRole, learnedMark);
            mark->setToolTip(QStringLiteral("Erlernt"));
            break;
        case talents::State::Blocked:
            mark->setData(Qt::DecorationRole, blockedMark);
            mark->setToolTip(QStringLiteral("Gesperrt"));
            break;
    }
    state->setText(QString::number(states.value(talentRow)));
}

void PlayerArea::Impl::showtalente(int row, int art) {
    states.load(cell(row, ColErlernt), cell(row, ColGesperrt));
    applyTalentVisibility(art);
    for (int r = 1; r <= talentGrid->rowCount(); ++r) showMark(r);
}

void PlayerArea::Impl::cycleTalent(int talentRow) {
    if (currentRow < 0 || !frameTalente->isEnabled()) return;
    states.cycle(talentRow);
    showMark(talentRow);
}

void PlayerArea::Impl::btnspielerspeichern_Click() {
    const int row = currentRow;
    if (row < 0 || row >= grid->rowCount()) return;
    const QString title = QStringLiteral("Spieler speichern");

    PlayerEdit edit;
    edit.nummer = txtspielernr->text();
    edit.name = txtname->text();
    edit.vorname = txtvorname->text();
    edit.staerkeIndex = cbostaerke->currentIndex();
    edit.maxStaerkeIndex = cbomstaerke->currentIndex();
    edit.nation = cboland->currentText();
    edit.groesse = txtgroesse->text();
    edit.art = cbopos->currentIndex();
    edit.einsaetze = txteinsatz->text();
    edit.rueckennummer = txtrnr->text();
    edit.gesicht = picgesicht->property(kTag).toLongLong();
    edit.haare = imggesicht[2]->property(kTag).toInt();
    edit.hautfarbe = cell(row, ColHautfarbe).toInt();
    edit.haarfarbe = cell(row, ColHaarfarbe).toInt();
    states.talentsum(edit.erlernt, edit.gesperrt);

    const QString bad = checkInput(edit);
    if (!bad.isEmpty()) {
        emit q->message(title, bad);
        return;
    }
    SavedColours colours;
    try {
        colours = savePlayer(dao.db(), edit);
    } catch (const std::exception& e) {
        emit q->message(title, QString::fromUtf8(e.what()));
        return;
    }

    // Only a written row reaches the list.
    auto number = [](const QString& text) { return QString::number(text.trimmed().toLongLong()); };
    setCell(row, ColName, edit.name);
    setCell(row, ColVorname, edit.vorname);
    setCell(row, ColStaerke, listTextOfEntry(cbostaerke->currentText()));
    setCell(row, ColMaxStaerke, listTextOfEntry(cbomstaerke->currentText()));
    setCell(row, ColLand, edit.nation);
    setCell(row, ColGroesse, number(edit.groesse));
    setCell(row, ColPosition, cbopos->currentText());
    setCell(row, ColRueckennummer, number(edit.rueckennummer));
    setCell(row, ColRestspiele, number(edit.einsaetze));
    setCell(row, ColGesicht, QString::number(edit.gesicht));
    setCell(row, ColHautfarbe, QString::number(colours.hautfarbe));
    setCell(row, ColHaarfarbe, QString::number(colours.haarfarbe));
    setCell(row, ColErlernt, edit.erlernt);
    setCell(row, ColGesperrt, edit.gesperrt);
    colourRow(row);
}

PlayerArea::PlayerArea(Dao& dao, const Settings& settings, ProgressSink& progress, QWidget* parent)
    : QObject(parent), d(new Impl(this, dao, settings, progress, parent)) {
    setPlayerFramesEnabled(false);
}

PlayerArea::~PlayerArea() { delete d; }

QWidget* PlayerArea::gridFrame() const { return d->gridFrame; }
QWidget* PlayerArea::playerPage() const { return d->page; }

void PlayerArea::initgrid() {
    QTableWidget* grid = d->grid;
    grid->setColumnCount(kColumns);
    QStringList labels = headers();
    while (labels.size() < kColumns) labels << QString();
    grid->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < kHeadedColumns; ++c)
        if (QTableWidgetItem* header = grid->horizontalHeaderItem(c)) header->setTextAlignment(Qt::AlignCenter);
    // Columns 10..17 carry the rest of the player's row for the editor; nobody reads them on screen.
    for (int c = kHeadedColumns; c < kColumns; ++c) grid->setColumnHidden(c, true);
    d->fitGridColumns();
    d->showBlankRows();
}

void PlayerArea::load_attribute() {
    QTableWidget* t = d->talentGrid;
    t->setUpdatesEnabled(false);
    t->clear();
    t->setColumnCount(kTalentColumns);
    QStringList labels = {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("Talent"), QStringLiteral("Talent")};
    for (int k = 0; k < 3; ++k) labels << QStringLiteral("Voraus.");
    for (int k = 0; k < 3; ++k) labels << QStringLiteral("Schutz");
    while (labels.size() < kTalentColumns) labels << QString();
    t->setHorizontalHeaderLabels(labels);

    std::vector<talents::Talent> catalogue;
    try {
        catalogue = talents::loadCatalogue(d->dao.db());
    } catch (const std::exception& e) {
        emit message(QStringLiteral("Talente"), QString::fromUtf8(e.what()));
    }
    const int rows = static_cast<int>(catalogue.size());
    t->setRowCount(rows);
    d->states = talents::States(rows);
    auto nameOf = [&](int id) { return id >= 1 && id <= rows ? catalogue[id - 1].name : QString(); };
    for (int r = 1; r <= rows; ++r) {
        const talents::Talent& talent = catalogue[r - 1];
        auto* icon = textItem(QString());
        icon->setData(Qt::DecorationRole, d->talentIcon(r - 1));
        icon->setToolTip(talent.name);
        t->setItem(r - 1, kTalentIcon, icon);
        t->setItem(r - 1, kTalentMark, textItem(QString()));
        auto* text = textItem(talent.text, Qt::AlignLeft | Qt::AlignVCenter);
        text->setToolTip(talent.name);
        t->setItem(r - 1, kTalentText, text);
        auto* name = textItem(talent.name, Qt::AlignLeft | Qt::AlignVCenter);
        name->setToolTip(talent.name);
        t->setItem(r - 1, kTalentName, name);
        for (int k = 0; k < talents::kReferences; ++k) {
            const int ref = talent.references[k];
            auto* refIcon = textItem(QString());
            auto* refIndex = textItem(QString());
            if (ref > 0) {
                refIcon->setData(Qt::DecorationRole, d->talentIcon(ref - 1));
                refIcon->setToolTip(nameOf(ref));
                refIndex->setText(QString::number(ref - 1));
            }
            t->setItem(r - 1, kFirstReference + k, refIcon);
            t->setItem(r - 1, kFirstReferenceIndex + k, refIndex);
        }
        t->setItem(r - 1, kTalentState, textItem(QStringLiteral("0")));
    }
    for (int c = 0; c < kFirstReferenceIndex; ++c) t->setColumnWidth(c, talents::kIconColumnWidth);
    t->setColumnWidth(kTalentText, talents::kTextColumnWidth);
    t->setColumnWidth(kTalentName, talents::kNameColumnWidth);
    // Every talent is shown until the first player decides by position.
    for (int r = 0; r < rows; ++r) {
        t->setRowHidden(r, false);
        t->setRowHeight(r, talents::kRowHeight);
    }
    for (int c = kFirstReferenceIndex; c < kTalentColumns; ++c) t->setColumnHidden(c, true);
    int width = t->verticalScrollBar()->sizeHint().width() + 2 * t->frameWidth();
    for (int c = 0; c < kFirstReferenceIndex; ++c) width += t->columnWidth(c);
    t->setFixedWidth(width);
    t->setUpdatesEnabled(true);
}

void PlayerArea::showspielerliste(long long club) {
    QTableWidget* grid = d->grid;
    d->progress.status("Lade Spielerliste...");
    // A new list ends the editing of a player of the old one, and comes in the query's order.
    d->currentRow = -1;
    d->resetSort();
    setPlayerFramesEnabled(false);
    grid->setUpdatesEnabled(false);
    grid->setEnabled(false);
    grid->clearSelection();
    grid->setRowCount(0);
    if (grid->columnCount() < kColumns) grid->setColumnCount(kColumns);
    try {
        jet::Recordset& rs = d->dao.query(listQuery(club));
        const long count = rs.recordCount();
        if (count > 0) {
            grid->setRowCount(static_cast<int>(count));
            int row = 0;
            for (rs.moveFirst(); !rs.eof() && row < count; rs.moveNext(), ++row) {
                d->progress.percent(static_cast<int>(rs.percentPosition()));
                const QStringList cells = gridRow(rs);
                for (int c = 0; c < kColumns; ++c) grid->setItem(row, c, textItem(cells[c]));
                d->colourRow(row);
            }
            grid->setRowCount(row);
            grid->setEnabled(true);
        }
    } catch (const std::exception&) {
        // The list stays empty; the tree and the club editor go on working.
    }
    if (grid->rowCount() == 0) d->showBlankRows();
    grid->setUpdatesEnabled(true);
    d->progress.percent(100);
    d->progress.status("");
}

void PlayerArea::setPlayerFramesEnabled(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(d->frameInfo), static_cast<QWidget*>(d->frameDaten),
                       static_cast<QWidget*>(d->frameGesicht), static_cast<QWidget*>(d->frameTalente),
                       static_cast<QWidget*>(d->btnsave)})
        w->setEnabled(on);
}

bool PlayerArea::selectPlayer(long long number) {
    QTableWidget* grid = d->grid;
    const QString wanted = QString::number(number);
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (d->cell(row, ColNummer) != wanted) continue;
        grid->selectRow(row);
        grid->scrollToItem(grid->item(row, ColNummer));
        setPlayerFramesEnabled(true);
        d->showspieler(row);
        emit playerShown();
        return true;
    }
    return false;
}

void PlayerArea::setGridEnabled(bool on) { d->gridFrame->setEnabled(on); }

void PlayerArea::setCountryList(const QStringList& entries) {
    const QString current = d->cboland->currentText();
    QStringList list = entries;
    const QString market = QStringLiteral("TRANSFERMARKT");
    if (list.isEmpty() || list.first() != market) {
        list.removeAll(market);
        list.prepend(market);
    }
    d->cboland->clear();
    d->cboland->addItems(list);
    const int index = d->cboland->findText(current, Qt::MatchFixedString);
    d->cboland->setCurrentIndex(index >= 0 ? index : 0);
}
