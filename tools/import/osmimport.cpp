#include "osmimport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QRect>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <optional>
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/index/map/sparse_mem_map.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/tags/tags_filter.hpp>
#include <osmium/visitor.hpp>
#include <unordered_map>

#include "dataset/names.h"
#include "toolkit.h"

namespace urbica::osmimport {

using toolkit::makeClass;
using toolkit::makeLayer;
using toolkit::makeType;
using toolkit::rgb;

namespace {

constexpr double kEarthRadius = 6371008.8;
constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kMargin = 500;       // free land around the data, metres
constexpr int kLinePiece = 64;         // points of one stored piece of a line
constexpr int kMaxRingPoints = 30000;  // points of one stored area
constexpr int kCellLimit = kMaxCellEntries * 3 / 4;
constexpr int32_t kOtherIcon = toolkit::kIconCount + 1;

QString u(const char* s) { return QString::fromUtf8(s); }

// ---------------------------------------------------------------------------
// Types

enum Type : int16_t {
    kDistrictType = 1,
    kPlaceType,
    kParkType,
    kForestType,
    kGrassType,
    kWaterAreaType,
    kRiverType,
    kStreamType,
    kRailType,
    kTramType,
    kMainRoadType,
    kSecondaryType,
    kStreetType,
    kSmallRoadType,
    kPedestrianType,
    kPathType,
    kBuildingType,
    kAddressType,
    kStationType,
    kPharmacyType,  // icons 1 .. 5 in the order of the toolkit's pictures
    kSchoolType,
    kHospitalType,
    kPostType,
    kLibraryType,
    kOtherPoiType,
    kMonumentType,
    kFirstMetroLineType  // one per line colour
};
constexpr int kMaxLineColours = 16;

std::vector<ObjectType> makeTypes() {
    std::vector<ObjectType> t(1);
    auto add = [&](ObjectType type) { t.push_back(type); };
    ObjectType district = makeType("Район", 1, rgb(150, 150, 150), rgb(242, 239, 233), 1, 1, 2, 40);
    district.penStyle = 2;
    district.labelSize = 14;
    district.labelBold = 1;
    district.labelColor = rgb(110, 110, 110);
    add(district);
    ObjectType place = makeType("Название места", 5, 0, 0, 1, 0, 2, 25);
    place.labelSize = 12;
    place.labelBold = 1;
    place.labelColor = rgb(90, 90, 90);
    add(place);
    add(makeType("Парк", 1, rgb(110, 170, 100), rgb(190, 230, 170), 1, 1, 2, 6));
    add(makeType("Лес", 1, rgb(110, 160, 100), rgb(172, 210, 156), 1, 1, 2, 6));
    ObjectType grass = makeType("Газон", 1, rgb(180, 220, 160), rgb(205, 235, 190), 1, 1, 0, 0);
    add(grass);
    ObjectType water = makeType("Водоём", 1, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 2, 8);
    water.labelColor = rgb(20, 60, 150);
    add(water);
    ObjectType river = makeType("Река", 1, rgb(120, 170, 230), 0, 5, 0, 6, 8);
    river.labelColor = rgb(20, 60, 150);
    add(river);
    ObjectType stream = makeType("Ручей", 1, rgb(120, 170, 230), 0, 2, 0, 5, 2);
    stream.labelColor = rgb(20, 60, 150);
    stream.labelSize = 8;
    add(stream);
    add(makeType("Железная дорога", 4, rgb(0, 0, 0), rgb(255, 255, 255), 1, 0, 0, 0));
    add(makeType("Трамвайные пути", 1, rgb(120, 120, 120), 0, 1, 0, 0, 0));
    ObjectType main = makeType("Магистраль", 4, rgb(190, 90, 0), rgb(255, 200, 90), 3, 0, 6, 15);
    main.labelBold = 1;
    main.labelSize = 10;
    add(main);
    ObjectType secondary = makeType("Крупная улица", 1, rgb(245, 215, 110), 0, 6, 0, 6, 8);
    secondary.labelBold = 1;
    add(secondary);
    add(makeType("Улица", 1, rgb(255, 255, 255), 0, 4, 0, 6, 3));
    ObjectType small = makeType("Проезд", 1, rgb(255, 255, 255), 0, 2, 0, 5, 1.5f);
    small.labelSize = 8;
    add(small);
    ObjectType pedestrian = makeType("Пешеходная улица", 1, rgb(236, 232, 240), 0, 4, 0, 6, 2);
    add(pedestrian);
    ObjectType path = makeType("Дорожка", 1, rgb(160, 120, 90), 0, 1, 0, 0, 0);
    path.penStyle = 2;
    add(path);
    ObjectType building = makeType("Здание", 1, rgb(150, 120, 90), rgb(222, 200, 170), 1, 1, 1, 1);
    building.labelSize = 7;
    add(building);
    ObjectType address = makeType("Адрес", 1, rgb(150, 120, 90), rgb(200, 170, 140), 1, 1, 1, 1);
    address.labelSize = 7;
    add(address);
    ObjectType station =
        makeType("Станция метро", 3, rgb(120, 0, 0), rgb(230, 40, 40), 1, 0, 2, 12);
    station.fillStyle = 0;
    station.hiFillStyle = 0;
    station.labelBold = 1;
    station.labelColor = rgb(120, 0, 0);
    add(station);
    const char* poiTypes[] = {"Аптека", "Школа", "Больница", "Почта", "Библиотека", "Организация"};
    for (const char* name : poiTypes) add(makeType(name, 7, 0, 0, 1, 0, 4, 1.5f));
    ObjectType monument =
        makeType("Памятник", 3, rgb(90, 60, 20), rgb(200, 160, 60), 1, 0, 2, 1.5f);
    monument.fillStyle = 0;
    monument.hiFillStyle = 0;
    monument.labelSize = 8;
    add(monument);
    return t;
}

ObjectType metroLineType(int32_t colour) {
    ObjectType line = makeType("Линия метро", 1, colour, 0, 4, 0, 0, 0);
    line.labelColor = colour;
    return line;
}

// "#ff0000", "red" ... as a colour of the tables; -1 when unknown.
int32_t parseColour(const char* text) {
    if (!text) return -1;
    QString s = QString::fromUtf8(text).trimmed().toLower();
    static const std::pair<const char*, int32_t> kNamed[] = {
        {"red", 0x0000DC},    {"green", 0x3C9614},  {"blue", 0xC85A1E},      {"orange", 0x1482F0},
        {"purple", 0xA03282}, {"violet", 0xA03282}, {"yellow", 0x00C8E6},    {"brown", 0x24508C},
        {"grey", 0x8C8C8C},   {"gray", 0x8C8C8C},   {"lightblue", 0xE6B45A}, {"pink", 0xB48CF0}};
    for (const auto& [name, value] : kNamed)
        if (s == QLatin1String(name)) return value;
    if (s.startsWith(u'#')) s.remove(0, 1);
    if (s.size() == 3) s = QString() + s[0] + s[0] + s[1] + s[1] + s[2] + s[2];
    bool ok = false;
    const uint v = s.toUInt(&ok, 16);
    if (!ok || s.size() != 6) return -1;
    return rgb(int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255));
}

// A picture for organisations without an icon of their own: an orange dot.
IconData otherIcon() {
    IconData icon;
    icon.number = kOtherIcon;
    for (int s : {16, 32}) {
        QImage mask(s, s, QImage::Format_RGB32), picture(s, s, QImage::Format_RGB32);
        mask.fill(Qt::white);
        picture.fill(Qt::black);
        for (QImage* image : {&mask, &picture}) {
            QPainter p(image);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            p.setBrush(image == &mask ? QColor(Qt::black) : QColor(240, 140, 30));
            const int r = s / 4;
            p.drawEllipse(QPoint(s / 2, s / 2), r, r);
        }
        (s == 16 ? icon.mask16 : icon.mask32) = mask;
        (s == 16 ? icon.picture16 : icon.picture32) = picture;
    }
    return icon;
}

// ---------------------------------------------------------------------------
// What is collected while reading

using Ring = std::vector<osmium::Location>;

enum class Shape : uint8_t { Line, Area, Point, Square };

struct Pending {
    int16_t layer = 0;
    int16_t type = 0;
    int16_t maxLevel = 3;
    Shape shape = Shape::Line;
    int16_t nameClass = 0;   // a fixed class (not houses)
    int32_t nameRecord = 0;  // from 1 within that class
    int32_t house = -1;      // index into the houses, for buildings with an address
    int32_t icon = 0;
    std::vector<Ring> rings;  // lines and points: one; areas: the outer ring, then the inner ones
};

struct Named {
    QString name;
    std::vector<size_t> pendings;
    osmium::Location where;  // a point of it, for the district that holds it
    int32_t district = 0;    // record in the district class
};

struct Street {
    QString key;      // the name as addresses spell it
    QString display;  // the name shown
    std::vector<size_t> pendings;
    std::vector<int32_t> houses;
    osmium::Location where;
    int32_t district = 0;
};

struct House {
    HouseFields fields;
    int32_t street = -1;  // index into the streets
    size_t pending = 0;
};

struct Address {
    QString street, number;
    size_t pending;
    osmium::Location where;
};

bool is(const char* value, const char* wanted) { return value && !std::strcmp(value, wanted); }
bool isAny(const char* value, std::initializer_list<const char*> wanted) {
    if (!value) return false;
    for (const char* w : wanted)
        if (!std::strcmp(value, w)) return true;
    return false;
}

class Collector : public osmium::handler::Handler {
public:
    explicit Collector(ImportReport& report) : report_(report) {}

