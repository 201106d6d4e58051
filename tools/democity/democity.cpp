#include "democity.h"

#include <QDir>
#include <algorithm>
#include <cmath>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "toolkit.h"

namespace urbica::democity {

namespace {

using toolkit::makeClass;
using toolkit::makeLayer;
using toolkit::makeType;
using toolkit::rgb;

// splitmix64: small, fast and the same on every platform and library.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }

private:
    uint64_t state_;
};

constexpr int32_t kTile = 2500;      // side of a district, metres
constexpr int32_t kMargin = 1000;    // free land around the city
constexpr int32_t kGridStep = 4000;  // every cell size divides it
constexpr int32_t kSetback = 10;     // from a street's axis to the house front
constexpr double kRiverHalfWidth = 80;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Names

struct Stem {
    const char* fem;   // Садовая (улица)
    const char* masc;  // Садовый (переулок)
};
const Stem kAdjectives[] = {
    {"Садовая", "Садовый"},
    {"Лесная", "Лесной"},
    {"Школьная", "Школьный"},
    {"Полевая", "Полевой"},
    {"Заводская", "Заводской"},
    {"Молодёжная", "Молодёжный"},
    {"Солнечная", "Солнечный"},
    {"Речная", "Речной"},
    {"Липовая", "Липовый"},
    {"Берёзовая", "Берёзовый"},
    {"Сосновая", "Сосновый"},
    {"Кленовая", "Кленовый"},
    {"Луговая", "Луговой"},
    {"Озёрная", "Озёрный"},
    {"Парковая", "Парковый"},
    {"Рабочая", "Рабочий"},
    {"Почтовая", "Почтовый"},
    {"Торговая", "Торговый"},
    {"Южная", "Южный"},
    {"Северная", "Северный"},
    {"Восточная", "Восточный"},
    {"Западная", "Западный"},
    {"Новая", "Новый"},
    {"Зелёная", "Зелёный"},
    {"Весенняя", "Весенний"},
    {"Тихая", "Тихий"},
    {"Каменная", "Каменный"},
    {"Песчаная", "Песчаный"},
    {"Кузнечная", "Кузнечный"},
    {"Мельничная", "Мельничный"},
    {"Вокзальная", "Вокзальный"},
    {"Театральная", "Театральный"},
    {"Студенческая", "Студенческий"},
    {"Спортивная", "Спортивный"},
    {"Цветочная", "Цветочный"},
    {"Вишнёвая", "Вишнёвый"},
    {"Яблоневая", "Яблоневый"},
    {"Рябиновая", "Рябиновый"},
    {"Кирпичная", "Кирпичный"},
    {"Гончарная", "Гончарный"},
    {"Литейная", "Литейный"},
    {"Морская", "Морской"},
    {"Дачная", "Дачный"},
    {"Огородная", "Огородный"},
    {"Ключевая", "Ключевой"},
    {"Широкая", "Широкий"},
    {"Светлая", "Светлый"},
    {"Тополиная", "Тополиный"},
    {"Ореховая", "Ореховый"},
    {"Хлебная", "Хлебный"},
};
const char* const kGenitives[] = {
    "Гагарина",    "Пушкина",      "Лермонтова",  "Чехова",     "Толстого",    "Горького",
    "Гоголя",      "Некрасова",    "Тургенева",   "Кутузова",   "Суворова",    "Ломоносова",
    "Менделеева",  "Королёва",     "Чайковского", "Глинки",     "Крылова",     "Жуковского",
    "Островского", "Маяковского",  "Есенина",     "Блока",      "Мичурина",    "Попова",
    "Павлова",     "Вернадского",  "Курчатова",   "Мира",       "Победы",      "Дружбы",
    "Свободы",     "Труда",        "Космонавтов", "Строителей", "Энтузиастов", "Героев",
    "Юности",      "Циолковского", "Шолохова",
};
constexpr int kAdjectiveCount = int(std::size(kAdjectives));
constexpr int kGenitiveCount = int(std::size(kGenitives));
constexpr int kStemCount = kAdjectiveCount + kGenitiveCount;

enum class StreetKind { Street, Lane, Passage, Boulevard, Avenue };

QString u(const char* s) { return QString::fromUtf8(s); }

// A street name from stem number i: adjective stems first, then the genitive ones.
QString streetName(StreetKind kind, int stem, int copy) {
    const bool fem = kind == StreetKind::Street;
    const char* word = kind == StreetKind::Street      ? "улица"
                       : kind == StreetKind::Lane      ? "переулок"
                       : kind == StreetKind::Passage   ? "проезд"
                       : kind == StreetKind::Boulevard ? "бульвар"
                                                       : "проспект";
    QString name;
    stem %= kStemCount;
    if (stem < kAdjectiveCount) {
        const Stem& s = kAdjectives[stem];
        name = u(fem ? s.fem : s.masc) + ' ' + u(word);
    } else {
        QString w = u(word);
        w[0] = w[0].toUpper();
        name = w + ' ' + u(kGenitives[stem - kAdjectiveCount]);
    }
    if (copy > 0) name = QString::number(copy + 1) + u(fem ? "-я " : "-й ") + name;
    return name;
}

const char* const kDistrictNames[] = {
    "Центральный",      "Заречный",        "Северный",      "Южный",           "Восточный",
    "Западный",         "Ленинский",       "Октябрьский",   "Кировский",       "Советский",
    "Заводской",        "Железнодорожный", "Пролетарский",  "Приморский",      "Калининский",
    "Московский",       "Невский",         "Фрунзенский",   "Выборгский",      "Приокский",
    "Сормовский",       "Автозаводский",   "Канавинский",   "Нагорный",        "Слободской",
    "Лесной",           "Садовый",         "Речной",        "Старый город",    "Новый город",
    "Черёмушки",        "Сокол",           "Академический", "Университетский", "Юго-Западный",
    "Северо-Восточный", "Дубки",           "Сосновка",      "Ольховка",        "Берёзовая роща",
};
QString districtName(int i) {
    const int n = int(std::size(kDistrictNames));
    QString name = u(kDistrictNames[i % n]);
    if (i >= n) name += '-' + QString::number(i / n + 1);
    return name;
}

const char* const kStationNames[] = {
    "Театральная",
    "Площадь Революции",
    "Речной вокзал",
    "Парк культуры",
    "Площадь Мира",
    "Университет",
    "Спортивная",
    "Вокзальная",
    "Рынок",
    "Пролетарская",
    "Заречная",
    "Технологический институт",
    "Библиотека",
    "Стадион",
    "Горьковская",
    "Пушкинская",
    "Московские ворота",
    "Электросила",
    "Звёздная",
    "Лесная",
    "Кировский завод",
    "Балтийская",
    "Сенная площадь",
    "Гостиный двор",
    "Маяковская",
    "Чернышевская",
    "Автово",
    "Дачное",
    "Озерки",
    "Удельная",
    "Пионерская",
    "Проспект Просвещения",
};
QString stationName(int i) {
    const int n = int(std::size(kStationNames));
    QString name = u(kStationNames[i % n]);
    if (i >= n) name += '-' + QString::number(i / n + 1);
    return name;
}

const char* const kLineColours[] = {"Красная",   "Синяя",      "Зелёная",
                                    "Оранжевая", "Фиолетовая", "Жёлтая"};
const int32_t kLineRgb[] = {rgb(220, 30, 30),  rgb(30, 80, 200),  rgb(20, 150, 60),
                            rgb(240, 130, 20), rgb(130, 50, 160), rgb(230, 200, 0)};
constexpr int kLineColourCount = 6;

const char* const kRivers[][2] = {{"река Урба", "Урбы"},       {"река Ольшанка", "Ольшанки"},
                                  {"река Каменка", "Каменки"}, {"река Вязовка", "Вязовки"},
                                  {"река Боровка", "Боровки"}, {"река Сестра", "Сестры"}};

const char* const kSights[] = {
    "Памятник А. С. Пушкину",
    "Памятник Ю. А. Гагарину",
    "Памятник М. В. Ломоносову",
    "Памятник Д. И. Менделееву",
    "Памятник Л. Н. Толстому",
    "Памятник основателям города",
    "Вечный огонь",
    "Памятник героям войны",
    "Памятник К. Э. Циолковскому",
    "Памятник А. П. Чехову",
    "Фонтан «Дружба»",
    "Скульптура «Рабочий»",
};
const char* const kPondWords[] = {"Лебединый", "Круглый", "Тихий", "Чистый",
                                  "Большой",   "Малый",   "Ясный", "Светлый"};

// Organisations: icon, full and short names.
struct OrganisationKind {
    const char* full;
    const char* brief;
};
const OrganisationKind kOrganisations[] = {
    {"Городская аптека № %1", "Аптека № %1"},
    {"Средняя общеобразовательная школа № %1", "Школа № %1"},
    {"Городская клиническая больница № %1", "Больница № %1"},
    {"Отделение почтовой связи № %1", "Почта № %1"},
    {"Городская библиотека № %1", "Библиотека № %1"},
};
constexpr int kOrganisationKinds = int(std::size(kOrganisations));

// ---------------------------------------------------------------------------
// Types

enum Type : int16_t {
    kDistrictType = 1,
    kRiverType,
    kPondType,
    kParkType,
    kRailwayType,
    kAvenueType,
    kHighwayType,
    kStreetType,
    kLaneType,
    kBoulevardType,
    kEmbankmentType,
    kHouseType,
    kPublicHouseType,
    kMetroLineType,  // one per line colour
    kStationType = kMetroLineType + kLineColourCount,
    kPharmacyType,  // one per organisation kind, icon numbers 1 to 5 in order
    kSightType = kPharmacyType + kOrganisationKinds,
    kSampleType,
};

std::vector<ObjectType> makeTypes() {
    std::vector<ObjectType> t(1);
    auto add = [&](ObjectType type) { t.push_back(type); };
    ObjectType district = makeType("Район", 1, rgb(150, 150, 150), rgb(244, 240, 228), 1, 1, 2, 40);
    district.labelSize = 14;
    district.labelBold = 1;
    district.labelColor = rgb(110, 110, 110);
    district.penStyle = 2;  // dotted border
    add(district);
    ObjectType river = makeType("Река", 1, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 6, 20);
    river.labelColor = rgb(20, 60, 150);
    river.fontName.clear();  // the default label font
    add(river);
    ObjectType pond = makeType("Пруд", 1, rgb(80, 130, 200), rgb(160, 200, 240), 1, 1, 1, 4);
    pond.labelColor = rgb(20, 60, 150);
    add(pond);
    add(makeType("Парк", 1, rgb(90, 160, 90), rgb(190, 230, 170), 1, 1, 2, 8));
    ObjectType rail = makeType("Железная дорога", 4, rgb(0, 0, 0), rgb(255, 255, 255), 1, 0, 0, 0);
    add(rail);
    ObjectType avenue = makeType("Проспект", 1, rgb(230, 170, 60), 0, 6, 0, 6, 15);
    avenue.labelBold = 1;
    avenue.labelSize = 10;
    add(avenue);
    ObjectType highway = makeType("Шоссе", 1, rgb(220, 120, 40), 0, 7, 0, 6, 15);
    highway.labelBold = 1;
    add(highway);
    add(makeType("Улица", 1, rgb(255, 255, 255), 0, 4, 0, 6, 4));
    ObjectType lane = makeType("Переулок", 1, rgb(255, 255, 255), 0, 3, 0, 5, 3);
    lane.labelSize = 8;
    add(lane);
    ObjectType boulevard = makeType("Бульвар", 1, rgb(120, 190, 110), 0, 5, 0, 3, 4);
    boulevard.labelColor = rgb(20, 90, 20);
    add(boulevard);
    add(makeType("Набережная", 1, rgb(250, 250, 250), 0, 4, 0, 3, 6));
    ObjectType house = makeType("Жилой дом", 1, rgb(150, 120, 90), rgb(222, 200, 170), 1, 1, 1, 1);
    house.labelSize = 7;
    add(house);
    ObjectType pub =
        makeType("Общественное здание", 1, rgb(140, 100, 100), rgb(230, 180, 170), 1, 1, 1, 1);
    pub.labelSize = 7;
    add(pub);
    for (int i = 0; i < kLineColourCount; ++i) {
        ObjectType line = makeType("", 1, kLineRgb[i], 0, 4, 0, 6, 10);
        line.typeName = u(kLineColours[i]) + u(" линия метро");
        line.labelColor = kLineRgb[i];
        add(line);
    }
    ObjectType station =
        makeType("Станция метро", 3, rgb(120, 0, 0), rgb(230, 40, 40), 1, 0, 2, 12);
    station.fillStyle = 0;
    station.hiFillStyle = 0;
    station.labelBold = 1;
    station.labelColor = rgb(120, 0, 0);
    add(station);
    const char* organisationTypes[] = {"Аптека", "Школа", "Больница", "Почта", "Библиотека"};
    for (const char* name : organisationTypes) add(makeType(name, 7, 0, 0, 1, 0, 4, 2));
    ObjectType sight = makeType("Памятник", 3, rgb(90, 60, 20), rgb(200, 160, 60), 1, 0, 2, 4);
    sight.fillStyle = 0;
    sight.hiFillStyle = 0;
    sight.labelSize = 8;
    add(sight);
    add(makeType("Надпись-образец", 2, rgb(0, 0, 0), 0, 1, 0, 0, 0));
    return t;
}

// ---------------------------------------------------------------------------
// The city

struct River {
    double base, amplitude, wavelength, phase;
    double centre(double x) const {
        return base + amplitude * std::sin(2 * kPi * x / wavelength + phase);
    }
};

// Numbers along one side of a street: 1, 3, 5 ... or 2, 4, 6 ..., now and then
// a letter (12А), a fraction (12/3) or a building number (12 корпус 2).
struct SideNumbers {
    int next;
    int last = 0;
    int letters = 0;
    int buildings = 1;
    void take(Rng& rng, NameData& house) {
        const double r = rng.unit();
        static const char16_t kLetters[] = {u'А', u'Б', u'В', u'Г'};
        if (last > 0 && last < 1000 && letters < 4 && r < 0.08) {
            house.number = QString::number(last) + QChar(kLetters[letters++]);
        } else if (last > 0 && buildings < 9 && r < 0.15) {
            house.number = QString::number(last);
            house.building = QString::number(++buildings);
        } else {
            house.number = QString::number(next);
            if (r < 0.23) house.fraction = QString::number(rng.range(1, 60));
            last = next;
            letters = 0;
            buildings = 1;
            next += 2;
        }
    }
};

class CityBuilder {
public:
    explicit CityBuilder(const Options& o) : rng_(o.seed), scale_(std::max(1, o.scale)) {}
    DatasetData build();

private:
    Rng rng_;
    int scale_;
    DatasetData d_;
    int tiles_ = 4;
    int32_t ox_ = 0, oy_ = 0, side_ = 0;
    std::vector<River> rivers_;
    std::vector<double> railBase_;
    double ringX_ = 0, ringY_ = 0, ringR_ = 0;
    int16_t houseClass_ = kFirstHouseClass;
    int stationsMade_ = 0;
    int organisationNumbers_[kOrganisationKinds] = {};
    int sightsMade_ = 0;
    int parksMade_ = 0;

