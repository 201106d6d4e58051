// The quick find of the main window without its widgets.
#pragma once

#include <vector>

#include "dataset/tables.h"

namespace urbica {

// The classes the quick find searches: those with both searchable and
// hasNames set, in class-table order.
std::vector<int> quickFindClasses(const Tables& tables);

}  // namespace urbica
