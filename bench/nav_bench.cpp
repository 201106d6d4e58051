// Timings of the pointer feedback on the densest 1920x1080 view of the demo
// city at scale 10: the pick under the pointer (with its highlight), the
// hover test while a pick is current, and one step of the pan preview.
//
//   urbica_nav_bench [benchmark options]
//
// The city is written to a temporary folder first.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "dataset/objects.h"
#include "benchcity.h"
#include "view/appstate.h"
#include "view/navigation.h"
#include "view/pick.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

struct City : BenchCity {
    NavigationState nav;
    NavContext ctx{s, boxes, hooks, nav, {}};
    double cx = 0, cy = 0;  // centre of the densest cell

    // A view of 1 unit per pixel centred on the densest grid cell.
    void showDensestView() {
        const QPointF c = densestCellCentre();
        cx = c.x();
        cy = c.y();
        s.view.viewLeft = float(cx - 958);
        s.view.viewTop = float(cy - 538);
        s.view.viewWidth = 1916;
        redrawView(s, boxes, hooks, false);
        cx = s.view.viewLeft + 958;
        cy = s.view.viewTop + 538;
    }
    // A point near the centre with an object under it.
    bool findHit(double& x, double& y) const { return BenchCity::findHit(cx, cy, x, y); }
};

City* g_city = nullptr;

void BM_PickAt(benchmark::State& state) {
    City& c = *g_city;
    double x, y;
    if (!c.findHit(x, y)) {
        state.SkipWithError("no object near the centre");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(pickAt(c.s, c.boxes, c.hooks, x, y));
    state.counters["layer"] = findObjectAt(c.s, x, y).layer;
}

// The search alone, without naming and highlighting.
void BM_FindObjectAt(benchmark::State& state) {
    City& c = *g_city;
    double x, y;
    if (!c.findHit(x, y)) {
        state.SkipWithError("no object near the centre");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(findObjectAt(c.s, x, y));
}

void BM_PickAtMiss(benchmark::State& state) {
    City& c = *g_city;
    // Every selectable layer is searched; far off the city nothing is hit.
    const double x = c.s.catalogue.gridExtent - 1, y = c.s.catalogue.gridExtent - 1;
    for (auto _ : state) benchmark::DoNotOptimize(findObjectAt(c.s, x, y));
}

void BM_PointerStillOver(benchmark::State& state) {
    City& c = *g_city;
    double x, y;
    if (!c.findHit(x, y)) {
        state.SkipWithError("no object near the centre");
        return;
    }
    PickResult pick = pickAt(c.s, c.boxes, c.hooks, x, y);
    for (auto _ : state)
        benchmark::DoNotOptimize(pointerStillOver(c.s, c.boxes, c.hooks, pick, x, y));
}

void BM_PointerLeaves(benchmark::State& state) {
    City& c = *g_city;
    double x, y;
    if (!c.findHit(x, y)) {
        state.SkipWithError("no object near the centre");
        return;
    }
    const PickResult picked = findObjectAt(c.s, x, y);
    const double farX = c.s.catalogue.gridExtent - 1, farY = c.s.catalogue.gridExtent - 1;
    for (auto _ : state) {
        PickResult pick = picked;  // the hit test and the restore of the picture
        benchmark::DoNotOptimize(pointerStillOver(c.s, c.boxes, c.hooks, pick, farX, farY));
    }
}

void BM_PanPreviewMove(benchmark::State& state) {
    City& c = *g_city;
    c.nav.pointerMode = kModePanArmed;
    mapMouseDown(c.ctx, MouseButton::Left, c.cx, c.cy);
    int i = 0;
    for (auto _ : state) {
        const double d = (++i % 50) * 3.0;
        mapMouseMove(c.ctx, c.cx + d, c.cy - d / 2);
    }
    mapKeyPress(c.ctx, kKeyEscape);
}

}  // namespace

BENCHMARK(BM_PickAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindObjectAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickAtMiss)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointerStillOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointerLeaves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanPreviewMove)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto city = std::make_unique<City>();
    if (!city->open(10, 1920, 1080)) return 1;
    city->showDensestView();
    g_city = city.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
