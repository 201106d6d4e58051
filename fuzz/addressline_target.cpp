// Addresses typed in one line (UTF-8 text): every reading names a street and
// a house with a number or a text house, the street key is its own key, and nothing is read
// into a line longer than an address can be.
#include <algorithm>

#include "dataset/typomatch.h"
#include "search/addressline.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzAddressLine(const uint8_t* data, size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::vector<AddressReading> readings = readAddressLine(line);
    FUZZ_CHECK(looksLikeAddress(line) == !readings.empty());
    if (line.size() > kMaxAddressLength) FUZZ_CHECK(readings.empty());
    for (const AddressReading& r : readings) {
        FUZZ_CHECK(!r.street.key.isEmpty());
        FUZZ_CHECK(r.street.letters <= r.street.key.size());
        // A number that starts with a digit, or a house written as text with a digit.
        if (r.house.number.isEmpty()) {
            FUZZ_CHECK(!r.house.letter.isEmpty());
            FUZZ_CHECK(std::any_of(line.begin(), line.end(), [](QChar c) { return c.isDigit(); }));
        } else {
            FUZZ_CHECK(r.house.number.at(0).isDigit());
        }
        FUZZ_CHECK(streetKey(r.street.key).key == r.street.key);
    }
    const StreetKey whole = streetKey(line);
    FUZZ_CHECK(streetKey(whole.key).key == whole.key);
    // The typo rule is symmetric and never holds for equal texts.
    const qsizetype half = line.size() / 2;
    const QStringView a = QStringView(line).left(half), b = QStringView(line).mid(half);
    FUZZ_CHECK(oneTypoApart(a, b) == oneTypoApart(b, a));
    FUZZ_CHECK(!oneTypoApart(a, a));
    return 0;
}

}  // namespace urbica::fuzz
