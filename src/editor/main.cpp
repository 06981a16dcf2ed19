#include <QApplication>

#include "common/paths.h"
#include "common/ui/german.h"
#include "foundation/registry.h"
#include "mainwindow/frmmain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::speakGerman();
    FrmMain window(paths::programDir(), Registry::forDefaultPrefix());
    window.show();
    return app.exec();
}