    std::vector<MapObjectData>& layer(int l) { return d_.layerObjects[size_t(l)]; }
    std::vector<NameData>& names(int c) { return d_.classNames[size_t(c)]; }

    int32_t addObject(int16_t l, MapObjectData o) {
        layer(l).push_back(std::move(o));
        return int32_t(layer(l).size());
    }
    int32_t addName(int16_t c, NameData n) {
        names(c).push_back(std::move(n));
        return int32_t(names(c).size());
    }
    // The object becomes one of the named object's map objects.
    void attach(int16_t c, int32_t record, int16_t l, int32_t object) {
        names(c)[size_t(record - 1)].mapObjects.push_back({l, object});
        MapObjectData& o = layer(l)[size_t(object - 1)];
        o.nameKind = c;
        o.nameIndex = record;
    }
    int32_t addNamedObject(int16_t c, int32_t record, int16_t l, MapObjectData o) {
        const int32_t n = addObject(l, std::move(o));
        attach(c, record, l, n);
        return n;
    }
    static MapObjectData shape(int16_t type, std::vector<QPoint> pts, int16_t maxLevel) {
        MapObjectData o;
        o.typeIndex = type;
        o.points = std::move(pts);
        o.maxLevel = maxLevel;
        return o;
    }
    double left() const { return ox_; }
    double top() const { return oy_; }
    int32_t districtAt(double x, double y) const {
        const int tx = std::clamp(int((x - ox_) / kTile), 0, tiles_ - 1);
        const int ty = std::clamp(int((y - oy_) / kTile), 0, tiles_ - 1);
        return ty * tiles_ + tx + 1;
    }
    double railCentre(size_t q, double x) const {
        return railBase_[q] + 200 * std::sin(x / 3700.0 + double(q));
    }
    double highwayCentre(int h, double x) const {
        const double t = x - ox_;
        return h == 0 ? oy_ + side_ - t + 650 * std::sin(t / 2300.0)
                      : oy_ + t + 600 * std::sin(t / 2000.0 + 1);
    }
    // True where nothing may be built: water, railways and the curved roads.
    bool blocked(double x, double y, double margin) const {
        for (const River& r : rivers_)
            if (std::abs(y - r.centre(x)) < kRiverHalfWidth + margin) return true;
        for (size_t q = 0; q < railBase_.size(); ++q)
            if (std::abs(y - railCentre(q, x)) < 20 + margin) return true;
        if (std::abs(std::hypot(x - ringX_, y - ringY_) - ringR_) < 20 + margin) return true;
        for (int h = 0; h < 2; ++h)
            if (std::abs(y - highwayCentre(h, x)) * 0.7071 < 20 + margin) return true;
        return false;
    }
    bool inWater(double x, double y, double margin) const {
        for (const River& r : rivers_)
            if (std::abs(y - r.centre(x)) < kRiverHalfWidth + margin) return true;
        return false;
    }

