// The address commands of urbica-find: one address typed in one line, batch
// geocoding, every address of the dataset, and the house at a point.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

#include "findsession.h"
#include "findtool.h"
#include "view/locate.h"

namespace urbica::findtool {

namespace {

constexpr double kReverseMetres = 100;

QString notAnAddress() { return QStringLiteral("не разобран адрес (нужны улица и номер дома)"); }

// The houses of one geocode line: "street<TAB>house" or an address in one
// line. bad says why the line is no address; problem why a street could not be read.
std::vector<AddressHit> lineHits(const AddressIndex& index, const QString& text, QString& bad,
                                 QString& problem) {
    const qsizetype tab = text.indexOf(u'\t');
    if (tab < 0) {
        const std::vector<AddressReading> readings = readAddressLine(text);
        if (readings.empty()) bad = notAnAddress();
        return bad.isEmpty() ? findAddress(index, readings, &problem) : std::vector<AddressHit>{};
    }
    const QString streetText = text.left(tab).trimmed();
    const std::optional<HouseQuery> query = houseQueryFromText(text.mid(tab + 1));
    if (streetText.isEmpty())
        bad = QStringLiteral("не указана улица");
    else if (!query)
        bad = QStringLiteral("не разобран номер дома");
    if (!bad.isEmpty()) return {};
    return findAddress(index, streetText, *query, &problem);
}

}  // namespace

int Session::address(const QStringList& rest) {
    const Args a = parseArgs(rest, {}, {});
    if (!a.bad.isEmpty() || a.positional.isEmpty()) {
        o.error(a.bad.isEmpty() ? QStringLiteral("address: нужен АДРЕС") : a.bad);
        return kBadUse;
    }
    const std::shared_ptr<const AddressIndex> index = addressIndex();
    if (!index) return kBadUse;
    const std::vector<AddressReading> readings = readAddressLine(a.positional.join(u' '));
    if (readings.empty()) {
        o.error(notAnAddress());
        return kNotFound;
    }
    QString error;
    const std::vector<AddressHit> hits = findAddress(*index, readings, &error);
    if (!error.isEmpty()) o.error(error);
    for (const AddressHit& h : hits) print(describe(h.houseClass, h.houseRecord));
    return hits.empty() ? kNotFound : kFound;
}

int Session::geocode(const QStringList& rest, QIODevice& in) {
    const Args a = parseArgs(rest, {}, {});
    if (!a.bad.isEmpty() || a.positional.size() != 1) {
        o.error(a.bad.isEmpty() ? QStringLiteral("geocode: нужен ФАЙЛ или -") : a.bad);
        return kBadUse;
    }
    if (!streetClassOk()) return kBadUse;
    QFile file;
    QIODevice* source = &in;
    if (a.positional[0] != QLatin1String("-")) {
        file.setFileName(a.positional[0]);
        if (!file.open(QIODevice::ReadOnly)) {
            o.error(QStringLiteral("Не удалось открыть %1: %2")
                        .arg(a.positional[0], file.errorString()));
            return kBadUse;
        }
        source = &file;
    }
    const std::shared_ptr<const AddressIndex> index = addressIndex();
    if (!index) return kBadUse;
    int placed = 0;
    int64_t lineNumber = 0;
    auto report = [&](const QString& what, const QString& message) {
        if (!message.isEmpty())
            o.error(QStringLiteral("строка %1: %2").arg(lineNumber).arg(message));
        if (o.json) {
            QJsonObject j{{QStringLiteral("line"), qint64(lineNumber)},
                          {QStringLiteral("match"), what}};
            if (!message.isEmpty()) j.insert(QStringLiteral("error"), message);
            o.line(QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
        } else {
            o.line(QString::number(lineNumber) + u'\t' + what);
        }
    };
    const QString error = QStringLiteral("error");
    // The batch is one search: the files' stamps are looked at once.
    const FileCache::Pass pass(&state.files);
    while (!source->atEnd()) {
        QByteArray raw = source->readLine();
        ++lineNumber;
        while (raw.endsWith('\n') || raw.endsWith('\r')) raw.chop(1);
        if (raw.trimmed().isEmpty()) continue;
        if (raw.size() > kMaxAddressLength * 4) {
            report(
                error,
                QStringLiteral("строка длиннее %1 байт, это не адрес").arg(kMaxAddressLength * 4));
            continue;
        }
        const std::optional<QString> text = decodeUtf8(raw);
        if (!text) {
            report(error, QStringLiteral("текст не в кодировке UTF-8"));
            continue;
        }
        QString bad, problem;
        const std::vector<AddressHit> hits = lineHits(*index, *text, bad, problem);
        if (!bad.isEmpty()) {
            report(error, bad);
            continue;
        }
        if (hits.empty()) {
            report(QStringLiteral("not found"), problem);
            continue;
        }
        ++placed;
        const AddressHit& best = hits.front();
        print(describe(best.houseClass, best.houseRecord),
              {{QStringLiteral("line"), QString::number(lineNumber)},
               {QStringLiteral("match"),
                best.exact ? QStringLiteral("exact") : QStringLiteral("nearest")}});
    }
    return placed > 0 ? kFound : kNotFound;
}

// Every house of every street as a geocode line, for batches to try and time.
int Session::addresses(const QStringList& rest) {
    if (!rest.isEmpty()) {
        o.error(QStringLiteral("addresses: без аргументов"));
        return kBadUse;
    }
    if (!streetClassOk() || !classFilesOk(state.catalogue.streetClass)) return kBadUse;
    const NameContext c = ctx();
    ClassNames names(c, state.catalogue.streetClass);
    if (!names.ok()) {
        o.error(names.error());
        return kBadUse;
    }
    int64_t count = 0;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        std::vector<HouseEntry> all;
        if (!readStreetHouses(c, n, all)) continue;
        const QString street = names.shortName(n).trimmed();
        for (const HouseEntry& h : all) {
            const qsizetype digits = [&] {
                qsizetype d = 0;
                while (d < h.number.size() && h.number[d].isDigit()) ++d;
                return d;
            }();
            QString house = h.number.left(digits);
            if (!h.fraction.isEmpty()) house += u'/' + h.fraction;
            if (!h.building.isEmpty()) house += u'к' + h.building;
            if (!h.structure.isEmpty()) house += u'с' + h.structure;
            if (digits == 0)
                house = h.number;  // a number without digits, e.g. "вл1"
            else if (digits < h.number.size())
                house += QStringLiteral(" лит") + h.number.mid(digits);
            o.line(street + u'\t' + house);
            ++count;
        }
    }
    return count > 0 ? kFound : kNotFound;
}

std::optional<double> parseDegrees(QString s, double limit) {
    s.replace(u',', u'.');
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > limit) return std::nullopt;
    return v;
}

