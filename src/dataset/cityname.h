// The name a city goes by in the window's title and the list of the cities
// opened last: the name text of its catalogue (the 50 characters at offset
// 56), else the name of its folder.
#pragma once

#include <QString>

#include "dataset/tables.h"

namespace urbica {

QString cityName(const Catalogue& catalogue, const QString& dataDirectory);
// The same for a folder, reading only its catalogue's record; the folder's
// name when there is no catalogue to be read.
QString cityNameOfFolder(const QString& dataDirectory);

}  // namespace urbica
