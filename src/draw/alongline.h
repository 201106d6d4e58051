// Labels laid along an object's line: the characters spread over the line
// (mode 3), set at a fixed pitch along long segments (mode 5), or the whole
// text turned along long segments of the simplified line (mode 6). They only
// queue labels; nothing is drawn here.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

namespace urbica {

struct DrawContext;
struct ObjectRecord;
class PictureBox;

// Clips points to the view (they are replaced by the clipped points) and
// queues the text along them by the label mode (3, 5 or 6).
void placeAlongLine(DrawContext& ctx, PictureBox& box, int labelMode, const ObjectRecord& record,
                    const QString& text, std::vector<QPoint>& points, int32_t colour);

void spreadPlacement(DrawContext& ctx, std::vector<QPoint> points, const QString& text,
                     int32_t colour, const ObjectRecord& record);
void pitchedPlacement(DrawContext& ctx, PictureBox& box, const std::vector<QPoint>& points,
                      const QString& text, int32_t colour, const ObjectRecord& record);
void rotatedPlacement(DrawContext& ctx, std::vector<QPoint>& points, const QString& text,
                      int32_t colour, const ObjectRecord& record);

// Keeps the vertices a chord of tolerance t cannot replace; looks past up to
// three rejected candidates before it settles on the farthest acceptable one.
std::vector<QPoint> simplifyLine(const std::vector<QPoint>& points, int16_t tolerance);

// Direction of a segment as the placements measure it: a step of length d
// moves a point by (d * sin a, d * cos a).
double segmentDirection(double dx, double dy);

}  // namespace urbica
