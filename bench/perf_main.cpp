// The performance table: every timing the viewer is held to, measured on the
// demo cities at scales 1, 10 and 100, printed as a table of medians with the
// target of each line.
//
//   urbica_perf --cities DIR [--viewer PROGRAM] [benchmark options]
//   urbica_perf --memory-probe DATASET
//
// DIR holds the demo cities in DIR/1, DIR/10 and DIR/100 (written by
// urbica-democity; scripts/bench.sh does all of it). PROGRAM is the viewer,
// started with --startup-probe to time start-up to the first picture. The
// memory probe opens a dataset as the viewer does, draws, picks and searches
// on a 1920x1080 map, and prints its peak resident memory in KiB.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "addressmix.h"
#include "benchcity.h"
#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/objects.h"
#include "search/nearby.h"
#include "search/quickaddress.h"
#include "search/quickfind.h"
#include "view/locate.h"
#include "view/pick.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

constexpr int kMapWidth = 1920, kMapHeight = 1080;  // outer size of the map box
constexpr int kViewWidth = kMapWidth - 4, kViewHeight = kMapHeight - 4;

struct City : BenchCity {
    int scale = 0;
    double cx = 0, cy = 0;  // centre of the densest view

    void show(double left, double top, double width) {
        s.view.viewLeft = float(left);
        s.view.viewTop = float(top);
        s.view.viewWidth = float(width);
        redrawView(s, boxes, hooks, false);
    }
    void showStart() { show(s.catalogue.startX, s.catalogue.startY, s.catalogue.startWidth); }
    // One map unit per pixel, centred on the densest grid cell.
    void showDensest() { show(cx - kViewWidth / 2.0, cy - kViewHeight / 2.0, kViewWidth); }

    bool load(const QString& dir, int w, int h) {
        if (!BenchCity::load(dir, w, h)) return false;
        buildOverview(s, boxes, hooks);
        const QPointF c = densestCellCentre();
        cx = c.x();
        cy = c.y();
        return true;
    }
    // A point near the centre of the densest view with an object under it.
    bool findHit(double& x, double& y) const { return BenchCity::findHit(cx, cy, x, y); }
    std::vector<int> classesWithNames() const {
        std::vector<int> out;
        for (int c = 1; c <= s.tables.classCount(); ++c)
            if (s.tables.classes[size_t(c)].hasNames != 0) out.push_back(c);
        return out;
    }
    int64_t namesIn(const std::vector<int>& classes) const {
        int64_t n = 0;
        for (int c : classes) n += ClassNames(s.names(), c).recordCount();
        return n;
    }
    // The class with the most name records.
    int biggestClass() const {
        int best = 0;
        int64_t most = -1;
        for (int c = 1; c <= s.tables.classCount(); ++c) {
            const int64_t n = ClassNames(s.names(), c).recordCount();
            if (n > most) {
                most = n;
                best = c;
            }
        }
        return best;
    }
};

std::map<int, std::unique_ptr<City>> g_cities;  // densest views, 1920x1080
std::unique_ptr<City> g_startCity;              // scale 1 in a 1024x768 box

// One line of the table.
struct Line {
    std::string what;
    std::string target;
    double ms = -1;  // the median; below zero: not measured
    std::string note;
};
std::vector<Line> g_lines;
std::map<std::string, size_t> g_lineOf;  // benchmark name -> line

void addLine(const std::string& bench, const std::string& what, const std::string& target) {
    g_lineOf[bench] = g_lines.size();
    g_lines.push_back({what, target, -1, {}});
}

double lineMs(const std::string& bench) {
    auto it = g_lineOf.find(bench);
    return it == g_lineOf.end() ? -1 : g_lines[it->second].ms;
}

