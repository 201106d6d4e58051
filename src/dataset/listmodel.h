// A list of texts with a number attached to each entry, as the search dialogs
// show them: either kept sorted or in the order of adding, with a current entry
// and a shown/hidden state. It holds no widget; a view shows it through the
// item model interface (display text, and the item data under Qt::UserRole).
//
// Sorted lists and the positioning while the user types agree on one order:
// the texts upper-cased and put into Windows-1251, with Ё read as Е, compared
// byte by byte.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace urbica {

// The order of sorted lists: sortKey(a) < sortKey(b) byte-wise.
QByteArray listSortKey(const QString& text);
// <0, 0, >0 as a sorts before, with or after b.
int compareListTexts(const QString& a, const QString& b);

class ListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // group: a sorted list keeps its entries in groups, lower numbers first;
    // the entries of a group below 0 stay in the order they were added (the
    // places nearest first), those of group 0 and above are sorted (the name
    // matches, then those one typo away). An unsorted list ignores it.
    struct Item {
        QString text;
        qint64 data = 0;
        int group = 0;
    };

    explicit ListModel(bool sorted = false, QObject* parent = nullptr);

    bool isSorted() const { return sorted_; }
    int count() const { return int(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    const QString& text(int index) const { return items_[size_t(index)].text; }
    qint64 itemData(int index) const { return items_[size_t(index)].data; }
    int group(int index) const { return items_[size_t(index)].group; }
    // listSortKey of the entry's text, one byte a character.
    const QByteArray& sortKey(int index) const { return items_[size_t(index)].key; }

    void clear();
    // Adds one entry; a sorted list puts it after the entries that compare
    // equal to it. Returns the entry's index.
    int addItem(const QString& text, qint64 data);
    // Adds many entries at once, as addItem one after another would.
    void addItems(std::vector<Item> items);
    // Fills an empty list with entries that are already in its order (in a
    // sorted list, the order addItems would give them), keys[i] being
    // listSortKey(items[i].text).
    void addItemsInOrder(std::vector<Item> items, std::vector<QByteArray> keys);
    // The entries with their keys in the order a list gives them: a sorted one
    // by key, equal keys as they came; any other as they came. It touches no
    // list, so it may run on any thread.
    struct KeyedItems {
        std::vector<Item> items;
        std::vector<QByteArray> keys;
    };
    static KeyedItems inListOrder(std::vector<Item> items, bool sorted);

    // The current (selected) entry, -1 for none.
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // Called by long fills so that the window stays responsive; nothing by default.
    void setPendingEvents(std::function<void()> callback) { pendingEvents_ = std::move(callback); }
    void letEventsRun() const {
        if (pendingEvents_) pendingEvents_();
    }

    // Where typing puts the selection: from the first entry, the first one
    // that the typed text does not pass, where the text passes an entry when
    // it sorts after the entry followed by "я". With a text beyond every
    // entry it is the last entry; -1 for an empty list.
    int prefixPosition(const QString& typed) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void currentIndexChanged(int index);
    void visibleChanged(bool visible);

private:
    struct Entry {
        QString text;
        qint64 data = 0;
        QByteArray key;
        int group = 0;
    };
    static bool before(const Entry& a, const Entry& b);

    bool sorted_;
    bool visible_ = true;
    int current_ = -1;
    std::vector<Entry> items_;
    std::function<void()> pendingEvents_;
};

}  // namespace urbica
