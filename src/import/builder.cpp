#include "builder.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "classify.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace urbica::osmimport {

void releaseFreedMemory() {
#if defined(__GLIBC__)
    // The allocator keeps freed blocks for itself; what a phase left is handed
    // back, so that the next phase's peak is not stacked on it.
    malloc_trim(0);
#endif
}

namespace {

constexpr int kCellLimit = kMaxCellEntries * 3 / 4;

}  // namespace

bool Builder::prepare(QString* error) {
    const std::optional<Frame> frame = frameOf(c_.pendings);
    if (!frame) {
        if (error) *error = u("в файле нет объектов, которые можно показать на карте");
        return false;
    }
    frame_ = *frame;
    findCityArea();
    const int64_t side =
        int64_t(std::ceil(std::max(frame_.width, frame_.height))) + 2 * kMargin + 2;
    if (side > 2000000) {
        if (error)
            *error = u("данные занимают %1 км: это больше города, разбейте файл на части")
                         .arg(side / 1000);
        return false;
    }
    grid_ = chooseGrid(side, int64_t(c_.pendings.size()));

    Tables& t = d_.tables;
    t.types = makeTypes(c_.lineColours, c_.placeTypes);
    d_.labelKinds = typeLabelKinds(c_.lineColours.size(), c_.placeTypes.size());
    placeTypeFirst_ = int16_t(t.types.size() - c_.placeTypes.size());
    makeLayersAndClasses(t, grid_);
    d_.layerObjects.assign(t.layers.size(), {});
    d_.classNames.assign(t.classes.size(), {});
    return true;
}

bool Builder::build(QString* error, const QString& out) {
    BackgroundFileWriter background;
    out_ = FileTarget(out, &background);
    bool built = buildParts(error);
    if (!background.finish(built ? error : nullptr)) built = false;
    out_ = FileTarget(QString());
    return built;
}

bool Builder::buildParts(QString* error) {
    makeDistrictRings();
    makeObjects();
    makeKindPlaces();
    std::vector<Pending>().swap(c_.pendings);  // drawn now; pendingObjects_ keeps their objects
    releaseFreedMemory();
    makeHouses();
    findCity();
    placeStreetsInDistricts();
    // The layers' cells and geometry files need the objects' places only:
    // they are made on a thread of their own while the names are.
    d_.catalogue.gridExtent = grid_.gridExtent;
    QString layerError;
    bool named = false;
    {
        const std::jthread layers([this, &layerError] { writeLayerGeometry(&layerError); });
        named = makeNames(error);
    }
    if (!named) return false;
    if (!layerError.isEmpty()) {
        if (error) *error = layerError;
        return false;
    }
    std::vector<House>().swap(houses_);
    std::vector<HouseFields>().swap(houseFields_);
    std::vector<int32_t>().swap(fieldRank_);
    std::vector<HouseRecord>().swap(classHouses_);
    std::vector<std::vector<ObjectRefData>>().swap(pendingObjects_);
    releaseFreedMemory();
    makeCatalogue(grid_);
    d_.geo = frame_.geo;
    d_.source = openStreetMapSource();  // the licence asks for the notice wherever it is shown
    d_.icons = toolkit::iconPictures();
    d_.icons.push_back(otherIcon());
    return finishParts(error);
}

void Builder::writeLayerGeometry(QString* error) {
    Tables& t = d_.tables;
    try {
        for (int l = 1; l <= kLayerCount; ++l) {
            const std::vector<MapObjectData>& objects = d_.layerObjects[size_t(l)];
            LayerRecord& layer = t.layers[size_t(l)];
            if (!fitCellSizes(objects, layer, grid_.gridExtent, kCellLimit)) {
                *error = u("слой «%1»: слишком много объектов в одном месте").arg(layer.layerName);
                return;
            }
            if (!out_.dir().isEmpty() && !writeLayerGeometryFiles(d_, l, objects, out_, error))
                return;
        }
    } catch (const std::exception& e) {
        *error = QString::fromLocal8Bit(e.what());
    }
}

