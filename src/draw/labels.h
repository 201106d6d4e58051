// Labels: names are queued while the layers are drawn and drawn together
// afterwards, so that no geometry covers a name.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "draw/picturebox.h"

namespace urbica {

struct DrawContext;
struct ObjectRecord;
struct ObjectType;
struct Settings;

struct LabelEntry {
    float x = 0, y = 0;  // map units: top-left of the text's reference point
    QString text;
    int32_t colour = 0;
    int16_t typeIndex = 0;
    float angle = 0;    // degrees, counter-clockwise
    int32_t group = 0;  // > 0: the entries of one name spread letter by letter
};

// A drawn label's cell in pixels, turned with the text: corners in order.
struct LabelBox {
    std::array<QPointF, 4> corners;
    int32_t unit = 0;  // boxes of one label (or one letter-by-letter name) share it
};

// 1-based: entry 0 exists and is blank; count is the entries in use.
struct LabelQueue {
    static constexpr int kMaxEntries = 32767;
    std::vector<LabelEntry> entries{1};
    int count = 0;
    int32_t groups = 0;
    // With labels kept apart, the boxes drawlabels drew, in drawing order.
    std::vector<LabelBox> drawn;

    void reset() {
        entries.assign(1, LabelEntry{});
        count = 0;
        groups = 0;
        drawn.clear();
    }
    int32_t newGroup() { return ++groups; }
    // Appends an entry; past the limit the label is dropped.
    void append(const LabelEntry& e) {
        if (count >= kMaxEntries) return;
        entries.push_back(e);
        ++count;
    }
};

// The label font of a type: face, size in points and bold.
struct LabelFont {
    QString face;
    double size = 12;
    bool bold = false;
};
LabelFont labelFont(const ObjectType& type, const Settings& settings);
void applyLabelFont(PictureBox& box, const LabelFont& f);

// Places an object's name by its type's label mode and queues it. The box's
// font becomes the type's label font (text widths are measured in it). In the
// modes along lines, points are replaced by the points clipped to the view.
void queuelabel(DrawContext& ctx, PictureBox& box, double x1, double y1, double x2, double y2,
                const ObjectRecord& record, const QString& text, std::vector<QPoint>& points,
                int32_t colour);

// Draws the queue in order onto the box, whose scale is the view in map units.
// With the settings' labelsApart on, the labels go by kind (labelRank), in
// queue order within a kind, and one that would overlap a label already drawn
// is skipped (a letter-by-letter name as a whole); the boxes drawn are kept
// in the queue's drawn.
void drawlabels(DrawContext& ctx, PictureBox& box);

// With smoothing on, the labels drawn while it lives have a halo of the
// box's background colour.
class LabelHalo {
public:
    static constexpr double kLabelHaloWidth = 1.5;  // logical pixels
    LabelHalo(PictureBox& box, const Settings& settings);
    ~LabelHalo();
    LabelHalo(const LabelHalo&) = delete;
    LabelHalo& operator=(const LabelHalo&) = delete;

private:
    PictureBox& box_;
    double before_;
};

// Draws one text with a font turned by an angle at the box's CurrentX/CurrentY.
class Rotator {
public:
    void setDevice(PictureBox& box);
    void setAngle(int16_t degrees) { angle_ = degrees; }
    int16_t angle() const { return angle_; }
    void label(const QString& text);
    // The cell label would fill, in pixels.
    LabelBox box(const QString& text);
    const LogFont& font() const { return font_; }

private:
    void prepare();
    int toPixelX(double x) const;
    int toPixelY(double y) const;
    PictureBox* device_ = nullptr;
    double scaleLeft_ = 0, scaleTop_ = 0, xFactor_ = 1, yFactor_ = 1;
    LogFont font_;
    int16_t angle_ = 0;
};

// A one-shot turned text at pixel (x, y) in the box's current text colour.
void rottext(PictureBox& box, int x, int y, const QString& text, int angle, int height, int weight,
             uint8_t pitchAndFamily);

}  // namespace urbica
