// Timings of the map pipeline: a full redraw of the demo city's start view
// (scale 1) and of its densest 1920x1080 view (scale 10), the latter also at
// two device pixels a pixel with smoothing and halos, and the same
// geometry drawn by bare QPainter calls from memory, the floor to approach.
//
//   urbica_render_bench [benchmark options]
//
// The two cities are written to temporary folders first.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
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
    g_large->redraw();  // after a run at another ratio, the buffers are new
    for (auto _ : state) g_large->redraw();
}

// The same view on a screen of two device pixels a pixel, with "Сглаживание"
// on (smoothed lines and icons, haloed labels): at most 3 times the plain
// redraw, for 4 times the pixels.
void BM_RedrawDensestViewRatio2Smoothed(benchmark::State& state) {
    City& c = *g_large;
    setPictureRatio(c.boxes, 2);
    c.s.settings.smoothing = 1;
    // The first picture at a new ratio pays for its buffers (a window does
    // that once, when it moves to the screen).
    c.redraw();
    for (auto _ : state) c.redraw();
    c.s.settings.smoothing = 0;
    setPictureRatio(c.boxes, 1);
}

// The geometry of the densest view read once, then drawn with QPainter alone.
void BM_BarePainterDensestView(benchmark::State& state) {
    City& c = *g_large;
    c.redraw();
    BareScene bare;
    bare.read(c.s);
    QImage img(1916, 1076, QImage::Format_RGB32);
    for (auto _ : state) bare.draw(img);
    state.counters["shapes"] = double(bare.shapes.size());
}

}  // namespace

BENCHMARK(BM_RedrawStartView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawDensestView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawDensestViewRatio2Smoothed)->Unit(benchmark::kMillisecond);
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
