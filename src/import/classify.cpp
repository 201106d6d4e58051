#include "classify.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace urbica::osmimport {

using toolkit::makeClass;
using toolkit::makeLayer;
using toolkit::makeType;
using toolkit::rgb;

namespace {

bool adminDistrict(const char* level) {
    if (!level) return false;
    const int l = std::atoi(level);
    return l >= 5 && l <= 10;
}

ObjectType metroLineType(int32_t colour) {
    ObjectType line = makeType("Линия метро", kDrawLineOrArea, colour, 0, 4, 0, 0, 0);
    line.labelColor = colour;
    return line;
}

}  // namespace

bool is(const char* value, const char* wanted) { return value && !std::strcmp(value, wanted); }
bool isAny(const char* value, std::initializer_list<const char*> wanted) {
    if (!value) return false;
    for (const char* w : wanted)
        if (!std::strcmp(value, w)) return true;
    return false;
}

bool isStation(const Tags& t) {
    return (is(t["railway"], "station") || is(t["public_transport"], "station")) &&
           (is(t["station"], "subway") || is(t["subway"], "yes"));
}

int poiKind(const Tags& t) {
    const char* amenity = t["amenity"];
    if (is(amenity, "pharmacy")) return kPharmacyType;
    if (isAny(amenity, {"school", "college", "university"})) return kSchoolType;
    if (isAny(amenity, {"hospital", "clinic", "doctors"})) return kHospitalType;
    if (is(amenity, "post_office")) return kPostType;
    if (is(amenity, "library")) return kLibraryType;
    if (isAny(t["historic"], {"monument", "memorial"}) && t["name"]) return kMonumentType;
    if ((amenity || t["shop"] || t["tourism"] || t["office"]) && t["name"] &&
        !isAny(amenity, {"parking", "bench", "waste_basket", "bicycle_parking", "shelter",
                         "vending_machine", "telephone", "toilets", "fountain"}))
        return kOtherPoiType;
    return 0;
}

AreaKind areaKind(const Tags& t) {
    AreaKind k;
    const char* building = t["building"];
    const char* landuse = t["landuse"];
    const char* natural = t["natural"];
    const char* leisure = t["leisure"];
    if (building && !is(building, "no")) {
        k.layer = kBuildingLayer, k.type = kBuildingType, k.maxLevel = 2, k.building = true;
    } else if (isAny(natural, {"water"}) || t["water"] ||
               isAny(t["waterway"], {"riverbank", "dock"}) ||
               isAny(landuse, {"reservoir", "basin"})) {
        k.layer = kWaterLayer, k.type = kWaterAreaType, k.nameClass = kWaterClass;
    } else if (isAny(leisure, {"park", "garden"}) || isAny(landuse, {"recreation_ground"})) {
        k.layer = kGreenLayer, k.type = kParkType, k.nameClass = kParkClass;
    } else if (isAny(landuse, {"forest"}) || isAny(natural, {"wood", "scrub"})) {
        k.layer = kGreenLayer, k.type = kForestType;
    } else if (isAny(landuse, {"grass", "meadow", "village_green", "cemetery", "allotments"}) ||
               isAny(natural, {"grassland", "heath"}) ||
               isAny(leisure, {"pitch", "playground", "golf_course"})) {
        k.layer = kGreenLayer, k.type = kGrassType, k.maxLevel = 2;
    } else if ((is(t["boundary"], "administrative") && adminDistrict(t["admin_level"])) ||
               isAny(t["place"], {"suburb", "quarter", "neighbourhood", "borough"})) {
        k.layer = kDistrictLayer, k.type = kDistrictType, k.nameClass = kDistrictClass;
    }
    return k;
}

RoadKind roadKind(const char* highway) {
    RoadKind k;
    if (isAny(highway,
              {"motorway", "trunk", "primary", "motorway_link", "trunk_link", "primary_link"}))
        k.type = kMainRoadType;
    else if (isAny(highway, {"secondary", "secondary_link"}))
        k.type = kSecondaryType;
    else if (isAny(highway, {"tertiary", "tertiary_link", "residential", "unclassified", "road"}))
        k.type = kStreetType, k.maxLevel = 2;
    else if (isAny(highway, {"living_street", "service", "track"}))
        k.type = kSmallRoadType, k.maxLevel = 1;
    else if (is(highway, "pedestrian"))
        k.type = kPedestrianType, k.maxLevel = 2;
    else if (isAny(highway, {"footway", "path", "cycleway", "steps", "bridleway"}))
        k.type = kPathType, k.maxLevel = 1, k.street = false;
    return k;
}

int16_t waterwayType(const char* waterway) {
    if (isAny(waterway, {"river", "canal"})) return kRiverType;
    if (isAny(waterway, {"stream", "ditch", "drain"})) return kStreamType;
    return 0;
}

