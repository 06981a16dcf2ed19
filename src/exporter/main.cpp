#include <QApplication>

#include "common/paths.h"
#include "common/ui/german.h"
#include "exporter/frmhaupt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::speakGerman();
    FrmHaupt window(paths::programDir());
    if (!window.loadDB()) return 0;
    window.show();
    return app.exec();
}
