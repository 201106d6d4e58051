// The damaged data files a run has met, each to be named to the user once.
// The lenient readers (the lists, the searches, the picture) give what can be
// read from a file that is short, not a whole number of records or missing,
// and note the file here; the window takes the texts and shows them together.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <mutex>

#include "dataset/datafile.h"

namespace urbica {

class DatasetProblems {
public:
    DatasetProblems() = default;
    DatasetProblems(const DatasetProblems& other);
    DatasetProblems& operator=(const DatasetProblems& other);

    // Keeps text for the file at path unless that file, as it is now, has
    // been named already. Safe from any thread.
    void note(const QString& path, const QString& text);
    // Notes recordFileProblem(path, recordLength, needed), when there is one.
    void check(const QString& path, int recordLength, int64_t needed = 0);
    // The texts kept since the last take, in the order they came.
    QStringList take();
    // Another city (or the same one read again): every file may be named anew.
    void clear();

    // True once for each new state of the data files the cache reports
    // (FileCache::changes): the layer files are then looked at again.
    bool layersToCheck(quint64 fileChanges);

private:
    bool named(const QString& path, const FileStamp& stamp) const;  // with mutex_ held
    void noteAt(const QString& path, const FileStamp& stamp, const QString& text);

    mutable std::mutex mutex_;
    QHash<QString, FileStamp> named_;
    QStringList pending_;
    quint64 layersCheckedAt_ = ~quint64(0);
};

// Notes recordFileProblem(path, recordLength, needed) through a pointer that
// may be null (a context without a sink). Always false, so that a reader
// failing for the file can return it.
bool noteRecordProblem(DatasetProblems* problems, const QString& path, int recordLength,
                       int64_t needed = 0);
// Record n of file into buf; when it cannot be read, the file is noted with
// the record asked for and the result is false.
bool readRecordNoting(RecordFile& file, int64_t n, char* buf, DatasetProblems* problems);

// Notes a name index (.cl2) or a name file (.cls) that is not a whole number
// of records, or a name file with fewer records than its index.
void checkNameFiles(DatasetProblems* problems, const QString& indexPath, qint64 indexSize,
                    const QString& namePath, qint64 nameSize, int nameLength);

}  // namespace urbica
