// The map at device pixel ratios above 1: the picture keeps its logical
// geometry, and pointer feedback (highlight and wipe, pan preview, Esc)
// leaves no stray device pixel.
#include <gtest/gtest.h>

#include "navfixture.h"
#include "view/navigation.h"
#include "view/pick.h"

using namespace urbica;

namespace {

struct Nav : testcity::City {
    NavigationState nav;
    NavContext c{s, boxes, hooks, nav, {}};
    explicit Nav(double ratio, bool smooth = false) {
        hooks.resetPointerMode = [this] {
            nav.pointerMode = 0;
            nav.persistentPicture = true;
        };
        hooks.clearPick = [this] { nav.pick.found = 0; };
        s.settings.smoothing = smooth ? 1 : 0;
        setPictureRatio(boxes, ratio);
        buildOverview(s, boxes, hooks);
        show(0, 0, 4000);  // 10 units per pixel
    }
};

}  // namespace

TEST(DevicePixels, MapPointsLandWhereTheyLandScaled) {
    Nav one(1), two(2);
    ASSERT_TRUE(one.ok && two.ok);
    EXPECT_EQ(two.boxes.map.image().size(), QSize(800, 600));
    EXPECT_EQ(two.boxes.hidepage.image().size(), QSize(800, 600));
    EXPECT_EQ(two.boxes.nav.image().size(), QSize(200, 200));
    EXPECT_EQ(two.s.view.unitsPerPixel, one.s.view.unitsPerPixel) << "the view is logical";
    // Without smoothing every device pixel is its logical pixel's colour,
    // away from the text of the labels.
    const QImage &a = one.boxes.hidepage.image(), &b = two.boxes.hidepage.image();
    int differ = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (a.pixel(x, y) != b.pixel(2 * x, 2 * y) &&
                a.pixel(x, y) != b.pixel(2 * x + 1, 2 * y + 1))
                ++differ;
    EXPECT_LT(differ, 400 * 300 / 50) << "only along edges and letters";
    // The district (1000..2000) fills logical pixels 100..200.
    EXPECT_EQ(b.pixel(2 * 150, 2 * 150) & 0xFFFFFF, a.pixel(150, 150) & 0xFFFFFF);
    EXPECT_EQ(pickAt(two.s, two.boxes, two.hooks, 1500, 1500).found,
              pickAt(one.s, one.boxes, one.hooks, 1500, 1500).found)
        << "hit tests stay in map units";
}

TEST(DevicePixels, HighlightAndWipeLeaveThePictureAsItWas) {
    for (double ratio : {1.25, 1.5, 2.0, 3.0}) {
        for (bool smooth : {false, true}) {
            Nav n(ratio, smooth);
            ASSERT_TRUE(n.ok);
            const QImage before = n.boxes.map.image().copy();
            for (QPointF p : {QPointF(1500, 1500), QPointF(2700, 1200), QPointF(500, 2500)}) {
                PickResult pick = pickAt(n.s, n.boxes, n.hooks, p.x(), p.y());
                ASSERT_EQ(pick.found, 1) << ratio;
                EXPECT_NE(n.boxes.map.image(), before) << "highlighted, ratio " << ratio;
                EXPECT_FALSE(pointerStillOver(n.s, n.boxes, n.hooks, pick, -100, -100));
                EXPECT_EQ(n.boxes.map.image(), before)
                    << "wiped to the pixel, ratio " << ratio << " smooth " << smooth;
            }
        }
    }
}

TEST(DevicePixels, PanPreviewIsTheShiftedPictureOrPaperAndEscRestores) {
    for (double ratio : {1.5, 2.0}) {
        Nav n(ratio);
        ASSERT_TRUE(n.ok);
        const QImage picture = n.boxes.hidepage.image().copy();
        armPan(n.c);
        mapMouseDown(n.c, MouseButton::Left, 2000, 2000);
        mapMouseMove(n.c, 2330, 1790);  // 33 pixels right, 21 up
        const QImage& screen = n.nav.screen.image();
        ASSERT_EQ(screen.size(), picture.size());
        const QRect shifted = n.boxes.map.deviceRect(QRect(33, -21, 400, 300));
        const QRgb paper = QColor(Qt::white).rgb();
        int fromPicture = 0, stray = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const QRgb p = screen.pixel(x, y);
                const int sx = x - shifted.x(), sy = y - shifted.y();
                const bool inside =
                    sx >= 0 && sy >= 0 && sx < picture.width() && sy < picture.height();
                if (inside && p == picture.pixel(sx, sy))
                    ++fromPicture;
                else if (p != paper)
                    ++stray;
            }
        EXPECT_EQ(stray, 0) << "ratio " << ratio;
        EXPECT_GT(fromPicture, screen.width() * screen.height() * 8 / 10);
        EXPECT_EQ(n.boxes.map.image(), picture) << "the persistent picture is untouched";
        mapKeyPress(n.c, kKeyEscape);
        EXPECT_TRUE(n.nav.persistentPicture);
        EXPECT_EQ(n.boxes.map.image(), picture);
    }
}

TEST(DevicePixels, ANewRatioClearsThePicturesOnce) {
    Nav n(1);
    EXPECT_FALSE(setPictureRatio(n.boxes, 1));
    EXPECT_TRUE(setPictureRatio(n.boxes, 2));
    EXPECT_EQ(n.boxes.originalpage.image().size(), QSize(800, 600));
    EXPECT_EQ(n.boxes.tempnav.devicePixelRatio(), 2);
    EXPECT_FALSE(setPictureRatio(n.boxes, 2));
}
