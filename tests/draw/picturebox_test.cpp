#include "draw/picturebox.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>

using namespace urbica;

namespace {

QRgb at(const PictureBox& b, int x, int y) { return b.image().pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(PictureBox, InnerSizeAndScale) {
    PictureBox b(104, 54);
    EXPECT_EQ(b.innerWidth(), 100);
    EXPECT_EQ(b.innerHeight(), 50);
    b.setScale(1000, 2000, 200, 100);
    EXPECT_DOUBLE_EQ(b.xFactor(), 0.5);
    EXPECT_DOUBLE_EQ(b.toPixelX(1100), 50);
    EXPECT_DOUBLE_EQ(b.toPixelY(2100), 50);
}

TEST(PictureBox, ColoursKeepRedInTheLowByte) {
    QColor c = colorFromRgbInt(0x0000FF);
    EXPECT_EQ(c, QColor(255, 0, 0));
    EXPECT_EQ(rgbIntFromColor(QColor(1, 2, 3)), 0x030201);
    EXPECT_EQ(colorFromRgbInt(14737632), QColor(0xE0, 0xE0, 0xE0));
}

TEST(PictureBox, RasterOpsCombineBits) {
    PictureBox dst(8, 8), src(8, 8);
    dst.image().fill(QColor(0xF0, 0x0F, 0xAA));
    src.image().fill(QColor(0x3C, 0x3C, 0x0F));
    PictureBox a = dst;
    a.bitBlt(0, 0, 2, 2, src, 0, 0, RasterOp::SrcAnd);
    EXPECT_EQ(at(a, 0, 0), qRgb(0x30, 0x0C, 0x0A) & 0xFFFFFF);
    EXPECT_EQ(at(a, 2, 2), qRgb(0xF0, 0x0F, 0xAA) & 0xFFFFFF) << "outside the copied area";
    PictureBox o = dst;
    o.bitBlt(0, 0, 4, 4, src, 0, 0, RasterOp::SrcPaint);
    EXPECT_EQ(at(o, 1, 1), qRgb(0xFC, 0x3F, 0xAF) & 0xFFFFFF);
    PictureBox x = dst;
    x.bitBlt(0, 0, 4, 4, src, 0, 0, RasterOp::SrcInvert);
    EXPECT_EQ(at(x, 3, 3), qRgb(0xCC, 0x33, 0xA5) & 0xFFFFFF);
    x.bitBlt(0, 0, 4, 4, src, 0, 0, RasterOp::SrcInvert);
    EXPECT_EQ(at(x, 3, 3), at(dst, 3, 3)) << "XOR twice restores";
    // Rectangles reaching past either picture are clipped, not read out of bounds.
    PictureBox c = dst;
    c.bitBlt(-2, 2, 100, 100, src, 0, 0, RasterOp::SrcCopy);
    EXPECT_EQ(at(c, 0, 2), qRgb(0x3C, 0x3C, 0x0F) & 0xFFFFFF);
    EXPECT_EQ(at(c, 0, 1), at(dst, 0, 1));
}

TEST(PictureBox, PolygonFillsAndTransparentFillDoesNot) {
    PictureBox b(24, 24);
    b.backColor = 0xFFFFFF;
    b.cls();
    b.foreColor = 0x000000;
    b.fillColor = 0x0000FF;
    b.fillStyle = 0;
    QPoint square[] = {{2, 2}, {15, 2}, {15, 15}, {2, 15}};
    b.polygon(square, 4);
    EXPECT_EQ(at(b, 8, 8), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(at(b, 2, 8), 0u) << "outline in the pen colour";
    b.cls();
    b.fillStyle = 1;
    b.polygon(square, 4);
    EXPECT_EQ(at(b, 8, 8), 0xFFFFFFu);
}

TEST(PictureBox, TwelvePointFontIsSixteenPixelsHigh) {
    PictureBox b(10, 10);
    b.fontSize = 12;
    EXPECT_EQ(b.currentLogFont().height, 16);
    b.fontBold = true;
    EXPECT_EQ(b.currentLogFont().weight, 700);
    LogFont f;
    f.height = 16;
    f.faceName = "Arial Cyr";
    QFontMetricsF m(fontFromLogFont(f));
    EXPECT_NEAR(m.ascent() + m.descent(), 16.0, 1.0) << "a positive height is the cell height";
}

TEST(PictureBox, TextCellStartsAtThePoint) {
    PictureBox b(104, 104);
    b.backColor = 0xFFFFFF;
    b.cls();
    LogFont f;
    f.height = 20;
    b.textOut(50, 50, "W", f);
    bool anyAbove = false, anyBelow = false;
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 50; ++y) anyAbove |= at(b, x, y) != 0xFFFFFFu;
        for (int y = 50; y < 100; ++y) anyBelow |= at(b, x, y) != 0xFFFFFFu;
    }
    EXPECT_FALSE(anyAbove) << "the text hangs below its point";
    EXPECT_TRUE(anyBelow);
    // Turned by 180 degrees it hangs above and to the left.
    b.cls();
    f.escapement = 1800;
    b.textOut(50, 50, "W", f);
    anyBelow = false;
    for (int x = 0; x < 100; ++x)
        for (int y = 52; y < 100; ++y) anyBelow |= at(b, x, y) != 0xFFFFFFu;
    EXPECT_FALSE(anyBelow);
}

TEST(PictureBox, WholePictureCopyKeepsBothBoxesApart) {
    PictureBox a(64, 48), b(64, 48);
    a.setScale(0, 0, 60, 44);
    a.foreColor = 0x0000FF;
    a.line(0, 0, 60, 44);
    b.bitBlt(0, 0, 60, 44, a, 0, 0, RasterOp::SrcCopy);
    ASSERT_EQ(b.image(), a.image());
    const QImage before = a.image().copy();

    // Every way of drawing on the copy leaves the original alone, and back.
    b.setScale(0, 0, 60, 44);
    b.foreColor = 0x00FF00;
    b.line(0, 44, 60, 0);
    EXPECT_EQ(a.image(), before);
    b.bitBlt(0, 0, 60, 44, a, 0, 0, RasterOp::SrcCopy);
    b.textOut(2, 2, QStringLiteral("Ж"), b.currentLogFont());
    EXPECT_EQ(a.image(), before);
    b.bitBlt(0, 0, 60, 44, a, 0, 0, RasterOp::SrcCopy);
    b.bitBlt(5, 5, 10, 10, a, 20, 20, RasterOp::SrcInvert);
    EXPECT_EQ(a.image(), before);
    b.bitBlt(0, 0, 60, 44, a, 0, 0, RasterOp::SrcCopy);
    b.backColor = 0x123456;
    b.cls();
    EXPECT_EQ(a.image(), before);
    EXPECT_EQ(b.image().pixel(30, 22) & 0xFFFFFF, colorFromRgbInt(0x123456).rgb() & 0xFFFFFF);
    b.bitBlt(0, 0, 60, 44, a, 0, 0, RasterOp::SrcCopy);
    a.cls();
    EXPECT_EQ(b.image(), before);
}
