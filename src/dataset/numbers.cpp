#include "dataset/numbers.h"

#include <QByteArray>

namespace urbica {

double leadingNumber(const QString& text) {
    qsizetype i = 0, n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    QByteArray digits;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-')) digits.append('-');
        ++i;
    }
    bool point = false, any = false;
    for (; i < n; ++i) {
        QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(char(c.unicode()));
            any = true;
        } else if (c == QLatin1Char('.') && !point) {
            digits.append('.');
            point = true;
        } else {
            break;
        }
    }
    if (!any) return 0;
    // Whole numbers of up to 15 digits are exact as doubles: no parse needed.
    if (!point && digits.size() <= 16) {
        const bool negative = digits.startsWith('-');
        if (digits.size() - (negative ? 1 : 0) <= 15) {
            int64_t whole = 0;
            for (qsizetype k = negative ? 1 : 0; k < digits.size(); ++k)
                whole = whole * 10 + (digits[k] - '0');
            const double v = double(whole);
            return negative ? -v : v;
        }
    }
    bool ok = false;
    double v = digits.toDouble(&ok);  // QByteArray::toDouble is locale-independent
    return ok ? v : 0;
}

}  // namespace urbica
