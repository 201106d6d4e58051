// Pictures at a device pixel ratio above 1, and smoothing: measured on the
// pixels, against the same drawing at ratio 1.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <set>

#include "draw/picturebox.h"

using namespace urbica;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;

// A 200 x 100 logical box at the ratio, white, its scale its pixels.
PictureBox whiteBox(double ratio) {
    PictureBox b;
    b.setDevicePixelRatio(ratio);
    b.backColor = kWhite;
    b.resize(204, 104);
    b.setScale(0, 0, 200, 100);
    return b;
}

// The topmost non-white row of each device column (-1: none).
std::vector<int> topEdge(const QImage& img) {
    std::vector<int> top(size_t(img.width()), -1);
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                top[size_t(x)] = y;
                break;
            }
    return top;
}

int colourCount(const QImage& img) {
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) colours.insert(img.pixel(x, y));
    return int(colours.size());
}

QRect inkBox(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) r |= QRect(x, y, 1, 1);
    return r;
}

}  // namespace

TEST(DevicePixels, LogicalSizesStayDevicePixelsFollowTheRatio) {
    for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        PictureBox b = whiteBox(ratio);
        EXPECT_EQ(b.innerWidth(), 200);
        EXPECT_EQ(b.innerHeight(), 100);
        EXPECT_EQ(b.image().width(), int(std::ceil(200 * ratio))) << ratio;
        EXPECT_EQ(b.image().height(), int(std::ceil(100 * ratio))) << ratio;
        EXPECT_DOUBLE_EQ(b.xFactor(), 1) << "the scale is logical";
        EXPECT_EQ(b.deviceRect(QRect(1, 1, 3, 3)),
                  QRect(QPoint(int(std::floor(ratio)), int(std::floor(ratio))),
                        QPoint(int(std::ceil(4 * ratio)) - 1, int(std::ceil(4 * ratio)) - 1)))
            << ratio;
    }
    PictureBox b = whiteBox(2);
    b.setDevicePixelRatio(0);  // not a ratio: 1
    EXPECT_EQ(b.devicePixelRatio(), 1);
    EXPECT_EQ(b.image().width(), 200);
}

TEST(DevicePixels, DiagonalLineStepsByOneDevicePixel) {
    const QPoint line[] = {{5, 10}, {185, 80}};
    for (bool smooth : {false, true}) {
        PictureBox one = whiteBox(1), two = whiteBox(2);
        for (PictureBox* b : {&one, &two}) {
            b->smoothing = smooth;
            b->polyline(line, 2);
        }
        // Where the line runs, its top edge rises by at most one device pixel
        // from a column to the next: ratio 1 stretched would step by 2.
        const std::vector<int> top = topEdge(two.image());
        int steps = 0;
        for (size_t x = 12; x + 12 < top.size() && x < 370; ++x) {
            ASSERT_GE(top[x], 0) << x;
            ASSERT_GE(top[x + 1], 0) << x;
            EXPECT_LE(std::abs(top[x + 1] - top[x]), 1) << "column " << x << " smooth " << smooth;
            steps += top[x + 1] != top[x];
        }
        EXPECT_GT(steps, 120) << "one step a device pixel, about 140 in all";
        // The line lies where it lies at ratio 1, scaled.
        const QRect r1 = inkBox(one.image()), r2 = inkBox(two.image());
        EXPECT_NEAR(r2.left(), 2 * r1.left(), 2);
        EXPECT_NEAR(r2.right(), 2 * r1.right() + 1, 2);
        EXPECT_NEAR(r2.top(), 2 * r1.top(), 2);
        EXPECT_NEAR(r2.bottom(), 2 * r1.bottom() + 1, 2);
        // Smoothed lines have edge colours between the pen and the paper.
        if (smooth)
            EXPECT_GT(colourCount(two.image()), 2);
        else
            EXPECT_EQ(colourCount(two.image()), 2);
    }
}

