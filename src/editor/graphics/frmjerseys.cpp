#include "editor/graphics/frmjerseys.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/progress.h"
#include "editor/graphics/frmpicturecell.h"
#include "editor/graphics/jerseys.h"
#include "editor/graphics/pictures.h"

namespace {

constexpr int kLastRow = jerseys::kRows - 1;
constexpr int kLastColumn = jerseys::kColumns - 1;
constexpr int kPictureSize = jerseys::kCellSize - 4;

QPixmap cellPicture(const QPixmap& pm) {
    if (pm.isNull() || (pm.width() <= kPictureSize && pm.height() <= kPictureSize)) return pm;
    return pm.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

FrmTrikot::FrmTrikot(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmtrikot"));
    setWindowTitle(QStringLiteral("Trikot auswählen"));
    setModal(true);

    grid_ = makeChooserGrid(this, "flxgrdtrikot", jerseys::kRows, jerseys::kColumns, jerseys::kCellSize);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setFixedSize(jerseys::kGridWidth + 2 * grid_->frameWidth(),
                        jerseys::kRows * jerseys::kCellSize + 2 * grid_->frameWidth() + 2);
    for (int r = 0; r < jerseys::kRows; ++r)
        for (int c = 0; c < jerseys::kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (!jerseys::isChoosable(jerseys::modelAt(r, c))) item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            grid_->setItem(r, c, item);
        }
    grid_->setSpan(kLastRow, jerseys::kCaptionColumn, 1, jerseys::kCaptionSpan);
    QTableWidgetItem* caption = grid_->item(kLastRow, jerseys::kCaptionColumn);
    caption->setText(QString::fromUtf8(jerseys::kSelectedCaption));
    caption->setData(kCaptionRole, true);
    caption->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    QTableWidgetItem* selection = grid_->item(kLastRow, kLastColumn);
    selection->setBackground(QColor(255, 255, 192));
    grid_->setProperty("tag", 0);
    connect(grid_, &QTableWidget::cellClicked, this, &FrmTrikot::select);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (jerseys::isChoosable(jerseys::modelAt(row, column))) accept();
    });

    auto* btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setDefault(true);
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnok);
    buttons->addWidget(btnabbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmTrikot::loadModels(const std::string& setFolder, ProgressSink* progress) {
    WaitCursor wait;
    if (progress) progress->status("Lade Vorschau...");
    for (int m = 0; m < jerseys::kModels; ++m) {
        const QImage img = gfx::loadPicture(jerseys::modelPicture(setFolder, m));
        pictures_[m] = img.isNull() ? QPixmap() : QPixmap::fromImage(img);
        QTableWidgetItem* item = grid_->item(m / jerseys::kColumns, m % jerseys::kColumns);
        item->setData(Qt::DecorationRole, cellPicture(pictures_[m]));
        item->setToolTip(QStringLiteral("Trikot %1").arg(m));
        if (progress) progress->percent(m * 100 / (jerseys::kModels - 1));
    }
    if (progress) {
        progress->status("");
        progress->percent(0);
    }
}

bool FrmTrikot::choose(const QPixmap& current, int model) {
    showSelection(current, model);
    grid_->clearSelection();
    if (jerseys::isChoosable(model)) grid_->setCurrentCell(model / jerseys::kColumns, model % jerseys::kColumns);
    return exec() == QDialog::Accepted;
}

int FrmTrikot::model() const { return grid_->property("tag").toInt(); }

void FrmTrikot::select(int row, int column) {
    const int m = jerseys::modelAt(row, column);
    if (!jerseys::isChoosable(m)) return;
    showSelection(pictures_[m], m);
}

void FrmTrikot::showSelection(const QPixmap& picture, int model) {
    QTableWidgetItem* selection = grid_->item(kLastRow, kLastColumn);
    selection->setData(Qt::DecorationRole, cellPicture(picture));
    selection->setToolTip(QStringLiteral("Trikot %1").arg(model));
    grid_->setProperty("tag", model);
}
