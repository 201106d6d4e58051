// The ruler of "Инструменты → Линейка": points clicked on the map, in map
// units, and the length of the line through them.
#pragma once

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

namespace urbica {

struct Ruler {
    bool active = false;
    std::vector<QPointF> points;     // the clicked points, in map units
    std::optional<QPointF> pointer;  // where the line goes on to, while measuring

    void start();
    void stop();
    void add(QPointF p) { points.push_back(p); }
    // Backspace: the last point is taken back; false when there was none.
    bool removeLast();
    // The length through the points, and on to the pointer when withPointer.
    double metres(double metresPerUnit, bool withPointer = false) const;
};

// A length as the info line shows it: "850 м" below a kilometre, "1,24 км"
// (two decimals, one from 10 km, none from 100 km) above.
QString lengthText(double metres);

}  // namespace urbica
