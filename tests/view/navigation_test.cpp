#include "view/navigation.h"

#include <gtest/gtest.h>

#include "navfixture.h"

using namespace urbica;

namespace {

struct Nav : testcity::City {
    NavigationState nav;
    NavContext c{s, boxes, hooks, nav, {}};
    Nav() {
        hooks.resetPointerMode = [this] {
            nav.pointerMode = 0;
            nav.persistentPicture = true;
        };
        hooks.hideFragment = [this] { nav.frag.visible = false; };
        hooks.clearPick = [this] { nav.pick.found = 0; };
        show(2000, 2000, 4000);  // 10 units per pixel, 3000 high
    }
};

}  // namespace

TEST(MapPointer, FrameDrawnUpAndLeftKeepsTheViewProportions) {
    Nav n;
    mapMouseDown(n.c, MouseButton::Right, 4000, 3000);
    EXPECT_EQ(n.nav.pointerMode, kModeDrawingFrame);
    mapMouseMove(n.c, 3000, 2900);  // the horizontal pull dominates
    EXPECT_DOUBLE_EQ(n.nav.frag.width, 1000);
    EXPECT_DOUBLE_EQ(n.nav.frag.height, 750);
    EXPECT_DOUBLE_EQ(n.nav.frag.left + n.nav.frag.width, 4000);
    EXPECT_DOUBLE_EQ(n.nav.frag.top + n.nav.frag.height, 3000);
    mapMouseMove(n.c, 3900, 2000);  // now the vertical one
    EXPECT_DOUBLE_EQ(n.nav.frag.height, 1000);
    EXPECT_NEAR(n.nav.frag.width, 1333.33, 0.01);
    EXPECT_DOUBLE_EQ(n.nav.frag.left + n.nav.frag.width, 4000);
    // Released with the right button: zoomed straight into the frame.
    const int redraws = n.redraws;
    mapMouseUp(n.c, MouseButton::Right, 3900, 2000);
    EXPECT_EQ(n.redraws, redraws + 1);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    EXPECT_FALSE(n.nav.frag.visible);
    EXPECT_NEAR(n.s.view.viewLeft, 4000 - 1333.33, 0.01);
    EXPECT_FLOAT_EQ(n.s.view.viewTop, 2000);
    EXPECT_EQ(n.s.history.historyPos, 2);
}

TEST(MapPointer, FrameMovedByTheLeftButtonAndAppliedByDoubleClick) {
    Nav n;
    showFragmentFrame(n.c);
    EXPECT_EQ(n.nav.pointerMode, kModeFrameShown);
    EXPECT_DOUBLE_EQ(n.nav.frag.width, 4000 / 30.0);
    EXPECT_DOUBLE_EQ(n.nav.frag.left + n.nav.frag.width / 2, 4000);
    EXPECT_DOUBLE_EQ(n.nav.frag.top + n.nav.frag.height / 2, 3500);
    mapMouseMove(n.c, 4000, 3500);
    EXPECT_EQ(n.nav.mapPointer, PointerShape::SizeAll);
    mapMouseMove(n.c, 2100, 2100);
    EXPECT_EQ(n.nav.mapPointer, PointerShape::Default);
    mapMouseDown(n.c, MouseButton::Left, 4000, 3500);
    EXPECT_EQ(n.nav.pointerMode, kModeMovingFrame);
    mapMouseMove(n.c, 4500, 3600);
    mapMouseUp(n.c, MouseButton::Left, 4500, 3600);
    EXPECT_EQ(n.nav.pointerMode, kModeFrameShown);
    EXPECT_NEAR(n.nav.frag.left + n.nav.frag.width / 2, 4500, 1e-3);
    // "+" grows it about its centre; "-" shrinks it, never below 1/25 of the view.
    mapKeyPress(n.c, '+');
    EXPECT_DOUBLE_EQ(n.nav.frag.width, 4000 / 30.0 + 100);
    EXPECT_NEAR(n.nav.frag.left + n.nav.frag.width / 2, 4500, 1e-3);
    for (int i = 0; i < 10; ++i) mapKeyPress(n.c, '-');
    EXPECT_GE(n.nav.frag.width, 4000 / 25.0 - 100);
    EXPECT_LE(n.nav.frag.width, 4000 / 25.0);
    const double frameLeft = n.nav.frag.left, frameWidth = n.nav.frag.width;
    mapDoubleClick(n.c);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    EXPECT_EQ(n.s.history.historyPos, 2);
    // The frame's width is below the zoom-in limit: the centre is kept.
    EXPECT_FLOAT_EQ(n.s.view.unitsPerPixel, 0.5f);
    EXPECT_NEAR(n.s.view.viewLeft + n.s.view.viewWidth / 2, frameLeft + frameWidth / 2, 0.01);
}

