#include "editor/graphics/frmpreviews.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPalette>

#include "editor/graphics/crests.h"
#include "editor/graphics/pictures.h"
#include "foundation/settings.h"

namespace previews {

namespace {

// The previews are drawn at twice the size the kit shapes are laid out for.
constexpr int kScale = 2;
const QColor kOutline(40, 40, 40);

QFrame* shape(QLabel* preview, const jerseys::Shape& s) {
    return preview->findChild<QFrame*>(QStringLiteral("%1_%2").arg(QString::fromLatin1(s.array)).arg(s.index),
                                       Qt::FindDirectChildrenOnly);
}

void fillShape(QFrame* f, const jerseys::Rgb& c) {
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, QColor(c.r, c.g, c.b));
    pal.setColor(QPalette::WindowText, kOutline);
    f->setPalette(pal);
}

}  // namespace

void setupJersey(QLabel* preview, int k) {
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setProperty("tag", 0);
    preview->setFixedSize(jerseys::kPreviewWidth * kScale + 2 * preview->frameWidth(),
                          jerseys::kPreviewHeight * kScale + 2 * preview->frameWidth());
    preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPoint origin = preview->contentsRect().topLeft();
    for (const jerseys::Shape& s : jerseys::previewShapes(k)) {
        auto* f = new QFrame(preview);
        f->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(s.array)).arg(s.index));
        f->setGeometry(QRect(origin + QPoint(s.x, s.y) * kScale, QSize(s.width, s.height) * kScale));
        f->setFrameStyle(QFrame::Box | QFrame::Plain);
        f->setLineWidth(1);
        f->setAutoFillBackground(true);
        f->setAttribute(Qt::WA_TransparentForMouseEvents);
        fillShape(f, jerseys::Rgb{});
        f->hide();
    }
}

void drawJersey(QLabel* preview, int k, int model, const jerseys::Colours* colours, const Settings& settings) {
    preview->setProperty("tag", model);
    QPixmap canvas(preview->contentsRect().size());
    canvas.fill(Qt::transparent);
    const QImage picture = gfx::loadPicture(jerseys::modelPicture(settings, model));
    if (!picture.isNull()) {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const int size = jerseys::kPictureSize * kScale;
        p.drawImage(QRect(0, (canvas.height() - size) / 2, size, size), picture);
    }
    preview->setPixmap(canvas);
    preview->setToolTip(QStringLiteral("Trikot %1 (Doppelklick: anderes Trikot wählen)").arg(model));
    for (const jerseys::Shape& s : jerseys::previewShapes(k)) {
        QFrame* f = shape(preview, s);
        if (!f) continue;
        if (colours) fillShape(f, (*colours)[s.colour]);
        f->show();
    }
}

void fillJersey(QLabel* preview, int k, const jerseys::Colours& colours) {
    for (const jerseys::Shape& s : jerseys::previewShapes(k))
        if (QFrame* f = shape(preview, s)) {
            fillShape(f, colours[s.colour]);
            f->show();
        }
}

void clearJersey(QLabel* preview, int k) {
    preview->setProperty("tag", 0);
    preview->clear();
    preview->setToolTip(QString());
    for (const jerseys::Shape& s : jerseys::previewShapes(k))
        if (QFrame* f = shape(preview, s)) f->hide();
}

void setCrestPicture(QLabel* picture, const QPixmap& crest) {
    picture->clear();
    if (crest.isNull()) return;
    const QSize room = picture->contentsRect().size() - QSize(4, 4);
    if (crest.width() > room.width() || crest.height() > room.height())
        picture->setPixmap(crest.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        picture->setPixmap(crest);
}

void showCrest(QLabel* picture, const std::string& crestFolder, const QString& grafnr) {
    picture->clear();
    bool ok = false;
    const int n = grafnr.trimmed().toInt(&ok);
    if (!ok || n < 0) return;
    const QImage image = gfx::loadPicture(crests::loadwappen(crestFolder, n));
    if (image.isNull()) {
        picture->setText(QStringLiteral("Wappen\n%1").arg(n));
        return;
    }
    setCrestPicture(picture, QPixmap::fromImage(image));
}

}  // namespace previews
