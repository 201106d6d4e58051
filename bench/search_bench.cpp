// Timings of the searches on the demo city at scale 10: the main window's
// quick find over every searchable class, opening the house search (street
// list and first-letter index), a house search on the longest street, and
// opening the metro search.
//
//   urbica_search_bench [--data DIR] [benchmark options]
//
// DIR (or URBICA_BENCH_DATA) is a dataset folder; without one the demo city
// at scale 10 is written to a temporary folder first. The dialogs run on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "democity.h"
#include "search/houses.h"
#include "search/quickfind.h"
#include "search/quickfindwidget.h"
#include "search/searchdom.h"
#include "search/searchmetro.h"

using namespace urbica;

namespace {

struct Data {
    AppState state;
    int32_t longestStreet = 0;
    int longestCount = 0;

    NameContext ctx() const {
        return NameContext{state.settings.dataDirectory, state.catalogue, state.tables};
    }
    SearchEnv env() {
        SearchEnv e;
        e.state = &state;
        e.showMessage = [](const QString&) {};
        e.pumpEvents = [] {};
        return e;
    }
};

Data* g_data = nullptr;

bool open(const QString& dir, Data& d) {
    d.state.settings.dataDirectory = dir + "/";
    d.state.programDirectory = dir;
    if (!readCatalogue(d.state.settings, d.state.catalogue, d.state.tables) ||
        d.state.catalogue.gridExtent == 0)
        return false;
    // The street with the most houses.
    const ClassNames streets(d.ctx(), d.state.catalogue.streetClass);
    for (int64_t n = 1; n <= streets.recordCount(); ++n) {
        const int parts = streets.nameRecord(n).partCount;
        if (parts > d.longestCount) {
            d.longestCount = parts;
            d.longestStreet = int32_t(n);
        }
    }
    return true;
}

// The core of the quick find: the text search over every searchable class.
void BM_QuickFind_Search(benchmark::State& state, const char* text) {
    const NameContext ctx = g_data->ctx();
    const std::vector<int> classes = quickFindClasses(g_data->state.tables);
    const QString wanted = QString::fromUtf8(text);
    int found = 0;
    for (auto _ : state) {
        ListModel list(true);
        findByText(ctx, wanted, list, classes);
        found = list.count();
    }
    state.counters["found"] = found;
    state.counters["classes"] = double(classes.size());
}

// The quick find as the main window runs it, result list widget included.
void BM_QuickFind_Window(benchmark::State& state, const char* text) {
    QWidget window;
    auto* name = new QLineEdit(&window);
    auto* list = new QListWidget(&window);
    auto* find = new QPushButton(&window);
    auto* show = new QPushButton(&window);
    QuickFind quick(g_data->env(), name, list, find, show);
    name->setText(QString::fromUtf8(text));
    for (auto _ : state) quick.find();
    state.counters["found"] = list->count();
}

void BM_OpenSearchDom(benchmark::State& state) {
    int streets = 0;
    for (auto _ : state) {
        SearchDomDialog dlg(g_data->env());
        streets = dlg.streets().count();
    }
    state.counters["streets"] = streets;
}

// "Найти дом" on the longest street: a number that is there, and all houses.
void BM_HouseSearch_LongestStreet(benchmark::State& state, const char* number) {
    SearchDomDialog dlg(g_data->env());
    dlg.askNoHouse = [] { return int16_t(kNoHouseCancel); };
    int at = -1;
    for (int i = 0; i < dlg.streets().count(); ++i)
        if (dlg.streets().itemData(i) == g_data->longestStreet) at = i;
    dlg.streets().setCurrentIndex(at);
    dlg.domnom->setText(QString::fromUtf8(number));
    for (auto _ : state) dlg.findHouse();
    state.counters["houses"] = g_data->longestCount;
    state.counters["found"] = dlg.houses().count();
}

void BM_OpenSearchMetro(benchmark::State& state) {
    int stations = 0;
    for (auto _ : state) {
        SearchMetroDialog dlg(g_data->env());
        stations = dlg.stations().count();
    }
    state.counters["stations"] = stations;
}

}  // namespace

BENCHMARK_CAPTURE(BM_QuickFind_Search, rare, "бульв")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFind_Search, common, "ая")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFind_Window, rare, "бульв")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFind_Window, common, "ая")->Unit(benchmark::kMillisecond);
// Latin letters (ASCII spellings folded) and a word cut at its dot.
BENCHMARK_CAPTURE(BM_QuickFind_Window, latin, "Muellerstr")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuickFind_Window, abbreviated, "С. пер.")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSearchDom)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HouseSearch_LongestStreet, number, "1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HouseSearch_LongestStreet, all, "")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSearchMetro)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString dir = qEnvironmentVariable("URBICA_BENCH_DATA");
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--data" && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    QTemporaryDir temp;
    if (dir.isEmpty()) {
        democity::Options o;
        o.scale = 10;
        QString error;
        if (!writeDataset(democity::buildCity(o), temp.path(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        dir = temp.path();
    }
    auto data = std::make_unique<Data>();
    if (!open(dir, *data)) {
        std::fprintf(stderr, "%s: no dataset\n", qPrintable(dir));
        return 1;
    }
    std::fprintf(stderr, "%s: longest street %d with %d houses\n", qPrintable(dir),
                 data->longestStreet, data->longestCount);
    g_data = data.get();
    int n = int(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