// Prints what Google Benchmark prints, and keeps the medians for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.aggregate_name != "median") continue;
            std::string name = r.run_name.function_name;
            auto it = g_lineOf.find(name);
            if (it == g_lineOf.end()) continue;
            const double perIter = r.GetAdjustedRealTime();  // in the run's unit
            double ms = perIter;
            switch (r.time_unit) {
                case benchmark::kNanosecond:
                    ms = perIter / 1e6;
                    break;
                case benchmark::kMicrosecond:
                    ms = perIter / 1e3;
                    break;
                case benchmark::kMillisecond:
                    break;
                case benchmark::kSecond:
                    ms = perIter * 1e3;
                    break;
            }
            g_lines[it->second].ms = ms;
        }
    }
};

template <class F>
void reg(const std::string& name, const std::string& what, const std::string& target, F f,
         benchmark::TimeUnit unit = benchmark::kMillisecond) {
    addLine(name, what, target);
    benchmark::RegisterBenchmark(name.c_str(), f)
        ->Unit(unit)
        ->UseRealTime()
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
}

std::string fmtMs(double ms) {
    if (ms < 0) return "—";
    char buf[64];
    if (ms >= 100)
        std::snprintf(buf, sizeof buf, "%.0f ms", ms);
    else if (ms >= 1)
        std::snprintf(buf, sizeof buf, "%.1f ms", ms);
    else
        std::snprintf(buf, sizeof buf, "%.3f ms", ms);
    return buf;
}

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Start-up to the first picture: the viewer started and timed until it says so.
double startupMs(const QString& viewer, int runs, const QString& dataFolder = QString()) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        QStringList args{QStringLiteral("--startup-probe")};
        if (!dataFolder.isEmpty()) args << dataFolder;
        p.start(viewer, args);
        double at = -1;
        while (p.waitForReadyRead(20000)) {
            if (p.readAllStandardOutput().contains("first picture")) {
                at = double(t.nsecsElapsed()) / 1e6;
                break;
            }
        }
        if (!p.waitForFinished(20000)) p.kill();
        if (at < 0) {
            std::fprintf(stderr, "%s gave no first picture\n", qPrintable(viewer));
            return -1;
        }
        times.push_back(at);
    }
    return median(times);
}

// Peak resident memory of this process in KiB.
long peakKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

int memoryProbe(const QString& dir) {
    City c;
    if (!c.load(dir, kMapWidth, kMapHeight)) return 1;
    c.showStart();
    c.showDensest();
    double x, y;
    if (c.findHit(x, y)) pickAt(c.s, c.boxes, c.hooks, x, y);
    const NameContext ctx = c.s.names();
    ListModel found(true);
    findByText(ctx, QStringLiteral("ул"), found, c.classesWithNames());
    ListModel streets;
    fillStreetList(ctx, streets);
    if (!found.isEmpty()) {
        const NamedObject o = decodeItemKey(found.itemData(0));
        showNamedObject(c.s, c.boxes, c.hooks, o.classNumber, o.record);
    }
    c.showDensest();
    std::printf("%ld\n", peakKiB());
    return 0;
}

double memoryMiB(const QString& self, const QString& dir) {
    QProcess p;
    p.start(self, {QStringLiteral("--memory-probe"), dir});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) return -1;
    return p.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

