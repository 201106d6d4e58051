// A layer's grid index, cell entries, object records and point pool (.tb1,
// .sr1, .zgs, .xy4): drawn whole and close up, and a few objects drawn
// emphasised, over a fixed table of types of every draw mode. Whatever the
// files say, drawing ends and touches only the picture.
#include <QImage>

#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "draw/drawcontext.h"
#include "draw/layer.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

namespace {

ObjectType type(int16_t mode, int16_t closed, int16_t labelMode, int16_t penStyle,
                int16_t fillStyle, int16_t width) {
    ObjectType t;
    t.typeName = QStringLiteral("Тип %1").arg(mode);
    t.drawMode = mode;
    t.closed = closed;
    t.penColor = 0x202020;
    t.fillColor = 0x40C0E0;
    t.lineWidth = width;
    t.hiPenColor = 0x0000FF;
    t.hiFillColor = 0x00FFFF;
    t.hiLineWidth = int16_t(width + 1);
    t.labelMode = labelMode;
    t.fontName = QStringLiteral("Arial");
    t.labelSize = 9;
    t.labelColor = 0x303030;
    t.hiLabelColor = 0x0000C0;
    t.labelScale = 1e9f;
    t.penStyle = penStyle;
    t.fillStyle = fillStyle;
    t.hiPenStyle = 0;
    t.hiFillStyle = 0;
    return t;
}

// One pass of drawing: the view (left, top, side) in map units onto a box of
// `pixels` inner pixels; the picture drawn.
QImage drawView(const QString& folder, const Tables& tables, double left, double top, double side,
                int pixels, FileCache* cache) {
    static const Settings settings;
    LabelQueue labels;
    PictureBox images;
    PictureBox target(pixels + 2 * PictureBox::kBorder, pixels + 2 * PictureBox::kBorder);
    const NameLookup name = [](int c, int32_t n) {
        return QStringLiteral("Объект %1-%2").arg(c).arg(n);
    };
    DrawContext ctx{folder, tables, settings, kLayerGridExtent, {}, labels, images, name, cache};
    ctx.view = {left, top, side, side, float(side / pixels), 16};
    target.setScale(left, top, side, side);
    drawlayer(ctx, target, tables.layers[1]);
    FUZZ_CHECK(labels.count >= 0 && labels.count <= LabelQueue::kMaxEntries);
    drawlabels(ctx, target);
    for (int64_t n : {int64_t(-1), int64_t(1), int64_t(2), int64_t(3)})
        drawobject(ctx, target, n, 1, n != 2);
    FUZZ_CHECK(target.innerWidth() == pixels && target.innerHeight() == pixels);
    return target.image();
}

// The view drawn straight from the files and through a file cache, twice:
// the same picture each time.
void drawBothWays(const QString& folder, const Tables& tables, double left, double top, double side,
                  int pixels) {
    const QImage direct = drawView(folder, tables, left, top, side, pixels, nullptr);
    FileCache cache;
    FUZZ_CHECK(drawView(folder, tables, left, top, side, pixels, &cache) == direct);
    FUZZ_CHECK(drawView(folder, tables, left, top, side, pixels, &cache) == direct);
}

}  // namespace

QStringList layerFiles() {
    return {QStringLiteral("sloi.tb1"), QStringLiteral("sloi.sr1"), QStringLiteral("sloi.zgs"),
            QStringLiteral("sloi.xy4")};
}

Tables layerTables() {
    Tables t;
    t.types.resize(1);
    t.types.push_back(type(1, 0, 3, 0, 1, 2));  // open line, label along it
    t.types.push_back(type(1, 1, 1, 1, 0, 1));  // area
    t.types.push_back(type(2, 0, 0, 0, 1, 1));  // sample text between two points
    t.types.push_back(type(3, 0, 4, 0, 0, 1));  // circle
    t.types.push_back(type(4, 0, 5, 0, 1, 1));  // railway
    t.types.push_back(type(7, 0, 2, 0, 1, 1));  // icon
    t.types.push_back(type(0, 0, 6, 9, 9, 0));  // nothing drawn, odd styles
    LayerRecord l;
    l.layerName = QStringLiteral("Слой");
    l.baseName = QStringLiteral("sloi");
    l.shown = l.listed = l.selectable = -1;
    l.levels[0] = {kLayerCellSize, -1};
    t.layers.push_back(l);
    t.drawOrder = {0, 1};
    t.selectOrder = {0, 1};
    return t;
}

int fuzzLayer(const uint8_t* data, size_t size) {
    ensureGuiApplication();
    const QString& folder = targetFolder("layer");
    const QStringList files = layerFiles();
    putFiles(folder, files, splitInput(data, size, int(files.size())));
    static const Tables tables = layerTables();

    drawBothWays(folder, tables, 0, 0, kLayerGridExtent, 64);  // the whole grid
    drawBothWays(folder, tables, 1000, 1000, 24, 96);          // close up, a quarter unit a pixel
    return 0;
}

}  // namespace urbica::fuzz
