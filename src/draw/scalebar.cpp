#include "draw/scalebar.h"

#include <cmath>

#include "draw/picturebox.h"

namespace urbica {

QString scaleBarText(double metres) {
    if (metres >= 1000) return QString::number(qint64(std::llround(metres / 1000))) + " км";
    return QString::number(qint64(std::llround(metres))) + " м";
}

ScaleBar scaleBarFor(double metresPerPixel, int pictureWidth) {
    ScaleBar best;
    if (!(metresPerPixel > 0) || !std::isfinite(metresPerPixel) || pictureWidth <= 0) return best;
    const double low = pictureWidth / 4.0, high = pictureWidth / 3.0;
    // Distance of a length in pixels from [low, high], as a ratio.
    auto miss = [&](double px) { return px < low ? low / px : px > high ? px / high : 1.0; };
    // Powers of ten around the one that fits a quarter of the width.
    const int n0 = int(std::floor(std::log10(low * metresPerPixel)));
    double bestMiss = 0;
    for (int n = std::max(0, n0 - 1); n <= std::max(0, n0 + 1); ++n) {
        for (double step : {1.0, 2.0, 5.0}) {
            const double metres = step * std::pow(10.0, n);
            const double m = miss(metres / metresPerPixel);
            if (best.metres == 0 || m < bestMiss) {
                best.metres = metres;
                bestMiss = m;
            }
        }
    }
    best.pixels = best.metres / metresPerPixel;
    best.text = scaleBarText(best.metres);
    return best;
}

void drawScaleBar(PictureBox& box, const ScaleBar& bar, int width, int height) {
    if (bar.metres <= 0 || width <= 0 || height <= 0) return;
    // Drawn in pixels: the box's scale is set to its pixels and put back.
    const double left = box.scaleLeft(), top = box.scaleTop();
    const double sw = box.scaleWidth(), sh = box.scaleHeight();
    box.setScale(0, 0, box.innerWidth(), box.innerHeight());
    const int32_t fore = box.foreColor;
    const int drawWidth = box.drawWidth, drawStyle = box.drawStyle;
    box.drawStyle = 0;
    const double x0 = 10, y = height - 10, x1 = x0 + std::round(bar.pixels);
    auto strokes = [&] {
        box.line(x0, y, x1, y);
        box.line(x0, y, x0, y - 6);
        box.line(x1, y, x1, y - 6);
    };
    box.foreColor = 0xFFFFFF;  // a white edge keeps the bar readable on any colour
    box.drawWidth = 4;
    strokes();
    box.foreColor = 0;
    box.drawWidth = 2;
    strokes();
    LogFont font;
    font.faceName = QStringLiteral("Arial");
    font.height = 15;
    font.weight = 700;
    font.charSet = 204;
    box.foreColor = 0xFFFFFF;
    const int tx = int(x0) + 4, ty = int(y) - 22;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy) box.textOut(tx + dx, ty + dy, bar.text, font);
    box.foreColor = 0;
    box.textOut(tx, ty, bar.text, font);
    box.foreColor = fore;
    box.drawWidth = drawWidth;
    box.drawStyle = drawStyle;
    box.setScale(left, top, sw, sh);
}

}  // namespace urbica
