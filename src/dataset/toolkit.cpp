#include "dataset/toolkit.h"

#include <QDir>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/settings.h"

namespace urbica::toolkit {

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// Draws icon n (1 to 5) at size s: the mask black where the icon is opaque,
// white elsewhere; the picture coloured there and black elsewhere.
void drawIcon(QImage& image, int n, bool mask) {
    const int s = image.width();
    image.fill(mask ? Qt::white : Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const QColor backgrounds[] = {QColor(30, 150, 60), QColor(40, 90, 200), QColor(255, 255, 255),
                                  QColor(30, 110, 200), QColor(150, 90, 40)};
    const QColor ink = n == 3 ? QColor(220, 20, 20) : QColor(255, 255, 255);
    auto fill = [&](const QColor& c) { p.setBrush(mask ? QColor(Qt::black) : c); };
    const double k = s / 16.0;
    auto r = [&](double x, double y, double w, double h) {
        return QRectF(x * k, y * k, w * k, h * k);
    };
    fill(backgrounds[n - 1]);
    if (n == 3) {  // white square with a red border
        p.drawRect(0, 0, s, s);
        if (!mask) {
            p.setPen(QColor(200, 0, 0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, s - 1, s - 1);
            p.setPen(Qt::NoPen);
        }
    } else {
        p.drawRoundedRect(r(0, 0, 16, 16), 3 * k, 3 * k);
    }
    fill(ink);
    switch (n) {
        case 1:  // cross
        case 3:
            p.drawRect(r(6, 3, 4, 10));
            p.drawRect(r(3, 6, 10, 4));
            break;
        case 2: {  // a school house with a roof
            QPolygonF roof;
            roof << QPointF(8 * k, 2 * k) << QPointF(14 * k, 7 * k) << QPointF(2 * k, 7 * k);
            p.drawPolygon(roof);
            p.drawRect(r(4, 7, 8, 6));
            break;
        }
        case 4: {  // an envelope
            p.drawRect(r(2, 4, 12, 8));
            if (!mask) {
                p.setPen(QPen(backgrounds[3], std::max(1.0, k)));
                p.drawLine(QPointF(2 * k, 4 * k), QPointF(8 * k, 9 * k));
                p.drawLine(QPointF(14 * k, 4 * k), QPointF(8 * k, 9 * k));
            }
            break;
        }
        case 5:  // an open book
            p.drawRect(r(2, 4, 5.5, 8));
            p.drawRect(r(8.5, 4, 5.5, 8));
            break;
    }
}

QByteArray bmpBytes(const QImage& image) {
    QByteArray bytes;
    encodeBmp(image, bytes);
    return bytes;
}

}  // namespace

int32_t rgb(int r, int g, int b) { return int32_t(r | (g << 8) | (b << 16)); }

ObjectType makeType(const char* name, int16_t mode, int32_t pen, int32_t fill, int16_t width,
                    int16_t closed, int16_t labelMode, float labelScale) {
    ObjectType t;
    t.typeName = u(name);
    t.drawMode = mode;
    t.penColor = pen;
    t.fillColor = fill;
    t.lineWidth = width;
    t.hiPenColor = rgb(255, 0, 0);
    t.hiFillColor = rgb(255, 230, 120);
    t.hiLineWidth = int16_t(std::max<int>(3, width + 2));
    t.closed = closed;
    t.labelMode = labelMode;
    t.fontName = QStringLiteral("Arial");
    t.labelSize = 9;
    t.labelColor = rgb(40, 40, 40);
    t.hiLabelColor = rgb(200, 0, 0);
    t.labelScale = labelScale;
    t.penStyle = 0;
    t.fillStyle = closed ? 0 : 1;
    t.hiPenStyle = 0;
    t.hiFillStyle = closed ? 0 : 1;
    return t;
}

ObjectType metroStationType() {
    ObjectType station =
        makeType("Станция метро", kDrawCircle, rgb(120, 0, 0), rgb(230, 40, 40), 1, 0, 2, 12);
    station.fillStyle = 0;
    station.hiFillStyle = 0;
    station.labelBold = 1;
    station.labelColor = rgb(120, 0, 0);
    return station;
}

LayerRecord makeLayer(const char* name, const char* base, bool overview, bool selectable,
                      int32_t cell1, int32_t cell2, int32_t cell3) {
    LayerRecord l;
    l.layerName = u(name);
    l.baseName = QString::fromLatin1(base);
    l.shown = -1;
    l.listed = -1;
    l.onOverview = overview ? -1 : 0;
    l.selectable = selectable ? -1 : 0;
    l.levels[0] = {cell1, 3};
    l.levels[1] = {cell2, 15};
    l.levels[2] = {cell3, -1};
    return l;
}

ClassRecord makeClass(const QString& name, const char* base, int16_t style, bool searchable,
                      bool hasNames) {
    ClassRecord c;
    c.className = name;
    c.baseName = QString::fromLatin1(base);
    c.nameStyle = style;
    c.searchable = searchable ? -1 : 0;
    c.hasNames = hasNames ? -1 : 0;
    return c;
}

std::vector<IconData> iconPictures() {
    std::vector<IconData> icons;
    for (int n = 1; n <= kIconCount; ++n) {
        IconData icon;
        icon.number = n;
        icon.mask16 = QImage(16, 16, QImage::Format_RGB32);
        icon.picture16 = QImage(16, 16, QImage::Format_RGB32);
        icon.mask32 = QImage(32, 32, QImage::Format_RGB32);
        icon.picture32 = QImage(32, 32, QImage::Format_RGB32);
        drawIcon(icon.mask16, n, true);
        drawIcon(icon.picture16, n, false);
        drawIcon(icon.mask32, n, true);
        drawIcon(icon.picture32, n, false);
        icons.push_back(icon);
    }
    return icons;
}

QImage markerPicture(bool andMask) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(andMask ? Qt::white : Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor on = andMask ? QColor(Qt::black) : QColor(230, 20, 20);
    p.setPen(QPen(on, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(14, 14), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(on);
    // Four arrows pointing at the centre (14, 14) from the edges of the 28-pixel square.
    const QPolygon arrows[] = {
        QPolygon({QPoint(14, 7), QPoint(10, 1), QPoint(18, 1)}),
        QPolygon({QPoint(14, 21), QPoint(10, 27), QPoint(18, 27)}),
        QPolygon({QPoint(7, 14), QPoint(1, 10), QPoint(1, 18)}),
        QPolygon({QPoint(21, 14), QPoint(27, 10), QPoint(27, 18)}),
    };
    for (const QPolygon& a : arrows) p.drawPolygon(a);
    p.drawRect(13, 13, 2, 2);
    return image;
}

bool writeProgramFiles(const QString& programDirectory, const QString& dataDirectory,
                       QString* error, bool labelsApart) {
    if (!QDir().mkpath(programDirectory)) {
        if (error) *error = u("не удалось создать папку %1").arg(programDirectory);
        return false;
    }
    const QString text =
        u("Urbica – карта вашего города, Поиск дома по адресу, Организации и метро, "
          "Закладки и печать карты, Реклама на карте: urbica.example/reklama\r\n");
    const QDir dir(programDirectory);
    if (!writeFileAtomically(dir.filePath(QStringLiteral("reklama.txt")), toCp1251(text), error) ||
        !writeFileAtomically(dir.filePath(QStringLiteral("arrowsbl.bmp")),
                             bmpBytes(markerPicture(true)), error) ||
        !writeFileAtomically(dir.filePath(QStringLiteral("arrowscl.bmp")),
                             bmpBytes(markerPicture(false)), error))
        return false;
    Settings s;
    s.dataDirFromSettings = 1;
    s.dataDirectory =
        QDir::toNativeSeparators(QDir(dataDirectory).absolutePath()) + QDir::separator();
    s.line17Text = s.dataDirectory;
    s.savesizecheck = 1;
    // The first window: 1280 x 800 pixels at (100, 100), brought onto a
    // smaller screen by the viewer.
    s.windowLeft = 100 * kTwipsPerPixel;
    s.windowTop = 100 * kTwipsPerPixel;
    s.windowWidth = 1280 * kTwipsPerPixel;
    s.windowHeight = 800 * kTwipsPerPixel;
    s.labelsApart = labelsApart ? 1 : 0;
    s.smoothing = 1;
    return writeSettings(s, programDirectory, error);
}

}  // namespace urbica::toolkit
