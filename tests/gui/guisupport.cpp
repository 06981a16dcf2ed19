#include "guisupport.h"

#include <QDir>
#include <QPixmap>

#include "demo/demoworld.h"

namespace guisupport {

ProgramFolder::ProgramFolder(bool demo) {
    std::filesystem::create_directories(prefix());
    if (demo) demo::writeProgramFolder(path(), demo::Options{1, 7});
}

std::filesystem::path ProgramFolder::path() const { return std::filesystem::path(dir_.path().toStdString()); }

std::filesystem::path ProgramFolder::prefix() const { return path() / "wineprefix"; }

void screenshot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(KICKORA_SCREENSHOTS));
    widget->window()->grab().save(QStringLiteral(KICKORA_SCREENSHOTS) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace guisupport
