#include "view/printpage.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <vector>

#include "dataset/datafile.h"
#include "dataset/numbers.h"

namespace urbica {

namespace {
constexpr double kTwipsPerInch = 1440;
constexpr int kFooterTwips = 100;
// A page side past this is no paper a printer takes.
constexpr int kMaxPageSide = 20000;
}  // namespace

QSize pagePixels(const QSizeF& pagePoints, double dpiX, double dpiY) {
    if (!(dpiX > 0 && dpiY > 0)) return QSize();
    const double twipsW = pagePoints.width() * 20, twipsH = pagePoints.height() * 20;
    const int64_t w = intDiv(twipsW, kTwipsPerInch / dpiX);
    const int64_t h = intDiv(twipsH, kTwipsPerInch / dpiY);
    if (w <= 0 || h <= 0 || w > kMaxPageSide || h > kMaxPageSide) return QSize();
    return QSize(int(w), int(h));
}

PageComposition composePageLayout(const QSize& portraitPage, PageOrientation orientation,
                                  const PageMargins& m, bool stretch, const QSize& pictureSize) {
    PageComposition c;
    c.page = orientation == PageOrientation::Landscape ? portraitPage.transposed() : portraitPage;
    c.source = QRect(QPoint(0, 0), pictureSize);
    c.stretched = stretch;
    const int picW = pictureSize.width(), picH = pictureSize.height();
    if (picW <= 0 || picH <= 0 || c.page.isEmpty()) return c;
    if (stretch) {
        const int areaW = c.page.width() - m.left - m.right;
        const int areaH = c.page.height() - m.top - m.bottom;
        if (areaW <= 0 || areaH <= 0) return c;
        int w, h;
        if (double(areaW) / areaH > double(picW) / picH) {
            h = areaH;
            w = int(nearest(double(picW) / picH * areaH));
        } else {
            w = areaW;
            h = int(nearest(double(picH) / picW * areaW));
        }
        c.target = QRect(m.left, m.top, w, h);
    } else {
        const int x = int(nearest((c.page.width() - picW) / 2.0));
        const int y = int(nearest((c.page.height() - picH) / 2.0));
        c.target = QRect(x, y, picW, picH);
    }
    return c;
}

QImage composePage(const QImage& picture, const PageComposition& layout) {
    if (layout.page.isEmpty()) return QImage();
    // A picture of more device pixels than screen pixels gives a page of as
    // many: the layout stays in screen pixels.
    const double r = picture.isNull() ? 1 : picture.devicePixelRatio();
    QImage page(r == 1 ? layout.page : (QSizeF(layout.page) * r).toSize(), QImage::Format_RGB32);
    page.setDevicePixelRatio(r);
    page.fill(Qt::white);
    if (picture.isNull() || layout.target.isEmpty()) return page;
    QPainter p(&page);
    if (r == 1) {
        if (layout.stretched) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(layout.target, picture, layout.source);
        } else {
            p.drawImage(layout.target.topLeft(), picture, layout.source);
        }
        return page;
    }
    const QRectF source(QPointF(layout.source.topLeft()) * r, QSizeF(layout.source.size()) * r);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(layout.target), picture, source);
    return page;
}