TEST(DevicePixels, LabelGlyphsAreDrawnAtDeviceResolution) {
    LogFont f;
    f.faceName = QStringLiteral("Arial");
    f.height = 16;
    f.weight = 400;
    PictureBox one = whiteBox(1), two = whiteBox(2);
    for (PictureBox* b : {&one, &two}) b->textOut(20, 30, QStringLiteral("Жёлтая"), f);
    // Stretched from ratio 1, every 2 x 2 block of device pixels would be one
    // colour; drawn at the device's resolution most edges cut through blocks.
    const QImage& img = two.image();
    int mixed = 0, inked = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2) {
            const QRgb a = img.pixel(x, y);
            const bool ink = a != 0xFFFFFFFF || img.pixel(x + 1, y) != 0xFFFFFFFF ||
                             img.pixel(x, y + 1) != 0xFFFFFFFF ||
                             img.pixel(x + 1, y + 1) != 0xFFFFFFFF;
            inked += ink;
            mixed += ink && (img.pixel(x + 1, y) != a || img.pixel(x, y + 1) != a ||
                             img.pixel(x + 1, y + 1) != a);
        }
    EXPECT_GT(inked, 40);
    EXPECT_GT(mixed, inked / 3) << mixed << " of " << inked;
    // The text is as large as at ratio 1 and in the same place, in logical pixels.
    const QRect r1 = inkBox(one.image()), r2 = inkBox(two.image());
    EXPECT_NEAR(r2.left() / 2.0, r1.left(), 1.5);
    EXPECT_NEAR(r2.top() / 2.0, r1.top(), 1.5);
    EXPECT_NEAR(r2.width() / 2.0, r1.width(), 2);
    EXPECT_NEAR(r2.height() / 2.0, r1.height(), 2);
    EXPECT_DOUBLE_EQ(two.textCellSize(QStringLiteral("Жёлтая"), f).width(),
                     one.textCellSize(QStringLiteral("Жёлтая"), f).width())
        << "label places are measured in logical pixels";
}

TEST(DevicePixels, HaloOfTheBackgroundColourAroundLetters) {
    LogFont f;
    f.faceName = QStringLiteral("Arial");
    f.height = 20;
    f.weight = 700;
    for (double ratio : {1.0, 2.0}) {
        PictureBox plain = whiteBox(ratio), haloed = whiteBox(ratio);
        for (PictureBox* b : {&plain, &haloed}) {
            b->fillColor = 0;
            b->fillStyle = 0;
            b->foreColor = 0;
            b->box(0, 0, 200, 100);  // a black ground; the paper colour stays white
            b->foreColor = 0x0000FF;
        }
        haloed.textHalo = 1.5;
        plain.textOut(20, 30, QStringLiteral("Нева"), f);
        haloed.textOut(20, 30, QStringLiteral("Нева"), f);
        int whiter = 0, changedInk = 0, astray = 0;
        const QImage &a = plain.image(), &b = haloed.image();
        // The rim stays within its width of the letters (it once fell a line lower).
        QRect letters;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (qRed(a.pixel(x, y)) > 40) letters |= QRect(x, y, 1, 1);
        const int reach = int(std::ceil(1.5 * ratio)) + 1;
        const QRect rim = letters.adjusted(-reach, -reach, reach, reach);
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                if (qGray(q) > qGray(p) + 60 && qRed(p) < 40) {
                    ++whiter;
                    astray += !rim.contains(x, y);
                }
                // The letters themselves (pure red) are drawn over the halo.
                if (p == 0xFFFF0000u && q != p) ++changedInk;
            }
        EXPECT_GT(whiter, 60 * ratio) << "a light rim around the letters, ratio " << ratio;
        EXPECT_EQ(astray, 0) << "ratio " << ratio;
        EXPECT_EQ(changedInk, 0);
    }
}

TEST(DevicePixels, CopiesBetweenBoxesAndScaledIcons) {
    PictureBox src = whiteBox(2), dst = whiteBox(2);
    src.foreColor = 0xFF0000;
    src.fillColor = 0xFF0000;
    src.fillStyle = 0;
    src.box(10, 10, 20, 20);
    dst.bitBlt(50, 40, 30, 30, src, 5, 5, RasterOp::SrcCopy);
    EXPECT_EQ(dst.changedRect(), QRect(0, 0, 200, 100)) << "resize cleared all";
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(dst.image().pixel(100 + x, 80 + y), src.image().pixel(10 + x, 10 + y));
    // A 16-pixel icon is scaled to 32 device pixels: mask AND, picture OR.
    QImage mask(16, 16, QImage::Format_RGB32), pic(16, 16, QImage::Format_RGB32);
    mask.fill(Qt::white);
    pic.fill(Qt::black);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) {
            mask.setPixel(x, y, 0xFF000000);
            pic.setPixel(x, y, 0xFF00FF00);
        }
    for (bool smooth : {false, true}) {
        PictureBox b = whiteBox(2);
        b.smoothing = smooth;
        b.forgetChanges();
        b.drawScaledIcon(100, 50, 16, mask, pic);
        EXPECT_TRUE(b.changedRect().contains(QRect(100, 50, 16, 16)));
        EXPECT_EQ(b.image().pixel(2 * 108, 2 * 58), 0xFF00FF00u) << "inside";
        EXPECT_EQ(b.image().pixel(2 * 102, 2 * 52), 0xFFFFFFFFu) << "clear part";
        if (smooth) continue;
        EXPECT_EQ(b.image().pixel(2 * 104, 2 * 58), 0xFF00FF00u) << "edge at 4 logical = 8 device";
        EXPECT_EQ(b.image().pixel(2 * 104 - 1, 2 * 58), 0xFFFFFFFFu);
    }
}
