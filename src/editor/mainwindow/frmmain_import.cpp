// The main window's way into the import: "Verein (&Zentor Exporter)", "&Liga/Land (Zentor
// Exporter)" and "&Öffnen..." show the file dialog and hand the chosen file to the target
// dialogs; the workbench is reached from frmz4open.
#include <QStringList>
#include <filesystem>

#include "common/paths.h"
#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/frmjerseys.h"
#include "editor/graphics/jerseys.h"
#include "editor/graphics/pictures.h"
#include "import/clubfile.h"
#include "import/frmopen.h"
#include "import/frmz4import.h"
#include "import/frmz4open.h"
#include "import/indexwalk.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmmain_busy.h"

namespace fs = std::filesystem;

namespace {

const char* const kClubFilter = "Zentor Exporter Team (*.aet)|*.aet";
const char* const kIndexFilter = "Zentor Exporter Liga (*.lig)|*.lig|Zentor Exporter Land (*.lan)|*.lan";
const char* const kTeamFilter = "Kickora Editor Team (*.tea)|*.tea";
constexpr int kMaxListed = 15;

QString qs(const std::string& s) { return QString::fromStdString(s); }
fs::path toPath(const QString& name) { return fs::path(name.toStdString()); }

}  // namespace

FrmZ4Open& FrmMain::frmz4open() {
    if (!frmz4open_) frmz4open_ = new FrmZ4Open(*this);
    return *frmz4open_;
}

FrmOpen& FrmMain::frmopen() {
    if (!frmopen_) frmopen_ = new FrmOpen(*this);
    return *frmopen_;
}

FrmZ4Import& FrmMain::frmz4import() {
    if (!frmz4import_) frmz4import_ = new FrmZ4Import(*this);
    return *frmz4import_;
}

void FrmMain::reloadTree(const QString& key) {
    tvdbTag_ = key;
    refreshTree();
}

std::optional<int> FrmMain::chooseJersey(int model) {
    if (!frmtrikot_) {
        frmtrikot_ = new FrmTrikot(this);
        frmtrikot_->loadModels(settings_.jerseyFolder(), this);
    }
    const QImage picture = gfx::loadPicture(paths::findFile(jerseys::modelPicture(settings_, model)));
    if (!frmtrikot_->choose(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture), model)) return std::nullopt;
    return frmtrikot_->model();
}

// Import menu, entry 2: one club file.
void FrmMain::openClubFile() {
    const QString name = ui::FileDialog::getOpenFileName(
        this, QStringLiteral("Öffnen"), qs(settings_.folders[FolderZ4daten]) + QStringLiteral("*.aet"),
        QString::fromUtf8(kClubFilter));
    if (name.isEmpty()) return;
    Busy busy(*this, false);
    setDlgopensaveFileName(name);
    FrmZ4Open& dialog = frmz4open();
    dialog.setVerein(qs(imp::fileTitle(toPath(name))));
    dialog.exec();
}

// Import menu, entry 3: every club file a league or country file names, one target dialog
// each. Names that would lead out of the index file's folder are reported at the end.
void FrmMain::openIndexFile() {
    const QString name = ui::FileDialog::getOpenFileName(
        this, QStringLiteral("Öffnen"), qs(settings_.folders[FolderZ4daten]) + QStringLiteral("*.lig"),
        QString::fromUtf8(kIndexFilter));
    if (name.isEmpty()) return;
    const QString title = QStringLiteral("Liga/Land importieren");
    Busy busy(*this, false);
    imp::IndexWalk walk;
    try {
        walk = imp::walkIndexFile(toPath(name), *this);
    } catch (const std::exception& e) {
        status("");
        percent(0);
        showError(title, e);
        return;
    }
    const int count = static_cast<int>(walk.files.size());
    for (int i = 0; i < count; ++i) {
        const imp::IndexClubFile& club = walk.files[static_cast<std::size_t>(i)];
        setStatusText(qs(club.section));
        percent(i * 100 / count);
        setDlgopensaveFileName(qs(club.file.string()));
        FrmZ4Open& dialog = frmz4open();
        dialog.setVerein(qs(club.baseName));
        dialog.exec();
    }
    setStatusText(QString());
    percent(0);
    if (walk.skipped.empty()) return;
    QStringList lines;
    for (std::size_t i = 0; i < walk.skipped.size() && i < kMaxListed; ++i) lines << qs(walk.skipped[i]);
    if (walk.skipped.size() > kMaxListed)
        lines << QStringLiteral("... und %1 weitere.").arg(walk.skipped.size() - kMaxListed);
    ui::MessageBox::warning(this, title, lines.join(QLatin1Char('\n')));
}

// "&Öffnen...": a team file as a new club or over a club.
void FrmMain::openTeamFile() {
    int filter = 1;
    const QString name = ui::FileDialog::getOpenFileName(
        this, QStringLiteral("Öffnen"), qs(settings_.folders[FolderKickoradaten]) + QStringLiteral("*.tea"),
        QString::fromUtf8(kTeamFilter), &filter);
    if (name.isEmpty() || filter != 1 || fs::path(name.toStdString()).filename() == "*.tea") return;
    Busy busy(*this, false);
    setDlgopensaveFileName(name);
    FrmOpen& dialog = frmopen();
    dialog.setVerein(qs(imp::fileTitle(toPath(name))));
    dialog.exec();
}
