// House numbers of addresses as mappers write them ("12", "12А", "12/3",
// "12к2", "12 корп. 2", "12с1", "1/25 литА", "13-15") split into the fields
// of a house record: number with its letter, fraction and building, and the
// structure (строение), for which the record has no field.
#pragma once

#include <QString>
#include <vector>

#include "dataset/namerecords.h"

namespace urbica {

// Field widths of a house record.
inline constexpr int kNumberWidth = HouseNumberRecord::kNumber.width;
inline constexpr int kFractionWidth = HouseNumberRecord::kFraction.width;
inline constexpr int kBuildingWidth = HouseNumberRecord::kBuilding.width;

struct HouseFields {
    QString number;          // digits and letter, e.g. "12А"
    QString fraction;        // "3" of 12/3
    QString building;        // "2" of 12 корп. 2
    QString structure = {};  // "1" of 12 стр. 1 (kept beside the record)
};

struct HouseNumberSplit {
    // One entry per house the text names: a range "13-15" gives 13 and 15,
    // a list "5;7" gives 5 and 7.
    std::vector<HouseFields> houses;
    // False when part of the text had no field (kept as readable as the
    // fields allow) or a field had to be cut.
    bool exact = true;
};

HouseNumberSplit splitHouseNumber(const QString& text);

}  // namespace urbica
