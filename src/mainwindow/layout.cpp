#include "mainwindow/layout.h"

#include <algorithm>
#include <cmath>

#include "dataset/numbers.h"

namespace urbica {

LayoutResult computeLayout(const LayoutInput& in) {
    LayoutResult r;
    const int mapHeight = in.clientHeight - in.toolbarHeight - in.selstHeight + 3;
    int mapWidth;
    if (in.allwindow) {
        mapWidth = in.outerWidth - 7;
        r.quickFindVisible = false;
    } else {
        mapWidth = in.outerWidth - in.navWidth - 10;
    }
    r.map = QRect(in.mapLeft, in.mapTop, mapWidth, mapHeight);
    r.selst = QRect(0, 0, mapWidth - 1, in.selstHeight);

    // The overview and the quick-find controls keep their places while hidden.
    const int navLeft = in.mapLeft + mapWidth + 2;
    r.nav = QRect(navLeft, in.navTop, in.navWidth, in.navHeight);
    const int findnameTop = in.navTop + in.navHeight + 4;
    r.findname = QRect(navLeft, findnameTop, in.findListWidth, in.findnameHeight);
    const int findListTop = findnameTop + in.findnameHeight + 4;
    // The map runs 3 pixels past the bottom of the client area, which hides
    // its lower border; the buttons that line up with its bottom are kept
    // inside the window, so they are drawn whole.
    const int clientBottom = in.mapTop + mapHeight - 3;
    const int showkeyTop = clientBottom - in.showkeyHeight;
    r.showkey = QRect(navLeft, showkeyTop, in.showkeyWidth, in.showkeyHeight);
    r.findkey = QRect(navLeft + in.showkeyWidth + kButtonGap, showkeyTop, in.findkeyWidth,
                      in.showkeyHeight);
    r.findList = QRect(navLeft, findListTop, in.findListWidth, showkeyTop - findListTop - 4);

    r.pageSize = QSize(mapWidth, mapHeight);

    r.viewTop = in.viewTop;
    r.viewHeight = in.viewHeight;
    if (mapWidth > 4 && mapHeight > 4) {
        const float oldHeight = in.viewHeight;
        r.viewHeight = in.viewWidth * float(mapHeight - 4) / float(mapWidth - 4);
        if (oldHeight > 0) r.viewTop = in.viewTop + (oldHeight - r.viewHeight) / 2;
    }
    return r;
}

int sidePanelWidthFor(int storedWidth, int outerWidth) {
    const int wanted = storedWidth <= 0 ? kNavSize : storedWidth;
    return std::clamp(wanted, kNavSize, std::max(kNavSize, outerWidth / 2));
}

QSize snapToMinimumSize(QSize outer) {
    return QSize(std::max(outer.width(), kMinWindowWidth),
                 std::max(outer.height(), kMinWindowHeight));
}

QRect fitOntoScreen(const QRect& outer, const QRect& available) {
    if (available.isEmpty() || available.contains(outer)) return outer;
    const int w = std::min(outer.width(), available.width());
    const int h = std::min(outer.height(), available.height());
    const int x = std::clamp(outer.x(), available.left(), available.left() + available.width() - w);
    const int y = std::clamp(outer.y(), available.top(), available.top() + available.height() - h);
    return QRect(x, y, w, h);
}

int twipsToPixels(double twips) {
    if (!std::isfinite(twips)) return 0;
    const double px = nearest(twips / kTwipsPerPixel);
    return int(std::clamp(px, -1.0e6, 1.0e6));
}

double pixelsToTwips(int pixels) { return double(pixels) * kTwipsPerPixel; }

}  // namespace urbica
