// A picture box: a persistent image with a user coordinate system in map units
// and the pen, fill and font state that the drawing routines set. Geometry is
// drawn without antialiasing so that pixels follow the rounding rules of the
// map transform (with `smoothing` on, lines, area edges and circles are
// antialiased); text is antialiased.
//
// Every size and position the box takes is in logical pixels. Its image may
// hold more device pixels than that (devicePixelRatio, 1 by default): the
// drawing calls then draw the same picture at the screen's resolution, a
// logical pixel (x, y) covering the device pixels from x * ratio to
// (x + 1) * ratio.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace urbica {

// A colour as the data files store it: red in the low byte, then green, then blue.
QColor colorFromRgbInt(int32_t rgb);
int32_t rgbIntFromColor(const QColor& c);

// The fields of a font record that the text routines fill.
struct LogFont {
    int32_t height = 0;  // > 0: character cell height; < 0: em height; 0: default
    int32_t width = 0;
    int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    int32_t orientation = 0;
    int32_t weight = 0;  // 0 or 100 .. 900 (400 normal, 700 bold)
    uint8_t italic = 0, underline = 0, strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    QString faceName;

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

enum class RasterOp { SrcCopy, SrcAnd, SrcPaint, SrcInvert };

class PictureBox {
public:
    static constexpr int kBorder = 2;  // on each side: the inner size is the outer size less 4

    PictureBox() = default;
    PictureBox(int outerWidth, int outerHeight) { resize(outerWidth, outerHeight); }

    // Outer size in pixels. The picture is cleared to the background colour.
    void resize(int outerWidth, int outerHeight);
    int width() const { return outerWidth_; }
    int height() const { return outerHeight_; }
    int innerWidth() const { return innerWidth_; }
    int innerHeight() const { return innerHeight_; }

    // Device pixels a logical pixel (1 to 8; anything else reads as 1). A
    // change makes a new picture of the same logical size, cleared.
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return ratio_; }
    // The device pixels that cover a rectangle of logical pixels.
    QRect deviceRect(const QRect& logical) const;

    // The picture for writing counts as changed everywhere.
    QImage& image() {
        touchAll();
        return image_;
    }
    const QImage& image() const { return image_; }

    // What changed in the picture: every drawing call adds the pixels it may
    // have touched to changedRect (all of the picture for clears, text and
    // writes through image()), and counts in version. A caller that knows
    // the picture equals another one outside changedRect copies only that.
    QRect changedRect() const { return changed_; }
    quint64 version() const { return version_; }
    void forgetChanges() { changed_ = QRect(); }

    // User coordinate system: the inner area spans (left, top) .. (left + width, top + height).
    void setScale(double left, double top, double width, double height);
    double scaleLeft() const { return scaleLeft_; }
    double scaleTop() const { return scaleTop_; }
    double scaleWidth() const { return scaleWidth_; }
    double scaleHeight() const { return scaleHeight_; }
    // Logical to pixel, unrounded; pixels per logical unit.
    double toPixelX(double x) const { return (x - scaleLeft_) * xFactor(); }
    double toPixelY(double y) const { return (y - scaleTop_) * yFactor(); }
    double xFactor() const { return scaleWidth_ != 0 ? innerWidth() / scaleWidth_ : 0; }
    double yFactor() const { return scaleHeight_ != 0 ? innerHeight() / scaleHeight_ : 0; }

    // Drawing state.
    int32_t backColor = 0xFFFFFF;
    int32_t foreColor = 0;  // pen and text colour
    int drawWidth = 1;
    int drawStyle = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none, 6-7 solid
    int32_t fillColor = 0;
    int fillStyle = 1;  // 0 solid, 1 transparent, 2-7 hatches
    QString fontName = QStringLiteral("Arial");
    double fontSize = 8.25;  // points
    bool fontBold = false;
    double currentX = 0, currentY = 0;  // logical units
    // Antialiased lines, area edges, circles and scaled icons.
    bool smoothing = false;
    // textOut surrounds its letters with a halo of backColor this many
    // logical pixels wide (0: none).
    double textHalo = 0;

    // Clears the picture to the background colour.
    void cls();
    // For a box that shares this box's picture (a whole copy, see bitBlt) and
    // will get the next one whole as well: it lets go of the picture and
    // holds the spare buffer meanwhile, its contents stale, so that cls
    // clears the buffer just shown, still in the processor's caches, rather
    // than the spare, which no longer is. Nothing when they share nothing.
    void reclaimFrom(PictureBox& other);
    // The same for all but the top-left w x h pixels, for a picture whose
    // top-left part is about to be copied over whole.
    void clsOutside(int w, int h);

    // Raw device operations, in pixels of the inner area.
    void polyline(const QPoint* points, int count);
    void polygon(const QPoint* points, int count);  // alternate fill
    // Logical operations, in user units.
    void line(double x1, double y1, double x2, double y2);
    void box(double x1, double y1, double x2,
             double y2);                             // outline with the pen, fill by fill style
    void circle(double x, double y, double radius);  // radius in x units

