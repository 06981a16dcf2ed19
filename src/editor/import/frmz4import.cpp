#include "import/frmz4import.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "common/ui/drawnicons.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/frmclickwatch.h"
#include "editor/graphics/frmpreviews.h"
#include "import/importsave.h"
#include "mainwindow/frmclubframes.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmpicklists.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }

constexpr int kTabFile = 0;

// Puts a text into a combo; a text that is not an entry shows the list's first entry.
void setComboText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index >= 0 ? index : (combo->count() > 0 ? 0 : -1));
}

// The number behind a row key's first two characters ("I_4" -> 4).
int keyNumber(const std::string& key) { return key.size() > 2 ? std::atoi(key.c_str() + 2) : -1; }

QPixmap dropPicture(bool allowed) {
    QPixmap pm = ui::drawn::shirt(allowed ? QColor(90, 170, 90) : QColor(170, 170, 170), QColor(250, 250, 250));
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(allowed ? QColor(20, 110, 20) : QColor(150, 30, 30), 2.2));
    if (allowed) {
        g.drawLine(QPointF(17, 19), QPointF(23, 19));
        g.drawLine(QPointF(20, 16), QPointF(20, 22));
    } else {
        g.drawLine(QPointF(16, 16), QPointF(23, 23));
        g.drawLine(QPointF(23, 16), QPointF(16, 23));
    }
    return pm;
}

}  // namespace

// ---------------------------------------------------------------- picture list

QIcon FrmZ4Import::iltrikot(int index) {
    static const QIcon icons[8] = {
        QIcon(),
        QIcon(ui::drawn::shirt(QColor(200, 50, 50), QColor(250, 250, 250))),   // 1 attack
        QIcon(ui::drawn::shirt(QColor(60, 150, 60), QColor(250, 250, 250))),   // 2 midfield
        QIcon(ui::drawn::shirt(QColor(50, 90, 190), QColor(250, 250, 250))),   // 3 defence
        QIcon(ui::drawn::shirt(QColor(235, 190, 40), QColor(30, 30, 30))),     // 4 goalkeeper
        QIcon(ui::drawn::shirt(QColor(245, 245, 245), QColor(120, 120, 120))), // 5 drag
        QIcon(dropPicture(true)),                                              // 6 over the squad
        QIcon(dropPicture(false)),                                             // 7 elsewhere
    };
    return index >= 0 && index < 8 ? icons[index] : QIcon();
}

// ---------------------------------------------------------------- the lists

ImportList::ImportList(FrmZ4Import& form, imp::List which, const char* objectName, QWidget* parent)
    : QTreeWidget(parent), form_(form), which_(which) {
    setObjectName(QString::fromLatin1(objectName));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Position"), QStringLiteral("Stärke"), QStringLiteral("art")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(18, 18));
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c) header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    setMinimumWidth(330);
    setProperty("tag", QString());
    setDragEnabled(which != imp::List::Squad);
    setAcceptDrops(true);
    setDragDropMode(which != imp::List::Squad ? QAbstractItemView::DragDrop : QAbstractItemView::DropOnly);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        form_.preparePopup(which_);
        form_.popupMenu()->popup(viewport()->mapToGlobal(pos));
    });
}

void ImportList::keyPressEvent(QKeyEvent* event) {
    if (form_.listKey(which_, event->modifiers(), event->key())) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ImportList::focusInEvent(QFocusEvent* event) {
    form_.setMenuList(which_);
    QTreeWidget::focusInEvent(event);
}

// A drag carries the list it came from; the rows are the list's selection at the drop.
void ImportList::startDrag(Qt::DropActions) {
    if (which_ == imp::List::Squad || form_.dragging() || selectedItems().isEmpty()) return;
    form_.dragStarted();
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kDragFormat), QByteArray::number(static_cast<int>(which_)));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(FrmZ4Import::iltrikot(5).pixmap(24, 24));
    drag->setHotSpot(QPoint(12, 12));
    // Over the squad the pointer says "copy"; over the source lists (a drop there only ends the
    // drag) and elsewhere it says "no".
    drag->setDragCursor(FrmZ4Import::iltrikot(6).pixmap(24, 24), Qt::CopyAction);
    drag->setDragCursor(FrmZ4Import::iltrikot(7).pixmap(24, 24), Qt::LinkAction);
    drag->setDragCursor(FrmZ4Import::iltrikot(7).pixmap(24, 24), Qt::IgnoreAction);
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    // A drop outside the three lists ends the drag too.
    if (form_.dragging()) form_.dropped(which_, which_);
}

