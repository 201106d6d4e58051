// The icon table (urbica.ics) and the 16 and 32 pixel mask and picture of an
// icon, drawn on a fixed one-icon layer: any picture file, broken or not, is
// drawn or skipped.
#include <QColor>

#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "dataset/writer.h"
#include "draw/drawcontext.h"
#include "draw/layer.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

namespace {

constexpr int32_t kGrid = 1024;

DatasetData iconLayer() {
    DatasetData d;
    d.catalogue.gridExtent = kGrid;
    ObjectType t;
    t.typeName = QStringLiteral("Значок");
    t.drawMode = 7;
    t.labelScale = 0;
    d.tables.types.push_back(t);
    LayerRecord l;
    l.layerName = QStringLiteral("Значки");
    l.baseName = QStringLiteral("ikonki");
    l.shown = l.listed = -1;
    l.levels[0] = {256, -1};
    d.tables.layers.push_back(l);
    MapObjectData icon;
    icon.typeIndex = 1;
    icon.x1 = icon.x2 = 500;
    icon.y1 = icon.y2 = 500;
    icon.points = {QPoint(500, 500)};
    icon.iconNumber = 1;
    d.layerObjects.push_back({icon});
    return d;
}

}  // namespace

QStringList iconFiles() {
    return {QLatin1String(kIconFile), QStringLiteral("icons/ic161.msk"),
            QStringLiteral("icons/ic161.pic"), QStringLiteral("icons/ic321.msk"),
            QStringLiteral("icons/ic321.pic")};
}

int fuzzIcons(const uint8_t* data, size_t size) {
    ensureGuiApplication();
    const QString& folder = targetFolder("icons");
    static const DatasetData dataset = iconLayer();
    static const bool written = writeDataset(dataset, folder);
    FUZZ_CHECK(written);
    const QStringList files = iconFiles();
    putFiles(folder, files, splitInput(data, size, int(files.size())));

    Tables tables = dataset.tables;
    readIconTable(folder, tables);
    FUZZ_CHECK(tables.iconCodes.size() == tables.iconCache.size());

    // Drawn straight from the files, then twice through a file cache that
    // keeps the pictures: the same picture every time.
    static const Settings settings;
    LabelQueue labels;
    PictureBox images;
    FileCache cache;
    for (int iconSize : {16, 32}) {
        QImage first;
        for (FileCache* files : {static_cast<FileCache*>(nullptr), &cache, &cache}) {
            PictureBox target(68, 68);
            target.backColor = 0xFFFFFF;
            target.cls();
            DrawContext ctx{folder, tables, settings, kGrid, {}, labels, images, {}, files};
            ctx.view = {468, 468, 64, 64, 1, iconSize};
            target.setScale(468, 468, 64, 64);
            drawlayer(ctx, target, tables.layers[1]);
            FUZZ_CHECK(target.innerWidth() == 64 && target.innerHeight() == 64);
            if (files)
                FUZZ_CHECK(target.image() == first);
            else
                first = target.image();
        }
    }
    return 0;
}

}  // namespace urbica::fuzz
