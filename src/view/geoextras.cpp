#include "view/geoextras.h"

#include "dataset/kindplaces.h"
#include "dataset/labelkinds.h"
#include "dataset/searchnames.h"

namespace urbica {

QStringList readDatasetExtras(AppState& state) {
    QStringList problems;
    QString problem;
    state.geo = readGeoReference(state.settings.dataDirectory, &problem);
    if (!problem.isEmpty()) problems << problem;
    for (const NameLinesFile* kind :
         {&kSearchNamesLines, &kMapLabelsLines, &kHouseStructuresLines}) {
        problem.clear();
        SearchNames::load(state.settings.dataDirectory, nullptr, &problem, *kind);
        if (!problem.isEmpty()) problems << problem;
    }
    problem.clear();
    KindPlaces::load(state.settings.dataDirectory, nullptr, &problem);
    if (!problem.isEmpty()) problems << problem;
    problem.clear();
    LabelKinds::load(state.settings.dataDirectory, nullptr, &problem);
    if (!problem.isEmpty()) problems << problem;
    problem.clear();
    state.displayNames = DisplayNames::load(state.settings.dataDirectory, &problem);
    if (!problem.isEmpty()) problems << problem;
    problem.clear();
    state.source = readDataSource(state.settings.dataDirectory, &problem);
    if (!problem.isEmpty()) problems << problem;
    return problems;
}

QString coordinateText(const GeoReference& geo, double x, double y) {
    double lat = 0, lon = 0;
    geo.toLatLon(x, y, lat, lon);
    return QStringLiteral("%1, %2").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6);
}

}  // namespace urbica
