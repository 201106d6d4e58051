#include "view/redraw.h"

#include <QFile>
#include <QImage>
#include <algorithm>

#include "dataset/datafile.h"
#include "dataset/filecheck.h"
#include "dataset/names.h"
#include "dataset/numbers.h"
#include "dataset/searchnames.h"
#include "draw/layer.h"
#include "draw/mapnotice.h"
#include "draw/scalebar.h"

namespace urbica {

namespace {

void call(const std::function<void()>& f) {
    if (f) f();
}

// Visits the layers in draw order, skipping empty slots and layers that are
// switched off or not listed.
template <typename Visit>
void forEachShownLayer(const Tables& t, Visit visit) {
    const int layers = t.layerCount();
    for (int i = 1; i <= layers && i < int(t.drawOrder.size()); ++i) {
        const int k = t.drawOrder[size_t(i)];
        if (k <= 0 || k > layers) continue;
        const LayerRecord& layer = t.layers[size_t(k)];
        if (layer.shown == 0 || layer.listed == 0) continue;
        visit(layer);
    }
}

// Notes the damaged files of the shown layers when the city is new to the
// problem list or the cache has seen files change since the last look.
void noteLayerProblems(const AppState& s) {
    if (!s.problems.layersToCheck(s.files.changes())) return;
    forEachShownLayer(s.tables, [&](const LayerRecord& layer) {
        QString path;
        const QString problem = layerFilesProblem(s.settings.dataDirectory, layer, &path);
        if (!problem.isEmpty()) s.problems.note(path, problem);
    });
}

}  // namespace

bool setPictureRatio(MapBoxes& boxes, double ratio) {
    const double before = boxes.map.devicePixelRatio();
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage, &boxes.nav,
                          &boxes.tempnav, &boxes.images})
        b->setDevicePixelRatio(ratio);
    if (boxes.map.devicePixelRatio() == before) return false;
    boxes.mapRestoredFrom = ~quint64(0);
    return true;
}

void refreshbox(PictureBox& box, const ViewHooks& hooks) {
    if (hooks.boxChanged) hooks.boxChanged(box);
    call(hooks.pumpEvents);
}

DrawContext makeDrawContext(AppState& s, PictureBox& images) {
    DrawContext ctx{s.settings.dataDirectory,
                    s.tables,
                    s.settings,
                    s.catalogue.gridExtent,
                    {},
                    s.labels,
                    images,
                    {}};
    ctx.view = {s.view.viewLeft,   s.view.viewTop,       s.view.viewWidth,
                s.view.viewHeight, s.view.unitsPerPixel, s.view.iconSize};
    ctx.files = &s.files;
    const NameContext names = s.names();
    // A map label that the dataset writes apart from the listed name (a street
    // listed under its own word, labelled as the data writes it).
    const std::shared_ptr<const SearchNames> labels =
        SearchNames::load(s.settings.dataDirectory, &s.files, nullptr, kMapLabelsLines);
    ctx.objectName = [names, labels](int c, int32_t n) {
        if (const QString* label = labels->find(c, n)) return *label;
        return objectName(names, c, n, false);
    };
    return ctx;
}

