// Lists of names where two entries would read the same ("Улицы Песчаная" for
// streets of five districts) show each such entry with its parent's name in
// parentheses, so that the user can tell them apart.
#pragma once

#include <vector>

#include "dataset/listmodel.h"
#include "dataset/names.h"

namespace urbica {

// Appends " (parent name)" to every entry whose text another entry of the
// list has too, when the named object has a parent. The item data is an
// itemKey, or, when recordsOfClass > 0, a record number of that class. A
// sorted list is sorted again; the current entry stays on the same object.
void distinguishSameTexts(const NameContext& ctx, ListModel& list, int recordsOfClass = 0);

// The same for items not yet in a list, whose parents are known: parents[i]
// is the parent of items[i] (class and record; record 0 for none). Each
// parent's name is read once. Returns true when a text changed.
bool distinguishSameTexts(const NameContext& ctx, std::vector<ListModel::Item>& items,
                          const std::vector<NamedObject>& parents);

}  // namespace urbica
