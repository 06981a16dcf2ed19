#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>
#include <random>

#include "common/paths.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/frmpreviews.h"
#include "foundation/schema.h"
#include "foundation/startup.h"
#include "import/market.h"
#include "mainwindow/clubeditor.h"
#include "mainwindow/dbtree.h"
#include "mainwindow/frmclubframes.h"
#include "mainwindow/frmfindbar.h"
#include "mainwindow/frmicons.h"
#include "mainwindow/frmmain_busy.h"
#include "mainwindow/frmmain_players.h"
#include "mainwindow/frmpicklists.h"

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kNationRole = Qt::UserRole + 1;
constexpr int kTabTeam = 0;
constexpr int kTabSpieler = 1;

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }

// Notes which node was selected before a mouse press on the tree changes the selection.
class PressWatch : public QObject {
public:
    PressWatch(QTreeWidget* tree, QTreeWidgetItem** before) : QObject(tree), tree_(tree), before_(before) {
        tree->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) *before_ = tree_->currentItem();
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeWidget* tree_;
    QTreeWidgetItem** before_;
};

}  // namespace

FrmMain::FrmMain(const std::filesystem::path& programDir, const Registry& registry, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowIcon(icons::program());
    random_.reseed(std::random_device{}());
    pickLists_ = new PickLists(this);
    buildStatusBar();
    buildMenus();
    buildToolbar();
    buildCentral();

    StartupResult start = runStartup(programDir, registry, dao_);
    settings_ = std::move(start.settings);

    const QString title = qs(programTitle());
    setWindowTitle(title);
    panel3_->setText(title + QStringLiteral(" - ") + qs(projectAddress()));
    sizeToScreen();
    setStatusText(qs(start.statusText));

    for (const std::string& error : start.errors) ui::MessageBox::critical(this, title, qs(error));
    startupSteps();
}

FrmMain::~FrmMain() = default;

// Each step on its own: one that fails leaves the others running and the window usable.
void FrmMain::startupSteps() {
    anaus(clubeditor::KindNational, false);
    const auto guarded = [this](const char* what, auto&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            if (dao_.isOpen() && panel1_->text().isEmpty())
                setStatusText(QString::fromUtf8(what) + QStringLiteral(": ") + QString::fromUtf8(e.what()));
        }
    };
    guarded("Baum", [this] { load_dbteam(); });
    guarded("Talente", [this] { playerArea_->load_attribute(); });
    guarded("Spielerliste", [this] { playerArea_->initgrid(); });
    guarded("Exporter-Spieler", [this] {
        if (dao_.isOpen() && market::checkz4(dao_.db())) toolAction(QStringLiteral("impzentor4"))->setEnabled(true);
    });
    guarded("Trikotsatz", [this] { mnuoptionen_Click(settings_.satz != 0 ? 1 : 0); });
    starting_ = false;
}

// ---------------------------------------------------------------- status bar and progress

void FrmMain::setStatusText(const QString& text) { panel1_->setText(text); }

void FrmMain::status(const std::string& text) {
    setStatusText(qs(text));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrmMain::percent(int value) {
    value = std::clamp(value, 0, 100);
    if (prostatus_->value() == value) return;
    prostatus_->setValue(value);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbstatus"));
    bar->setSizeGripEnabled(false);
    panel1_ = new QLabel(bar);
    panel1_->setObjectName(QStringLiteral("stbstatus_panel1"));
    panel1_->setMinimumWidth(200);
    panelB_ = new QLabel(bar);
    panelB_->setObjectName(QStringLiteral("stbstatus_panelB"));
    panel3_ = new QLabel(bar);
    panel3_->setObjectName(QStringLiteral("stbstatus_panel3"));
    // The progress bar sits inside panel "B" and follows it.
    auto* layout = new QHBoxLayout(panelB_);
    layout->setContentsMargins(2, 2, 2, 2);
    prostatus_ = new QProgressBar(panelB_);
    prostatus_->setObjectName(QStringLiteral("prostatus"));
    prostatus_->setRange(0, 100);
    prostatus_->setValue(0);
    prostatus_->setTextVisible(false);
    prostatus_->setMaximumHeight(14);
    layout->addWidget(prostatus_);
    for (QLabel* panel : {panel1_, panelB_, panel3_}) {
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumHeight(20);
        bar->addWidget(panel, 1);
    }
}

void FrmMain::sizeToScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    resize(area.width(), area.height() - 32);
    move(area.topLeft());
}

// ---------------------------------------------------------------- layout

