// Parts of the dataset writer kept in files of their own.
#pragma once

#include <QString>

#include "dataset/writer.h"

namespace urbica::writer_parts {

inline QString fileIn(const QString& dir, const QString& name) {
    return dir + QLatin1Char('/') + name;
}

// The icon pictures under icons/ (none when the dataset has no icons).
bool writeIcons(const DatasetData& d, const QString& dir, QString* error);
// The other names of objects (urbica.snm) and the projection (urbica.geo),
// each only when the dataset has it.
bool writeExtras(const DatasetData& d, const QString& dir, QString* error);

}  // namespace urbica::writer_parts
