#include "dataset/cityname.h"

#include <QDir>
#include <QFileInfo>

#include "dataset/datafile.h"

namespace urbica {

namespace {
QString folderName(const QString& dataDirectory) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(platformPath(dataDirectory)));
    const QString name = QFileInfo(clean).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(clean) : name;
}
}  // namespace

QString cityName(const Catalogue& catalogue, const QString& dataDirectory) {
    const QString name = catalogue.reserved50.simplified();
    return name.isEmpty() ? folderName(dataDirectory) : name;
}

QString cityNameOfFolder(const QString& dataDirectory) {
    Catalogue catalogue;
    DataFile f(QDir(platformPath(dataDirectory)).filePath(QLatin1String(kCatalogueFile)));
    char buf[Catalogue::kRecordLength];
    if (f.isOpen() && f.readAt(0, buf, Catalogue::kRecordLength))
        catalogue = Catalogue::decode(buf);
    return cityName(catalogue, dataDirectory);
}

}  // namespace urbica
