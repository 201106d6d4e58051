#include "citytypes.h"

#include "dataset/toolkit.h"

namespace urbica::democity {

namespace {

using toolkit::makeType;
using toolkit::rgb;

const int32_t kLineRgb[] = {rgb(220, 30, 30),  rgb(30, 80, 200),  rgb(20, 150, 60),
                            rgb(240, 130, 20), rgb(130, 50, 160), rgb(230, 200, 0)};

}  // namespace

std::vector<ObjectType> makeTypes() {
    std::vector<ObjectType> t(1);
    auto add = [&](ObjectType type) { t.push_back(type); };
    ObjectType district =
        makeType("Район", kDrawLineOrArea, rgb(150, 150, 150), rgb(244, 240, 228), 1, 1, 2, 40);
    district.labelSize = 14;
    district.labelBold = 1;
    district.labelColor = rgb(110, 110, 110);
    district.penStyle = 2;  // dotted border
    add(district);
    ObjectType river =
        makeType("Река", kDrawLineOrArea, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 6, 20);
    river.labelColor = rgb(20, 60, 150);
    river.fontName.clear();  // the default label font
    add(river);
    ObjectType pond =
        makeType("Пруд", kDrawLineOrArea, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 1, 4);
    pond.labelColor = rgb(20, 60, 150);
    add(pond);
    add(makeType("Парк", kDrawLineOrArea, rgb(90, 160, 90), rgb(190, 230, 170), 1, 1, 2, 8));
    ObjectType rail =
        makeType("Железная дорога", kDrawTripleLine, rgb(0, 0, 0), rgb(255, 255, 255), 1, 0, 0, 0);
    add(rail);
    ObjectType avenue = makeType("Проспект", kDrawLineOrArea, rgb(230, 170, 60), 0, 6, 0, 6, 15);
    avenue.labelBold = 1;
    avenue.labelSize = 10;
    add(avenue);
    ObjectType highway = makeType("Шоссе", kDrawLineOrArea, rgb(220, 120, 40), 0, 7, 0, 6, 15);
    highway.labelBold = 1;
    add(highway);
    add(makeType("Улица", kDrawLineOrArea, rgb(255, 255, 255), 0, 4, 0, 6, 4));
    ObjectType lane = makeType("Переулок", kDrawLineOrArea, rgb(255, 255, 255), 0, 3, 0, 5, 3);
    lane.labelSize = 8;
    add(lane);
    ObjectType boulevard = makeType("Бульвар", kDrawLineOrArea, rgb(120, 190, 110), 0, 5, 0, 3, 4);
    boulevard.labelColor = rgb(20, 90, 20);
    add(boulevard);
    add(makeType("Набережная", kDrawLineOrArea, rgb(250, 250, 250), 0, 4, 0, 3, 6));
    ObjectType house =
        makeType("Жилой дом", kDrawLineOrArea, rgb(150, 120, 90), rgb(222, 200, 170), 1, 1, 1, 1);
    house.labelSize = 7;
    add(house);
    ObjectType pub = makeType("Общественное здание", kDrawLineOrArea, rgb(140, 100, 100),
                              rgb(230, 180, 170), 1, 1, 1, 1);
    pub.labelSize = 7;
    add(pub);
    for (int i = 0; i < kLineColourCount; ++i) {
        ObjectType line = makeType("", kDrawLineOrArea, kLineRgb[i], 0, 4, 0, 6, 10);
        line.typeName = u(kLineColours[i]) + u(" линия метро");
        line.labelColor = kLineRgb[i];
        add(line);
    }
    add(toolkit::metroStationType());
    const char* organisationTypes[] = {"Аптека", "Школа", "Больница", "Почта", "Библиотека"};
    for (const char* name : organisationTypes) add(makeType(name, kDrawIcon, 0, 0, 1, 0, 4, 2));
    ObjectType sight =
        makeType("Памятник", kDrawCircle, rgb(90, 60, 20), rgb(200, 160, 60), 1, 0, 2, 4);
    sight.fillStyle = 0;
    sight.hiFillStyle = 0;
    sight.labelSize = 8;
    add(sight);
    add(makeType("Надпись-образец", kDrawRotatedText, rgb(0, 0, 0), 0, 1, 0, 0, 0));
    return t;
}

std::vector<LabelKind> typeLabelKinds() {
    std::vector<LabelKind> kinds(size_t(kSampleType) + 1, LabelKind::PointOfInterest);
    kinds[0] = LabelKind::Unknown;
    for (Type t : {kDistrictType, kParkType}) kinds[size_t(t)] = LabelKind::Area;
    for (Type t : {kRiverType, kPondType}) kinds[size_t(t)] = LabelKind::Water;
    for (Type t : {kRailwayType, kAvenueType, kHighwayType, kStreetType, kLaneType, kBoulevardType,
                   kEmbankmentType})
        kinds[size_t(t)] = LabelKind::Street;
    for (Type t : {kHouseType, kPublicHouseType}) kinds[size_t(t)] = LabelKind::HouseNumber;
    for (int t = kMetroLineType; t <= kStationType; ++t) kinds[size_t(t)] = LabelKind::Station;
    return kinds;
}

}  // namespace urbica::democity