    void setUpTables();
    void makeWater();
    void makeRailways();
    void makeLongStreets();
    void makeCurvedRoads();
    void makeMetro();
    void makeTile(int tx, int ty);
    void houseRow(int32_t street, bool horizontal, double line, int side, double from, double to,
                  SideNumbers& numbers);
    int32_t addHouse(NameData house, MapObjectData building, int32_t street);
    void finishHouseClasses();
};

void CityBuilder::setUpTables() {
    Tables& t = d_.tables;
    t.types = makeTypes();
    t.layers = {LayerRecord{},
                makeLayer("Районы", "raiony", true, true, 500, 2000, 4000),
                makeLayer("Водоёмы", "vodoemy", true, true, 500, 2000, 4000),
                makeLayer("Парки и скверы", "parki", true, true, 500, 2000, 4000),
                makeLayer("Железные дороги", "zheldor", true, false, 500, 2000, 4000),
                makeLayer("Улицы", "ulicy", true, true, 500, 2000, 4000),
                makeLayer("Дома", "doma", false, true, 500, 4000, 4000),
                makeLayer("Линии метро", "metrolin", true, true, 500, 2000, 4000),
                makeLayer("Станции метро", "metrost", false, true, 500, 2000, 4000),
                makeLayer("Организации", "org", false, true, 500, 4000, 4000),
                makeLayer("Достопримечательности", "dostopr", false, true, 500, 2000, 4000),
                makeLayer("Подписи", "podpisi", false, false, 500, 2000, 4000)};
    t.drawOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    // Small things first under the pointer, areas last.
    t.selectOrder = {0,           kStationLayer, kOrganisationLayer, kSightLayer,
                     kHouseLayer, kStreetLayer,  kMetroLineLayer,    kRailwayLayer,
                     kParkLayer,  kWaterLayer,   kDistrictLayer,     kSampleLayer};
    t.classes = {ClassRecord{},
                 makeClass(u("Районы"), "raiony", 1, true, true),
                 makeClass(u("Улицы"), "ulicy", 2, true, true),
                 makeClass(u("Станции метро"), "metro", 1, true, true),
                 makeClass(u("Линии метро"), "linmetro", 1, false, true),
                 makeClass(u("Парки и скверы"), "parki", 1, true, true),
                 makeClass(u("Водоёмы"), "vodoemy", 1, false, true),
                 makeClass(u("Организации"), "org", 4, true, true),
                 makeClass(u("Достопримечательности"), "dostopr", 1, false, true),
                 makeClass(u("Дома"), "doma", 3, false, true)};
    t.classExtra.assign(t.classes.size(), 0);
    d_.layerObjects.resize(t.layers.size());
    d_.classNames.resize(t.classes.size());
}

void CityBuilder::makeWater() {
    const int count = std::max(1, tiles_ / 8);
    const double band = double(side_) / count;
    for (int r = 0; r < count; ++r)
        rivers_.push_back({top() + (r + 0.5) * band + 0.13 * band, std::min(350.0, band * 0.08),
                           5200 + 300.0 * r, 1.7 * r});
    for (int r = 0; r < count; ++r) {
        const River& river = rivers_[size_t(r)];
        const auto& words = kRivers[r % int(std::size(kRivers))];
        NameData n;
        n.name = u(words[0]) +
                 (r >= int(std::size(kRivers)) ? QStringLiteral(" %1").arg(r + 1) : QString());
        const int32_t record = addName(kWaterClass, n);
        // The river as pieces of 1 km, each a closed band between its banks.
        for (int32_t x0 = ox_; x0 < ox_ + side_; x0 += 1000) {
            std::vector<QPoint> pts;
            const int32_t x1 = std::min(ox_ + side_, x0 + 1000);
            for (int32_t x = x0; x <= x1; x += 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) - kRiverHalfWidth)));
            for (int32_t x = x1; x >= x0; x -= 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) + kRiverHalfWidth)));
            addNamedObject(kWaterClass, record, kWaterLayer, shape(kRiverType, pts, 3));
        }
        // Embankments on both banks, streets of the district they start in.
        for (int bank = 0; bank < 2; ++bank) {
            NameData e;
            e.name =
                bank == 0 ? u("Набережная ") + u(words[1]) : u("Левая набережная ") + u(words[1]);
            if (r >= int(std::size(kRivers))) e.name += QStringLiteral(" %1").arg(r + 1);
            const double offset = (bank == 0 ? -1 : 1) * (kRiverHalfWidth + 14);
            e.parentClass = kDistrictClass;
            e.parentRecord = districtAt(ox_, river.centre(ox_) + offset);
            const int32_t street = addName(kStreetClass, e);
            std::vector<QPoint> pts;
            for (int32_t x = ox_; x <= ox_ + side_; x += 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) + offset)));
            for (size_t i = 0; i + 1 < pts.size(); i += 10) {
                const size_t end = std::min(pts.size(), i + 11);
                addNamedObject(
                    kStreetClass, street, kStreetLayer,
                    shape(kEmbankmentType,
                          {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 2));
            }
        }
    }
}