namespace {

// Distance from (x, y) to the box, 0 inside it.
double boxDistance(const ObjectBox& b, double x, double y) {
    const double dx = std::max({double(b.x1) - x, 0.0, x - double(b.x2)});
    const double dy = std::max({double(b.y1) - y, 0.0, y - double(b.y2)});
    return std::hypot(dx, dy);
}

}  // namespace

int Session::at(const QStringList& rest) {
    const Args a = parseArgs(rest, {}, {});
    const std::optional<double> lat = parseDegrees(a.positional.value(0), 90);
    const std::optional<double> lon = parseDegrees(a.positional.value(1), 180);
    if (!a.bad.isEmpty() || a.positional.size() != 2 || !lat || !lon) {
        o.error(a.bad.isEmpty() ? QStringLiteral("at: нужны ШИРОТА (-90..90) и ДОЛГОТА (-180..180)"
                                                 " в градусах")
                                : a.bad);
        return kBadUse;
    }
    QString problem;
    const std::optional<GeoReference> g = readGeoReference(state.settings.dataDirectory, &problem);
    if (!g || !(g->metresPerUnit > 0)) {
        o.error(QStringLiteral("В наборе данных нет проекции (%1), координаты не перевести в "
                               "точку карты")
                    .arg(problem.isEmpty() ? QLatin1String(kGeoReferenceFile) : problem));
        return kBadUse;
    }
    const QPointF p = g->toMapF(*lat, *lon);
    const double limit = kReverseMetres / g->metresPerUnit;
    const NameContext c = ctx();
    const FileCache::Pass pass(c.files);
    int bestClass = 0;
    int32_t bestRecord = 0;
    double best = std::numeric_limits<double>::infinity();
    for (int k = 1; k <= state.tables.classCount(); ++k) {
        if (state.tables.classes[size_t(k)].nameStyle != kHouseNumberStyle) continue;
        const ClassNames names(c, k);
        if (!names.ok()) continue;
        for (int64_t n = 1; n <= names.recordCount(); ++n) {
            if (names.nameRecord(n).mapObjectCount < 1) continue;
            ObjectBox box;
            if (!namedObjectBox(state, k, int32_t(n), box)) continue;
            const double d = boxDistance(box, p.x(), p.y());
            if (d <= limit && d < best) {
                best = d;
                bestClass = k;
                bestRecord = int32_t(n);
            }
        }
    }
    if (bestClass == 0) {
        o.error(QStringLiteral("не найдено: нет дома в пределах %1 м").arg(kReverseMetres));
        return kNotFound;
    }
    print(describe(bestClass, bestRecord));
    return kFound;
}

}  // namespace urbica::findtool
