#include "exporter/frmhaupt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <unordered_set>

#include "common/random.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "exporter/frmicons.h"
#include "exporter/frmprogress.h"
#include "exporter/zmenu.h"

namespace fs = std::filesystem;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Names from the source go into menu captions as they are, so a "&" must not become a mnemonic.
QString caption(const std::string& s) { return qs(s).replace(QLatin1Char('&'), QStringLiteral("&&")); }

QLineEdit* textBox(QWidget* parent, const char* name) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setReadOnly(true);
    return t;
}

QFrame* shape(QWidget* parent, const QString& name) {
    auto* s = new QFrame(parent);
    s->setObjectName(name);
    s->setFrameShape(QFrame::Box);
    s->setLineWidth(1);
    s->setFixedSize(36, 18);
    s->setAutoFillBackground(true);
    return s;
}

void setShapeColour(QFrame* s, const zexp::Rgb* c) {
    QPalette p = s->palette();
    p.setColor(QPalette::Window, c ? QColor(c->r, c->g, c->b) : s->parentWidget()->palette().color(QPalette::Window));
    s->setPalette(p);
}

QLabel* label(QWidget* parent, const char* text) { return new QLabel(QString::fromUtf8(text), parent); }

constexpr int kKeyRole = Qt::UserRole;
constexpr int kPlayerRole = Qt::UserRole;

}  // namespace

FrmHaupt::FrmHaupt(fs::path programDir, QWidget* parent)
    : QMainWindow(parent),
      programDir_(std::move(programDir)),
      menu_(std::make_unique<zexp::ExportMenu>(zexp::ExportMenu::initial())),
      rnd_(std::make_unique<RandomSource>(1)) {
    setObjectName(QStringLiteral("frmhaupt"));
    setWindowTitle(qs(zexp::programTitle()));
    setWindowIcon(zicons::program());
    resize(640, 480);
    buildMenus();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 4);
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setChildrenCollapsible(false);
    outer->addWidget(splitter, 1);

    tvdb_ = new QTreeWidget(splitter);
    tvdb_->setObjectName(QStringLiteral("tvdb"));
    tvdb_->setHeaderHidden(true);
    tvdb_->setColumnCount(1);
    tvdb_->setIconSize(QSize(16, 16));
    tvdb_->setMinimumWidth(150);
    // Long club names scroll instead of being cut off.
    tvdb_->header()->setStretchLastSection(false);
    tvdb_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    splitter->addWidget(tvdb_);

    auto* pages = new QWidget(splitter);
    auto* right = new QVBoxLayout(pages);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    splitter->addWidget(pages);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({226, 402});
    tabStrip_ = new QTabBar(central);
    tabStrip_->setObjectName(QStringLiteral("TabStrip1"));
    tabStrip_->addTab(QStringLiteral("Verein"));
    tabStrip_->addTab(QStringLiteral("Spieler"));
    tabStrip_->setExpanding(false);
    tabStrip_->setDrawBase(false);
    right->addWidget(tabStrip_);
    // The player page takes the height; the club page keeps its own.
    right->addWidget(buildClubPage(), 0);
    right->addWidget(buildPlayerPage(), 1);
    right->addStretch(0);
    frame2_->hide();

    auto* counters = new QHBoxLayout;
    outer->addLayout(counters);
    QLabel** labels[4] = {&label1_, &label2_, &label3_, &label33_};
    const char* names[4] = {"Label1", "Label2", "Label3", "Label33"};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(central);
        (*labels[i])->setObjectName(QString::fromLatin1(names[i]));
        counters->addWidget(*labels[i]);
        counters->addSpacing(12);
    }
    counters->addStretch(1);
    setCentralWidget(central);

    // Selection, not the current item: the view makes its first row current when it gets the
    // focus, and that is no click.
    connect(tvdb_, &QTreeWidget::itemSelectionChanged, this, [this] { nodeClick(selectedItem()); });
    connect(tvdb_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { nodeClick(item); });
    connect(tabStrip_, &QTabBar::currentChanged, this, [this](int tab) { tabClick(tab); });
    connect(lstspieler_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) showplayer(item->data(kPlayerRole).toLongLong());
    });
}

