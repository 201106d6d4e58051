#include "collector.h"

#include <QStringList>
#include <algorithm>
#include <cstring>

#include "classify.h"
#include "dataset/kinds.h"

namespace urbica::osmimport {

using toolkit::rgb;

namespace {

Ring ringOf(const osmium::NodeRefList& list) {
    Ring r;
    r.reserve(list.size());
    for (const osmium::NodeRef& nr : list)
        if (nr.location().valid() && (r.empty() || r.back() != nr.location()))
            r.push_back(nr.location());
    if (r.size() > 1 && r.front() == r.back()) r.pop_back();
    return r;
}

osmium::Location centre(const Ring& pts) {
    int64_t x = 0, y = 0;
    for (const osmium::Location& l : pts) x += l.x(), y += l.y();
    const int64_t n = int64_t(std::max<size_t>(1, pts.size()));
    return osmium::Location(int32_t(x / n), int32_t(y / n));
}

// The rings of an area's polygons, each its outer ring first; polygons whose
// outer ring has fewer than three points are left out. all gets every outer point.
std::vector<std::vector<Ring>> polygonsOf(const osmium::Area& a, Ring& all) {
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
    return polygons;
}

}  // namespace

QString Collector::text(const char* value) {
    return toCp1251Letters(QString::fromUtf8(value).simplified(), report_.text);
}

QString Collector::nameOf(const Tags& t) {
    const QString whole = wholeNameOf(t);
    return whole.isEmpty() ? QString() : toCp1251Letters(whole, report_.text);
}

QString Collector::wholeNameOf(const Tags& t) {
    const char* ru = t["name:ru"];
    const char* name = ru && *ru ? ru : t["name"];
    return name ? QString::fromUtf8(name).simplified() : QString();
}

int32_t Collector::streetOfAddress(const QString& spelled, osmium::Location where) {
    return names.streetOfAddress(text(spelled.toUtf8().constData()), where, spelled.simplified());
}

void Collector::relationPass(const osmium::Relation& r) {
    const Tags t(r.tags());
    noteRelationAddress(r);
    if (isAny(t["route"], {"subway"}) || isAny(t["route_master"], {"subway"})) {
        const int32_t colour = parseColour(t["colour"]);
        if (colour < 0) return;
        for (const osmium::RelationMember& m : r.members())
            if (m.type() == osmium::item_type::way) lineColourOfWay.emplace(m.ref(), colour);
    }
}

void Collector::node(const osmium::Node& n) {
    ++report_.nodes;
    const Tags t(n.tags());
    if (t.empty()) return;
    if (!n.location().valid()) {
        skip(u("точки с неверными координатами"));
        return;
    }
    const Ring at{n.location()};
    const size_t before = pendings.size();
    if (const char* place = t["place"]; isAny(place, {"city", "town", "village", "hamlet", "suburb",
                                                      "quarter", "neighbourhood", "borough"})) {
        if (const QString name = nameOf(t); !name.isEmpty()) {
            const size_t p = add(kDistrictLayer, kPlaceType, 3, Shape::Point, at);
            attachNamed(kDistrictClass, name, t, p, n.location(), true);
            places_.push_back(
                {n.location(), pendings[p].nameRecord, isAny(place, {"city", "town"})});
        }
    }
    if (isStation(t)) addStation(t, n.location());
    addPoi(t, n.location());
    const size_t addressesBefore = addresses.size();
    addAddress(t, n.location(), std::nullopt);
    if (addresses.size() > addressesBefore) addressNodes_.emplace_back(n.id(), addressesBefore);
    noteKinds(kindsOf(t), before, n.location());
}

void Collector::way(const osmium::Way& w) {
    ++report_.ways;
    const Tags t(w.tags());
    const char* highway = t["highway"];
    const char* railway = t["railway"];
    const char* waterway = t["waterway"];
    const bool station = isStation(t);
    if (!memberAddress_.empty()) readMember(w);
    if (const char* number = t["addr:housenumber"]; number && *number) awaitArea(w);
    InterpolationLine line;
    if (interpolationKind(t["addr:interpolation"], line.step, line.parity) &&
        w.nodes().size() >= 2) {
        line.points = ringOf(w.nodes());
        line.firstNode = w.nodes().front().ref();
        line.lastNode = w.nodes().back().ref();
        if (const char* street = t["addr:street"]; street && *street)
            line.street = addressText(street);
        interpolations_.push_back(std::move(line));
    }
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

void Collector::area(const osmium::Area& a) {
    (a.from_way() ? report_.areasFromWays : report_.areasFromRelations)++;
    const Tags t(a.tags());
    const AreaKind kind = areaKind(t);
    const bool hasAddress = t["addr:housenumber"] != nullptr;
    const bool poi = poiKind(t) != 0;
    // A station drawn as a closed way was taken by way(); one drawn as a
    // multipolygon is taken here.
    const bool station = !a.from_way() && isStation(t);
    const std::vector<QString> kinds = kindsOf(t);
    if (!kind.layer && !hasAddress && !poi && !station && kinds.empty()) return;
    const size_t before = pendings.size();

    Ring all;  // every outer point, for the centre
    std::vector<std::vector<Ring>> polygons = polygonsOf(a, all);
    if (polygons.empty()) {
        skip(u("площади без колец"));
        return;
    }
    const osmium::Location c = centre(all);
    size_t first = 0;
    if (kind.layer) {
        first = pendings.size();
        for (std::vector<Ring>& rings : polygons) {
            Pending p;
            p.layer = kind.layer, p.type = kind.type, p.maxLevel = kind.maxLevel;
            p.shape = Shape::Area;
            p.rings = std::move(rings);
            pendings.push_back(std::move(p));
        }
        const QString name = nameOf(t);
        if (kind.nameClass && !name.isEmpty()) {
            for (size_t i = first; i < pendings.size(); ++i)
                attachNamed(kind.nameClass, name, t, i, c, true);
            if (kind.nameClass == kDistrictClass)
                for (size_t i = first; i < pendings.size(); ++i)
                    districtAreas_.push_back({pendings[i].rings.front(), pendings[i].nameRecord});
        }
    }
    if (station) addStation(t, c);
    if (poi) addPoi(t, c);
    if (hasAddress) placeAreaAddress(a, kind, first, c);
    noteKinds(kinds, before, c);
}

void Collector::placeAreaAddress(const osmium::Area& a, const AreaKind& kind, size_t first,
                                 osmium::Location c) {
    const std::optional<size_t> building =
        kind.building ? std::optional<size_t>(first) : std::nullopt;
    if (a.from_way()) {
        // The way's address was taken when the way was read; it now gets its place.
        if (auto it = awaitingWay_.find(a.orig_id()); it != awaitingWay_.end()) {
            Address& address = addresses[it->second];
            address.where = c;
            address.pending =
                building ? *building : add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{c});
            awaitingWay_.erase(it);
            return;
        }
    } else if (auto it = relationAddressOf_.find(a.orig_id()); it != relationAddressOf_.end()) {
        relationAddresses_[it->second].placed = true;
    }
    addAddress(Tags(a.tags()), c, building);
}

// Multipolygons with an address: their member ways are watched in the second
// pass, so that the address is not lost when the relation makes no area.
void Collector::noteRelationAddress(const osmium::Relation& r) {
    const Tags t(r.tags());
    const char* number = t["addr:housenumber"];
    if (!number || !*number || !is(t["type"], "multipolygon")) return;
    const char* street = t["addr:street"];
    if (!street || !*street) street = t["addr:place"];
    if (!street || !*street) return;  // counted when its area is read
    RelationAddress ra;
    ra.street = QString::fromUtf8(street).simplified();
    ra.number = QString::fromUtf8(number).simplified();
    ra.kind = areaKind(t);
    const size_t index = relationAddresses_.size();
    relationAddresses_.push_back(std::move(ra));
    relationAddressOf_.emplace(r.id(), index);
    for (const osmium::RelationMember& m : r.members())
        if (m.type() == osmium::item_type::way && !is(m.role(), "inner"))
            memberAddress_.emplace(m.ref(), index);
}

void Collector::readMember(const osmium::Way& w) {
    const auto [from, to] = memberAddress_.equal_range(w.id());
    if (from == to) return;
    Ring ring = ringOf(w.nodes());
    const bool closed = w.nodes().size() >= 4 && w.ends_have_same_id() && ring.size() >= 3;
    for (auto it = from; it != to; ++it) {
        RelationAddress& ra = relationAddresses_[it->second];
        for (const osmium::Location& l : ring) ra.sumX += l.x(), ra.sumY += l.y(), ++ra.count;
        if (closed && ra.kind.building) ra.closedOuters.push_back(ring);
    }
}

void Collector::awaitArea(const osmium::Way& w) {
    const Ring pts = ringOf(w.nodes());
    if (pts.empty()) {
        skip(u("адреса на линиях без точек"));
        return;
    }
    if (const std::optional<size_t> index = addressIndex(Tags(w.tags()), centre(pts)))
        awaitingWay_.emplace(w.id(), *index);
}

void Collector::placeLeftAddresses() {
    // Ways that made no area: not closed, not of a drawn kind, or a broken ring.
    std::vector<size_t> left;
    left.reserve(awaitingWay_.size());
    for (const auto& [id, index] : awaitingWay_) left.push_back(index);
    std::sort(left.begin(), left.end());  // in the order the ways were read
    for (size_t index : left) {
        Address& a = addresses[index];
        a.pending = add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{a.where});
    }
    addressesFromParts_ += int64_t(left.size());
    awaitingWay_.clear();
    // Multipolygons that made no area: a building is drawn by its member
    // rings that close by themselves; otherwise a square marks the centre of
    // the member points that were read.
    for (RelationAddress& ra : relationAddresses_) {
        if (ra.placed) continue;
        if (ra.count == 0) {
            skip(u("адреса мультиполигонов без прочитанных точек"));
            continue;
        }
        const osmium::Location c(int32_t(ra.sumX / ra.count), int32_t(ra.sumY / ra.count));
        size_t pending;
        if (!ra.closedOuters.empty()) {
            pending = pendings.size();
            for (Ring& ring : ra.closedOuters)
                add(ra.kind.layer, ra.kind.type, ra.kind.maxLevel, Shape::Area, std::move(ring));
        } else {
            pending = add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{c});
        }
        addresses.push_back({ra.street, ra.number, pending, c});
        ++addressesFromParts_;
    }
    relationAddresses_.clear();
    relationAddressOf_.clear();
    memberAddress_.clear();
    report_.addressesFromParts = addressesFromParts_;
}

