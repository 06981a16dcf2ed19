#pragma once
// Pictures of the main window: toolbar buttons, tree nodes, the program icon. Taken from the
// system icon theme where it has a fitting one, drawn otherwise.
#include <QIcon>

namespace icons {

// Toolbar button by key: "new", "open", "save", "impconfig", "expconfig", "impzentor4",
// "trikotoriginal", "trikotkickoranet".
QIcon toolbar(const QString& key);
// Tree image list entries 4 (continent), 5 (country) and 6 (club).
QIcon tree(int image);
// The program icon (a football).
QIcon program();

}  // namespace icons
