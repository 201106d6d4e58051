// The house-number split lives in the dataset library now (dataset/housenumber.h);
// the importer keeps its old names for it.
#pragma once

#include "dataset/housenumber.h"

namespace urbica::osmimport {

using urbica::HouseFields;
using urbica::HouseNumberSplit;
using urbica::kBuildingWidth;
using urbica::kFractionWidth;
using urbica::kNumberWidth;
using urbica::splitHouseNumber;

}  // namespace urbica::osmimport
