#include "view/navigation.h"

#include <cmath>

#include "dataset/numbers.h"
#include "view/locate.h"
#include "view/redraw.h"

namespace urbica {

namespace {

void changed(NavContext& c, PictureBox& box) {
    if (c.hooks.boxChanged) c.hooks.boxChanged(box);
}

void redraw(NavContext& c, bool record) {
    c.nav.persistentPicture = true;
    redrawView(c.s, c.boxes, c.hooks, record);
}

// The view's height for its width in the map box's proportions.
double heightForWidth(const NavContext& c, double width) {
    const double bw = c.boxes.map.width() - 4, bh = c.boxes.map.height() - 4;
    return bw > 0 ? width * bh / bw : 0;
}

float units(const NavContext& c) { return c.s.view.unitsPerPixel; }

// Pointer positions are whole pixels turned into map units in single
// precision; a distance of n pixels may come out a hair above n pixels.
bool atMostPixels(const NavContext& c, double distance, double pixels) {
    return std::fabs(distance) <= pixels * units(c) * (1 + 1e-4);
}

void startPan(NavContext& c, double x, double y) {
    c.nav.pointerMode = kModePanning;
    c.nav.dragX = float(x);
    c.nav.dragY = float(y);
    // The preview goes to a screen copy; the persistent picture stays untouched.
    PictureBox& map = c.boxes.map;
    PictureBox& screen = c.nav.screen;
    screen.setDevicePixelRatio(map.devicePixelRatio());
    if (screen.width() != map.width() || screen.height() != map.height())
        screen.resize(map.width(), map.height());
    screen.bitBlt(0, 0, map.innerWidth(), map.innerHeight(), map, 0, 0, RasterOp::SrcCopy);
    screen.setScale(map.scaleLeft(), map.scaleTop(), map.scaleWidth(), map.scaleHeight());
    screen.backColor = map.backColor;
    c.nav.persistentPicture = false;
}

void startFrame(NavContext& c, double x, double y) {
    FrameShape& f = c.nav.frag;
    c.nav.savedFrame = {float(f.left), float(f.top), float(f.width)};
    c.nav.pointerMode = kModeDrawingFrame;
    c.nav.dragX = float(x);
    c.nav.dragY = float(y);
    f = {x, y, 0, 0, true};
}

// No button is held and no rubber band is being drawn.
bool idle(const NavContext& c) {
    const int16_t m = c.nav.pointerMode;
    return (m == kModeNormal || m == kModeFrameShown || m == kModePanArmed ||
            m == kModeExportArmed) &&
           c.nav.navMode == 0;
}

}  // namespace

bool insideFrame(const FrameShape& f, double x, double y) {
    return x > f.left && y > f.top && x < f.left + f.width && y < f.top + f.height;
}

void mapMouseDown(NavContext& c, MouseButton button, double x, double y) {
    if (c.s.view.busy) return;
    NavigationState& n = c.nav;
    if (button == MouseButton::Left) {
        switch (n.pointerMode) {
            case kModeNormal:
                n.pick = pickAt(c.s, c.boxes, c.hooks, x, y);
                n.leftPressPending = true;
                n.pressX = float(x);
                n.pressY = float(y);
                break;
            case kModeFrameShown:
                if (insideFrame(n.frag, x, y)) {
                    n.pointerMode = kModeMovingFrame;
                    n.dragX = float(n.frag.left - x);
                    n.dragY = float(n.frag.top - y);
                } else {
                    startFrame(c, x, y);
                }
                break;
            case kModePanArmed:
                startPan(c, x, y);
                break;
            case kModeExportArmed:
                n.frag = {x, y, 0, 0, true};
                n.dragX = float(x);
                n.dragY = float(y);
                n.pointerMode = kModeDrawingExport;
                break;
            default:
                break;
        }
    } else if (button == MouseButton::Right) {
        if (n.rightButtonTool == kToolFrame)
            startFrame(c, x, y);
        else if (n.rightButtonTool == kToolPan)
            startPan(c, x, y);
    }
}

void drawPanPreview(NavContext& c, double x, double y) {
    const ViewState& v = c.s.view;
    const double u = v.unitsPerPixel;
    if (!(u > 0)) return;
    const double dx = x - c.nav.dragX, dy = y - c.nav.dragY;
    PictureBox& screen = c.nav.screen;
    screen.bitBlt(int(nearest(dx / u)), int(nearest(dy / u)), int(nearest(v.viewWidth / u)),
                  int(nearest(v.viewHeight / u)), c.boxes.hidepage, 0, 0, RasterOp::SrcCopy);
    screen.foreColor = screen.backColor;
    screen.fillColor = screen.backColor;
    screen.fillStyle = 0;
    screen.drawStyle = 0;
    screen.drawWidth = 1;
    const double left = v.viewLeft, top = v.viewTop, width = v.viewWidth, height = v.viewHeight;
    if (dx > 0) screen.box(left, top, left + dx, top + height);
    if (dy > 0) screen.box(left, top, left + width, top + dy);
    if (dx < 0) screen.box(left + width + dx, top, left + width, top + height);
    if (dy < 0) screen.box(left, top + height + dy, left + width, top + height);
}

void mapMouseMove(NavContext& c, double x, double y) {
    if (c.s.catalogue.gridExtent == 0 || c.s.view.busy) return;
    NavigationState& n = c.nav;
    const ViewState& v = c.s.view;
    if (n.pointerMode == kModeNormal && n.leftPressPending &&
        (!atMostPixels(c, x - n.pressX, kDragPanPixels) ||
         !atMostPixels(c, y - n.pressY, kDragPanPixels))) {
        // The held left button has moved off its press: the map follows it
        // as with "Сдвинуть", from where it was pressed.
        n.leftPressPending = false;
        startPan(c, n.pressX, n.pressY);
    }
    switch (n.pointerMode) {
        case kModeNormal:
            n.mapPointer = PointerShape::Default;
            if (n.pick.found == 1) pointerStillOver(c.s, c.boxes, c.hooks, n.pick, x, y);
            break;
        case kModeFrameShown:
            n.mapPointer =
                insideFrame(n.frag, x, y) ? PointerShape::SizeAll : PointerShape::Default;
            break;
        case kModeMovingFrame:
            n.frag.left = x + n.dragX;
            n.frag.top = y + n.dragY;
            break;
        case kModePanning:
            drawPanPreview(c, x, y);
            break;
        case kModeDrawingFrame: {
            const double w = v.viewWidth, h = v.viewHeight;
            const double dx = x - n.dragX, dy = y - n.dragY;
            FrameShape& f = n.frag;
            if (std::fabs(dy) * w >= std::fabs(dx) * h) {
                f.height = std::fabs(dy);
                f.top = dy > 0 ? n.dragY : n.dragY - std::fabs(dy);
                f.width = h > 0 ? f.height * w / h : 0;
                f.left = dx > 0 ? n.dragX : n.dragX - f.width;
            } else {
                f.width = std::fabs(dx);
                f.left = dx > 0 ? n.dragX : n.dragX - std::fabs(dx);
                f.height = w > 0 ? f.width * h / w : 0;
                f.top = dy > 0 ? n.dragY : n.dragY - f.height;
            }
            break;
        }
        case kModeDrawingExport: {
            const double dx = x - n.dragX, dy = y - n.dragY;
            FrameShape& f = n.frag;
            f.top = dy > 0 ? n.dragY : n.dragY - std::fabs(dy);
            f.height = std::fabs(dy);
            f.left = dx > 0 ? n.dragX : n.dragX - std::fabs(dx);
            f.width = std::fabs(dx);
            break;
        }
        default:
            break;
    }
}

void mapMouseUp(NavContext& c, MouseButton button, double x, double y) {
    NavigationState& n = c.nav;
    if (button == MouseButton::Left) n.leftPressPending = false;
    switch (n.pointerMode) {
        case kModeMovingFrame:
            n.pointerMode = kModeFrameShown;
            break;
        case kModePanning: {
            n.pointerMode = kModeNormal;
            n.persistentPicture = true;
            const double dx = x - n.dragX, dy = y - n.dragY;
            if (atMostPixels(c, dx, 1) && atMostPixels(c, dy, 1)) break;
            c.s.view.viewLeft = float(c.s.view.viewLeft - dx);
            c.s.view.viewTop = float(c.s.view.viewTop - dy);
            redraw(c, true);
            break;
        }
        case kModeDrawingFrame:
            n.pointerMode = kModeFrameShown;
            if (button == MouseButton::Right) zoomToFrame(c);
            break;
        case kModeDrawingExport: {
            n.pointerMode = kModeNormal;
            // The frame leaves the map before the file is asked for.
            const FrameShape frame = n.frag;
            n.frag.visible = false;
            if (c.hooks.hideFragment) c.hooks.hideFragment();
            if (c.exportFrame) c.exportFrame(frame);
            break;
        }
        default:
            break;
    }
}

void mapDoubleClick(NavContext& c) {
    if (c.nav.pointerMode == kModeFrameShown) zoomToFrame(c);
}

void zoomToFrame(NavContext& c) {
    if (c.hooks.pumpEvents) c.hooks.pumpEvents();
    NavigationState& n = c.nav;
    n.frag.visible = false;
    n.pointerMode = kModeNormal;
    if (atMostPixels(c, n.frag.width, 2)) return;  // a frame of two pixels or less is dismissed
    ViewState& v = c.s.view;
    v.viewLeft = float(n.frag.left);
    v.viewTop = float(n.frag.top);
    v.viewWidth = float(n.frag.width);
    v.viewHeight = float(heightForWidth(c, v.viewWidth));
    redraw(c, true);
}

void mapKeyPress(NavContext& c, int key) {
    NavigationState& n = c.nav;
    if (key == kKeyEscape && n.pointerMode >= 1 && n.pointerMode <= 9) {
        n.pointerMode = kModeNormal;
        n.frag.visible = false;
        n.persistentPicture = true;
        restoreMapFromHidepage(c.s, c.boxes);
        refreshbox(c.boxes.map, c.hooks);
    }
    if (c.s.view.busy) return;
    if (n.pointerMode == kModeNormal && (key == '+' || key == '-')) {
        keyZoom(c, key == '+' ? 1 : -1);
        return;
    }
    if (n.pointerMode != kModeFrameShown) return;
    const double w = c.s.view.viewWidth, h = c.s.view.viewHeight;
    FrameShape& f = n.frag;
    if (key == kKeyEnter) {
        zoomToFrame(c);
    } else if (key == '+') {
        f.top -= h / 80;
        f.left -= w / 80;
        f.width += w / 40;
        f.height += h / 40;
    } else if (key == '-' && f.width > w / 25) {
        f.top += h / 80;
        f.left += w / 80;
        f.width -= w / 40;
        f.height -= h / 40;
    }
}

void navMouseDown(NavContext& c, MouseButton button, double x, double y) {
    if (c.s.view.busy) return;
    NavigationState& n = c.nav;
    if (button == MouseButton::Left) {
        if (n.navMode == 0 && insideFrame(c.boxes.navfrag, x, y)) {
            n.navMode = 2;
            n.dragX = float(c.boxes.navfrag.left - x);
            n.dragY = float(c.boxes.navfrag.top - y);
        }
        return;
    }
    if (n.navMode != 0) return;
    n.savedFrame = {float(n.nfrag.left), float(n.nfrag.top), float(n.nfrag.width)};
    n.navMode = 8;
    n.dragX = float(x);
    n.dragY = float(y);
    n.nfrag = {x, y, 0, 0, true};
}

void navMouseMove(NavContext& c, double x, double y) {
    if (c.s.view.busy) return;
    NavigationState& n = c.nav;
    FrameShape& vf = c.boxes.navfrag;
    if (n.navMode == 0) {
        const bool inside = insideFrame(vf, x, y);
        if (n.navPointer == PointerShape::Default && inside) n.navPointer = PointerShape::SizeAll;
        if (n.navPointer != PointerShape::Default && !inside) n.navPointer = PointerShape::Default;
    } else if (n.navMode == 2) {
        vf.left = n.dragX + x;
        vf.top = n.dragY + y;
        changed(c, c.boxes.nav);
    } else if (n.navMode == 8) {
        const double w = c.s.view.viewWidth, h = c.s.view.viewHeight;
        const double dx = x - n.dragX, dy = y - n.dragY;
        FrameShape& f = n.nfrag;
        if (std::fabs(dy) >= std::fabs(dx)) {
            f.height = std::fabs(dy);
            f.top = dy > 0 ? n.dragY : n.dragY - std::fabs(dy);
            f.width = h > 0 ? w * f.height / h : 0;
            f.left = dx > 0 ? n.dragX : n.dragX - f.width;
        } else {
            f.width = std::fabs(dx);
            f.left = dx > 0 ? n.dragX : n.dragX - std::fabs(dx);
            f.height = w > 0 ? h * f.width / w : 0;
            f.top = dy > 0 ? n.dragY : n.dragY - f.height;
        }
        changed(c, c.boxes.nav);
    }
}

void navMouseUp(NavContext& c, MouseButton, double, double) {
    NavigationState& n = c.nav;
    ViewState& v = c.s.view;
    if (n.navMode == 2) {
        n.navMode = 0;
        n.navPointer = PointerShape::Default;
        v.viewLeft = float(c.boxes.navfrag.left);
        v.viewTop = float(c.boxes.navfrag.top);
        redraw(c, true);
    } else if (n.navMode == 8) {
        n.navMode = 0;
        // The drawn rectangle is taken whatever its width, also when it is
        // exactly one map pixel wide: an earlier rectangle is never put in its place.
        v.viewLeft = float(n.nfrag.left);
        v.viewTop = float(n.nfrag.top);
        v.viewWidth = float(n.nfrag.width);
        v.viewHeight = float(heightForWidth(c, v.viewWidth));
        n.nfrag.visible = false;
        redraw(c, true);
    }
}

void navKeyPress(NavContext& c, int key) {
    NavigationState& n = c.nav;
    if (key != kKeyEscape || n.navMode <= 0) return;
    n.navMode = 0;
    n.nfrag.visible = false;
    c.boxes.navfrag.left = c.s.view.viewLeft;
    c.boxes.navfrag.top = c.s.view.viewTop;
    changed(c, c.boxes.nav);
}

void showFragmentFrame(NavContext& c) {
    const ViewState& v = c.s.view;
    NavigationState& n = c.nav;
    n.pointerMode = kModeFrameShown;
    FrameShape& f = n.frag;
    f.width = v.viewWidth / 30.0;
    f.height = v.viewHeight / 30.0;
    f.left = v.viewLeft + v.viewWidth / 2.0 - f.width / 2;
    f.top = v.viewTop + v.viewHeight / 2.0 - f.height / 2;
    f.visible = true;
    n.rightButtonTool = kToolFrame;
}

void zoomIn(NavContext& c) {
    ViewState& v = c.s.view;
    const int64_t W = nearestInt(v.viewWidth), H = nearestInt(v.viewHeight);
    v.viewLeft = float(v.viewLeft + double(intDiv(W, 4)));
    v.viewTop = float(v.viewTop + double(intDiv(H, 4)));
    v.viewWidth = float(v.viewWidth - double(intDiv(W, 2)));
    v.viewHeight = float(v.viewHeight - double(intDiv(H, 2)));
    redraw(c, true);
}

void zoomOut(NavContext& c) {
    ViewState& v = c.s.view;
    const int64_t W = nearestInt(v.viewWidth), H = nearestInt(v.viewHeight);
    v.viewLeft = float(v.viewLeft - double(intDiv(W, 4)));
    v.viewTop = float(v.viewTop - double(intDiv(H, 4)));
    v.viewWidth = float(v.viewWidth + double(intDiv(W, 2)));
    v.viewHeight = float(v.viewHeight + double(intDiv(H, 2)));
    redraw(c, true);
}

void armPan(NavContext& c) {
    NavigationState& n = c.nav;
    n.mapPointer = PointerShape::SizeAll;
    if (n.pointerMode == kModeFrameShown) n.frag.visible = false;
    n.rightButtonTool = kToolPan;
    n.pointerMode = kModePanArmed;
}

bool toNearestMetro(NavContext& c) {
    return nearestMetro(c.s, c.boxes, c.hooks, c.s.catalogue.metroClass);
}

void toStartView(NavContext& c) {
    c.nav.pointerMode = kModeNormal;
    ViewState& v = c.s.view;
    v.viewLeft = float(c.s.catalogue.startX);
    v.viewTop = float(c.s.catalogue.startY);
    v.viewWidth = float(c.s.catalogue.startWidth);
    v.viewHeight = float(heightForWidth(c, v.viewWidth));
    redraw(c, true);
}

namespace {

void showHistoryEntry(NavContext& c) {
    const HistoryEntry& e = c.s.history.entries[size_t(c.s.history.historyPos)];
    c.s.view.viewLeft = e.viewLeft;
    c.s.view.viewTop = e.viewTop;
    c.s.view.viewWidth = e.viewWidth;
    redraw(c, false);
}

}  // namespace

bool historyBack(NavContext& c) {
    ViewHistory& h = c.s.history;
    if (h.historyPos < 2 || h.historyPos > h.upperBound()) return false;
    --h.historyPos;
    showHistoryEntry(c);
    return true;
}

bool historyForward(NavContext& c) {
    ViewHistory& h = c.s.history;
    if (h.historyPos < 1 || h.historyPos >= h.upperBound()) return false;
    ++h.historyPos;
    showHistoryEntry(c);
    return true;
}

void armExport(NavContext& c) { c.nav.pointerMode = kModeExportArmed; }

namespace {

// Zooms by steps halvings (negative: doublings) of the width about (x, y).
void zoomAbout(NavContext& c, double x, double y, int steps) {
    if (steps == 0) return;
    ViewState& v = c.s.view;
    const double bw = c.boxes.map.width() - 4;
    if (bw <= 0 || !(v.viewWidth > 0)) return;
    const double factor = std::pow(0.5, steps);
    double width = v.viewWidth * factor;
    // At the zoom-in limit the point under the pointer still stays where it is.
    const double narrowest = double(c.s.catalogue.minUnitsPerPixel) * bw;
    if (width < narrowest) width = std::min(narrowest, double(v.viewWidth));
    if (width == v.viewWidth) return;
    const double scale = width / v.viewWidth;
    v.viewLeft = float(x - (x - v.viewLeft) * scale);
    v.viewTop = float(y - (y - v.viewTop) * scale);
    v.viewWidth = float(width);
    v.viewHeight = float(heightForWidth(c, width));
    redraw(c, true);
}

}  // namespace

void wheelZoom(NavContext& c, double x, double y, int angleDelta) {
    if (c.s.view.busy || c.s.catalogue.gridExtent == 0 || !idle(c)) return;
    NavigationState& n = c.nav;
    n.wheelRemainder += angleDelta;
    const int steps = n.wheelRemainder / 120;
    n.wheelRemainder -= steps * 120;
    zoomAbout(c, x, y, steps);
}

void keyZoom(NavContext& c, int steps) {
    if (c.s.view.busy || c.s.catalogue.gridExtent == 0 || !idle(c)) return;
    const ViewState& v = c.s.view;
    zoomAbout(c, v.viewLeft + v.viewWidth / 2.0, v.viewTop + v.viewHeight / 2.0, steps);
}

void arrowPan(NavContext& c, int dx, int dy) {
    if (c.s.view.busy || c.s.catalogue.gridExtent == 0 || !idle(c) || (dx == 0 && dy == 0)) return;
    ViewState& v = c.s.view;
    v.viewLeft = float(v.viewLeft + dx * (v.viewWidth / 10.0));
    v.viewTop = float(v.viewTop + dy * (v.viewHeight / 10.0));
    redraw(c, true);
}

}  // namespace urbica