void Collector::addInterpolatedHouses() {
    if (interpolations_.empty()) {
        std::vector<std::pair<osmium::object_id_type, size_t>>().swap(addressNodes_);
        return;
    }
    std::sort(addressNodes_.begin(), addressNodes_.end());
    auto addressOf = [&](osmium::object_id_type id) -> const Address* {
        auto it = std::lower_bound(addressNodes_.begin(), addressNodes_.end(),
                                   std::make_pair(id, size_t(0)));
        return it != addressNodes_.end() && it->first == id ? &addresses[it->second] : nullptr;
    };
    // The extract's own addresses are not made again.
    QSet<QString> known;
    for (const Address& a : addresses) known.insert(a.street + u'\t' + a.number);
    for (const InterpolationLine& line : interpolations_) {
        const Address* from = addressOf(line.firstNode);
        const Address* to = addressOf(line.lastNode);
        if (!from || !to) {
            skip(u("линии интерполяции адресов без адресов на концах"));
            continue;
        }
        const QString street = line.street.isEmpty() ? from->street : line.street;
        const int a = plainHouseNumber(from->number), b = plainHouseNumber(to->number);
        const std::vector<InterpolatedHouse> houses =
            (line.street.isEmpty() && from->street != to->street) || a < 0 || b < 0
                ? std::vector<InterpolatedHouse>()
                : interpolateHouses(line, a, b);
        if (houses.empty() && std::abs(a - b) != line.step) {
            skip(u("линии интерполяции адресов, не прочитанные"));
            continue;
        }
        for (const InterpolatedHouse& h : houses) {
            const QString number = QString::number(h.number);
            if (known.contains(street + u'\t' + number)) continue;
            const size_t p = add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{h.at});
            addresses.push_back({street, number, p, h.at, true});
            ++report_.interpolatedHouses;
        }
    }
    std::vector<std::pair<osmium::object_id_type, size_t>>().swap(addressNodes_);
    std::vector<InterpolationLine>().swap(interpolations_);
}