    std::vector<Pending> pendings;
    std::vector<Named> classes[kFirstHouseClass];  // index = class number
    std::vector<Street> streets;
    std::vector<Address> addresses;
    std::unordered_map<osmium::object_id_type, int32_t> lineColourOfWay;
    std::vector<int32_t> lineColours;

    void relationPass(const osmium::Relation& r) {
        const osmium::TagList& t = r.tags();
        if (isAny(t["route"], {"subway"}) || isAny(t["route_master"], {"subway"})) {
            const int32_t colour = parseColour(t["colour"]);
            if (colour < 0) return;
            for (const osmium::RelationMember& m : r.members())
                if (m.type() == osmium::item_type::way) lineColourOfWay.emplace(m.ref(), colour);
        }
    }

    void node(const osmium::Node& n) {
        ++report_.nodes;
        const osmium::TagList& t = n.tags();
        if (t.empty()) return;
        if (!n.location().valid()) {
            skip(u("точки с неверными координатами"));
            return;
        }
        const Ring at{n.location()};
        if (const char* place = t["place"];
            isAny(place, {"city", "town", "village", "hamlet", "suburb", "quarter", "neighbourhood",
                          "borough"})) {
            if (const QString name = nameOf(t); !name.isEmpty()) {
                const size_t p = add(kDistrictLayer, kPlaceType, 3, Shape::Point, at);
                attachNamed(kDistrictClass, name, p, n.location(), true);
                places_.push_back({n.location(), pendings[p].nameRecord});
            }
        }
        if (isStation(t)) addStation(t, n.location());
        addPoi(t, n.location());
        addAddress(t, n.location(), std::nullopt);
    }

    void way(const osmium::Way& w) {
        ++report_.ways;
        const osmium::TagList& t = w.tags();
        const char* highway = t["highway"];
        const char* railway = t["railway"];
        const char* waterway = t["waterway"];
        const bool station = isStation(t) && w.is_closed();
        if (!highway && !railway && !waterway && !station) return;
        Ring pts;
        pts.reserve(w.nodes().size());
        bool missing = false;
        for (const osmium::NodeRef& nr : w.nodes()) {
            if (nr.location().valid()) {
                if (pts.empty() || pts.back() != nr.location()) pts.push_back(nr.location());
            } else {
                missing = true;
            }
        }
        if (missing) skip(u("линии с недостающими точками (взяты оставшиеся)"));
        if (pts.size() < 2) {
            skip(u("линии без двух точек"));
            return;
        }
        if (station) {
            addStation(t, centre(pts));
            return;
        }
        if (highway)
            addRoad(t, highway, std::move(pts));
        else if (railway)
            addRailway(w, railway, std::move(pts));
        else if (waterway)
            addWaterway(t, waterway, std::move(pts));
    }

