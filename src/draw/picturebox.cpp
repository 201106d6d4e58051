#include "draw/picturebox.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "dataset/numbers.h"

namespace urbica {

QColor colorFromRgbInt(int32_t rgb) {
    uint32_t v = uint32_t(rgb);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int32_t rgbIntFromColor(const QColor& c) {
    return int32_t(uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16));
}

void PictureBox::touch(const QRect& r) {
    changed_ |= r & QRect(0, 0, innerWidth_, innerHeight_);
    ++version_;
}

QRect PictureBox::deviceRect(const QRect& r) const {
    if (ratio_ == 1) return r;
    const double x0 = std::floor(r.x() * ratio_), y0 = std::floor(r.y() * ratio_);
    const double x1 = std::ceil((double(r.x()) + r.width()) * ratio_);
    const double y1 = std::ceil((double(r.y()) + r.height()) * ratio_);
    auto clamp = [](double v) {
        constexpr double kLimit = double(1 << 30);
        return int(std::clamp(v, -kLimit, kLimit));
    };
    return QRect(QPoint(clamp(x0), clamp(y0)), QPoint(clamp(x1) - 1, clamp(y1) - 1));
}

// The pixels from (x1, y1) to (x2, y2) and the pen's reach around them.
void PictureBox::touchSpan(double x1, double y1, double x2, double y2) {
    const double m = std::max(1, drawWidth) + 2.0;
    x1 = std::max(x1 - m, -1.0);
    y1 = std::max(y1 - m, -1.0);
    x2 = std::min(x2 + m, double(innerWidth_));
    y2 = std::min(y2 + m, double(innerHeight_));
    if (!(x1 <= x2 && y1 <= y2)) {  // wholly outside, or not numbers
        if (std::isnan(x1 + x2 + y1 + y2)) touchAll();
        ++version_;
        return;
    }
    touch(QRect(QPoint(int(std::floor(x1)), int(std::floor(y1))),
                QPoint(int(std::ceil(x2)), int(std::ceil(y2)))));
}

void PictureBox::touchPoints(const QPoint* points, int count) {
    if (count <= 0) return;
    int x1 = points[0].x(), x2 = x1, y1 = points[0].y(), y2 = y1;
    for (int i = 1; i < count; ++i) {
        x1 = std::min(x1, points[i].x());
        x2 = std::max(x2, points[i].x());
        y1 = std::min(y1, points[i].y());
        y2 = std::max(y2, points[i].y());
    }
    touchSpan(x1, y1, x2, y2);
}

void PictureBox::touchBetween(QPointF a, QPointF b) {
    touchSpan(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
              std::max(a.y(), b.y()));
}

void PictureBox::resize(int outerWidth, int outerHeight) {
    outerWidth_ = std::max(0, outerWidth);
    outerHeight_ = std::max(0, outerHeight);
    innerWidth_ = std::max(1, outerWidth_ - 2 * kBorder);
    innerHeight_ = std::max(1, outerHeight_ - 2 * kBorder);
    makeImage();
}

void PictureBox::makeImage() {
    spare_ = QImage();
    const QRect device = deviceRect(QRect(0, 0, innerWidth_, innerHeight_));
    image_ = QImage(device.width(), device.height(), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio_);
    cls();
}

void PictureBox::setDevicePixelRatio(double ratio) {
    if (!(ratio >= 1 && ratio <= 8)) ratio = 1;
    if (ratio == ratio_) return;
    ratio_ = ratio;
    if (!image_.isNull()) makeImage();
}

void PictureBox::setScale(double left, double top, double width, double height) {
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleWidth_ = width;
    scaleHeight_ = height;
}

void PictureBox::cls() {
    // A picture shared with another box (see bitBlt) gets a buffer of its
    // own without copying what is about to be wiped.
    // The buffer given up the time before is taken again once no other box
    // shares it any more: a new one would cost its pages anew every picture.
    if (!image_.isDetached()) {
        QImage shared = std::move(image_);
        if (!spare_.isNull() && spare_.isDetached() && spare_.size() == shared.size() &&
            spare_.format() == shared.format() &&
            spare_.devicePixelRatio() == shared.devicePixelRatio()) {
            image_ = std::move(spare_);
        } else {
            image_ = QImage(shared.size(), shared.format());
            image_.setDevicePixelRatio(shared.devicePixelRatio());
        }
        // The buffer is this box's alone by now: setting its metadata copies
        // nothing.
        spare_ = shared;
        if (image_.dotsPerMeterX() != shared.dotsPerMeterX())
            image_.setDotsPerMeterX(shared.dotsPerMeterX());
        if (image_.dotsPerMeterY() != shared.dotsPerMeterY())
            image_.setDotsPerMeterY(shared.dotsPerMeterY());
    }
    image_.fill(colorFromRgbInt(backColor));
    touchAll();
}

void PictureBox::reclaimFrom(PictureBox& other) {
    if (&other == this || image_.isNull() || other.image_.constBits() != image_.constBits()) return;
    if (spare_.size() != image_.size() || spare_.format() != image_.format() ||
        spare_.devicePixelRatio() != image_.devicePixelRatio())
        return;
    other.image_ = spare_;
    other.touchAll();
}

void PictureBox::clsOutside(int w, int h) {
    w = std::clamp(w, 0, innerWidth_);
    h = std::clamp(h, 0, innerHeight_);
    if (w == 0 || h == 0) return cls();
    const QRect kept = deviceRect(QRect(0, 0, w, h));
    const int iw = image_.width(), ih = image_.height();
    w = std::min(kept.width(), iw);
    h = std::min(kept.height(), ih);
    if (w == iw && h == ih) return;
    touchAll();
    const QRgb back = colorFromRgbInt(backColor).rgb();
    for (int row = 0; row < ih; ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(row));
        std::fill(line + (row < h ? w : 0), line + iw, back);
    }
}

