// urbica-find near: the places of a kind, or the objects of a name, nearest
// first to a point, with the distance in metres.
#include <algorithm>
#include <cmath>

#include "findsession.h"
#include "findtool.h"
#include "search/nearby.h"
#include "search/quickfind.h"
#include "view/locate.h"

namespace urbica::findtool {

namespace {

constexpr int kDefaultLimit = 10;

struct NearArgs {
    QString text;
    std::optional<std::pair<double, double>> at;  // latitude, longitude
    std::optional<std::array<double, 3>> view;    // left, top, width
    int limit = kDefaultLimit;
    QString bad;
};

NearArgs parseNear(const QStringList& list) {
    NearArgs a;
    auto number = [](const QString& s, double& out) {
        bool ok = false;
        out = QString(s).replace(u',', u'.').toDouble(&ok);
        return ok && std::isfinite(out);
    };
    for (qsizetype i = 0; i < list.size() && a.bad.isEmpty(); ++i) {
        const QString& s = list[i];
        if (s == QLatin1String("--at")) {
            const auto lat = parseDegrees(list.value(i + 1), 90);
            const auto lon = parseDegrees(list.value(i + 2), 180);
            if (!lat || !lon || i + 2 >= list.size())
                a.bad = QStringLiteral("--at: нужны ШИРОТА (-90..90) и ДОЛГОТА (-180..180)");
            else
                a.at = std::make_pair(*lat, *lon);
            i += 2;
        } else if (s == QLatin1String("--view")) {
            std::array<double, 3> v{};
            bool ok = i + 3 < list.size();
            for (int k = 0; ok && k < 3; ++k) ok = number(list[i + 1 + k], v[size_t(k)]);
            if (!ok || v[2] <= 0)
                a.bad =
                    QStringLiteral("--view: нужны ЛЕВО, ВЕРХ и ШИРИНА (больше 0) в единицах карты");
            else
                a.view = v;
            i += 3;
        } else if (s == QLatin1String("--limit")) {
            const auto n = parseCount(list.value(i + 1));
            if (!n || *n > 1000000)
                a.bad = QStringLiteral("--limit: нужно число от 1");
            else
                a.limit = int(*n);
            ++i;
        } else if (s.startsWith(QLatin1String("--"))) {
            a.bad = QStringLiteral("неизвестный ключ %1").arg(s);
        } else if (a.text.isEmpty()) {
            a.text = s;
        } else {
            a.bad = QStringLiteral("near: нужен один ТЕКСТ (несколько слов — в кавычках)");
        }
    }
    if (a.bad.isEmpty() && a.text.trimmed().isEmpty()) a.bad = QStringLiteral("near: нужен ТЕКСТ");
    if (a.bad.isEmpty() && a.at && a.view) a.bad = QStringLiteral("near: --at или --view, не оба");
    return a;
}

}  // namespace

int Session::near(const QStringList& rest) {
    const NearArgs a = parseNear(rest);
    if (!a.bad.isEmpty()) {
        o.error(a.bad);
        return kBadUse;
    }
    // The point: a position, the centre of a view (taken square, as its
    // height follows a window), or that of the dataset's start view.
    double x = 0, y = 0;
    if (a.at) {
        if (!geo) {
            o.error(QStringLiteral("В наборе данных нет проекции (%1), координаты не перевести в "
                                   "точку карты")
                        .arg(QLatin1String(kGeoReferenceFile)));
            return kBadUse;
        }
        const QPointF p = geo->toMapF(a.at->first, a.at->second);
        x = p.x(), y = p.y();
    } else if (a.view) {
        x = (*a.view)[0] + (*a.view)[2] / 2;
        y = (*a.view)[1] + (*a.view)[2] / 2;
    } else {
        x = state.catalogue.startX + state.catalogue.startWidth / 2.0;
        y = state.catalogue.startY + state.catalogue.startWidth / 2.0;
    }
    const NameContext c = ctx();
    QString problem;
    const std::vector<NearbyPlace> places = findNearby(c, a.text, x, y, a.limit, &problem);
    if (!problem.isEmpty()) o.error(problem);
    auto distance = [&](double px, double py) {
        if (!geo) return std::hypot(px - x, py - y);
        double lat0, lon0, lat, lon;
        geo->toLatLon(x, y, lat0, lon0);
        geo->toLatLon(px, py, lat, lon);
        return distanceMetres(lat0, lon0, lat, lon);
    };
    auto metres = [](double m) { return QString::number(m, 'f', 1); };
    if (!places.empty()) {
        for (const NearbyPlace& p : places) {
            Found f = p.classNumber > 0 ? describe(p.classNumber, p.record) : Found{};
            if (p.classNumber <= 0) f.name = p.label;
            f.placed = true;
            f.x = p.x, f.y = p.y;
            if (geo) {
                geo->toLatLon(f.x, f.y, f.lat, f.lon);
                f.hasLatLon = true;
            }
            print(f, {{QStringLiteral("distance_m"), metres(p.metres)},
                      {QStringLiteral("kind"), p.label}});
        }
        return kFound;
    }
    // No kind: the objects of the name, as the quick find finds them.
    ListModel found(false);
    QString error;
    if (findByText(c, a.text, found, quickFindClasses(state.tables), nullptr, &error,
                   TextMatch::Anywhere, true) == FillStatus::Failed) {
        o.error(error);
        return kBadUse;
    }
    std::vector<std::pair<double, Found>> named;
    for (int i = 0; i < found.count(); ++i) {
        const NamedObject n = decodeItemKey(found.itemData(i));
        Found f = describe(n.classNumber, n.record);
        if (f.placed) named.emplace_back(distance(f.x, f.y), std::move(f));
    }
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
    if (named.size() > size_t(a.limit)) named.resize(size_t(a.limit));
    for (const auto& [d, f] : named)
        print(f, {{QStringLiteral("distance_m"), metres(d)}, {QStringLiteral("kind"), QString()}});
    return named.empty() ? kNotFound : kFound;
}

}  // namespace urbica::findtool