    void area(const osmium::Area& a) {
        (a.from_way() ? report_.areasFromWays : report_.areasFromRelations)++;
        const osmium::TagList& t = a.tags();
        int16_t layer = 0, type = 0, maxLevel = 3;
        int16_t cls = 0;
        const char* building = t["building"];
        const char* landuse = t["landuse"];
        const char* natural = t["natural"];
        const char* leisure = t["leisure"];
        bool isBuilding = false;
        if (building && !is(building, "no")) {
            layer = kBuildingLayer, type = kBuildingType, maxLevel = 2, isBuilding = true;
        } else if (isAny(natural, {"water"}) || t["water"] ||
                   isAny(t["waterway"], {"riverbank", "dock"}) ||
                   isAny(landuse, {"reservoir", "basin"})) {
            layer = kWaterLayer, type = kWaterAreaType, cls = kWaterClass;
        } else if (isAny(leisure, {"park", "garden"}) || isAny(landuse, {"recreation_ground"})) {
            layer = kGreenLayer, type = kParkType, cls = kParkClass;
        } else if (isAny(landuse, {"forest"}) || isAny(natural, {"wood", "scrub"})) {
            layer = kGreenLayer, type = kForestType;
        } else if (isAny(landuse, {"grass", "meadow", "village_green", "cemetery", "allotments"}) ||
                   isAny(natural, {"grassland", "heath"}) ||
                   isAny(leisure, {"pitch", "playground", "golf_course"})) {
            layer = kGreenLayer, type = kGrassType, maxLevel = 2;
        } else if ((is(t["boundary"], "administrative") && adminDistrict(t["admin_level"])) ||
                   isAny(t["place"], {"suburb", "quarter", "neighbourhood", "borough"})) {
            layer = kDistrictLayer, type = kDistrictType;
        }
        const bool hasAddress = t["addr:housenumber"] != nullptr;
        const bool poi = poiKind(t) != 0;
        if (!layer && !hasAddress && !poi) return;

        Ring all;  // every outer point, for the centre
        std::vector<std::vector<Ring>> polygons;
        for (const osmium::OuterRing& outer : a.outer_rings()) {
            std::vector<Ring> rings{ringOf(outer)};
            for (const osmium::InnerRing& inner : a.inner_rings(outer)) {
                Ring r = ringOf(inner);
                if (r.size() >= 3) rings.push_back(std::move(r));
            }
            if (rings.front().size() < 3) continue;
            all.insert(all.end(), rings.front().begin(), rings.front().end());
            polygons.push_back(std::move(rings));
        }
        if (polygons.empty()) {
            skip(u("площади без колец"));
            return;
        }
        const osmium::Location c = centre(all);
        size_t first = 0;
        if (layer) {
            first = pendings.size();
            for (std::vector<Ring>& rings : polygons) {
                Pending p;
                p.layer = layer, p.type = type, p.maxLevel = maxLevel, p.shape = Shape::Area;
                p.rings = std::move(rings);
                pendings.push_back(std::move(p));
            }
            const QString name = nameOf(t);
            if (layer == kDistrictLayer && !name.isEmpty()) cls = kDistrictClass;
            if (cls && !name.isEmpty()) {
                for (size_t i = first; i < pendings.size(); ++i) attachNamed(cls, name, i, c, true);
                if (cls == kDistrictClass) {
                    Ring outer = pendings[first].rings.front();
                    districtAreas_.push_back({std::move(outer), pendings[first].nameRecord});
                }
            }
        }
        if (poi) addPoi(t, c);
        if (hasAddress) addAddress(t, c, isBuilding ? std::optional<size_t>(first) : std::nullopt);
    }

    struct PlacePoint {
        osmium::Location at;
        int32_t record;
    };
    struct DistrictArea {
        Ring ring;
        int32_t record;
    };
    const std::vector<PlacePoint>& places() const { return places_; }
    const std::vector<DistrictArea>& districtAreas() const { return districtAreas_; }

    void skip(const QString& why, int64_t n = 1) { report_.skipped[why] += n; }

    QString text(const char* value) {
        return toCp1251Letters(QString::fromUtf8(value).simplified(), report_.text);
    }
    // name:ru when present, else name.
    QString nameOf(const osmium::TagList& t) {
        const char* ru = t["name:ru"];
        const char* name = ru && *ru ? ru : t["name"];
        return name ? text(name) : QString();
    }

private:
    ImportReport& report_;
    std::vector<PlacePoint> places_;
    std::vector<DistrictArea> districtAreas_;
    std::unordered_map<QString, int32_t> named_[kFirstHouseClass];
    std::unordered_map<QString, int32_t> streetByKey_, streetByRuName_, streetByFolded_;

    // A spelling that ignores letter case and the dots over ё.
    static QString folded(const QString& name) {
        return name.toLower().replace(QChar(u'ё'), QChar(u'е'));
    }

    static bool adminDistrict(const char* level) {
        if (!level) return false;
        const int l = std::atoi(level);
        return l >= 5 && l <= 10;
    }
    static bool isStation(const osmium::TagList& t) {
        return (is(t["railway"], "station") && is(t["station"], "subway")) ||
               (is(t["public_transport"], "station") && is(t["subway"], "yes"));
    }
    static int poiKind(const osmium::TagList& t) {
        const char* amenity = t["amenity"];
        if (is(amenity, "pharmacy")) return kPharmacyType;
        if (isAny(amenity, {"school", "college", "university"})) return kSchoolType;
        if (isAny(amenity, {"hospital", "clinic", "doctors"})) return kHospitalType;
        if (is(amenity, "post_office")) return kPostType;
        if (is(amenity, "library")) return kLibraryType;
        if (isAny(t["historic"], {"monument", "memorial"}) && t["name"]) return kMonumentType;
        if ((amenity || t["shop"] || t["tourism"] || t["office"]) && t["name"] &&
            !isAny(amenity, {"parking", "bench", "waste_basket", "bicycle_parking", "shelter",
                             "vending_machine", "telephone", "toilets", "fountain"}))
            return kOtherPoiType;
        return 0;
    }

    static Ring ringOf(const osmium::NodeRefList& list) {
        Ring r;
        r.reserve(list.size());
        for (const osmium::NodeRef& nr : list)
            if (nr.location().valid() && (r.empty() || r.back() != nr.location()))
                r.push_back(nr.location());
        if (r.size() > 1 && r.front() == r.back()) r.pop_back();
        return r;
    }
    static osmium::Location centre(const Ring& pts) {
        int64_t x = 0, y = 0;
        for (const osmium::Location& l : pts) x += l.x(), y += l.y();
        const int64_t n = int64_t(std::max<size_t>(1, pts.size()));
        return osmium::Location(int32_t(x / n), int32_t(y / n));
    }

    size_t add(int16_t layer, int16_t type, int16_t maxLevel, Shape shape, Ring pts) {
        Pending p;
        p.layer = layer, p.type = type, p.maxLevel = maxLevel, p.shape = shape;
        p.rings.push_back(std::move(pts));
        pendings.push_back(std::move(p));
        return pendings.size() - 1;
    }
    // The pending object becomes a map object of the named object of the class
    // (one per name when merge is set, else a new one each time).
    void attachNamed(int16_t cls, const QString& name, size_t pending, osmium::Location where,
                     bool merge) {
        std::vector<Named>& list = classes[cls];
        int32_t record = 0;
        if (merge) {
            auto it = named_[cls].find(name);
            if (it != named_[cls].end()) record = it->second;
        }
        if (!record) {
            list.push_back({name, {}, where, 0});
            record = int32_t(list.size());
            if (merge) named_[cls].emplace(name, record);
        }
        list[size_t(record - 1)].pendings.push_back(pending);
        pendings[pending].nameClass = cls;
        pendings[pending].nameRecord = record;
    }

