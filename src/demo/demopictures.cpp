// The demo world's pictures. Everything is drawn with QPainter on small images: faces from a
// head and five layers, jerseys as shirt and shorts with a pattern per model, crests as
// shields. Crests are many, so they are composed per pixel from a few drawn masks and
// recoloured instead of being painted one by one.
#include "demopictures.h"

#include "common/jetdb.h"
#include "common/random.h"
#include "demodata.h"
#include "demoicons.h"
#include "demoworld.h"
#include "editor/graphics/resarchive.h"
#include "editor/graphics/reszip.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <unordered_map>

namespace fs = std::filesystem;

namespace demo {

namespace {

struct Colour {
    int r, g, b;
    QColor q() const { return QColor(r, g, b); }
    Colour scaled(double f) const
    {
        auto c = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
        return {c(r), c(g), c(b)};
    }
};

Colour parseColour(const std::string& text)
{
    int r = 0, g = 0, b = 0;
    std::sscanf(text.c_str(), " %d , %d , %d", &r, &g, &b);
    return {r, g, b};
}

// The drawn picture with its own colours as a palette; entry 0 stands for transparency.
// The drawings are not antialiased, so they never hold more than a few dozen colours.
IndexedImage toIndexed(const QImage& picture)
{
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    IndexedImage out;
    out.width = img.width();
    out.height = img.height();
    out.palette.push_back({255, 0, 255});
    out.pixels.resize(std::size_t(out.width) * out.height);
    std::unordered_map<QRgb, std::uint8_t> index;
    for (int y = 0; y < out.height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < out.width; ++x) {
            std::uint8_t v = 0;
            if (qAlpha(line[x]) >= 128) {
                const QRgb c = line[x] | 0xFF000000u;
                auto it = index.find(c);
                if (it == index.end()) {
                    if (out.palette.size() == 256)
                        throw gfx::Error("Das Bild hat mehr als 255 Farben.");
                    it = index.emplace(c, static_cast<std::uint8_t>(out.palette.size())).first;
                    out.palette.push_back({static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                                           static_cast<std::uint8_t>(qBlue(c))});
                }
                v = it->second;
            }
            out.pixels[std::size_t(y) * out.width + x] = v;
        }
    }
    return out;
}

void writePictureGif(const fs::path& file, const QImage& picture) { demo::writeGif(file, toIndexed(picture)); }

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw gfx::Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
}

// ---------------------------------------------------------------- faces

constexpr Colour kSkin[2] = {{238, 196, 164}, {118, 78, 52}};
constexpr Colour kHairColour[5] = {{222, 190, 92}, {112, 70, 34}, {34, 28, 26}, {176, 70, 30}, {168, 168, 168}};
constexpr Colour kIris[5] = {{60, 110, 190}, {100, 62, 30}, {60, 130, 70}, {110, 120, 130}, {40, 30, 20}};

