#include "search/quickfind.h"

namespace urbica {

std::vector<int> quickFindClasses(const Tables& tables) {
    std::vector<int> classes;
    for (int c = 1; c <= tables.classCount(); ++c) {
        const ClassRecord& r = tables.classes[size_t(c)];
        if (r.searchable != 0 && r.hasNames != 0) classes.push_back(c);
    }
    return classes;
}

}  // namespace urbica
