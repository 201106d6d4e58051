#include "search/nearby.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <tuple>

#include "dataset/georef.h"
#include "dataset/kindplaces.h"
#include "dataset/kinds.h"
#include "dataset/objects.h"

namespace urbica {

namespace {

// Every map object of every layer by its type, for datasets without the kinds file.
struct TypePlaces {
    std::vector<std::vector<NearbyPlace>> ofType;  // index = type number

    static std::shared_ptr<const TypePlaces> make(const NameContext& ctx) {
        auto t = std::make_shared<TypePlaces>();
        t->ofType.resize(size_t(std::max(0, ctx.tables.typeCount())) + 1);
        for (int l = 1; l <= ctx.tables.layerCount(); ++l) {
            LayerFiles files(ctx.dataDirectory, ctx.tables.layers[size_t(l)], 0, ctx.files);
            if (!files.objectsOpen()) continue;
            ObjectRecord r;
            for (int64_t n = 1; n <= INT32_MAX && files.readObject(n, r); ++n) {
                if (r.typeIndex < 1 || r.typeIndex > ctx.tables.typeCount()) continue;
                NearbyPlace p;
                p.layer = l;
                p.object = int32_t(n);
                p.x = (double(r.x1) + r.x2) / 2;
                p.y = (double(r.y1) + r.y2) / 2;
                if (r.nameKind >= 1 && r.nameKind <= ctx.tables.classCount() && r.nameIndex > 0)
                    p.classNumber = r.nameKind, p.record = r.nameIndex;
                t->ofType[size_t(r.typeIndex)].push_back(p);
            }
        }
        return t;
    }
};

std::shared_ptr<const TypePlaces> typePlaces(const NameContext& ctx) {
    const QString key = QStringLiteral("type places ") + ctx.dataDirectory;
    return ctx.files ? ctx.files->derived<TypePlaces>(key, [&] { return TypePlaces::make(ctx); })
                     : TypePlaces::make(ctx);
}

// The types whose name is the wanted key or a word of one of the kinds.
std::vector<int> typesNamed(const NameContext& ctx, const QString& wanted,
                            const std::vector<int>& kinds) {
    std::vector<int> out;
    const KindTable& table = KindTable::builtIn();
    for (int t = 1; t <= ctx.tables.typeCount(); ++t) {
        const QString name = searchKey(ctx.tables.types[size_t(t)].typeName.trimmed());
        if (name.isEmpty()) continue;
        bool named = name == wanted;
        for (int k : table.kindsOfWord(name))
            named = named || std::find(kinds.begin(), kinds.end(), k) != kinds.end();
        if (named) out.push_back(t);
    }
    return out;
}

std::shared_ptr<const KindPlaces> kindPlaces(const NameContext& ctx, QString* problem) {
    std::shared_ptr<const KindPlaces> places = KindPlaces::load(ctx.dataDirectory, ctx.files);
    // A damaged file is read once more for its reason, only when asked.
    if (!places->present() && problem && ctx.files)
        KindPlaces::load(ctx.dataDirectory, nullptr, problem);
    return places;
}

std::optional<GeoReference> geoOf(const NameContext& ctx) {
    // Small and read once per search; kept with the file cache's other derived data.
    const QString key = QStringLiteral("geo reference ") + ctx.dataDirectory;
    auto make = [&]() -> std::shared_ptr<const std::optional<GeoReference>> {
        return std::make_shared<const std::optional<GeoReference>>(
            readGeoReference(ctx.dataDirectory));
    };
    return ctx.files ? *ctx.files->derived<std::optional<GeoReference>>(key, make) : *make();
}

}  // namespace

std::vector<NearbyPlace> findNearby(const NameContext& ctx, const QString& text, double x, double y,
                                    int limit, QString* problem) {
    std::vector<NearbyPlace> all;
    const QString wanted = searchKey(withoutNearbyWords(text));
    if (wanted.isEmpty()) return all;
    const FileCache::Pass pass(ctx.files);
    const KindTable& table = KindTable::builtIn();
    const std::vector<int> kinds = table.kindsOfWord(wanted);
    const std::shared_ptr<const KindPlaces> file = kindPlaces(ctx, problem);
    if (file->present()) {
        for (int k : kinds) {
            const Kind& kind = table.kinds()[size_t(k)];
            for (const KindPlace& p : file->ofKind(kind.tag))
                all.push_back({kind.label, p.classNumber, p.record, p.layer, p.object, double(p.x),
                               double(p.y), 0});
        }
    } else {
        const std::vector<int> types = typesNamed(ctx, wanted, kinds);
        if (types.empty()) return all;
        const std::shared_ptr<const TypePlaces> places = typePlaces(ctx);
        for (int t : types) {
            const QString label = ctx.tables.types[size_t(t)].typeName.trimmed();
            for (NearbyPlace p : places->ofType[size_t(t)]) {
                p.label = label;
                all.push_back(std::move(p));
            }
        }
    }
    // Nearest first on the map, each object once at its nearest place; the
    // distances on the Earth then settle the order of those kept.
    for (NearbyPlace& p : all) p.metres = std::hypot(p.x - x, p.y - y);
    std::sort(all.begin(), all.end(), [](const NearbyPlace& a, const NearbyPlace& b) {
        return a.metres < b.metres ||
               (a.metres == b.metres && std::tie(a.layer, a.object) < std::tie(b.layer, b.object));
    });
    std::set<std::pair<int, int64_t>> seen;
    std::vector<NearbyPlace> out;
    // The projection stretches distances by well under a percent across a
    // city: a few more than asked for are kept so that the Earth's order can
    // only reorder, never lose, the nearest.
    const size_t keep = limit > 0 ? size_t(limit) * 2 + 16 : all.size();
    for (NearbyPlace& p : all) {
        const auto id = p.classNumber > 0 ? std::make_pair(p.classNumber, int64_t(p.record))
                                          : std::make_pair(-p.layer, int64_t(p.object));
        if (!seen.insert(id).second) continue;
        out.push_back(std::move(p));
        if (out.size() >= keep) break;
    }
    if (const std::optional<GeoReference> geo = geoOf(ctx)) {
        double lat0, lon0;
        geo->toLatLon(x, y, lat0, lon0);
        for (NearbyPlace& p : out) {
            double lat, lon;
            geo->toLatLon(p.x, p.y, lat, lon);
            p.metres = distanceMetres(lat0, lon0, lat, lon);
        }
        std::stable_sort(out.begin(), out.end(), [](const NearbyPlace& a, const NearbyPlace& b) {
            return a.metres < b.metres;
        });
    }
    if (limit > 0 && out.size() > size_t(limit)) out.resize(size_t(limit));
    return out;
}

QString distanceText(double metres) {
    if (!std::isfinite(metres) || metres < 0) metres = 0;
    if (std::lround(metres) < 1000) return QStringLiteral("%1 м").arg(std::lround(metres));
    const double km = metres / 1000;
    QString text = km < 9.95 ? QString::number(km, 'f', 1) : QString::number(std::lround(km));
    return text.replace(u'.', u',') + QStringLiteral(" км");
}

std::vector<ListModel::Item> nearbyItems(const NameContext& ctx,
                                         const std::vector<NearbyPlace>& places) {
    std::vector<ListModel::Item> out;
    out.reserve(places.size());
    for (const NearbyPlace& p : places) {
        const bool named = p.classNumber > 0 && itemKeyFits(p.classNumber, p.record);
        const QString name = named ? objectName(ctx, p.classNumber, p.record, false) : QString();
        QString text = p.label;
        // The name alone when it already says what the place is.
        if (!name.isEmpty())
            text = searchKey(name).contains(searchKey(p.label)) ? name : text + u' ' + name;
        text += QStringLiteral(" — ") + distanceText(p.metres);
        out.push_back({text, named ? qint64(itemKey(p.classNumber, p.record))
                                   : mapObjectItemData(p.layer, p.object)});
    }
    return out;
}

qint64 mapObjectItemData(int layer, int32_t object) {
    return -((qint64(layer) << 32) | qint64(uint32_t(object)));
}

bool decodeMapObjectItem(qint64 data, int& layer, int32_t& object) {
    if (data >= 0) return false;
    const qint64 v = -data;
    layer = int(v >> 32);
    object = int32_t(v & 0xFFFFFFFF);
    return layer > 0 && object > 0;
}

}  // namespace urbica
