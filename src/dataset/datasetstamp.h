// What tells one dataset on disk from another in the same folder: the
// identities and times of the folder and of its catalogue. The importer puts
// a new dataset in the folder's place in one step, so a dataset replaced
// under a running window has another stamp.
#pragma once

#include <QString>
#include <cstdint>

namespace urbica {

struct DatasetStamp {
    uint64_t folderDevice = 0, folderInode = 0;
    uint64_t catalogueInode = 0;
    int64_t catalogueSize = -1;
    int64_t catalogueModified = 0;  // nanoseconds since the epoch
    bool operator==(const DatasetStamp&) const = default;
};

// The stamp of the data folder now; all zeros (size -1) for a folder or a
// catalogue that is not there.
DatasetStamp datasetStamp(const QString& dataDirectory);

}  // namespace urbica
