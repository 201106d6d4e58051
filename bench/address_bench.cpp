// Timings of the address search on the demo city: building the address index,
// batch geocoding of 10,000 addresses of the city itself at scale 10 (a third
// typed in one line), and one one-line address at scale 100.
//
//   urbica_address_bench [--data10 DIR] [--data100 DIR] [benchmark options]
//
// Without a folder the demo city of that scale is written to a temporary
// folder first (scale 100 takes a while).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>

#include "addressmix.h"
#include "dataset/writer.h"
#include "democity.h"

using namespace urbica;

namespace {

struct City {
    QTemporaryDir temp;
    AppState s;
    std::shared_ptr<const AddressIndex> index;
    QStringList mix;      // 10,000 addresses, a third in one line
    QStringList oneLine;  // 1,000 one-line addresses
};

std::map<int, std::unique_ptr<City>> g_cities;

bool open(int scale, QString dir, City& c) {
    if (dir.isEmpty()) {
        democity::Options o;
        o.scale = scale;
        QString error;
        if (!writeDataset(democity::buildCity(o), c.temp.path(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        dir = c.temp.path();
    }
    c.s.settings.dataDirectory = dir + "/";
    c.s.programDirectory = dir;
    if (!readCatalogue(c.s.settings, c.s.catalogue, c.s.tables) || c.s.catalogue.gridExtent == 0)
        return false;
    QString error;
    c.index = AddressIndex::cached(c.s.names(), &error);
    if (!c.index) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    c.mix = bench::addressMix(c.s.names(), 10000);
    for (const QString& a : bench::addressMix(c.s.names(), 3000))
        if (!a.contains(u'\t')) c.oneLine << a;
    return true;
}

void BM_BuildIndex(benchmark::State& state, int scale) {
    City& c = *g_cities.at(scale);
    int64_t names = 0;
    for (auto _ : state) names = AddressIndex::build(c.s.names())->nameCount();
    state.counters["streets"] = double(names);
}

// The batch after loading: the index is built, each street's houses are read
// on the first pass (timed once apart) and kept.
void BM_Geocode(benchmark::State& state, int scale) {
    City& c = *g_cities.at(scale);
    auto index = AddressIndex::build(c.s.names());
    // One batch is one search, as urbica-find runs it.
    const FileCache::Pass pass(&c.s.files);
    QElapsedTimer t;
    t.start();
    int found = 0;
    for (const QString& a : c.mix) found += bench::geocodeOne(c.s, *index, a) ? 1 : 0;
    const double firstPass = double(c.mix.size()) / (double(t.nsecsElapsed()) / 1e9);
    for (auto _ : state)
        for (const QString& a : c.mix) benchmark::DoNotOptimize(bench::geocodeOne(c.s, *index, a));
    state.SetItemsProcessed(int64_t(state.iterations()) * c.mix.size());
    state.counters["found"] = found;
    state.counters["first_pass_per_s"] = firstPass;
}

// One one-line address, a different one each time.
void BM_OneAddress(benchmark::State& state, int scale) {
    City& c = *g_cities.at(scale);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(findAddress(*c.index, c.oneLine[i++ % c.oneLine.size()]).size());
    }
}

// The same on an index just built: the streets' houses are read by the query.
void BM_OneAddressCold(benchmark::State& state, int scale) {
    City& c = *g_cities.at(scale);
    qsizetype i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto index = AddressIndex::build(c.s.names());
        state.ResumeTiming();
        benchmark::DoNotOptimize(findAddress(*index, c.oneLine[i++ % c.oneLine.size()]).size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::map<int, QString> dirs;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--data10" || a == "--data100") && i + 1 < argc)
            dirs[a == "--data10" ? 10 : 100] = QString::fromLocal8Bit(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    for (int scale : {10, 100}) {
        auto c = std::make_unique<City>();
        if (!open(scale, dirs[scale], *c)) return 1;
        std::fprintf(stderr, "scale %d: %lld street names, %lld addresses\n", scale,
                     static_cast<long long>(c->index->nameCount()),
                     static_cast<long long>(c->mix.size()));
        g_cities[scale] = std::move(c);
    }
    benchmark::RegisterBenchmark("BM_BuildIndex/10", BM_BuildIndex, 10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_BuildIndex/100", BM_BuildIndex, 100)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Geocode10000/10", BM_Geocode, 10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_OneAddress/100", BM_OneAddress, 100)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_OneAddressCold/100", BM_OneAddressCold, 100)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(100);
    int n = int(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
