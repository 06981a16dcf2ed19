#include <QApplication>
#include <QStandardPaths>

#include "common/paths.h"
#include "common/ui/german.h"
#include "common/ui/messagebox.h"
#include "foundation/registry.h"
#include "foundation/startup.h"
#include "mainwindow/frmmain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::speakGerman();
    // Fixes the user's data folder (~/.local/share/kickoraeditor) whatever the executable is called.
    QCoreApplication::setApplicationName(QStringLiteral("kickoraeditor"));
    const ProgramFolderChoice folder = chooseProgramFolder(
        paths::programDir(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    FrmMain window(folder.dir, Registry::forDefaultPrefix());
    window.show();
    if (!folder.error.empty())
        ui::MessageBox::critical(&window, window.windowTitle(), QString::fromStdString(folder.error));
    return app.exec();
}
