#include "mainwindow/frmicons.h"

#include "common/ui/drawnicons.h"

#include <QDir>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace icons {

namespace {

using namespace ui::drawn;

QPainterPath shieldPath(const QRectF& r) {
    QPainterPath p;
    p.moveTo(r.left(), r.top());
    p.lineTo(r.right(), r.top());
    p.lineTo(r.right(), r.top() + r.height() * 0.45);
    p.quadTo(r.right(), r.bottom() - r.height() * 0.15, r.center().x(), r.bottom());
    p.quadTo(r.left(), r.bottom() - r.height() * 0.15, r.left(), r.top() + r.height() * 0.45);
    p.closeSubpath();
    return p;
}

QPixmap shield(const QColor& a, const QColor& b) {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = shieldPath(QRectF(4, 2.5, 16, 19));
    g.fillPath(path, a);
    g.setClipPath(path);
    g.fillRect(QRectF(12, 0, 12, 24), b);
    g.setClipping(false);
    g.setPen(QPen(QColor(50, 50, 50), 1.2));
    g.drawPath(path);
    return pm;
}

// A sheet of paper with a blue arrow in or out.
QPixmap transfer(bool in, bool club) {
    QPixmap pm = club ? shield(QColor(200, 60, 60), QColor(245, 245, 245)) : canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    if (!club) {
        g.setPen(QPen(QColor(110, 110, 110), 1));
        g.setBrush(QColor(250, 250, 250));
        g.drawRect(QRectF(5.5, 2.5, 13, 19));
        g.setPen(QPen(QColor(160, 160, 160), 1));
        for (int y = 7; y <= 17; y += 3) g.drawLine(QPointF(8, y), QPointF(16, y));
    }
    QPainterPath arrow;
    const qreal y = club ? 18 : 16;
    if (in) {
        arrow.moveTo(1, y - 2);
        arrow.lineTo(8, y - 2);
        arrow.lineTo(8, y - 5);
        arrow.lineTo(13, y);
        arrow.lineTo(8, y + 5);
        arrow.lineTo(8, y + 2);
        arrow.lineTo(1, y + 2);
    } else {
        arrow.moveTo(11, y - 2);
        arrow.lineTo(18, y - 2);
        arrow.lineTo(18, y - 5);
        arrow.lineTo(23, y);
        arrow.lineTo(18, y + 5);
        arrow.lineTo(18, y + 2);
        arrow.lineTo(11, y + 2);
    }
    arrow.closeSubpath();
    g.setPen(QPen(QColor(20, 60, 130), 1));
    g.setBrush(in ? QColor(60, 150, 60) : QColor(50, 110, 200));
    g.drawPath(arrow);
    return pm;
}

QPixmap drawnDocument(int kind) {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    if (kind == 1) {  // open: a folder
        g.setPen(QPen(QColor(150, 110, 30), 1));
        g.setBrush(QColor(240, 200, 90));
        g.drawRect(QRectF(2.5, 6.5, 19, 14));
        g.drawRect(QRectF(2.5, 4.5, 8, 3));
        return pm;
    }
    if (kind == 2) {  // save: a disk
        g.setPen(QPen(QColor(40, 60, 110), 1));
        g.setBrush(QColor(70, 110, 190));
        g.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        g.setBrush(QColor(240, 240, 240));
        g.drawRect(QRectF(7.5, 3.5, 9, 6));
        g.drawRect(QRectF(6.5, 13.5, 11, 7));
        return pm;
    }
    g.setPen(QPen(QColor(110, 110, 110), 1));  // new: a blank sheet
    g.setBrush(QColor(252, 252, 252));
    g.drawRect(QRectF(5.5, 2.5, 13, 19));
    g.setPen(QPen(QColor(60, 150, 60), 2.2));
    g.drawLine(QPointF(15, 13), QPointF(15, 21));
    g.drawLine(QPointF(11, 17), QPointF(19, 17));
    return pm;
}

}  // namespace

QIcon toolbar(const QString& key) {
    if (key == QLatin1String("new") || key == QLatin1String("open") || key == QLatin1String("save")) {
        const int kind = key == QLatin1String("new") ? 0 : key == QLatin1String("open") ? 1 : 2;
        const char* names[] = {"document-new", "document-open", "document-save"};
        QIcon icon = themed(names[kind]);
        return icon.isNull() ? QIcon(drawnDocument(kind)) : icon;
    }
    if (key == QLatin1String("impconfig")) return QIcon(transfer(true, false));
    if (key == QLatin1String("expconfig")) return QIcon(transfer(false, false));
    if (key == QLatin1String("impzentor4")) return QIcon(transfer(true, true));
    if (key == QLatin1String("trikotoriginal")) return QIcon(shirt(QColor(30, 90, 190), QColor(245, 245, 245)));
    if (key == QLatin1String("trikotkickoranet")) return QIcon(shirt(QColor(200, 40, 40), QColor(250, 210, 40)));
    return {};
}

QIcon tree(int image) {
    // Drawn once: the tree asks for them thousands of times.
    static const QIcon continent(globe());
    static const QIcon country(flag(QColor(30, 30, 30), QColor(210, 40, 40), QColor(245, 200, 40), false));
    static const QIcon club(shield(QColor(40, 120, 60), QColor(245, 245, 245)));
    switch (image) {
        case 4: return continent;
        case 5: return country;
        case 6: return club;
    }
    return {};
}

QIcon program() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(30, 30, 30), 2.5));
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(4, 4, 56, 56));
    // The pentagon in the middle and the seams to the rim.
    QPolygonF pentagon;
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 2 * M_PI / 5;
        pentagon << QPointF(32 + 11 * std::cos(a), 32 + 11 * std::sin(a));
    }
    g.setBrush(QColor(30, 30, 30));
    g.drawPolygon(pentagon);
    for (const QPointF& p : pentagon) {
        const QPointF dir = (p - QPointF(32, 32)) / 11.0;
        g.drawLine(p, QPointF(32, 32) + dir * 27);
    }
    return QIcon(pm);
}

}  // namespace icons