void PictureBox::setupPainter(QPainter& p, bool fill) const {
    p.setRenderHint(QPainter::Antialiasing, smoothing);
    QPen pen(colorFromRgbInt(foreColor));
    pen.setWidth(std::max(1, drawWidth));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (smoothing && drawWidth <= 1) {
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    Qt::PenStyle style = Qt::SolidLine;
    // Styled pens wider than one pixel are drawn solid, as on the original device.
    if (drawWidth <= 1) {
        switch (drawStyle) {
            case 1:
                style = Qt::DashLine;
                break;
            case 2:
                style = Qt::DotLine;
                break;
            case 3:
                style = Qt::DashDotLine;
                break;
            case 4:
                style = Qt::DashDotDotLine;
                break;
            default:
                break;
        }
    }
    if (drawStyle == 5) style = Qt::NoPen;
    pen.setStyle(style);
    p.setPen(pen);
    if (!fill || fillStyle == 1) {
        p.setBrush(Qt::NoBrush);
        return;
    }
    Qt::BrushStyle b = Qt::SolidPattern;
    switch (fillStyle) {
        case 2:
            b = Qt::HorPattern;
            break;
        case 3:
            b = Qt::VerPattern;
            break;
        case 4:
            b = Qt::BDiagPattern;
            break;
        case 5:
            b = Qt::FDiagPattern;
            break;
        case 6:
            b = Qt::CrossPattern;
            break;
        case 7:
            b = Qt::DiagCrossPattern;
            break;
        default:
            break;
    }
    p.setBrush(QBrush(colorFromRgbInt(fillColor), b));
}

void PictureBox::polyline(const QPoint* points, int count) {
    if (count < 2) return;
    touchPoints(points, count);
    QPainter p(&image_);
    setupPainter(p, false);
    p.drawPolyline(points, count);
}

void PictureBox::polygon(const QPoint* points, int count) {
    if (count < 2) return;
    touchPoints(points, count);
    QPainter p(&image_);
    setupPainter(p, true);
    p.drawPolygon(points, count, Qt::OddEvenFill);
}

void PictureBox::line(double x1, double y1, double x2, double y2) {
    QPainter p(&image_);
    setupPainter(p, false);
    const QPointF a(nearest(toPixelX(x1)), nearest(toPixelY(y1)));
    const QPointF b(nearest(toPixelX(x2)), nearest(toPixelY(y2)));
    touchBetween(a, b);
    p.drawLine(a, b);
    currentX = x2;
    currentY = y2;
}

void PictureBox::box(double x1, double y1, double x2, double y2) {
    QPainter p(&image_);
    setupPainter(p, true);
    // Boxes meet pixel copies (the strips of a pan preview): never smoothed.
    p.setRenderHint(QPainter::Antialiasing, false);
    double ax = nearest(toPixelX(x1)), ay = nearest(toPixelY(y1));
    double bx = nearest(toPixelX(x2)), by = nearest(toPixelY(y2));
    touchBetween(QPointF(ax, ay), QPointF(bx, by));
    p.drawRect(QRectF(QPointF(std::min(ax, bx), std::min(ay, by)),
                      QPointF(std::max(ax, bx), std::max(ay, by))));
    currentX = x2;
    currentY = y2;
}

void PictureBox::circle(double x, double y, double radius) {
    QPainter p(&image_);
    setupPainter(p, true);
    double r = std::fabs(radius * xFactor());
    const QPointF centre(nearest(toPixelX(x)), nearest(toPixelY(y)));
    touchBetween(centre - QPointF(r, r), centre + QPointF(r, r));
    p.drawEllipse(centre, r, r);
    currentX = x;
    currentY = y;
}

void PictureBox::bitBlt(int dx, int dy, int w, int h, const PictureBox& src, int sx, int sy,
                        RasterOp op) {
    if (&src == this) {
        QImage copy = image_;
        bitBlt(dx, dy, w, h, copy, sx, sy, op);
    } else if (op == RasterOp::SrcCopy && dx == 0 && dy == 0 && sx == 0 && sy == 0 &&
               w >= innerWidth_ && h >= innerHeight_ && src.ratio_ == ratio_ &&
               src.image_.size() == image_.size() && src.image_.format() == QImage::Format_RGB32 &&
               image_.format() == QImage::Format_RGB32) {
        // A copy of the whole picture shares it; whichever box is drawn on
        // next gets its own copy then (and cls none at all).
        image_ = src.image_;
        touchAll();
    } else {
        bitBlt(dx, dy, w, h, src.image_, sx, sy, op);
    }
}

namespace {

// Clips a copy of w x h pixels from (sx, sy) of a source to (dx, dy) of a
// destination against both; false when nothing is left.
bool clipCopy(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int destW, int destH, int srcW,
              int srcH) {
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min({w, destW - dx, srcW - sx});
    h = std::min({h, destH - dy, srcH - sy});
    return w > 0 && h > 0;
}

QImage opaqueOrArgb(const QImage& srcImage) {
    return srcImage.format() == QImage::Format_RGB32 || srcImage.format() == QImage::Format_ARGB32
               ? srcImage
               : srcImage.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

void PictureBox::bitBlt(int dx, int dy, int w, int h, const QImage& srcImage, int sx, int sy,
                        RasterOp op) {
    const double srcRatio = srcImage.devicePixelRatio();
    if (ratio_ == 1 && srcRatio == 1) {
        if (!clipCopy(dx, dy, w, h, sx, sy, image_.width(), image_.height(), srcImage.width(),
                      srcImage.height()))
            return;
        touch(QRect(dx, dy, w, h));
        deviceBlt(dx, dy, w, h, opaqueOrArgb(srcImage), sx, sy, op);
        return;
    }
    if (w <= 0 || h <= 0) return;
    if (srcRatio == ratio_) {
        // Both corners to device pixels first, so that the shift between the
        // pictures does not depend on where the copy is clipped.
        touch(QRect(dx, dy, w, h));
        const QRect d = deviceRect(QRect(dx, dy, w, h));
        deviceBlt(d.x(), d.y(), d.width(), d.height(), opaqueOrArgb(srcImage),
                  int(std::floor(sx * ratio_)), int(std::floor(sy * ratio_)), op);
        return;
    }
    // A picture of another ratio: clipped in logical pixels, then scaled.
    const int srcW = int(std::floor(srcImage.width() / srcRatio));
    const int srcH = int(std::floor(srcImage.height() / srcRatio));
    if (!clipCopy(dx, dy, w, h, sx, sy, innerWidth_, innerHeight_, srcW, srcH)) return;
    touch(QRect(dx, dy, w, h));
    const QRect d = deviceRect(QRect(dx, dy, w, h));
    const QRect s = QRect(QPoint(int(std::floor(sx * srcRatio)), int(std::floor(sy * srcRatio))),
                          QPoint(int(std::ceil((sx + w) * srcRatio)) - 1,
                                 int(std::ceil((sy + h) * srcRatio)) - 1)) &
                    srcImage.rect();
    if (s.isEmpty()) return;
    // Masks combined bit by bit are scaled without blending their edges.
    const bool smooth = smoothing && op == RasterOp::SrcCopy;
    QImage part = opaqueOrArgb(srcImage.copy(s))
                      .scaled(d.size(), Qt::IgnoreAspectRatio,
                              smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    part.setDevicePixelRatio(1);
    deviceBlt(d.x(), d.y(), d.width(), d.height(), opaqueOrArgb(part), 0, 0, op);
}

void PictureBox::deviceBlt(int dx, int dy, int w, int h, const QImage& src, int sx, int sy,
                           RasterOp op) {
    if (!clipCopy(dx, dy, w, h, sx, sy, image_.width(), image_.height(), src.width(), src.height()))
        return;
    // Pixels of an RGB32 picture are opaque already: a copy is a plain copy.
    if (op == RasterOp::SrcCopy && src.format() == QImage::Format_RGB32) {
        for (int row = 0; row < h; ++row)
            std::memcpy(reinterpret_cast<QRgb*>(image_.scanLine(dy + row)) + dx,
                        reinterpret_cast<const QRgb*>(src.constScanLine(sy + row)) + sx,
                        size_t(w) * sizeof(QRgb));
        return;
    }
    for (int row = 0; row < h; ++row) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy + row)) + sx;
        QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(dy + row)) + dx;
        switch (op) {
            case RasterOp::SrcCopy:
                for (int i = 0; i < w; ++i) d[i] = s[i] | 0xFF000000u;
                break;
            case RasterOp::SrcAnd:
                for (int i = 0; i < w; ++i) d[i] = (d[i] & s[i]) | 0xFF000000u;
                break;
            case RasterOp::SrcPaint:
                for (int i = 0; i < w; ++i) d[i] = (d[i] | s[i]) | 0xFF000000u;
                break;
            case RasterOp::SrcInvert:
                for (int i = 0; i < w; ++i) d[i] = ((d[i] ^ s[i]) & 0x00FFFFFFu) | 0xFF000000u;
                break;
        }
    }
}

