// Widget-free arithmetic of the main window: where the layout pass puts the
// controls, how the view keeps its vertical centre, the smallest window, and
// the conversions between twips and pixels.
#pragma once

#include <QRect>
#include <QSize>

#include "dataset/settings.h"

namespace urbica {
// The smallest outer window size, 6000 x 6225 twips.
inline constexpr int kMinWindowWidth = 400;
inline constexpr int kMinWindowHeight = 415;
// Client area of a window opened without a stored rectangle (8475 x 5820 twips).
inline constexpr int kDesignClientWidth = 565;
inline constexpr int kDesignClientHeight = 388;
// The overview box is 3060 x 3060 twips.
inline constexpr int kNavSize = 204;
// Gap between the two quick-find buttons.
inline constexpr int kButtonGap = 10;
// The layout arithmetic counts with a window frame of 4 pixels on each side;
// the window's outer width is taken as its client width plus this, whatever
// frame the desktop draws, so the controls meet the window's right edge.
inline constexpr int kLayoutFrameWidth = 8;
// The side panel's handle reaches this far to the left of the overview's
// edge (over the gap and the map's border) and 2 pixels over the overview's.
inline constexpr int kSideSplitterReach = 4;
// Ticks of the layout timer after a resize before the controls are laid out.
inline constexpr int kResizeTicks = 3;

// Everything the layout pass reads, in pixels. Coordinates are those of the
// area under the toolbar, whose top row is the info line.
struct LayoutInput {
    int clientHeight = 0;  // window client area height, toolbar included, menu bar excluded
    int outerWidth = 0;    // outer width of the window
    int toolbarHeight = 0;
    int selstHeight = 0;
    int mapLeft = 0;
    int mapTop = 0;
    int navTop = 0;
    int navWidth = kNavSize;
    int navHeight = kNavSize;
    int findnameHeight = 0;
    int findListWidth = kNavSize;
    int showkeyWidth = 0;
    int showkeyHeight = 0;
    int findkeyWidth = 0;
    bool allwindow = false;
    // The view before the pass (map units).
    float viewTop = 0, viewWidth = 0, viewHeight = 0;
};

struct LayoutResult {
    QRect map, selst, nav, findname, findList, showkey, findkey;
    bool quickFindVisible = true;  // nav and the four quick-find controls
    QSize pageSize;                // hidepage and originalpage
    float viewTop = 0, viewHeight = 0;
};

// The layout pass: the map fills the window below the info line (less the
// overview column unless allwindow), the quick-find controls stack under the
// overview with the two buttons at the window's bottom, and the view keeps its
// width and its vertical centre. The map's top is taken to lie right under
// the toolbar and the info line. A map box too small to hold a picture leaves
// the view as it was.
LayoutResult computeLayout(const LayoutInput& in);

// The side panel's width for a window of outerWidth: the stored width
// (0: the overview's own), at least kNavSize and at most half the window.
int sidePanelWidthFor(int storedWidth, int outerWidth);

// The outer size snapped up to the smallest window.
QSize snapToMinimumSize(QSize outer);

// A stored window rectangle (outer, in pixels) brought onto the available
// screen area when any part of it lies outside: made no larger than the
// area, then moved inside it. A rectangle inside the area stays as it is.
QRect fitOntoScreen(const QRect& outer, const QRect& available);

int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

}  // namespace urbica
