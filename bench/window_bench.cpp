// Opening a city from the window's menu ("Карта → Открыть город…") until its
// first picture is drawn: the catalogue, tables, icon table and overview read
// again, the start view drawn into the map. Two cities of the same scale are
// opened in turn, so that each opening reads a city other than the one in use.
//
//   urbica_window_bench [--scale N] [benchmark options]
//
// The window runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "democity.h"
#include "mainwindow/mainwindow.h"

using namespace urbica;

namespace {

struct Cities {
    QTemporaryDir dir;
    QString folders[2];
    int scale = 10;
};
Cities* g_cities = nullptr;

bool writeCity(const QString& folder, int scale, uint64_t seed) {
    democity::Options o;
    o.scale = scale;
    o.seed = seed;
    QString error;
    if (!writeDataset(democity::buildCity(o), folder, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

void BM_OpenCityFromMenu(benchmark::State& st) {
    QTemporaryDir program;
    Settings s;
    s.dataDirectory = g_cities->folders[0] + QLatin1Char('/');
    s.dataDirFromSettings = 1;
    s.aboutshow = 0;
    writeFileAtomically(program.filePath(QLatin1String(kSettingsFileName)), settingsText(s));
    AppState state;
    state.programDirectory = program.path();
    int next = 1;
    MainWindowOptions o;
    o.showMessage = [](const QString& t) { std::fprintf(stderr, "%s\n", qPrintable(t)); };
    o.chooseCityFolder = [&] { return g_cities->folders[next]; };
    MainWindow w(state, o);
    w.startUp();
    w.show();
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    int pictures = 0;
    QObject::connect(&w, &MainWindow::viewRedrawn, [&] { ++pictures; });
    for (auto _ : st) {
        const int before = pictures;
        w.menuCommand(QStringLiteral("opencity"));
        while (pictures == before) QCoreApplication::processEvents();
        next = 1 - next;
    }
    // Each opening went to the other city.
    if (!state.settings.dataDirectory.startsWith(g_cities->folders[1 - next]))
        st.SkipWithError("the city was not opened");
}

}  // namespace

BENCHMARK(BM_OpenCityFromMenu)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto cities = std::make_unique<Cities>();
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--scale" && i + 1 < argc)
            cities->scale = std::atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    for (int i = 0; i < 2; ++i) {
        cities->folders[i] = cities->dir.filePath(QString::number(i));
        if (!writeCity(cities->folders[i], cities->scale, uint64_t(i + 1))) return 1;
    }
    g_cities = cities.get();
    int n = int(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
