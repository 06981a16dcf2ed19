// The main window's commands for the game's config files, team files and generated content:
// export and import of the club and player files, "&Speichern..." of a club as a team file,
// the template clubs and the competition file.
#include <QTreeWidget>
#include <filesystem>
#include <optional>

#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "config/cfgexport.h"
#include "config/cfgimport.h"
#include "config/templates.h"
#include "mainwindow/dbtree.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmmain_busy.h"
#include "mainwindow/frmmain_players.h"

namespace fs = std::filesystem;

namespace {

constexpr int kKeyRole = Qt::UserRole;  // where the tree keeps a node's key

const char* const kTeamFileFilter = "Kickora Editor Team (*.tea)|*.tea";

QString qs(const std::string& s) { return QString::fromStdString(s); }
fs::path toPath(const QString& name) { return fs::path(name.toStdString()); }

// A node text as a file name: characters that no file name may hold become "_".
QString fileNameOf(QString text) {
    for (QChar& c : text)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    return text;
}

}  // namespace

bool FrmMain::runBusy(const QString& title, const std::function<void()>& work) {
    std::optional<QString> error;
    {
        Busy busy(*this);
        try {
            work();
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
    }
    if (!error) return true;
    ui::MessageBox::critical(this, title, *error);
    return false;
}

// Export menu, entry 0: the filter entry chosen in the dialog decides which file is written.
void FrmMain::exportConfigFile() {
    int filter = 1;
    const QString name = ui::FileDialog::getSaveFileName(
        this, QString::fromUtf8(cfg::kExportDialogTitle),
        qs(settings_.folders[FolderKickoraconfig] + cfg::kConfigFileName), QString::fromUtf8(cfg::kConfigFileFilter),
        QStringLiteral("cfg"), &filter);
    const fs::path file = toPath(name);
    if (!cfg::configFileChosen(file)) return;
    const auto which = filter == static_cast<int>(cfg::ConfigFile::Players) ? cfg::ConfigFile::Players
                                                                           : cfg::ConfigFile::Clubs;
    runBusy(QString::fromUtf8(cfg::kExportDialogTitle),
            [&] { cfg::exportConfig(dao_.db(), file, which, cfg::systemNow, *this); });
}

// Import menu, entry 0. The import is all or nothing, so after a failure the tree and the
// player list still show what the database holds and stay as they are.
void FrmMain::importConfigFile() {
    int filter = 1;
    const QString name = ui::FileDialog::getOpenFileName(
        this, QString::fromUtf8(cfg::kImportDialogTitle),
        qs(settings_.folders[FolderKickoraconfig] + cfg::kConfigFileName), QString::fromUtf8(cfg::kConfigFileFilter),
        &filter);
    const fs::path file = toPath(name);
    if (!cfg::configFileChosen(file)) return;
    const auto which = filter == static_cast<int>(cfg::ConfigFile::Players) ? cfg::ConfigFile::Players
                                                                           : cfg::ConfigFile::Clubs;
    const QString title = QStringLiteral("Kickora Config importieren");
    if (!runBusy(title, [&] { cfg::importConfig(dao_.db(), file, which, *this); })) return;
    if (which == cfg::ConfigFile::Clubs) {
        runBusy(title, [this] { refreshTree(); });
    } else {
        // The list shows the new players; the player editor holds none of them until clicked.
        runBusy(title, [this] { showSelected(); });
        playerArea_->setPlayerFramesEnabled(false);
    }
}

// "&Speichern...": the selected club with its players as a team file. A club that exists only
// in the tree has nothing to write yet; a failed write is shown, since the user would
// otherwise believe the file saved.
void FrmMain::saveTeamFile() {
    QTreeWidgetItem* item = tvdb_->currentItem();
    if (!item) return;
    const std::string key = item->data(0, kKeyRole).toString().toStdString();
    const dbtree::KeyKind kind = dbtree::classifyKey(key).kind;
    const QString title = QStringLiteral("Speichern");
    if (kind == dbtree::KeyKind::NewClub || kind == dbtree::KeyKind::NewCountry) {
        ui::MessageBox::information(this, title, QStringLiteral("Bitte den Verein zuerst speichern."));
        return;
    }
    const std::optional<long long> club = cfg::teamFileClubNumber(key);
    if (!club || (kind != dbtree::KeyKind::Club && kind != dbtree::KeyKind::Country)) return;

    const QString name = ui::FileDialog::getSaveFileName(
        this, QStringLiteral("Speichern unter"),
        qs(settings_.folders[FolderKickoradaten]) + fileNameOf(item->text(0)) + QStringLiteral(".tea"),
        QString::fromUtf8(kTeamFileFilter), QStringLiteral("tea"));
    if (name.isEmpty()) return;
    const fs::path file = toPath(name);
    runBusy(title, [&] { cfg::writeTeamFile(dao_.db(), file, *club, cfg::systemNow, *this); });
}

// Tools "template erstellen": placeholder clubs for every country, then the tree shows them.
void FrmMain::templateClubs() {
    const QString title = QStringLiteral("template erstellen");
    if (!runBusy(title, [this] { cfg::createTemplateClubs(dao_.db(), *this); })) return;
    runBusy(title, [this] { refreshTree(); });
}

// Tools "templiga": the competition file in the program folder.
void FrmMain::competitionTemplate() {
    runBusy(QStringLiteral("templiga"), [this] {
        cfg::writeCompetitionFile(dao_.db(), cfg::competitionFilePath(settings_.programDir), *this);
    });
}
