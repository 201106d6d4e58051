// House numbers as mappers type them (UTF-8 text): every field the split
// gives fits its place in the house record.
#include "dataset/housenumber.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzHouseNumber(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const HouseNumberSplit split = splitHouseNumber(text);
    for (const HouseFields& h : split.houses) {
        FUZZ_CHECK(h.number.size() <= kNumberWidth);
        FUZZ_CHECK(h.fraction.size() <= kFractionWidth);
        FUZZ_CHECK(h.building.size() <= kBuildingWidth);
        FUZZ_CHECK(!h.number.isEmpty());
    }
    // Every house of a range or list takes at least one character of the text.
    FUZZ_CHECK(qsizetype(split.houses.size()) <= text.size());
    if (text.trimmed().isEmpty()) FUZZ_CHECK(split.houses.empty());
    return 0;
}

}  // namespace urbica::fuzz
