// Timings of the map pipeline: a full redraw of the demo city's start view
// (scale 1) and of its densest 1920x1080 view (scale 10), and the same
// geometry drawn by bare QPainter calls from memory, the floor to approach.
//
//   urbica_render_bench [benchmark options]
//
// The two cities are written to temporary folders first.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <memory>

#include "benchcity.h"
#include "dataset/objects.h"
#include "view/appstate.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

struct City : BenchCity {
    float left = 0, top = 0, width = 0;

    bool open(int scale, int w, int h) {
        if (!BenchCity::open(scale, w, h)) return false;
        left = float(s.catalogue.startX);
        top = float(s.catalogue.startY);
        width = float(s.catalogue.startWidth);
        buildOverview(s, boxes, hooks);
        return true;
    }
    void redraw() {
        s.view.viewLeft = left;
        s.view.viewTop = top;
        s.view.viewWidth = width;
        redrawView(s, boxes, hooks, false);
    }
    // A view of 1 unit per pixel centred on the densest grid cell.
    void densestView(int w, int h) {
        const QPointF c = densestCellCentre();
        left = float(c.x() - w / 2.0);
        top = float(c.y() - h / 2.0);
        width = float(w);
    }
};

City* g_small = nullptr;
City* g_large = nullptr;

void BM_RedrawStartView(benchmark::State& state) {
    for (auto _ : state) g_small->redraw();
    state.counters["upp"] = g_small->s.view.unitsPerPixel;
}

void BM_RedrawDensestView(benchmark::State& state) {
    for (auto _ : state) g_large->redraw();
}

// The geometry of the densest view read once, then drawn with QPainter alone.
void BM_BarePainterDensestView(benchmark::State& state) {
    City& c = *g_large;
    c.redraw();
    const MapView v{c.s.view.viewLeft,   c.s.view.viewTop,       c.s.view.viewWidth,
                    c.s.view.viewHeight, c.s.view.unitsPerPixel, c.s.view.iconSize};
    struct Shape {
        std::vector<QPoint> px;
        QColor pen, fill;
        bool closed;
    };
    std::vector<Shape> shapes;
    for (int i = 1; i < int(c.s.tables.drawOrder.size()); ++i) {
        const int l = c.s.tables.drawOrder[size_t(i)];
        if (l < 1 || l > c.s.tables.layerCount()) continue;
        const LayerRecord& layer = c.s.tables.layers[size_t(l)];
        LayerFiles f(c.s.settings.dataDirectory, layer, 0);
        ObjectRecord r;
        for (int64_t n = 1; f.readObject(n, r); ++n) {
            if (v.viewLeft > r.x2 || v.viewTop > r.y2 || v.viewLeft + v.viewWidth < r.x1 ||
                v.viewTop + v.viewHeight < r.y1 || r.typeIndex < 1 ||
                r.typeIndex > c.s.tables.typeCount())
                continue;
            const ObjectType& t = c.s.tables.types[size_t(r.typeIndex)];
            if (t.drawMode != 1 && t.drawMode != 4) continue;
            std::vector<QPoint> pts;
            if (!f.readPoints(r, pts) || pts.size() < 2) continue;
            Shape s{{}, colorFromRgbInt(t.penColor), colorFromRgbInt(t.fillColor), t.closed > 0};
            for (const QPoint& p : pts)
                s.px.emplace_back(int(v.pixelX(p.x()) + 0.5), int(v.pixelY(p.y()) + 0.5));
            shapes.push_back(std::move(s));
        }
    }
    QImage img(1916, 1076, QImage::Format_RGB32);
    for (auto _ : state) {
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
    }
    state.counters["shapes"] = double(shapes.size());
}

}  // namespace

BENCHMARK(BM_RedrawStartView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawDensestView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePainterDensestView)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto small = std::make_unique<City>();
    auto large = std::make_unique<City>();
    if (!small->open(1, 1024, 768) || !large->open(10, 1920, 1080)) return 1;
    large->densestView(1916, 1076);
    g_small = small.get();
    g_large = large.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
