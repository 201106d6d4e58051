#include "draw/layer.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cmath>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/numbers.h"
#include "dataset/objects.h"
#include "draw/drawcontext.h"

namespace urbica {

QString iconPath(const QString& dataDirectory, int size, int32_t number, bool mask) {
    return dataFilePath(dataDirectory,
                        QStringLiteral("icons\\ic%1%2.%3")
                            .arg(size)
                            .arg(number)
                            .arg(mask ? QLatin1String("msk") : QLatin1String("pic")));
}

namespace {

bool outsideView(const MapView& v, const ObjectRecord& r) {
    return v.viewLeft > r.x2 || v.viewTop > r.y2 || v.viewLeft + v.viewWidth < r.x1 ||
           v.viewTop + v.viewHeight < r.y1;
}

// The pixel of a map point. A point whose pixel would not fit an int (a
// damaged record, or a far point at a close zoom) is brought in along the
// same direction from the picture's corner, still far outside the picture,
// so that the part of its line inside keeps its course.
constexpr double kPixelLimit = double(1 << 30);

QPoint pixelOf(const MapView& v, double x, double y) {
    double px = v.pixelX(x), py = v.pixelY(y);
    const double far = std::max(std::fabs(px), std::fabs(py));
    if (!std::isfinite(far)) return QPoint(-int(kPixelLimit), -int(kPixelLimit));
    if (far > kPixelLimit) {
        px *= kPixelLimit / far;
        py *= kPixelLimit / far;
    }
    return QPoint(int(nearest(px)), int(nearest(py)));
}

void toPixels(const MapView& v, const std::vector<QPoint>& in, std::vector<QPoint>& out) {
    out.resize(in.size());
    for (size_t i = 0; i < in.size(); ++i) out[i] = pixelOf(v, in[i].x(), in[i].y());
}

void drawPolyline(PictureBox& t, const std::vector<QPoint>& px) {
    t.polyline(px.data(), int(px.size()));
}

void drawRing(PictureBox& t, std::vector<QPoint>& px, bool closed) {
    if (!closed) {
        drawPolyline(t, px);
        return;
    }
    px.push_back(px.front());
    t.polygon(px.data(), int(px.size()));
    px.pop_back();
}

// The three strokes of a railway-like line; the box keeps the last pen.
void tripleStroke(PictureBox& t, const std::vector<QPoint>& px, int32_t middle, int32_t top) {
    t.drawWidth = 3;
    t.drawStyle = 0;
    t.foreColor = 0x808080;
    drawPolyline(t, px);
    t.drawWidth = 1;
    t.foreColor = middle;
    drawPolyline(t, px);
    t.foreColor = top;
    t.drawStyle = 2;
    drawPolyline(t, px);
}

// Sample text turned between the object's two points.
void rotatedSample(const MapView& v, PictureBox& t, const ObjectRecord& r) {
    if (!(r.x1 - v.viewLeft > 0 && r.y1 - v.viewTop > 0)) return;
    const double ax = v.pixelX(r.x1), ay = v.pixelY(r.y1);
    const double bx = v.pixelX(r.x2), by = v.pixelY(r.y2);
    const double d = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    const QString text = QStringLiteral("test");
    const double height = d / text.size() * 2;
    // A text taller than any picture (its end point damaged or far away) is not drawn.
    constexpr double kMaxSampleHeight = 16384;
    if (!(height > 7 && height <= kMaxSampleHeight)) return;
    const double dx = double(r.x2) - r.x1, dy = double(r.y2) - r.y1;
    double a = dy == 0 ? 1.57 : std::atan(dx / dy);
    if (dy < 0) a += 3.14;
    a -= 1.57;
    const int degrees = int(nearest(a / 3.14 * 180));
    rottext(t, int(nearest(ax)), int(nearest(ay)), text, degrees, int(nearest(height)), 400, 32);
}

// False when a BMP file ends before the pixel rows its header declares: the
// decoder takes such a file and leaves the missing rows undefined. Other
// files, and compressed BMP rows, are left to their decoders.
bool bmpRowsComplete(const QByteArray& b) {
    if (!b.startsWith("BM")) return true;
    constexpr int kFileHeader = 14;
    if (b.size() < kFileHeader + 12) return false;
    const char* p = b.constData();
    const int64_t pixelsAt = uint32_t(getI32(p + 10));
    const uint32_t infoSize = uint32_t(getI32(p + kFileHeader));
    int64_t width = 0, height = 0, bits = 0, compression = 0;
    if (infoSize == 12) {
        width = getU16(p + 18);
        height = getI16(p + 20);
        bits = getU16(p + 24);
    } else {
        if (b.size() < kFileHeader + 20) return false;
        width = getI32(p + 18);
        height = getI32(p + 22);
        bits = getU16(p + 28);
        compression = uint32_t(getI32(p + 30));
    }
    if (compression != 0 && compression != 3) return true;  // run-length rows
    if (width <= 0 || bits <= 0 || bits > 32) return true;  // the decoder refuses these
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const int64_t rows = std::abs(height);
    if (rows == 0) return pixelsAt <= b.size();
    // A row longer than the file cannot be there; the check keeps the
    // product below in range whatever the header declares.
    if (rowBytes > b.size()) return false;
    return pixelsAt + rowBytes * rows <= b.size();
}

// An icon picture, read through DataFile. Refused (a null image) when the
// file or the picture it declares is far beyond an icon's size, or a BMP
// ends before its rows do, so that a damaged icon is skipped rather than
// drawn from undefined pixels or decoded into a huge image.
QImage readIconPicture(const QString& path) {
    constexpr qint64 kMaxFileBytes = 1 << 20;
    constexpr int kMaxSide = 256;
    DataFile f(path);
    QByteArray bytes;
    if (!f.isOpen() || f.size() > kMaxFileBytes || !f.readAll(bytes) || !bmpRowsComplete(bytes))
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

void drawIcon(DrawContext& ctx, PictureBox& t, const ObjectRecord& r) {
    const int s = ctx.view.iconSize;
    if (s != 16 && s != 32) return;
    struct IconPictures {
        QImage mask, pic;
    };
    const QString maskPath = platformPath(iconPath(ctx.dataDirectory, s, r.pointOffset, true));
    const QString picPath = platformPath(iconPath(ctx.dataDirectory, s, r.pointOffset, false));
    auto load = [&]() -> std::shared_ptr<const IconPictures> {
        auto p = std::make_shared<IconPictures>(
            IconPictures{readIconPicture(maskPath), readIconPicture(picPath)});
        if (p->mask.isNull() || p->pic.isNull()) return nullptr;
        return p;
    };
    // Kept under the pictures' stamps, so that a changed picture is read again.
    auto stamp = [](const QString& p) {
        const FileStamp f = FileStamp::of(p);
        return QStringLiteral(" %1 %2 %3").arg(f.size).arg(f.modified).arg(f.identity);
    };
    const auto icon = ctx.files ? ctx.files->derived<IconPictures>(
                                      maskPath + stamp(maskPath) + stamp(picPath), load)
                                : load();
    if (!icon) return;
    const QImage& mask = icon->mask;
    const QImage& pic = icon->pic;
    const QPoint centre = pixelOf(ctx.view, r.x1, r.y1);
    const int left = centre.x() - s / 2;
    const int top = centre.y() - s / 2;
    if (t.devicePixelRatio() != 1) {
        t.drawScaledIcon(left, top, s, mask, pic);
        return;
    }
    ctx.images.resize(s + 2 * PictureBox::kBorder, s + 2 * PictureBox::kBorder);
    ctx.images.bitBlt(0, 0, s, s, mask, 0, 0, RasterOp::SrcCopy);
    t.bitBlt(left, top, s, s, ctx.images, 0, 0, RasterOp::SrcAnd);
    ctx.images.bitBlt(0, 0, s, s, pic, 0, 0, RasterOp::SrcCopy);
    t.bitBlt(left, top, s, s, ctx.images, 0, 0, RasterOp::SrcPaint);
}

}  // namespace

namespace {

// One object of a type drawn as the type's draw mode says; px are its points in pixels.
void drawByMode(DrawContext& ctx, PictureBox& target, const ObjectType& t, const ObjectRecord& r,
                std::vector<QPoint>& px) {
    const MapView& v = ctx.view;
    switch (t.drawMode) {
        case kDrawLineOrArea:
            if (r.pointCount >= 1) drawRing(target, px, t.closed >= 1);
            break;
        case kDrawRotatedText:
            rotatedSample(v, target, r);
            break;
        case kDrawCircle:
            target.circle(r.x1, r.y1, double(ctx.settings.pickTolerance) * v.unitsPerPixel);
            break;
        case kDrawTripleLine:
            if (r.pointCount >= 1) tripleStroke(target, px, t.fillColor, t.penColor);
            break;
        case kDrawIcon:
            drawIcon(ctx, target, r);
            break;
        default:
            break;
    }
}

}  // namespace

void drawlayer(DrawContext& ctx, PictureBox& target, const LayerRecord& layer) {
    const MapView& v = ctx.view;
    const int level = viewlevel(layer, v.unitsPerPixel);
    if (level == 0) return;
    const int32_t k = layer.levels[size_t(level - 1)].cellSize;
    if (k <= 0) return;
    LayerFiles files(ctx.dataDirectory, layer, level, ctx.files);
    if (!files.gridOpen() || !files.objectsOpen()) return;

    // The grid covers gridExtent \ k cells a column; cells outside it hold
    // nothing, and a row past the bottom would alias the next column's cells.
    const int64_t perColumn = ctx.gridExtent / k;
    const int64_t firstCol = std::max<int64_t>(0, intDiv(v.viewLeft, k));
    const int64_t lastCol = std::min<int64_t>(perColumn - 1, intDiv(v.viewLeft + v.viewWidth, k));
    const int64_t firstRow = std::max<int64_t>(0, intDiv(v.viewTop, k));
    const int64_t lastRow = std::min<int64_t>(perColumn - 1, intDiv(v.viewTop + v.viewHeight, k));

    std::vector<CellEntry> entries;
    std::vector<QPoint> mapPoints, px;
    ObjectRecord r;
    int lastType = 0;
    for (int64_t col = firstCol; col <= lastCol; ++col) {
        for (int64_t row = firstRow; row <= lastRow; ++row) {
            GridCell cell;
            if (!files.readCell(gridRecordNumber(ctx.gridExtent, k, col, row), cell)) continue;
            if (cell.objectCount < 1) continue;
            if (!files.readEntries(cell.firstEntry, cell.objectCount, entries)) continue;
            for (const CellEntry& e : entries) {
                if (!((e.flags & 1) == 0 || col == firstCol)) continue;
                if (!((e.flags & 2) == 0 || row == firstRow)) continue;
                if (!files.readObject(e.object(), r)) continue;
                if (r.typeIndex > ctx.tables.typeCount() || r.pointOffset < 1 || outsideView(v, r))
                    continue;
                const bool validType = r.typeIndex >= 1;
                if (r.pointCount > 0) {
                    std::vector<QPoint> pts;
                    if (!files.readPoints(r, pts)) continue;
                    mapPoints = std::move(pts);
                    toPixels(v, mapPoints, px);
                    if (r.typeIndex != lastType && validType) {
                        const ObjectType& t = ctx.tables.types[size_t(r.typeIndex)];
                        if (t.penStyle >= 0 && t.penStyle <= 7) target.drawStyle = t.penStyle;
                        if (t.fillStyle >= 0 && t.fillStyle <= 7) target.fillStyle = t.fillStyle;
                        if (t.lineWidth > 0) target.drawWidth = t.lineWidth;
                        target.foreColor = t.penColor;
                        target.fillColor = t.fillColor;
                        lastType = r.typeIndex;
                    }
                }
                if (!validType) continue;
                const ObjectType& t = ctx.tables.types[size_t(r.typeIndex)];
                drawByMode(ctx, target, t, r, px);
                if (t.labelScale >= v.unitsPerPixel && ctx.objectName) {
                    const QString name = ctx.objectName(r.nameKind, r.nameIndex);
                    queuelabel(ctx, target, r.x1, r.y1, r.x2, r.y2, r, name, mapPoints,
                               t.labelColor);
                }
            }
        }
    }
    target.drawStyle = 0;
    target.drawWidth = 1;
}

void drawobject(DrawContext& ctx, PictureBox& target, int64_t n, int layerNumber,
                bool highlighted) {
    if (n == 0 || layerNumber < 1 || layerNumber > ctx.tables.layerCount()) return;
    const LayerRecord& layer = ctx.tables.layers[size_t(layerNumber)];
    const MapView& v = ctx.view;
    const int level = viewlevel(layer, v.unitsPerPixel);
    if (level == 0) return;
    LayerFiles files(ctx.dataDirectory, layer, 0, ctx.files);
    ObjectRecord r;
    if (!files.readObject(n, r)) return;
    if (level > r.maxLevel || r.pointCount == 0 || r.pointOffset < 1 || outsideView(v, r)) return;
    if (r.typeIndex < 1 || r.typeIndex > ctx.tables.typeCount()) return;
    const ObjectType& t = ctx.tables.types[size_t(r.typeIndex)];
    std::vector<QPoint> mapPoints, px;
    if (r.pointCount >= 2) {
        if (!files.readPoints(r, mapPoints)) return;
        toPixels(v, mapPoints, px);
    }
    target.drawWidth = t.hiLineWidth != 0 ? t.hiLineWidth : 1;
    target.foreColor = t.hiPenColor;
    target.fillColor = t.hiFillColor;
    if (t.drawMode == kDrawLineOrArea || t.drawMode == kDrawCircle) {
        const int16_t pen = highlighted ? t.hiPenStyle : t.penStyle;
        const int16_t fill = highlighted ? t.hiFillStyle : t.fillStyle;
        if (pen >= 0 && pen <= 7) target.drawStyle = pen;
        if (fill >= 0 && fill <= 7) target.fillStyle = fill;
    }
    const bool line = px.size() >= 2;
    switch (t.drawMode) {
        case kDrawLineOrArea:
            if (line) drawRing(target, px, t.closed > 0);
            break;
        case kDrawCircle:
            target.circle(r.x1, r.y1, double(ctx.settings.pickTolerance) * v.unitsPerPixel);
            break;
        case kDrawTripleLine:
            if (line)
                tripleStroke(target, px, highlighted ? t.hiFillColor : t.fillColor,
                             highlighted ? t.hiPenColor : t.penColor);
            break;
        case kDrawIcon: {
            const double half = (v.iconSize / 2.0 + 1) * v.unitsPerPixel;
            target.fillStyle = 1;
            target.foreColor = t.hiPenColor;
            target.box(r.x1 - half, r.y1 - half, r.x1 + half, r.y1 + half);
            target.fillStyle = 0;
            break;
        }
        default:
            break;
    }
    target.drawStyle = 0;
    target.drawWidth = 1;
    const int32_t colour = highlighted ? t.hiLabelColor : t.labelColor;
    ctx.labels.reset();
    const QString name = ctx.objectName ? ctx.objectName(r.nameKind, r.nameIndex) : QString();
    queuelabel(ctx, target, r.x1, r.y1, r.x2, r.y2, r, name, mapPoints, colour);
    drawlabels(ctx, target);
}

}  // namespace urbica
