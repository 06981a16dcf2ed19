// The main window's crests, jerseys and faces: the crest beside the crest number and its
// chooser, crest import and export, the three jersey previews and their chooser, the copy of
// the jersey set into the game, and the face check.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <filesystem>
#include <optional>

#include "common/ui/filedialog.h"
#include "common/ui/messagebox.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/faces.h"
#include "editor/graphics/frmclickwatch.h"
#include "editor/graphics/frmcrests.h"
#include "editor/graphics/frmjerseys.h"
#include "editor/graphics/frmpreviews.h"
#include "editor/graphics/jerseys.h"
#include "editor/graphics/pictures.h"
#include "mainwindow/clubeditor.h"
#include "mainwindow/dbtree.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/frmmain_busy.h"
#include "mainwindow/frmmain_players.h"

namespace fs = std::filesystem;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr int kMaxMessages = 15;

std::string skippedText(const crests::ImportResult& r) {
    std::string text = std::to_string(r.imported) + " von " + std::to_string(r.members) +
                       " Wappen importiert. Übersprungen:\n";
    const int shown = std::min<int>(kMaxMessages, static_cast<int>(r.messages.size()));
    for (int i = 0; i < shown; ++i) text += r.messages[i] + "\n";
    if (static_cast<int>(r.messages.size()) > shown)
        text += "... und " + std::to_string(r.messages.size() - shown) + " weitere.";
    return text;
}

}  // namespace

// ---------------------------------------------------------------- set-up

// The crest picture opens the crest chooser; a double-click on a jersey its chooser.
void FrmMain::buildGraphics() {
    imgwappen_->setCursor(Qt::PointingHandCursor);
    imgwappen_->setToolTip(QStringLiteral("Klick: Wappen auswählen"));
    new ClickWatch(imgwappen_, QEvent::MouseButtonRelease, [this] { imgwappen_Click(); });
    for (int k = 0; k < 3; ++k) {
        QLabel* preview = pictrikot_[k];
        new ClickWatch(preview, QEvent::MouseButtonDblClick, [this, k] { pictrikot_DblClick(k); });
    }
}

// ---------------------------------------------------------------- crests

void FrmMain::setCrestPicture(const QPixmap& picture) { previews::setCrestPicture(imgwappen_, picture); }

// Show crest: the number's file, copied from default.tga when it is missing.
void FrmMain::loadwappen(const QString& grafnr) {
    previews::showCrest(imgwappen_, settings_.folders[FolderWappen], grafnr);
}

void FrmMain::imgwappen_Click() {
    if (!imgwappen_->isEnabled() || busy_ > 0) return;
    if (!frmwappen_) frmwappen_ = new FrmWappen(this);
    const QPixmap current = imgwappen_->pixmap();
    if (!frmwappen_->choose(settings_.folders[FolderWappen], current, txtgrafnr_->text(), this)) return;
    txtgrafnr_->setText(frmwappen_->number());
    setCrestPicture(frmwappen_->picture());
}

void FrmMain::wappenImport() {
    const QString title = QString::fromUtf8(crests::kImportTitle);
    const QString file =
        ui::FileDialog::getOpenFileName(this, title, qs(settings_.folders[FolderKickorares] + crests::kArchiveName),
                                        QString::fromUtf8(crests::kArchiveFilter));
    if (file.isEmpty()) return;
    crests::ImportResult result;
    try {
        Busy busy(*this);
        result = crests::importCrests(settings_.folders[FolderWappen], fs::path(file.toStdString()), *this);
    } catch (const std::exception& e) {
        status("");
        percent(0);
        showError(title, e);
        return;
    }
    percent(0);
    // The club shown may have a new crest now.
    if (!txtgrafnr_->text().isEmpty()) loadwappen(txtgrafnr_->text());
    if (!result.messages.empty()) ui::MessageBox::warning(this, title, qs(skippedText(result)));
}

void FrmMain::wappenExport() {
    const QString title = QString::fromUtf8(crests::kExportTitle);
    const QString file =
        ui::FileDialog::getSaveFileName(this, title, qs(settings_.folders[FolderKickorares] + crests::kArchiveName),
                                        QString::fromUtf8(crests::kArchiveFilter), QStringLiteral("res"));
    if (file.isEmpty()) return;
    try {
        Busy busy(*this);
        crests::exportCrests(settings_.folders[FolderWappen], fs::path(file.toStdString()), *this);
    } catch (const std::exception& e) {
        status("");
        percent(0);
        ui::MessageBox::critical(this, title,
                                 QString::fromUtf8(e.what()) + QStringLiteral("\nDie Datei %1 wurde nicht verändert.").arg(file));
        return;
    }
    percent(0);
}

