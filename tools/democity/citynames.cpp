#include "citynames.h"

namespace urbica::democity {

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

}  // namespace urbica::democity