int32_t parseColour(const char* text) {
    if (!text) return -1;
    QString s = QString::fromUtf8(text).trimmed().toLower();
    static const std::pair<const char*, int32_t> kNamed[] = {
        {"red", 0x0000DC},    {"green", 0x3C9614},  {"blue", 0xC85A1E},      {"orange", 0x1482F0},
        {"purple", 0xA03282}, {"violet", 0xA03282}, {"yellow", 0x00C8E6},    {"brown", 0x24508C},
        {"grey", 0x8C8C8C},   {"gray", 0x8C8C8C},   {"lightblue", 0xE6B45A}, {"pink", 0xB48CF0}};
    for (const auto& [name, value] : kNamed)
        if (s == QLatin1String(name)) return value;
    if (s.startsWith(u'#')) s.remove(0, 1);
    if (s.size() == 3) s = QString() + s[0] + s[0] + s[1] + s[1] + s[2] + s[2];
    bool ok = false;
    const uint v = s.toUInt(&ok, 16);
    if (!ok || s.size() != 6) return -1;
    return rgb(int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255));
}

std::vector<ObjectType> makeTypes(const std::vector<int32_t>& lineColours,
                                  const std::vector<QString>& placeTypes) {
    std::vector<ObjectType> t(1);
    auto add = [&](ObjectType type) { t.push_back(type); };
    ObjectType district =
        makeType("Район", kDrawLineOrArea, rgb(150, 150, 150), rgb(242, 239, 233), 1, 1, 2, 40);
    district.penStyle = 2;
    district.labelSize = 14;
    district.labelBold = 1;
    district.labelColor = rgb(110, 110, 110);
    add(district);
    ObjectType place = makeType("Название места", kDrawLabelOnly, 0, 0, 1, 0, 2, 25);
    place.labelSize = 12;
    place.labelBold = 1;
    place.labelColor = rgb(90, 90, 90);
    add(place);
    add(makeType("Парк", kDrawLineOrArea, rgb(110, 170, 100), rgb(190, 230, 170), 1, 1, 2, 6));
    add(makeType("Лес", kDrawLineOrArea, rgb(110, 160, 100), rgb(172, 210, 156), 1, 1, 2, 6));
    ObjectType grass =
        makeType("Газон", kDrawLineOrArea, rgb(180, 220, 160), rgb(205, 235, 190), 1, 1, 0, 0);
    add(grass);
    ObjectType water =
        makeType("Водоём", kDrawLineOrArea, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 2, 8);
    water.labelColor = rgb(20, 60, 150);
    add(water);
    ObjectType river = makeType("Река", kDrawLineOrArea, rgb(120, 170, 230), 0, 5, 0, 6, 8);
    river.labelColor = rgb(20, 60, 150);
    add(river);
    ObjectType stream = makeType("Ручей", kDrawLineOrArea, rgb(120, 170, 230), 0, 2, 0, 5, 2);
    stream.labelColor = rgb(20, 60, 150);
    stream.labelSize = 8;
    add(stream);
    add(makeType("Железная дорога", kDrawTripleLine, rgb(0, 0, 0), rgb(255, 255, 255), 1, 0, 0, 0));
    add(makeType("Трамвайные пути", kDrawLineOrArea, rgb(120, 120, 120), 0, 1, 0, 0, 0));
    ObjectType main =
        makeType("Магистраль", kDrawTripleLine, rgb(190, 90, 0), rgb(255, 200, 90), 3, 0, 6, 15);
    main.labelBold = 1;
    main.labelSize = 10;
    add(main);
    ObjectType secondary =
        makeType("Крупная улица", kDrawLineOrArea, rgb(245, 215, 110), 0, 6, 0, 6, 8);
    secondary.labelBold = 1;
    add(secondary);
    add(makeType("Улица", kDrawLineOrArea, rgb(255, 255, 255), 0, 4, 0, 6, 3));
    ObjectType small = makeType("Проезд", kDrawLineOrArea, rgb(255, 255, 255), 0, 2, 0, 5, 1.5f);
    small.labelSize = 8;
    add(small);
    ObjectType pedestrian =
        makeType("Пешеходная улица", kDrawLineOrArea, rgb(236, 232, 240), 0, 4, 0, 6, 2);
    add(pedestrian);
    ObjectType path = makeType("Дорожка", kDrawLineOrArea, rgb(160, 120, 90), 0, 1, 0, 0, 0);
    path.penStyle = 2;
    add(path);
    ObjectType building =
        makeType("Здание", kDrawLineOrArea, rgb(150, 120, 90), rgb(222, 200, 170), 1, 1, 1, 1);
    building.labelSize = 7;
    add(building);
    ObjectType address =
        makeType("Адрес", kDrawLineOrArea, rgb(150, 120, 90), rgb(200, 170, 140), 1, 1, 1, 1);
    address.labelSize = 7;
    add(address);
    add(toolkit::metroStationType());
    const char* poiTypes[] = {"Аптека", "Школа", "Больница", "Почта", "Библиотека", "Организация"};
    for (const char* name : poiTypes) add(makeType(name, kDrawIcon, 0, 0, 1, 0, 4, 1.5f));
    ObjectType monument =
        makeType("Памятник", kDrawCircle, rgb(90, 60, 20), rgb(200, 160, 60), 1, 0, 2, 1.5f);
    monument.fillStyle = 0;
    monument.hiFillStyle = 0;
    monument.labelSize = 8;
    add(monument);
    for (int32_t colour : lineColours) t.push_back(metroLineType(colour));
    if (lineColours.empty()) t.push_back(metroLineType(rgb(200, 30, 30)));
    for (const QString& name : placeTypes) {
        ObjectType place = makeType("", kDrawIcon, 0, 0, 1, 0, 4, 1.5f);
        place.typeName = name;
        t.push_back(place);
    }
    return t;
}

