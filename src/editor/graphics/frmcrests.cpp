#include "editor/graphics/frmcrests.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/progress.h"
#include "editor/graphics/crests.h"
#include "editor/graphics/frmpicturecell.h"
#include "editor/graphics/pictures.h"

namespace {

constexpr int kPreviewSize = 96;

}  // namespace

FrmWappen::FrmWappen(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmwappen"));
    setWindowTitle(QStringLiteral("Wappen auswählen"));
    setModal(true);

    grid_ = makeChooserGrid(this, "flxgrdwappen", crests::kRows, crests::kColumns, crests::kCellSize);
    grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid_->setShowGrid(true);
    grid_->setFixedWidth(crests::kGridWidth + 2 * grid_->frameWidth());
    grid_->setMinimumHeight(5 * crests::kCellSize);
    for (int r = 0; r < crests::kRows; ++r)
        for (int c = 0; c < crests::kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            const int n = crests::numberAt(r, c);
            if (crests::isCrestNumber(n)) item->setText(QString::number(n));
            else item->setFlags(Qt::NoItemFlags);  // the cell of number 1000 stays empty
            grid_->setItem(r, c, item);
        }
    connect(grid_, &QTableWidget::cellClicked, this, &FrmWappen::cellClicked);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (crests::isCrestNumber(crests::numberAt(row, column))) accept();
    });

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("imgvorschau"));
    preview_->setFixedSize(kPreviewSize + 8, kPreviewSize + 8);
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setFrameShadow(QFrame::Sunken);
    preview_->setAlignment(Qt::AlignCenter);
    lblnummer_ = new QLabel(this);
    lblnummer_->setObjectName(QStringLiteral("lblnummer"));
    lblnummer_->setAlignment(Qt::AlignCenter);

    auto* btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setDefault(true);
    auto* btnabbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnabbrechen->setObjectName(QStringLiteral("btnabbrechen"));
    btnabbrechen->setAutoDefault(false);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnabbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Auswahl:"), this));
    side->addWidget(preview_);
    side->addWidget(lblnummer_);
    side->addStretch(1);
    side->addWidget(btnok);
    side->addWidget(btnabbrechen);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(side);
    resize(sizeHint().width(), 8 * crests::kCellSize + 40);
}

void FrmWappen::loadGrid(const std::string& crestFolder, ProgressSink* progress) {
    WaitCursor wait;
    folder_ = crestFolder;
    grid_->setUpdatesEnabled(false);
    crests::loadCrestPreviews(
        crestFolder,
        [this](int n, const QImage& img) {
            QTableWidgetItem* item = grid_->item(n / crests::kColumns, n % crests::kColumns);
            item->setData(Qt::DecorationRole, img.isNull() ? QPixmap() : QPixmap::fromImage(img));
        },
        progress);
    grid_->setUpdatesEnabled(true);
    if (progress) progress->percent(0);
}

bool FrmWappen::choose(const std::string& crestFolder, const QPixmap& current, const QString& number,
                       ProgressSink* progress) {
    loadGrid(crestFolder, progress);
    picture_ = current;
    number_ = number.trimmed();
    grid_->clearSelection();
    bool ok = false;
    const int n = number_.toInt(&ok);
    if (ok && crests::isCrestNumber(n)) {
        grid_->setCurrentCell(n / crests::kColumns, n % crests::kColumns);
        grid_->scrollToItem(grid_->currentItem(), QAbstractItemView::PositionAtCenter);
    } else {
        grid_->scrollToTop();
    }
    showPreview();
    return exec() == QDialog::Accepted;
}

void FrmWappen::cellClicked(int row, int column) {
    const int n = crests::numberAt(row, column);
    if (!crests::isCrestNumber(n)) return;
    number_ = QString::number(n);
    const QImage img = gfx::loadPicture(crests::crestFile(folder_, n));
    picture_ = img.isNull() ? QPixmap() : QPixmap::fromImage(img);
    showPreview();
}

void FrmWappen::showPreview() {
    lblnummer_->setText(number_.isEmpty() ? QString() : QStringLiteral("Nummer %1").arg(number_));
    if (picture_.isNull()) {
        preview_->clear();
        return;
    }
    QPixmap pm = picture_;
    if (pm.width() > kPreviewSize || pm.height() > kPreviewSize)
        pm = pm.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    preview_->setPixmap(pm);
}
