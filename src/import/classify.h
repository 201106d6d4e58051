// What an OpenStreetMap object is on the map: the object types of the tables,
// the tests that sort tags into layers, types and classes, and the layer and
// class tables of the dataset.
#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <osmium/osm/tag.hpp>
#include <vector>

#include "dataset/labelkinds.h"
#include "dataset/tables.h"
#include "osmimport.h"
#include "dataset/toolkit.h"
#include "tags.h"

namespace urbica::osmimport {

inline QString u(const char* s) { return QString::fromUtf8(s); }

// Object type numbers of the tables.
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
inline constexpr int kMaxLineColours = 16;
// Points of a kind that the map draws no other way (an unnamed ATM): one type
// per kind, named by it, after the metro lines. Pending objects carry
// kPlaceTypeBase + the index of the kind's name until the types are made.
inline constexpr int16_t kPlaceTypeBase = 30000;
inline constexpr int32_t kOtherIcon = toolkit::kIconCount + 1;

bool is(const char* value, const char* wanted);
bool isAny(const char* value, std::initializer_list<const char*> wanted);

// A metro station: railway=station or public_transport=station, with
// station=subway or subway=yes (mappers use every mix).
bool isStation(const Tags& t);
// The type of a point of interest (kPharmacyType ... kMonumentType), 0 when none.
int poiKind(const Tags& t);

// What an area is drawn as; layer 0 when it is not drawn at all.
struct AreaKind {
    int16_t layer = 0, type = 0, maxLevel = 3;
    int16_t nameClass = 0;  // the class its name goes to (districts: only when named)
    bool building = false;
};
AreaKind areaKind(const Tags& t);

// What a road is drawn as; type 0 when it is not drawn.
struct RoadKind {
    int16_t type = 0, maxLevel = 3;
    bool street = true;  // named roads are streets, paths are not
};
RoadKind roadKind(const char* highway);

// The type of a waterway line, 0 when it is not drawn.
int16_t waterwayType(const char* waterway);

// "#ff0000", "red" ... as a colour of the tables; -1 when unknown.
int32_t parseColour(const char* text);

// The object types, with one metro line type per colour (a red one when none),
// then one type of point for each name of placeTypes.
std::vector<ObjectType> makeTypes(const std::vector<int32_t>& lineColours,
                                  const std::vector<QString>& placeTypes = {});

// The label kind of each type of makeTypes(lineColours, placeTypes), by type number.
std::vector<LabelKind> typeLabelKinds(size_t lineColours, size_t placeTypes);

// A picture for organisations without an icon of their own: an orange dot.
IconData otherIcon();

// The layers (with the given cell sizes), their orders and the classes.
void makeLayersAndClasses(Tables& t, const GridChoice& grid);

}  // namespace urbica::osmimport