    // Pixel copies from another box (or this one); rectangles are clipped to
    // both images. A picture of another ratio (a plain image has its own,
    // mostly 1) is scaled to this one's, smoothed when `smoothing` is on.
    void bitBlt(int dx, int dy, int w, int h, const PictureBox& src, int sx, int sy, RasterOp op);
    void bitBlt(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op);
    // An icon of s x s logical pixels at (x, y), for a box whose ratio is not
    // the icon pictures' own: the mask (black where the icon is opaque) is
    // combined with AND, then the picture (black where it is transparent)
    // with OR, each scaled to the box's pixels; with `smoothing` on, the
    // icon is scaled smoothly and laid over by its mask as coverage.
    void drawScaledIcon(int x, int y, int s, const QImage& mask, const QImage& picture);
    void stretchBlt(int dx, int dy, int dw, int dh, const QImage& src, int sx, int sy, int sw,
                    int sh);

    // Text with its character cell's top-left corner at pixel (x, y), turned
    // about that point by the font's escapement, in the current foreColor.
    void textOut(int x, int y, const QString& text, const LogFont& font);
    // The unturned size in pixels of the cell textOut fills with the text:
    // its advance wide, ascent plus descent high.
    QSizeF textCellSize(const QString& text, const LogFont& font) const;
    // A font record from the box's font name, size and bold state.
    LogFont currentLogFont() const;
    static constexpr int kLogPixelsY = 96;

    // Width in pixels of a text in the box's current font.
    double textWidth(const QString& text) const;

    // A text as textOut drew it, for a caller that draws the same texts by
    // other means (the benchmarks' bare-QPainter floor).
    struct TextCall {
        int x = 0, y = 0;
        QString text;
        LogFont font;
        int32_t color = 0;
        double halo = 0;  // textHalo, in the colour below
        int32_t haloColor = 0;
    };
    // Every textOut from now on is added to log, until this is called with
    // nullptr; without draw, the texts are only recorded (a page that lays
    // them over the picture as text).
    void recordTexts(std::vector<TextCall>* log, bool draw = true) {
        textLog_ = log;
        drawTexts_ = draw || !log;
    }

private:
    struct ShapedText {
        QList<QGlyphRun> runs;
        double ascent = 0;
    };
    std::vector<TextCall>* textLog_ = nullptr;
    bool drawTexts_ = true;
    void setupPainter(class QPainter& p, bool fill) const;
    // A copy between device pixels of the image; clipped to both images.
    void deviceBlt(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op);
    void makeImage();
    void touch(const QRect& r);  // in pixels of the inner area
    void touchAll() { touch(image_.rect()); }
    // The box around pixels, widened by the pen.
    void touchPoints(const QPoint* points, int count);
    void touchBetween(QPointF a, QPointF b);
    void touchSpan(double x1, double y1, double x2, double y2);
    QRect changed_;
    quint64 version_ = 0;
    // The font of a record, with the cell-height ratio of each face kept
    // (measuring it is the dear part of making a font).
    QFont fontFor(const LogFont& f) const;
    mutable QHash<QString, double> cellRatios_;
    // Fonts made for textOut, with their ascent, by the fields that make them.
    struct MadeFont {
        QFont font;
        double ascent = 0, height = 0;
        QFontMetricsF metrics;
        // The texts laid out in this font for haloed labels, by text: drawn
        // five times each, and mostly the same from picture to picture.
        std::shared_ptr<QHash<QString, ShapedText>> shaped;
    };
    mutable QHash<QString, MadeFont> fonts_;
    const MadeFont& madeFont(const LogFont& f) const;
    // A text laid out once in a font, its baseline at ascent below the top.
    const ShapedText& shapedText(const MadeFont& made, const QString& text) const;
    // textOut with a halo: the four copies from the text laid out once.
    void haloText(class QPainter& p, const MadeFont& made, const QString& text);
    // Metrics of the last font measured by textWidth.
    mutable QString metricsKey_;
    mutable std::optional<QFontMetricsF> metrics_;
    int outerWidth_ = 0, outerHeight_ = 0;
    int innerWidth_ = 0, innerHeight_ = 0;
    double ratio_ = 1;
    QImage image_;
    QImage spare_;  // the buffer cls left to the boxes that shared it
    double scaleLeft_ = 0, scaleTop_ = 0, scaleWidth_ = 1, scaleHeight_ = 1;
};

// The QFont that draws a font record: the face (with the Cyrillic suffix of
// old face names dropped), the cell or em height, weight and decorations.
// cellRatio, when given, is the face's (ascent + descent) / em; otherwise it
// is measured.
QFont fontFromLogFont(const LogFont& f, double cellRatio = 0);
// (ascent + descent) / em of the record's face, weight and style.
double cellRatioOf(const LogFont& f);

}  // namespace urbica