size_t Collector::add(int16_t layer, int16_t type, int16_t maxLevel, Shape shape, Ring pts) {
    Pending p;
    p.layer = layer, p.type = type, p.maxLevel = maxLevel, p.shape = shape;
    p.rings.push_back(std::move(pts));
    pendings.push_back(std::move(p));
    return pendings.size() - 1;
}

std::vector<QString> Collector::allNamesOf(const Tags& t) {
    std::vector<QString> out;
    for (const char* key :
         {"name", "name:ru", "alt_name", "old_name", "official_name", "short_name"}) {
        const char* value = t[key];
        if (!value || !*value) continue;
        const QString whole = QString::fromUtf8(value);
        const bool list = !std::strcmp(key, "alt_name") || !std::strcmp(key, "old_name");
        for (const QString& part : list ? whole.split(u';') : QStringList{whole})
            if (const QString n = part.simplified(); !n.isEmpty()) out.push_back(n);
    }
    return out;
}

void Collector::attachNamed(int16_t cls, const QString& name, const Tags& t, size_t pending,
                            osmium::Location where, bool merge) {
    const int32_t record = names.attach(cls, name, pending, where, merge);
    names.setWhole(cls, record, wholeNameOf(t));
    names.addOtherNames(cls, record, allNamesOf(t));
    pendings[pending].nameClass = cls;
    pendings[pending].nameRecord = record;
}

