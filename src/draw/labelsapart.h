// Labels kept apart: the queue drawn by kind, skipping every label whose box
// would overlap one already drawn.
#pragma once

#include "draw/labels.h"

namespace urbica {

struct DrawContext;
struct ObjectType;
class PictureBox;

// The kind a type's labels go by, first drawn first: 0 metro stations,
// 1 street and water names, 2 areas, 3 points of interest, 4 house numbers.
// Read from the type's name and, failing that, its label mode and shape.
int labelRank(const ObjectType& type);

// Two turned boxes share more than an edge.
bool boxesOverlap(const LabelBox& a, const LabelBox& b);

// drawlabels with the labels kept apart.
void drawLabelsApart(DrawContext& ctx, PictureBox& box);

}  // namespace urbica