namespace {

// The overview shows the saved overview picture again and, when the view is
// small on it, the marker at the view's centre.
void showViewOnOverview(const AppState& s, MapBoxes& boxes, const ViewHooks& hooks) {
    const Catalogue& cat = s.catalogue;
    const ViewState& v = s.view;
    PictureBox& nav = boxes.nav;
    nav.bitBlt(0, 0, nav.width(), nav.height(), boxes.tempnav, 0, 0, RasterOp::SrcCopy);
    const QString andPath = platformPath(s.programFileFolder(kMarkerAndFile) +
                                         QStringLiteral("\\") + QLatin1String(kMarkerAndFile));
    const QString xorPath = platformPath(s.programFileFolder(kMarkerXorFile) +
                                         QStringLiteral("\\") + QLatin1String(kMarkerXorFile));
    if (QFile::exists(andPath) && QFile::exists(xorPath) && cat.overviewWidth != 0 &&
        boxes.navfrag.width * nav.width() / cat.overviewWidth <= 5 && nav.scaleWidth() != 0 &&
        nav.scaleHeight() != 0) {
        const int x = int(nearest((v.viewLeft - nav.scaleLeft() + v.viewWidth / 2.0) *
                                      (nav.width() - 4) / nav.scaleWidth() -
                                  14));
        const int y = int(nearest((v.viewTop - nav.scaleTop() + v.viewHeight / 2.0) *
                                      (nav.height() - 4) / nav.scaleHeight() -
                                  14));
        const QImage andImage(andPath), xorImage(xorPath);
        if (!andImage.isNull() && !xorImage.isNull()) {
            nav.bitBlt(x, y, 28, 28, andImage, 0, 0, RasterOp::SrcAnd);
            nav.bitBlt(x, y, 28, 28, xorImage, 0, 0, RasterOp::SrcInvert);
        }
    }
    refreshbox(nav, hooks);
}

}  // namespace

void redrawView(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, bool record) {
    const Catalogue& cat = s.catalogue;
    if (cat.gridExtent == 0) return;
    ViewState& v = s.view;
    PictureBox& box = boxes.map;
    const double bw = box.width() - 4, bh = box.height() - 4;
    if (bw <= 0 || bh <= 0) return;  // a box without an inner area shows nothing

    call(hooks.clearPick);
    v.busy = true;
    if (hooks.setBusyCursor) hooks.setBusyCursor(true);
    call(hooks.pumpEvents);
    call(hooks.hideFragment);

    if (v.viewLeft < cat.extentLeft) v.viewLeft = float(cat.extentLeft);
    if (v.viewTop < cat.extentTop) v.viewTop = float(cat.extentTop);
    if (v.viewWidth > cat.extentWidth) v.viewWidth = float(cat.extentWidth);
    v.viewHeight = float(bh * v.viewWidth / bw);
    if (v.viewHeight > cat.extentHeight) {
        v.viewHeight = float(cat.extentHeight);
        v.viewWidth = float(bw * v.viewHeight / bh);
    }
    if (double(v.viewLeft) + v.viewWidth > double(cat.extentLeft) + cat.extentWidth)
        v.viewLeft = float(double(cat.extentLeft) + cat.extentWidth - v.viewWidth);
    if (double(v.viewTop) + v.viewHeight > double(cat.extentTop) + cat.extentHeight)
        v.viewTop = float(double(cat.extentTop) + cat.extentHeight - v.viewHeight);

    call(hooks.resetPointerMode);
    call(hooks.clearInfoLine);
    box.setScale(v.viewLeft, v.viewTop, v.viewWidth, v.viewHeight);
    boxes.navfrag.left = v.viewLeft;
    boxes.navfrag.top = v.viewTop;
    boxes.navfrag.width = v.viewWidth;
    boxes.navfrag.height = v.viewHeight;

    if (s.settings.allwindow != 1) showViewOnOverview(s, boxes, hooks);

    v.unitsPerPixel = float(v.viewWidth / bw);
    if (v.unitsPerPixel < cat.minUnitsPerPixel) {
        const float oldW = v.viewWidth, oldH = v.viewHeight;
        v.viewWidth = float(cat.minUnitsPerPixel * bw);
        v.viewHeight = float(v.viewWidth / bw * bh);
        v.viewLeft = float(v.viewLeft + oldW / 2.0 - v.viewWidth / 2.0);
        v.viewTop = float(v.viewTop + oldH / 2.0 - v.viewHeight / 2.0);
        v.unitsPerPixel = float(v.viewWidth / bw);
        box.setScale(v.viewLeft, v.viewTop, v.viewWidth, v.viewHeight);
    }

    if (record) s.history.record(v);
    if (hooks.setHistoryButtons)
        hooks.setHistoryButtons(s.history.historyPos != 1,
                                s.history.historyPos != s.history.upperBound());
    v.iconSize = v.unitsPerPixel <= s.settings.iconSizeThreshold ? 32 : 16;

    renderMap(s, boxes, hooks);

    if (hooks.setBusyCursor) hooks.setBusyCursor(false);
    v.busy = false;
}