QImage transparentFace()
{
    QImage img(kFaceWidth, kFaceHeight, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// The head ellipse, which hair and beards follow.
QPainterPath headPath()
{
    QPainterPath p;
    p.addEllipse(QRectF(13, 14, 38, 48));
    return p;
}

QImage drawBackground(int skin)
{
    QImage img(kFaceWidth, kFaceHeight, QImage::Format_ARGB32);
    img.fill(QColor(222, 230, 238));
    QPainter p(&img);
    const Colour s = kSkin[skin];
    const Colour dark = s.scaled(0.8);
    p.setPen(Qt::NoPen);
    // Shirt with collar, neck, ears, head.
    p.setBrush(QColor(52, 84, 140));
    p.drawPolygon(QPolygon({QPoint(4, 80), QPoint(8, 70), QPoint(24, 64), QPoint(40, 64), QPoint(56, 70), QPoint(60, 80)}));
    p.setBrush(QColor(235, 235, 235));
    p.drawPolygon(QPolygon({QPoint(23, 64), QPoint(32, 74), QPoint(41, 64), QPoint(38, 63), QPoint(32, 69), QPoint(26, 63)}));
    p.setBrush(dark.q());
    p.drawRect(25, 54, 14, 12);
    p.drawEllipse(QRect(9, 32, 8, 14));
    p.drawEllipse(QRect(47, 32, 8, 14));
    p.setBrush(s.q());
    p.drawPath(headPath());
    // Cheek shading on the right side.
    p.setBrush(s.scaled(0.92).q());
    p.drawChord(QRect(13, 14, 38, 48), -60 * 16, 100 * 16);
    return img;
}

QImage drawNose(int skin, int i)
{
    QImage img = transparentFace();
    QPainter p(&img);
    const Colour line = kSkin[skin].scaled(0.7);
    const int length = 7 + i % 5;
    const int width = 3 + (i / 5) % 3;
    const int style = (i / 15) % 3;
    const int top = 36, tip = top + length;
    p.setPen(line.q());
    p.setBrush(Qt::NoBrush);
    switch (style) {
    case 0:  // straight ridge with nostrils
        p.drawLine(33, top, 33 + 1, tip - 1);
        break;
    case 1:  // hooked
        p.drawLine(33, top, 35, tip - 3);
        p.drawLine(35, tip - 3, 34, tip - 1);
        break;
    default:  // broad and round
        p.drawArc(QRect(32 - width, tip - 5, width * 2, 5), 200 * 16, 140 * 16);
        break;
    }
    p.drawLine(32 - width, tip, 32 - 1, tip);
    p.drawLine(32 + 1, tip, 32 + width, tip);
    p.drawPoint(32 - width - 1, tip - 1);
    p.drawPoint(32 + width + 1, tip - 1);
    if (i % 2)
        p.drawPoint(31, tip + 1);
    return img;
}

QImage drawMouth(int skin, int i)
{
    QImage img = transparentFace();
    QPainter p(&img);
    const int width = 8 + (i % 5) * 2;
    const int style = (i / 5) % 6;
    const int x = 32 - width / 2, y = 52;
    const Colour lip = skin ? Colour{96, 52, 44} : Colour{176, 92, 84};
    const Colour dark{70, 30, 30};
    p.setPen(Qt::NoPen);
    switch (style) {
    case 0:  // closed
        p.setBrush(lip.q());
        p.drawRect(x, y, width, 2);
        break;
    case 1:  // smile
        p.setPen(QPen(dark.q(), 1));
        p.drawArc(QRect(x, y - 4, width, 6), 200 * 16, 140 * 16);
        break;
    case 2:  // open smile with teeth
        p.setBrush(dark.q());
        p.drawChord(QRect(x, y - 3, width, 8), 180 * 16, 180 * 16);
        p.setBrush(Qt::white);
        p.drawRect(x + 2, y + 1, width - 4, 1);
        break;
    case 3:  // full lips
        p.setBrush(lip.q());
        p.drawEllipse(QRect(x, y - 1, width, 5));
        p.setBrush(dark.q());
        p.drawRect(x + 1, y + 1, width - 2, 1);
        break;
    case 4:  // thin and serious
        p.setBrush(dark.q());
        p.drawRect(x + 1, y + 1, width - 2, 1);
        break;
    default:  // moustache over a closed mouth
        p.setBrush(lip.q());
        p.drawRect(x, y + 1, width, 2);
        p.setBrush(kHairColour[(i / 30 + skin * 2 + 1) % 4].q());
        p.drawRect(x - 1, y - 3, width + 2, 3);
        break;
    }
    return img;
}

QImage drawEyes(int skin, int i)
{
    QImage img = transparentFace();
    QPainter p(&img);
    const int spacing = 7 + i % 3;
    const int big = (i / 3) % 2;
    const Colour iris = kIris[skin ? 1 + 3 * (i % 2) : (i / 6) % 5];
    const int browStyle = i % 2 + (i / 10) % 2;
    for (int side : {-1, 1}) {
        const int cx = 32 + side * spacing;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRect(cx - 4, 34 - big, 8, 4 + 2 * big));
        p.setBrush(iris.q());
        p.drawRect(cx - 1, 35 - big, 3, 2 + 2 * big);
        p.setBrush(QColor(16, 16, 16));
        p.drawRect(cx, 35, 1, 1 + big);
        p.setBrush(QColor(40, 30, 24));
        if (browStyle == 0)
            p.drawRect(cx - 4, 30, 8, 1);
        else if (browStyle == 1)
            p.drawPolygon(QPolygon({QPoint(cx - 4 * side, 31), QPoint(cx + 4 * side, 29), QPoint(cx + 4 * side, 30),
                                    QPoint(cx - 4 * side, 32)}));
        else
            p.drawRect(cx - 4, 29, 9, 2);
    }
    return img;
}

QImage drawChin(int skin, int i)
{
    QImage img = transparentFace();
    QPainter p(&img);
    const Colour line = kSkin[skin].scaled(0.72);
    const Colour beard = kHairColour[skin ? 2 : 1 + i % 2];
    p.setPen(Qt::NoPen);
    auto beardArea = [&](int top) {
        QPainterPath area = headPath().intersected(QPainterPath([&] {
            QPainterPath r;
            r.addRect(QRectF(10, top, 44, 62 - top));
            return r;
        }()));
        p.setBrush(beard.q());
        p.drawPath(area);
    };
    switch (i) {
    case 0:  // a plain chin line
        p.setPen(line.q());
        p.drawArc(QRect(26, 54, 12, 6), 200 * 16, 140 * 16);
        break;
    case 1:  // dimple
        p.setBrush(line.q());
        p.drawRect(31, 58, 2, 2);
        break;
    case 2:  // stubble
        p.setBrush(beard.q());
        for (int y = 48; y < 61; y += 2)
            for (int x = 17 + (y / 2) % 2; x < 48; x += 3)
                if (headPath().contains(QPointF(x, y)) && !(y < 56 && x > 24 && x < 40))
                    p.drawRect(x, y, 1, 1);
        break;
    case 3:  // goatee
        p.setBrush(beard.q());
        p.drawRect(28, 55, 8, 6);
        break;
    case 4:  // full beard
        beardArea(46);
        break;
    case 5:  // chin strap
        p.setPen(QPen(beard.q(), 2));
        p.drawArc(QRect(14, 24, 36, 37), 190 * 16, 160 * 16);
        break;
    case 6:  // soul patch
        p.setBrush(beard.q());
        p.drawRect(31, 55, 3, 3);
        break;
    case 7:  // double chin
        p.setPen(line.q());
        p.drawArc(QRect(24, 56, 16, 6), 200 * 16, 140 * 16);
        p.drawArc(QRect(26, 58, 12, 4), 200 * 16, 140 * 16);
        break;
    case 8:  // short beard
        beardArea(52);
        break;
    case 9:  // pointed goatee
        p.setBrush(beard.q());
        p.drawPolygon(QPolygon({QPoint(27, 55), QPoint(37, 55), QPoint(32, 64)}));
        break;
    default:  // square jaw
        p.setPen(line.q());
        p.drawLine(20, 52, 26, 59);
        p.drawLine(44, 52, 38, 59);
        p.drawLine(26, 59, 38, 59);
        break;
    }
    return img;
}

QImage drawHair(int skin, int i)
{
    QImage img = transparentFace();
    QPainter p(&img);
    const Colour colour = kHairColour[faceColour(i, skin).haarfarbe];
    const int style = i % 8;
    const int v = i / 8;  // 0..7: how far the hair reaches
    p.setPen(Qt::NoPen);
    p.setBrush(colour.q());
    QPainterPath head = headPath();
    auto capAbove = [&](int line) {
        QPainterPath cut;
        cut.addRect(QRectF(0, 0, kFaceWidth, line));
        QPainterPath cap;
        cap.addEllipse(QRectF(11, 10, 42, 44));
        p.drawPath(cap.intersected(cut));
    };
    switch (style) {
    case 0:  // short crop
        capAbove(24 + v % 3);
        break;
    case 1:  // side parting with a fringe
        capAbove(24 + v % 2);
        p.drawPolygon(QPolygon({QPoint(16, 22), QPoint(30 + v, 22), QPoint(22, 30)}));
        p.setBrush(colour.scaled(0.7).q());
        p.drawRect(22 + v, 12, 1, 8);
        break;
    case 2:  // long, over the ears
        capAbove(24);
        p.drawRect(11, 20, 6, 28 + v * 2);
        p.drawRect(47, 20, 6, 28 + v * 2);
        break;
    case 3:  // curls
        for (int k = 0; k < 9; ++k) {
            const double a = M_PI * (0.05 + 0.9 * k / 8.0);
            const int cx = static_cast<int>(32 - std::cos(a) * 19), cy = static_cast<int>(30 - std::sin(a) * (17 + v % 3));
            p.drawEllipse(QPoint(cx, cy), 5, 5);
        }
        break;
    case 4:  // receding: sides only, some strands on top
        p.drawRect(12, 24, 5, 10 + v);
        p.drawRect(47, 24, 5, 10 + v);
        if (v % 2)
            p.drawRect(26, 13, 12, 2);
        break;
    case 5:  // mohawk
        p.drawRect(29 - v / 3, 6 + v % 3, 6 + 2 * (v / 3), 18);
        break;
    case 6: {  // afro
        QPainterPath big;
        big.addEllipse(QRectF(6 - v / 2, 2 - v / 2, 52 + v, 36 + v / 2));
        QPainterPath face;
        face.addRect(QRectF(16, 24, 32, 40));
        p.drawPath(big.subtracted(face.intersected(head)));
        break;
    }
    default:  // bowl cut with a straight fringe
        capAbove(27 + v % 3);
        p.setBrush(colour.scaled(0.75).q());
        for (int x = 16; x < 48; x += 4)
            p.drawRect(x, 24 + v % 3, 1, 3);
        break;
    }
    // A little light on top, so the hair has depth.
    if (style != 4) {
        p.setBrush(colour.scaled(1.2).q());
        p.drawRect(26, 14, 6, 1);
    }
    return img;
}

void writeFaces(const fs::path& folder)
{
    const char* parts[5] = {"nase", "mund", "haare", "augen", "kinn"};
    const char* skins[2] = {"weiss", "schwarz"};
    for (int skin = 0; skin < 2; ++skin) {
        const std::string prefix = std::string("sp_gesicht_") + skins[skin] + "_";
        writePictureGif(folder / (prefix + "grund.gif"), drawBackground(skin));
        for (int part = 0; part < 5; ++part)
            for (int i = 0; i < kFaceParts[skin][part]; ++i) {
                QImage img;
                switch (part) {
                case 0: img = drawNose(skin, i); break;
                case 1: img = drawMouth(skin, i); break;
                case 2: img = drawHair(skin, i); break;
                case 3: img = drawEyes(skin, i); break;
                default: img = drawChin(skin, i); break;
                }
                writePictureGif(folder / (prefix + parts[part] + "_" + std::to_string(i + 1) + ".gif"), img);
            }
    }
}

// ---------------------------------------------------------------- jerseys

constexpr std::uint16_t kTransparentKey = 0xF81F;  // magenta marks the background in ma.res

QImage drawJersey(int set, int model)
{
    const JerseyColours jc = jerseyColours(set, model);
    const Colour c1 = parseColour(jc.trikot1), c2 = parseColour(jc.trikot2);
    const Colour c3 = parseColour(jc.hose), c4 = parseColour(jc.streifen);
    const bool keeper = model >= kFirstGoalkeeperModel;
    const int sleeve = keeper ? 34 : 21;

    QImage img(kJerseyPictureSize, kJerseyPictureSize, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QPolygon shirt({QPoint(18, 3), QPoint(38, 3), QPoint(51, 9), QPoint(55, sleeve), QPoint(46, sleeve + 3),
                          QPoint(44, 18), QPoint(44, 42), QPoint(12, 42), QPoint(12, 18), QPoint(10, sleeve + 3),
                          QPoint(1, sleeve), QPoint(5, 9)});
    const QPolygon shorts({QPoint(12, 42), QPoint(44, 42), QPoint(46, 54), QPoint(31, 54), QPoint(28, 48),
                           QPoint(25, 54), QPoint(10, 54)});
    p.setPen(Qt::NoPen);
    p.setBrush(c3.q());
    p.drawPolygon(shorts);
    p.setBrush(c4.q());
    p.drawPolygon(QPolygon({QPoint(12, 42), QPoint(14, 42), QPoint(12, 54), QPoint(10, 54)}));
    p.drawPolygon(QPolygon({QPoint(42, 42), QPoint(44, 42), QPoint(46, 54), QPoint(44, 54)}));

    QPainterPath clip;
    clip.addPolygon(shirt);
    p.setClipPath(clip);
    p.fillRect(0, 0, 56, 56, c1.q());
    const int pattern = keeper ? 12 + (model - kFirstGoalkeeperModel) % 6 : model % 12;
    const QColor s = c2.q();
    switch (pattern) {
    case 0:  // plain with contrasting cuffs
        break;
    case 1:  // broad stripes
        for (int x = 14; x < 44; x += 8)
            p.fillRect(x, 0, 4, 56, s);
        break;
    case 2:  // pinstripes
        for (int x = 14; x < 44; x += 4)
            p.fillRect(x, 0, 1, 56, s);
        break;
    case 3:  // hoops
        for (int y = 8; y < 42; y += 8)
            p.fillRect(0, y, 56, 4, s);
        break;
    case 4:  // halves
        p.fillRect(28, 0, 28, 56, s);
        break;
    case 5:  // sash
        p.setBrush(s);
        p.drawPolygon(QPolygon({QPoint(10, 6), QPoint(20, 4), QPoint(48, 40), QPoint(38, 44)}));
        break;
    case 6:  // chevron
        p.setBrush(s);
        p.drawPolygon(QPolygon({QPoint(8, 10), QPoint(28, 24), QPoint(48, 10), QPoint(48, 16), QPoint(28, 30),
                                QPoint(8, 16)}));
        break;
    case 7:  // quarters
        p.fillRect(28, 0, 28, 22, s);
        p.fillRect(0, 22, 28, 30, s);
        break;
    case 8:  // side panels
        p.fillRect(0, 0, 18, 56, s);
        p.fillRect(38, 0, 18, 56, s);
        break;
    case 9:  // contrasting sleeves
        p.fillRect(0, 0, 12, 56, s);
        p.fillRect(44, 0, 12, 56, s);
        break;
    case 10:  // chest band
        p.fillRect(0, 15, 56, 7, s);
        break;
    case 11:  // centre stripe
        p.fillRect(23, 0, 10, 56, s);
        break;
    case 12:  // keeper: shoulder panels
        p.fillRect(0, 0, 56, 12, s);
        break;
    case 13:  // keeper: diagonal bands
        for (int k = -40; k < 56; k += 10) {
            p.setBrush(s);
            p.drawPolygon(QPolygon({QPoint(k, 0), QPoint(k + 4, 0), QPoint(k + 48, 56), QPoint(k + 44, 56)}));
        }
        break;
    case 14:  // keeper: zigzag
        for (int y = 10; y < 42; y += 12) {
            QPolygon z;
            for (int x = 0; x <= 56; x += 6)
                z << QPoint(x, y + ((x / 6) % 2) * 4);
            for (int x = 56; x >= 0; x -= 6)
                z << QPoint(x, y + 3 + ((x / 6) % 2) * 4);
            p.setBrush(s);
            p.drawPolygon(z);
        }
        break;
    case 15:  // keeper: plain with padded elbows
        p.fillRect(0, 24, 12, 6, s);
        p.fillRect(44, 24, 12, 6, s);
        break;
    case 16:  // keeper: hooped sleeves
        for (int y = 12; y < sleeve; y += 5) {
            p.fillRect(0, y, 12, 2, s);
            p.fillRect(44, y, 12, 2, s);
        }
        break;
    default:  // keeper: lower half
        p.fillRect(0, 28, 56, 28, s);
        break;
    }
    p.setClipping(false);
    // Collar and cuffs in the second colour (the first when the pattern already uses it).
    const QColor trim = pattern == 0 ? s : c1.scaled(0.75).q();
    p.setBrush(trim);
    p.drawPolygon(QPolygon({QPoint(21, 3), QPoint(28, 10), QPoint(35, 3), QPoint(32, 3), QPoint(28, 7), QPoint(24, 3)}));
    p.drawPolygon(QPolygon({QPoint(1, sleeve), QPoint(10, sleeve + 3), QPoint(10, sleeve + 1), QPoint(2, sleeve - 2)}));
    p.drawPolygon(QPolygon({QPoint(55, sleeve), QPoint(46, sleeve + 3), QPoint(46, sleeve + 1), QPoint(54, sleeve - 2)}));
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(24, 24, 24));
    p.drawPolygon(shirt);
    p.drawPolygon(shorts);
    return img;
}

gfx::GfpHeaders templateHeaders()
{
    // The fields the format names are set on writing; the others are the game's own and
    // carry plausible constants here.
    gfx::GfpHeaders h;
    h.setFieldA(2, 1);   // frames
    h.setFieldA(3, 0);
    h.setFieldA(4, 16);  // bits per pixel of the frame
    h.setFieldB(0, 1);   // version
    h.setFieldB(12, 16);
    h.setFieldB(16, kTransparentKey);
    h.setFieldB(20, 0x07E0);  // green mask
    h.setFieldB(24, 0xF800);  // red mask
    h.setFieldB(28, 0x001F);  // blue mask
    return h;
}

gfx::Bytes to565(const QImage& picture)
{
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    gfx::Bytes out(std::size_t(img.width()) * img.height() * 2);
    std::size_t o = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const std::uint16_t v = qAlpha(c) < 128 ? kTransparentKey : gfx::rgb565(qRed(c), qGreen(c), qBlue(c));
            out[o++] = static_cast<std::uint8_t>(v);
            out[o++] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    return out;
}

void writeJerseys(const fs::path& dir)
{
    const char* folders[2] = {"trikot/original", "trikot/kickoranet"};
    const gfx::GfpHeaders templ = templateHeaders();
    for (int set = 0; set < 2; ++set) {
        const fs::path folder = dir / folders[set];
        gfx::ResArchiveWriter archive(folder / "ma.res", gfx::kLengthPrefixedType);
        for (int m = 0; m < kJerseyModels; ++m) {
            char name[32];
            std::snprintf(name, sizeof name, "trikot_%02d", m);
            const QImage img = drawJersey(set, m);
            writePictureGif(folder / (std::string(name) + ".gif"), img);
            archive.add(name, gfx::encodeGfp(templ, img.width(), img.height(), to565(img), true));
        }
        archive.finish();
    }
}

// ---------------------------------------------------------------- crests

// Roles of a crest mask pixel.
enum Role : std::uint8_t { Outside = 0, FieldA, FieldB, Border, Emblem };

constexpr int kShapes = 5;
constexpr int kDivisions = 8;
constexpr int kEmblems = 6;
constexpr int kPixels = kCrestSize * kCrestSize;

QPainterPath shieldPath(int shape)
{
    QPainterPath p;
    switch (shape) {
    case 0:  // heater shield
        p.moveTo(6, 4);
        p.lineTo(58, 4);
        p.lineTo(58, 30);
        p.cubicTo(58, 46, 44, 56, 32, 62);
        p.cubicTo(20, 56, 6, 46, 6, 30);
        p.closeSubpath();
        break;
    case 1:  // round badge
        p.addEllipse(QRectF(3, 3, 58, 58));
        break;
    case 2:  // pointed shield with notched top
        p.moveTo(6, 8);
        p.lineTo(20, 4);
        p.lineTo(32, 9);
        p.lineTo(44, 4);
        p.lineTo(58, 8);
        p.lineTo(56, 36);
        p.lineTo(32, 62);
        p.lineTo(8, 36);
        p.closeSubpath();
        break;
    case 3:  // square with rounded base
        p.moveTo(8, 4);
        p.lineTo(56, 4);
        p.lineTo(56, 40);
        p.quadTo(56, 60, 32, 61);
        p.quadTo(8, 60, 8, 40);
        p.closeSubpath();
        break;
    default:  // oval
        p.addEllipse(QRectF(9, 2, 46, 60));
        break;
    }
    return p;
}

// Which half of the field a pixel belongs to, for each division.
bool secondField(int division, int x, int y)
{
    switch (division) {
    case 0: return false;                              // plain
    case 1: return x >= 32;                            // per pale
    case 2: return y >= 30;                            // per fess
    case 3: return (x / 8) % 2 == 1;                   // pales
    case 4: return std::abs(x - y) < 7;                // bend
    case 5: return (x < 32) != (y < 30);               // quarterly
    case 6: return y > 26 + std::abs(x - 32) * 2 / 3 && y < 38 + std::abs(x - 32) * 2 / 3;  // chevron
    default: return (y / 8) % 2 == 1;                  // bars
    }
}

QPainterPath emblemPath(int emblem)
{
    QPainterPath p;
    switch (emblem) {
    case 0: {  // star
        QPolygonF star;
        for (int k = 0; k < 10; ++k) {
            const double a = -M_PI / 2 + k * M_PI / 5;
            const double r = k % 2 ? 5.0 : 12.0;
            star << QPointF(32 + r * std::cos(a), 31 + r * std::sin(a));
        }
        p.addPolygon(star);
        break;
    }
    case 1:  // ball
        p.addEllipse(QRectF(22, 21, 20, 20));
        break;
    case 2:  // diamond
        p.addPolygon(QPolygonF({QPointF(32, 17), QPointF(44, 31), QPointF(32, 45), QPointF(20, 31)}));
        break;
    case 3:  // cross
        p.addRect(QRectF(28, 16, 8, 30));
        p.addRect(QRectF(18, 25, 28, 8));
        p.setFillRule(Qt::WindingFill);
        break;
    case 4:  // tower
        p.addRect(QRectF(24, 24, 16, 20));
        p.addRect(QRectF(22, 18, 5, 7));
        p.addRect(QRectF(30, 18, 5, 7));
        p.addRect(QRectF(38, 18, 4, 7));
        p.setFillRule(Qt::WindingFill);
        break;
    default: {  // crescent
        QPainterPath a, b;
        a.addEllipse(QRectF(20, 19, 24, 24));
        b.addEllipse(QRectF(27, 16, 22, 22));
        p = a.subtracted(b);
        break;
    }
    }
    return p;
}

std::vector<std::uint8_t> rasterise(const QPainterPath& path, double inset)
{
    QImage img(kCrestSize, kCrestSize, QImage::Format_Grayscale8);
    img.fill(0);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    if (inset != 0) {
        QTransform t;
        t.translate(32, 32);
        t.scale(1 - inset, 1 - inset);
        t.translate(-32, -32);
        p.setTransform(t);
    }
    p.drawPath(path);
    p.end();
    std::vector<std::uint8_t> mask(kPixels);
    for (int y = 0; y < kCrestSize; ++y)
        for (int x = 0; x < kCrestSize; ++x)
            mask[y * kCrestSize + x] = img.constScanLine(y)[x] >= 128;
    return mask;
}

// Masks drawn once per run; a crest picks one of each and its colours.
struct CrestMasks {
    std::array<std::vector<std::uint8_t>, kShapes> outer, inner;
    std::array<std::vector<std::uint8_t>, kEmblems> emblem;
    std::array<std::uint8_t, kPixels> shade;  // light from the upper left, 80..100 %

    CrestMasks()
    {
        for (int s = 0; s < kShapes; ++s) {
            outer[s] = rasterise(shieldPath(s), 0);
            inner[s] = rasterise(shieldPath(s), 0.11);
        }
        for (int e = 0; e < kEmblems; ++e)
            emblem[e] = rasterise(emblemPath(e), 0);
        for (int y = 0; y < kCrestSize; ++y)
            for (int x = 0; x < kCrestSize; ++x)
                shade[y * kCrestSize + x] = static_cast<std::uint8_t>(100 - (x + y) * 20 / (2 * kCrestSize));
    }
};

const CrestMasks& crestMasks()
{
    static const CrestMasks masks;
    return masks;
}

struct CrestDesign {
    int shape, division, emblem;
    Colour a, b, border, symbol;
};

constexpr Colour kCrestPalette[] = {
    {200, 16, 32}, {8, 64, 200},  {0, 128, 48},   {240, 208, 0},  {255, 255, 255}, {24, 24, 24},
    {120, 8, 24},  {0, 40, 100},  {24, 181, 220}, {240, 120, 0},  {96, 32, 144},   {192, 192, 192},
};

CrestDesign designFor(int number, std::uint64_t seed)
{
    RandomSource rnd(seed * 1000003ULL + static_cast<std::uint64_t>(number) * 7919ULL + 17);
    CrestDesign d;
    d.shape = static_cast<int>(rnd.below(kShapes));
    d.division = static_cast<int>(rnd.below(kDivisions));
    d.emblem = static_cast<int>(rnd.below(kEmblems));
    const int n = static_cast<int>(std::size(kCrestPalette));
    const int ia = static_cast<int>(rnd.below(n));
    int ib = static_cast<int>(rnd.below(n - 1));
    if (ib >= ia)
        ++ib;
    d.a = kCrestPalette[ia];
    d.b = kCrestPalette[ib];
    d.border = rnd.below(2) ? Colour{210, 170, 40} : Colour{30, 30, 30};
    d.symbol = (ia == 3 || ia == 4 || ib == 4) ? Colour{30, 30, 30} : Colour{255, 255, 255};
    return d;
}

// 24-bit pixels (blue, green, red; rows top to bottom) of a crest.
std::vector<std::uint8_t> crestPixels(const CrestDesign& d, const Colour* background = nullptr)
{
    const CrestMasks& m = crestMasks();
    const Colour bg = background ? *background : Colour{236, 236, 236};
    std::vector<std::uint8_t> out(kPixels * 3);
    for (int y = 0; y < kCrestSize; ++y)
        for (int x = 0; x < kCrestSize; ++x) {
            const int i = y * kCrestSize + x;
            Colour c;
            if (!m.outer[d.shape][i])
                c = bg;
            else if (!m.inner[d.shape][i])
                c = d.border;
            else if (m.emblem[d.emblem][i])
                c = d.symbol;
            else
                c = secondField(d.division, x, y) ? d.b : d.a;
            if (m.outer[d.shape][i]) {
                const int f = m.shade[i];
                c = {c.r * f / 100, c.g * f / 100, c.b * f / 100};
            }
            // Colours the game's 16-bit pixels can hold, so a crest survives the archive unchanged.
            c = {gfx::expand5(gfx::to5(c.r)), gfx::expand6(gfx::to6(c.g)), gfx::expand5(gfx::to5(c.b))};
            out[i * 3] = static_cast<std::uint8_t>(c.b);
            out[i * 3 + 1] = static_cast<std::uint8_t>(c.g);
            out[i * 3 + 2] = static_cast<std::uint8_t>(c.r);
        }
    return out;
}

gfx::Bytes tgaOf(const std::vector<std::uint8_t>& bgrTopDown)
{
    gfx::Bytes out(18 + bgrTopDown.size(), 0);
    out[2] = 2;
    out[12] = kCrestSize;
    out[14] = kCrestSize;
    out[16] = 24;
    const std::size_t row = kCrestSize * 3;
    for (int y = 0; y < kCrestSize; ++y)
        std::copy_n(bgrTopDown.data() + (kCrestSize - 1 - y) * row, row, out.data() + 18 + y * row);
    return out;
}

gfx::Bytes bgrTo565(const std::vector<std::uint8_t>& bgr)
{
    gfx::Bytes out(bgr.size() / 3 * 2);
    for (std::size_t i = 0, o = 0; i < bgr.size(); i += 3, o += 2) {
        const std::uint16_t v = gfx::rgb565(bgr[i + 2], bgr[i + 1], bgr[i]);
        out[o] = static_cast<std::uint8_t>(v);
        out[o + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    return out;
}

// The grey "no crest" picture: a plain shield with a question-like ball.
std::vector<std::uint8_t> defaultCrestPixels()
{
    CrestDesign d{0, 0, 1, {150, 150, 150}, {150, 150, 150}, {90, 90, 90}, {210, 210, 210}};
    return crestPixels(d);
}

std::vector<std::uint8_t> transferMarketCrest()
{
    CrestDesign d{3, 7, 2, {64, 64, 64}, {128, 128, 128}, {210, 170, 40}, {240, 208, 0}};
    return crestPixels(d);
}

void writeBytes(const fs::path& file, const gfx::Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw gfx::Error("Die Datei " + file.string() + " kann nicht geschrieben werden.");
}

// Team numbers of the world in dir: national teams and clubs (crest number = team number).
std::vector<int> teamNumbers(const fs::path& db, const Options& options)
{
    std::vector<int> numbers;
    std::error_code ec;
    if (fs::exists(db, ec)) {
        jet::Database d = jet::Database::open(db, false, true);
        for (const char* sql : {"SELECT GRAFIK_NR FROM vereine_national", "SELECT GRAFIK_NR FROM vereine"})
            for (jet::Recordset rs = d.query(sql); !rs.eof(); rs.moveNext())
                numbers.push_back(static_cast<int>(rs.field(0).toInt()));
    } else {
        int count = static_cast<int>(countries().size());
        for (const Country& c : countries())
            count += c.clubs * options.scale;
        for (int n = 1; n <= count; ++n)
            numbers.push_back(n);
    }
    numbers.push_back(999);  // the transfer market's
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    numbers.erase(std::remove_if(numbers.begin(), numbers.end(), [](int n) { return n < 0 || n > 999; }),
                  numbers.end());
    return numbers;
}

}  // namespace

// ---------------------------------------------------------------- public

QImage drawCrest(int number, std::uint64_t seed)
{
    const std::vector<std::uint8_t> px = number == 999 ? transferMarketCrest() : crestPixels(designFor(number, seed));
    QImage img(kCrestSize, kCrestSize, QImage::Format_BGR888);
    for (int y = 0; y < kCrestSize; ++y)
        std::copy_n(px.data() + y * kCrestSize * 3, kCrestSize * 3, img.scanLine(y));
    return img;
}

void writeCrests(const std::string& crestFolder, const std::vector<int>& numbers, std::uint64_t seed)
{
    const fs::path folder(crestFolder);
    fs::create_directories(folder);
    const gfx::GfpHeaders templ = templateHeaders();
    const std::vector<std::uint8_t> fallback = defaultCrestPixels();
    writeBytes(folder / "default.tga", tgaOf(fallback));
    writeBytes(folder / "default.gfp", gfx::encodeGfp(templ, kCrestSize, kCrestSize, bgrTo565(fallback), false));
    std::string list = "[wappen]\r\ndatei=wa.res\r\nanzahl=" + std::to_string(numbers.size()) + "\r\ntype=14\r\n";
    for (int n : numbers) {
        const std::vector<std::uint8_t> px = n == 999 ? transferMarketCrest() : crestPixels(designFor(n, seed));
        const std::string name = "vereins_wappen_" + std::to_string(n);
        writeBytes(folder / (name + ".tga"), tgaOf(px));
        list += "[" + name + "]\r\ndatei=" + name + ".gfp\r\n";
    }
    writeText(folder / "wa.lst", list);
}

void writePictures(const fs::path& dir, const Options& options)
{
    for (const char* sub : {"gesicht", "trikot/original", "trikot/kickoranet", "wappen", "resfile"})
        fs::create_directories(dir / sub);
    writeFaces(dir / "gesicht");
    writeJerseys(dir);

    const std::vector<int> numbers = teamNumbers(dir / "kickora.mdb", options);
    const std::string crestFolder = (dir / "wappen").string() + "/";
    writeCrests(crestFolder, numbers, options.seed);
    // The game's archive, packed by the editor's own writer from the same pixels.
    const gfx::GfpHeaders templ = templateHeaders();
    gfx::ResArchiveWriter wa(dir / "resfile" / "wa.res", gfx::kCrestType);
    for (int n : numbers) {
        const std::vector<std::uint8_t> px = n == 999 ? transferMarketCrest() : crestPixels(designFor(n, options.seed));
        wa.add("vereins_wappen_" + std::to_string(n), gfx::encodeGfp(templ, kCrestSize, kCrestSize, bgrTo565(px), true));
    }
    wa.finish();
    fs::copy_file(dir / "trikot/original/ma.res", dir / "resfile" / "ma.res", fs::copy_options::overwrite_existing);
}

}  // namespace demo
