#include "view/viewstate.h"

#include <cstddef>

namespace urbica {

void ViewHistory::record(const ViewState& v) {
    if (historyPos >= 32767) {
        // The position is a 16-bit number: the oldest view makes room.
        entries.erase(entries.begin() + 1);
        --historyPos;
    }
    ++historyPos;
    entries.resize(std::size_t(historyPos) + 1);
    entries[std::size_t(historyPos)] = {v.viewLeft, v.viewTop, v.viewWidth};
}

}  // namespace urbica
