// Labels laid along an object's line: the characters spread over the line
// (mode 3), set at a fixed pitch along long segments (mode 5), or the whole
// text turned along long segments of the simplified line (mode 6).
#pragma once

#include <QPoint>
#include <QString>
#include <vector>

namespace urbica {

struct DrawContext;
struct ObjectRecord;
class PictureBox;

// Clips points to the view (they are replaced by the clipped points) and
// queues the text along them by the label mode (3, 5 or 6).
void placeAlongLine(DrawContext& ctx, PictureBox& box, int labelMode, const ObjectRecord& record,
                    const QString& text, std::vector<QPoint>& points, int32_t colour);

}  // namespace urbica
