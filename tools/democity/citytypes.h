// The demo city's object types: their numbers and their styles.
#pragma once

#include <vector>

#include "citynames.h"
#include "dataset/labelkinds.h"
#include "dataset/tables.h"

namespace urbica::democity {

enum Type : int16_t {
    kDistrictType = 1,
    kRiverType,
    kPondType,
    kParkType,
    kRailwayType,
    kAvenueType,
    kHighwayType,
    kStreetType,
    kLaneType,
    kBoulevardType,
    kEmbankmentType,
    kHouseType,
    kPublicHouseType,
    kMetroLineType,  // one per line colour
    kStationType = kMetroLineType + kLineColourCount,
    kPharmacyType,  // one per organisation kind, icon numbers 1 to 5 in order
    kSightType = kPharmacyType + kOrganisationKinds,
    kSampleType,
};

// The type table, record 0 unused.
std::vector<ObjectType> makeTypes();
// The label kind of each type, by type number.
std::vector<LabelKind> typeLabelKinds();

}  // namespace urbica::democity
