// The files of a dataset beside its tables, layers and classes: the icon
// pictures, the other names of objects and the projection.
#include <QBuffer>
#include <QDir>
#include <QImage>

#include "dataset/datafile.h"
#include "dataset/displaynames.h"
#include "dataset/writerparts.h"

namespace urbica {

bool encodeBmp(const QImage& image, QByteArray& out) {
    constexpr int kDotsPerMeter = 3937;  // 100 dots per inch
    QImage copy = image;
    copy.setDotsPerMeterX(kDotsPerMeter);
    copy.setDotsPerMeterY(kDotsPerMeter);
    out.clear();
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    return copy.save(&buffer, "BMP");
}

}  // namespace urbica

namespace urbica::writer_parts {

bool makeFolder(const QString& dir, QString* error) {
    if (QDir().mkpath(dir)) return true;
    setError(error, QStringLiteral("не удалось создать папку %1").arg(dir));
    return false;
}

bool writeIcons(const DatasetData& d, const FileTarget& out, QString* error) {
    if (d.icons.empty()) return true;
    const FileTarget iconDir = out.sub(QStringLiteral("icons"));
    if (!makeFolder(iconDir.dir(), error)) return false;
    auto save = [&](const QImage& image, const QString& name) {
        if (image.isNull()) return true;
        QByteArray bytes;
        if (!encodeBmp(image, bytes)) {
            setError(error, QStringLiteral("не удалось записать рисунок %1").arg(name));
            return false;
        }
        return iconDir.put(name, std::move(bytes), error);
    };
    for (const IconData& icon : d.icons) {
        const QString n = QString::number(icon.number);
        if (!save(icon.mask16, QStringLiteral("ic16%1.msk").arg(n)) ||
            !save(icon.picture16, QStringLiteral("ic16%1.pic").arg(n)) ||
            !save(icon.mask32, QStringLiteral("ic32%1.msk").arg(n)) ||
            !save(icon.picture32, QStringLiteral("ic32%1.pic").arg(n)))
            return false;
    }
    return true;
}

bool writeExtras(const DatasetData& d, const FileTarget& out, QString* error) {
    const std::pair<const std::vector<SearchNameData>*, const NameLinesFile*> lines[] = {
        {&d.searchNames, &kSearchNamesLines},
        {&d.mapLabels, &kMapLabelsLines},
        {&d.houseStructures, &kHouseStructuresLines}};
    for (const auto& [names, kind] : lines)
        if (!names->empty() &&
            !out.put(QLatin1String(kind->file), encodeSearchNames(*names, *kind), error))
            return false;
    if (!d.approximateHouses.empty() &&
        !out.put(QLatin1String(kApproximateHousesFile),
                 encodeApproximateHouses(d.approximateHouses), error))
        return false;
    if (!d.kindPlaces.empty() &&
        !out.put(QLatin1String(kKindPlacesFile), encodeKindPlaces(d.kindPlaces), error))
        return false;
    if (!d.displayNames.empty() &&
        !out.put(QLatin1String(kDisplayNamesFile), encodeDisplayNames(d.displayNames), error))
        return false;
    if (!d.labelKinds.empty() &&
        !out.put(QLatin1String(kLabelKindsFile), encodeLabelKinds(d.labelKinds), error))
        return false;
    if (d.source && !out.put(QLatin1String(kDataSourceFile), encodeDataSource(*d.source), error))
        return false;
    return !d.geo || out.put(QLatin1String(kGeoReferenceFile), encodeGeoReference(*d.geo), error);
}

}  // namespace urbica::writer_parts