namespace {

QColor textColour(int32_t rgb, bool gray) {
    const QColor c = colorFromRgbInt(rgb);
    if (!gray) return c;
    const int g = qGray(c.rgb());
    return QColor(g, g, g);
}

// The texts as textOut draws them, in the picture's pixels mapped to the page's.
void paintPageTexts(QPainter& painter, const QRect& paperRect, const QSizeF& pageSize,
                    const PageTexts& t) {
    const PageComposition& c = t.layout;
    if (c.target.isEmpty() || c.source.isEmpty() || pageSize.isEmpty()) return;
    painter.save();
    painter.translate(paperRect.topLeft());
    painter.scale(paperRect.width() / pageSize.width(), paperRect.height() / pageSize.height());
    painter.setClipRect(c.target);
    painter.translate(c.target.topLeft());
    if (c.stretched)
        painter.scale(double(c.target.width()) / c.source.width(),
                      double(c.target.height()) / c.source.height());
    painter.translate(-QPointF(c.source.topLeft()));
    // A page has a few fonts and many texts: each font made once.
    struct MadeFont {
        LogFont record;
        QFont font;
        QFontMetricsF metrics;
    };
    std::vector<MadeFont> made;
    auto madeFont = [&made](const LogFont& f) -> const MadeFont& {
        for (const MadeFont& m : made)
            if (m.record == f) return m;
        const QFont font = fontFromLogFont(f);
        return made.emplace_back(MadeFont{f, font, QFontMetricsF(font)});
    };
    for (const PictureBox::TextCall& call : t.calls) {
        const MadeFont& m = madeFont(call.font);
        const QFont& font = m.font;
        const QFontMetricsF& metrics = m.metrics;
        const double ascent = metrics.ascent();
        QTransform place;
        place.translate(call.x, call.y);
        if (call.font.escapement != 0) place.rotate(-call.font.escapement / 10.0);
        // A text wholly off the picture is left out (the clip hides it, but
        // a PDF would still hold it).
        const QRectF cell(0, 0, metrics.horizontalAdvance(call.text), metrics.height());
        if (!place.mapRect(cell).intersects(QRectF(c.source))) continue;
        painter.save();
        painter.setTransform(place, true);
        if (call.halo > 0) {
            QPainterPath path;
            path.addText(QPointF(0, ascent), font, call.text);
            QPen pen(textColour(call.haloColor, t.gray), 2 * call.halo);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.strokePath(path, pen);
        }
        painter.setFont(font);
        painter.setPen(textColour(call.color, t.gray));
        painter.drawText(QPointF(0, ascent), call.text);
        painter.restore();
    }
    painter.restore();
}

}  // namespace

void paintPrintedPage(QPainter& painter, const QRect& paperRect, int resolution, const QImage& page,
                      const QString& footer, const PageTexts* texts) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!page.isNull()) painter.drawImage(paperRect, page);
    if (texts && !page.isNull())
        paintPageTexts(painter, paperRect, page.deviceIndependentSize(), *texts);
    if (!footer.isEmpty()) {
        const int at = int(nearest(kFooterTwips * resolution / kTwipsPerInch));
        QFont font = painter.font();
        font.setPointSizeF(8);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetrics fm(font, painter.device());
        painter.drawText(paperRect.left() + at, paperRect.top() + at + fm.ascent(), footer);
    }
    painter.restore();
}

double printRatio(double deviceDpi, double screenDpi, const QSize& pictureSize) {
    if (!(screenDpi > 0)) return 1;
    const double dpi = std::clamp(deviceDpi, 300.0, 600.0);
    double r = std::clamp(dpi / screenDpi, 1.0, 8.0);
    const double pixels = double(pictureSize.width()) * pictureSize.height();
    constexpr double kMaxPixels = 60e6;
    if (pixels > 0 && pixels * r * r > kMaxPixels)
        r = std::max(1.0, std::sqrt(kMaxPixels / pixels));
    return r;
}

bool writePagePdf(const QImage& page, const QPageSize& paper, PageOrientation orientation,
                  bool blackAndWhite, const QString& footer, const QString& path, QString* error,
                  const PageTexts* texts) {
    if (page.isNull()) {
        if (error) *error = QStringLiteral("нет страницы");
        return false;
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Urbica"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(paper,
                                         orientation == PageOrientation::Landscape
                                             ? QPageLayout::Landscape
                                             : QPageLayout::Portrait,
                                         QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = QStringLiteral("PDF не создается");
            return false;
        }
        const QRect paper = writer.pageLayout().fullRectPixels(writer.resolution());
        paintPrintedPage(painter, QRect(QPoint(0, 0), paper.size()), writer.resolution(),
                         blackAndWhite ? grayPage(page) : page, footer, texts);
        painter.end();
    }
    return writeFileAtomically(path, bytes, error);
}

QImage grayPage(const QImage& page) {
    return page.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
}

}  // namespace urbica
