// Timings of the name lists and the text search.
//
//   urbica_bench [--data DIR] [benchmark options]
//
// DIR (or the environment variable URBICA_BENCH_DATA) is a dataset folder,
// for instance one made by `urbica-democity --out DIR --scale 10`. Without
// one, a city of the same size (about 100,000 houses on 3,000 streets and
// 20,000 other named objects) is written to a temporary folder first.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "dataset/datafile.h"
#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/writer.h"

using namespace urbica;

namespace {

struct Dataset {
    Settings settings;
    Catalogue catalogue;
    Tables tables;
    std::vector<int> searchClasses;
    int64_t searchNames = 0;
    mutable FileCache files;  // as the window keeps it

    NameContext ctx() const {
        return NameContext{settings.dataDirectory, catalogue, tables, &files};
    }
};

Dataset* g_data = nullptr;

QString syllables(std::mt19937& rng, int count) {
    static const char* const kParts[] = {"Са", "до", "ва", "Ли",  "те",  "ней", "Пу", "шки", "но",
                                         "Бо", "ро", "ди", "Кру", "тиц", "Ар",  "ба", "Мо",  "ло",
                                         "Ще", "пи", "Ки", "ев",  "Зе",  "лё",  "Ря", "за",  "ни"};
    QString s;
    for (int i = 0; i < count; ++i) {
        QString part = QString::fromUtf8(kParts[rng() % (sizeof kParts / sizeof kParts[0])]);
        s += i == 0 ? part : part.toLower();
    }
    return s;
}

ObjectRefData ref(int i) { return ObjectRefData{1, int32_t(i)}; }

// A city of the size of the demo city at scale 10.
bool writeCity(const QString& dir, QString* error) {
    std::mt19937 rng(20241207);
    DatasetData d;
    d.catalogue.streetClass = 1;
    d.catalogue.metroClass = 4;
    auto& classes = d.tables.classes;
    classes.resize(5);
    auto cls = [](const char* name, int16_t style, const char* base) {
        ClassRecord r;
        r.className = QString::fromUtf8(name);
        r.nameStyle = style;
        r.baseName = QString::fromLatin1(base);
        r.hasNames = 1;
        r.searchable = 1;
        return r;
    };
    classes[1] = cls("Улицы", 2, "ulic");
    classes[2] = cls("Дома", 3, "dom");
    classes[3] = cls("Организации", 1, "org");
    classes[4] = cls("Метро", 1, "metro");
    d.tables.classExtra.resize(5);
    d.classNames.resize(5);

    static const char* const kKinds[] = {" улица",      " переулок", " проспект",
                                         " набережная", " проезд",   " бульвар"};
    const int streets = 3000, housesPerStreet = 34;
    int32_t house = 0;
    for (int s = 1; s <= streets; ++s) {
        NameData st;
        st.name =
            (syllables(rng, 2 + int(rng() % 3)) + QString::fromUtf8(kKinds[rng() % 6])).left(32);
        st.mapObjects.push_back(ref(s));
        for (int h = 0; h < housesPerStreet; ++h) {
            ++house;
            st.parts.push_back({2, house});
            NameData hn;
            hn.number = QString::number(1 + h * 2 + int(rng() % 2));
            if (rng() % 5 == 0) hn.number += QString::fromUtf8("а");
            if (rng() % 7 == 0) hn.fraction = QString::number(1 + rng() % 9);
            if (rng() % 4 == 0) hn.building = QString::number(1 + rng() % 5);
            hn.mapObjects.push_back(ref(house));
            hn.parentClass = 1;
            hn.parentRecord = s;
            d.classNames[2].push_back(hn);
        }
        d.classNames[1].push_back(st);
    }
    for (int i = 1; i <= 20000; ++i) {
        NameData o;
        o.name = QString::fromUtf8("Магазин «") + syllables(rng, 3) + QString::fromUtf8("»");
        o.mapObjects.push_back(ref(i));
        o.parentClass = 1;
        o.parentRecord = 1 + int32_t(rng() % streets);
        d.classNames[3].push_back(o);
    }
    for (int i = 1; i <= 200; ++i) {
        NameData m;
        m.name = syllables(rng, 3);
        m.mapObjects.push_back(ref(i));
        d.classNames[4].push_back(m);
    }
    return writeDataset(d, dir, error);
}

std::unique_ptr<QTemporaryDir> g_tmp;

bool openDataset(QString dir, Dataset& out) {
    if (dir.isEmpty()) {
        g_tmp = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                QStringLiteral("/urbica-bench-XXXXXX"));
        dir = g_tmp->path();
        std::fprintf(stderr, "writing a test city to %s\n", qPrintable(dir));
        QString error;
        if (!writeCity(dir, &error)) {
            std::fprintf(stderr, "cannot write the city: %s\n", qPrintable(error));
            return false;
        }
    }
    out.settings.dataDirectory = QDir(dir).absolutePath() + QLatin1Char('/');
    if (!readCatalogue(out.settings, out.catalogue, out.tables)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(dir), qPrintable(noDataMessage()));
        return false;
    }
    const NameContext ctx = out.ctx();
    for (int c = 1; c <= out.tables.classCount(); ++c) {
        const ClassRecord& r = out.tables.classes[size_t(c)];
        // Every class the universal search can search by text.
        if (r.hasNames == 0) continue;
        out.searchClasses.push_back(c);
        ClassNames names(ctx, c);
        for (int64_t n = 1; n <= names.recordCount(); ++n)
            if (names.nameRecord(n).mapObjectCount > 0) ++out.searchNames;
    }
    std::fprintf(stderr, "%s: %zu searchable classes, %lld names\n", qPrintable(dir),
                 out.searchClasses.size(), (long long)out.searchNames);
    return true;
}

