// Drawing a layer's objects in the view from its grid index, object records
// and point pool, and drawing one object emphasised.
#pragma once

#include <QString>
#include <cstdint>

namespace urbica {

struct DrawContext;
struct LayerRecord;
class PictureBox;

// Draws every object of the layer that lies in the view onto target, whose
// scale is the view in map units, and queues their labels. A missing or
// damaged file skips the layer, cell, object or icon concerned.
void drawlayer(DrawContext& ctx, PictureBox& target, const LayerRecord& layer);

// Draws object n of layer number layerNumber in the emphasis colours, with
// its label at once (the label queue is emptied first).
void drawobject(DrawContext& ctx, PictureBox& target, int64_t n, int layerNumber, bool highlighted);

// File names of an icon picture: dataDirectory + icons\ic16N.msk and so on.
QString iconPath(const QString& dataDirectory, int size, int32_t number, bool mask);

}  // namespace urbica
