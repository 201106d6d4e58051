// Where an imported map lies on the Earth: the projection from latitude and
// longitude (WGS 84) to map units, stored in the data folder as
// "urbica.geo", a file the map readers never look at. A dataset without it
// (the demo city) has no geographic coordinates.
//
// The projection is equirectangular about a reference point: metres east
// and south of it, shifted so that the map's frame starts at 0 with a
// margin, and divided by the metres one map unit stands for.
//
// The file is UTF-8 text, one "key value" a line: the first line
// "urbica-geo 1", then "projection equirectangular", "lon0", "lat0",
// "radius", "minx", "miny", "margin" and "metres-per-unit".
#pragma once

#include <QByteArray>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <optional>

namespace urbica {

inline const char kGeoReferenceFile[] = "urbica.geo";

struct GeoReference {
    double lon0 = 0, lat0 = 0;  // reference point, degrees
    double radius = 6371008.8;  // of the Earth, metres
    double minX = 0, minY = 0;  // projected metres of the frame's left and top edges
    int32_t margin = 0;         // map units added on the left and top
    double metresPerUnit = 1;

    // Metres east and south of the reference point.
    double projectX(double lon) const { return projectX(lon, cosLat0()); }
    double projectY(double lat) const;
    // The map point of a position, rounded to whole units as the importer stores points.
    QPoint toMap(double lat, double lon) const { return toMap(lat, lon, cosLat0()); }
    // The same with the cosine of lat0 worked out once by a caller that
    // projects many points (to the same bits).
    double cosLat0() const;
    double projectX(double lon, double cosLat0) const;
    QPoint toMap(double lat, double lon, double cosLat0) const;
    QPointF toMapF(double lat, double lon) const;
    // The position of a map point (the inverse of toMapF).
    void toLatLon(double x, double y, double& lat, double& lon) const;
};

QByteArray encodeGeoReference(const GeoReference& geo);
// The reference of the file's bytes; nothing when they do not describe a
// usable projection (problem says why).
std::optional<GeoReference> parseGeoReference(const QByteArray& bytes, QString* problem = nullptr);
// The data folder's reference; nothing when the folder has no file (problem
// stays empty) or the file is damaged (problem says why).
std::optional<GeoReference> readGeoReference(const QString& dataDirectory,
                                             QString* problem = nullptr);

// The distance in metres between two positions (haversine on the mean radius).
double distanceMetres(double lat1, double lon1, double lat2, double lon2);

}  // namespace urbica
