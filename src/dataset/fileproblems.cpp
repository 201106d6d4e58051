#include "dataset/fileproblems.h"

#include "dataset/filecheck.h"
#include "dataset/names.h"

namespace urbica {

DatasetProblems::DatasetProblems(const DatasetProblems& other) {
    const std::lock_guard<std::mutex> lock(other.mutex_);
    named_ = other.named_;
    pending_ = other.pending_;
    layersCheckedAt_ = other.layersCheckedAt_;
}

DatasetProblems& DatasetProblems::operator=(const DatasetProblems& other) {
    if (this == &other) return *this;
    const std::scoped_lock lock(mutex_, other.mutex_);
    named_ = other.named_;
    pending_ = other.pending_;
    layersCheckedAt_ = other.layersCheckedAt_;
    return *this;
}

bool DatasetProblems::named(const QString& path, const FileStamp& stamp) const {
    auto it = named_.constFind(path);
    return it != named_.constEnd() && *it == stamp;
}

void DatasetProblems::noteAt(const QString& path, const FileStamp& stamp, const QString& text) {
    if (text.isEmpty()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (named(path, stamp)) return;
    named_.insert(path, stamp);
    pending_ << text;
}

void DatasetProblems::note(const QString& path, const QString& text) {
    if (!text.isEmpty()) noteAt(path, FileStamp::of(path), text);
}

void DatasetProblems::check(const QString& path, int recordLength, int64_t needed) {
    // A file named already, as it is now, is not looked at again: every
    // label of a short name file comes here on every redraw.
    const FileStamp stamp = FileStamp::of(path);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (named(path, stamp)) return;
    }
    noteAt(path, stamp, recordFileProblem(path, recordLength, needed));
}

QStringList DatasetProblems::take() {
    const std::lock_guard<std::mutex> lock(mutex_);
    QStringList out;
    out.swap(pending_);
    return out;
}

void DatasetProblems::clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    named_.clear();
    pending_.clear();
    layersCheckedAt_ = ~quint64(0);
}

bool DatasetProblems::layersToCheck(quint64 fileChanges) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (layersCheckedAt_ == fileChanges) return false;
    layersCheckedAt_ = fileChanges;
    return true;
}

bool noteRecordProblem(DatasetProblems* problems, const QString& path, int recordLength,
                       int64_t needed) {
    if (problems && !path.isEmpty()) problems->check(path, recordLength, needed);
    return false;
}

bool readRecordNoting(RecordFile& file, int64_t n, char* buf, DatasetProblems* problems) {
    return file.read(n, buf) || noteRecordProblem(problems, file.path(), file.recordLength(), n);
}

void checkNameFiles(DatasetProblems* problems, const QString& indexPath, qint64 indexSize,
                    const QString& namePath, qint64 nameSize, int nameLength) {
    if (!problems || nameLength <= 0) return;
    const qint64 records = indexSize / NameRecord::kRecordLength;
    if (indexSize % NameRecord::kRecordLength != 0)
        problems->check(indexPath, NameRecord::kRecordLength);
    if (nameSize % nameLength != 0 || nameSize / nameLength < records)
        problems->check(namePath, nameLength, records);
}

}  // namespace urbica