    void addStation(const osmium::TagList& t, osmium::Location at) {
        const QString name = nameOf(t);
        if (name.isEmpty()) {
            skip(u("станции метро без названия"));
            return;
        }
        // A station mapped twice (as a stop and as a station) is listed once.
        auto it = named_[kStationClass].find(name);
        if (it != named_[kStationClass].end()) return;
        const size_t p = add(kStationLayer, kStationType, 3, Shape::Point, Ring{at});
        attachNamed(kStationClass, name, p, at, true);
    }

    void addPoi(const osmium::TagList& t, osmium::Location at) {
        const int kind = poiKind(t);
        if (!kind) return;
        const QString name = nameOf(t);
        const bool icon = kind != kMonumentType;
        const size_t p =
            add(kPoiLayer, int16_t(kind), kind == kOtherPoiType ? 1 : 2, Shape::Point, Ring{at});
        if (icon) pendings[p].icon = kind == kOtherPoiType ? kOtherIcon : kind - kPharmacyType + 1;
        if (!name.isEmpty()) attachNamed(kPoiClass, name, p, at, false);
    }

    void addAddress(const osmium::TagList& t, osmium::Location at, std::optional<size_t> building) {
        const char* number = t["addr:housenumber"];
        if (!number || !*number) return;
        const char* street = t["addr:street"];
        if (!street || !*street) street = t["addr:place"];
        if (!street || !*street) {
            skip(u("адреса без улицы"));
            return;
        }
        size_t p;
        if (building) {
            p = *building;
        } else {
            // A small square marks an address given by a point or by a non-building area.
            p = add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{at});
        }
        addresses.push_back({QString::fromUtf8(street).simplified(),
                             QString::fromUtf8(number).simplified(), p, at});
    }

    int32_t streetFor(const QString& key, const QString& display, osmium::Location where) {
        auto it = streetByKey_.find(key);
        if (it != streetByKey_.end()) {
            Street& s = streets[size_t(it->second)];
            if (s.display == s.key && display != key) s.display = display;
            return it->second;
        }
        streets.push_back({key, display, {}, {}, where, 0});
        const int32_t i = int32_t(streets.size() - 1);
        streetByKey_.emplace(key, i);
        streetByFolded_.emplace(folded(key), i);
        return i;
    }

public:
    // The street an address names: by the street's own name, else by its
    // Russian name, else by the name written in other letter case or with е
    // for ё, else a street of its own that has houses only.
    int32_t streetOfAddress(const QString& spelled, osmium::Location where) {
        const QString key = text(spelled.toUtf8().constData());
        if (auto it = streetByKey_.find(key); it != streetByKey_.end()) return it->second;
        if (auto it = streetByRuName_.find(key); it != streetByRuName_.end()) return it->second;
        if (auto it = streetByFolded_.find(folded(key)); it != streetByFolded_.end())
            return it->second;
        return streetFor(key, key, where);
    }

private:
    void addRoad(const osmium::TagList& t, const char* highway, Ring pts) {
        int16_t type = 0, maxLevel = 3;
        bool street = true;
        if (isAny(highway,
                  {"motorway", "trunk", "primary", "motorway_link", "trunk_link", "primary_link"}))
            type = kMainRoadType;
        else if (isAny(highway, {"secondary", "secondary_link"}))
            type = kSecondaryType;
        else if (isAny(highway,
                       {"tertiary", "tertiary_link", "residential", "unclassified", "road"}))
            type = kStreetType, maxLevel = 2;
        else if (isAny(highway, {"living_street", "service", "track"}))
            type = kSmallRoadType, maxLevel = 1;
        else if (is(highway, "pedestrian"))
            type = kPedestrianType, maxLevel = 2;
        else if (isAny(highway, {"footway", "path", "cycleway", "steps", "bridleway"}))
            type = kPathType, maxLevel = 1, street = false;
        else
            return;
        const size_t p = add(kRoadLayer, type, maxLevel, Shape::Line, std::move(pts));
        const char* name = t["name"];
        if (!street || !name || !*name) return;
        const QString key = text(name);
        const QString display = nameOf(t);
        const int32_t s = streetFor(key, display, pendings[p].rings.front().front());
        streets[size_t(s)].pendings.push_back(p);
        pendings[p].nameClass = kStreetClass;
        pendings[p].nameRecord = s + 1;
        if (const char* ru = t["name:ru"]; ru && *ru) streetByRuName_.emplace(text(ru), s);
    }

    void addRailway(const osmium::Way& w, const char* railway, Ring pts) {
        const osmium::TagList& t = w.tags();
        if (is(railway, "subway")) {
            int32_t colour = parseColour(t["colour"]);
            if (colour < 0) {
                auto it = lineColourOfWay.find(w.id());
                colour = it != lineColourOfWay.end() ? it->second : rgb(200, 30, 30);
            }
            auto it = std::find(lineColours.begin(), lineColours.end(), colour);
            if (it == lineColours.end()) {
                if (int(lineColours.size()) >= kMaxLineColours)
                    it = lineColours.begin();
                else
                    it = lineColours.insert(lineColours.end(), colour);
            }
            add(kMetroLineLayer, int16_t(kFirstMetroLineType + (it - lineColours.begin())), 3,
                Shape::Line, std::move(pts));
        } else if (isAny(railway, {"rail", "light_rail", "narrow_gauge", "monorail"})) {
            add(kRailwayLayer, kRailType, t["service"] ? 1 : 3, Shape::Line, std::move(pts));
        } else if (is(railway, "tram")) {
            add(kRailwayLayer, kTramType, 2, Shape::Line, std::move(pts));
        }
    }

    void addWaterway(const osmium::TagList& t, const char* waterway, Ring pts) {
        int16_t type;
        if (isAny(waterway, {"river", "canal"}))
            type = kRiverType;
        else if (isAny(waterway, {"stream", "ditch", "drain"}))
            type = kStreamType;
        else
            return;
        const size_t p =
            add(kWaterLayer, type, type == kRiverType ? 3 : 1, Shape::Line, std::move(pts));
        if (const QString name = nameOf(t); !name.isEmpty())
            attachNamed(kWaterClass, name, p, pendings[p].rings.front().front(), true);
    }
};

