#include "benchcity.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "dataset/objects.h"
#include "democity.h"
#include "draw/drawcontext.h"
#include "view/pick.h"
#include "view/redraw.h"

namespace urbica {

bool BenchCity::open(int scale, int mapWidth, int mapHeight) {
    democity::Options o;
    o.scale = scale;
    QString error;
    if (!writeDataset(democity::buildCity(o), dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return load(dir.path(), mapWidth, mapHeight);
}

bool BenchCity::load(const QString& dataDir, int mapWidth, int mapHeight) {
    s.settings.dataDirectory = dataDir + "/";
    s.programDirectory = dataDir;
    if (!readCatalogue(s.settings, s.catalogue, s.tables)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(dataDir), qPrintable(noDataMessage()));
        return false;
    }
    readIconTable(s.settings.dataDirectory, s.tables);
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
        b->resize(mapWidth, mapHeight);
    boxes.map.backColor = s.settings.mapBackColor;
    boxes.nav.resize(204, 204);
    return true;
}

QPointF BenchCity::densestCellCentre() const {
    int64_t best = -1;
    QPointF centre;
    for (int l = 1; l <= s.tables.layerCount(); ++l) {
        const LayerRecord& layer = s.tables.layers[size_t(l)];
        const int32_t k = layer.levels[0].cellSize;
        if (k <= 0) continue;
        LayerFiles f(s.settings.dataDirectory, layer, 1);
        const int64_t per = s.catalogue.gridExtent / k;
        for (int64_t col = 0; col < per; ++col)
            for (int64_t row = 0; row < per; ++row) {
                GridCell c;
                if (!f.readCell(gridRecordNumber(s.catalogue.gridExtent, k, col, row), c)) continue;
                if (c.objectCount > best) {
                    best = c.objectCount;
                    centre = QPointF(col * k + k / 2.0, row * k + k / 2.0);
                }
            }
    }
    return centre;
}

bool BenchCity::findHit(double cx, double cy, double& x, double& y) const {
    for (int r = 0; r < 400; r += 4)
        for (int dx = -r; dx <= r; dx += 4) {
            x = cx + dx;
            y = cy + r;
            if (findObjectAt(s, x, y).found) return true;
        }
    return false;
}

void BareScene::read(const AppState& s) {
    const ViewState& vs = s.view;
    const MapView v{vs.viewLeft, vs.viewTop, vs.viewWidth, vs.viewHeight, vs.unitsPerPixel, 16};
    const Tables& t = s.tables;
    for (int i = 1; i < int(t.drawOrder.size()); ++i) {
        const int l = t.drawOrder[size_t(i)];
        if (l < 1 || l > t.layerCount()) continue;
        const LayerRecord& layer = t.layers[size_t(l)];
        const int level = viewlevel(layer, v.unitsPerPixel);
        if (level == 0) continue;
        const int32_t k = layer.levels[size_t(level - 1)].cellSize;
        LayerFiles f(s.settings.dataDirectory, layer, level);
        std::vector<int64_t> seen;
        const int64_t per = s.catalogue.gridExtent / k;
        for (int64_t col = std::max<int64_t>(0, int64_t(v.viewLeft) / k);
             col <= std::min<int64_t>(per - 1, int64_t(v.viewLeft + v.viewWidth) / k); ++col)
            for (int64_t row = std::max<int64_t>(0, int64_t(v.viewTop) / k);
                 row <= std::min<int64_t>(per - 1, int64_t(v.viewTop + v.viewHeight) / k); ++row) {
                GridCell cell;
                std::vector<CellEntry> entries;
                if (!f.readCell(gridRecordNumber(s.catalogue.gridExtent, k, col, row), cell) ||
                    !f.readEntries(cell.firstEntry, cell.objectCount, entries))
                    continue;
                for (const CellEntry& e : entries) seen.push_back(e.object());
            }
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        for (int64_t n : seen) {
            ObjectRecord r;
            if (!f.readObject(n, r) || r.typeIndex < 1 || r.typeIndex > t.typeCount()) continue;
            if (v.viewLeft > r.x2 || v.viewTop > r.y2 || v.viewLeft + v.viewWidth < r.x1 ||
                v.viewTop + v.viewHeight < r.y1)
                continue;
            const ObjectType& type = t.types[size_t(r.typeIndex)];
            if (type.drawMode != 1 && type.drawMode != 4) continue;
            std::vector<QPoint> pts;
            if (!f.readPoints(r, pts) || pts.size() < 2) continue;
            Shape s{{},
                    colorFromRgbInt(type.penColor),
                    colorFromRgbInt(type.fillColor),
                    type.closed > 0};
            for (const QPoint& p : pts)
                s.px.emplace_back(int(v.pixelX(p.x()) + 0.5), int(v.pixelY(p.y()) + 0.5));
            shapes.push_back(std::move(s));
        }
    }
}
void BareScene::readLabels(AppState& s, MapBoxes& boxes, const ViewHooks& hooks) {
    std::vector<PictureBox::TextCall> calls;
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage}) b->recordTexts(&calls);
    redrawView(s, boxes, hooks, false);
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
        b->recordTexts(nullptr);
    labels.clear();
    for (const PictureBox::TextCall& c : calls) {
        Label l;
        l.at = QPoint(c.x, c.y);
        l.angle = -c.font.escapement / 10.0;
        l.text = c.text;
        l.font = fontFromLogFont(c.font, cellRatioOf(c.font));
        l.ascent = QFontMetricsF(l.font).ascent();
        l.color = colorFromRgbInt(c.color);
        labels.push_back(std::move(l));
    }
}

void BareScene::draw(QImage& img) const {
    img.fill(Qt::white);
    QPainter p(&img);
    for (const Shape& s : shapes) {
        p.setPen(s.pen);
        if (s.closed) {
            p.setBrush(s.fill);
            p.drawPolygon(s.px.data(), int(s.px.size()));
        } else {
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(s.px.data(), int(s.px.size()));
        }
    }
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (const Label& l : labels) {
        p.setFont(l.font);
        p.setPen(l.color);
        p.resetTransform();
        p.translate(l.at);
        if (l.angle != 0) p.rotate(l.angle);
        p.drawText(QPointF(0, l.ascent), l.text);
    }
}

}  // namespace urbica
