#include "draw/labels.h"

#include <cmath>

#include "dataset/numbers.h"
#include "dataset/objects.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "draw/alongline.h"
#include "draw/drawcontext.h"
#include "draw/labelsapart.h"

namespace urbica {

LabelFont labelFont(const ObjectType& type, const Settings& settings) {
    const QString face = type.fontName.trimmed();
    if (face.isEmpty() || face.at(0).unicode() == 0)
        return {QStringLiteral("Arial Cyr"), settings.labelFontSize, settings.labelFontBold == 1};
    return {face, type.labelSize != 0 ? double(type.labelSize) : double(settings.labelFontSize),
            type.labelBold != 0};
}

void applyLabelFont(PictureBox& box, const LabelFont& f) {
    box.fontName = f.face;
    box.fontSize = f.size;
    box.fontBold = f.bold;
}

void queuelabel(DrawContext& ctx, PictureBox& box, double x1, double y1, double x2, double y2,
                const ObjectRecord& record, const QString& text, std::vector<QPoint>& points,
                int32_t colour) {
    if (record.typeIndex < 1 || record.typeIndex > ctx.tables.typeCount()) return;
    const ObjectType& type = ctx.tables.types[size_t(record.typeIndex)];
    applyLabelFont(box, labelFont(type, ctx.settings));
    const double upp = ctx.view.unitsPerPixel;
    LabelEntry e;
    e.text = text;
    e.colour = colour;
    e.typeIndex = record.typeIndex;
    switch (type.labelMode) {
        case 1:
            e.x = float(x1 + (x2 - x1) / 2);
            e.y = float(y1 + (y2 - y1) / 2);
            ctx.labels.append(e);
            break;
        case 2:
            e.x = float(x1 + (x2 - x1) / 2 - box.textWidth(text) * upp / 2);
            e.y = float(y1 + (y2 - y1) / 2 - 6 * upp);
            ctx.labels.append(e);
            break;
        case 4: {
            const double s = ctx.view.iconSize;
            e.x = float(x1 + (x2 - x1) / 2 + (s / 2 + 3) * upp);
            e.y = float(y1 + (s / 2 - 15) * upp);
            ctx.labels.append(e);
            break;
        }
        case 3:
        case 5:
        case 6:
            placeAlongLine(ctx, box, type.labelMode, record, text, points, colour);
            break;
        default:
            break;
    }
}

void drawlabels(DrawContext& ctx, PictureBox& box) {
    if (ctx.labels.count == 0) return;
    const LabelHalo halo(box, ctx.settings);
    if (ctx.settings.labelsApart == 1) {
        drawLabelsApart(ctx, box);
        return;
    }
    Rotator r;
    r.setDevice(box);
    box.foreColor = 0;
    int lastType = 0;
    for (int i = 1; i <= ctx.labels.count; ++i) {
        const LabelEntry& e = ctx.labels.entries[size_t(i)];
        if (e.typeIndex != lastType) {
            if (e.typeIndex >= 1 && e.typeIndex <= ctx.tables.typeCount())
                applyLabelFont(box, labelFont(ctx.tables.types[size_t(e.typeIndex)], ctx.settings));
            lastType = e.typeIndex;
        }
        box.foreColor = e.colour;
        box.currentX = e.x;
        box.currentY = e.y;
        r.setAngle(int16_t(std::clamp(nearest(double(e.angle)), -32768.0, 32767.0)));
        r.label(e.text);
    }
}

LabelHalo::LabelHalo(PictureBox& box, const Settings& settings) : box_(box), before_(box.textHalo) {
    box.textHalo = settings.smoothing == 1 ? kLabelHaloWidth : 0;
}

LabelHalo::~LabelHalo() { box_.textHalo = before_; }

void Rotator::setDevice(PictureBox& box) {
    device_ = &box;
    scaleLeft_ = box.scaleLeft();
    scaleTop_ = box.scaleTop();
    xFactor_ = box.xFactor();
    yFactor_ = box.yFactor();
}

namespace {

// A label's pixel. One too far off the picture for an int (a damaged record,
// or a far point at a close zoom) stays far off it.
int labelPixel(double v) {
    constexpr double kLimit = double(1 << 30);
    const double p = nearest(v);
    if (!(p > -kLimit)) return -int(kLimit);  // also not a number
    if (p > kLimit) return int(kLimit);
    return int(p);
}

}  // namespace

int Rotator::toPixelX(double x) const { return labelPixel((x - scaleLeft_) * xFactor_); }
int Rotator::toPixelY(double y) const { return labelPixel((y - scaleTop_) * yFactor_); }

void Rotator::prepare() {
    font_.charSet = 204;
    font_.faceName = device_->fontName.left(31);
    font_.height = int32_t(intDiv(device_->fontSize * PictureBox::kLogPixelsY, 72));
    font_.weight = device_->fontBold ? 700 : 400;
    font_.escapement = font_.orientation = int32_t(nearest(angle_ * 10.0));
}

void Rotator::label(const QString& text) {
    if (!device_) return;
    prepare();
    device_->textOut(toPixelX(device_->currentX), toPixelY(device_->currentY), text, font_);
}

LabelBox Rotator::box(const QString& text) {
    LabelBox b;
    if (!device_) return b;
    prepare();
    const QSizeF size = device_->textCellSize(text, font_);
    const double x = toPixelX(device_->currentX), y = toPixelY(device_->currentY);
    // textOut turns the cell about its top-left corner, counter-clockwise.
    const double a = -font_.escapement / 10.0 * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const QPointF local[4] = {
        {0, 0}, {size.width(), 0}, {size.width(), size.height()}, {0, size.height()}};
    for (int i = 0; i < 4; ++i)
        b.corners[size_t(i)] = QPointF(x + local[i].x() * c - local[i].y() * s,
                                       y + local[i].x() * s + local[i].y() * c);
    return b;
}

void rottext(PictureBox& box, int x, int y, const QString& text, int angle, int height, int weight,
             uint8_t pitchAndFamily) {
    LogFont f;
    f.height = height;
    f.escapement = int32_t(std::clamp<int64_t>(int64_t(angle) * 10, INT32_MIN, INT32_MAX));
    f.weight = weight;
    f.charSet = 1;
    f.outPrecision = 4;
    f.quality = 1;
    f.pitchAndFamily = pitchAndFamily;
    box.textOut(x, y, text, f);
}

}  // namespace urbica
