#include "search/metro.h"

#include <algorithm>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/fileproblems.h"
#include "dataset/listmodel.h"
#include "dataset/namerecords.h"
#include "dataset/sametexts.h"
#include "dataset/searchnames.h"

namespace urbica {

namespace {

constexpr int kEventsEvery = 1024;

bool metroClassInTable(const NameContext& ctx) {
    const int mc = ctx.catalogue.metroClass;
    return mc >= 1 && mc <= ctx.tables.classCount();
}

QString cannotRead(const QString& path) {
    return QStringLiteral("Не удаётся прочитать файл %1").arg(path);
}

bool readWhole(const QString& path, FileCache* cache, QByteArray& out, QString* error) {
    if (DataFile(path, cache).readAll(out)) return true;
    if (error) *error = cannotRead(path);
    return false;
}

}  // namespace

bool fillMetroList(const NameContext& ctx, ListModel& list, QString* error) {
    list.clear();
    if (!metroClassInTable(ctx)) return true;
    const int mc = ctx.catalogue.metroClass;
    QByteArray index, names;
    const QString indexPath = classFilePath(ctx, mc, ".cl2");
    const QString namePath = classFilePath(ctx, mc, ".cls");
    if (!readWhole(indexPath, ctx.files, index, error) ||
        !readWhole(namePath, ctx.files, names, error))
        return false;
    checkNameFiles(ctx.problems, indexPath, index.size(), namePath, names.size(), PlainNameRecord::kRecordLength);
    // Station names are plain 100-byte records whatever the class's style says.
    const int64_t count = std::min<int64_t>(index.size() / NameRecord::kRecordLength,
                                            names.size() / PlainNameRecord::kRecordLength);
    std::vector<ListModel::Item> items;
    for (int64_t j = 1; j <= count; ++j) {
        const NameRecord rec =
            NameRecord::decode(index.constData() + (j - 1) * NameRecord::kRecordLength);
        if (rec.mapObjectCount <= 0) continue;
        const char* name = names.constData() + (j - 1) * PlainNameRecord::kRecordLength;
        items.push_back({PlainNameRecord::decode(name).name, j});
    }
    list.addItems(std::move(items));
    distinguishSameTexts(ctx, list, mc);
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return true;
}

bool findMetroByText(const NameContext& ctx, const QString& text, ListModel& list, QString* error) {
    list.clear();
    if (!metroClassInTable(ctx)) return true;
    const int mc = ctx.catalogue.metroClass;
    const ClassNames names(ctx, mc);
    if (!names.ok()) {
        if (error) *error = names.error();
        return false;
    }
    const QString wanted = searchKey(text.trimmed());
    // Stations found by another of their names (the local one beside the
    // Russian one, an old name) are listed once, under the name shown.
    std::vector<int64_t> other;
    for (const SearchNames::Entry& e : SearchNames::load(ctx.dataDirectory, ctx.files)->ofClass(mc))
        if (searchKeyMatches(e.key, wanted, TextMatch::Anywhere)) other.push_back(e.record);
    std::vector<ListModel::Item> items;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        if (n % kEventsEvery == 0) list.letEventsRun();
        if (names.nameRecord(n).mapObjectCount <= 0) continue;
        const QString name = names.shortName(n);
        if (searchKeyMatches(searchKey(name), wanted, TextMatch::Anywhere) ||
            std::binary_search(other.begin(), other.end(), n))
            items.push_back({names.displayName(n), n});
    }
    list.addItems(std::move(items));
    distinguishSameTexts(ctx, list, mc);
    return true;
}

}  // namespace urbica
