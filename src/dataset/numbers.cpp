#include "dataset/numbers.h"

#include <QByteArray>

namespace urbica {

double leadingNumber(const QString& text) {
    const QChar* c = text.constData();
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (c[i] == QLatin1Char(' ') || c[i] == QLatin1Char('\t'))) ++i;
    bool negative = false;
    if (i < n && (c[i] == QLatin1Char('+') || c[i] == QLatin1Char('-'))) {
        negative = c[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype first = i;
    qsizetype point = -1;
    for (; i < n; ++i) {
        if (c[i] >= QLatin1Char('0') && c[i] <= QLatin1Char('9')) continue;
        if (c[i] == QLatin1Char('.') && point < 0) {
            point = i;
            continue;
        }
        break;
    }
    const qsizetype digitCount = i - first - (point >= 0 ? 1 : 0);
    if (digitCount == 0) return 0;
    // Whole numbers of up to 15 digits are exact as doubles: no parse needed.
    if (point < 0 && digitCount <= 15) {
        int64_t whole = 0;
        for (qsizetype k = first; k < i; ++k) whole = whole * 10 + (c[k].unicode() - '0');
        const double v = double(whole);
        return negative ? -v : v;
    }
    QByteArray digits;
    digits.reserve(i - first + 1);
    if (negative) digits.append('-');
    for (qsizetype k = first; k < i; ++k) digits.append(char(c[k].unicode()));
    bool ok = false;
    double v = digits.toDouble(&ok);  // QByteArray::toDouble is locale-independent
    return ok ? v : 0;
}

}  // namespace urbica
