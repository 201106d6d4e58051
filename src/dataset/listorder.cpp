#include "dataset/listorder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace urbica {

namespace {

// The exchange sort of the lists, on 1-based entries that count only by
// less(). At each gap its passes sort every chain of entries one gap apart,
// and an exchange of neighbours that are out of order never reorders equal
// ones: each chain ends sorted with equal entries in their order before.
// That is what an insertion sort of every chain does too, with far fewer
// steps, so the result is the same entry for entry.
template <class Entry, class Less>
void gapExchangeSort(std::vector<Entry>& e, Less less) {
    const int64_t count = int64_t(e.size()) - 1;
    for (int64_t gap = count / 2 + 1; gap > 0; gap /= 2) {
        for (int64_t j = 1 + gap; j <= count; ++j) {
            Entry x = e[size_t(j)];
            int64_t k = j;
            for (; k - gap >= 1 && less(x, e[size_t(k - gap)]); k -= gap)
                e[size_t(k)] = e[size_t(k - gap)];
            e[size_t(k)] = x;
        }
    }
}

// The first eight bytes of a key as a number that orders as the bytes do;
// keys that share them are told apart by the whole key.
uint64_t keyPrefix(const QByteArray& key) {
    unsigned char b[8] = {};
    std::memcpy(b, key.constData(), size_t(std::min<qsizetype>(key.size(), 8)));
    uint64_t p = 0;
    for (unsigned char c : b) p = (p << 8) | c;
    return p;
}

}  // namespace

std::vector<uint32_t> exchangeSortOrder(const std::vector<double>& values) {
    const size_t n = values.size();
    std::vector<uint32_t> order(n);
    if (std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); })) {
        // Not a number compares false with everything: the sort on the values.
        struct Entry {
            double value;
            uint32_t index;
        };
        std::vector<Entry> e(n + 1);
        for (size_t i = 0; i < n; ++i) e[i + 1] = {values[i], uint32_t(i)};
        gapExchangeSort(e, [](const Entry& a, const Entry& b) { return a.value < b.value; });
        for (size_t i = 0; i < n; ++i) order[i] = e[i + 1].index;
        return order;
    }
    // The sort compares only; each value's rank among the distinct values
    // compares as the value does, and rank and index fit one word.
    std::vector<uint32_t> byValue(n);
    for (size_t i = 0; i < n; ++i) byValue[i] = uint32_t(i);
    std::sort(byValue.begin(), byValue.end(),
              [&](uint32_t a, uint32_t b) { return values[a] < values[b]; });
    std::vector<uint64_t> e(n + 1);
    uint64_t rank = 0;
    for (size_t k = 0; k < n; ++k) {
        if (k > 0 && values[byValue[k - 1]] < values[byValue[k]]) ++rank;
        e[byValue[k] + 1] = (rank << 32) | byValue[k];
    }
    gapExchangeSort(e, [](uint64_t a, uint64_t b) { return (a >> 32) < (b >> 32); });
    for (size_t i = 0; i < n; ++i) order[i] = uint32_t(e[i + 1]);
    return order;
}

std::vector<uint32_t> keyOrder(const std::vector<QByteArray>& keys,
                               const std::function<int(uint32_t, uint32_t)>& tie) {
    struct Entry {
        uint64_t prefix;
        uint32_t index;
    };
    std::vector<Entry> e(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) e[i] = {keyPrefix(keys[i]), uint32_t(i)};
    std::sort(e.begin(), e.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        if (const int k = keys[a.index].compare(keys[b.index]); k != 0) return k < 0;
        if (tie)
            if (const int k = tie(a.index, b.index); k != 0) return k < 0;
        return a.index < b.index;
    });
    std::vector<uint32_t> order(e.size());
    for (size_t i = 0; i < e.size(); ++i) order[i] = e[i].index;
    return order;
}

}  // namespace urbica