std::optional<imp::List> ImportList::dragSource(const QMimeData* data) const {
    if (!data || !data->hasFormat(QString::fromLatin1(kDragFormat))) return std::nullopt;
    bool ok = false;
    const int n = data->data(QString::fromLatin1(kDragFormat)).toInt(&ok);
    if (!ok || (n != static_cast<int>(imp::List::File) && n != static_cast<int>(imp::List::Club))) return std::nullopt;
    return static_cast<imp::List>(n);
}

// The squad list shows whether a drop there would copy: its tag holds the last state.
void ImportList::setDragOver(bool over) {
    if (which_ != imp::List::Squad) return;
    setProperty("tag", over ? QStringLiteral("1") : QStringLiteral("0"));
    setStyleSheet(over ? QStringLiteral("QTreeWidget#lstveditornew { background: #eaf5ea; }") : QString());
}

void ImportList::dragEnterEvent(QDragEnterEvent* event) {
    if (!dragSource(event->mimeData())) {
        event->ignore();
        return;
    }
    setDragOver(true);
    event->setDropAction(dropAction());
    event->accept();
}

void ImportList::dragMoveEvent(QDragMoveEvent* event) {
    if (!dragSource(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(dropAction());
    event->accept();
}

Qt::DropAction ImportList::dropAction() const { return which_ == imp::List::Squad ? Qt::CopyAction : Qt::LinkAction; }

void ImportList::dragLeaveEvent(QDragLeaveEvent* event) {
    setDragOver(false);
    event->accept();
}

void ImportList::dropEvent(QDropEvent* event) {
    const std::optional<imp::List> source = dragSource(event->mimeData());
    setDragOver(false);
    if (!source) {
        event->ignore();
        return;
    }
    event->setDropAction(dropAction());
    event->accept();
    form_.dropped(*source, which_);
}

// ---------------------------------------------------------------- the form

FrmZ4Import::FrmZ4Import(FrmMain& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("frmz4import"));
    setWindowTitle(QStringLiteral("Import"));
    setModal(true);
    setProperty("tag", QString());

    tabedit_ = new QTabWidget(this);
    tabedit_->setObjectName(QStringLiteral("tabedit"));
    tabedit_->addTab(buildTeamPage(), QStringLiteral("Land/Verein"));
    tabedit_->addTab(buildPlayerPage(), QStringLiteral("Spieler"));
    buildPopup();
    updateSaveButton();

    btnabbrechen_ = new QPushButton(QStringLiteral("Schließen"), this);
    btnabbrechen_->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen_->setToolTip(QStringLiteral("Schließt den Import; Ungespeichertes wird verworfen"));
    btnabbrechen_->setAutoDefault(false);
    connect(btnabbrechen_, &QPushButton::clicked, this, &FrmZ4Import::btnabbrechen_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnabbrechen_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabedit_, 1);
    layout->addLayout(buttons);
    resize(980, 640);
}

FrmZ4Import::~FrmZ4Import() = default;

QWidget* FrmZ4Import::buildTeamPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabteam"));

    const ClubFrames f = buildClubFrames(page, main_.pickLists(), {"Frame6", "Frame7", "Frame4", "ImgXwappen"});
    txtteamlang_ = f.txtteamlang;
    txtteamkurz_ = f.txtteamkurz;
    txtstadt_ = f.txtstadt;
    cboland_ = f.cboland;
    lblkontinent_ = f.lblkontinent;
    cbokontinent_ = f.cbokontinent;
    txttnr_ = f.txttnr;
    txtgrafnr_ = f.txtgrafnr;
    imgXwappen_ = f.crest;
    txtstadion_ = f.txtstadion;
    txtsitz_ = f.txtsitz;
    txtsteh_ = f.txtsteh;
    lblkontinent_->hide();
    cbokontinent_->hide();
    // The number says which club is replaced; the crest number is not taken over.
    txttnr_->setReadOnly(true);
    txtgrafnr_->setReadOnly(true);

    auto* frame1 = new QGroupBox(QStringLiteral("Speicheroptionen"), page);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(frame1);
    const char* const tips[imp::kBoxes] = {
        "Name, Stadt und Land aus der Datei übernehmen",
        "Stadionname, Sitz- und Stehplätze aus der Datei übernehmen",
        "Trikotfarben aus der Datei übernehmen",
        "Spieler der Datei laden",
    };
    for (int i = 0; i < imp::kBoxes; ++i) {
        chkimport_[i] = new QCheckBox(QString::fromUtf8(imp::kBoxCaptions[i]));
        chkimport_[i]->setObjectName(QStringLiteral("chkimport_%1").arg(i));
        chkimport_[i]->setToolTip(QString::fromUtf8(tips[i]));
        connect(chkimport_[i], &QCheckBox::clicked, this, [this, i] { chkimport_Click(i); });
        if (i < 3) options->addWidget(chkimport_[i]);
    }
    btnteamsave_ = new QPushButton(QStringLiteral("Land/Verein speichern"), frame1);
    btnteamsave_->setObjectName(QStringLiteral("btnteamsave"));
    btnteamsave_->setEnabled(false);
    btnteamsave_->setAutoDefault(false);
    connect(btnteamsave_, &QPushButton::clicked, this, &FrmZ4Import::btnteamsave_Click);
    options->addStretch(1);
    options->addWidget(btnteamsave_);

    // Team and stadium on the left; logo and the save options on the right; jerseys below.
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    auto* left = new QVBoxLayout;
    left->addWidget(f.team);
    left->addWidget(f.stadion);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(f.logo);
    right->addWidget(frame1);
    right->addStretch(1);
    auto* upper = new QHBoxLayout;
    upper->addLayout(left, 3);
    upper->addLayout(right, 2);
    grid->addLayout(upper, 0, 0, 1, 3);
    for (int k = 0; k < 3; ++k) {
        auto* frame = new QGroupBox(QString::fromUtf8(jerseys::kFrameCaptions[k]), page);
        frame->setObjectName(QStringLiteral("Frame5_%1").arg(k));
        auto* box = new QVBoxLayout(frame);
        pictrikot_[k] = new QLabel(frame);
        pictrikot_[k]->setObjectName(QStringLiteral("pictrikot_%1").arg(k));
        previews::setupJersey(pictrikot_[k], k);
        pictrikot_[k]->setProperty("tag", QVariant());
        pictrikot_[k]->setToolTip(QStringLiteral("Doppelklick: anderes Trikot wählen"));
        new ClickWatch(pictrikot_[k], QEvent::MouseButtonDblClick, [this, k] { pictrikot_DblClick(k); });
        box->addWidget(pictrikot_[k], 0, Qt::AlignCenter);
        grid->addWidget(frame, 1, k);
    }
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* FrmZ4Import::buildPlayerPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabspielerpage"));

    tabspieler_ = new QTabBar(page);
    tabspieler_->setObjectName(QStringLiteral("tabspieler"));
    tabspieler_->addTab(QStringLiteral("Importdatei"));
    tabspieler_->addTab(QStringLiteral("Verein (Datenbank)"));
    tabspieler_->setTabToolTip(0, QStringLiteral("Die Spieler der Exporter-Datei"));
    tabspieler_->setTabToolTip(1, QStringLiteral("Die Spieler des Vereins in der Datenbank"));
    tabspieler_->setExpanding(false);
    connect(tabspieler_, &QTabBar::currentChanged, this, &FrmZ4Import::tabspieler_Click);

    auto* frame = new QGroupBox(QStringLiteral("Spieler der Datei"), page);
    frame->setObjectName(QStringLiteral("frameimport"));
    auto* fraeditor = new QGroupBox(QStringLiteral("Spieler des Vereins"), page);
    fraeditor->setObjectName(QStringLiteral("fraeditor"));
    auto* frame8 = new QGroupBox(QStringLiteral("Spielerliste"), page);
    frame8->setObjectName(QStringLiteral("Frame8"));
    lists_[static_cast<int>(imp::List::File)] = new ImportList(*this, imp::List::File, "lstvimport", frame);
    lists_[static_cast<int>(imp::List::Club)] = new ImportList(*this, imp::List::Club, "lstveditor", fraeditor);
    lists_[static_cast<int>(imp::List::Squad)] = new ImportList(*this, imp::List::Squad, "lstveditornew", frame8);
    const char* const tips[3] = {
        "Spieler markieren und in die Spielerliste ziehen (Strg+C kopiert, rechte Maustaste: Menü)",
        "Spieler markieren und in die Spielerliste ziehen (Strg+C kopiert, rechte Maustaste: Menü)",
        "Der neue Kader: genau 20 Spieler (Entf entfernt, rechte Maustaste: Menü)",
    };
    QGroupBox* frames[3] = {frame, fraeditor, frame8};
    for (int i = 0; i < 3; ++i) {
        lists_[i]->setToolTip(QString::fromUtf8(tips[i]));
        auto* box = new QVBoxLayout(frames[i]);
        box->setContentsMargins(4, 4, 4, 4);
        box->addWidget(lists_[i]);
    }
    stack_ = new QStackedWidget(page);
    stack_->addWidget(frame);
    stack_->addWidget(fraeditor);

    auto* frame2 = new QGroupBox(QStringLiteral("Speicheroptionen"), page);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* options = new QHBoxLayout(frame2);
    options->addWidget(chkimport_[3]);
    chkimport_[3]->setParent(frame2);
    options->addStretch(1);
    lblanzahl_ = new QLabel(frame2);
    lblanzahl_->setObjectName(QStringLiteral("lblanzahl"));
    lblanzahl_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblanzahl_->setMinimumWidth(lblanzahl_->fontMetrics().horizontalAdvance(QStringLiteral("20 von 20 Spielern")) + 8);
    options->addWidget(lblanzahl_);
    options->addSpacing(12);
    btnspielersave_ = new QPushButton(QStringLiteral("Spieler speichern"), frame2);
    btnspielersave_->setObjectName(QStringLiteral("btnspielersave"));
    btnspielersave_->setToolTip(QStringLiteral("Schreibt die 20 Spieler der Spielerliste über die Spieler des Vereins"));
    btnspielersave_->setEnabled(false);
    btnspielersave_->setAutoDefault(false);
    connect(btnspielersave_, &QPushButton::clicked, this, &FrmZ4Import::btnspielersave_Click);
    options->addWidget(btnspielersave_);

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(tabspieler_);
    left->addWidget(stack_, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(left, 1);
    lists->addWidget(frame8, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(lists, 1);
    layout->addWidget(frame2);
    return page;
}

void FrmZ4Import::buildPopup() {
    mnupopup_ = new QMenu(QStringLiteral("popup"), this);
    mnupopup_->setObjectName(QStringLiteral("mnupopup"));
    auto* selbest = new QMenu(QString::fromUtf8(imp::kMenuCaptions[0]), mnupopup_);
    selbest->setObjectName(QStringLiteral("mnupopup_selbest"));
    for (int k = 0; k < imp::kPresetItems; ++k) {
        QAction* a = selbest->addAction(QString::fromUtf8(imp::kPresetCaptions[k]));
        a->setObjectName(QStringLiteral("mnupopup_selbest_%1").arg(k));
        connect(a, &QAction::triggered, this, [this, k] { mnupopup_selbest_Click(k); });
    }
    for (int i = 0; i < imp::kMenuItems; ++i) {
        const QString caption = QString::fromUtf8(imp::kMenuCaptions[i]);
        QAction* a = nullptr;
        if (i == imp::MenuPresets) {
            a = mnupopup_->addMenu(selbest);
        } else if (caption == QLatin1String("-")) {
            a = mnupopup_->addSeparator();
        } else {
            a = mnupopup_->addAction(caption);
            connect(a, &QAction::triggered, this, [this, i] { mnupopup_Click(i); });
        }
        a->setObjectName(QStringLiteral("mnupopup_item_%1").arg(i));
        items_[i] = a;
    }
}

ImportList* FrmZ4Import::list(imp::List which) const { return lists_[static_cast<int>(which)]; }

// ---------------------------------------------------------------- state from outside

void FrmZ4Import::setTag(const QString& tag) {
    tag_ = tag;
    setProperty("tag", tag);
}

bool FrmZ4Import::importChecked(int box) const { return chkimport_[box]->isChecked(); }

void FrmZ4Import::setImportChecked(int box, bool on) {
    if (chkimport_[box]->isChecked() == on) return;
    chkimport_[box]->setChecked(on);
    chkimport_Click(box);
}

void FrmZ4Import::showModal() {
    tabedit_->setCurrentIndex(0);
    tabspieler_->setCurrentIndex(kTabFile);
    exec();
}

void FrmZ4Import::showError(const QString& title, const std::exception& e) {
    ui::MessageBox::critical(this, title, QString::fromUtf8(e.what()));
}

// ---------------------------------------------------------------- loading

// Every ticked box reads the file again; a file that cannot be read is reported once per
// opening, not once per box.
void FrmZ4Import::loadFile() {
    const QString path = main_.dlgopensaveFileName();
    try {
        file_ = imp::loadClubFile(ss(path));
    } catch (const std::exception& e) {
        // Without a readable file every ticked box keeps what the fields hold.
        file_ = imp::ClubFile{};
        const QString text = QString::fromUtf8(e.what());
        if (text != fileError_) ui::MessageBox::critical(this, QStringLiteral("Import"), text);
        fileError_ = text;
    }
}

imp::ClubFields FrmZ4Import::fields() const {
    imp::ClubFields f;
    f.teamlang = ss(txtteamlang_->text());
    f.teamkurz = ss(txtteamkurz_->text());
    f.stadt = ss(txtstadt_->text());
    f.land = ss(cboland_->currentText());
    f.stadion = ss(txtstadion_->text());
    f.sitz = ss(txtsitz_->text());
    f.steh = ss(txtsteh_->text());
    return f;
}

void FrmZ4Import::showFields(const imp::ClubFields& f) {
    txtteamlang_->setText(qs(f.teamlang));
    txtteamkurz_->setText(qs(f.teamkurz));
    txtstadt_->setText(qs(f.stadt));
    setComboText(cboland_, qs(f.land));
    txtstadion_->setText(qs(f.stadion));
    txtsitz_->setText(qs(f.sitz));
    txtsteh_->setText(qs(f.steh));
}

void FrmZ4Import::chkimport_Click(int box) {
    std::array<bool, imp::kBoxes> boxes{};
    for (int i = 0; i < imp::kBoxes; ++i) boxes[i] = chkimport_[i]->isChecked();
    btnteamsave_->setEnabled(imp::teamSaveEnabled(boxes));
    const bool ticked = boxes[box];
    try {
        row_ = imp::loadClubRow(main_.dao().db(), tag_.toLongLong());
    } catch (const std::exception& e) {
        row_.reset();
        showError(QStringLiteral("Import"), e);
    }
    lblkontinent_->hide();
    cbokontinent_->hide();
    if (ticked) loadFile();
    if (row_) {
        txttnr_->setText(QString::number(row_->number));
        txtgrafnr_->setText(QString::number(row_->grafikNr));
        loadwappen(txtgrafnr_->text());
        // A fresh workbench starts from the club's values, so a key the file lacks keeps the
        // club's value instead of an empty field that the save would write.
        if (fresh_) {
            showFields(imp::fieldsOf(*row_));
            fresh_ = false;
        }
        if (box < 2) {
            imp::ClubFields f = fields();
            imp::applyBox(box, ticked, *row_, file_, f);
            showFields(f);
        } else if (box == 2) {
            if (!ticked) {
                showStoredJerseys();
            } else {
                // A picture not drawn yet shows the club's stored type, which the save keeps.
                for (int k = 0; k < 3; ++k) {
                    const QVariant tag = pictrikot_[k]->property("tag");
                    showtrikot(k, tag.isValid() ? tag.toInt() : row_->jerseyTypes[k]);
                }
                showlivetrikot(0);
                showlivetrikot(1);
            }
        }
    }
    if (box != 3) return;
    if (!ticked) {
        wb_.clear();
        for (imp::List l : {imp::List::File, imp::List::Club, imp::List::Squad}) showList(l);
        updateSaveButton();
        return;
    }
    loadPlayers();
    if (tag_ == QLatin1String("-1")) {
        setMenuList(imp::List::File);
        mnupopup_Click(imp::MenuFreePlayers);
        btnabbrechen_Click();
    }
}

void FrmZ4Import::loadPlayers() {
    std::vector<imp::ClubPlayer> players;
    if (row_) {
        try {
            players = imp::loadClubPlayers(main_.dao().db(), row_->number);
        } catch (const std::exception& e) {
            showError(QStringLiteral("Import"), e);
        }
    }
    wb_.load(&file_, players);
    for (imp::List l : {imp::List::File, imp::List::Club, imp::List::Squad}) showList(l);
    updateSaveButton();
    // What the reader had to correct in the file, once per opening.
    if (!file_.warnings.empty() && !warned_) {
        warned_ = true;
        QStringList lines;
        for (const std::string& w : file_.warnings) lines << qs(w);
        ui::MessageBox::warning(this, QStringLiteral("Import"), lines.join(QLatin1Char('\n')));
    }
}

// ---------------------------------------------------------------- jerseys and crest

void FrmZ4Import::showtrikot(int k, int model) {
    std::optional<jerseys::Colours> colours;
    try {
        colours = jerseys::modelColours(main_.dao().db(), main_.settings().satz, model);
    } catch (const std::exception&) {
    }
    previews::drawJersey(pictrikot_[k], k, model, colours ? &*colours : nullptr, main_.settings());
}

void FrmZ4Import::showStoredJerseys() {
    std::optional<std::array<jerseys::Jersey, 3>> stored;
    try {
        if (row_) stored = jerseys::loadJerseys(main_.dao().db(), static_cast<int>(row_->number), 1);
    } catch (const std::exception&) {
    }
    for (int k = 0; k < 3; ++k) {
        if (stored) previews::drawJersey(pictrikot_[k], k, (*stored)[k].model, &(*stored)[k].colours, main_.settings());
        else {
            previews::clearJersey(pictrikot_[k], k);
            pictrikot_[k]->setProperty("tag", QVariant());
        }
    }
}

// The file's home (0) or away (1) colours on jersey picture 0 or 1.
void FrmZ4Import::showlivetrikot(int which) {
    const int k = which == 0 ? 0 : 1;
    previews::fillJersey(pictrikot_[k], k, file_.liveColours(which));
}

void FrmZ4Import::loadwappen(const QString& grafnr) {
    previews::showCrest(imgXwappen_, main_.settings().folders[FolderWappen], grafnr);
}

void FrmZ4Import::pictrikot_DblClick(int k) {
    const QVariant tag = pictrikot_[k]->property("tag");
    const std::optional<int> model = main_.chooseJersey(tag.isValid() ? tag.toInt() : 0);
    if (!model) return;
    showtrikot(k, *model);
    if (chkimport_[2]->isChecked()) {
        showlivetrikot(0);
        showlivetrikot(1);
    }
}

// ---------------------------------------------------------------- lists

std::vector<int> FrmZ4Import::selectedRows(imp::List which) const {
    std::vector<int> rows;
    const ImportList* l = list(which);
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        if (l->topLevelItem(i)->isSelected()) rows.push_back(i);
    return rows;
}

void FrmZ4Import::showList(imp::List which, const std::vector<int>& selected) {
    ImportList* l = list(which);
    const std::vector<imp::Row>& rows = wb_.rows(which);
    l->setUpdatesEnabled(false);
    l->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    const QColor ghost = palette().color(QPalette::Disabled, QPalette::Text);
    for (const imp::Row& r : rows) {
        auto* item = new QTreeWidgetItem(
            QStringList{qs(r.text), qs(r.code), qs(r.strengthText), QString::number(r.position)});
        item->setData(0, kKeyRole, qs(r.key));
        item->setData(0, kGhostRole, r.ghosted);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        if (r.ghosted) {
            // A ghosted row is in the squad already: shown faint, and it cannot be selected.
            item->setIcon(0, QIcon(iltrikot(r.icon).pixmap(18, 18, QIcon::Disabled)));
            for (int c = 0; c < 4; ++c) item->setForeground(c, ghost);
            item->setFlags(Qt::ItemIsEnabled);
        } else {
            item->setIcon(0, iltrikot(r.icon));
        }
        items.append(item);
    }
    l->addTopLevelItems(items);
    for (int row : selected)
        if (row >= 0 && row < items.size() && !rows[static_cast<std::size_t>(row)].ghosted) items[row]->setSelected(true);
    l->setUpdatesEnabled(true);
}

void FrmZ4Import::updateSaveButton() {
    btnspielersave_->setEnabled(wb_.full());
    lblanzahl_->setText(QStringLiteral("%1 von %2 Spielern").arg(wb_.squadSize()).arg(imp::kSquadSize));
}

void FrmZ4Import::copyRows(imp::List source) {
    if (source == imp::List::Squad) return;
    const std::vector<int> selected = selectedRows(source);
    const std::vector<int> copied = wb_.copy(source, selected);
    // Copied rows are unselected; rows the full squad could not take stay selected.
    std::vector<int> still;
    for (int row : selected)
        if (std::find(copied.begin(), copied.end(), row) == copied.end()) still.push_back(row);
    showList(source, still);
    showList(imp::List::Squad);
    updateSaveButton();
}

void FrmZ4Import::removeRows() {
    wb_.remove(selectedRows(imp::List::Squad));
    for (imp::List l : {imp::List::File, imp::List::Club}) showList(l, selectedRows(l));
    showList(imp::List::Squad);
    updateSaveButton();
}

void FrmZ4Import::freePlayers() {
    const bool all = tag_ == QLatin1String("-1");
    const std::vector<int> selected = selectedRows(imp::List::File);
    const std::vector<int> rows = wb_.freePlayerRows(selected, all);
    if (rows.empty()) {
        // A file without players: nothing is stored, and the status text must not say otherwise.
        if (all) main_.setStatusText(QString());
        return;
    }
    const std::vector<imp::Row>& fileRows = wb_.rows(imp::List::File);
    std::vector<int> indices;
    indices.reserve(rows.size());
    for (int row : rows) indices.push_back(keyNumber(fileRows[static_cast<std::size_t>(row)].key));
    int stored = 0;
    const bool ok = main_.runBusy(QString::fromUtf8(imp::kMenuCaptions[imp::MenuFreePlayers]), [&] {
        stored = imp::saveFreePlayers(main_.dao().db(), file_, indices, main_.random(), main_);
    });
    main_.percent(0);
    if (!ok) {
        main_.setStatusText(QString());
        return;
    }
    wb_.markFree(rows);
    std::vector<int> still;
    for (int row : selected)
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) still.push_back(row);
    showList(imp::List::File, still);
    main_.setStatusText(all ? qs(imp::freePlayersDone(stored)) : QString());
}

void FrmZ4Import::setMenuList(imp::List which) { menuList_ = which; }

void FrmZ4Import::preparePopup(imp::List which) {
    // With the tag "-1" the menu only ever acts on the file's list.
    menuList_ = tag_ == QLatin1String("-1") ? imp::List::File : which;
    const auto states = imp::popupMenu(menuList_, !selectedRows(menuList_).empty());
    for (int i = 0; i < imp::kMenuItems; ++i) {
        items_[i]->setVisible(states[i].visible);
        items_[i]->setEnabled(states[i].enabled);
    }
}

bool FrmZ4Import::listKey(imp::List which, Qt::KeyboardModifiers modifiers, int key) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    const int code = key == Qt::Key_Delete ? 46 : (key >= Qt::Key_A && key <= Qt::Key_Z ? key : -1);
    if (code < 0) return false;
    const int item = imp::menuItemForKey(which, shift, code);
    if (item < 0) return false;
    menuList_ = which;
    mnupopup_Click(item);
    return true;
}