FrmHaupt::~FrmHaupt() = default;

void FrmHaupt::buildMenus() {
    QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
    datei->setObjectName(QStringLiteral("mnudatei"));
    QAction* ende = datei->addAction(QStringLiteral("Ende"));
    ende->setObjectName(QStringLiteral("MnuDateiItem"));
    connect(ende, &QAction::triggered, this, &QWidget::close);

    QMenu* exp = menuBar()->addMenu(QStringLiteral("Export"));
    exp->setObjectName(QStringLiteral("mnuimpexport"));
    for (int i = 0; i < 5; ++i) {
        mnuimpexportitem_[i] = exp->addAction(QString());
        mnuimpexportitem_[i]->setObjectName(QStringLiteral("mnuimpexportitem_%1").arg(i));
        connect(mnuimpexportitem_[i], &QAction::triggered, this, [this, i] { exportItem(i); });
    }
    applyMenu();

    QMenu* info = menuBar()->addMenu(QStringLiteral("Info"));
    info->setObjectName(QStringLiteral("mnuinfo"));
    QAction* infoItem = info->addAction(QStringLiteral("&Info"));
    infoItem->setObjectName(QStringLiteral("mnuinfoitem"));
    connect(infoItem, &QAction::triggered, this,
            [this] { ui::MessageBox::information(this, QStringLiteral("Info"), qs(zexp::infoText())); });
}