// ---------------------------------------------------------------------------
// Geometry in map units

double perpendicular(const QPointF& p, const QPointF& a, const QPointF& b) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len = std::hypot(dx, dy);
    if (len == 0) return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs(dy * p.x() - dx * p.y() + b.x() * a.y() - b.y() * a.x()) / len;
}

// Douglas–Peucker on a closed or open chain; keeps the ends.
std::vector<QPoint> simplify(const std::vector<QPoint>& pts, double tolerance) {
    if (pts.size() < 3) return pts;
    std::vector<char> keep(pts.size(), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<size_t, size_t>> stack{{0, pts.size() - 1}};
    while (!stack.empty()) {
        auto [a, b] = stack.back();
        stack.pop_back();
        double best = -1;
        size_t at = a;
        for (size_t i = a + 1; i < b; ++i) {
            const double d = perpendicular(pts[i], pts[a], pts[b]);
            if (d > best) best = d, at = i;
        }
        if (best > tolerance) {
            keep[at] = 1;
            stack.push_back({a, at});
            stack.push_back({at, b});
        }
    }
    std::vector<QPoint> out;
    for (size_t i = 0; i < pts.size(); ++i)
        if (keep[i]) out.push_back(pts[i]);
    return out;
}

bool inside(const std::vector<QPoint>& ring, QPoint p) {
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const QPoint& a = ring[i];
        const QPoint& b = ring[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < double(b.x() - a.x()) * (p.y() - a.y()) / double(b.y() - a.y()) + a.x())
            in = !in;
    }
    return in;
}

// One drawable ring of an area with holes: the outer ring, then every inner
// ring joined to it by a cut to its nearest outer point, so that an even-odd
// fill leaves the holes open.
std::vector<QPoint> bridged(const std::vector<std::vector<QPoint>>& rings) {
    std::vector<QPoint> out = rings.front();
    if (rings.size() == 1) return out;
    out.push_back(out.front());
    const QPoint anchor = out.front();
    for (size_t k = 1; k < rings.size(); ++k) {
        const std::vector<QPoint>& inner = rings[k];
        size_t best = 0;
        int64_t bestD = INT64_MAX;
        for (size_t i = 0; i < inner.size(); ++i) {
            const int64_t dx = inner[i].x() - anchor.x(), dy = inner[i].y() - anchor.y();
            if (dx * dx + dy * dy < bestD) bestD = dx * dx + dy * dy, best = i;
        }
        for (size_t i = 0; i <= inner.size(); ++i) out.push_back(inner[(best + i) % inner.size()]);
        out.push_back(anchor);
    }
    out.pop_back();  // the reader closes the ring back to the first point
    return out;
}

void dedupe(std::vector<QPoint>& pts) { pts.erase(std::unique(pts.begin(), pts.end()), pts.end()); }

}  // namespace

double Projection::x(double lon) const {
    return (lon - lon0) * kPi / 180 * kEarthRadius * std::cos(lat0 * kPi / 180);
}
double Projection::y(double lat) const { return (lat0 - lat) * kPi / 180 * kEarthRadius; }

GridChoice chooseGrid(int64_t side) {
    GridChoice g;
    int64_t c1 = 256, c2 = 1024, c3 = 4096;
    // A level's grid stays below 4096 cells a side.
    while ((side + c1 - 1) / c1 > 4000) c1 *= 2;
    c2 = std::max(c2, c1);
    while ((side + c2 - 1) / c2 > 1000) c2 *= 2;
    c3 = std::max(c3, c2);
    while ((side + c3 - 1) / c3 > 250) c3 *= 2;
    const int64_t extent = std::max<int64_t>(c3, (side + c3 - 1) / c3 * c3);
    g.gridExtent = int32_t(std::min<int64_t>(extent, INT32_MAX / 2));
    g.cells[0] = int32_t(c1), g.cells[1] = int32_t(c2), g.cells[2] = int32_t(c3);
    return g;
}

bool fitCellSizes(const std::vector<MapObjectData>& objects, LayerRecord& layer, int32_t gridExtent,
                  int maxEntries) {
    for (int level = 1; level <= 3; ++level) {
        int32_t& cell = layer.levels[size_t(level - 1)].cellSize;
        while (true) {
            std::unordered_map<int64_t, int> counts;
            int most = 0;
            const int64_t across = gridExtent / cell;
            for (const MapObjectData& o : objects) {
                if (o.maxLevel < level) continue;
                int32_t x1 = o.x1, y1 = o.y1, x2 = o.x2, y2 = o.y2;
                if (!o.points.empty() && o.iconNumber <= 0) {
                    x1 = x2 = o.points.front().x(), y1 = y2 = o.points.front().y();
                    for (const QPoint& p : o.points) {
                        x1 = std::min(x1, p.x()), x2 = std::max(x2, p.x());
                        y1 = std::min(y1, p.y()), y2 = std::max(y2, p.y());
                    }
                }
                const int64_t c1 = std::clamp<int64_t>(x1 / cell, 0, across - 1);
                const int64_t c2 = std::clamp<int64_t>(x2 / cell, 0, across - 1);
                const int64_t r1 = std::clamp<int64_t>(y1 / cell, 0, across - 1);
                const int64_t r2 = std::clamp<int64_t>(y2 / cell, 0, across - 1);
                for (int64_t c = c1; c <= c2; ++c)
                    for (int64_t r = r1; r <= r2; ++r)
                        most = std::max(most, ++counts[c * across + r]);
            }
            if (most <= maxEntries) break;
            if (cell <= 16) return false;
            cell /= 2;
            if (int64_t(gridExtent / cell) * (gridExtent / cell) > kMaxGridCells) return false;
        }
    }
    return true;
}

namespace {

class Builder {
public:
    Builder(Collector& c, ImportResult& r) : c_(c), r_(r), d_(r.data) {}
    bool build(QString* error);

private:
    Collector& c_;
    ImportResult& r_;
    DatasetData& d_;
    Projection proj_;
    double minX_ = 0, minY_ = 0;
    std::vector<House> houses_;
    struct DistrictRing {
        std::vector<QPoint> ring;
        QRect box;
        int32_t record;
    };
    std::vector<DistrictRing> districtRings_;
    std::vector<std::vector<ObjectRefData>> pendingObjects_;  // map objects made of each pending