void FrmZ4Import::mnupopup_Click(int item) {
    const imp::List which = tag_ == QLatin1String("-1") ? imp::List::File : menuList_;
    switch (item) {
        case imp::MenuSelectAll:
        case imp::MenuSelectNone:
        case imp::MenuInvert: {
            const imp::Selection op = item == imp::MenuSelectAll    ? imp::Selection::All
                                      : item == imp::MenuSelectNone ? imp::Selection::None
                                                                    : imp::Selection::Invert;
            const std::vector<int> rows = wb_.select(which, op, selectedRows(which));
            ImportList* l = list(which);
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                l->topLevelItem(i)->setSelected(std::find(rows.begin(), rows.end(), i) != rows.end());
            break;
        }
        case imp::MenuCopy: copyRows(which); break;
        case imp::MenuRemove:
            if (which == imp::List::Squad) removeRows();
            break;
        case imp::MenuFreePlayers:
            if (which == imp::List::File) freePlayers();
            break;
        default: break;
    }
}

void FrmZ4Import::mnupopup_selbest_Click(int k) {
    wb_.preset(k, main_.random());
    for (imp::List l : {imp::List::File, imp::List::Club}) showList(l, selectedRows(l));
    showList(imp::List::Squad);
    updateSaveButton();
}

void FrmZ4Import::dropped(imp::List source, imp::List target) {
    dragging_ = false;
    if (target == imp::List::Squad) copyRows(source);
}

