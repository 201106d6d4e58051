#include "view/layerorder.h"

#include <utility>

#include "view/redraw.h"

namespace urbica {

namespace {

LayerOrderList orderList(const Tables& t, const std::vector<int16_t>& order, bool select) {
    LayerOrderList out;
    const int positions = std::min<int>(t.layerCount(), int(order.size()) - 1);
    for (int i = 1; i <= positions; ++i) {
        const int k = order[size_t(i)];
        if (k <= 0 || k > t.layerCount()) continue;
        const LayerRecord& l = t.layers[size_t(k)];
        if (l.listed == 0) continue;
        out.push_back({l.layerName, int16_t(k), (select ? l.selectable : l.shown) != 0});
    }
    return out;
}

void storeOrder(Tables& t, std::vector<int16_t>& order, const LayerOrderList& list, bool select) {
    const int n = t.layerCount();
    if (int(order.size()) < n + 1) order.resize(size_t(n + 1), 0);
    int pos = 0;
    for (const LayerOrderEntry& e : list) {
        if (pos >= n) break;
        order[size_t(++pos)] = e.layer;
        if (e.layer >= 1 && e.layer <= n) {
            int16_t& flag =
                select ? t.layers[size_t(e.layer)].selectable : t.layers[size_t(e.layer)].shown;
            flag = e.selected ? -1 : 0;
        }
    }
    for (int i = pos + 1; i <= n; ++i) order[size_t(i)] = 0;
}

}  // namespace

LayerOrderList drawOrderList(const Tables& t) { return orderList(t, t.drawOrder, false); }
LayerOrderList selectOrderList(const Tables& t) { return orderList(t, t.selectOrder, true); }

int moveEntryDown(LayerOrderList& list, int current) {
    if (current < 0 || current >= int(list.size()) - 1) return current;
    std::swap(list[size_t(current)], list[size_t(current + 1)]);
    return current + 1;
}

int moveEntryUp(LayerOrderList& list, int current) {
    if (current <= 0 || current >= int(list.size())) return current;
    std::swap(list[size_t(current)], list[size_t(current - 1)]);
    return current - 1;
}

void storeLayerOrder(Tables& t, const LayerOrderList& draw, const LayerOrderList& select) {
    storeOrder(t, t.drawOrder, draw, false);
    storeOrder(t, t.selectOrder, select, true);
}

bool applyLayerOrder(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, QString* error) {
    const bool saved = saveTables(s.settings, s.tables, error, &s.files);
    const float left = s.view.viewLeft, top = s.view.viewTop, width = s.view.viewWidth;
    buildOverview(s, boxes, hooks);
    s.view.viewLeft = left;
    s.view.viewTop = top;
    s.view.viewWidth = width;
    if (boxes.map.width() > 4)
        s.view.unitsPerPixel = s.view.viewWidth / float(boxes.map.width() - 4);
    if (s.catalogue.gridExtent != 0 && s.view.unitsPerPixel > 0) {
        // The map keeps the coordinate system of the view it shows.
        boxes.map.setScale(s.view.viewLeft, s.view.viewTop, s.view.viewWidth, s.view.viewHeight);
        renderMap(s, boxes, hooks);
    }
    return saved;
}

}  // namespace urbica
