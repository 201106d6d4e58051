// Small OpenStreetMap XML documents written by the importer's tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>

namespace urbica::osmtest {

inline bool writeText(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A small OSM file around (55.75 N, 37.6 E); body holds the elements.
inline QByteArray osm(const QByteArray& body) {
    return "<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6' generator='test'>\n" + body +
           "</osm>\n";
}
inline QByteArray node(int id, double lat, double lon, const QByteArray& tags = {}) {
    return QStringLiteral("<node id='%1' version='1' lat='%2' lon='%3'>")
               .arg(id)
               .arg(lat, 0, 'f', 7)
               .arg(lon, 0, 'f', 7)
               .toUtf8() +
           tags + "</node>\n";
}
inline QByteArray way(int id, std::initializer_list<int> refs, const QByteArray& tags) {
    QByteArray w = QStringLiteral("<way id='%1' version='1'>").arg(id).toUtf8();
    for (int r : refs) w += QStringLiteral("<nd ref='%1'/>").arg(r).toUtf8();
    return w + tags + "</way>\n";
}
inline QByteArray tag(const char* k, const char* v) {
    return QByteArray("<tag k='") + k + "' v='" + v + "'/>";
}

}  // namespace urbica::osmtest
