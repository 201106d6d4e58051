// Houses whose place is estimated: the importer makes the houses between the
// two addressed ends of an OpenStreetMap interpolation line (addr:interpolation)
// and places them along it. They are ordinary house records; this file, which
// the readers of the name files never look at, tells which they are.
//
// The file "urbica.apx" is UTF-8 text: the line "urbica-approximate-houses 1",
// then one line a house, "class<TAB>record", sorted.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <cstdint>
#include <vector>

namespace urbica {

inline const char kApproximateHousesFile[] = "urbica.apx";

struct HouseRef {
    int16_t classNumber = 0;
    int32_t record = 0;
};

// The file's bytes for the houses (sorted, each once).
QByteArray encodeApproximateHouses(std::vector<HouseRef> houses);

// The houses of the data folder's file as (class << 32 | record). A missing
// file gives none; a damaged one (a header, line or number that does not
// read) gives none and the reason in problem.
QSet<qint64> readApproximateHouses(const QString& dataDirectory, QString* problem = nullptr);
// The same from the file's bytes.
QSet<qint64> parseApproximateHouses(const QByteArray& bytes, QString* problem = nullptr);

inline qint64 approximateKey(int classNumber, int32_t record) {
    return (qint64(classNumber) << 32) | qint64(uint32_t(record));
}

}  // namespace urbica
