#include "dataset/listmodel.h"

#include <algorithm>

#include "dataset/binary.h"
#include "dataset/listorder.h"
#include "dataset/textfold.h"

namespace urbica {

QByteArray listSortKey(const QString& text) {
    QByteArray key = upperToCp1251(text);
    // A whole name in other letters sorts as the name the files keep for it:
    // its letters folded into Windows-1251 ones.
    if (key.contains('?') && !text.contains(u'?')) key = upperToCp1251(foldToCp1251(text));
    // Ё goes with Е, as in a Russian dictionary; every other code keeps its place.
    for (char *p = key.data(), *end = p + key.size(); p != end; ++p)
        if (*p == char(0xA8)) *p = char(0xC5);
    return key;
}

namespace {

int compareKeys(const QByteArray& a, const QByteArray& b) {
    // QByteArray compares as unsigned bytes, shorter first on a common beginning.
    return a.compare(b);
}

}  // namespace

int compareListTexts(const QString& a, const QString& b) {
    return compareKeys(listSortKey(a), listSortKey(b));
}

bool ListModel::before(const Entry& a, const Entry& b) {
    if (a.group != b.group) return a.group < b.group;
    return a.group >= 0 && compareKeys(a.key, b.key) < 0;
}

ListModel::ListModel(bool sorted, QObject* parent) : QAbstractListModel(parent), sorted_(sorted) {}

void ListModel::clear() {
    beginResetModel();
    items_.clear();
    endResetModel();
    setCurrentIndex(-1);
}

int ListModel::addItem(const QString& text, qint64 data) {
    Entry e{text, data, listSortKey(text)};
    int pos = count();
    if (sorted_) {
        auto it = std::upper_bound(items_.begin(), items_.end(), e, before);
        pos = int(it - items_.begin());
    }
    beginInsertRows(QModelIndex(), pos, pos);
    items_.insert(items_.begin() + pos, std::move(e));
    endInsertRows();
    if (current_ >= pos) setCurrentIndex(current_ + 1);
    return pos;
}

void ListModel::addItems(std::vector<Item> items) {
    if (items.empty()) return;
    const size_t old = items_.size();
    beginResetModel();
    items_.reserve(old + items.size());
    // The new entries in their order, then merged with the old ones.
    KeyedItems added = inListOrder(std::move(items), sorted_);
    for (size_t i = 0; i < added.items.size(); ++i)
        items_.push_back(Entry{std::move(added.items[i].text), added.items[i].data,
                               std::move(added.keys[i]), added.items[i].group});
    int newCurrent = current_;
    if (sorted_) {
        // Remember the current entry by its position among equal keys: the
        // merge keeps old entries ahead of new equal ones, so it moves only by
        // the count of new entries that sort strictly before it.
        qint64 shift = 0;
        if (current_ >= 0) {
            const Entry& ce = items_[size_t(current_)];
            for (size_t i = old; i < items_.size(); ++i)
                if (before(items_[i], ce)) ++shift;
        }
        std::inplace_merge(items_.begin(), items_.begin() + qsizetype(old), items_.end(), before);
        if (current_ >= 0) newCurrent = int(current_ + shift);
    }
    endResetModel();
    current_ = -2;  // force the signal after the reset
    setCurrentIndex(newCurrent);
}

ListModel::KeyedItems ListModel::inListOrder(std::vector<Item> items, bool sorted) {
    KeyedItems out;
    out.keys.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) out.keys[i] = listSortKey(items[i].text);
    if (!sorted) {
        out.items = std::move(items);
        return out;
    }
    std::vector<QByteArray> keys = std::move(out.keys);
    out.items.reserve(items.size());
    out.keys.clear();
    out.keys.reserve(items.size());
    std::vector<uint32_t> order = keyOrder(keys);
    // Groups apart, each in its order: by key, or as added below group 0.
    if (std::any_of(items.begin(), items.end(), [](const Item& i) { return i.group != 0; })) {
        std::vector<uint32_t> byGroup;
        for (uint32_t i = 0; i < items.size(); ++i)
            if (items[i].group < 0) byGroup.push_back(i);
        for (uint32_t i : order)
            if (items[i].group >= 0) byGroup.push_back(i);
        std::stable_sort(byGroup.begin(), byGroup.end(),
                         [&](uint32_t a, uint32_t b) { return items[a].group < items[b].group; });
        order = std::move(byGroup);
    }
    for (uint32_t i : order) {
        out.items.push_back(std::move(items[i]));
        out.keys.push_back(std::move(keys[i]));
    }
    return out;
}

void ListModel::addItemsInOrder(std::vector<Item> items, std::vector<QByteArray> keys) {
    Q_ASSERT(items_.empty() && keys.size() == items.size());
    if (items.empty()) return;
    beginResetModel();
    items_.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        items_.push_back(
            Entry{std::move(items[i].text), items[i].data, std::move(keys[i]), items[i].group});
    Q_ASSERT(!sorted_ || std::is_sorted(items_.begin(), items_.end(), before));
    endResetModel();
    current_ = -2;  // force the signal after the reset
    setCurrentIndex(-1);
}

void ListModel::setCurrentIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    if (index == current_) return;
    current_ = index;
    Q_EMIT currentIndexChanged(index);
}

void ListModel::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Q_EMIT visibleChanged(visible);
}

int ListModel::prefixPosition(const QString& typed) const {
    if (items_.empty()) return -1;
    const QByteArray t = listSortKey(typed);
    // "я" upper-cased, as the entry and its sentinel are compared in upper case.
    const char sentinel = char(0xDF);
    const int last = count() - 1;
    int j = 0;
    QByteArray probe;
    while (j < last) {
        const QByteArray& k = items_[size_t(j)].key;
        probe.resize(0);
        probe.reserve(k.size() + 1);
        probe.append(k).append(sentinel);
        if (compareKeys(t, probe) <= 0) break;
        ++j;
    }
    return j;
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= count()) return {};
    const Entry& e = items_[size_t(index.row())];
    if (role == Qt::DisplayRole) return e.text;
    if (role == Qt::UserRole) return e.data;
    return {};
}

}  // namespace urbica