// The editor gets the height its pages need, within limits that leave the player list a good
// number of rows; the pages scroll when they are cut.
void FrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (splitDone_) return;
    splitDone_ = true;
    if (layout()) layout()->activate();
    if (centralWidget()->layout()) centralWidget()->layout()->activate();
    const int total = splitmain_->height();
    const auto need = [this](int tab) {
        QWidget* page = tabedit_->widget(tab);
        if (auto* scroll = qobject_cast<QScrollArea*>(page); scroll && scroll->widget()) page = scroll->widget();
        return page->sizeHint().height() + tabedit_->tabBar()->sizeHint().height() + 12;
    };
    // The club page always fits; the player page may scroll on small screens.
    const int top = std::min(std::max(need(kTabTeam), std::min(need(kTabSpieler), total * 60 / 100)), total * 75 / 100);
    splitmain_->setSizes({top, std::max(total - top, 1)});
}

void FrmMain::buildCentral() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 4);

    // Tree frame on the left keeps its width; the editor takes the rest.
    auto* frametree = new QGroupBox(QStringLiteral("Datenbank"), central);
    frametree->setObjectName(QStringLiteral("frametree"));
    auto* treeLayout = new QVBoxLayout(frametree);
    treeLayout->setContentsMargins(4, 4, 4, 4);
    tvdb_ = new QTreeWidget(frametree);
    tvdb_->setObjectName(QStringLiteral("tvdb"));
    tvdb_->setHeaderHidden(true);
    tvdb_->setIconSize(QSize(18, 18));
    tvdb_->setUniformRowHeights(true);
    tvdb_->setContextMenuPolicy(Qt::CustomContextMenu);
    findBar_ = new FindBar(tvdb_, kKeyRole, frametree);
    treeLayout->addWidget(findBar_);
    treeLayout->addWidget(tvdb_);
    connect(tvdb_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { tvdb_NodeClick(current); });
    // A click on the node that is already selected shows it again like any other click; a click
    // that changes the selection has shown its node already.
    new PressWatch(tvdb_, &pressedOnSelected_);
    connect(tvdb_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == std::exchange(pressedOnSelected_, nullptr)) tvdb_NodeClick(item);
    });
    connect(tvdb_, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mnupopup_->popup(tvdb_->viewport()->mapToGlobal(pos)); });

    playerArea_ = new PlayerArea(dao_, settings_, *this, this);
    connect(playerArea_, &PlayerArea::playerShown, this, [this] { tabedit_->setCurrentIndex(kTabSpieler); });
    connect(playerArea_, &PlayerArea::message, this,
            [this](const QString& title, const QString& text) {
                // Without a database the start-up has said so once already.
                if (starting_ && !dao_.isOpen()) return;
                ui::MessageBox::warning(this, title, text);
            });
    pickLists_->registerSink(PickLists::PlayerCountries,
                             [this](const QStringList& list) { playerArea_->setCountryList(list); });

    tabedit_ = new QTabWidget(central);
    tabedit_->setObjectName(QStringLiteral("tabedit"));
    for (auto [page, caption] : {std::pair{buildTeamPage(), "Land/Verein"}, std::pair{playerArea_->playerPage(), "Spieler"}}) {
        auto* scroll = new QScrollArea(tabedit_);
        scroll->setObjectName(QStringLiteral("scroll_") + page->objectName());
        scroll->setWidget(page);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        tabedit_->addTab(scroll, QString::fromUtf8(caption));
    }

    auto* top = new QSplitter(Qt::Horizontal, central);
    top->setObjectName(QStringLiteral("splittop"));
    top->addWidget(frametree);
    top->addWidget(tabedit_);
    top->setStretchFactor(0, 0);
    top->setStretchFactor(1, 1);
    top->setChildrenCollapsible(false);
    frametree->setMinimumWidth(220);
    top->setSizes({300, 1000});

    // The player list lies below both and takes the remaining height.
    splitmain_ = new QSplitter(Qt::Vertical, central);
    splitmain_->setObjectName(QStringLiteral("splitmain"));
    splitmain_->addWidget(top);
    splitmain_->addWidget(playerArea_->gridFrame());
    splitmain_->setStretchFactor(0, 0);
    splitmain_->setStretchFactor(1, 1);
    splitmain_->setChildrenCollapsible(false);
    layout->addWidget(splitmain_);
    setCentralWidget(central);
}