QWidget* FrmHaupt::buildClubPage() {
    frame1_ = new QFrame(centralWidget() ? centralWidget() : this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame1_);
    grid->setVerticalSpacing(5);

    txtteamlang_ = textBox(frame1_, "txtteamlang");
    txtteamkurz_ = textBox(frame1_, "txtteamkurz");
    txtstadt_ = textBox(frame1_, "txtstadt");
    txtland_ = textBox(frame1_, "txtland");
    txtstadion_ = textBox(frame1_, "txtstadion");
    const std::pair<const char*, QLineEdit*> boxes[] = {{"Teamname lang:", txtteamlang_},
                                                         {"Teamname kurz:", txtteamkurz_},
                                                         {"Stadt:", txtstadt_},
                                                         {"Land:", txtland_},
                                                         {"Stadion:", txtstadion_}};
    int r = 0;
    for (const auto& [text, box] : boxes) {
        grid->addWidget(label(frame1_, text), r, 0);
        grid->addWidget(box, r, 1, 1, 5);
        ++r;
    }
    grid->setRowMinimumHeight(r++, 6);

    // Each garment has its main and its second colour.
    const char* home[3] = {"Heimtrikot:", "Heimhose:", "Heimstutzen:"};
    const char* away[3] = {"Auswärtstrikot:", "Auswärtshose:", "Auswärtsstutzen:"};
    for (int g = 0; g < 3; ++g, ++r) {
        grid->addWidget(label(frame1_, home[g]), r, 0);
        auto* h = new QHBoxLayout;
        auto* a = new QHBoxLayout;
        h->setSpacing(4);
        a->setSpacing(4);
        for (int k = 0; k < 2; ++k) {
            const int i = 2 * g + k;
            shpheim_[i] = shape(frame1_, QStringLiteral("shpheim_%1").arg(i));
            shpausw_[i] = shape(frame1_, QStringLiteral("shpausw_%1").arg(i));
            h->addWidget(shpheim_[i]);
            a->addWidget(shpausw_[i]);
        }
        h->addStretch(1);
        a->addStretch(1);
        grid->addLayout(h, r, 1, 1, 2);
        grid->addWidget(label(frame1_, away[g]), r, 3);
        grid->addLayout(a, r, 4, 1, 2);
    }
    grid->setRowMinimumHeight(r++, 6);

    grid->addWidget(label(frame1_, "Sitzplatz:"), r, 0);
    txtsitzsteh_[0] = textBox(frame1_, "txtsitzsteh_0");
    grid->addWidget(txtsitzsteh_[0], r, 1, 1, 2);
    grid->addWidget(label(frame1_, "Stehplatz:"), r, 3);
    txtsitzsteh_[1] = textBox(frame1_, "txtsitzsteh_1");
    grid->addWidget(txtsitzsteh_[1], r, 4, 1, 2);
    ++r;

    // The source is read-only: there is nothing to save.
    auto* save = new QPushButton(QStringLiteral("Speichern"), frame1_);
    save->setObjectName(QStringLiteral("btnteamspeichern"));
    save->setEnabled(false);
    grid->addWidget(save, r, 4, 1, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    return frame1_;
}

QWidget* FrmHaupt::buildPlayerPage() {
    frame2_ = new QFrame(this);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    frame2_->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(frame2_);
    lstspieler_ = new QListWidget(frame2_);
    lstspieler_->setObjectName(QStringLiteral("lstspieler"));
    lstspieler_->setMinimumWidth(160);
    row->addWidget(lstspieler_, 5);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(5);
    row->addLayout(grid, 4);
    txtspielernr_ = textBox(frame2_, "txtspielernr");
    txtspielername_ = textBox(frame2_, "txtspielername");
    txtspielervorname_ = textBox(frame2_, "txtspielervorname");
    txtspielerland_ = textBox(frame2_, "txtspielerland");
    cbospielerpos_ = new QComboBox(frame2_);
    cbospielerpos_->setObjectName(QStringLiteral("cbospielerpos"));
    for (int p = 0; p < 4; ++p) cbospielerpos_->addItem(QString::fromUtf8(zexp::positionWord(p)));
    cbospielerst_ = new QComboBox(frame2_);
    cbospielerst_->setObjectName(QStringLiteral("cbospielerst"));
    for (int i = 0; i <= 12; ++i) cbospielerst_->addItem(QStringLiteral("%1 Sterne").arg(i / 2.0, 0, 'f', 1));
    txtspielerrnr_ = textBox(frame2_, "txtspielerrnr");
    txtspielereinsatz_ = textBox(frame2_, "txtspielereinsatz");
    txtspielerhautfarbe_ = textBox(frame2_, "txtspielerhautfarbe");
    txtspielerhaartyp_ = textBox(frame2_, "txtspielerhaartyp");
    const std::pair<const char*, QWidget*> fields[] = {
        {"Nr.:", txtspielernr_},           {"Name:", txtspielername_},         {"Vorname:", txtspielervorname_},
        {"Land:", txtspielerland_},        {"Position:", cbospielerpos_},      {"Stärke:", cbospielerst_},
        {"Rückennr.:", txtspielerrnr_}, {"Restspiele:", txtspielereinsatz_}, {"Hautfarbe:", txtspielerhautfarbe_},
        {"Haartyp:", txtspielerhaartyp_}};
    int r = 0;
    for (const auto& [text, w] : fields) {
        grid->addWidget(label(frame2_, text), r, 0);
        grid->addWidget(w, r, 1);
        ++r;
    }
    grid->setRowStretch(r, 1);
    clearPlayer();
    return frame2_;
}

bool FrmHaupt::loadDB() {
    fs::path file;
    if (auto found = zexp::defaultDatabase(programDir_)) {
        file = *found;
    } else {
        const QString chosen =
            ui::FileDialog::getOpenFileName(this, QStringLiteral("Zentor Datenbank öffnen"), qs(programDir_.string()),
                                            QString::fromUtf8(zexp::kDatabaseFilter));
        if (chosen.isEmpty()) {
            ui::MessageBox::information(this, QStringLiteral("Information"), QString::fromUtf8(zexp::kNoDatabaseMessage));
            return false;
        }
        file = fs::path(chosen.toStdString());
    }
    try {
        src_ = std::make_unique<zexp::Source>(zexp::Source::open(file));
    } catch (const std::exception& e) {
        // A file that is not a readable Zentor database ends the program like a missing one.
        ui::MessageBox::critical(this, QStringLiteral("Fehler"),
                                 qs(e.what()) + QStringLiteral("\nProgramm wird beendet!"));
        return false;
    }
    filltree();
    setCounters();
    return true;
}

void FrmHaupt::filltree() {
    tvdb_->clear();
    std::unordered_set<zexp::Id> amateurs;
    for (const zexp::Club& c : src_->clubs())
        if (c.amateurTeam != 0) amateurs.insert(c.amateurTeam);
    QHash<QString, QTreeWidgetItem*> items;
    for (const zexp::TreeNode& n : src_->tree()) {
        QTreeWidgetItem* parent = n.parentKey.empty() ? nullptr : items.value(qs(n.parentKey));
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvdb_);
        item->setText(0, qs(n.text));
        item->setData(0, kKeyRole, qs(n.key));
        item->setIcon(0, zicons::node(n.kind, n.kind == zexp::NodeKind::Team && amateurs.count(n.number)));
        items.insert(qs(n.key), item);
        if (n.kind == zexp::NodeKind::Root) item->setExpanded(true);
    }
}