// ---------------------------------------------------------------- jerseys

// A jersey with the model's default colours of the active set; a model without colours keeps
// the colours shown.
void FrmMain::showtrikot(int k, long long model) {
    std::optional<jerseys::Colours> colours;
    try {
        if (dao_.isOpen()) colours = jerseys::modelColours(dao_.db(), settings_.satz, static_cast<int>(model));
    } catch (const std::exception&) {
    }
    previews::drawJersey(pictrikot_[k], k, static_cast<int>(model), colours ? &*colours : nullptr, settings_);
}

// Show jersey: the three jerseys of an entry, models and colours as stored.
void FrmMain::showJerseys(long long number, int kind) {
    std::optional<std::array<jerseys::Jersey, 3>> stored;
    try {
        stored = jerseys::loadJerseys(dao_.db(), static_cast<int>(number), kind == clubeditor::KindNational ? 0 : 1);
    } catch (const std::exception&) {
    }
    const jerseys::Colours black{};
    for (int k = 0; k < 3; ++k) {
        if (stored) previews::drawJersey(pictrikot_[k], k, (*stored)[k].model, &(*stored)[k].colours, settings_);
        else previews::drawJersey(pictrikot_[k], k, 0, &black, settings_);
    }
}

void FrmMain::clearJerseys() {
    for (int k = 0; k < 3; ++k) previews::clearJersey(pictrikot_[k], k);
}

void FrmMain::pictrikot_DblClick(int k) {
    if (!pictrikot_[k]->isEnabled() || busy_ > 0) return;
    trikotK_ = k;
    if (!frmtrikot_) {
        frmtrikot_ = new FrmTrikot(this);
        frmtrikot_->loadModels(settings_.jerseyFolder(), this);
    }
    const int model = pictrikot_[k]->property("tag").toInt();
    const QImage picture = gfx::loadPicture(jerseys::modelPicture(settings_, model));
    if (!frmtrikot_->choose(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture), model)) return;
    showtrikot(trikotK_, frmtrikot_->model());
}

// Another jersey set: the chooser holds the old set's pictures and is loaded anew.
void FrmMain::trikotChooserUnload() {
    if (!frmtrikot_) return;
    frmtrikot_->hide();
    frmtrikot_->deleteLater();
    frmtrikot_ = nullptr;
}

void FrmMain::trikotfarbe(jet::Database& db, long long number, const char* table) {
    jerseys::settrikotfarbe(db, static_cast<int>(number), table, settings_.satz);
}

void FrmMain::trikotsatzKopieren() {
    jerseys::CopyResult result = jerseys::CopyResult::Copied;
    try {
        Busy busy(*this);
        result = jerseys::copyJerseySet(settings_, *this);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(jerseys::kNoGameTitle), e);
        return;
    }
    if (result == jerseys::CopyResult::NoGame)
        ui::MessageBox::information(this, QString::fromUtf8(jerseys::kNoGameTitle),
                                    QString::fromUtf8(jerseys::kNoGameMessage));
}

// ---------------------------------------------------------------- faces

void FrmMain::gesichterPruefen() {
    faces::CheckResult result;
    try {
        Busy busy(*this);
        const faces::FaceLibrary lib(settings_.folders[FolderGesicht]);
        result = faces::checkFaces(dao_.db(), lib, *this);
    } catch (const std::exception& e) {
        status("");
        percent(0);
        showError(QString::fromUtf8(faces::kCheckTitle), e);
        return;
    }
    percent(0);
    // The player list is the editor's working copy: it must not keep the old codes.
    if (result.corrected > 0) {
        const dbtree::KeyInfo info = dbtree::classifyKey(tvdbTag_.toStdString());
        if (info.kind == dbtree::KeyKind::Club || info.kind == dbtree::KeyKind::Country ||
            info.kind == dbtree::KeyKind::TransferMarket)
            playerArea_->showspielerliste(info.kind == dbtree::KeyKind::TransferMarket ? 0 : info.number);
    }
    ui::MessageBox::information(this, QString::fromUtf8(faces::kCheckTitle), qs(result.message));
}