TEST(MapPointer, TinyFrameIsOnlyDismissed) {
    Nav n;
    showFragmentFrame(n.c);
    mapMouseDown(n.c, MouseButton::Left, 2500, 2500);  // outside: a new frame
    EXPECT_EQ(n.nav.pointerMode, kModeDrawingFrame);
    mapMouseMove(n.c, 2520, 2515);  // two pixels wide
    mapMouseUp(n.c, MouseButton::Left, 2520, 2515);
    EXPECT_EQ(n.nav.pointerMode, kModeFrameShown);
    const int redraws = n.redraws;
    mapKeyPress(n.c, kKeyEnter);
    EXPECT_EQ(n.redraws, redraws);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    EXPECT_FALSE(n.nav.frag.visible);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000);
}

TEST(MapPointer, PanPreviewShiftsACopyAndEscRestores) {
    Nav n;
    const QImage picture = n.boxes.map.image();
    armPan(n.c);
    EXPECT_EQ(n.nav.mapPointer, PointerShape::SizeAll);
    mapMouseDown(n.c, MouseButton::Left, 3000, 3000);
    EXPECT_EQ(n.nav.pointerMode, kModePanning);
    EXPECT_FALSE(n.nav.persistentPicture);
    mapMouseMove(n.c, 3500, 2800);  // 50 pixels right, 20 up
    const QImage& screen = n.nav.screen.image();
    EXPECT_EQ(screen.pixel(60, 10), picture.pixel(10, 30)) << "shifted copy";
    const QRgb back = QColor(Qt::white).rgb();
    EXPECT_EQ(screen.pixel(49, 100), back) << "bare strip on the left";
    EXPECT_EQ(screen.pixel(200, 290), back) << "bare strip at the bottom";
    EXPECT_EQ(n.boxes.map.image(), picture) << "the persistent picture is untouched";
    mapKeyPress(n.c, kKeyEscape);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    EXPECT_TRUE(n.nav.persistentPicture);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 2000);
    EXPECT_EQ(n.s.history.historyPos, 1);
}

TEST(MapPointer, PanMovesTheViewByTheDragUnlessItIsOnePixel) {
    Nav n;
    n.nav.rightButtonTool = kToolPan;
    mapMouseDown(n.c, MouseButton::Right, 3000, 3000);
    mapMouseMove(n.c, 3010, 2990);
    mapMouseUp(n.c, MouseButton::Right, 3010, 2990);  // one pixel each way
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 2000);
    EXPECT_EQ(n.s.history.historyPos, 1);
    EXPECT_TRUE(n.nav.persistentPicture);
    mapMouseDown(n.c, MouseButton::Right, 3000, 3000);
    mapMouseUp(n.c, MouseButton::Right, 3400, 2700);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 1600);
    EXPECT_FLOAT_EQ(n.s.view.viewTop, 2300);
    EXPECT_EQ(n.s.history.historyPos, 2);
}

TEST(MapPointer, ExportFrameIsHiddenBeforeTheFileIsAsked) {
    Nav n;
    bool shownWhileAsked = true;
    FrameShape exported{};
    n.c.exportFrame = [&](const FrameShape& f) {
        shownWhileAsked = n.nav.frag.visible;
        exported = f;
    };
    armExport(n.c);
    mapMouseDown(n.c, MouseButton::Left, 3000, 3000);
    mapMouseMove(n.c, 3500, 3300);
    EXPECT_TRUE(n.nav.frag.visible);
    mapMouseUp(n.c, MouseButton::Left, 3500, 3300);
    EXPECT_FALSE(shownWhileAsked);
    EXPECT_FALSE(n.nav.frag.visible);
    EXPECT_DOUBLE_EQ(exported.width, 500);
    EXPECT_DOUBLE_EQ(exported.height, 300);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
}

TEST(MapPointer, PressesDuringARedrawAreDropped) {
    Nav n;
    n.s.view.busy = true;
    mapMouseDown(n.c, MouseButton::Right, 3000, 3000);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    wheelZoom(n.c, 3000, 3000, 120);
    arrowPan(n.c, 1, 0);
    EXPECT_EQ(n.s.history.historyPos, 1);
}

TEST(ViewCommands, ZoomStepsAndStartView) {
    Nav n;
    zoomIn(n.c);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 2000);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 3000);
    EXPECT_FLOAT_EQ(n.s.view.viewTop, 2750);
    zoomOut(n.c);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 3000) << "in by 2, out by 1.5";
    EXPECT_FLOAT_EQ(n.s.view.viewLeft + n.s.view.viewWidth / 2, 4000);
    toStartView(n.c);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 1000);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000);
    EXPECT_EQ(n.s.history.historyPos, 4);
}

