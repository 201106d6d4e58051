#include "search/results.h"

namespace urbica {

void markFoundObject(const Settings& settings, MarksList& marks, int classNumber, int32_t record) {
    if (settings.remselfind == 1) marks.clear();
    if (settings.addselfind == 1) marks.add(MarkEntry{int16_t(classNumber), record});
}

}  // namespace urbica
