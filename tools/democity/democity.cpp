#include "democity.h"

#include "citybuilder.h"

namespace urbica::democity {

DatasetData CityBuilder::build() {
    setUpTables();
    tiles_ = std::max(2, int(std::lround(4 * std::sqrt(double(scale_)))));
    side_ = tiles_ * kTile;
    const int32_t grid = (side_ + 2 * kMargin + kGridStep - 1) / kGridStep * kGridStep;
    ox_ = oy_ = (grid - side_) / 2;
    ringX_ = ox_ + side_ / 2.0;
    ringY_ = oy_ + side_ / 2.0;
    ringR_ = 0.3 * side_;

    const size_t tileCount = size_t(tiles_) * size_t(tiles_);
    layer(kHouseLayer).reserve(tileCount * 1000);
    names(kFirstHouseClass).reserve(std::min<size_t>(tileCount * 1000, kHousesPerClass));

    // District n is tile n, row by row, so the water may name its districts
    // before the tiles are made.
    makeWater();
    makeRailways();
    for (int ty = 0; ty < tiles_; ++ty)
        for (int tx = 0; tx < tiles_; ++tx) makeTile(tx, ty);
    makeLongStreets();
    makeCurvedRoads();
    makeMetro();

    // One sample of the rotated test text, south-east of the centre and out of
    // the start view (which is 4 km wide about the centre), where a visitor
    // finds it without it being the first thing shown.
    MapObjectData sample;
    sample.typeIndex = kSampleType;
    sample.x1 = int32_t(ringX_) + 2700;
    sample.y1 = int32_t(ringY_) + 2700;
    sample.x2 = int32_t(ringX_) + 3100;
    sample.y2 = int32_t(ringY_) + 2550;
    addObject(kSampleLayer, sample);

    finishHouseClasses();

    Catalogue& c = d_.catalogue;
    c.gridExtent = grid;
    c.extentLeft = ox_ - 500;
    c.extentTop = oy_ - 500;
    c.extentWidth = side_ + 1000;
    c.extentHeight = side_ + 1000;
    c.overviewLeft = c.extentLeft;
    c.overviewTop = c.extentTop;
    c.overviewWidth = c.extentWidth;
    c.startWidth = 4000;
    c.startX = int32_t(ringX_) - 2000;
    c.startY = int32_t(ringY_) - 1500;
    c.minUnitsPerPixel = 0.25f;
    c.metroRangeDivisor = 4;
    c.streetClass = kStreetClass;
    c.metroClass = kStationClass;
    c.reserved50 = u("Демонстрационный город");
    d_.icons = iconPictures();
    return std::move(d_);
}

DatasetData buildCity(const Options& options) { return CityBuilder(options).build(); }

Summary summarize(const DatasetData& data) {
    Summary s;
    s.layers = int(data.tables.layers.size()) - 1;
    s.classes = int(data.tables.classes.size()) - 1;
    for (size_t l = 1; l < data.layerObjects.size(); ++l)
        s.mapObjects += int64_t(data.layerObjects[l].size());
    for (size_t c = 1; c < data.classNames.size(); ++c)
        s.namedObjects += int64_t(data.classNames[c].size());
    return s;
}

QString summaryLine(const Summary& s) {
    return QString::fromUtf8("слоёв: %1, объектов: %2, классов: %3, именованных объектов: %4")
        .arg(s.layers)
        .arg(s.mapObjects)
        .arg(s.classes)
        .arg(s.namedObjects);
}

}  // namespace urbica::democity
