// urbica.dat beside a small valid set of tables: the catalogue is read or
// refused, the saved indexes end inside the tables, and a rewrite keeps the
// record byte for byte.
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzCatalogue(const uint8_t* data, size_t size) {
    const QString& folder = targetFolder("catalogue");
    static const bool tablesWritten = [&] {
        Settings s;
        s.dataDirectory = folder;
        Tables t = nameTables();
        t.types.resize(4);
        t.layers.resize(3);
        t.drawOrder = {0, 1, 2};
        t.selectOrder = {0, 2, 1};
        return saveTables(s, t);
    }();
    FUZZ_CHECK(tablesWritten);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    putFile(folder + QLatin1String(kCatalogueFile), input);

    Settings settings;
    settings.dataDirectory = folder;
    settings.savedTypeIndex = 7;
    settings.savedClassIndex = 12;
    Catalogue catalogue;
    Tables tables;
    const bool ok = readCatalogue(settings, catalogue, tables);
    if (input.isEmpty()) FUZZ_CHECK(ok && catalogue.gridExtent == 0);
    if (input.size() < Catalogue::kRecordLength) {
        FUZZ_CHECK(input.isEmpty() || !ok);
        return 0;
    }
    FUZZ_CHECK(ok);
    FUZZ_CHECK(settings.savedTypeIndex == 1 && settings.savedClassIndex == 1);
    FUZZ_CHECK(tables.typeCount() == 3 && tables.classCount() == 9);
    FUZZ_CHECK(catalogue.encode() == input.left(Catalogue::kRecordLength));
    return 0;
}

}  // namespace urbica::fuzz
