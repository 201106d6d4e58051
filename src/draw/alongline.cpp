#include "draw/alongline.h"

#include "draw/drawcontext.h"

namespace urbica {

void placeAlongLine(DrawContext& ctx, PictureBox& box, int labelMode, const ObjectRecord& record,
                    const QString& text, std::vector<QPoint>& points, int32_t colour) {
    // Placement along lines comes with the clipper; until then such labels are not queued.
    Q_UNUSED(ctx);
    Q_UNUSED(box);
    Q_UNUSED(labelMode);
    Q_UNUSED(record);
    Q_UNUSED(text);
    Q_UNUSED(points);
    Q_UNUSED(colour);
}

}  // namespace urbica
