// The osmium handler of the reading passes: subway route colours from the
// relations, then every node, way and assembled area sorted into pending map
// objects, named objects, streets and addresses.
#pragma once

#include <QSet>
#include <QString>
#include <map>
#include <optional>
#include <osmium/handler.hpp>
#include <osmium/osm/area.hpp>
#include <osmium/osm/box.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "classify.h"
#include "collected.h"
#include "interpolation.h"
#include "osmnames.h"
#include "osmimport.h"

namespace urbica::osmimport {

class Collector : public osmium::handler::Handler {
public:
    explicit Collector(ImportReport& report) : report_(report) {}

    std::vector<Pending> pendings;
    NameRegistry names;
    std::vector<Address> addresses;
    std::unordered_map<osmium::object_id_type, int32_t> lineColourOfWay;
    std::vector<int32_t> lineColours;
    std::vector<KindNote> kindNotes;
    std::vector<QString> placeTypes;  // kinds of points drawn for their kind alone
    // The area the export was made for (the file's bounds or header box), if it says.
    osmium::Box exportBox;

    // First pass: the colours of subway routes, for their ways.
    void relationPass(const osmium::Relation& r);
    // Second pass.
    void node(const osmium::Node& n);
    void way(const osmium::Way& w);
    void area(const osmium::Area& a);
    // After the second pass: the addresses of ways that made no area and of
    // multipolygons that could not be assembled (members missing from the
    // extract, broken rings), placed by the points that were read.
    void placeLeftAddresses();
    // After that: the houses between the ends of the interpolation lines,
    // each placed along its line, unless the extract has that address.
    void addInterpolatedHouses();

    const std::vector<PlacePoint>& places() const { return places_; }
    const std::vector<DistrictArea>& districtAreas() const { return districtAreas_; }
    // How many addresses name each city (addr:city).
    const std::map<QString, int64_t>& cityNames() const { return cityNames_; }

    void skip(const QString& why, int64_t n = 1) { report_.skipped[why] += n; }

    // A text of the input in the letters of the dataset.
    QString text(const char* value);
    // name:ru when present, else name.
    QString nameOf(const Tags& t);
    // The same in Unicode, as tagged (blanks simplified): what nameOf folds.
    static QString wholeNameOf(const Tags& t);
    // Every name the tags give (name, name:ru, alt_name, old_name, official_name,
    // short_name; lists split at ';'), whole and in Unicode.
    static std::vector<QString> allNamesOf(const Tags& t);
    // The street an address names (see NameRegistry::streetOfAddress).
    int32_t streetOfAddress(const QString& spelled, osmium::Location where);

private:
    ImportReport& report_;
    std::vector<PlacePoint> places_;
    // Each street spelling and number text of the addresses, once, by the bytes
    // of the input and by the text kept.
    struct BytesHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, QString, BytesHash, std::equal_to<>> addressBytes_;
    QSet<QString> addressTexts_;
    QString addressText(const char* value);
    std::vector<DistrictArea> districtAreas_;
    // Nodes with an address (id, index into addresses), and the interpolation lines.
    std::vector<std::pair<osmium::object_id_type, size_t>> addressNodes_;
    std::vector<InterpolationLine> interpolations_;
    std::map<QString, int64_t> cityNames_;

    // The address of a multipolygon relation, with what its member ways gave,
    // in case the relation makes no area.
    struct RelationAddress {
        QString street, number;
        AreaKind kind;
        int64_t sumX = 0, sumY = 0, count = 0;  // every point of its members read
        std::vector<Ring> closedOuters;         // members that are rings by themselves
        bool placed = false;                    // an area of it was assembled
    };
    std::vector<RelationAddress> relationAddresses_;
    std::unordered_map<osmium::object_id_type, size_t> relationAddressOf_;   // relation id
    std::unordered_multimap<osmium::object_id_type, size_t> memberAddress_;  // way id
    // Addresses of ways (into addresses) whose area, if any, is still to come.
    std::unordered_map<osmium::object_id_type, size_t> awaitingWay_;
    int64_t addressesFromParts_ = 0;

    void noteRelationAddress(const osmium::Relation& r);
    void readMember(const osmium::Way& w);
    void awaitArea(const osmium::Way& w);
    void placeAreaAddress(const osmium::Area& a, const AreaKind& kind, size_t first,
                          osmium::Location c);
    std::optional<size_t> addressIndex(const Tags& t, osmium::Location at);

    size_t add(int16_t layer, int16_t type, int16_t maxLevel, Shape shape, Ring pts);
    // The pending object becomes a map object of the named object of the class
    // (one per name when merge is set, else a new one each time).
    // The record also gets every name of the tags.
    void attachNamed(int16_t cls, const QString& name, const Tags& t, size_t pending,
                     osmium::Location where, bool merge);
    void addStation(const Tags& t, osmium::Location at);
    void addPoi(const Tags& t, osmium::Location at);
    void addAddress(const Tags& t, osmium::Location at, std::optional<size_t> building);
    void addRoad(const Tags& t, const char* highway, Ring pts);
    void addRailway(const osmium::Way& w, const char* railway, Ring pts);
    void addWaterway(const Tags& t, const char* waterway, Ring pts);
    // The kinds of an object (kinds.h), or for a point of interest of no kind
    // of the table the tag that made it one; empty for other objects.
    static std::vector<QString> kindsOf(const Tags& t);
    // Notes the object's kinds with the map object made for it since the
    // pending count was before: its point of interest or station, else the
    // first one drawn; an object not drawn otherwise gets a point of its own.
    void noteKinds(const std::vector<QString>& kinds, size_t before, osmium::Location at);
};

}  // namespace urbica::osmimport
