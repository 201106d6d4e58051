#include "dataset/sametexts.h"

#include <QHash>

#include "dataset/listmodel.h"

namespace urbica {

namespace {

QString suffixOfParent(const NameContext& ctx, int parentClass, int32_t parentRecord) {
    if (parentRecord <= 0) return {};
    const QString parent = objectName(ctx, parentClass, parentRecord, false);
    return parent.isEmpty() ? QString() : QStringLiteral(" (") + parent + QLatin1Char(')');
}

QString parentSuffix(const NameContext& ctx, const NamedObject& o) {
    NameRecord r;
    if (!readNameRecord(ctx, o.classNumber, o.record, r)) return {};
    return suffixOfParent(ctx, r.parentClass, r.parentRecord);
}

// Blank padding of a stored name stays out of the way.
void appendSuffix(QString& text, const QString& suffix) {
    if (suffix.isEmpty()) return;
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    text += suffix;
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
        ListModel::Item item{list.text(i), list.itemData(i), list.group(i)};
        if (uses.value(item.text) > 1) {
            const NamedObject o = recordsOfClass > 0
                                      ? NamedObject{recordsOfClass, int32_t(item.data)}
                                      : decodeItemKey(item.data);
            appendSuffix(item.text, parentSuffix(ctx, o));
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

bool distinguishSameTexts(const NameContext& ctx, std::vector<ListModel::Item>& items,
                          const std::vector<NamedObject>& parents) {
    QHash<QString, int> uses;
    bool same = false;
    for (const ListModel::Item& item : items) same = ++uses[item.text] > 1 || same;
    if (!same) return false;

    const FileCache::Pass pass(ctx.files);
    QHash<qint64, QString> suffixes;  // by the parent's class and record
    bool changed = false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (uses.value(items[i].text) < 2) continue;
        const NamedObject& p = parents[i];
        if (p.record <= 0) continue;
        const qint64 key = (qint64(p.classNumber) << 32) | qint64(uint32_t(p.record));
        auto it = suffixes.constFind(key);
        if (it == suffixes.constEnd())
            it = suffixes.insert(key, suffixOfParent(ctx, p.classNumber, p.record));
        if (it->isEmpty()) continue;
        appendSuffix(items[i].text, *it);
        changed = true;
    }
    return changed;
}

}  // namespace urbica
