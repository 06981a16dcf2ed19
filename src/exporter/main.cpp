#include <QApplication>
#include <QStandardPaths>
#include <filesystem>

#include "common/paths.h"
#include "common/ui/german.h"
#include "exporter/frmhaupt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::speakGerman();
    // An installed exporter looks for zentor4.mdb in ~/.local/share/zexporter, never beside itself.
    QCoreApplication::setApplicationName(QStringLiteral("zexporter"));
    const std::filesystem::path dir = paths::programDir(
        paths::programDir(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);  // so its file dialogs open there
    FrmHaupt window(dir);
    if (!window.loadDB()) return 0;
    window.show();
    return app.exec();
}
