// Small OpenStreetMap XML documents through the importer: tags and names of
// every kind, broken documents, references to nothing. The import either
// fails with a message or makes a dataset that the writer takes and the
// catalogue reader reads back.
#include <QDir>
#include <QRegularExpression>

#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/writer.h"
#include "osmimport.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzOsmXml(const uint8_t* data, size_t size) {
    // libosmium 2.19 reads a coordinate with an exponent ("37.e220") into a
    // signed integer that overflows, inside its own parser. Such documents
    // are left out here; the importer refuses the map they make as too large.
    static const QRegularExpression exponent(QStringLiteral("l(at|on)\\s*=\\s*[\"'][^\"']*[eE]"));
    if (QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size))
            .contains(exponent))
        return 0;
    const QString& dir = targetFolder("osmxml");
    const QString input = dir + QStringLiteral("input.osm");
    putFile(input, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    osmimport::ImportResult result;
    QString error;
    if (!osmimport::importOsm(input, result, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    const QString out = dir + QStringLiteral("city");
    QDir(out).removeRecursively();
    FUZZ_CHECK(writeDataset(result.data, out, &error));
    Settings settings;
    settings.dataDirectory = out + QLatin1Char('/');
    Catalogue catalogue;
    Tables tables;
    FUZZ_CHECK(readCatalogue(settings, catalogue, tables));
    FUZZ_CHECK(catalogue.gridExtent == result.data.catalogue.gridExtent);
    return 0;
}

}  // namespace urbica::fuzz
