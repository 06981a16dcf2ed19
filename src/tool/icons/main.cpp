// Writes the programs' drawn window icons as PNG files for the icon theme of an installation:
// kickora-icons DIR  ->  DIR/hicolor/<n>x<n>/apps/{kickoraeditor,zexporter}.png
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <cstdio>

#include "exporter/frmicons.h"
#include "mainwindow/frmicons.h"

namespace {

// The drawn size and the smaller theme sizes; never scaled up, that would only blur it.
bool writeSizes(const QIcon& icon, const QString& name, const QString& dir) {
    const QList<QSize> available = icon.availableSizes();
    if (available.isEmpty()) return false;
    const QImage drawn = icon.pixmap(available.first()).toImage();
    for (int size : {256, 128, 64, 48, 32, 24, 16}) {
        if (size > drawn.width()) continue;
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        const QImage image = size == drawn.width()
                                 ? drawn
                                 : drawn.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: kickora-icons ORDNER\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!writeSizes(icons::program(), QStringLiteral("kickoraeditor"), dir) ||
        !writeSizes(zicons::program(), QStringLiteral("zexporter"), dir)) {
        std::fprintf(stderr, "Die Symbole konnten nicht geschrieben werden.\n");
        return 1;
    }
    return 0;
}