void Collector::addStation(const Tags& t, osmium::Location at) {
    const QString name = nameOf(t);
    if (name.isEmpty()) {
        skip(u("станции метро без названия"));
        return;
    }
    // A station mapped more than once (as a point and as an area, or with
    // different tags) is one station: the first one of its name.
    if (const int32_t record = names.recordOf(kStationClass, name)) {
        names.addOtherNames(kStationClass, record, allNamesOf(t));
        return;
    }
    const size_t p = add(kStationLayer, kStationType, 3, Shape::Point, Ring{at});
    attachNamed(kStationClass, name, t, p, at, true);
}

void Collector::addPoi(const Tags& t, osmium::Location at) {
    const int kind = poiKind(t);
    if (!kind) return;
    const QString name = nameOf(t);
    const bool icon = kind != kMonumentType;
    const size_t p =
        add(kPoiLayer, int16_t(kind), kind == kOtherPoiType ? 1 : 2, Shape::Point, Ring{at});
    if (icon) pendings[p].icon = kind == kOtherPoiType ? kOtherIcon : kind - kPharmacyType + 1;
    if (!name.isEmpty()) attachNamed(kPoiClass, name, t, p, at, false);
}

// Addresses repeat their street's spelling and the common numbers: one copy
// of each text is kept and shared.
QString Collector::addressText(const char* value) {
    const std::string_view bytes(value);
    if (auto known = addressBytes_.find(bytes); known != addressBytes_.end()) return known->second;
    const QString text = QString::fromUtf8(value).simplified();
    auto it = addressTexts_.constFind(text);
    if (it == addressTexts_.constEnd()) it = addressTexts_.insert(text);
    addressBytes_.emplace(std::string(bytes), *it);
    return *it;
}

std::optional<size_t> Collector::addressIndex(const Tags& t, osmium::Location at) {
    const char* number = t["addr:housenumber"];
    if (!number || !*number) return std::nullopt;
    const char* street = t["addr:street"];
    if (!street || !*street) street = t["addr:place"];
    if (!street || !*street) {
        skip(u("адреса без улицы"));
        return std::nullopt;
    }
    if (const char* city = t["addr:city"]; city && *city)
        ++cityNames_[QString::fromUtf8(city).simplified()];
    addresses.push_back({addressText(street), addressText(number), kNoPending, at});
    return addresses.size() - 1;
}

