// The seven tables (layers, draw and selection orders, types, classes,
// per-class values, icon codes): read whole or refused, every record kept
// byte for byte through a save, and what is saved reads back the same.
#include <QDir>

#include "dataset/datafile.h"
#include "dataset/names.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

QStringList tableFiles() {
    return {QLatin1String(kLayerFile),       QLatin1String(kDrawOrderFile),
            QLatin1String(kSelectOrderFile), QLatin1String(kTypeFile),
            QLatin1String(kClassFile),       QLatin1String(kClassExtraFile),
            QLatin1String(kIconFile)};
}

namespace {

template <typename Record>
void checkRecords(const std::vector<Record>& v, const QByteArray& file) {
    FUZZ_CHECK(!v.empty());
    FUZZ_CHECK(qsizetype(v.size() - 1) == file.size() / Record::kRecordLength);
    for (size_t i = 1; i < v.size(); ++i)
        FUZZ_CHECK(v[i].encode() ==
                   file.mid(qsizetype(i - 1) * Record::kRecordLength, Record::kRecordLength));
}

void checkShorts(const std::vector<int16_t>& v, const QByteArray& file) {
    FUZZ_CHECK(!v.empty() && v[0] == 0);
    FUZZ_CHECK(qsizetype(v.size() - 1) == file.size() / 2);
}

}  // namespace

int fuzzTables(const uint8_t* data, size_t size) {
    const QString& folder = targetFolder("tables");
    const QStringList names = tableFiles();
    const std::vector<QByteArray> parts = splitInput(data, size, int(names.size()));
    putFiles(folder, names, parts);

    Tables t;
    const bool ok = loadTables(folder, t);
    readIconTable(folder, t);
    FUZZ_CHECK(t.iconCodes.size() == t.iconCache.size());
    FUZZ_CHECK(qsizetype(t.iconCodes.size()) == parts[6].size() / 2 + 1);
    const bool allThere = !parts[0].isEmpty() && !parts[1].isEmpty() && !parts[2].isEmpty() &&
                          !parts[3].isEmpty() && !parts[4].isEmpty() && !parts[5].isEmpty();
    FUZZ_CHECK(ok == allThere);
    if (!ok) return 0;
    checkRecords(t.layers, parts[0]);
    checkRecords(t.types, parts[3]);
    checkRecords(t.classes, parts[4]);
    checkShorts(t.drawOrder, parts[1]);
    checkShorts(t.selectOrder, parts[2]);
    FUZZ_CHECK(t.classExtra.size() == t.classes.size());

    for (int l = 1; l <= t.layerCount(); ++l)
        for (float upp : {0.25f, 3.0f, 1e30f}) {
            const int16_t level = viewlevel(t.layers[size_t(l)], upp);
            FUZZ_CHECK(level >= 0 && level <= 3);
        }
    // The classes name their own files; none exist here, which is no fault.
    Catalogue catalogue;
    const NameContext ctx{folder, catalogue, t};
    checkClassKeys(ctx);

    // Saved into a second folder and read again: the same tables.
    const QString copy = folder + QStringLiteral("saved/");
    QDir().mkpath(copy);
    Settings s;
    s.dataDirectory = copy;
    FUZZ_CHECK(saveTables(s, t));
    Tables again;
    FUZZ_CHECK(loadTables(copy, again));
    FUZZ_CHECK(again.layers.size() == t.layers.size() && again.types.size() == t.types.size() &&
               again.classes.size() == t.classes.size());
    for (size_t i = 1; i < t.layers.size(); ++i) FUZZ_CHECK(again.layers[i].raw == t.layers[i].raw);
    for (size_t i = 1; i < t.classes.size(); ++i)
        FUZZ_CHECK(again.classes[i].raw == t.classes[i].raw);
    FUZZ_CHECK(again.drawOrder == t.drawOrder && again.selectOrder == t.selectOrder);
    FUZZ_CHECK(again.classExtra == t.classExtra);
    return 0;
}

}  // namespace urbica::fuzz
