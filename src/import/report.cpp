#include "classify.h"
#include "osmimport.h"

namespace urbica::osmimport {

QStringList reportLines(const ImportResult& r) {
    QStringList lines;
    const Tables& t = r.data.tables;
    const ImportReport& rep = r.report;
    lines << u("прочитано: точек %1, линий %2, отношений %3 за %4 с")
                 .arg(rep.nodes)
                 .arg(rep.ways)
                 .arg(rep.relations)
                 .arg(rep.seconds, 0, 'f', 1);
    if (rep.cityAreaSource == 1)
        lines << u("рамка города: область выгрузки из файла");
    else if (rep.cityAreaSource == 2)
        lines << u("рамка города: где лежат почти все адреса и названия");
    lines << u("слои (объектов карты):");
    for (size_t l = 1; l < t.layers.size() && l < rep.layerObjects.size(); ++l)
        lines << u("  %1: %2").arg(t.layers[l].layerName).arg(rep.layerObjects[l]);
    lines << u("классы (именованных объектов):");
    for (size_t c = 1; c < t.classes.size() && c < rep.classRecords.size(); ++c)
        lines << u("  %1: %2").arg(t.classes[c].className).arg(rep.classRecords[c]);
    lines << u("площади: из линий %1, из мультиполигонов %2 (отношений-мультиполигонов %3)")
                 .arg(rep.areasFromWays)
                 .arg(rep.areasFromRelations)
                 .arg(rep.multipolygonRelations);
    if (rep.multipolygonRelations > rep.areasFromRelations)
        lines << u("пропущено: мультиполигоны неполные или не собранные: %1")
                     .arg(rep.multipolygonRelations - rep.areasFromRelations);
    if (rep.addressesFromParts)
        lines << u("адреса объектов без площади (линии, неполные мультиполигоны), "
                   "поставлены по их точкам: %1")
                     .arg(rep.addressesFromParts);
    if (rep.interpolatedHouses)
        lines << u("дома между концами линий интерполяции адресов, поставлены вдоль них: %1")
                     .arg(rep.interpolatedHouses);
    for (const auto& [why, count] : rep.skipped)
        lines << u("пропущено: %1: %2").arg(why).arg(count);
    lines << u("другие имена объектов для поиска: %1").arg(r.data.searchNames.size());
    lines << u("места по видам (аптеки, кафе, банкоматы …): %1").arg(r.data.kindPlaces.size());
    if (!r.data.displayNames.empty())
        lines << u("полные названия для показа (буквы вне 1251 или сокращённые): %1")
                     .arg(r.data.displayNames.size());
    if (rep.inexactHouseNumbers)
        lines << u("номера домов, разобранные не полностью: %1").arg(rep.inexactHouseNumbers);
    if (rep.text.replacedCharacters)
        lines << u("символы вне кодировки 1251, заменены близкими буквами: %1")
                     .arg(rep.text.replacedCharacters);
    if (rep.text.unknownCharacters)
        lines << u("символы без замены, записаны как «?»: %1").arg(rep.text.unknownCharacters);
    if (rep.text.shortenedStreets)
        lines << u("названия улиц, сокращённые до 32 знаков: %1").arg(rep.text.shortenedStreets);
    if (rep.text.cutTexts)
        lines << u("тексты, обрезанные по длине поля: %1").arg(rep.text.cutTexts);
    if (r.data.source) lines << u("данные: %1").arg(dataSourceLine(*r.data.source));
    return lines;
}

}  // namespace urbica::osmimport
