// Number rules shared by every subsystem.
#pragma once

#include <QString>
#include <cmath>
#include <cstdint>

namespace urbica {

// The integer nearest to v; halves go to the even integer.
inline double nearest(double v) { return std::nearbyint(v); }  // default mode: to nearest even
inline int64_t nearestInt(double v) { return int64_t(std::nearbyint(v)); }

// Integer division: both operands to the nearest integer first, the quotient
// truncated towards zero. A zero divisor gives 0 rather than a trap.
inline int64_t intDiv(double a, double b) {
    int64_t x = nearestInt(a), y = nearestInt(b);
    if (y == 0) return 0;
    return x / y;
}

// Leading number of a text, as the settings file and the class lists read it:
// blanks skipped, an optional sign, digits and one decimal point; it stops at the
// first other character. "12,5" gives 12, "" and "abc" give 0.
double leadingNumber(const QString& text);

}  // namespace urbica