void PictureBox::drawScaledIcon(int x, int y, int s, const QImage& mask, const QImage& picture) {
    if (!smoothing) {
        bitBlt(x, y, s, s, mask, 0, 0, RasterOp::SrcAnd);
        bitBlt(x, y, s, s, picture, 0, 0, RasterOp::SrcPaint);
        return;
    }
    // The mask as coverage: black opaque, white clear; the picture's colour
    // where it covers.
    const QImage m = mask.convertToFormat(QImage::Format_RGB32);
    const QImage c = picture.convertToFormat(QImage::Format_RGB32);
    const int w = std::min({s, m.width(), c.width()}), h = std::min({s, m.height(), c.height()});
    if (w <= 0 || h <= 0) return;
    QImage icon(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < h; ++row) {
        const QRgb* mr = reinterpret_cast<const QRgb*>(m.constScanLine(row));
        const QRgb* cr = reinterpret_cast<const QRgb*>(c.constScanLine(row));
        QRgb* out = reinterpret_cast<QRgb*>(icon.scanLine(row));
        for (int i = 0; i < w; ++i) {
            const int a = 255 - qGray(mr[i]);
            out[i] = qPremultiply(qRgba(qRed(cr[i]), qGreen(cr[i]), qBlue(cr[i]), a));
        }
    }
    touch(QRect(x - 1, y - 1, w + 2, h + 2));
    QPainter p(&image_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(x, y, w, h), icon);
}

