#pragma once
// Qt's own dialogs and buttons speak German like the rest of the programs: file dialogs,
// their overwrite question, the standard buttons of message boxes.
#include <QString>

namespace ui {

// Makes German (Germany) the default locale and installs Qt's German translation
// (qtbase_de.qm) from folder, by default Qt's translations folder. Call it once the
// application object exists. False when the translation is missing: the program then runs
// on with Qt's built-in English texts.
bool speakGerman(const QString& folder = QString());

}  // namespace ui
