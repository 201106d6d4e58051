#include "dataset/datasetstamp.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "dataset/datafile.h"
#include "dataset/tables.h"

namespace urbica {

DatasetStamp datasetStamp(const QString& dataDirectory) {
    DatasetStamp stamp;
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(platformPath(dataDirectory)));
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) return stamp;
    stamp.folderDevice = uint64_t(st.st_dev);
    stamp.folderInode = uint64_t(st.st_ino);
    const QString catalogue = QDir(folder).filePath(QLatin1String(kCatalogueFile));
    if (::stat(QFile::encodeName(catalogue).constData(), &st) != 0) return stamp;
    stamp.catalogueInode = uint64_t(st.st_ino);
    stamp.catalogueSize = int64_t(st.st_size);
    stamp.catalogueModified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace urbica
