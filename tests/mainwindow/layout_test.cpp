#include "mainwindow/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace urbica;

namespace {

// A window at its design size: client 565 x 388, a 24-pixel toolbar, a
// 20-pixel info line, coordinates of the area under the toolbar.
LayoutInput designWindow() {
    LayoutInput in;
    in.clientHeight = 388;
    in.outerWidth = 565 + 8;
    in.toolbarHeight = 24;
    in.selstHeight = 20;
    in.mapLeft = 0;
    in.mapTop = 20;
    in.navTop = 0;
    in.findnameHeight = 22;
    in.showkeyWidth = 97;
    in.findkeyWidth = 97;
    in.showkeyHeight = 25;
    return in;
}

}  // namespace

TEST(Layout, OverviewColumnBesideTheMap) {
    const LayoutResult r = computeLayout(designWindow());
    EXPECT_TRUE(r.quickFindVisible);
    EXPECT_EQ(r.map, QRect(0, 20, 359, 347));  // 388 - 24 - 20 + 3 high, 573 - 204 - 10 wide
    EXPECT_EQ(r.selst, QRect(0, 0, 358, 20));
    EXPECT_EQ(r.nav, QRect(361, 0, 204, 204));
    EXPECT_EQ(r.nav.right() + 1, 565) << "the overview ends at the client's right edge";
    EXPECT_EQ(r.findname, QRect(361, 208, 204, 22));
    // The map reaches 3 pixels past the client area (388 - 24 high from the
    // info line's top); the buttons end at the client's bottom and the list
    // fills the space above them.
    EXPECT_EQ(r.map.bottom() + 1, 388 - 24 + 3);
    EXPECT_EQ(r.showkey, QRect(361, 339, 97, 25));
    EXPECT_EQ(r.showkey.bottom() + 1, 388 - 24);
    EXPECT_EQ(r.findkey, QRect(468, 339, 97, 25));
    EXPECT_EQ(r.findList, QRect(361, 234, 204, 101));
    EXPECT_EQ(r.findList.bottom() + 1 + 4, r.showkey.top());
    EXPECT_EQ(r.pageSize, QSize(359, 347));
}

TEST(Layout, AllwindowGivesTheMapTheWholeWidth) {
    LayoutInput in = designWindow();
    in.allwindow = true;
    const LayoutResult r = computeLayout(in);
    EXPECT_FALSE(r.quickFindVisible);
    EXPECT_EQ(r.map, QRect(0, 20, 566, 347));
    EXPECT_EQ(r.selst.width(), 565);
    EXPECT_EQ(r.pageSize, QSize(566, 347));
}

TEST(Layout, ViewKeepsWidthAndVerticalCentre) {
    LayoutInput in = designWindow();
    in.viewTop = 5000;
    in.viewWidth = 1000;
    in.viewHeight = 2000;
    const LayoutResult r = computeLayout(in);
    const float expected = 1000.0f * (347 - 4) / (359 - 4);
    EXPECT_FLOAT_EQ(r.viewHeight, expected);
    EXPECT_NEAR(r.viewTop + r.viewHeight / 2, 5000 + 2000 / 2, 1e-3);

    // The same pass with the overview hidden: a wider map, a lower view.
    in.allwindow = true;
    const LayoutResult wide = computeLayout(in);
    EXPECT_FLOAT_EQ(wide.viewHeight, 1000.0f * 343 / 562);
    EXPECT_NEAR(wide.viewTop + wide.viewHeight / 2, 6000, 1e-3);
}

TEST(Layout, FirstPassTakesTheStartViewTopAsItIs) {
    LayoutInput in = designWindow();
    in.viewTop = 700;
    in.viewWidth = 1000;
    in.viewHeight = 0;  // no picture yet
    const LayoutResult r = computeLayout(in);
    EXPECT_FLOAT_EQ(r.viewTop, 700);
    EXPECT_GT(r.viewHeight, 0);
}

TEST(Layout, MapTooSmallForAPictureLeavesTheView) {
    LayoutInput in = designWindow();
    in.outerWidth = 204 + 10 + 4;  // map 4 pixels wide: no inner width
    in.viewTop = 10;
    in.viewWidth = 100;
    in.viewHeight = 50;
    const LayoutResult r = computeLayout(in);
    EXPECT_EQ(r.map.width(), 4);
    EXPECT_FLOAT_EQ(r.viewTop, 10);
    EXPECT_FLOAT_EQ(r.viewHeight, 50);
    EXPECT_FALSE(std::isnan(r.viewHeight));
}

TEST(Layout, SmallestWindowIs400By415) {
    EXPECT_EQ(snapToMinimumSize(QSize(300, 500)), QSize(400, 500));
    EXPECT_EQ(snapToMinimumSize(QSize(500, 300)), QSize(500, 415));
    EXPECT_EQ(snapToMinimumSize(QSize(10, 10)), QSize(400, 415));
    EXPECT_EQ(snapToMinimumSize(QSize(400, 415)), QSize(400, 415));
    EXPECT_EQ(snapToMinimumSize(QSize(800, 600)), QSize(800, 600));
    EXPECT_EQ(twipsToPixels(6000), kMinWindowWidth);
    EXPECT_EQ(twipsToPixels(6225), kMinWindowHeight);
}

TEST(Layout, TwipsConvertAt15PerPixel) {
    EXPECT_EQ(twipsToPixels(1500), 100);
    EXPECT_EQ(twipsToPixels(8475), kDesignClientWidth);
    EXPECT_EQ(twipsToPixels(7.5), 0);  // half a pixel goes to the even neighbour
    EXPECT_EQ(twipsToPixels(22.5), 2);
    EXPECT_EQ(twipsToPixels(-1500), -100);
    EXPECT_EQ(twipsToPixels(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(twipsToPixels(1e300), 1000000);
    EXPECT_DOUBLE_EQ(pixelsToTwips(565), 8475);
}

TEST(Layout, StoredRectangleIsBroughtOntoTheScreen) {
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(fitOntoScreen(QRect(100, 100, 600, 500), screen), QRect(100, 100, 600, 500));
    EXPECT_EQ(fitOntoScreen(QRect(2500, 1200, 600, 500), screen), QRect(424, 268, 600, 500))
        << "moved back, size kept";
    EXPECT_EQ(fitOntoScreen(QRect(100, 100, 1280, 800), screen), QRect(0, 0, 1024, 768))
        << "no larger than the screen";
    EXPECT_EQ(fitOntoScreen(QRect(-700, -20, 600, 500), screen), QRect(0, 0, 600, 500));
    EXPECT_EQ(fitOntoScreen(QRect(2000, 100, 600, 500), QRect(1920, 0, 1280, 1024)),
              QRect(2000, 100, 600, 500))
        << "a second screen's own area";
    EXPECT_EQ(fitOntoScreen(QRect(5, 5, 600, 500), QRect()), QRect(5, 5, 600, 500));
}
