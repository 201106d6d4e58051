#include "osmimport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/index/map/sparse_mem_map.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/tags/tags_filter.hpp>
#include <osmium/visitor.hpp>
#include <thread>

#include "builder.h"
#include "classify.h"
#include "collector.h"
#include "output.h"

namespace urbica::osmimport {

namespace {

using Manager = osmium::area::MultipolygonManager<osmium::area::Assembler>;

// Thrown between blocks of the file when the import is cancelled.
struct Cancelled {};

void checkCancel(const std::atomic<bool>* cancel) {
    if (cancel && cancel->load()) throw Cancelled{};
}

// The multipolygon relations that make areas: those with a tag of a drawn kind
// and stations.
osmium::TagsFilter areaFilter() {
    osmium::TagsFilter filter{false};
    for (const char* key : {"building", "landuse", "natural", "leisure", "water", "waterway",
                            "boundary", "place", "amenity", "shop", "tourism", "historic"})
        filter.add_rule(true, osmium::TagMatcher{key});
    for (const char* key : {"railway", "public_transport"})  // metro stations
        filter.add_rule(true, osmium::TagMatcher{key, "station"});
    return filter;
}

// Reports the share of the file read while a pass runs: after each block it
// hands out, and every tenth of a second besides, since a reader asked for
// some kinds of objects only reads on through blocks that hold none of them
// without a word. The calls never overlap.
class ProgressTicker {
public:
    ProgressTicker(const Progress& progress, const QString& phase, const osmium::io::Reader& reader,
                   double fileSize)
        : progress_(progress), phase_(phase), reader_(reader), fileSize_(fileSize) {
        if (!progress_) return;
        progress_(phase_, 0);
        thread_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            while (!cv_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stop_; }))
                progress_(phase_, share());
        });
    }
    ~ProgressTicker() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

    void report() {
        if (!progress_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        progress_(phase_, share());
    }

private:
    double share() const { return std::min(1.0, double(reader_.offset()) / fileSize_); }

    const Progress& progress_;
    const QString phase_;
    const osmium::io::Reader& reader_;
    const double fileSize_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool stop_ = false;
    std::thread thread_;
};

// First pass: the relations, for subway colours and the area assembler.
void readRelations(const osmium::io::File& file, Collector& collector, Manager& manager,
                   ImportReport& report, double fileSize, const Progress& progress,
                   const std::atomic<bool>* cancel) {
    // Versions, times and authors are never used: left unread.
    osmium::io::Reader reader{file, osmium::osm_entity_bits::relation, osmium::io::read_meta::no};
    ProgressTicker ticker(progress, u("отношения"), reader, fileSize);
    collector.exportBox = reader.header().box();
    while (osmium::memory::Buffer buffer = reader.read()) {
        for (const osmium::Relation& r : buffer.select<osmium::Relation>()) {
            ++report.relations;
            collector.relationPass(r);
        }
        osmium::apply(buffer, manager);
        checkCancel(cancel);
        ticker.report();
    }
    reader.close();
    manager.prepare_for_lookup();
    report.multipolygonRelations = int64_t(manager.relations_database().count_relations());
}

// Second pass: nodes and ways with their locations, and the areas assembled from them.
void readObjects(const osmium::io::File& file, Collector& collector, Manager& manager,
                 double fileSize, const Progress& progress, const std::atomic<bool>* cancel) {
    using PosIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
    using NegIndex =
        osmium::index::map::SparseMemMap<osmium::unsigned_object_id_type, osmium::Location>;
    PosIndex positive;
    NegIndex negative;
    osmium::handler::NodeLocationsForWays<PosIndex, NegIndex> locations{positive, negative};
    locations.ignore_errors();
    auto& areas = manager.handler(
        [&collector](osmium::memory::Buffer&& buffer) { osmium::apply(buffer, collector); });
    osmium::io::Reader reader{file, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                              osmium::io::read_meta::no};
    ProgressTicker ticker(progress, u("точки и линии"), reader, fileSize);
    while (osmium::memory::Buffer buffer = reader.read()) {
        osmium::apply(buffer, locations, collector, areas);
        checkCancel(cancel);
        ticker.report();
    }
    reader.close();
    areas.flush();
    collector.placeLeftAddresses();
    collector.addInterpolatedHouses();
}

}  // namespace

// What the reading passes collected and the builder that turns it into the dataset.
struct ImportState {
    explicit ImportState(ImportResult& result)
        : collector(result.report), builder(collector, result) {}
    Collector collector;
    Builder builder;
};

QString importCancelledText() { return u("импорт отменён"); }

void dropWrittenData(ImportResult& result) {
    result.data = {};
    releaseFreedMemory();
}

bool readOsm(const QString& path, ImportResult& result, QString* error, const Progress& progress,
             const std::atomic<bool>* cancel) {
    QElapsedTimer timer;
    timer.start();
    result = ImportResult{};
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        if (error) *error = u("файл %1 не найден или не читается").arg(path);
        return false;
    }
    const double fileSize = double(std::max<qint64>(1, info.size()));
    auto state = std::make_shared<ImportState>(result);
    try {
        const osmium::io::File file{QFile::encodeName(path).toStdString()};
        osmium::area::Assembler::config_type config;
        config.create_empty_areas = false;  // a ring that cannot be built gives no area
        Manager manager{config, areaFilter()};
        readRelations(file, state->collector, manager, result.report, fileSize, progress, cancel);
        readObjects(file, state->collector, manager, fileSize, progress, cancel);
    } catch (const Cancelled&) {
        result = ImportResult{};
        if (error) *error = importCancelledText();
        return false;
    } catch (const std::exception& e) {
        if (error)
            *error = u("%1 не читается как данные OpenStreetMap: %2")
                         .arg(path, QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (result.report.nodes == 0 && result.report.ways == 0) {
        if (error) *error = u("в файле %1 нет ни точек, ни линий OpenStreetMap").arg(path);
        return false;
    }
    if (progress) progress(u("построение"), 0);
    releaseFreedMemory();
    if (!state->builder.prepare(error)) return false;
    result.state = std::move(state);
    result.report.seconds = double(timer.elapsed()) / 1000;
    return true;
}

bool importOsm(const QString& path, ImportResult& result, QString* error, const Progress& progress,
               const std::atomic<bool>* cancel) {
    if (!readOsm(path, result, error, progress, cancel)) return false;
    QElapsedTimer timer;
    timer.start();
    const bool built = result.state->builder.build(error);
    result.state.reset();
    if (!built) return false;
    if (cancel && cancel->load()) {
        result = ImportResult{};
        if (error) *error = importCancelledText();
        return false;
    }
    result.report.seconds += double(timer.elapsed()) / 1000;
    return true;
}

bool writeImported(ImportResult& result, const QString& dir, QString* error, WriterLock* lock,
                   int waitMs, const std::function<void()>& onWait) {
    if (!result.state) {
        if (error) *error = u("нет прочитанных данных для записи");
        return false;
    }
    const auto build = [&result](const QString& fresh, QString* why) {
        return result.state->builder.build(why, fresh);
    };
    const bool written = writeFolderSafely(build, dir, error, lock, waitMs, onWait);
    result.state.reset();
    releaseFreedMemory();
    return written;
}

}  // namespace urbica::osmimport
