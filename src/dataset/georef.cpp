#include "dataset/georef.h"

#include <QFileInfo>
#include <QHash>
#include <QList>
#include <cmath>

#include "dataset/datafile.h"

namespace urbica {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr char kHeader[] = "urbica-geo 1";
constexpr qint64 kMaxFileSize = 4096;

QByteArray number(double v) { return QByteArray::number(v, 'g', 17); }

}  // namespace

double GeoReference::cosLat0() const { return std::cos(lat0 * kPi / 180); }
double GeoReference::projectX(double lon, double cosLat0) const {
    return (lon - lon0) * kPi / 180 * radius * cosLat0;
}
double GeoReference::projectY(double lat) const { return (lat0 - lat) * kPi / 180 * radius; }

QPoint GeoReference::toMap(double lat, double lon, double cosLat0) const {
    const QPointF p((projectX(lon, cosLat0) - minX) / metresPerUnit,
                    (projectY(lat) - minY) / metresPerUnit);
    return QPoint(int(std::lround(p.x())) + margin, int(std::lround(p.y())) + margin);
}

QPointF GeoReference::toMapF(double lat, double lon) const {
    return QPointF((projectX(lon) - minX) / metresPerUnit + margin,
                   (projectY(lat) - minY) / metresPerUnit + margin);
}

void GeoReference::toLatLon(double x, double y, double& lat, double& lon) const {
    const double east = (x - margin) * metresPerUnit + minX;
    const double south = (y - margin) * metresPerUnit + minY;
    lat = lat0 - south / (kDegree * radius);
    lon = lon0 + east / (kDegree * radius * std::cos(lat0 * kDegree));
}

QByteArray encodeGeoReference(const GeoReference& g) {
    QByteArray out(kHeader);
    out += "\nprojection equirectangular\n";
    out += "lon0 " + number(g.lon0) + '\n';
    out += "lat0 " + number(g.lat0) + '\n';
    out += "radius " + number(g.radius) + '\n';
    out += "minx " + number(g.minX) + '\n';
    out += "miny " + number(g.minY) + '\n';
    out += "margin " + QByteArray::number(g.margin) + '\n';
    out += "metres-per-unit " + number(g.metresPerUnit) + '\n';
    return out;
}

std::optional<GeoReference> parseGeoReference(const QByteArray& bytes, QString* problem) {
    auto bad = [&](const QString& why) -> std::optional<GeoReference> {
        if (problem)
            *problem = QStringLiteral("Файл привязки %1 повреждён: %2")
                           .arg(QLatin1String(kGeoReferenceFile), why);
        return std::nullopt;
    };
    if (bytes.size() > kMaxFileSize) return bad(QStringLiteral("слишком длинный"));
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.front().trimmed() != kHeader)
        return bad(QStringLiteral("нет заголовка"));
    QHash<QByteArray, QByteArray> values;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0) return bad(QStringLiteral("строка %1 не читается").arg(i + 1));
        values.insert(line.left(blank), line.mid(blank + 1).trimmed());
    }
    if (values.value("projection") != "equirectangular")
        return bad(QStringLiteral("неизвестная проекция"));
    auto read = [&](const char* key, double& out, double low, double high) {
        bool ok = false;
        const double v = values.value(key).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < low || v > high) return false;
        out = v;
        return true;
    };
    GeoReference g;
    double margin = 0;
    if (!read("lon0", g.lon0, -180, 180) || !read("lat0", g.lat0, -85, 85) ||
        !read("radius", g.radius, 1e6, 1e8) || !read("minx", g.minX, -1e9, 1e9) ||
        !read("miny", g.minY, -1e9, 1e9) || !read("margin", margin, -1e7, 1e7) ||
        !read("metres-per-unit", g.metresPerUnit, 1e-6, 1e6) || margin != std::floor(margin))
        return bad(QStringLiteral("нет или неверно значение"));
    g.margin = int32_t(margin);
    return g;
}

std::optional<GeoReference> readGeoReference(const QString& dataDirectory, QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kGeoReferenceFile));
    if (!QFileInfo::exists(path)) return std::nullopt;
    DataFile file(path);
    if (!file.isOpen() || file.size() > kMaxFileSize) {
        if (problem) *problem = QStringLiteral("Файл привязки %1 не читается").arg(path);
        return std::nullopt;
    }
    QByteArray bytes;
    if (!file.readAt(0, file.size(), bytes)) {
        if (problem) *problem = QStringLiteral("Файл привязки %1 не читается").arg(path);
        return std::nullopt;
    }
    return parseGeoReference(bytes, problem);
}

double distanceMetres(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kDegree, p2 = lat2 * kDegree;
    const double dp = (lat2 - lat1) * kDegree, dl = (lon2 - lon1) * kDegree;
    const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                     std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * 6371008.8 * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace urbica