std::vector<LabelKind> typeLabelKinds(size_t lineColours, size_t placeTypes) {
    std::vector<LabelKind> kinds(size_t(kFirstMetroLineType), LabelKind::Unknown);
    auto set = [&](std::initializer_list<Type> types, LabelKind kind) {
        for (Type t : types) kinds[size_t(t)] = kind;
    };
    set({kDistrictType, kParkType, kForestType, kGrassType}, LabelKind::Area);
    set({kWaterAreaType, kRiverType, kStreamType}, LabelKind::Water);
    set({kRailType, kTramType, kMainRoadType, kSecondaryType, kStreetType, kSmallRoadType,
         kPedestrianType, kPathType},
        LabelKind::Street);
    set({kBuildingType, kAddressType}, LabelKind::HouseNumber);
    set({kStationType}, LabelKind::Station);
    set({kPlaceType, kPharmacyType, kSchoolType, kHospitalType, kPostType, kLibraryType,
         kOtherPoiType, kMonumentType},
        LabelKind::PointOfInterest);
    kinds.insert(kinds.end(), std::max<size_t>(lineColours, 1), LabelKind::Station);
    kinds.insert(kinds.end(), placeTypes, LabelKind::PointOfInterest);
    return kinds;
}

IconData otherIcon() {
    IconData icon;
    icon.number = kOtherIcon;
    for (int s : {16, 32}) {
        QImage mask(s, s, QImage::Format_RGB32), picture(s, s, QImage::Format_RGB32);
        mask.fill(Qt::white);
        picture.fill(Qt::black);
        for (QImage* image : {&mask, &picture}) {
            QPainter p(image);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            p.setBrush(image == &mask ? QColor(Qt::black) : QColor(240, 140, 30));
            const int r = s / 4;
            p.drawEllipse(QPoint(s / 2, s / 2), r, r);
        }
        (s == 16 ? icon.mask16 : icon.mask32) = mask;
        (s == 16 ? icon.picture16 : icon.picture32) = picture;
    }
    return icon;
}

void makeLayersAndClasses(Tables& t, const GridChoice& grid) {
    const int32_t c1 = grid.cells[0], c2 = grid.cells[1], c3 = grid.cells[2];
    t.layers = {LayerRecord{},
                makeLayer("Районы", "raiony", true, true, c1, c2, c3),
                makeLayer("Зелёные зоны", "zelen", true, true, c1, c2, c3),
                makeLayer("Водоёмы", "vodoemy", true, true, c1, c2, c3),
                makeLayer("Железные дороги", "zheldor", true, false, c1, c2, c3),
                makeLayer("Улицы и дороги", "ulicy", true, true, c1, c2, c3),
                makeLayer("Здания", "doma", false, true, c1, c2, c3),
                makeLayer("Линии метро", "metrolin", true, true, c1, c2, c3),
                makeLayer("Станции метро", "metrost", true, true, c1, c2, c3),
                makeLayer("Организации", "org", false, true, c1, c2, c3)};
    // Organisations without an icon of their own only at the closest scales,
    // the others a little farther out.
    t.layers[kPoiLayer].levels[0].scaleLimit = 1;
    t.layers[kPoiLayer].levels[1].scaleLimit = 2.5f;
    // Stations above the organisations, so that an icon never hides a station.
    t.drawOrder = {0,          kDistrictLayer, kGreenLayer,     kWaterLayer, kRailwayLayer,
                   kRoadLayer, kBuildingLayer, kMetroLineLayer, kPoiLayer,   kStationLayer};
    t.selectOrder = {0,           kStationLayer,   kPoiLayer,     kBuildingLayer,
                     kRoadLayer,  kMetroLineLayer, kRailwayLayer, kWaterLayer,
                     kGreenLayer, kDistrictLayer};
    t.classes = {ClassRecord{},
                 makeClass(u("Районы"), "raiony", kPlainNameStyle, true, true),
                 makeClass(u("Улицы"), "ulicy", kStreetNameStyle, true, true),
                 makeClass(u("Станции метро"), "metro", kPlainNameStyle, true, true),
                 makeClass(u("Водоёмы"), "vodoemy", kPlainNameStyle, false, true),
                 makeClass(u("Парки и скверы"), "parki", kPlainNameStyle, true, true),
                 makeClass(u("Организации"), "org", kPlainNameStyle, true, true),
                 makeClass(u("Дома"), "doma", kHouseNumberStyle, false, false)};
    t.classExtra.assign(t.classes.size(), 0);
}

}  // namespace urbica::osmimport
