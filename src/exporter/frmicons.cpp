#include "exporter/frmicons.h"

#include <QDir>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zicons {

namespace {

constexpr int kSize = 24;

QPixmap canvas() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

// The user's theme first, Adwaita's plain pictures when the user has none.
QIcon themed(const char* name) {
    static const bool fallbackSet = [] {
        const QString fb = QIcon::fallbackThemeName();
        if (fb.isEmpty() || fb == QLatin1String("hicolor")) {
            for (const QString& dir : QIcon::themeSearchPaths())
                if (QDir(dir + QStringLiteral("/Adwaita")).exists()) {
                    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
                    break;
                }
        }
        return true;
    }();
    (void)fallbackSet;
    return QIcon::fromTheme(QString::fromLatin1(name));
}

QPixmap globe() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(70, 140, 210));
    g.setPen(QPen(QColor(30, 70, 120), 1.2));
    g.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(90, 170, 80));
    g.drawEllipse(QRectF(6, 6, 7, 6));
    g.drawEllipse(QRectF(12, 12, 6, 7));
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(255, 255, 255, 120), 0.8));
    g.drawEllipse(QRectF(8, 2.5, 8, 19));
    g.drawLine(QPointF(2.5, 12), QPointF(21.5, 12));
    return pm;
}

QPixmap flag() {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 70, 50), 1.6));
    g.drawLine(QPointF(4.5, 2), QPointF(4.5, 22));
    const QRectF cloth(5.5, 3.5, 15, 10);
    const QColor bands[3] = {QColor(30, 90, 170), QColor(245, 245, 245), QColor(200, 40, 40)};
    for (int i = 0; i < 3; ++i)
        g.fillRect(QRectF(cloth.left() + i * cloth.width() / 3, cloth.top(), cloth.width() / 3, cloth.height()), bands[i]);
    g.setPen(QPen(QColor(60, 60, 60), 0.8));
    g.setBrush(Qt::NoBrush);
    g.drawRect(cloth);
    return pm;
}

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

QPixmap shirt(const QColor& body, const QColor& stripe) {
    QPainterPath p;
    p.moveTo(8, 3);
    p.lineTo(2, 7);
    p.lineTo(4, 11);
    p.lineTo(6, 10);
    p.lineTo(6, 21);
    p.lineTo(18, 21);
    p.lineTo(18, 10);
    p.lineTo(20, 11);
    p.lineTo(22, 7);
    p.lineTo(16, 3);
    p.quadTo(12, 7, 8, 3);
    p.closeSubpath();
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.fillPath(p, body);
    g.setClipPath(p);
    g.fillRect(QRectF(10.5, 0, 3, kSize), stripe);
    g.setClipping(false);
    g.setPen(QPen(QColor(40, 40, 40), 1.2));
    g.drawPath(p);
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

QIcon themedOr(const char* name, const QPixmap& drawn) {
    const QIcon icon = themed(name);
    return icon.isNull() ? QIcon(drawn) : icon;
}

}  // namespace

QIcon node(zexp::NodeKind kind, bool amateur) {
    switch (kind) {
    case zexp::NodeKind::Root: return QIcon(database());
    case zexp::NodeKind::Continent: return QIcon(globe());
    case zexp::NodeKind::Country: return QIcon(flag());
    case zexp::NodeKind::NoLeague: return themedOr("folder", folder());
    case zexp::NodeKind::League: return themedOr("x-office-spreadsheet", table());
    case zexp::NodeKind::Team:
        return QIcon(amateur ? shirt(QColor(245, 245, 245), QColor(40, 120, 60)) : shirt(QColor(200, 45, 45), Qt::white));
    }
    return {};
}

QIcon program() { return QIcon(ball()); }

}  // namespace zicons
