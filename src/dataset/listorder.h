// The orders of the class lists, worked out on indices so that the entries
// themselves are moved once.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace urbica {

// The order the numeric class lists have always shown: by value with the
// diminishing-gap exchange sort (gaps n/2+1, then halved; at each gap, passes
// up to the last swap until none is made), so that equal values come in the
// order that sort leaves them. Returns the indices of values in that order.
std::vector<uint32_t> exchangeSortOrder(const std::vector<double>& values);

// The indices of keys in ascending order of the keys (unsigned bytes, a
// shorter key first on a common beginning), equal keys by index.
std::vector<uint32_t> keyOrder(const std::vector<QByteArray>& keys);

}  // namespace urbica
