// Writing a dataset so that the folder is either the complete new dataset or
// left as it was: everything goes into a fresh folder beside the target,
// which then takes the target's place.
#pragma once

#include <QString>
#include <functional>

#include "dataset/writer.h"
#include "dataset/writerlock.h"

namespace urbica::osmimport {

// Writes the dataset to dir. An existing dir is replaced only when it is
// empty or holds a dataset (urbica.dat); a folder with other things in it is
// refused rather than overwritten. False with a message on any failure; the
// target is then unchanged.
// One writer at a time: the folder's lock (WriterLock) is taken first, waiting
// up to waitMs for another writer (onWait runs once when it must wait); a
// wait that runs out writes nothing and says "папка … занята другим
// импортом". Given a lock, the caller keeps holding it after the call (to
// read the dataset back before another writer replaces it).
bool writeDatasetSafely(const DatasetData& data, const QString& dir, QString* error = nullptr,
                        WriterLock* lock = nullptr, int waitMs = kDatasetLockWaitMs,
                        const std::function<void()>& onWait = {});

// The same for a dataset that `write` puts into the fresh folder it is given
// (part by part, say, as it is built); a false from it, with its reason,
// fails the whole write and leaves the target as it was.
using FolderWrite = std::function<bool(const QString& dir, QString* why)>;
bool writeFolderSafely(const FolderWrite& write, const QString& dir, QString* error = nullptr,
                       WriterLock* lock = nullptr, int waitMs = kDatasetLockWaitMs,
                       const std::function<void()>& onWait = {});

// The program folder for an imported city: as the demo city's, with the map's
// labels kept apart (a real city has far more names than fit on a view).
bool writeProgramFiles(const QString& programDirectory, const QString& dataDirectory,
                       QString* error = nullptr);

}  // namespace urbica::osmimport