void registerAll() {
    City& s1 = *g_cities[1];
    reg("start_view_1", "Redraw, start view of the standard demo city (1024×768)", "≤ 30 ms",
        [](benchmark::State& st) {
            for (auto _ : st) g_startCity->showStart();
        });
    for (auto& [scale, city] : g_cities) {
        City* c = city.get();
        reg("densest_" + std::to_string(scale),
            "Redraw, densest 1920×1080 view, `--scale " + std::to_string(scale) + "`",
            scale == 10    ? "≤ 150 ms and ≤ 1.3× floor"
            : scale == 100 ? "≤ 1.3× `--scale 1`"
                           : "",
            [c](benchmark::State& st) {
                for (auto _ : st) c->showDensest();
            });
        if (scale == 10)
            reg("densest_apart_10",
                "Redraw, densest view, `--scale 10`, \"Подписи без наложений\" on",
                "≤ 1.2× the redraw", [c](benchmark::State& st) {
                    c->s.settings.labelsApart = 1;
                    for (auto _ : st) c->showDensest();
                    c->s.settings.labelsApart = 0;
                });
        if (scale == 10)
            reg("densest_ratio2_10",
                "Redraw, densest view, `--scale 10`, device pixel ratio 2 with \"Сглаживание\" "
                "(halos)",
                "≤ 3× the redraw at ratio 1", [c](benchmark::State& st) {
                    setPictureRatio(c->boxes, 2);
                    c->s.settings.smoothing = 1;
                    // The first picture at a new ratio pays for its buffers
                    // (a window does that once, when it moves to the screen).
                    c->showDensest();
                    for (auto _ : st) c->showDensest();
                    c->s.settings.smoothing = 0;
                    setPictureRatio(c->boxes, 1);
                });
        auto bare = std::make_shared<BareScene>();
        c->showDensest();
        bare->read(c->s);
        bare->readLabels(c->s, c->boxes, c->hooks);
        reg("floor_" + std::to_string(scale),
            "Bare `QPainter` floor with the same labels, same view, `--scale " +
                std::to_string(scale) + "` (" + std::to_string(bare->shapes.size()) + " shapes, " +
                std::to_string(bare->labels.size()) + " texts)",
            "", [bare](benchmark::State& st) {
                QImage img(kViewWidth, kViewHeight, QImage::Format_RGB32);
                for (auto _ : st) bare->draw(img);
            });
    }
    if (g_cities.count(100)) {
        // The whole city of --scale 100 at the zoom where each level of the
        // layers starts to apply, zooming out: the dearest view of each level.
        City* c = g_cities[100].get();
        std::vector<float> limits;
        for (int l = 1; l <= c->s.tables.layerCount(); ++l)
            for (const auto& level : c->s.tables.layers[size_t(l)].levels)
                if (level.scaleLimit > 0) limits.push_back(level.scaleLimit);
        std::sort(limits.begin(), limits.end());
        limits.erase(std::unique(limits.begin(), limits.end()), limits.end());
        const double whole = c->s.catalogue.extentWidth;
        const double centreX = c->s.catalogue.extentLeft + whole / 2.0;
        const double centreY = c->s.catalogue.extentTop + c->s.catalogue.extentHeight / 2.0;
        for (size_t k = 0; k <= limits.size(); ++k) {
            // Just finer than the next limit; the whole city for the last level.
            const double width =
                k < limits.size() ? std::min(whole, 0.999 * limits[k] * kViewWidth) : whole;
            const std::string level = std::to_string(k + 1);
            const std::string upp =
                std::to_string(int(width / kViewWidth * 100) / 100.0).substr(0, 5);
            reg("level_" + level + "_100",
                "Redraw, `--scale 100`, level " + level +
                    (k < limits.size() ? " where it starts (" : ", the whole city (") + upp +
                    " units per pixel)",
                "", [c, width, centreX, centreY](benchmark::State& st) {
                    for (auto _ : st)
                        c->show(centreX - width / 2, centreY - width * kViewHeight / kViewWidth / 2,
                                width);
                });
        }
    }
    City* c10 = g_cities.count(10) ? g_cities[10].get() : &s1;
    reg(
        "pick", "`pickAt` with name and highlight, densest view", "≤ 1 ms",
        [c10](benchmark::State& st) {
            c10->showDensest();
            double x, y;
            if (!c10->findHit(x, y)) return st.SkipWithError("nothing to pick");
            for (auto _ : st)
                benchmark::DoNotOptimize(pickAt(c10->s, c10->boxes, c10->hooks, x, y));
        },
        benchmark::kMicrosecond);
    reg(
        "still_over", "`pointerStillOver`, pointer still on the object", "",
        [c10](benchmark::State& st) {
            c10->showDensest();
            double x, y;
            if (!c10->findHit(x, y)) return st.SkipWithError("nothing to pick");
            PickResult pick = pickAt(c10->s, c10->boxes, c10->hooks, x, y);
            for (auto _ : st)
                benchmark::DoNotOptimize(
                    pointerStillOver(c10->s, c10->boxes, c10->hooks, pick, x, y));
        },
        benchmark::kMicrosecond);
    reg(
        "leaves", "`pointerStillOver`, pointer leaving (picture restored)", "",
        [c10](benchmark::State& st) {
            c10->showDensest();
            double x, y;
            if (!c10->findHit(x, y)) return st.SkipWithError("nothing to pick");
            const PickResult picked = pickAt(c10->s, c10->boxes, c10->hooks, x, y);
            for (auto _ : st) {
                PickResult pick = picked;
                benchmark::DoNotOptimize(
                    pointerStillOver(c10->s, c10->boxes, c10->hooks, pick, -1e6, -1e6));
            }
        },
        benchmark::kMicrosecond);
    for (auto& [scale, city] : g_cities) {
        if (scale == 1) continue;
        City* c = city.get();
        const std::vector<int> classes = c->classesWithNames();
        const int64_t names = c->namesIn(classes);
        reg("quick_find_" + std::to_string(scale),
            "Quick find over every class with names, `--scale " + std::to_string(scale) + "` (" +
                std::to_string(names) + " names)",
            names >= 100000 ? "≤ 50 ms" : "", [c, classes](benchmark::State& st) {
                const NameContext ctx = c->s.names();
                int found = 0;
                for (auto _ : st) {
                    ListModel list(true);
                    findByText(ctx, QStringLiteral("ПАРК"), list, classes);
                    found = list.count();
                }
                st.counters["found"] = found;
            });
    }
    reg("street_list", "`fillStreetList`, `--scale 10`", "", [c10](benchmark::State& st) {
        const NameContext ctx = c10->s.names();
        for (auto _ : st) {
            ListModel list(true);
            fillStreetList(ctx, list);
        }
    });
    const int biggest = c10->biggestClass();
    reg("class_list",
        "`fillClassList` of the biggest class, `--scale 10` (" +
            std::to_string(ClassNames(c10->s.names(), biggest).recordCount()) + " names)",
        "", [c10, biggest](benchmark::State& st) {
            const NameContext ctx = c10->s.names();
            // The dialog's two lists, filled again on every call as it does.
            ListModel findList(true), nosortList;
            for (auto _ : st) fillClassList(ctx, findList, biggest, nosortList);
        });
    reg("show_named", "`showNamedObject`, a street of `--scale 10`", "",
        [c10](benchmark::State& st) {
            int n = 0;
            for (auto _ : st)
                showNamedObject(c10->s, c10->boxes, c10->hooks, c10->s.catalogue.streetClass,
                                1 + (n++ % 50));
        });
    if (g_cities.count(10)) {
        City* c = g_cities[10].get();
        auto index = AddressIndex::cached(c->s.names());
        auto mix = std::make_shared<QStringList>(bench::addressMix(c->s.names(), 10000));
        reg("geocode_10",
            "Geocode 10,000 addresses of the city (a third in one line), `--scale 10`, index built",
            "≤ 200 ms (≥ 50,000 a second)", [c, index, mix](benchmark::State& st) {
                const FileCache::Pass pass(&c->s.files);
                for (auto _ : st)
                    for (const QString& a : *mix)
                        benchmark::DoNotOptimize(bench::geocodeOne(c->s, *index, a));
            });
    }
    if (g_cities.count(100)) {
        City* c = g_cities[100].get();
        auto index = AddressIndex::cached(c->s.names());
        auto lines = std::make_shared<QStringList>();
        for (const QString& a : bench::addressMix(c->s.names(), 300))
            if (!a.contains(u'\t')) *lines << a;
        reg(
            "address_100", "One address in one line, `--scale 100`, index built", "≤ 5 ms",
            [index, lines](benchmark::State& st) {
                qsizetype i = 0;
                for (auto _ : st)
                    benchmark::DoNotOptimize(
                        findAddress(*index, (*lines)[i++ % lines->size()]).size());
            },
            benchmark::kMicrosecond);
        const std::vector<int> classes = quickFindClasses(c->s.tables);
        reg("quick_find_address_100",
            "Quick find with an address in one line (houses, then names), `--scale 100`", "≤ 50 ms",
            [c, index, lines, classes](benchmark::State& st) {
                const NameContext ctx = c->s.names();
                qsizetype i = 0;
                int found = 0;
                for (auto _ : st) {
                    const QString& text = (*lines)[i++ % lines->size()];
                    const std::vector<ListModel::Item> houses = quickFindAddresses(ctx, text);
                    ListModel list(true);
                    findByText(ctx, text, list, classes, nullptr, nullptr, TextMatch::Anywhere,
                               true);
                    found = int(houses.size()) + list.count();
                }
                st.counters["found"] = found;
            });
    }
    if (g_cities.count(100)) {
        City* c = g_cities[100].get();
        const std::vector<int> classes = quickFindClasses(c->s.tables);
        // A kind near the view: the demo city has no kinds file, so the type
        // names stand in (their index is made at the first search and kept).
        reg("kind_near_100",
            "A kind near the view (\"аптека рядом\", 100 nearest with distances), `--scale 100`",
            "≤ 30 ms", [c](benchmark::State& st) {
                const NameContext ctx = c->s.names();
                const FileCache::Pass pass(&c->s.files);
                const double x = c->s.view.viewLeft + c->s.view.viewWidth / 2;
                const double y = c->s.view.viewTop + c->s.view.viewHeight / 2;
                int found = 0;
                for (auto _ : st) {
                    found = int(nearbyItems(ctx, findNearby(ctx, QStringLiteral("аптека рядом"), x,
                                                            y, kNearbyListLimit))
                                    .size());
                }
                st.counters["found"] = found;
            });
        // A street's name with one letter left out of its longest word.
        QString typo = ClassNames(c->s.names(), c->s.catalogue.streetClass).shortName(1);
        qsizetype longest = 0, at = 0;
        for (const QString& w : typo.split(u' '))
            if (w.size() > longest) longest = w.size(), at = typo.indexOf(w);
        typo.remove(at + longest / 2, 1);
        reg("quick_find_typo_100",
            "Quick find with a name one typo away (\"" + typo.toStdString() +
                "\", names as typed, then those one typo away), `--scale 100`",
            "≤ 50 ms", [c, classes, typo](benchmark::State& st) {
                const NameContext ctx = c->s.names();
                int found = 0;
                for (auto _ : st) {
                    ListModel list(true);
                    findByText(ctx, typo, list, classes, nullptr, nullptr, TextMatch::Anywhere,
                               true);
                    found = list.count();
                }
                st.counters["found"] = found;
            });
    }
    reg("nearest_metro", "`nearestMetro` from the start view, `--scale 10`", "",
        [c10](benchmark::State& st) {
            for (auto _ : st) {
                c10->showStart();
                nearestMetro(c10->s, c10->boxes, c10->hooks, c10->s.catalogue.metroClass);
            }
            st.counters["with_start_view"] = 1;
        });
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int probeAt = int(args.indexOf(QStringLiteral("--memory-probe")));
    if (probeAt >= 0 && probeAt + 1 < args.size()) return memoryProbe(args[probeAt + 1]);

    benchmark::Initialize(&argc, argv);
    QString citiesDir, viewer;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--cities") citiesDir = QString::fromLocal8Bit(argv[i + 1]);
        if (std::string(argv[i]) == "--viewer") viewer = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (citiesDir.isEmpty()) {
        std::fprintf(stderr, "usage: urbica_perf --cities DIR [--viewer PROGRAM]\n");
        return 2;
    }
    g_startCity = std::make_unique<City>();
    if (!g_startCity->load(citiesDir + "/1", 1024, 768)) return 1;
    for (int scale : {1, 10, 100}) {
        auto c = std::make_unique<City>();
        c->scale = scale;
        const QString dir = citiesDir + "/" + QString::number(scale);
        if (!QFile::exists(dir + "/done")) {
            std::fprintf(stderr, "%s is missing; skipped\n", qPrintable(dir));
            continue;
        }
        if (!c->load(dir, kMapWidth, kMapHeight)) return 1;
        g_cities[scale] = std::move(c);
    }
    if (!g_cities.count(1)) return 1;
    registerAll();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double startup = -1, startup100 = -1, memory = -1;
    if (!viewer.isEmpty()) {
        startup = startupMs(viewer, 7);
        if (g_cities.count(100)) {
            // Opening a city from the command line records it in the program
            // folder; what was there is put back.
            const QString folder = QFileInfo(viewer).absolutePath();
            std::map<QString, QByteArray> kept;
            for (const char* name : {"urbica.cfg", "urbica.recent"}) {
                QFile f(folder + "/" + name);
                if (f.open(QIODevice::ReadOnly)) kept[name] = f.readAll();
            }
            startup100 = startupMs(viewer, 7, QDir(citiesDir + "/100").absolutePath());
            for (const char* name : {"urbica.cfg", "urbica.recent"}) {
                QFile f(folder + "/" + name);
                if (kept.count(name) && f.open(QIODevice::WriteOnly))
                    f.write(kept[name]);
                else if (!kept.count(name))
                    QFile::remove(folder + "/" + name);
            }
        }
    }
    if (g_cities.count(100)) {
        g_cities.clear();  // the probe runs alone
        memory = memoryMiB(QCoreApplication::applicationFilePath(), citiesDir + "/100");
    }

    // Ratios the targets speak of.
    auto ratio = [](double a, double b) {
        char buf[32];
        if (a < 0 || b <= 0) return std::string("—");
        std::snprintf(buf, sizeof buf, "%.2f×", a / b);
        return std::string(buf);
    };
    std::printf("\n| What | Median | Target |\n|---|---|---|\n");
    for (const Line& l : g_lines)
        std::printf("| %s | %s | %s |\n", l.what.c_str(), fmtMs(l.ms).c_str(), l.target.c_str());
    std::printf("| Start-up to the first picture, standard demo city | %s | ≤ 500 ms |\n",
                fmtMs(startup).c_str());
    std::printf(
        "| Start-up to the first picture, `--scale 100` given on the command line | %s | "
        "≤ 1.5× `--scale 1` (%s) |\n",
        fmtMs(startup100).c_str(), ratio(startup100, startup).c_str());
    char mem[32] = "—";
    if (memory > 0) std::snprintf(mem, sizeof mem, "%.0f MB", memory * 1.048576);
    std::printf(
        "| Peak memory, `--scale 100`, after drawing, picking and searching | %s | "
        "≤ 300 MB |\n",
        mem);
    for (const char* scale : {"1", "10", "100"})
        std::printf(
            "| Densest view `--scale %s` / its floor with labels | %s | ≤ 1.5× |\n", scale,
            ratio(lineMs(std::string("densest_") + scale), lineMs(std::string("floor_") + scale))
                .c_str());
    std::printf("| Densest view `--scale 10`, labels apart / labels as queued | %s | ≤ 1.2× |\n",
                ratio(lineMs("densest_apart_10"), lineMs("densest_10")).c_str());
    std::printf(
        "| Densest view `--scale 10`, ratio 2 with smoothing and halos / ratio 1 without | %s | "
        "≤ 3× |\n",
        ratio(lineMs("densest_ratio2_10"), lineMs("densest_10")).c_str());
    std::printf("| Densest view `--scale 100` / `--scale 1` | %s | ≤ 1.3× |\n",
                ratio(lineMs("densest_100"), lineMs("densest_1")).c_str());
    return 0;
}
