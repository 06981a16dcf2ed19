#pragma once
// Small pictures both programs draw themselves where the icon theme has nothing fitting.
#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace ui::drawn {

constexpr int kSize = 24;

// An empty transparent picture of the icon size.
QPixmap canvas();
// The user's icon theme first, Adwaita's plain pictures when the user has none.
QIcon themed(const char* name);
// The theme's picture when there is one, else the drawn one.
QIcon themedOr(const char* name, const QPixmap& drawn);

QPixmap globe();
// A flag on a pole with three bands, side by side (vertical) or one above the other.
QPixmap flag(const QColor& first, const QColor& second, const QColor& third, bool vertical);
QPixmap shirt(const QColor& body, const QColor& stripe);

}  // namespace ui::drawn
