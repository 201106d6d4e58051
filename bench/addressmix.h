// Addresses taken from a dataset's own streets for the geocoding timings:
// "street<TAB>house" lines as `urbica-find addresses` writes them, every
// third one typed in one line instead ("Город, Садовая улица, д. 12к2",
// "садовая улица 12к2", "Садовая улица 12 корп. 2"), and the geocoding of
// one address as urbica-find does it (match, name and centre of the house).
#pragma once

#include <QStringList>
#include <algorithm>

#include "search/addressmatch.h"
#include "view/appstate.h"
#include "view/locate.h"

namespace urbica::bench {

inline QStringList addressMix(const NameContext& ctx, int count) {
    const ClassNames names(ctx, ctx.catalogue.streetClass);
    std::vector<std::pair<QString, HouseEntry>> all;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        std::vector<HouseEntry> houses;
        if (!readStreetHouses(ctx, n, houses)) continue;
        for (const HouseEntry& h : houses) all.emplace_back(names.shortName(n).trimmed(), h);
    }
    QStringList out;
    if (all.empty()) return out;
    const size_t step = std::max<size_t>(1, all.size() / size_t(count));
    for (int i = 0; i < count; ++i) {
        const auto& [street, h] = all[(size_t(i) * step) % all.size()];
        qsizetype digits = 0;
        while (digits < h.number.size() && h.number[digits].isDigit()) ++digits;
        QString house = h.number.left(digits);
        if (!h.fraction.isEmpty()) house += u'/' + h.fraction;
        const QString letter = h.number.mid(digits);
        if (i % 3 != 0) {
            if (!h.building.isEmpty()) house += u'к' + h.building;
            if (!letter.isEmpty()) house += QStringLiteral(" лит") + letter;
            out << street + u'\t' + house;
            continue;
        }
        house += letter;
        switch (i / 3 % 3) {
            case 0:
                if (!h.building.isEmpty()) house += u'к' + h.building;
                out << QStringLiteral("Город, %1, д. %2").arg(street, house);
                break;
            case 1:
                if (!h.building.isEmpty()) house += QStringLiteral(" к ") + h.building;
                out << street.toLower() + u' ' + house;
                break;
            default:
                if (!h.building.isEmpty()) house += QStringLiteral(" корп. ") + h.building;
                out << street + u' ' + house;
        }
    }
    return out;
}

// One address as urbica-find geocode reads it; true when a house was found.
inline bool geocodeOne(const AppState& s, const AddressIndex& index, const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    std::vector<AddressHit> hits;
    if (tab >= 0) {
        if (const auto q = houseQueryFromText(line.mid(tab + 1)))
            hits = findAddress(index, line.left(tab), *q);
    } else {
        hits = findAddress(index, line);
    }
    if (hits.empty()) return false;
    ObjectBox box;
    const QString name = objectName(s.names(), hits[0].houseClass, hits[0].houseRecord, true);
    return namedObjectBox(s, hits[0].houseClass, hits[0].houseRecord, box) && !name.isEmpty();
}

}  // namespace urbica::bench
