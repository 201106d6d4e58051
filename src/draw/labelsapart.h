// Labels kept apart: the queue drawn by kind, skipping every label whose box
// would overlap one already drawn.
#pragma once

#include "dataset/labelkinds.h"
#include "draw/labels.h"

namespace urbica {

struct DrawContext;
struct ObjectType;
class PictureBox;

// The rank a type's labels go by, first drawn first: 0 metro stations and
// lines, 1 street and water names, 2 areas, 3 points of interest, 4 house
// numbers. The dataset's kind of the type gives it; a type of no recorded
// kind goes by its shape: labels along lines as streets, closed shapes as
// areas, everything else as points of interest.
int labelRank(const ObjectType& type, LabelKind kind);

// Two turned boxes share more than an edge.
bool boxesOverlap(const LabelBox& a, const LabelBox& b);

// drawlabels with the labels kept apart.
void drawLabelsApart(DrawContext& ctx, PictureBox& box);

}  // namespace urbica
