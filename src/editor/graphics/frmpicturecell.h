#pragma once
// Grid cells of the choosers: the picture in the middle of the cell; a number, when the cell
// has one, small in its lower right corner; captions (cells without a picture) as text.
#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <QPainter>
#include <QStyledItemDelegate>

class PictureCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QPixmap pm = index.data(Qt::DecorationRole).value<QPixmap>();
        if (pm.isNull() && index.data(Qt::UserRole).toBool()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        if (!pm.isNull()) {
            const QSize s = pm.deviceIndependentSize().toSize();
            painter->drawPixmap(QRect(option.rect.center() - QPoint(s.width() / 2, s.height() / 2) + QPoint(1, 1), s), pm);
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty()) return;
        painter->save();
        QFont font = painter->font();
        font.setPointSizeF(font.pointSizeF() * 0.8);
        painter->setFont(font);
        const QRect box = painter->fontMetrics().boundingRect(text).adjusted(-2, 0, 2, 0);
        const QRect where(option.rect.bottomRight() - QPoint(box.width(), box.height()) - QPoint(1, 1), box.size());
        painter->fillRect(where, QColor(255, 255, 255, 210));
        painter->setPen(QColor(40, 40, 40));
        painter->drawText(where, Qt::AlignCenter, text);
        painter->restore();
    }
};

// Data role that marks a caption cell (drawn as plain text).
inline constexpr int kCaptionRole = Qt::UserRole;

// The grid of a chooser: square cells of a fixed size, no headers, one cell chosen at a time,
// pictures drawn by PictureCellDelegate.
inline QTableWidget* makeChooserGrid(QWidget* parent, const char* objectName, int rows, int columns, int cellSize) {
    auto* grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(QString::fromLatin1(objectName));
    for (QHeaderView* h : {grid->horizontalHeader(), grid->verticalHeader()}) {
        h->hide();
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(1);
        h->setDefaultSectionSize(cellSize);
    }
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setItemDelegate(new PictureCellDelegate(grid));
    return grid;
}

// The wait pointer while a chooser loads its pictures.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