QWidget* FrmMain::buildTeamPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabteam"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);

    const ClubFrames f = buildClubFrames(page, *pickLists_, {"frameteam", "framelogo", "framestadion", "imgwappen"});
    frameteam_ = f.team;
    framelogo_ = f.logo;
    framestadion_ = f.stadion;
    txtteamlang_ = f.txtteamlang;
    txtteamkurz_ = f.txtteamkurz;
    txtstadt_ = f.txtstadt;
    cboland_ = f.cboland;
    lblkontinent_ = f.lblkontinent;
    cbokontinent_ = f.cbokontinent;
    txttnr_ = f.txttnr;
    txtgrafnr_ = f.txtgrafnr;
    imgwappen_ = f.crest;
    txtstadion_ = f.txtstadion;
    txtsitz_ = f.txtsitz;
    txtsteh_ = f.txtsteh;

    // Team on the left; logo and stadium on the right; the three jerseys below.
    auto* upper = new QHBoxLayout;
    upper->setSpacing(10);
    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    right->addWidget(framelogo_);
    right->addWidget(framestadion_);
    right->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(frameteam_);
    left->addStretch(1);
    btnteamsave_ = new QPushButton(QStringLiteral("Land/Verein speichern"), page);
    btnteamsave_->setObjectName(QStringLiteral("btnteamsave"));
    btnteamsave_->setIcon(icons::toolbar(QStringLiteral("save")));
    connect(btnteamsave_, &QPushButton::clicked, this, &FrmMain::btnteamsave_Click);
    left->addWidget(btnteamsave_, 0, Qt::AlignRight);
    upper->addLayout(left, 3);
    upper->addLayout(right, 2);
    grid->addLayout(upper, 0, 0, 1, 3);

    // Jersey previews: a picture per jersey with the coloured shapes over it.
    const QString captions[3] = {QStringLiteral("Heimtrikot"), QStringLiteral("Auswärtstrikot"),
                                 QStringLiteral("Torwarttrikot")};
    for (int k = 0; k < 3; ++k) {
        frame5_[k] = new QGroupBox(captions[k], page);
        frame5_[k]->setObjectName(QStringLiteral("frame5_%1").arg(k));
        auto* box = new QVBoxLayout(frame5_[k]);
        pictrikot_[k] = new QLabel(frame5_[k]);
        pictrikot_[k]->setObjectName(QStringLiteral("pictrikot_%1").arg(k));
        previews::setupJersey(pictrikot_[k], k);
        box->addWidget(pictrikot_[k], 0, Qt::AlignCenter);
        grid->addWidget(frame5_[k], 1, k);
    }

    grid->setRowStretch(2, 1);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);
    buildGraphics();
    return page;
}

// ---------------------------------------------------------------- tree

QTreeWidgetItem* FrmMain::node(const QString& key) const { return nodes_.value(key, nullptr); }

void FrmMain::load_dbteam() {
    Busy busy(*this);
    const QSignalBlocker block(tvdb_);
    tvdb_->clear();
    nodes_.clear();
    const dbtree::Tree tree = dbtree::load_dbteam(dao_, *this);

    QList<QTreeWidgetItem*> topLevel;
    for (const dbtree::Node& n : tree.nodes) {
        QTreeWidgetItem* parent = n.parent.empty() ? nullptr : node(qs(n.parent));
        if (!n.parent.empty() && !parent) continue;
        auto* item = new QTreeWidgetItem(QStringList(qs(n.text)));
        item->setIcon(0, icons::tree(n.image));
        item->setData(0, kKeyRole, qs(n.key));
        if (!n.nation.empty()) item->setData(0, kNationRole, qs(n.nation));
        if (parent) parent->addChild(item);
        else topLevel.append(item);
        nodes_.insert(qs(n.key), item);
    }
    tvdb_->addTopLevelItems(topLevel);
    findBar_->reindex();
    pickLists_->fill(tree.lists);

    // The node clicked last is selected again, with the way down to it open.
    if (QTreeWidgetItem* item = node(tvdbTag_)) {
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
        item->setExpanded(true);
        tvdb_->setCurrentItem(item);
        tvdb_->scrollToItem(item);
    }
    // A step that failed is skipped; panel 1 names the first one unless it holds news already.
    if (!tree.errors.empty() && dao_.isOpen() && panel1_->text().isEmpty()) setStatusText(qs(tree.errors.front()));
}

void FrmMain::refreshTree() {
    load_dbteam();
    showSelected();
}

// After a rebuild the editor shows what the database now holds for the selected entry.
void FrmMain::showSelected() {
    if (QTreeWidgetItem* item = node(tvdbTag_)) {
        tvdb_NodeClick(item);
        return;
    }
    anaus(clubeditor::KindNational, false);
    for (QLineEdit* edit : {txtteamlang_, txtteamkurz_, txtstadt_, txttnr_, txtgrafnr_, txtstadion_, txtsitz_, txtsteh_})
        edit->clear();
    cboland_->setCurrentIndex(-1);
    clearJerseys();
    loadwappen(QString());
    playerArea_->showspielerliste(-1);
}

