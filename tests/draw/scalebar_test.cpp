#include "draw/scalebar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/picturebox.h"

using namespace urbica;

namespace {

// The expected bar found the slow way: every round length from 1 m to 10,000 km,
// the first whose pixels lie in [width/4, width/3], else the one nearest by ratio.
double expectedMetres(double metresPerPixel, int width) {
    const double low = width / 4.0, high = width / 3.0;
    double best = 0, bestMiss = 1e300;
    for (double power = 1; power <= 1e7; power *= 10) {
        for (double step : {1, 2, 5}) {
            const double px = step * power / metresPerPixel;
            if (px >= low && px <= high) return step * power;
            const double miss = px < low ? low / px : px / high;
            if (miss < bestMiss) bestMiss = miss, best = step * power;
        }
    }
    return best;
}

}  // namespace

TEST(ScaleBar, RoundLengthAndTextAtThreeZooms) {
    struct Case {
        double metresPerPixel;
        int width;
        const char* text;
    } cases[] = {
        {0.64, 800, "200 м"},   // a close view: no length inside, the nearest
        {4.0, 1000, "1 км"},    // a district
        {60.0, 1276, "20 км"},  // the whole city
    };
    for (const Case& c : cases) {
        const ScaleBar bar = scaleBarFor(c.metresPerPixel, c.width);
        EXPECT_EQ(bar.metres, expectedMetres(c.metresPerPixel, c.width)) << c.text;
        EXPECT_EQ(bar.text.toStdString(), c.text);
        EXPECT_DOUBLE_EQ(bar.pixels, bar.metres / c.metresPerPixel);
    }
    EXPECT_EQ(scaleBarText(500), "500 м");
    EXPECT_EQ(scaleBarText(2000), "2 км");
    EXPECT_EQ(scaleBarFor(0, 800).metres, 0) << "no scale, no bar";
    EXPECT_EQ(scaleBarFor(1, 0).metres, 0);
    EXPECT_EQ(scaleBarFor(std::nan(""), 800).metres, 0);
}

TEST(ScaleBar, DrawnInTheLowerLeftCornerOnly) {
    PictureBox box;
    box.resize(404, 304);
    box.setScale(1000, 2000, 400, 300);
    box.cls();
    const ScaleBar bar = scaleBarFor(1, 400);
    drawScaleBar(box, bar, 400, 300);
    const QImage& image = box.image();
    const QRgb white = image.pixel(0, 0);
    EXPECT_NE(image.pixel(20, 290), white) << "the bar's line";
    EXPECT_NE(image.pixel(10 + int(bar.pixels), 287), white) << "its right end";
    EXPECT_EQ(image.pixel(10 + int(bar.pixels) + 8, 290), white) << "nothing past it";
    EXPECT_EQ(image.pixel(200, 100), white);
    EXPECT_EQ(box.scaleLeft(), 1000) << "the map scale is kept";
    EXPECT_EQ(box.scaleWidth(), 400);
}