TEST(ViewCommands, HistoryBackAndForwardAddNoEntries) {
    Nav n;
    n.show(100, 100, 2000);
    n.show(200, 200, 3000);
    EXPECT_FALSE(historyForward(n.c));
    ASSERT_TRUE(historyBack(n.c));
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 2000);
    ASSERT_TRUE(historyBack(n.c));
    EXPECT_FALSE(historyBack(n.c));
    EXPECT_EQ(n.s.history.historyPos, 1);
    ASSERT_TRUE(historyForward(n.c));
    EXPECT_EQ(n.s.history.upperBound(), 3);
    zoomIn(n.c);  // a new view drops the later ones
    EXPECT_EQ(n.s.history.upperBound(), 3);
    EXPECT_FALSE(historyForward(n.c));
}

TEST(ViewCommands, WheelKeepsThePointUnderThePointer) {
    Nav n;
    const double x = 2500, y = 4000;
    wheelZoom(n.c, x, y, 120);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 2000);
    EXPECT_NEAR((x - n.s.view.viewLeft) / n.s.view.unitsPerPixel, 50, 1e-3);
    EXPECT_NEAR((y - n.s.view.viewTop) / n.s.view.unitsPerPixel, 200, 1e-3);
    wheelZoom(n.c, x, y, -120);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000) << "a notch out undoes a notch in";
    EXPECT_NEAR((x - n.s.view.viewLeft) / n.s.view.unitsPerPixel, 50, 1e-3);
    EXPECT_EQ(n.s.history.historyPos, 3);
    wheelZoom(n.c, x, y, 60);  // half a notch: nothing yet
    EXPECT_EQ(n.s.history.historyPos, 3);
    // At the zoom-in limit the point stays put too, and a further turn does nothing.
    for (int i = 0; i < 10; ++i) wheelZoom(n.c, x, y, 120);
    EXPECT_FLOAT_EQ(n.s.view.unitsPerPixel, 0.5f);
    EXPECT_NEAR((x - n.s.view.viewLeft) / n.s.view.unitsPerPixel, 50, 1e-2);
    const int pos = n.s.history.historyPos;
    wheelZoom(n.c, x, y, 120);
    EXPECT_EQ(n.s.history.historyPos, pos);
}

TEST(ViewCommands, ArrowKeysPanByATenth) {
    Nav n;
    arrowPan(n.c, 1, 0);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 2400);
    arrowPan(n.c, 0, -1);
    EXPECT_FLOAT_EQ(n.s.view.viewTop, 1700);
    EXPECT_EQ(n.s.history.historyPos, 3);
    // Not while a frame is being drawn.
    mapMouseDown(n.c, MouseButton::Right, 3000, 3000);
    arrowPan(n.c, 1, 0);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 2400);
}

TEST(Overview, DragMovesOnlyThePosition) {
    Nav n;
    // navfrag is (2000, 2000, 4000, 3000).
    navMouseDown(n.c, MouseButton::Left, 1000, 1000);
    EXPECT_EQ(n.nav.navMode, 0) << "outside the view frame";
    navMouseDown(n.c, MouseButton::Left, 3000, 3000);
    EXPECT_EQ(n.nav.navMode, 2);
    navMouseMove(n.c, 3500, 2500);
    EXPECT_DOUBLE_EQ(n.boxes.navfrag.left, 2500);
    navMouseUp(n.c, MouseButton::Left, 3500, 2500);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 2500);
    EXPECT_FLOAT_EQ(n.s.view.viewTop, 1500);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000);
    EXPECT_EQ(n.s.history.historyPos, 2);
}

TEST(Overview, EscPutsTheFrameBackWithoutRedraw) {
    Nav n;
    navMouseDown(n.c, MouseButton::Left, 3000, 3000);
    navMouseMove(n.c, 5000, 5000);
    const int redraws = n.redraws;
    navKeyPress(n.c, kKeyEscape);
    EXPECT_EQ(n.nav.navMode, 0);
    EXPECT_DOUBLE_EQ(n.boxes.navfrag.left, 2000);
    navMouseUp(n.c, MouseButton::Left, 5000, 5000);
    EXPECT_EQ(n.redraws, redraws);
}

