#include "draw/labelsapart.h"

#include <QRectF>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "dataset/numbers.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "draw/drawcontext.h"

namespace urbica {

namespace {

QRectF bounds(const LabelBox& b) {
    double l = b.corners[0].x(), r = l, t = b.corners[0].y(), d = t;
    for (const QPointF& p : b.corners) {
        l = std::min(l, p.x()), r = std::max(r, p.x());
        t = std::min(t, p.y()), d = std::max(d, p.y());
    }
    return QRectF(QPointF(l, t), QPointF(r, d));
}

// The boxes drawn so far, found by the cells of a coarse grid they cover.
class DrawnBoxes {
public:
    explicit DrawnBoxes(std::vector<LabelBox>& boxes, int width, int height)
        : boxes_(boxes), cellsX_(width / kCell + 3), cellsY_(height / kCell + 3) {}

    bool overlapsAny(const LabelBox& b) const {
        bool hit = false;
        forCells(bounds(b), [&](int64_t cell) {
            const auto it = cells_.find(cell);
            if (it == cells_.end()) return;
            for (size_t k : it->second)
                if (!hit && boxesOverlap(boxes_[k], b)) hit = true;
        });
        return hit;
    }
    void add(const LabelBox& b) {
        const size_t k = boxes_.size();
        boxes_.push_back(b);
        forCells(bounds(b), [&](int64_t cell) { cells_[cell].push_back(k); });
    }

private:
    static constexpr int kCell = 64;
    // Cells outside the picture are folded into its border cells, so a far
    // label costs no more than a near one.
    template <typename F>
    void forCells(const QRectF& r, F f) const {
        auto cellOf = [](double v, int cells) {
            const double c = std::floor(v / kCell) + 1;
            return int(std::clamp(c, 0.0, double(cells - 1)));
        };
        const int x0 = cellOf(r.left(), cellsX_), x1 = cellOf(r.right(), cellsX_);
        const int y0 = cellOf(r.top(), cellsY_), y1 = cellOf(r.bottom(), cellsY_);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) f(int64_t(y) * cellsX_ + x);
    }
    std::vector<LabelBox>& boxes_;
    int cellsX_, cellsY_;
    std::unordered_map<int64_t, std::vector<size_t>> cells_;
};

}  // namespace

int labelRank(const ObjectType& type, LabelKind kind) {
    switch (kind) {
        case LabelKind::Station:
            return 0;
        case LabelKind::Street:
        case LabelKind::Water:
            return 1;
        case LabelKind::Area:
            return 2;
        case LabelKind::PointOfInterest:
            return 3;
        case LabelKind::HouseNumber:
            return 4;
        case LabelKind::Unknown:
            break;
    }
    if (type.labelMode == 3 || type.labelMode == 5 || type.labelMode == 6) return 1;
    if (type.closed != 0) return 2;
    return 3;
}

bool boxesOverlap(const LabelBox& a, const LabelBox& b) {
    // Separating axes: the edge normals of both boxes. A gap, or mere
    // touching (within a hundredth of a pixel), on any axis keeps them apart.
    constexpr double kTouch = 0.01;
    for (const LabelBox* box : {&a, &b}) {
        for (int i = 0; i < 2; ++i) {
            const QPointF e = box->corners[size_t(i + 1)] - box->corners[size_t(i)];
            const QPointF n(-e.y(), e.x());
            const double len = std::hypot(n.x(), n.y());
            if (len == 0) continue;
            double minA = 1e300, maxA = -1e300, minB = 1e300, maxB = -1e300;
            for (const QPointF& p : a.corners) {
                const double d = (p.x() * n.x() + p.y() * n.y()) / len;
                minA = std::min(minA, d), maxA = std::max(maxA, d);
            }
            for (const QPointF& p : b.corners) {
                const double d = (p.x() * n.x() + p.y() * n.y()) / len;
                minB = std::min(minB, d), maxB = std::max(maxB, d);
            }
            if (maxA <= minB + kTouch || maxB <= minA + kTouch) return false;
        }
    }
    // Boxes without area (an empty text) never cover anything.
    return bounds(a).width() > 0 && bounds(b).width() > 0;
}

void drawLabelsApart(DrawContext& ctx, PictureBox& box) {
    LabelQueue& q = ctx.labels;
    const int types = ctx.tables.typeCount();
    const std::shared_ptr<const LabelKinds> kinds = LabelKinds::load(ctx.dataDirectory, ctx.files);
    std::vector<int> rank(size_t(types) + 1, 3);
    for (int t = 1; t <= types; ++t)
        rank[size_t(t)] = labelRank(ctx.tables.types[size_t(t)], kinds->of(t));
    auto rankOf = [&](const LabelEntry& e) {
        return e.typeIndex >= 1 && e.typeIndex <= types ? rank[size_t(e.typeIndex)] : 3;
    };
    std::vector<int> order(size_t(q.count));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int i, int j) {
        return rankOf(q.entries[size_t(i)]) < rankOf(q.entries[size_t(j)]);
    });

    Rotator r;
    r.setDevice(box);
    box.foreColor = 0;
    int lastType = 0;
    q.drawn.clear();
    DrawnBoxes drawn(q.drawn, box.innerWidth(), box.innerHeight());
    std::vector<LabelBox> unit;
    auto prepare = [&](const LabelEntry& e) {
        if (e.typeIndex != lastType) {
            if (e.typeIndex >= 1 && e.typeIndex <= types)
                applyLabelFont(box, labelFont(ctx.tables.types[size_t(e.typeIndex)], ctx.settings));
            lastType = e.typeIndex;
        }
        box.currentX = e.x;
        box.currentY = e.y;
        r.setAngle(int16_t(std::clamp(nearest(double(e.angle)), -32768.0, 32767.0)));
    };
    for (size_t k = 0; k < order.size();) {
        // A unit: one label, or the run of entries of one letter-by-letter name.
        const int32_t group = q.entries[size_t(order[k])].group;
        size_t end = k + 1;
        while (group > 0 && end < order.size() && q.entries[size_t(order[end])].group == group)
            ++end;
        unit.clear();
        bool fits = true;
        for (size_t m = k; m < end && fits; ++m) {
            const LabelEntry& e = q.entries[size_t(order[m])];
            prepare(e);
            LabelBox b = r.box(e.text);
            b.unit = order[k];
            fits = !drawn.overlapsAny(b);
            unit.push_back(b);
        }
        if (fits) {
            for (size_t m = k; m < end; ++m) {
                const LabelEntry& e = q.entries[size_t(order[m])];
                prepare(e);
                box.foreColor = e.colour;
                r.label(e.text);
            }
            for (const LabelBox& b : unit) drawn.add(b);
        }
        k = end;
    }
}

}  // namespace urbica
