// Other names of named objects, for the searches only: the name in the local
// language beside the Russian one, old, official, short and alternative
// names, the spellings of a street in its addresses, and names longer than
// their field. They live in a file of their own, "urbica.snm", which the
// readers of the name files never look at; a dataset without it searches
// its display names alone.
//
// The file is UTF-8 text: the line "urbica-search-names 1", then one line a
// name, "class<TAB>record<TAB>name", where (class, record) is the named
// object the name finds. Lines may come in any order.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "dataset/linefile.h"

namespace urbica {

class FileCache;

inline const char kSearchNamesFile[] = "urbica.snm";

// Files of the same lines for other texts of named objects: the map labels
// that differ from the name a list shows ("urbica.lbl"), and the structure
// (строение) of a house, whose record has no field for it ("urbica.hst").
struct NameLinesFile {
    const char* file;
    const char* header;       // the first line
    const char* what;         // "Файл %what %1 повреждён"
    const char* consequence;  // what the viewer does without it
};
inline constexpr NameLinesFile kSearchNamesLines{"urbica.snm", "urbica-search-names 1",
                                                 "других имён объектов",
                                                 "поиск идёт только по основным названиям"};
inline constexpr NameLinesFile kMapLabelsLines{"urbica.lbl", "urbica-map-labels 1",
                                               "подписей карты", "карта подписана названиями"};
inline constexpr NameLinesFile kHouseStructuresLines{
    "urbica.hst", "urbica-house-structures 1", "строений домов", "дома показаны без строений"};

struct SearchNameData {
    int16_t classNumber = 0;
    int32_t record = 0;
    QString name;  // in Unicode, whole
};

// The file's bytes for the names, sorted by class and record, each distinct
// (class, record, name) once. Names with a tab, a line break or nothing but
// blanks are left out.
QByteArray encodeSearchNames(std::vector<SearchNameData> names,
                             const NameLinesFile& kind = kSearchNamesLines);

// The names files of a dataset share their form: a header line, then
// "class<TAB>record<TAB>name" lines. encodeNameLines writes them sorted by
// class, record and name, each distinct line once (with onePerObject, the
// first name of an object only); readNameLines hands every line to take and
// stops at the first that does not read or that take refuses.
QByteArray encodeNameLines(std::vector<SearchNameData> names, const char* header,
                           bool onePerObject);
using NameLinesError = LineFileError;
bool readNameLines(const QByteArray& bytes, const char* header, NameLinesError& bad,
                   const std::function<bool(int16_t, int32_t, QString)>& take);

class SearchNames {
public:
    struct Entry {
        int32_t record = 0;
        QString name;  // as stored
        QString key;   // searchKey(name)
    };

    // The names of the data folder's file. A missing file gives an empty set
    // and no problem; a damaged one (a line that does not read, a class or
    // record out of range, bytes that are not UTF-8) gives an empty set and
    // the reason in problem, so the caller can say it once. Kept in the file
    // cache when one is given.
    static std::shared_ptr<const SearchNames> load(const QString& dataDirectory, FileCache* files,
                                                   QString* problem = nullptr,
                                                   const NameLinesFile& kind = kSearchNamesLines);
    // The same from the file's bytes; name is the file's name for the message.
    static std::shared_ptr<const SearchNames> parse(const QByteArray& bytes, const QString& name,
                                                    QString* problem = nullptr,
                                                    const NameLinesFile& kind = kSearchNamesLines);

    // The names of one class, sorted by record (and by name within a record).
    const std::vector<Entry>& ofClass(int classNumber) const;
    // The first text of a record; null when it has none.
    const QString* find(int classNumber, int32_t record) const;
    bool empty() const { return count_ == 0; }
    int64_t count() const { return count_; }

private:
    std::vector<std::vector<Entry>> classes_;  // index = class number
    int64_t count_ = 0;
};

}  // namespace urbica
