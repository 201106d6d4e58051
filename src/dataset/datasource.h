// Where the data of a dataset came from and what its licence asks for:
// "urbica.src" in the data folder, a file the map readers never look at. A
// dataset made from OpenStreetMap carries it, and the viewer then shows the
// notice on the map, in pictures and prints and in the About box. A dataset
// without it (the demo city) shows nothing of the kind.
//
// The file is UTF-8 text, one "key value" a line: the first line
// "urbica-source 1", then "source", "notice", "licence" and "url". Keys a
// reader does not know are skipped.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace urbica {

inline const char kDataSourceFile[] = "urbica.src";

struct DataSource {
    QString source;   // "OpenStreetMap"
    QString notice;   // what the map shows: "© участники OpenStreetMap"
    QString licence;  // "ODbL 1.0"
    QString url;      // where the licence and the contributors are named
};

// The source of a dataset imported from OpenStreetMap.
DataSource openStreetMapSource();

// "© участники OpenStreetMap, лицензия ODbL 1.0: https://…", one line.
QString dataSourceLine(const DataSource& src);

QByteArray encodeDataSource(const DataSource& src);
// Nothing when the bytes are no source file or name no notice (problem says why).
std::optional<DataSource> parseDataSource(const QByteArray& bytes, QString* problem = nullptr);
// The data folder's source; nothing when the folder has none (problem stays
// empty) or the file is damaged (problem says why).
std::optional<DataSource> readDataSource(const QString& dataDirectory, QString* problem = nullptr);

}  // namespace urbica