void renderMap(AppState& s, MapBoxes& boxes, const ViewHooks& hooks) {
    const FileCache::Pass pass(&s.files);
    PictureBox& box = boxes.map;
    ViewState& v = s.view;
    // The drawn part of the picture, in pixels.
    const int w = int(nearest(double(v.viewWidth) / v.unitsPerPixel));
    const int h = int(nearest(double(v.viewHeight) / v.unitsPerPixel));
    box.smoothing = s.settings.smoothing == 1;
    // Both copies get the new picture whole at the end; meanwhile nothing
    // reads them (input waits while busy).
    if (w >= box.innerWidth() && h >= box.innerHeight()) {
        box.reclaimFrom(boxes.originalpage);
        box.reclaimFrom(boxes.hidepage);
    }
    box.cls();
    boxes.hidepage.backColor = box.backColor;
    // hidepage gets the drawn part whole at the end (as far as the map has it).
    boxes.hidepage.clsOutside(std::min(w, box.innerWidth()), std::min(h, box.innerHeight()));
    if (hooks.setBusyCursor) hooks.setBusyCursor(true);
    call(hooks.pumpEvents);
    const bool wasBusy = v.busy;
    v.busy = true;
    s.labels.reset();
    boxes.images.resize(v.iconSize + 4, v.iconSize + 4);

    DrawContext ctx = makeDrawContext(s, boxes.images);
    forEachShownLayer(s.tables, [&](const LayerRecord& layer) {
        drawlayer(ctx, box, layer);
        refreshbox(box, hooks);
    });
    noteLayerProblems(s);
    box.drawStyle = 0;
    box.fillStyle = 0;
    drawlabels(ctx, box);
    drawMapOverlays(s, box);

    boxes.originalpage.bitBlt(0, 0, w, h, box, 0, 0, RasterOp::SrcCopy);
    for (int i = 1; i <= s.marksList.upperBound(); ++i) {
        const MarkEntry& m = s.marksList.entries[size_t(i)];
        drawNamedObject(s, boxes, box, m.classNumber, m.recordNumber, true, false);
    }
    if (s.marksList.upperBound() >= 1) drawMapOverlays(s, box);
    boxes.hidepage.bitBlt(0, 0, w, h, box, 0, 0, RasterOp::SrcCopy);
    refreshbox(box, hooks);
    v.busy = wasBusy;
    if (hooks.setBusyCursor) hooks.setBusyCursor(false);
}

QImage renderAtRatio(AppState& s, const MapBoxes& screen, double ratio,
                     std::vector<PictureBox::TextCall>* texts) {
    if (s.catalogue.gridExtent == 0) return {};
    MapBoxes b;
    setPictureRatio(b, ratio);
    for (PictureBox* box : {&b.map, &b.hidepage, &b.originalpage})
        box->resize(screen.map.width(), screen.map.height());
    b.map.backColor = screen.map.backColor;
    b.map.setScale(screen.map.scaleLeft(), screen.map.scaleTop(), screen.map.scaleWidth(),
                   screen.map.scaleHeight());
    const LabelQueue labels = s.labels;
    const int16_t pickActive = s.pickActive;
    if (texts) b.map.recordTexts(texts, false);
    renderMap(s, b, ViewHooks{});
    b.map.recordTexts(nullptr);
    s.labels = labels;
    s.pickActive = pickActive;
    return b.hidepage.image();
}

bool hasMapOverlays(const AppState& s) {
    return s.settings.scaleBar == 1 || (s.source && !s.source->notice.isEmpty());
}

