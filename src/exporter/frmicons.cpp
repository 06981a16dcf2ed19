#include "exporter/frmicons.h"

#include "common/ui/drawnicons.h"

#include <QDir>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zicons {

namespace {

using namespace ui::drawn;

// A league: a small table with a cup-coloured head row.
QPixmap table() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(QColor(252, 252, 252));
    g.drawRect(QRectF(3.5, 3.5, 17, 17));
    g.fillRect(QRectF(4, 4, 16, 4), QColor(230, 180, 40));
    g.setPen(QPen(QColor(170, 170, 170), 1));
    for (int y = 11; y <= 17; y += 3) g.drawLine(QPointF(5, y + 0.5), QPointF(19, y + 0.5));
    g.drawLine(QPointF(8.5, 9), QPointF(8.5, 20));
    return pm;
}

QPixmap folder() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setPen(QPen(QColor(150, 110, 30), 1));
    g.setBrush(QColor(240, 200, 90));
    g.drawRect(QRectF(2.5, 6.5, 19, 14));
    g.drawRect(QRectF(2.5, 4.5, 8, 3));
    return pm;
}

QPixmap database() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(60, 70, 90), 1));
    g.setBrush(QColor(150, 170, 200));
    g.drawRect(QRectF(4.5, 6, 15, 13));
    g.drawEllipse(QRectF(4.5, 16, 15, 5));
    g.setPen(Qt::NoPen);
    g.drawRect(QRectF(5, 6, 14, 12.5));
    g.setPen(QPen(QColor(60, 70, 90), 1));
    g.setBrush(QColor(200, 215, 235));
    g.drawEllipse(QRectF(4.5, 3.5, 15, 5));
    return pm;
}

QPixmap ball() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(30, 30, 30), 1.2));
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    QPolygonF pent;
    for (int i = 0; i < 5; ++i) {
        const double a = (-90 + i * 72) * 3.14159265358979 / 180.0;
        pent << QPointF(12 + 4.5 * std::cos(a), 12.5 + 4.5 * std::sin(a));
    }
    g.setBrush(QColor(30, 30, 30));
    g.drawPolygon(pent);
    for (const QPointF& c : pent) g.drawLine(c, QPointF(12 + (c.x() - 12) * 2.1, 12.5 + (c.y() - 12.5) * 2.1));
    return pm;
}

}  // namespace

QIcon node(zexp::NodeKind kind, bool amateur) {
    switch (kind) {
    case zexp::NodeKind::Root: return QIcon(database());
    case zexp::NodeKind::Continent: return QIcon(globe());
    case zexp::NodeKind::Country: return QIcon(flag(QColor(30, 90, 170), QColor(245, 245, 245), QColor(200, 40, 40), true));
    case zexp::NodeKind::NoLeague: return themedOr("folder", folder());
    case zexp::NodeKind::League: return themedOr("x-office-spreadsheet", table());
    case zexp::NodeKind::Team:
        return QIcon(amateur ? shirt(QColor(245, 245, 245), QColor(40, 120, 60)) : shirt(QColor(200, 45, 45), Qt::white));
    }
    return {};
}

QIcon program() { return QIcon(ball()); }

}  // namespace zicons