    QPoint at(osmium::Location l) const {
        return QPoint(int(std::lround(proj_.x(l.lon()) - minX_)) + kMargin,
                      int(std::lround(proj_.y(l.lat()) - minY_)) + kMargin);
    }
    std::vector<QPoint> project(const Ring& r) const {
        std::vector<QPoint> out;
        out.reserve(r.size());
        for (const osmium::Location& l : r) out.push_back(at(l));
        dedupe(out);
        return out;
    }
    int32_t districtOf(osmium::Location where) const;
    void makeObjects();
    void makeHouses();
    void makeNames();
};

int32_t Builder::districtOf(osmium::Location where) const {
    if (!where.valid()) return 0;
    const QPoint p = at(where);
    for (const DistrictRing& d : districtRings_)
        if (d.box.contains(p) && inside(d.ring, p)) return d.record;
    // Else the nearest named place within 3 km.
    int32_t best = 0;
    double bestD = 3000;
    for (const Collector::PlacePoint& pl : c_.places()) {
        const QPoint q = at(pl.at);
        const double d = std::hypot(double(q.x() - p.x()), double(q.y() - p.y()));
        if (d < bestD) bestD = d, best = pl.record;
    }
    return best;
}

void Builder::makeObjects() {
    pendingObjects_.resize(c_.pendings.size());
    for (size_t i = 0; i < c_.pendings.size(); ++i) {
        Pending& p = c_.pendings[i];
        std::vector<std::vector<QPoint>> rings;
        for (const Ring& r : p.rings) rings.push_back(project(r));
        p.rings.clear();
        p.rings.shrink_to_fit();
        MapObjectData o;
        o.typeIndex = p.type;
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
            case Shape::Line: {
                const std::vector<QPoint>& pts = rings.front();
                if (pts.size() < 2) {
                    c_.skip(u("линии короче метра"));
                    break;
                }
                for (size_t s = 0; s + 1 < pts.size(); s += kLinePiece - 1) {
                    MapObjectData piece = o;
                    const size_t end = std::min(pts.size(), s + kLinePiece);
                    piece.points.assign(pts.begin() + qsizetype(s), pts.begin() + qsizetype(end));
                    store(std::move(piece));
                }
                break;
            }
            case Shape::Area: {
                for (auto& r : rings)
                    if (r.size() > 1 && r.front() == r.back()) r.pop_back();
                if (rings.front().size() < 3) {
                    c_.skip(u("площади меньше метра"));
                    break;
                }
                std::erase_if(rings, [](const std::vector<QPoint>& r) { return r.size() < 3; });
                std::vector<QPoint> ring = bridged(rings);
                for (double tolerance = 0.5; ring.size() > size_t(kMaxRingPoints); tolerance *= 2) {
                    for (auto& r : rings) {
                        r.push_back(r.front());
                        r = simplify(r, tolerance);
                        r.pop_back();
                    }
                    std::erase_if(rings, [](const std::vector<QPoint>& r) { return r.size() < 3; });
                    if (rings.empty()) break;
                    ring = bridged(rings);
                }
                if (rings.empty()) {
                    c_.skip(u("площади, которые не удалось упростить"));
                    break;
                }
                o.points = std::move(ring);
                store(std::move(o));
                break;
            }
        }
        for (const ObjectRefData& ref : pendingObjects_[i]) {
            MapObjectData& obj = d_.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
            if (p.nameClass) obj.nameKind = p.nameClass, obj.nameIndex = p.nameRecord;
        }
    }
}

void Builder::makeHouses() {
    // Every address becomes one house per number it names, linked to its street.
    for (const Address& a : c_.addresses) {
        const HouseNumberSplit split = splitHouseNumber(c_.text(a.number.toUtf8().constData()));
        if (!split.exact) ++r_.report.inexactHouseNumbers;
        if (split.houses.empty()) {
            c_.skip(u("адреса без номера"));
            continue;
        }
        const int32_t street = c_.streetOfAddress(a.street, a.where);
        for (const HouseFields& f : split.houses) {
            houses_.push_back({f, street, a.pending});
            c_.streets[size_t(street)].houses.push_back(int32_t(houses_.size() - 1));
        }
        AddressSample sample;
        sample.street = a.street;
        sample.houseNumber = a.number;
        sample.house = split.houses.front();
        sample.streetName = QString::number(street);  // replaced by the written name below
        r_.addresses.push_back(sample);
    }
}

void Builder::makeNames() {
    auto& names = d_.classNames;
    // Fixed classes.
    for (int cls = kDistrictClass; cls < kFirstHouseClass; ++cls) {
        if (cls == kStreetClass) continue;
        const int length = 94;
        for (const Named& n : c_.classes[cls]) {
            NameData nd;
            nd.name = fitText(n.name, length, r_.report.text);
            for (size_t p : n.pendings)
                for (const ObjectRefData& ref : pendingObjects_[p]) nd.mapObjects.push_back(ref);
            if (cls == kPoiClass || cls == kParkClass || cls == kWaterClass) {
                const int32_t district = districtOf(n.where);
                if (district) nd.parentClass = kDistrictClass, nd.parentRecord = district;
            }
            names[size_t(cls)].push_back(std::move(nd));
        }
    }
    // Streets with their houses; house classes of at most kHousesPerClass records.
    std::vector<QString> written(c_.streets.size());
    int16_t houseClass = kFirstHouseClass;
    for (size_t s = 0; s < c_.streets.size(); ++s) {
        const Street& st = c_.streets[s];
        NameData nd;
        nd.name = fitStreetName(st.display, 32, r_.report.text);
        written[s] = nd.name;
        for (size_t p : st.pendings)
            for (const ObjectRefData& ref : pendingObjects_[p]) nd.mapObjects.push_back(ref);
        osmium::Location where = st.where;
        if (const int32_t district = districtOf(where))
            nd.parentClass = kDistrictClass, nd.parentRecord = district;
        for (int32_t h : st.houses) {
            if (int32_t(names[size_t(houseClass)].size()) >= kHousesPerClass) {
                ++houseClass;
                d_.tables.classes.push_back(d_.tables.classes[kFirstHouseClass]);
                d_.tables.classExtra.push_back(0);
                names.emplace_back();
            }
            const House& house = houses_[size_t(h)];
            NameData hd;
            hd.number = house.fields.number;
            hd.fraction = house.fields.fraction;
            hd.building = house.fields.building;
            hd.parentClass = kStreetClass;
            hd.parentRecord = int32_t(s + 1);
            for (const ObjectRefData& ref : pendingObjects_[house.pending]) {
                hd.mapObjects.push_back(ref);
                MapObjectData& obj = d_.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
                if (!obj.nameKind)
                    obj.nameKind = houseClass,
                    obj.nameIndex = int32_t(names[size_t(houseClass)].size() + 1);
            }
            if (nd.parts.size() < size_t(kMaxRefs)) {
                names[size_t(houseClass)].push_back(std::move(hd));
                nd.parts.push_back({houseClass, int32_t(names[size_t(houseClass)].size())});
            } else {
                c_.skip(u("дома сверх предела на одной улице"));
            }
        }
        if (nd.mapObjects.size() > size_t(kMaxRefs)) {
            c_.skip(u("участки улиц сверх предела одной улицы"),
                    int64_t(nd.mapObjects.size()) - kMaxRefs);
            nd.mapObjects.resize(size_t(kMaxRefs));
        }
        names[kStreetClass].push_back(std::move(nd));
    }
    for (AddressSample& a : r_.addresses) a.streetName = written[size_t(a.streetName.toInt())];
    const int16_t last = int16_t(d_.tables.classes.size() - 1);
    if (last > kFirstHouseClass)
        for (int16_t cls = kFirstHouseClass; cls <= last; ++cls) {
            const int k = cls - kFirstHouseClass + 1;
            d_.tables.classes[size_t(cls)].className = u("Дома %1").arg(k);
            d_.tables.classes[size_t(cls)].baseName = QStringLiteral("doma%1").arg(k);
        }
    // Other classes with more map objects than a record holds keep the first ones.
    for (size_t cls = 1; cls < names.size(); ++cls)
        for (NameData& nd : names[cls])
            if (nd.mapObjects.size() > size_t(kMaxRefs)) {
                c_.skip(u("части объектов сверх предела одного имени"),
                        int64_t(nd.mapObjects.size()) - kMaxRefs);
                nd.mapObjects.resize(size_t(kMaxRefs));
            }
}

