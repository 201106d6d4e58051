#include "view/ruler.h"

#include <QLocale>
#include <cmath>

namespace urbica {

void Ruler::start() {
    active = true;
    points.clear();
    pointer.reset();
}

void Ruler::stop() {
    active = false;
    points.clear();
    pointer.reset();
}

bool Ruler::removeLast() {
    if (points.empty()) return false;
    points.pop_back();
    return true;
}

double Ruler::metres(double metresPerUnit, bool withPointer) const {
    double units = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const QPointF d = points[i] - points[i - 1];
        units += std::hypot(d.x(), d.y());
    }
    if (withPointer && pointer && !points.empty()) {
        const QPointF d = *pointer - points.back();
        units += std::hypot(d.x(), d.y());
    }
    return units * metresPerUnit;
}

QString lengthText(double metres) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    if (!std::isfinite(metres) || metres < 0) metres = 0;
    if (metres < 999.5) return russian.toString(std::lround(metres)) + QStringLiteral(" м");
    const double km = metres / 1000;
    const int decimals = km < 9.995 ? 2 : km < 99.95 ? 1 : 0;
    QString text = russian.toString(km, 'f', decimals);
    text.remove(QChar::Nbsp).remove(u' ');  // no group separator in a short length
    return text + QStringLiteral(" км");
}

}  // namespace urbica