void FrmHaupt::setCounters() {
    const zexp::Counters c = src_->counters();
    label1_->setText(qs(c.nationalteamsText()));
    label2_->setText(qs(c.vereineText()));
    label3_->setText(qs(c.spielerText()));
    label33_->setText(qs(c.amateurvereineText()));
}

QTreeWidgetItem* FrmHaupt::selectedItem() const {
    const QList<QTreeWidgetItem*> items = tvdb_->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

std::string FrmHaupt::selectedKey() const {
    const QTreeWidgetItem* item = selectedItem();
    return item ? item->data(0, kKeyRole).toString().toStdString() : std::string();
}

void FrmHaupt::nodeClick(QTreeWidgetItem* item) {
    if (!item || !src_) return;
    const std::string key = item->data(0, kKeyRole).toString().toStdString();
    const zexp::NodeClick click = zexp::nodeClick(zexp::nodeContext(*src_, key), tabStrip_->currentIndex());
    zexp::apply(click, *menu_);
    applyMenu();
    frame1_->setVisible(click.showFrame1);
    frame2_->setVisible(click.showFrame2);
    if (click.view == zexp::View::Team) {
        showteam(click.number);
    } else if (click.view == zexp::View::Country) {
        showland(click.number);
        fillPlayerList(true, click.number);
    }
}

void FrmHaupt::tabClick(int tab) {
    if (!src_) return;
    if (const auto frames = zexp::tabClick(selectedKey(), tab)) {
        frame1_->setVisible(frames->first);
        frame2_->setVisible(frames->second);
    }
}

void FrmHaupt::showteam(long long nr) {
    const auto view = src_->showteam(nr);
    fillClubPage(view ? &*view : nullptr);
    fillPlayerList(false, nr);
}

void FrmHaupt::showland(long long nr) {
    const auto view = src_->showland(nr);
    fillClubPage(view ? &*view : nullptr);
}

void FrmHaupt::fillClubPage(const zexp::TeamView* v) {
    txtteamlang_->setText(v ? qs(v->longName) : QString());
    txtteamkurz_->setText(v ? qs(v->shortName) : QString());
    txtstadion_->setText(v ? qs(v->stadium) : QString());
    txtstadt_->setText(v ? qs(v->city) : QString());
    txtland_->setText(v ? qs(v->country) : QString());
    for (int i = 0; i < 6; ++i) {
        setShapeColour(shpheim_[i], v ? &v->home[i] : nullptr);
        setShapeColour(shpausw_[i], v ? &v->away[i] : nullptr);
    }
    txtsitzsteh_[0]->setText(v ? QString::number(v->seated) : QString());
    txtsitzsteh_[1]->setText(v ? QString::number(v->standing) : QString());
}

void FrmHaupt::fillPlayerList(bool country, long long nr) {
    const QSignalBlocker block(lstspieler_);
    lstspieler_->clear();
    for (const zexp::PlayerEntry& e : country ? src_->showspielerliste2(nr) : src_->showspielerliste(nr)) {
        auto* item = new QListWidgetItem(qs(e.text), lstspieler_);
        item->setData(kPlayerRole, static_cast<qlonglong>(e.id));
    }
    clearPlayer();
}

void FrmHaupt::clearPlayer() {
    for (QLineEdit* t : {txtspielernr_, txtspielername_, txtspielervorname_, txtspielerland_, txtspielerrnr_,
                         txtspielereinsatz_, txtspielerhautfarbe_, txtspielerhaartyp_})
        t->clear();
    cbospielerpos_->setCurrentIndex(-1);
    cbospielerst_->setCurrentIndex(-1);
}

void FrmHaupt::showplayer(long long nr) {
    const auto p = src_->showplayer(nr, *rnd_);
    if (!p) {
        clearPlayer();
        return;
    }
    txtspielernr_->setText(qs(p->nr));
    txtspielername_->setText(qs(p->name));
    txtspielervorname_->setText(qs(p->vorname));
    txtspielerland_->setText(qs(p->country));
    cbospielerst_->setCurrentIndex(p->strengthIndex);
    cbospielerpos_->setCurrentIndex(p->positionIndex);
    txtspielereinsatz_->setText(qs(p->einsatz));
    txtspielerrnr_->setText(qs(p->rueckennummer));
    txtspielerhautfarbe_->setText(qs(p->hautfarbe));
    txtspielerhaartyp_->setText(qs(p->haartyp));
}

void FrmHaupt::applyMenu() {
    for (int i = 0; i < 5; ++i) {
        const zexp::MenuEntry& e = menu_->entries[i];
        mnuimpexportitem_[i]->setText(caption(e.caption));
        mnuimpexportitem_[i]->setEnabled(e.enabled);
        mnuimpexportitem_[i]->setVisible(e.visible);
        mnuimpexportitem_[i]->setData(qs(e.tag));
    }
}

void FrmHaupt::exportItem(int entry) {
    if (!src_ || (progress_ && progress_->running())) return;
    const std::string key = selectedKey();
    const auto request = zexp::exportRequest(entry, key, *menu_);
    if (!request) return;
    const zexp::SaveDialog dialog = zexp::saveDialog(entry, zexp::nodeContext(*src_, key));
    if (!dialog.keyMessage.empty())
        ui::MessageBox::plain(this, qs(zexp::programTitle()), qs(dialog.keyMessage));
    const QString file =
        ui::FileDialog::getSaveFileName(this, QStringLiteral("Exportieren"), qs((programDir_ / dialog.suggestedName).string()),
                                        qs(dialog.filter), qs(dialog.defaultExtension));
    if (file.isEmpty()) return;  // cancelled: nothing is exported

    if (!progress_) progress_ = std::make_unique<FrmProgress>();
    setEnabled(false);
    progress_->begin(this, file);
    zexp::ExportOptions options;
    options.random = rnd_.get();
    options.progress = progress_.get();
    options.teamName = [this](const std::string& name) { progress_->showTeam(qs(name)); };
    zexp::ExportResult result;
    try {
        result = zexp::runExport(*src_, *request, fs::path(file.toStdString()), options);
    } catch (const std::exception& e) {
        result.errors.push_back(e.what());
    }
    progress_->end();
    setEnabled(true);
    activateWindow();

    if (!result.ok()) {
        constexpr int kShown = 12;
        QStringList lines;
        for (int i = 0; i < static_cast<int>(result.errors.size()) && i < kShown; ++i) lines << qs(result.errors[i]);
        if (result.errors.size() > kShown)
            lines << QStringLiteral("… und %1 weitere Fehler.").arg(result.errors.size() - kShown);
        ui::MessageBox::warning(this, QStringLiteral("Export"),
                                QStringLiteral("Der Export ist nicht vollständig:\n") + lines.join(QLatin1Char('\n')));
    }
}

void FrmHaupt::closeEvent(QCloseEvent* event) {
    // No end in the middle of a run: its files would be left half written.
    if (progress_ && progress_->running())
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}