void FrmMain::tvdb_NodeClick(QTreeWidgetItem* item) {
    if (!item) return;
    const QString key = item->data(0, kKeyRole).toString();
    const dbtree::KeyInfo info = dbtree::classifyKey(ss(key));
    const QString parentText = item->parent() ? item->parent()->text(0) : QString();
    anaus(clubeditor::KindNational, false);
    try {
        switch (info.kind) {
            case dbtree::KeyKind::NewCountry:
                anaus(clubeditor::KindNational, true);
                showlandnew(info.number, parentText);
                tabedit_->setCurrentIndex(kTabTeam);
                break;
            case dbtree::KeyKind::NewClub:
                anaus(clubeditor::KindClub, true);
                showteamnew(info.number, parentText);
                tabedit_->setCurrentIndex(kTabTeam);
                break;
            case dbtree::KeyKind::Club:
                anaus(clubeditor::KindClub, true);
                showJerseys(info.number, clubeditor::KindClub);
                showteam(info.number, clubeditor::KindClub);
                playerArea_->showspielerliste(info.number);
                tabedit_->setCurrentIndex(kTabTeam);
                break;
            case dbtree::KeyKind::Country:
                anaus(clubeditor::KindNational, true);
                showJerseys(info.number, clubeditor::KindNational);
                showteam(info.number, clubeditor::KindNational);
                playerArea_->showspielerliste(info.number);
                tabedit_->setCurrentIndex(kTabTeam);
                break;
            case dbtree::KeyKind::TransferMarket:
                anaus(clubeditor::KindTransferMarket, true);
                showteam(0, clubeditor::KindTransferMarket);
                playerArea_->showspielerliste(0);
                tabedit_->setCurrentIndex(kTabSpieler);
                break;
            case dbtree::KeyKind::None:
                break;
        }
    } catch (const std::exception& e) {
        showError(QStringLiteral("Fehler"), e);
    }
    tvdbTag_ = key;
    tvdb_->setProperty("tag", key);
}

// ---------------------------------------------------------------- club editor

void FrmMain::anaus(int kind, bool on) {
    const auto setFrames = [&] {
        for (QWidget* w : {static_cast<QWidget*>(framestadion_), static_cast<QWidget*>(frame5_[0]),
                           static_cast<QWidget*>(frame5_[1]), static_cast<QWidget*>(frame5_[2]),
                           static_cast<QWidget*>(frameteam_), static_cast<QWidget*>(framelogo_),
                           static_cast<QWidget*>(btnteamsave_)})
            w->setEnabled(on);
        playerArea_->setGridEnabled(on);
    };
    switch (kind) {
        case clubeditor::KindNational:
            setFrames();
            lblkontinent_->setVisible(on);
            cbokontinent_->setVisible(on);
            cboland_->setEnabled(false);
            menuAction(QStringLiteral("mnudatei"), 2)->setEnabled(false);
            toolAction(QStringLiteral("save"))->setEnabled(false);
            break;
        case clubeditor::KindClub:
            setFrames();
            cboland_->setEnabled(on);
            for (QAction* a : {menuAction(QStringLiteral("mnudatei"), 1), menuAction(QStringLiteral("mnudatei"), 2),
                               toolAction(QStringLiteral("open")), toolAction(QStringLiteral("save"))})
                a->setEnabled(on);
            lblkontinent_->setVisible(false);
            cbokontinent_->setVisible(false);
            break;
        case clubeditor::KindTransferMarket:
            framelogo_->setEnabled(on);
            playerArea_->setGridEnabled(on);
            break;
        default:
            break;
    }
    playerArea_->setPlayerFramesEnabled(false);
}

void FrmMain::showteam(long long number, int kind) {
    const clubeditor::Team t = clubeditor::showteam(dao_, number, static_cast<clubeditor::Kind>(kind));
    txttnr_->setText(qs(t.nummer));
    txttnr_->setReadOnly(true);
    txtteamlang_->setText(qs(t.name));
    txtteamkurz_->setText(qs(t.kurzname));
    txtgrafnr_->setText(qs(t.grafnr));
    txtstadion_->setText(qs(t.stadion));
    txtstadt_->setText(qs(t.stadt));
    txtsitz_->setText(qs(t.sitz));
    txtsteh_->setText(qs(t.steh));
    const bool national = kind == clubeditor::KindNational;
    lblkontinent_->setVisible(national);
    cbokontinent_->setVisible(national);
    if (national) cbokontinent_->setCurrentIndex(cbokontinent_->findText(qs(t.kontinent)));
    if (kind != clubeditor::KindTransferMarket) {
        // A country that is not in the list shows the list's first entry.
        const int index = cboland_->findText(qs(t.land), Qt::MatchFixedString | Qt::MatchCaseSensitive);
        cboland_->setCurrentIndex(index >= 0 ? index : (cboland_->count() > 0 ? 0 : -1));
    }
    loadwappen(txtgrafnr_->text());
}

