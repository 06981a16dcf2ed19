// The main window's menus, toolbar and the commands that act on settings and the whole database.
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>
#include <system_error>

#include "common/paths.h"
#include "common/ui/messagebox.h"
#include "foundation/journal.h"
#include "import/frmtransmarkt.h"
#include "import/market.h"
#include "mainwindow/dbtree.h"
#include "mainwindow/frmabout.h"
#include "mainwindow/frmicons.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmmain_busy.h"
#include "mainwindow/frmnew.h"
#include "mainwindow/newitem.h"
#include "tools/frmrueckennummer.h"
#include "tools/frmspielerbild.h"
#include "tools/frmteamname.h"

namespace fs = std::filesystem;

namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kNationRole = Qt::UserRole + 1;

QKeySequence ctrl(Qt::Key key) { return QKeySequence(Qt::CTRL | key); }
}  // namespace

// ---------------------------------------------------------------- menus and toolbar

QAction* FrmMain::menuItem(QMenu* menu, const QString& menuName, int index, const QString& caption,
                           const QKeySequence& shortcut, bool hidden) {
    QAction* action = nullptr;
    if (caption == QLatin1String("-")) {
        action = menu->addSeparator();
    } else {
        action = menu->addAction(caption);
        action->setShortcut(shortcut);
    }
    const QString name = menuName + QStringLiteral("item_") + QString::number(index);
    action->setObjectName(name);
    action->setVisible(!hidden);
    actions_.insert(name, action);
    return action;
}

QAction* FrmMain::menuAction(const QString& menuName, int index) const {
    return actions_.value(menuName + QStringLiteral("item_") + QString::number(index));
}

