// Whole names of named objects for display: the names in their own letters
// of the objects whose name in the name files lost letters (folded into
// Windows-1251) or was cut or shortened to its field. They live in a file of
// their own, "urbica.dnm", which the readers of the name files never look
// at; a dataset without it shows the names of the name files.
//
// The file is UTF-8 text: the line "urbica-display-names 1", then one line a
// named object, "class<TAB>record<TAB>name". Lines may come in any order; a
// named object has one line at most.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/searchnames.h"

namespace urbica {

inline const char kDisplayNamesFile[] = "urbica.dnm";

// The file's bytes for the names (class, record, whole name), sorted by class
// and record; of two names for one object the first is kept. Names with a
// tab, a line break or nothing but blanks are left out.
QByteArray encodeDisplayNames(std::vector<SearchNameData> names);

class DisplayNames {
public:
    // The names of the data folder's file. A missing file gives an empty set
    // and no problem; a damaged one (a line that does not read, a class or
    // record out of range, bytes that are not UTF-8, an object named twice)
    // gives an empty set and the reason in problem, so the caller can say it
    // once.
    static std::shared_ptr<const DisplayNames> load(const QString& dataDirectory,
                                                    QString* problem = nullptr);
    // The same from the file's bytes; name is the file's name for the message.
    static std::shared_ptr<const DisplayNames> parse(const QByteArray& bytes, const QString& name,
                                                     QString* problem = nullptr);

    // The whole name of (class, record); empty when the file has none.
    QString of(int classNumber, int64_t record) const {
        if (names_.isEmpty()) return {};
        return names_.value((qint64(classNumber) << 32) | quint32(record));
    }
    bool empty() const { return names_.isEmpty(); }
    qsizetype count() const { return names_.size(); }

private:
    QHash<qint64, QString> names_;
};

}  // namespace urbica