static void fillNew(const clubeditor::Team& t, QLineEdit* const* edits) {
    const std::string* values[] = {&t.nummer, &t.name, &t.kurzname, &t.grafnr, &t.stadion, &t.stadt, &t.sitz, &t.steh};
    for (int i = 0; i < 8; ++i) edits[i]->setText(QString::fromStdString(*values[i]));
}

void FrmMain::showlandnew(long long number, const QString& parentText) {
    const clubeditor::Team t = clubeditor::showlandnew(number, ss(parentText));
    QLineEdit* edits[] = {txttnr_, txtteamlang_, txtteamkurz_, txtgrafnr_, txtstadion_, txtstadt_, txtsitz_, txtsteh_};
    fillNew(t, edits);
    txttnr_->setReadOnly(false);
    cboland_->setCurrentIndex(-1);
    cboland_->setEnabled(false);
    lblkontinent_->setVisible(true);
    cbokontinent_->setVisible(true);
    cbokontinent_->setCurrentIndex(cbokontinent_->findText(parentText));
    for (int k = 0; k < 3; ++k) showtrikot(k, 0);
    loadwappen(txtgrafnr_->text());
}

void FrmMain::showteamnew(long long number, const QString& parentText) {
    const clubeditor::Team t = clubeditor::showteamnew(number, ss(parentText));
    QLineEdit* edits[] = {txttnr_, txtteamlang_, txtteamkurz_, txtgrafnr_, txtstadion_, txtstadt_, txtsitz_, txtsteh_};
    fillNew(t, edits);
    txttnr_->setReadOnly(false);
    const int index = cboland_->findText(parentText, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    cboland_->setCurrentIndex(index >= 0 ? index : (cboland_->count() > 0 ? 0 : -1));
    lblkontinent_->setVisible(false);
    cbokontinent_->setVisible(false);
    for (int k = 0; k < 3; ++k) showtrikot(k, 0);
    loadwappen(txtgrafnr_->text());
}

void FrmMain::btnteamsave_Click() {
    QTreeWidgetItem* item = tvdb_->currentItem();
    if (!item) return;
    const QString key = item->data(0, kKeyRole).toString();
    const dbtree::KeyInfo info = dbtree::classifyKey(ss(key));
    clubeditor::SaveRequest request;
    switch (info.kind) {
        case dbtree::KeyKind::NewCountry: request.isNew = true; [[fallthrough]];
        case dbtree::KeyKind::Country: request.kind = clubeditor::KindNational; break;
        case dbtree::KeyKind::NewClub: request.isNew = true; [[fallthrough]];
        case dbtree::KeyKind::Club: request.kind = clubeditor::KindClub; break;
        default: return;
    }
    request.number = info.number;
    clubeditor::Team& t = request.team;
    t.nummer = ss(txttnr_->text());
    t.name = ss(txtteamlang_->text());
    t.kurzname = ss(txtteamkurz_->text());
    t.grafnr = ss(txtgrafnr_->text());
    t.stadion = ss(txtstadion_->text());
    t.stadt = ss(txtstadt_->text());
    t.land = ss(cboland_->currentText());
    t.kontinent = ss(cbokontinent_->currentText());
    t.sitz = ss(txtsitz_->text());
    t.steh = ss(txtsteh_->text());
    for (int k = 0; k < 3; ++k) t.trikot[static_cast<std::size_t>(k)] = pictrikot_[k]->property("tag").toLongLong();

    const std::string problem = clubeditor::check(dao_, request);
    if (!problem.empty()) {
        ui::MessageBox::warning(this, QStringLiteral("Land/Verein speichern"), qs(problem));
        return;
    }
    clubeditor::SaveResult result;
    {
        Busy busy(*this);
        try {
            result = clubeditor::save(dao_, request, *this, [this](jet::Database& db, long long n, const char* table) {
                trikotfarbe(db, n, table);
            });
        } catch (const std::exception& e) {
            showError(QStringLiteral("Land/Verein speichern"), e);
            return;
        }
    }
    item->setText(0, txtteamlang_->text());
    tvdbTag_ = qs(result.key);
    refreshTree();
}

void FrmMain::showError(const QString& title, const std::exception& error) {
    ui::MessageBox::critical(this, title, QString::fromUtf8(error.what()));
}