void searchFor(benchmark::State& state, const char* text) {
    const NameContext ctx = g_data->ctx();
    const QString wanted = QString::fromUtf8(text);
    int found = 0;
    for (auto _ : state) {
        ListModel list(false);
        if (findByText(ctx, wanted, list, g_data->searchClasses) != FillStatus::Done)
            state.SkipWithError("search failed");
        found = list.count();
    }
    state.counters["names"] = double(g_data->searchNames);
    state.counters["found"] = found;
}

void BM_FindByText_Rare(benchmark::State& state) { searchFor(state, "крутиц"); }
void BM_FindByText_Common(benchmark::State& state) { searchFor(state, "ая"); }

void BM_FillStreetList(benchmark::State& state) {
    const NameContext ctx = g_data->ctx();
    int count = 0;
    for (auto _ : state) {
        ListModel list(true);
        if (fillStreetList(ctx, list) != FillStatus::Done) state.SkipWithError("fill failed");
        count = list.count();
    }
    state.counters["streets"] = count;
}

void BM_FillClassList_Largest(benchmark::State& state) {
    const NameContext ctx = g_data->ctx();
    int largest = 0;
    int64_t most = -1;
    for (int c : g_data->searchClasses) {
        ClassNames names(ctx, c);
        if (names.recordCount() > most) {
            most = names.recordCount();
            largest = c;
        }
    }
    // The dialog's two lists, filled again on every call as it does.
    ListModel find(true), nosort(false);
    for (auto _ : state)
        if (fillClassList(ctx, find, largest, nosort) != FillStatus::Done)
            state.SkipWithError("fill failed");
    state.counters["records"] = double(most);
}

// One info-line name, files opened each time.
void BM_ObjectNameWithContext(benchmark::State& state) {
    const NameContext ctx = g_data->ctx();
    const int c = g_data->searchClasses.empty() ? 0 : g_data->searchClasses.front();
    int64_t n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(objectName(ctx, c, 1 + (n++ % 1000), true));
}

}  // namespace

BENCHMARK(BM_FindByText_Rare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindByText_Common)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillStreetList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillClassList_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectNameWithContext)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QString dir = qEnvironmentVariable("URBICA_BENCH_DATA");
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strncmp(argv[i], "--data=", 7) == 0)
            dir = QString::fromLocal8Bit(argv[i] + 7);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
    Dataset data;
    if (!openDataset(dir, data)) return 1;
    g_data = &data;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
