#include "draw/mapnotice.h"

#include <cmath>

#include "draw/picturebox.h"

namespace urbica {

namespace {

constexpr int kPadding = 3;  // pixels of white around the text

LogFont noticeFont() {
    LogFont font;
    font.faceName = QStringLiteral("Arial");
    font.height = 13;
    font.weight = 400;
    font.charSet = 204;
    return font;
}

}  // namespace

QRect mapNoticeRect(const PictureBox& box, const QString& text, int width, int height) {
    if (text.isEmpty() || width <= 0 || height <= 0) return {};
    const QSizeF cell = box.textCellSize(text, noticeFont());
    const int w = int(std::ceil(cell.width())) + 2 * kPadding;
    const int h = int(std::ceil(cell.height())) + 2 * kPadding;
    // A picture narrower than twice the notice would be mostly notice.
    if (w * 2 > width || h * 4 > height) return {};
    return QRect(width - w, height - h, w, h);
}

void drawMapNotice(PictureBox& box, const QString& text, int width, int height) {
    const QRect r = mapNoticeRect(box, text, width, height);
    if (r.isEmpty()) return;
    const double left = box.scaleLeft(), top = box.scaleTop();
    const double sw = box.scaleWidth(), sh = box.scaleHeight();
    box.setScale(0, 0, box.innerWidth(), box.innerHeight());
    const int32_t fore = box.foreColor, fill = box.fillColor;
    const int drawWidth = box.drawWidth, drawStyle = box.drawStyle, fillStyle = box.fillStyle;
    box.drawStyle = 0;
    box.drawWidth = 1;
    box.fillStyle = 0;
    box.fillColor = 0xFFFFFF;
    box.foreColor = 0xFFFFFF;
    box.box(r.left(), r.top(), r.right(), r.bottom());
    box.foreColor = 0x404040;
    box.textOut(r.left() + kPadding, r.top() + kPadding, text, noticeFont());
    box.foreColor = fore;
    box.fillColor = fill;
    box.drawWidth = drawWidth;
    box.drawStyle = drawStyle;
    box.fillStyle = fillStyle;
    box.setScale(left, top, sw, sh);
}

}  // namespace urbica
