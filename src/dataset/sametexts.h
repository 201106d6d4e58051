// Lists of names where two entries would read the same ("Улицы Песчаная" for
// streets of five districts) show each such entry with its parent's name in
// parentheses, so that the user can tell them apart.
#pragma once

#include "dataset/names.h"

namespace urbica {

class ListModel;

// Appends " (parent name)" to every entry whose text another entry of the
// list has too, when the named object has a parent. The item data is an
// itemKey, or, when recordsOfClass > 0, a record number of that class. A
// sorted list is sorted again; the current entry stays on the same object.
void distinguishSameTexts(const NameContext& ctx, ListModel& list, int recordsOfClass = 0);

}  // namespace urbica