void PictureBox::stretchBlt(int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy,
                            int sw, int sh) {
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
    touch(QRect(QPoint(std::min(dx, dx + dw) - 1, std::min(dy, dy + dh) - 1),
                QPoint(std::max(dx, dx + dw) + 1, std::max(dy, dy + dh) + 1)));
    QPainter p(&image_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRectF(dx, dy, dw, dh), src, QRectF(sx, sy, sw, sh));
}

namespace {

QFont baseFont(const LogFont& f) {
    QString face = f.faceName.trimmed();
    if (face.endsWith(QLatin1String(" Cyr"), Qt::CaseInsensitive)) face.chop(4);
    if (face.isEmpty()) face = QStringLiteral("Arial");
    QFont font(face);
    font.setStyleStrategy(QFont::PreferAntialias);
    int weight = f.weight <= 0 ? 400 : std::clamp(int(f.weight), 100, 900);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(f.italic != 0);
    font.setUnderline(f.underline != 0);
    font.setStrikeOut(f.strikeOut != 0);
    return font;
}

QString ratioKey(const LogFont& f) {
    return f.faceName.trimmed() + QLatin1Char('/') + QString::number(f.weight) + QLatin1Char('/') +
           QString::number(f.italic);
}

}  // namespace

double cellRatioOf(const LogFont& f) {
    QFont probe = baseFont(f);
    probe.setPixelSize(1000);
    QFontMetricsF m(probe);
    const double cell = m.ascent() + m.descent();
    return cell > 0 ? cell / 1000.0 : 1.0;
}