bool Builder::finishParts(QString* error) {
    const Tables& t = d_.tables;
    r_.report.layerObjects.assign(t.layers.size(), 0);
    r_.report.classRecords.resize(t.classes.size());
    for (size_t c = 1; c < size_t(kFirstHouseClass); ++c)
        r_.report.classRecords[c] = int64_t(d_.classNames[c].size());
    for (size_t l = 1; l < t.layers.size(); ++l) {
        r_.report.layerObjects[l] = int64_t(d_.layerObjects[l].size());
        if (out_.dir().isEmpty()) continue;
        if (!writeLayerRecordFiles(d_, int(l), d_.layerObjects[l], out_, error)) return false;
        std::vector<MapObjectData>().swap(d_.layerObjects[l]);
    }
    if (out_.dir().isEmpty()) return true;
    for (int c = 1; c < kFirstHouseClass; ++c) {
        std::vector<NameData>& names = d_.classNames[size_t(c)];
        const NameRecords records{names.size(),
                                  [&names](size_t i) -> const NameData& { return names[i]; }};
        if (!writeClassFiles(d_, c, records, out_, error)) return false;
        std::vector<NameData>().swap(names);
    }
    releaseFreedMemory();
    return writeDatasetRest(d_, out_, error);
}

void Builder::makeCatalogue(const GridChoice& grid) {
    Catalogue& c = d_.catalogue;
    c.gridExtent = grid.gridExtent;
    c.extentLeft = 0;
    c.extentTop = 0;
    c.extentWidth = int32_t(std::ceil(frame_.width)) + 2 * kMargin;
    c.extentHeight = int32_t(std::ceil(frame_.height)) + 2 * kMargin;
    if (area_.source == AreaSource::None) {
        // The whole data: the start view at the centre of the streets when there are any.
        double sx = 0, sy = 0;
        int64_t n = 0;
        for (const MapObjectData& o : d_.layerObjects[kRoadLayer])
            if (o.nameKind == kStreetClass && !o.points.empty())
                sx += o.points.front().x(), sy += o.points.front().y(), ++n;
        if (n == 0) sx = c.extentWidth / 2.0, sy = c.extentHeight / 2.0, n = 1;
        c.overviewLeft = 0;
        c.overviewTop = 0;
        c.overviewWidth = std::max(c.extentWidth, c.extentHeight);
        c.startWidth = std::min(c.extentWidth, 2000);
        const int32_t startHeight = c.startWidth * 3 / 4;
        c.startX = std::clamp(int32_t(sx / double(n)) - c.startWidth / 2, 0,
                              std::max(0, c.extentWidth - c.startWidth));
        c.startY = std::clamp(int32_t(sy / double(n)) - startHeight / 2, 0,
                              std::max(0, c.extentHeight - startHeight));
    } else {
        const QPoint a = frame_.at(area_.box.bottom_left()), b = frame_.at(area_.box.top_right());
        frameCatalogue(c, QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                                QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
    }
    c.minUnitsPerPixel = 0.1f;
    c.metroRangeDivisor = 4;
    c.streetClass = kStreetClass;
    c.metroClass = kStationClass;
    // The window's title names the city; without a known city it names the folder.
    c.reserved50 = cityName_.left(50);
}

// The city's area: the export's box, else where the addresses lie (with
// named places too when there are few addresses).
void Builder::findCityArea() {
    osmium::Box data;
    for (const Pending& p : c_.pendings)
        for (const Ring& r : p.rings)
            for (const osmium::Location& l : r) data.extend(l);
    std::vector<osmium::Location> places;
    places.reserve(c_.addresses.size());
    for (const Address& a : c_.addresses)
        if (a.pending != kNoPending) places.push_back(a.where);
    if (places.size() < 50)
        for (int cls = kDistrictClass; cls < kFirstHouseClass; ++cls)
            for (const Named& n : c_.names.classes[cls]) places.push_back(n.where);
    area_ = cityArea(c_.exportBox, data, places);
    r_.report.cityAreaSource = int(area_.source);
}

void Builder::makeDistrictRings() {
    for (const DistrictArea& a : c_.districtAreas()) {
        DistrictRing d{frame_.project(a.ring), {}, a.record};
        if (d.ring.size() < 3) continue;
        int x1 = d.ring.front().x(), x2 = x1, y1 = d.ring.front().y(), y2 = y1;
        for (const QPoint& q : d.ring) {
            x1 = std::min(x1, q.x()), x2 = std::max(x2, q.x());
            y1 = std::min(y1, q.y()), y2 = std::max(y2, q.y());
        }
        d.box = QRect(QPoint(x1, y1), QPoint(x2, y2));
        for (size_t i = 0, j = d.ring.size() - 1; i < d.ring.size(); j = i++)
            d.area += double(d.ring[j].x()) * d.ring[i].y() - double(d.ring[i].x()) * d.ring[j].y();
        d.area = std::abs(d.area) / 2;
        districtRings_.push_back(std::move(d));
    }
}

int32_t Builder::districtOf(osmium::Location where) const {
    if (!where.valid()) return 0;
    const QPoint p = frame_.at(where);
    for (const DistrictRing& d : districtRings_)
        if (d.box.contains(p) && inside(d.ring, p)) return d.record;
    // Else the nearest named place within 3 km.
    return nearestPlace(p, 3000);
}

int32_t Builder::nearestPlace(QPoint p, double within) const {
    int32_t best = 0;
    double bestD = within;
    for (const PlacePoint& pl : c_.places()) {
        const QPoint q = frame_.at(pl.at);
        const double d = std::hypot(double(q.x() - p.x()), double(q.y() - p.y()));
        if (d < bestD) bestD = d, best = pl.record;
    }
    return best;
}

void Builder::makeObjects() {
    pendingObjects_.resize(c_.pendings.size());
    std::vector<size_t> perLayer(d_.layerObjects.size());
    for (const Pending& p : c_.pendings)
        if (size_t(p.layer) < perLayer.size()) ++perLayer[size_t(p.layer)];
    for (size_t l = 0; l < perLayer.size(); ++l) d_.layerObjects[l].reserve(perLayer[l]);
    for (size_t i = 0; i < c_.pendings.size(); ++i) {
        Pending& p = c_.pendings[i];
        std::vector<std::vector<QPoint>> rings;
        for (const Ring& r : p.rings) rings.push_back(frame_.project(r));
        p.rings.clear();
        p.rings.shrink_to_fit();
        MapObjectData o;
        o.typeIndex =
            p.type >= kPlaceTypeBase ? int16_t(placeTypeFirst_ + p.type - kPlaceTypeBase) : p.type;
        o.maxLevel = p.maxLevel;
        auto store = [&](MapObjectData obj) {
            std::vector<MapObjectData>& layer = d_.layerObjects[size_t(p.layer)];
            layer.push_back(std::move(obj));
            pendingObjects_[i].push_back({p.layer, int32_t(layer.size())});
        };
        switch (p.shape) {
            case Shape::Point: {
                const QPoint q = rings.front().front();
                o.x1 = o.x2 = q.x();
                o.y1 = o.y2 = q.y();
                o.points = {q};
                o.iconNumber = p.icon;
                store(std::move(o));
                break;
            }
            case Shape::Square: {
                const QPoint q = rings.front().front();
                o.points = {q + QPoint(-3, -3), q + QPoint(3, -3), q + QPoint(3, 3),
                            q + QPoint(-3, 3)};
                store(std::move(o));
                break;
            }
            case Shape::Line:
                if (rings.front().size() < 2) c_.skip(u("линии короче метра"));
                for (std::vector<QPoint>& piece : linePieces(rings.front())) {
                    o.points = std::move(piece);
                    store(o);
                }
                break;
            case Shape::Area:
                switch (fitArea(std::move(rings), o.points)) {
                    case AreaFit::Drawn:
                        store(std::move(o));
                        break;
                    case AreaFit::TooSmall:
                        c_.skip(u("площади меньше метра"));
                        break;
                    case AreaFit::TooComplex:
                        c_.skip(u("площади, которые не удалось упростить"));
                        break;
                }
                break;
        }
        for (const ObjectRefData& ref : pendingObjects_[i]) {
            MapObjectData& obj = d_.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
            if (p.nameClass) obj.nameKind = p.nameClass, obj.nameIndex = p.nameRecord;
        }
    }
}

void Builder::makeKindPlaces() {
    d_.kindPlaces.reserve(c_.kindNotes.size());
    for (const KindNote& k : c_.kindNotes) {
        if (k.pending >= pendingObjects_.size() || pendingObjects_[k.pending].empty()) continue;
        const Pending& p = c_.pendings[k.pending];
        const ObjectRefData& ref = pendingObjects_[k.pending].front();
        const QPoint at = frame_.at(k.where);
        const bool named = p.nameClass > 0 && p.nameRecord > 0;
        d_.kindPlaces.push_back({k.tag, at.x(), at.y(), named ? p.nameClass : int16_t(0),
                                 named ? p.nameRecord : 0, ref.first, ref.second});
    }
    std::vector<KindNote>().swap(c_.kindNotes);
}

}  // namespace urbica::osmimport