void CityBuilder::makeRailways() {
    const int count = std::max(1, tiles_ / 8);
    const double band = double(side_) / count;
    for (int q = 0; q < count; ++q) railBase_.push_back(top() + (q + 0.5) * band - 0.27 * band);
    for (size_t q = 0; q < railBase_.size(); ++q) {
        std::vector<QPoint> pts;
        for (int32_t x = ox_; x <= ox_ + side_; x += 100)
            pts.emplace_back(x, int(std::lround(railCentre(q, x))));
        for (size_t i = 0; i + 1 < pts.size(); i += 10) {
            const size_t end = std::min(pts.size(), i + 11);
            addObject(
                kRailwayLayer,
                shape(kRailwayType, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
        }
    }
}

// Streets on the district borders run through the whole city: avenues on
// every second border, ordinary long streets on the others.
void CityBuilder::makeLongStreets() {
    int made = 0;
    for (int dir = 0; dir < 2; ++dir) {
        for (int k = 0; k <= tiles_; ++k) {
            const bool avenue = k % 2 == 0;
            const int stem = (made * 7 + 3) % kStemCount;
            const int copy = made / kStemCount;
            ++made;
            NameData n;
            n.name = streetName(avenue ? StreetKind::Avenue : StreetKind::Street, stem, copy);
            n.parentClass = kDistrictClass;
            n.parentRecord = dir == 0 ? districtAt(ox_ + k * kTile - (k == tiles_), oy_ + 1)
                                      : districtAt(ox_ + 1, oy_ + k * kTile - (k == tiles_));
            const int32_t street = addName(kStreetClass, n);
            for (int t = 0; t < tiles_; ++t) {
                const int32_t fixed = (dir == 0 ? ox_ : oy_) + k * kTile;
                const int32_t a = (dir == 0 ? oy_ : ox_) + t * kTile;
                const QPoint p0 = dir == 0 ? QPoint(fixed, a) : QPoint(a, fixed);
                const QPoint p1 = dir == 0 ? QPoint(fixed, a + kTile) : QPoint(a + kTile, fixed);
                addNamedObject(kStreetClass, street, kStreetLayer,
                               shape(avenue ? kAvenueType : kStreetType, {p0, p1}, avenue ? 3 : 2));
            }
        }
    }
}

void CityBuilder::makeCurvedRoads() {
    auto road = [&](const QString& name, const std::vector<QPoint>& pts) {
        NameData n;
        n.name = name;
        n.parentClass = kDistrictClass;
        n.parentRecord = districtAt(ringX_, ringY_);
        const int32_t street = addName(kStreetClass, n);
        for (size_t i = 0; i + 1 < pts.size(); i += 15) {
            const size_t end = std::min(pts.size(), i + 16);
            addNamedObject(
                kStreetClass, street, kStreetLayer,
                shape(kHighwayType, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
        }
    };
    std::vector<QPoint> ring;
    const int steps = std::max(48, int(2 * kPi * ringR_ / 150));
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * kPi * i / steps;
        ring.emplace_back(int(std::lround(ringX_ + ringR_ * std::cos(a))),
                          int(std::lround(ringY_ + ringR_ * std::sin(a))));
    }
    road(u("Садовое кольцо"), ring);
    const char* highways[] = {"Московское шоссе", "Приморское шоссе"};
    for (int h = 0; h < 2; ++h) {
        std::vector<QPoint> pts;
        for (int32_t x = ox_; x <= ox_ + side_; x += 150) {
            const double y = highwayCentre(h, x);
            if (y >= oy_ && y <= oy_ + side_) pts.emplace_back(x, int(std::lround(y)));
        }
        road(u(highways[h]), pts);
    }
}

void CityBuilder::makeMetro() {
    const int across = std::max(1, int(std::lround(tiles_ / 4.0)));
    struct Path {
        std::vector<QPoint> pts;
    };
    std::vector<Path> paths;
    const double lo = 600, hi = side_ - 600;
    for (int dir = 0; dir < 2; ++dir) {
        for (int l = 0; l < across; ++l) {
            Path p;
            const double base = (l + 0.5) * side_ / across + 0.06 * side_ / across;
            for (double a = lo; a <= hi; a += 100) {
                const double b = base + 300 * std::sin(a / 4500.0 + l + dir);
                p.pts.emplace_back(dir == 0 ? QPoint(int(ox_ + a), int(std::lround(oy_ + b)))
                                            : QPoint(int(std::lround(ox_ + b)), int(oy_ + a)));
            }
            paths.push_back(p);
        }
    }
    {
        Path p;  // one diagonal line
        for (double a = lo; a <= hi; a += 100 / 1.4142)
            p.pts.emplace_back(int(std::lround(ox_ + a + 350 * std::sin(a / 3000.0))),
                               int(oy_ + a));
        paths.push_back(p);
    }
    for (size_t l = 0; l < paths.size(); ++l) {
        NameData line;
        line.name = u(kLineColours[l % kLineColourCount]) + u(" линия");
        if (l >= size_t(kLineColourCount))
            line.name += QStringLiteral(" %1").arg(l / kLineColourCount + 1);
        const int32_t lineRecord = addName(kMetroLineClass, line);
        const int16_t type = int16_t(kMetroLineType + int(l % kLineColourCount));
        const auto& pts = paths[l].pts;
        const size_t spacing = size_t(rng_.range(11, 15));
        for (size_t i = 0; i < pts.size(); i += spacing) {
            NameData st;
            st.name = stationName(stationsMade_++);
            const int32_t station = addName(kStationClass, st);
            addNamedObject(kStationClass, station, kStationLayer, shape(kStationType, {pts[i]}, 3));
            if (i + 1 < pts.size()) {
                const size_t end = std::min(pts.size(), i + spacing + 1);
                addNamedObject(
                    kMetroLineClass, lineRecord, kMetroLineLayer,
                    shape(type, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
            }
        }
    }
}

int32_t CityBuilder::addHouse(NameData house, MapObjectData building, int32_t street) {
    if (int32_t(names(houseClass_).size()) >= kHousesPerClass) {
        d_.tables.classes.push_back(makeClass(u("Дома"), "doma", 3, false, true));
        d_.tables.classExtra.push_back(0);
        d_.classNames.emplace_back();
        houseClass_ = int16_t(d_.tables.classes.size() - 1);
    }
    house.parentClass = kStreetClass;
    house.parentRecord = street;
    const int32_t record = addName(houseClass_, std::move(house));
    const int32_t object = addObject(kHouseLayer, std::move(building));
    attach(houseClass_, record, kHouseLayer, object);
    names(kStreetClass)[size_t(street - 1)].parts.push_back({houseClass_, record});
    return record;
}

// Houses along one side of a straight street: `side` −1 is the north (west)
// side, +1 the south (east) side; from/to run along the street.
void CityBuilder::houseRow(int32_t street, bool horizontal, double line, int side, double from,
                           double to, SideNumbers& numbers) {
    double p = from + rng_.range(0, 8);
    while (true) {
        const int width = rng_.range(30, 60), depth = rng_.range(14, 22);
        if (p + width > to) break;
        const double near = line + side * kSetback, far = line + side * (kSetback + depth);
        auto at = [&](double along, double across) {
            return horizontal ? QPoint(int(std::lround(along)), int(std::lround(across)))
                              : QPoint(int(std::lround(across)), int(std::lround(along)));
        };
        std::vector<QPoint> pts;
        if (rng_.chance(0.2)) {  // an L-shaped house: the back half of one end cut away
            const double mid = (near + far) / 2, cut = p + width * 0.55;
            pts = {at(p, near),  at(p + width, near), at(p + width, mid),
                   at(cut, mid), at(cut, far),        at(p, far)};
        } else {
            pts = {at(p, near), at(p + width, near), at(p + width, far), at(p, far)};
        }
        const double cx = horizontal ? p + width / 2.0 : (near + far) / 2;
        const double cy = horizontal ? (near + far) / 2 : p + width / 2.0;
        if (!blocked(cx, cy, width / 2.0 + 6)) {
            NameData house;
            numbers.take(rng_, house);
            const int16_t type = rng_.chance(0.08) ? kPublicHouseType : kHouseType;
            addHouse(std::move(house), shape(type, std::move(pts), 1), street);
        }
        p += width + rng_.range(10, 25);
    }
}

void CityBuilder::makeTile(int tx, int ty) {
    const int32_t x0 = ox_ + tx * kTile, y0 = oy_ + ty * kTile;
    NameData district;
    district.name = districtName(ty * tiles_ + tx);
    const int32_t districtRecord = addName(kDistrictClass, district);
    Q_ASSERT(districtRecord == ty * tiles_ + tx + 1);
    addNamedObject(
        kDistrictClass, districtRecord, kDistrictLayer,
        shape(kDistrictType,
              {{x0, y0}, {x0 + kTile, y0}, {x0 + kTile, y0 + kTile}, {x0, y0 + kTile}}, 3));

    const int nv = std::max(3, int(std::lround(double(kTile) / rng_.range(230, 320))));
    const int nh = std::max(3, int(std::lround(double(kTile) / rng_.range(180, 260))));
    auto vx = [&](int k) { return x0 + double(k) * kTile / nv; };
    auto hy = [&](int j) { return y0 + double(j) * kTile / nh; };

    // Parks: a few single blocks, now and then a large one over 2 × 2 blocks with a pond.
    std::vector<char> park(size_t(nv * nh), 0);
    auto blockFree = [&](int i, int j) {
        return !blocked((vx(i) + vx(i + 1)) / 2, (hy(j) + hy(j + 1)) / 2, 120);
    };
    auto addPark = [&](int i0, int j0, int span) {
        for (int i = i0; i < i0 + span; ++i)
            for (int j = j0; j < j0 + span; ++j) park[size_t(i * nh + j)] = 1;
        const double l = vx(i0) + 8, r = vx(i0 + span) - 8, t = hy(j0) + 8, b = hy(j0 + span) - 8;
        const int c = 12;  // chamfered corners
        std::vector<QPoint> pts;
        for (auto [x, y] : {std::pair{l + c, t},
                            {r - c, t},
                            {r, t + c},
                            {r, b - c},
                            {r - c, b},
                            {l + c, b},
                            {l, b - c},
                            {l, t + c}})
            pts.emplace_back(int(std::lround(x)), int(std::lround(y)));
        NameData n;
        const int stem = rng_.range(0, kStemCount - 1);
        if (span > 1)
            n.name = stem < kAdjectiveCount ? u(kAdjectives[stem].masc) + u(" парк")
                                            : u("Парк ") + u(kGenitives[stem - kAdjectiveCount]);
        else
            n.name = stem < kAdjectiveCount ? u(kAdjectives[stem].masc) + u(" сквер")
                                            : u("Сквер ") + u(kGenitives[stem - kAdjectiveCount]);
        n.parentClass = kDistrictClass;
        n.parentRecord = districtRecord;
        const int32_t record = addName(kParkClass, n);
        addNamedObject(kParkClass, record, kParkLayer, shape(kParkType, pts, span > 1 ? 3 : 2));
        ++parksMade_;
        const double cx = (l + r) / 2, cy = (t + b) / 2;
        if (span > 1) {
            NameData pond;
            pond.name = u(kPondWords[rng_.range(0, int(std::size(kPondWords)) - 1)]) + u(" пруд");
            pond.parentClass = kDistrictClass;
            pond.parentRecord = districtRecord;
            const int32_t pondRecord = addName(kWaterClass, pond);
            std::vector<QPoint> ellipse;
            const double rx = rng_.range(50, 90), ry = rng_.range(35, 60);
            for (int k = 0; k < 20; ++k) {
                const double a = 2 * kPi * k / 20;
                ellipse.emplace_back(int(std::lround(cx + 40 + rx * std::cos(a))),
                                     int(std::lround(cy + 30 + ry * std::sin(a))));
            }
            addNamedObject(kWaterClass, pondRecord, kWaterLayer, shape(kPondType, ellipse, 2));
        }
        if (span > 1 || rng_.chance(0.4)) {
            NameData sight;
            sight.name = u(kSights[sightsMade_++ % int(std::size(kSights))]);
            const int32_t record2 = addName(kSightClass, sight);
            addNamedObject(
                kSightClass, record2, kSightLayer,
                shape(kSightType, {QPoint(int(std::lround(cx - 30)), int(std::lround(cy - 25)))},
                      2));
        }
    };
    if (rng_.chance(0.4)) {
        const int i = rng_.range(0, nv - 2), j = rng_.range(0, nh - 2);
        if (blockFree(i, j) && blockFree(i + 1, j) && blockFree(i, j + 1) &&
            blockFree(i + 1, j + 1))
            addPark(i, j, 2);
    }
    for (int n = rng_.range(1, 3); n > 0; --n) {
        const int i = rng_.range(0, nv - 1), j = rng_.range(0, nh - 1);
        if (!park[size_t(i * nh + j)] && blockFree(i, j)) addPark(i, j, 1);
    }

    // Inner streets, cut where a river crosses them, each with its houses.
    std::vector<int> stems(kStemCount);
    for (int i = 0; i < kStemCount; ++i) stems[size_t(i)] = i;
    for (int i = kStemCount - 1; i > 0; --i)
        std::swap(stems[size_t(i)], stems[size_t(rng_.range(0, i))]);
    int stemAt = 0;
    const int boulevard = rng_.range(1, nv - 1);
    auto newStreet = [&](StreetKind kind, const std::vector<std::pair<QPoint, QPoint>>& pieces,
                         int16_t type) {
        NameData n;
        n.name = streetName(kind, stems[size_t(stemAt++ % kStemCount)], 0);
        n.parentClass = kDistrictClass;
        n.parentRecord = districtRecord;
        const int32_t street = addName(kStreetClass, n);
        for (const auto& [a, b] : pieces)
            addNamedObject(kStreetClass, street, kStreetLayer, shape(type, {a, b}, 2));
        return street;
    };
    // Runs of [from, to] outside the water along a street.
    auto runs = [&](bool horizontal, double line, double from, double to) {
        std::vector<std::pair<QPoint, QPoint>> out;
        double start = -1;
        for (double p = from; p <= to + 0.5; p += 10) {
            const bool wet = horizontal ? inWater(p, line, 8) : inWater(line, p, 8);
            if (!wet && start < 0) start = p;
            if ((wet || p + 10 > to + 0.5) && start >= 0) {
                const double end = wet ? p - 10 : to;
                if (end - start >= 40) {
                    auto pt = [&](double a) {
                        return horizontal ? QPoint(int(std::lround(a)), int(std::lround(line)))
                                          : QPoint(int(std::lround(line)), int(std::lround(a)));
                    };
                    out.emplace_back(pt(start), pt(end));
                }
                start = -1;
            }
        }
        return out;
    };
    const double s = kSetback, corner = kSetback + 22 + 10;
    for (int j = 1; j < nh; ++j) {
        const auto pieces = runs(true, hy(j), x0, x0 + kTile);
        if (pieces.empty()) continue;
        const int32_t street = newStreet(StreetKind::Street, pieces, kStreetType);
        SideNumbers odd{1}, even{2};
        for (int i = 0; i < nv; ++i) {
            if (!park[size_t(i * nh + j - 1)])
                houseRow(street, true, hy(j), -1, vx(i) + s, vx(i + 1) - s, odd);
            if (!park[size_t(i * nh + j)])
                houseRow(street, true, hy(j), +1, vx(i) + s, vx(i + 1) - s, even);
        }
    }
    for (int k = 1; k < nv; ++k) {
        const auto pieces = runs(false, vx(k), y0, y0 + kTile);
        if (pieces.empty()) continue;
        const bool isBoulevard = k == boulevard;
        const StreetKind kind = isBoulevard  ? StreetKind::Boulevard
                                : k % 3 == 0 ? StreetKind::Passage
                                : k % 3 == 1 ? StreetKind::Lane
                                             : StreetKind::Street;
        const int16_t type = isBoulevard                  ? kBoulevardType
                             : kind == StreetKind::Street ? kStreetType
                                                          : kLaneType;
        const int32_t street = newStreet(kind, pieces, type);
        SideNumbers odd{1}, even{2};
        for (int j = 0; j < nh; ++j) {
            if (!park[size_t((k - 1) * nh + j)])
                houseRow(street, false, vx(k), -1, hy(j) + corner, hy(j + 1) - corner, odd);
            if (!park[size_t(k * nh + j)])
                houseRow(street, false, vx(k), +1, hy(j) + corner, hy(j + 1) - corner, even);
        }
    }

    // Organisations in the yards of some blocks.
    for (int n = rng_.range(4, 8); n > 0; --n) {
        const int i = rng_.range(0, nv - 1), j = rng_.range(0, nh - 1);
        if (park[size_t(i * nh + j)]) continue;
        const double cx = (vx(i) + vx(i + 1)) / 2 + rng_.range(-15, 15);
        const double cy = (hy(j) + hy(j + 1)) / 2 + rng_.range(-15, 15);
        if (blocked(cx, cy, 20)) continue;
        const int kind = rng_.range(0, kOrganisationKinds - 1);
        const QString number = QString::number(++organisationNumbers_[kind]);
        NameData org;
        org.name = u(kOrganisations[kind].full).arg(number);
        org.shortName = u(kOrganisations[kind].brief).arg(number);
        org.parentClass = kDistrictClass;
        org.parentRecord = districtRecord;
        const int32_t record = addName(kOrganisationClass, org);
        MapObjectData icon = shape(int16_t(kPharmacyType + kind),
                                   {QPoint(int(std::lround(cx)), int(std::lround(cy)))}, 1);
        icon.iconNumber = kind + 1;
        addNamedObject(kOrganisationClass, record, kOrganisationLayer, std::move(icon));
    }
}

void CityBuilder::finishHouseClasses() {
    const int first = kFirstHouseClass, last = int(d_.tables.classes.size()) - 1;
    if (last == first) return;
    for (int c = first; c <= last; ++c) {
        const int k = c - first + 1;
        d_.tables.classes[size_t(c)].className = u("Дома %1").arg(k);
        d_.tables.classes[size_t(c)].baseName = QStringLiteral("doma%1").arg(k);
    }
}

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

    // One sample of the rotated test text, in the centre.
    MapObjectData sample;
    sample.typeIndex = kSampleType;
    sample.x1 = int32_t(ringX_) - 300;
    sample.y1 = int32_t(ringY_) + 200;
    sample.x2 = int32_t(ringX_) + 100;
    sample.y2 = int32_t(ringY_) + 50;
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

}  // namespace

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