QFont fontFromLogFont(const LogFont& f, double cellRatio) {
    QFont font = baseFont(f);
    const int h = f.height == 0 ? 16 : std::abs(f.height);
    if (f.height > 0) {
        // A positive height is the cell height (ascent + descent): find the em size that gives it.
        const double ratio = cellRatio > 0 ? cellRatio : cellRatioOf(f);
        font.setPixelSize(std::max(1, int(std::floor(h / ratio + 0.5))));
    } else {
        font.setPixelSize(std::max(1, h));
    }
    return font;
}

QFont PictureBox::fontFor(const LogFont& f) const {
    if (f.height <= 0) return fontFromLogFont(f);
    const QString key = ratioKey(f);
    auto it = cellRatios_.find(key);
    if (it == cellRatios_.end()) it = cellRatios_.insert(key, cellRatioOf(f));
    return fontFromLogFont(f, it.value());
}

const PictureBox::MadeFont& PictureBox::madeFont(const LogFont& lf) const {
    const QString key = ratioKey(lf) + QLatin1Char('/') + QString::number(lf.underline) +
                        QLatin1Char('/') + QString::number(lf.strikeOut) + QLatin1Char('/') +
                        QString::number(lf.height);
    auto it = fonts_.constFind(key);
    if (it == fonts_.constEnd()) {
        if (fonts_.size() > 256) fonts_.clear();
        const QFont font = fontFor(lf);
        const QFontMetricsF m(font);
        it = fonts_.insert(key, MadeFont{font, m.ascent(), m.ascent() + m.descent(), m,
                                         std::make_shared<QHash<QString, ShapedText>>()});
    }
    return *it;
}

void PictureBox::textOut(int x, int y, const QString& text, const LogFont& lf) {
    if (text.isEmpty()) return;
    if (textLog_) textLog_->push_back({x, y, text, lf, foreColor, textHalo, backColor});
    if (!drawTexts_) return;
    touchAll();  // turned text may reach anywhere
    const MadeFont& made = madeFont(lf);
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(made.font);
    p.translate(x, y);
    if (lf.escapement != 0) p.rotate(-lf.escapement / 10.0);
    if (textHalo > 0) return haloText(p, made, text);
    p.setPen(colorFromRgbInt(foreColor));
    p.drawText(QPointF(0, made.ascent), text);
}

const PictureBox::ShapedText& PictureBox::shapedText(const MadeFont& made,
                                                     const QString& text) const {
    QHash<QString, ShapedText>& shaped = *made.shaped;
    auto it = shaped.constFind(text);
    if (it != shaped.constEnd()) return *it;
    if (shaped.size() > 4096) shaped.clear();
    QTextLayout layout(text, made.font);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    ShapedText t;
    if (line.isValid()) {
        // The whole text on one line: a line is laid out (and has its
        // ascent) only once it is given its length.
        line.setNumColumns(int(text.size()));
        line.setLeadingIncluded(false);
        t.ascent = line.ascent();
    }
    layout.endLayout();
    t.runs = layout.glyphRuns();
    return *shaped.insert(text, std::move(t));
}

void PictureBox::haloText(QPainter& p, const MadeFont& made, const QString& text) {
    const ShapedText& t = shapedText(made, text);
    const QPointF at(0, made.ascent - t.ascent);
    // The letters in the background colour around their place, under
    // them: four copies moved diagonally reach round every stroke.
    p.setPen(colorFromRgbInt(backColor));
    const double e = textHalo * 0.7071;
    const QPointF around[4] = {{e, e}, {-e, e}, {e, -e}, {-e, -e}};
    for (const QPointF& o : around)
        for (const QGlyphRun& run : t.runs) p.drawGlyphRun(at + o, run);
    // The letters themselves, from the same shaping.
    p.setPen(colorFromRgbInt(foreColor));
    for (const QGlyphRun& run : t.runs) p.drawGlyphRun(at, run);
}

QSizeF PictureBox::textCellSize(const QString& text, const LogFont& lf) const {
    if (text.isEmpty()) return {};
    const MadeFont& made = madeFont(lf);
    return {made.metrics.horizontalAdvance(text), made.height};
}

LogFont PictureBox::currentLogFont() const {
    LogFont f;
    f.faceName = fontName;
    f.height = int32_t(intDiv(fontSize * kLogPixelsY, 72));
    f.weight = fontBold ? 700 : 400;
    f.charSet = 204;
    return f;
}

double PictureBox::textWidth(const QString& text) const {
    const LogFont f = currentLogFont();
    const QString key = ratioKey(f) + QLatin1Char('/') + QString::number(f.height);
    if (!metrics_ || key != metricsKey_) {
        metrics_.emplace(fontFor(f));
        metricsKey_ = key;
    }
    return metrics_->horizontalAdvance(text);
}

}  // namespace urbica
