#include "dataset/listorder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace urbica {

namespace {

struct Numbered {
    double value;
    uint32_t index;
};

// The exchange sort of the lists as it always ran, on 1-based entries.
void exchangeSort(std::vector<Numbered>& e) {
    const int64_t count = int64_t(e.size()) - 1;
    for (int64_t gap = count / 2 + 1; gap > 0; gap /= 2) {
        int64_t limit = count - gap;
        for (;;) {
            int64_t lastSwap = 0;
            for (int64_t j = 1; j <= limit; ++j) {
                if (e[size_t(j + gap)].value < e[size_t(j)].value) {
                    std::swap(e[size_t(j)], e[size_t(j + gap)]);
                    lastSwap = j;
                }
            }
            if (lastSwap == 0) break;
            limit = lastSwap - gap;
        }
    }
}

// At each gap the exchange sort's passes sort every chain of entries one gap
// apart, and an exchange of neighbours that are out of order never reorders
// equal ones: each chain ends sorted, equal entries in their order before.
// An insertion sort of every chain does the same with far fewer steps, so
// where the values are ordered (no NaN) the result is the same entry for entry.
void chainInsertionSort(std::vector<Numbered>& e) {
    const int64_t count = int64_t(e.size()) - 1;
    for (int64_t gap = count / 2 + 1; gap > 0; gap /= 2) {
        for (int64_t j = 1 + gap; j <= count; ++j) {
            const Numbered x = e[size_t(j)];
            int64_t k = j;
            for (; k - gap >= 1 && x.value < e[size_t(k - gap)].value; k -= gap)
                e[size_t(k)] = e[size_t(k - gap)];
            e[size_t(k)] = x;
        }
    }
}

// The first eight bytes of a key as a number that orders as the bytes do;
// keys that share them are told apart by the whole key.
// Bytes from..from+7 of the key as a big-endian number, zeros past its end.
uint64_t keyPrefix(const QByteArray& key, qsizetype from = 0) {
    unsigned char b[8] = {};
    if (key.size() > from)
        std::memcpy(b, key.constData() + from, size_t(std::min<qsizetype>(key.size() - from, 8)));
    uint64_t p = 0;
    for (unsigned char c : b) p = (p << 8) | c;
    return p;
}

}  // namespace

std::vector<uint32_t> exchangeSortOrder(const std::vector<double>& values) {
    const size_t n = values.size();
    std::vector<Numbered> e(n + 1);
    for (size_t i = 0; i < n; ++i) e[i + 1] = {values[i], uint32_t(i)};
    if (std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); }))
        exchangeSort(e);  // not a number compares false with everything
    else
        chainInsertionSort(e);
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = e[i + 1].index;
    return order;
}

std::vector<uint32_t> keyOrder(const std::vector<QByteArray>& keys) {
    // The first 32 bytes of each key are compared as four numbers, zeros past
    // its end; keys that agree on them and are no longer than that differ in
    // length only, the shorter first. Longer ones are compared whole.
    constexpr qsizetype kPrefixBytes = 32;
    struct Entry {
        uint64_t prefix[4];
        uint32_t size;  // capped at kPrefixBytes + 1
        uint32_t index;
    };
    std::vector<Entry> e(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        Entry& x = e[i];
        for (int k = 0; k < 4; ++k) x.prefix[k] = keyPrefix(keys[i], 8 * k);
        x.size = uint32_t(std::min(keys[i].size(), kPrefixBytes + 1));
        x.index = uint32_t(i);
    }
    std::sort(e.begin(), e.end(), [&](const Entry& a, const Entry& b) {
        for (int k = 0; k < 4; ++k)
            if (a.prefix[k] != b.prefix[k]) return a.prefix[k] < b.prefix[k];
        if (a.size > kPrefixBytes && b.size > kPrefixBytes) {
            if (const int c = keys[a.index].compare(keys[b.index]); c != 0) return c < 0;
        } else if (a.size != b.size) {
            return a.size < b.size;
        }
        return a.index < b.index;
    });
    std::vector<uint32_t> order(e.size());
    for (size_t i = 0; i < e.size(); ++i) order[i] = e[i].index;
    return order;
}

}  // namespace urbica
