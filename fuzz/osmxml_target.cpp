// Small OpenStreetMap XML documents through the importer: tags and names of
// every kind, broken documents, references to nothing. The import either
// fails with a message or makes a dataset that the writer takes and the
// catalogue reader reads back.
#include <QDir>

#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/writer.h"
#include "osmimport.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzOsmXml(const uint8_t* data, size_t size) {
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
