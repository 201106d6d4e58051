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
#include <osmium/thread/queue.hpp>
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

using PosIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using NegIndex =
    osmium::index::map::SparseMemMap<osmium::unsigned_object_id_type, osmium::Location>;
using Locations = osmium::handler::NodeLocationsForWays<PosIndex, NegIndex>;
using AreaHandler = std::remove_reference_t<decltype(std::declval<Manager&>().handler())>;

// A block of the second pass with every way's nodes placed, and the areas
// assembled while it was gone through, each batch with the object after
// which it came (the block's size: at its end).
struct LocatedBlock {
    osmium::memory::Buffer objects;
    std::vector<std::pair<size_t, osmium::memory::Buffer>> areas;
};

// Reads the second pass's blocks, places the nodes of their ways and
// assembles their areas on a thread of its own, and hands the blocks on in
// the file's order while the caller sorts the ones before. Areas come in the
// batches and at the places they would on one thread, so the caller meets
// objects and areas in the same order. An error of the thread is thrown by
// next().
class LocatedBlocks {
public:
    LocatedBlocks(const osmium::io::File& file, Locations& locations, Manager& manager)
        : reader_{file, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                  osmium::io::read_meta::no},
          queue_(kWaitingBlocks, "located blocks"),
          areas_(manager.handler([this](osmium::memory::Buffer&& areas) {
              filling_->areas.emplace_back(at_, std::move(areas));
          })) {
        thread_ = std::thread([this, &locations] { run(locations); });
    }
    ~LocatedBlocks() {
        stop_ = true;
        while (!ended_) next(false);
        thread_.join();
    }
    LocatedBlocks(const LocatedBlocks&) = delete;
    LocatedBlocks& operator=(const LocatedBlocks&) = delete;

    const osmium::io::Reader& reader() const { return reader_; }

    // The next block; one without objects after the last.
    LocatedBlock next(bool rethrow = true) {
        LocatedBlock block;
        if (ended_) return block;
        queue_.wait_and_pop(block);
        if (block.objects) return block;
        ended_ = true;
        if (error_ && rethrow) std::rethrow_exception(error_);
        return block;
    }

private:
    static constexpr size_t kWaitingBlocks = 6;

    void run(Locations& locations) {
        try {
            while (!stop_) {
                LocatedBlock block;
                block.objects = reader_.read();
                if (!block.objects) break;
                filling_ = &block;
                at_ = 0;
                for (auto it = block.objects.begin(); it != block.objects.end(); ++it, ++at_)
                    osmium::apply_item(*it, locations, areas_);
                areas_.flush();
                queue_.push(std::move(block));
            }
            reader_.close();
        } catch (...) {
            error_ = std::current_exception();  // seen by next() after the end mark
        }
        queue_.push(LocatedBlock{});
    }

    osmium::io::Reader reader_;
    osmium::thread::Queue<LocatedBlock> queue_;
    LocatedBlock* filling_ = nullptr;  // the block being gone through, and
    size_t at_ = 0;                    // the object in it
    AreaHandler& areas_;
    std::atomic<bool> stop_{false};
    bool ended_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};

// Second pass: nodes and ways with their locations, and the areas assembled from them.
void readObjects(const osmium::io::File& file, Collector& collector, Manager& manager,
                 double fileSize, const Progress& progress, const std::atomic<bool>* cancel) {
    PosIndex positive;
    NegIndex negative;
    Locations locations{positive, negative};
    locations.ignore_errors();
    {
        LocatedBlocks blocks(file, locations, manager);
        ProgressTicker ticker(progress, u("точки и линии"), blocks.reader(), fileSize);
        for (LocatedBlock block = blocks.next(); block.objects; block = blocks.next()) {
            auto areas = block.areas.begin();
            size_t at = 0;
            for (auto it = block.objects.begin(); it != block.objects.end(); ++it, ++at) {
                osmium::apply_item(*it, collector);
                for (; areas != block.areas.end() && areas->first == at; ++areas)
                    osmium::apply(areas->second, collector);
            }
            for (; areas != block.areas.end(); ++areas) osmium::apply(areas->second, collector);
            checkCancel(cancel);
            ticker.report();
        }
    }
    // Whatever the assembler still holds.
    manager
        .handler([&collector](osmium::memory::Buffer&& areas) { osmium::apply(areas, collector); })
        .flush();
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
