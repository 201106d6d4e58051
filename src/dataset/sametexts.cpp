#include "dataset/sametexts.h"

#include <QHash>

#include "dataset/listmodel.h"

namespace urbica {

namespace {

QString parentSuffix(const NameContext& ctx, const NamedObject& o) {
    NameRecord r;
    if (!readNameRecord(ctx, o.classNumber, o.record, r) || r.parentRecord <= 0) return {};
    const QString parent = objectName(ctx, r.parentClass, r.parentRecord, false);
    return parent.isEmpty() ? QString() : QStringLiteral(" (") + parent + QLatin1Char(')');
}

}  // namespace

void distinguishSameTexts(const NameContext& ctx, ListModel& list, int recordsOfClass) {
    QHash<QString, int> uses;
    bool same = false;
    for (int i = 0; i < list.count(); ++i) same = ++uses[list.text(i)] > 1 || same;
    if (!same) return;

    const FileCache::Pass pass(ctx.files);
    std::vector<ListModel::Item> items;
    items.reserve(size_t(list.count()));
    for (int i = 0; i < list.count(); ++i) {
        ListModel::Item item{list.text(i), list.itemData(i)};
        if (uses.value(item.text) > 1) {
            const NamedObject o = recordsOfClass > 0
                                      ? NamedObject{recordsOfClass, int32_t(item.data)}
                                      : decodeItemKey(item.data);
            const QString suffix = parentSuffix(ctx, o);
            if (!suffix.isEmpty()) {
                // Blank padding of a stored name stays out of the way.
                while (item.text.endsWith(QLatin1Char(' '))) item.text.chop(1);
                item.text += suffix;
            }
        }
        items.push_back(std::move(item));
    }
    const int current = list.currentIndex();
    const qint64 currentData = current >= 0 ? list.itemData(current) : 0;
    const QString currentText = current >= 0 ? items[size_t(current)].text : QString();
    list.clear();
    list.addItems(std::move(items));
    if (current < 0) return;
    for (int i = 0; i < list.count(); ++i)
        if (list.itemData(i) == currentData && list.text(i) == currentText) {
            list.setCurrentIndex(i);
            break;
        }
}

}  // namespace urbica