void Collector::addAddress(const Tags& t, osmium::Location at, std::optional<size_t> building) {
    const std::optional<size_t> index = addressIndex(t, at);
    if (!index) return;
    // A small square marks an address given by a point or by a non-building area.
    addresses[*index].pending =
        building ? *building : add(kBuildingLayer, kAddressType, 1, Shape::Square, Ring{at});
}

void Collector::addRoad(const Tags& t, const char* highway, Ring pts) {
    const RoadKind kind = roadKind(highway);
    if (!kind.type) return;
    const size_t p = add(kRoadLayer, kind.type, kind.maxLevel, Shape::Line, std::move(pts));
    const char* name = t["name"];
    if (!kind.street || !name || !*name) return;
    const QString key = text(name);
    const QString display = nameOf(t);
    const int32_t s =
        names.streetFor(key, display, pendings[p].rings.front().front(), wholeNameOf(t));
    names.streets[size_t(s)].pendings.push_back(p);
    names.addStreetNames(s, allNamesOf(t));
    pendings[p].nameClass = kStreetClass;
    pendings[p].nameRecord = s + 1;
    if (const char* ru = t["name:ru"]; ru && *ru) names.addRussianName(text(ru), s);
}

void Collector::addRailway(const osmium::Way& w, const char* railway, Ring pts) {
    const Tags t(w.tags());
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

void Collector::addWaterway(const Tags& t, const char* waterway, Ring pts) {
    const int16_t type = waterwayType(waterway);
    if (!type) return;
    const size_t p =
        add(kWaterLayer, type, type == kRiverType ? 3 : 1, Shape::Line, std::move(pts));
    if (const QString name = nameOf(t); !name.isEmpty())
        attachNamed(kWaterClass, name, t, p, pendings[p].rings.front().front(), true);
}

std::vector<QString> Collector::kindsOf(const Tags& t) {
    std::vector<QString> out;
    const KindTable& table = KindTable::builtIn();
    for (int k : table.kindsOfTags([&t](const char* key) { return t[key]; }))
        out.push_back(table.kinds()[size_t(k)].tag);
    if (out.empty() && poiKind(t) != 0)
        for (const char* key : {"amenity", "shop", "tourism", "office", "historic"})
            if (const char* value = t[key]; value && *value) {
                out.push_back(QString::fromUtf8(key) + u'=' + QString::fromUtf8(value));
                break;
            }
    return out;
}

void Collector::noteKinds(const std::vector<QString>& kinds, size_t before, osmium::Location at) {
    if (kinds.empty()) return;
    size_t p = kNoPending;
    for (size_t i = before; i < pendings.size() && p == kNoPending; ++i)
        if (pendings[i].layer == kPoiLayer || pendings[i].layer == kStationLayer) p = i;
    for (size_t i = before; i < pendings.size() && p == kNoPending; ++i)
        if (pendings[i].type != kAddressType) p = i;
    if (p == kNoPending) {
        // Unnamed and of no drawn sort (a parking, an ATM): a point at the
        // closest scales, of a type named by its kind.
        const KindTable& table = KindTable::builtIn();
        const int k = table.indexOf(kinds.front());
        const QString name = k >= 0 ? table.kinds()[size_t(k)].label : kinds.front();
        auto it = std::find(placeTypes.begin(), placeTypes.end(), name);
        if (it == placeTypes.end()) it = placeTypes.insert(placeTypes.end(), name);
        p = add(kPoiLayer, int16_t(kPlaceTypeBase + (it - placeTypes.begin())), 1, Shape::Point,
                Ring{at});
        pendings[p].icon = kOtherIcon;
    }
    for (const QString& tag : kinds) kindNotes.push_back({tag, p, at});
}

}  // namespace urbica::osmimport