QAction* FrmMain::toolAction(const QString& key) const { return actions_.value(QStringLiteral("tb_") + key); }

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [this](QMenu* m, const char* name) {
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    // Each entry: index, caption, shortcut, hidden. The handler gets the index.
    struct Item {
        int index;
        const char* caption;
        QKeySequence shortcut;
        bool hidden;
    };
    const auto fill = [this](QMenu* m, const QString& name, std::initializer_list<Item> items,
                             void (FrmMain::*handler)(int)) {
        for (const Item& item : items) {
            QAction* a = menuItem(m, name, item.index, QString::fromUtf8(item.caption), item.shortcut, item.hidden);
            if (!a->isSeparator()) connect(a, &QAction::triggered, this, [this, handler, i = item.index] { (this->*handler)(i); });
        }
    };

    QMenu* datei = menu(bar->addMenu(QStringLiteral("&Datei")), "mnudatei");
    QMenu* import = menu(new QMenu(QStringLiteral("&Import..."), datei), "mnuimport");
    QMenu* exportMenu = menu(new QMenu(QStringLiteral("&Export..."), datei), "mnuexport");
    fill(datei, QStringLiteral("mnudatei"),
         {{0, "&Neu...", ctrl(Qt::Key_N), false},
          {1, "&Öffnen...", ctrl(Qt::Key_O), false},
          {2, "&Speichern...", ctrl(Qt::Key_S), false},
          {3, "-", {}, false}},
         &FrmMain::mnudatei_Click);
    for (auto [index, sub] : {std::pair{4, import}, std::pair{5, exportMenu}}) {
        QAction* a = datei->addMenu(sub);
        a->setObjectName(QStringLiteral("mnudateiitem_%1").arg(index));
        actions_.insert(a->objectName(), a);
    }
    fill(datei, QStringLiteral("mnudatei"), {{6, "-", {}, false}, {7, "&Programmende", ctrl(Qt::Key_Q), false}},
         &FrmMain::mnudatei_Click);
    menuAction(QStringLiteral("mnudatei"), 2)->setEnabled(false);
    fill(import, QStringLiteral("mnuimport"),
         {{0, "Config (Kickora)", ctrl(Qt::Key_I), false},
          {1, "&Wappen (wa.res)", ctrl(Qt::Key_W), false},
          {2, "Verein (&Zentor Exporter)", ctrl(Qt::Key_A), false},
          {3, "&Liga/Land (Zentor Exporter)", ctrl(Qt::Key_L), false}},
         &FrmMain::mnuimport_Click);
    fill(exportMenu, QStringLiteral("mnuexport"),
         {{0, "Config (Kickora)", ctrl(Qt::Key_E), false}, {1, "&Wappen (wa.res)", ctrl(Qt::Key_C), false}},
         &FrmMain::mnuexport_Click);

    // Ours: between Datei and Optionen, so that no other menu moves.
    QMenu* bearbeiten = menu(bar->addMenu(QStringLiteral("&Bearbeiten")), "mnubearbeiten");
    fill(bearbeiten, QStringLiteral("mnubearbeiten"),
         {{0, "Rückgängig", ctrl(Qt::Key_Z), false},
          {1, "Wiederherstellen", ctrl(Qt::Key_Y), false},
          {2, "-", {}, false},
          {3, "Land/Verein &suchen", ctrl(Qt::Key_F), false},
          {4, "&Spieler suchen...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), false},
          {5, "-", {}, false},
          {6, "Datenbank &prüfen...", {}, false}},
         &FrmMain::mnubearbeiten_Click);
    connect(bearbeiten, &QMenu::aboutToShow, this, &FrmMain::updateUndoActions);
    // Closed, the entries stay enabled so that their shortcuts always reach the handler.
    connect(bearbeiten, &QMenu::aboutToHide, this, [this] {
        for (int i : {0, 1}) menuAction(QStringLiteral("mnubearbeiten"), i)->setEnabled(true);
    });

    QMenu* optionen = menu(bar->addMenu(QStringLiteral("&Optionen")), "mnuoptionen");
    fill(optionen, QStringLiteral("mnuoptionen"),
         {{0, "Trikotsatz (&Orignal)", {}, false},
          {1, "Trikotsatz (&Kickoranet)", {}, false},
          {2, "aktuellen Trikotsatz (ma.res) in Kickora kopieren", {}, false},
          {3, "-", {}, false},
          {4, "&Verzeichnisse", ctrl(Qt::Key_V), true},
          {5, "-", {}, true},
          {6, "Datenbank &löschen", {}, false},
          {7, "Datenbank komprimieren", {}, false}},
         &FrmMain::mnuoptionen_Click);
    for (int i : {0, 1}) menuAction(QStringLiteral("mnuoptionen"), i)->setCheckable(true);

    QMenu* tools = menu(bar->addMenu(QStringLiteral("&Tools")), "mnutools");
    fill(tools, QStringLiteral("mnutools"),
         {{0, "&Spielerbilder zuordnen", {}, false},
          {1, "Spieler&gesichter überprüfen", {}, false},
          {2, "&Trikotfarbeneditor (Livespiel)", {}, true},
          {3, "&Trikotfarben zuorden (Livespiel)", {}, true},
          {4, "template erstellen", {}, true},
          {5, "&Rückennummer überprüfen", {}, false},
          {6, "&Vereinsname überprüfen", {}, false},
          {7, "templiga", {}, true}},
         &FrmMain::mnutools_Click);

    QMenu* transfer = menu(bar->addMenu(QStringLiteral("Tranfer&markt")), "mnutransfer");
    fill(transfer, QStringLiteral("mnutransfer"),
         {{0, "&Freie Spieler", {}, false}, {1, "&Spielertransfer", {}, false}}, &FrmMain::mnutransfer_Click);

    QMenu* info = menu(bar->addMenu(QStringLiteral("&Info")), "mnuinfo");
    fill(info, QStringLiteral("mnuinfo"), {{0, "&Info zum Kickora Editor", {}, false}}, &FrmMain::mnuinfo_Click);

    // The tree's context menu is not part of the menu bar.
    mnupopup_ = menu(new QMenu(QStringLiteral("popup"), this), "mnupopup");
    fill(mnupopup_, QStringLiteral("mnupopup"), {{0, "aktualisieren", {}, false}}, &FrmMain::mnupopup_Click);
}

void FrmMain::buildToolbar() {
    tbtoolbar_ = addToolBar(QStringLiteral("Werkzeugleiste"));
    tbtoolbar_->setObjectName(QStringLiteral("tbtoolbar"));
    tbtoolbar_->setMovable(false);
    tbtoolbar_->setIconSize(QSize(24, 24));
    struct Button {
        const char* key;
        const char* tooltip;
    };
    const Button buttons[] = {{"new", "Neu"},
                              {"open", "Öffnen"},
                              {"save", "Speichern"},
                              {nullptr, nullptr},
                              {"impconfig", "Import Config (Kickora)"},
                              {"expconfig", "Export Config (Kickora)"},
                              {"impzentor4", "Import Verein (Zentor 4)"},
                              {nullptr, nullptr},
                              {"trikotoriginal", "Trikotsatz (Orignal)"},
                              {"trikotkickoranet", "Trikotsatz (Kickoranet)"}};
    for (const Button& b : buttons) {
        if (!b.key) {
            tbtoolbar_->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* a = tbtoolbar_->addAction(icons::toolbar(key), QString::fromUtf8(b.tooltip));
        a->setObjectName(QStringLiteral("tb_") + key);
        a->setToolTip(QString::fromUtf8(b.tooltip));
        actions_.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, key] { tbtoolbar_ButtonClick(key); });
    }
    toolAction(QStringLiteral("save"))->setEnabled(false);
    toolAction(QStringLiteral("impzentor4"))->setEnabled(false);
    for (const char* key : {"trikotoriginal", "trikotkickoranet"}) toolAction(QString::fromLatin1(key))->setCheckable(true);
}