TEST(Overview, RubberBandUpAndLeftAndAClickWithoutDrag) {
    Nav n;
    navMouseDown(n.c, MouseButton::Right, 6000, 5000);
    EXPECT_TRUE(n.nav.nfrag.visible);
    navMouseMove(n.c, 5000, 4900);  // plain comparison: |dx| > |dy|
    EXPECT_DOUBLE_EQ(n.nav.nfrag.width, 1000);
    EXPECT_DOUBLE_EQ(n.nav.nfrag.height, 750);
    EXPECT_DOUBLE_EQ(n.nav.nfrag.left + n.nav.nfrag.width, 6000);
    EXPECT_DOUBLE_EQ(n.nav.nfrag.top + n.nav.nfrag.height, 5000);
    navMouseUp(n.c, MouseButton::Right, 5000, 4900);
    EXPECT_FALSE(n.nav.nfrag.visible);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, 5000);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 1000);
    // A click without drag: the closest allowed zoom centred on the point.
    navMouseDown(n.c, MouseButton::Right, 7000, 6000);
    navMouseUp(n.c, MouseButton::Right, 7000, 6000);
    EXPECT_FLOAT_EQ(n.s.view.unitsPerPixel, 0.5f);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft + n.s.view.viewWidth / 2, 7000);
    EXPECT_FLOAT_EQ(n.s.view.viewTop + n.s.view.viewHeight / 2, 6000);
}

TEST(Overview, RubberBandOneMapPixelWideIsTakenAsDrawn) {
    Nav n;
    // Draw something first so that an earlier rubber band exists.
    navMouseDown(n.c, MouseButton::Right, 1000, 1000);
    navMouseMove(n.c, 3000, 2500);
    navMouseUp(n.c, MouseButton::Right, 3000, 2500);
    const float u = n.s.view.unitsPerPixel;  // 5 units per pixel now
    navMouseDown(n.c, MouseButton::Right, 6000, 5000);
    navMouseMove(n.c, 6000 + u, 5000 + 0.5 * u);
    ASSERT_DOUBLE_EQ(n.nav.nfrag.width, u);
    navMouseUp(n.c, MouseButton::Right, 6000 + u, 5000 + 0.5 * u);
    EXPECT_NEAR(n.s.view.viewLeft + n.s.view.viewWidth / 2, 6000 + u / 2, 0.01);
}

TEST(MapPointer, LeftDragInTheNormalModePansAndAShortOnePicksOnly) {
    Nav n;
    const float left = n.s.view.viewLeft, top = n.s.view.viewTop;
    // 10 units a pixel: 4 pixels are 40 units.
    mapMouseDown(n.c, MouseButton::Left, 3000, 3000);
    mapMouseMove(n.c, 3040, 2960);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal) << "a few pixels are still a click";
    mapMouseUp(n.c, MouseButton::Left, 3040, 2960);
    EXPECT_EQ(n.s.history.historyPos, 1);
    mapMouseMove(n.c, 3500, 3500);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal) << "moving without a button never pans";

    mapMouseDown(n.c, MouseButton::Left, 3000, 3000);
    mapMouseMove(n.c, 3050, 3000);
    EXPECT_EQ(n.nav.pointerMode, kModePanning);
    EXPECT_FALSE(n.nav.persistentPicture) << "the preview goes to the screen copy";
    mapMouseMove(n.c, 3300, 3200);
    mapMouseUp(n.c, MouseButton::Left, 3300, 3200);
    EXPECT_EQ(n.nav.pointerMode, kModeNormal);
    EXPECT_FLOAT_EQ(n.s.view.viewLeft, left - 300) << "from the press, not from the threshold";
    EXPECT_FLOAT_EQ(n.s.view.viewTop, top - 200);
    EXPECT_EQ(n.s.history.historyPos, 2);
}

TEST(ViewCommands, PlusAndMinusZoomAboutTheCentreOutsideTheFrame) {
    Nav n;
    const double cx = n.s.view.viewLeft + n.s.view.viewWidth / 2.0;
    const double cy = n.s.view.viewTop + n.s.view.viewHeight / 2.0;
    mapKeyPress(n.c, '+');
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 2000);
    EXPECT_NEAR(n.s.view.viewLeft + n.s.view.viewWidth / 2.0, cx, 1e-3);
    EXPECT_NEAR(n.s.view.viewTop + n.s.view.viewHeight / 2.0, cy, 1e-3);
    mapKeyPress(n.c, '-');
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000);
    EXPECT_NEAR(n.s.view.viewLeft + n.s.view.viewWidth / 2.0, cx, 1e-3);
    EXPECT_EQ(n.s.history.historyPos, 3);
    // With the fragment frame shown they size the frame, as before.
    showFragmentFrame(n.c);
    const double frame = n.nav.frag.width;
    mapKeyPress(n.c, '+');
    EXPECT_GT(n.nav.frag.width, frame);
    EXPECT_FLOAT_EQ(n.s.view.viewWidth, 4000);
}