void FrmZ4Import::tabspieler_Click(int tab) { stack_->setCurrentIndex(tab == kTabFile ? 0 : 1); }

// ---------------------------------------------------------------- saving and closing

void FrmZ4Import::btnteamsave_Click() {
    if (!row_) return;
    imp::ClubSave save;
    save.club = row_->number;
    for (int i = 0; i < 3; ++i) save.boxes[i] = chkimport_[i]->isChecked();
    save.fields = fields();
    for (int k = 0; k < 3; ++k) {
        const QVariant tag = pictrikot_[k]->property("tag");
        if (tag.isValid()) save.jerseyTypes[k] = tag.toInt();
    }
    save.satz = main_.settings().satz;
    const QString title = QStringLiteral("Land/Verein speichern");
    if (main_.runBusy(title, [&] { imp::saveClub(main_.dao().db(), save, file_); })) saved_ = true;
}

void FrmZ4Import::btnspielersave_Click() {
    if (!row_ || !wb_.full()) return;
    const QString title = QStringLiteral("Spieler speichern");
    main_.setStatusText(QString::fromUtf8(imp::kSquadSaveStatus));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    std::optional<QString> error;
    try {
        imp::saveSquad(main_.dao().db(), row_->number, wb_.squadMembers(), file_, main_.random(), main_);
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    main_.percent(0);
    main_.setStatusText(QString());
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (error) {
        ui::MessageBox::critical(this, title, *error);
        return;
    }
    saved_ = true;
    // The club's list now shows the saved squad; the squad rows pointed into the old list.
    loadPlayers();
}

void FrmZ4Import::btnabbrechen_Click() {
    for (int i = 0; i < imp::kBoxes; ++i) setImportChecked(i, false);
    for (int k = 0; k < 3; ++k) {
        previews::clearJersey(pictrikot_[k], k);
        pictrikot_[k]->setProperty("tag", QVariant());
    }
    file_ = imp::ClubFile{};
    fileError_.clear();
    warned_ = false;
    fresh_ = true;
    dragging_ = false;
    hide();
    if (saved_) {
        saved_ = false;
        if (row_) main_.reloadTree(QStringLiteral("T%1").arg(row_->number));
    }
}

void FrmZ4Import::reject() {
    btnabbrechen_Click();
    QDialog::reject();
}