// ---------------------------------------------------------------- handlers

void FrmMain::tbtoolbar_ButtonClick(const QString& key) {
    if (key == QLatin1String("new")) mnudatei_Click(0);
    else if (key == QLatin1String("open")) mnudatei_Click(1);
    else if (key == QLatin1String("save")) mnudatei_Click(2);
    else if (key == QLatin1String("impconfig")) mnuimport_Click(0);
    else if (key == QLatin1String("expconfig")) mnuexport_Click(0);
    else if (key == QLatin1String("impzentor4")) mnuimport_Click(2);
    else if (key == QLatin1String("trikotoriginal")) mnuoptionen_Click(0);
    else if (key == QLatin1String("trikotkickoranet")) mnuoptionen_Click(1);
}

void FrmMain::mnudatei_Click(int index) {
    switch (index) {
        case 0: {
            if (!frmnew_) frmnew_ = new FrmNew(*pickLists_, this);
            frmnew_->setOption(0);
            if (frmnew_->exec() == QDialog::Accepted && !frmnew_->selection().isEmpty())
                addNewItem(frmnew_->option(), frmnew_->selection());
            break;
        }
        case 1: openTeamFile(); break;
        case 2: saveTeamFile(); break;
        case 7: close(); break;
        default: break;
    }
}

void FrmMain::mnuimport_Click(int index) {
    if (index == 0) importConfigFile();
    else if (index == 1) wappenImport();
    else if (index == 2) openClubFile();
    else if (index == 3) openIndexFile();
}

void FrmMain::mnuexport_Click(int index) {
    if (index == 0) exportConfigFile();
    else if (index == 1) wappenExport();
}

void FrmMain::mnupopup_Click(int index) {
    if (index == 0) refreshTree();
}

void FrmMain::mnuoptionen_Click(int index) {
    switch (index) {
        case 0:
        case 1: trikotsatz(index); break;
        case 2: trikotsatzKopieren(); break;
        case 4:
            ui::MessageBox::information(this, QStringLiteral("Verzeichnisse"),
                                        QStringLiteral("Bitte die kickoraeditor.ini mit dem Notepad bearbeiten!"));
            break;
        case 6: datenbankLoeschen(); break;
        case 7: datenbankKomprimieren(); break;
        default: break;
    }
}

