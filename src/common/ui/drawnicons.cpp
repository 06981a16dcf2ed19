#include "drawnicons.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

namespace ui::drawn {

QPixmap canvas() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

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

QIcon themedOr(const char* name, const QPixmap& drawn) {
    const QIcon icon = themed(name);
    return icon.isNull() ? QIcon(drawn) : icon;
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

QPixmap flag(const QColor& first, const QColor& second, const QColor& third, bool vertical) {
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 70, 50), 1.6));
    g.drawLine(QPointF(4.5, 2), QPointF(4.5, 22));
    const QRectF cloth(5.5, 3.5, 15, 10);
    const QColor bands[3] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        if (vertical)
            g.fillRect(QRectF(cloth.left() + i * cloth.width() / 3, cloth.top(), cloth.width() / 3, cloth.height()),
                       bands[i]);
        else
            g.fillRect(QRectF(cloth.left(), cloth.top() + i * cloth.height() / 3, cloth.width(), cloth.height() / 3),
                       bands[i]);
    }
    g.setPen(QPen(QColor(60, 60, 60), 0.8));
    g.setBrush(Qt::NoBrush);
    g.drawRect(cloth);
    return pm;
}

QPixmap shirt(const QColor& body, const QColor& stripe) {
    QPainterPath path;
    path.moveTo(8, 3);
    path.lineTo(2, 7);
    path.lineTo(4, 11);
    path.lineTo(6, 10);
    path.lineTo(6, 21);
    path.lineTo(18, 21);
    path.lineTo(18, 10);
    path.lineTo(20, 11);
    path.lineTo(22, 7);
    path.lineTo(16, 3);
    path.quadTo(12, 7, 8, 3);
    path.closeSubpath();
    QPixmap pm = canvas();
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.fillPath(path, body);
    g.setClipPath(path);
    g.fillRect(QRectF(10.5, 0, 3, kSize), stripe);
    g.setClipping(false);
    g.setPen(QPen(QColor(40, 40, 40), 1.2));
    g.drawPath(path);
    return pm;
}

}  // namespace ui::drawn