bool Builder::build(QString* error) {
    // The frame: the box of everything collected.
    double minLon = 1e9, maxLon = -1e9, minLat = 1e9, maxLat = -1e9;
    for (const Pending& p : c_.pendings)
        for (const Ring& r : p.rings)
            for (const osmium::Location& l : r) {
                minLon = std::min(minLon, l.lon()), maxLon = std::max(maxLon, l.lon());
                minLat = std::min(minLat, l.lat()), maxLat = std::max(maxLat, l.lat());
            }
    if (minLon > maxLon) {
        if (error) *error = u("в файле нет объектов, которые можно показать на карте");
        return false;
    }
    proj_.lon0 = (minLon + maxLon) / 2;
    proj_.lat0 = (minLat + maxLat) / 2;
    minX_ = proj_.x(minLon);
    minY_ = proj_.y(maxLat);
    const double width = proj_.x(maxLon) - minX_, height = proj_.y(minLat) - minY_;
    const int64_t side = int64_t(std::ceil(std::max(width, height))) + 2 * kMargin + 2;
    if (side > 2000000) {
        if (error)
            *error = u("данные занимают %1 км: это больше города, разбейте файл на части")
                         .arg(side / 1000);
        return false;
    }
    const GridChoice grid = chooseGrid(side);

    Tables& t = d_.tables;
    t.types = makeTypes();
    for (int32_t colour : c_.lineColours) t.types.push_back(metroLineType(colour));
    if (c_.lineColours.empty()) t.types.push_back(metroLineType(rgb(200, 30, 30)));
    const int32_t c1 = grid.cells[0], c2 = grid.cells[1], c3 = grid.cells[2];
    t.layers = {LayerRecord{},
                makeLayer("Районы", "raiony", true, true, c1, c2, c3),
                makeLayer("Зелёные зоны", "zelen", true, true, c1, c2, c3),
                makeLayer("Водоёмы", "vodoemy", true, true, c1, c2, c3),
                makeLayer("Железные дороги", "zheldor", true, false, c1, c2, c3),
                makeLayer("Улицы и дороги", "ulicy", true, true, c1, c2, c3),
                makeLayer("Здания", "doma", false, true, c1, c2, c3),
                makeLayer("Линии метро", "metrolin", true, true, c1, c2, c3),
                makeLayer("Станции метро", "metrost", true, true, c1, c2, c3),
                makeLayer("Организации", "org", false, true, c1, c2, c3)};
    // Organisations without an icon of their own only at the closest scales,
    // the others a little farther out.
    t.layers[kPoiLayer].levels[0].scaleLimit = 1;
    t.layers[kPoiLayer].levels[1].scaleLimit = 2.5f;
    // Stations above the organisations, so that an icon never hides a station.
    t.drawOrder = {0,          kDistrictLayer, kGreenLayer,     kWaterLayer, kRailwayLayer,
                   kRoadLayer, kBuildingLayer, kMetroLineLayer, kPoiLayer,   kStationLayer};
    t.selectOrder = {0,           kStationLayer,   kPoiLayer,     kBuildingLayer,
                     kRoadLayer,  kMetroLineLayer, kRailwayLayer, kWaterLayer,
                     kGreenLayer, kDistrictLayer};
    t.classes = {ClassRecord{},
                 makeClass(u("Районы"), "raiony", 1, true, true),
                 makeClass(u("Улицы"), "ulicy", 2, true, true),
                 makeClass(u("Станции метро"), "metro", 1, true, true),
                 makeClass(u("Водоёмы"), "vodoemy", 1, false, true),
                 makeClass(u("Парки и скверы"), "parki", 1, true, true),
                 makeClass(u("Организации"), "org", 1, true, true),
                 makeClass(u("Дома"), "doma", 3, false, false)};
    t.classExtra.assign(t.classes.size(), 0);
    d_.layerObjects.assign(t.layers.size(), {});
    d_.classNames.assign(t.classes.size(), {});

    for (const Collector::DistrictArea& a : c_.districtAreas()) {
        DistrictRing d{project(a.ring), {}, a.record};
        if (d.ring.size() < 3) continue;
        int x1 = d.ring.front().x(), x2 = x1, y1 = d.ring.front().y(), y2 = y1;
        for (const QPoint& q : d.ring) {
            x1 = std::min(x1, q.x()), x2 = std::max(x2, q.x());
            y1 = std::min(y1, q.y()), y2 = std::max(y2, q.y());
        }
        d.box = QRect(QPoint(x1, y1), QPoint(x2, y2));
        districtRings_.push_back(std::move(d));
    }
    makeObjects();
    makeHouses();
    makeNames();

    for (int l = 1; l <= kLayerCount; ++l)
        if (!fitCellSizes(d_.layerObjects[size_t(l)], t.layers[size_t(l)], grid.gridExtent,
                          kCellLimit)) {
            if (error)
                *error = u("слой «%1»: слишком много объектов в одном месте")
                             .arg(t.layers[size_t(l)].layerName);
            return false;
        }

    Catalogue& c = d_.catalogue;
    c.gridExtent = grid.gridExtent;
    c.extentLeft = 0;
    c.extentTop = 0;
    c.extentWidth = int32_t(std::ceil(width)) + 2 * kMargin;
    c.extentHeight = int32_t(std::ceil(height)) + 2 * kMargin;
    c.overviewLeft = 0;
    c.overviewTop = 0;
    c.overviewWidth = std::max(c.extentWidth, c.extentHeight);
    c.startWidth = std::min(c.extentWidth, 2000);
    // The start view sits at the centre of the streets when there are any.
    double sx = 0, sy = 0;
    int64_t n = 0;
    for (const MapObjectData& o : d_.layerObjects[kRoadLayer])
        if (o.nameKind == kStreetClass && !o.points.empty())
            sx += o.points.front().x(), sy += o.points.front().y(), ++n;
    if (n == 0) sx = c.extentWidth / 2.0, sy = c.extentHeight / 2.0, n = 1;
    const int32_t startHeight = c.startWidth * 3 / 4;
    c.startX = std::clamp(int32_t(sx / double(n)) - c.startWidth / 2, 0,
                          std::max(0, c.extentWidth - c.startWidth));
    c.startY = std::clamp(int32_t(sy / double(n)) - startHeight / 2, 0,
                          std::max(0, c.extentHeight - startHeight));
    c.minUnitsPerPixel = 0.1f;
    c.metroRangeDivisor = 4;
    c.streetClass = kStreetClass;
    c.metroClass = kStationClass;
    c.reserved50 = u("Город из данных OpenStreetMap");
    d_.icons = toolkit::iconPictures();
    d_.icons.push_back(otherIcon());
    return true;
}

}  // namespace