void FrmMain::mnutools_Click(int index) {
    if (index == 2 || index == 3) return;  // hidden entries without a function
    if (index == 1) gesichterPruefen();
    else if (index == 4) templateClubs();
    else if (index == 7) competitionTemplate();
    else if (index == 0 || index == 5 || index == 6) toolWindow(index);
}

void FrmMain::toolWindow(int index) {
    bool changed = false;
    if (index == 0) {
        if (!frmspielerbild_) frmspielerbild_ = new FrmSpielerbild(this);
        frmspielerbild_->zeigen(dao_.db(), settings_.folders[FolderKickoraspieler], this);
    } else if (index == 5) {
        if (!frmrueckennummer_) frmrueckennummer_ = new FrmRueckennummer(this, *this);
        frmrueckennummer_->zeigen(dao_.db());
        changed = frmrueckennummer_->changed();
    } else {
        if (!frmteamname_) frmteamname_ = new FrmTeamname(this, *this);
        frmteamname_->zeigen(dao_.db());
        changed = frmteamname_->changed();
    }
    // Tree, editor and player list show the new names and numbers.
    if (changed) refreshTree();
}

// Afterwards the tree when the country lookup added national teams; the player list in any case.
void FrmMain::mnutransfer_Click(int index) {
    if (!frmtransmarkt_) frmtransmarkt_ = new FrmTransmarkt(dao_, *pickLists_, this);
    const QString title = QString::fromUtf8(market::kTitle);
    if (index == 0) {
        if (ui::MessageBox::question(this, title, QString::fromUtf8(market::kFillQuestion)) != ui::MessageBox::Yes) return;
        market::FillResult result;
        const bool ok = runBusy(title, [&] { result = market::spielerz4_nach_tmarkt(dao_.db(), *this, frmtransmarkt_->random()); });
        if (ok && result.filled > 0) runBusy(title, [&] { result.nationsCreated > 0 ? refreshTree() : showSelected(); });
        setStatusText(QString());
        percent(0);
        return;
    }
    frmtransmarkt_->load();
    frmtransmarkt_->exec();
    if (frmtransmarkt_->changed()) runBusy(title, [this] { refreshTree(); });
}

// ---------------------------------------------------------------- undo

void FrmMain::updateUndoActions() {
    std::optional<journal::Entry> undo, redo;
    try {
        if (dao_.isOpen()) {
            undo = journal::nextUndo(dao_.db());
            redo = journal::nextRedo(dao_.db());
        }
    } catch (const std::exception&) {
    }
    QAction* undoAction = menuAction(QStringLiteral("mnubearbeiten"), 0);
    QAction* redoAction = menuAction(QStringLiteral("mnubearbeiten"), 1);
    undoAction->setText(undo ? QStringLiteral("Rückgängig: ") + QString::fromStdString(undo->what) : QStringLiteral("Rückgängig"));
    undoAction->setEnabled(undo.has_value());
    redoAction->setText(redo ? QStringLiteral("Wiederherstellen: ") + QString::fromStdString(redo->what)
                             : QStringLiteral("Wiederherstellen"));
    redoAction->setEnabled(redo.has_value());
}

void FrmMain::undoRedo(int index) {
    if (busy_ > 0 || !dao_.isOpen()) return;
    const QString title = index == 0 ? QStringLiteral("Rückgängig") : QStringLiteral("Wiederherstellen");
    std::optional<journal::Entry> done;
    if (!runBusy(title, [&] { done = index == 0 ? journal::undo(dao_.db()) : journal::redo(dao_.db()); }) || !done)
        return;
    runBusy(title, [this] { refreshTree(); });
    setStatusText(title + QStringLiteral(": ") + QString::fromStdString(done->what));
}

void FrmMain::mnuinfo_Click(int index) {
    if (index != 0) return;
    if (!frmAbout_) frmAbout_ = new FrmAbout(settings_.programDir, this);
    frmAbout_->exec();
}

// ---------------------------------------------------------------- new entries