void drawMapOverlays(const AppState& s, PictureBox& box) {
    if (!hasMapOverlays(s)) return;
    const ViewState& v = s.view;
    if (!(v.unitsPerPixel > 0)) return;
    const int w = int(nearest(double(v.viewWidth) / v.unitsPerPixel));
    const int h = int(nearest(double(v.viewHeight) / v.unitsPerPixel));
    if (s.settings.scaleBar == 1) {
        const double metresPerUnit = s.geo ? s.geo->metresPerUnit : 1.0;
        drawScaleBar(box, scaleBarFor(double(v.unitsPerPixel) * metresPerUnit, w), w, h);
    }
    if (s.source) drawMapNotice(box, s.source->notice, w, h);
}

void buildOverview(AppState& s, MapBoxes& boxes, const ViewHooks& hooks) {
    if (s.catalogue.gridExtent == 0 || s.settings.allwindow == 1) return;
    const FileCache::Pass pass(&s.files);
    ViewState& v = s.view;
    PictureBox& nav = boxes.nav;
    if (nav.width() <= 4 || nav.height() <= 4) return;
    const float saveLeft = v.viewLeft, saveTop = v.viewTop, saveWidth = v.viewWidth;
    v.viewLeft = float(s.catalogue.overviewLeft);
    v.viewTop = float(s.catalogue.overviewTop);
    v.viewWidth = float(s.catalogue.overviewWidth);
    nav.smoothing = s.settings.smoothing == 1;
    nav.cls();
    v.viewHeight = float((nav.height() - 4) * double(v.viewWidth) / (nav.width() - 4));
    nav.setScale(v.viewLeft, v.viewTop, v.viewWidth, v.viewHeight);
    v.unitsPerPixel = float(v.viewWidth / double(nav.width() - 4));

    DrawContext ctx = makeDrawContext(s, boxes.images);
    forEachShownLayer(s.tables, [&](const LayerRecord& layer) {
        if (layer.onOverview != 0) drawlayer(ctx, nav, layer);
    });
    s.labels.reset();

    v.viewLeft = saveLeft;
    v.viewTop = saveTop;
    v.viewWidth = saveWidth;
    const PictureBox& map = boxes.map;
    if (map.width() > 4 && map.height() > 4) {
        v.viewHeight = float((map.height() - 4) * double(v.viewWidth) / (map.width() - 4));
        v.unitsPerPixel = float(v.viewWidth / double(map.width() - 4));
    }
    refreshbox(nav, hooks);
    boxes.tempnav.resize(nav.width(), nav.height());
    boxes.tempnav.bitBlt(0, 0, nav.width(), nav.height(), nav, 0, 0, RasterOp::SrcCopy);
}

void drawNamedObject(AppState& s, MapBoxes& boxes, PictureBox& box, int c, int32_t n,
                     bool highlighted, bool withParts) {
    if (c == 0 || n == 0) return;
    const FileCache::Pass pass(&s.files);
    NameContext nctx{s.settings.dataDirectory, s.catalogue, s.tables};
    NameRecord rec;
    if (!readNameRecord(nctx, c, n, rec)) return;
    DrawContext ctx = makeDrawContext(s, boxes.images);
    if (rec.mapObjectCount > 0) {
        std::vector<ObjectRef> refs;
        readMapObjectRefs(nctx, c, rec, refs);
        for (const ObjectRef& r : refs) {
            if (r.first > 0 && r.first <= s.tables.layerCount() &&
                s.tables.layers[size_t(r.first)].shown != 0)
                drawobject(ctx, box, r.second, r.first, highlighted);
        }
    }
    if (withParts && rec.partCount > 0) {
        std::vector<ObjectRef> parts;
        readPartRefs(nctx, c, rec, parts);
        for (const ObjectRef& p : parts) {
            drawNamedObject(s, boxes, box, p.first, p.second, highlighted, false);
            if (s.pickActive == 0) break;
        }
    }
}

}  // namespace urbica