bool importOsm(const QString& path, ImportResult& result, QString* error,
               const Progress& progress) {
    QElapsedTimer timer;
    timer.start();
    result = ImportResult{};
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        if (error) *error = u("файл %1 не найден или не читается").arg(path);
        return false;
    }
    const double fileSize = double(std::max<qint64>(1, info.size()));
    Collector collector(result.report);
    try {
        const osmium::io::File file{QFile::encodeName(path).toStdString()};
        osmium::area::Assembler::config_type config;
        config.create_empty_areas = false;  // a ring that cannot be built gives no area
        osmium::TagsFilter filter{false};
        for (const char* key : {"building", "landuse", "natural", "leisure", "water", "waterway",
                                "boundary", "place", "amenity"})
            filter.add_rule(true, osmium::TagMatcher{key});
        osmium::area::MultipolygonManager<osmium::area::Assembler> manager{config, filter};

        if (progress) progress(u("отношения"), 0);
        {
            osmium::io::Reader reader{file, osmium::osm_entity_bits::relation};
            while (osmium::memory::Buffer buffer = reader.read()) {
                for (const osmium::Relation& r : buffer.select<osmium::Relation>()) {
                    ++result.report.relations;
                    collector.relationPass(r);
                }
                osmium::apply(buffer, manager);
                if (progress) progress(u("отношения"), double(reader.offset()) / fileSize);
            }
            reader.close();
            manager.prepare_for_lookup();
        }
        result.report.multipolygonRelations =
            int64_t(manager.relations_database().count_relations());

        using PosIndex =
            osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
        using NegIndex =
            osmium::index::map::SparseMemMap<osmium::unsigned_object_id_type, osmium::Location>;
        PosIndex positive;
        NegIndex negative;
        osmium::handler::NodeLocationsForWays<PosIndex, NegIndex> locations{positive, negative};
        locations.ignore_errors();
        auto& areas = manager.handler(
            [&collector](osmium::memory::Buffer&& buffer) { osmium::apply(buffer, collector); });
        osmium::io::Reader reader{file};
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, locations, collector, areas);
            if (progress) progress(u("точки и линии"), double(reader.offset()) / fileSize);
        }
        reader.close();
        areas.flush();
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
    Builder builder(collector, result);
    if (!builder.build(error)) return false;
    result.report.seconds = double(timer.elapsed()) / 1000;
    return true;
}

QStringList reportLines(const ImportResult& r) {
    QStringList lines;
    const Tables& t = r.data.tables;
    const ImportReport& rep = r.report;
    lines << u("прочитано: точек %1, линий %2, отношений %3 за %4 с")
                 .arg(rep.nodes)
                 .arg(rep.ways)
                 .arg(rep.relations)
                 .arg(rep.seconds, 0, 'f', 1);
    lines << u("слои (объектов карты):");
    for (size_t l = 1; l < t.layers.size() && l < r.data.layerObjects.size(); ++l)
        lines << u("  %1: %2").arg(t.layers[l].layerName).arg(r.data.layerObjects[l].size());
    lines << u("классы (именованных объектов):");
    for (size_t c = 1; c < t.classes.size() && c < r.data.classNames.size(); ++c)
        lines << u("  %1: %2").arg(t.classes[c].className).arg(r.data.classNames[c].size());
    lines << u("площади: из линий %1, из мультиполигонов %2 (отношений-мультиполигонов %3)")
                 .arg(rep.areasFromWays)
                 .arg(rep.areasFromRelations)
                 .arg(rep.multipolygonRelations);
    if (rep.multipolygonRelations > rep.areasFromRelations)
        lines << u("пропущено: мультиполигоны неполные или не собранные: %1")
                     .arg(rep.multipolygonRelations - rep.areasFromRelations);
    for (const auto& [why, count] : rep.skipped)
        lines << u("пропущено: %1: %2").arg(why).arg(count);
    if (rep.inexactHouseNumbers)
        lines << u("номера домов, разобранные не полностью: %1").arg(rep.inexactHouseNumbers);
    if (rep.text.replacedCharacters)
        lines << u("символы вне кодировки 1251, заменены близкими буквами: %1")
                     .arg(rep.text.replacedCharacters);
    if (rep.text.unknownCharacters)
        lines << u("символы без замены, записаны как «?»: %1").arg(rep.text.unknownCharacters);
    if (rep.text.shortenedStreets)
        lines << u("названия улиц, сокращённые до 32 знаков: %1").arg(rep.text.shortenedStreets);
    if (rep.text.cutTexts)
        lines << u("тексты, обрезанные по длине поля: %1").arg(rep.text.cutTexts);
    return lines;
}

}  // namespace urbica::osmimport