void FrmMain::addNewItem(int option, const QString& parentText) {
    const bool country = option == newitem::NewCountry;
    QTreeWidgetItem* parent = nullptr;
    if (country) {
        parent = node(parentText);
    } else {
        // The list holds country names and, where they differ, nations: either finds the country.
        for (QTreeWidgetItem* item : std::as_const(nodes_)) {
            const dbtree::KeyInfo info = dbtree::classifyKey(item->data(0, kKeyRole).toString().toStdString());
            if (info.kind != dbtree::KeyKind::Country) continue;
            if (item->text(0) == parentText) {
                parent = item;
                break;
            }
            if (!parent && item->data(0, kNationRole).toString() == parentText) parent = item;
        }
    }
    if (!parent) {
        ui::MessageBox::information(this, QStringLiteral("Neu"),
                                    QStringLiteral("\u201E%1\u201C steht nicht im Baum.").arg(parentText));
        return;
    }
    long long pendingMax = 0;
    for (auto it = nodes_.cbegin(); it != nodes_.cend(); ++it)
        if (it.key().endsWith(QLatin1Char('_'))) pendingMax = std::max(pendingMax, dbtree::classifyKey(it.key().toStdString()).number);
    long long number = 0;
    try {
        number = newitem::nextTeamNumber(dao_, pendingMax);
    } catch (const std::exception& e) {
        showError(QStringLiteral("Neu"), e);
        return;
    }
    const auto kind = country ? newitem::NewCountry : newitem::NewClub;
    const QString key = QString::fromStdString(newitem::key(kind, number));
    auto* item = new QTreeWidgetItem(parent, QStringList(QString::fromStdString(newitem::text(kind, number))));
    item->setIcon(0, icons::tree(country ? dbtree::ImageCountry : dbtree::ImageClub));
    item->setData(0, kKeyRole, key);
    nodes_.insert(key, item);
    parent->setExpanded(true);
    tvdb_->setCurrentItem(item);
    tvdb_->scrollToItem(item);
}

// ---------------------------------------------------------------- options

void FrmMain::trikotsatz(int set) {
    menuAction(QStringLiteral("mnuoptionen"), 0)->setChecked(set == 0);
    menuAction(QStringLiteral("mnuoptionen"), 1)->setChecked(set == 1);
    toolAction(QStringLiteral("trikotoriginal"))->setChecked(set == 0);
    toolAction(QStringLiteral("trikotkickoranet"))->setChecked(set == 1);
    trikotChooserUnload();
    const std::string error = writeSatz(settings_, set);
    if (!error.empty()) ui::MessageBox::critical(this, QStringLiteral("Trikotsatz"), QString::fromStdString(error));
}

void FrmMain::datenbankLoeschen() {
    if (ui::MessageBox::question(this, QStringLiteral("Löschen"), QStringLiteral("Datenbankinhalt wirklich löschen!")) !=
        ui::MessageBox::Yes)
        return;
    {
        Busy busy(*this);
        try {
            dao_.del_db();
        } catch (const std::exception& e) {
            showError(QStringLiteral("Löschen"), e);
            return;
        }
    }
    refreshTree();
}

void FrmMain::datenbankKomprimieren() {
    if (ui::MessageBox::question(this, QStringLiteral("Komprimieren"), QStringLiteral("Datenbank komprimieren!")) !=
        ui::MessageBox::Yes)
        return;
    {
        Busy busy(*this);
        try {
            dao_.comp_db();
        } catch (const std::exception& e) {
            // The database is open again as it was; the tree below shows it.
            showError(QStringLiteral("Komprimieren"), e);
        }
    }
    refreshTree();
}

// ---------------------------------------------------------------- leaving

void FrmMain::closeEvent(QCloseEvent* event) {
    if (busy_ > 0) {
        event->ignore();
        return;
    }
    if (ui::MessageBox::question(this, QStringLiteral("Programmende"), QStringLiteral("Programm beenden"),
                                 ui::MessageBox::Critical) != ui::MessageBox::Yes) {
        event->ignore();
        return;
    }
    dao_.close();
    for (QDialog* dialog : findChildren<QDialog*>()) dialog->close();
    event->accept();
}
