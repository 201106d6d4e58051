// The folder of a city's dataset: whether a folder holds one the viewer can
// open, and the list of the cities opened last, kept in urbica.recent beside
// urbica.cfg (one folder per line, UTF-8).
#pragma once

#include <QString>
#include <QStringList>

namespace urbica {

inline const char kRecentCitiesFile[] = "urbica.recent";
inline constexpr int kRecentCitiesKept = 5;

// The folder as the settings keep it: absolute, clean, ending with a separator.
QString cityDirectory(const QString& folder);

// Empty when the folder holds a readable catalogue and tables; otherwise the
// message for the user, naming the folder and what is missing or damaged.
QString cityFolderProblem(const QString& folder);

// The list of programDirectory/urbica.recent; a missing or damaged file is an
// empty list. At most kRecentCitiesKept folders, without repeats.
QStringList readRecentCities(const QString& programDirectory);
// Puts folder first in the list, drops its earlier place and the oldest ones
// past kRecentCitiesKept.
QStringList withRecentCity(const QStringList& list, const QString& folder);
// Replaces programDirectory/urbica.recent as a whole.
bool writeRecentCities(const QString& programDirectory, const QStringList& list,
                       QString* error = nullptr);

}  // namespace urbica
