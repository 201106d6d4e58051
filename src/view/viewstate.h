// What the map shows: the view rectangle in map units and the history of views.
#pragma once

#include <cstdint>
#include <vector>

namespace urbica {

struct ViewState {
    float viewLeft = 0, viewTop = 0, viewWidth = 0, viewHeight = 0;
    float unitsPerPixel = 0;
    int16_t iconSize = 16;
    bool busy = false;
};

struct HistoryEntry {
    float viewLeft = 0, viewTop = 0, viewWidth = 0;
};

// 1-based: entry 0 exists and holds nothing; historyPos is 0 before the first view.
struct ViewHistory {
    std::vector<HistoryEntry> entries{1};
    int16_t historyPos = 0;

    int upperBound() const { return int(entries.size()) - 1; }
    // Records v as the view after the current one; views ahead of it are dropped.
    void record(const ViewState& v);
};

// A named object kept highlighted on the map.
struct MarkEntry {
    int16_t classNumber = 0;
    int32_t recordNumber = 0;
};

// 1-based: entry 0 exists and holds nothing.
struct MarksList {
    std::vector<MarkEntry> entries{1};
    void clear() { entries.assign(1, MarkEntry{}); }
    void add(MarkEntry e) { entries.push_back(e); }
    int upperBound() const { return int(entries.size()) - 1; }
};

}  // namespace urbica
