// What every search does with the object the user chose: the marks list
// follows the two options, then the object is shown on the map.
#pragma once

#include <cstdint>
#include <functional>

#include "dataset/settings.h"
#include "view/viewstate.h"

namespace urbica {

// Centres the named object (class number, name-record number) on the map,
// names it in the info line and draws it highlighted.
using ShowNamedObject = std::function<void(int classNumber, int32_t record)>;

// Before a chosen object is shown: the marks list is emptied when remselfind
// is 1, and the object is appended when addselfind is 1.
void markFoundObject(const Settings& settings, MarksList& marks, int classNumber, int32_t record);

}  // namespace urbica
