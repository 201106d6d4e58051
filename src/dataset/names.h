// The classifier: per class a name index (.cl2), the map objects (.ssl) and
// named parts (.dnl) of each named object, and a name file (.cls) whose layout
// follows the class's name style. Display names and the search lists are
// built from them here.
//
// A named object is the pair (class number, name-record number); lists carry
// it as itemKey = class * 1000000 + record.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "dataset/datafile.h"
#include "dataset/listmodel.h"
#include "dataset/namerecords.h"
#include "dataset/tables.h"

namespace urbica {

class DatasetProblems;
class DisplayNames;

// What the routines below read: the data folder and the tables of the dataset.
class SearchNames;

struct NameContext {
    const QString& dataDirectory;
    const Catalogue& catalogue;
    const Tables& tables;
    FileCache* files = nullptr;  // keeps files and decoded names between calls
    // The whole names (urbica.dnm) shown in place of the names of the name
    // files that lost letters or were cut; null: the names as stored.
    const DisplayNames* wholeNames = nullptr;
    // Where a file found short, not a whole number of records or missing is
    // noted while what can be read is given; null: nowhere.
    DatasetProblems* problems = nullptr;
};

// The file of class c with the given extension (".cl2", ".ssl", ".dnl", ".cls");
// empty when c is not a class of the table.
QString classFilePath(const NameContext& ctx, int classNumber, const char* extension);

// itemKey: class * 1000000 + record.
inline constexpr int64_t kItemKeyFactor = 1000000;
// True when (c, n) has a key of its own that fits 32 bits.
bool itemKeyFits(int64_t classNumber, int64_t record);
int32_t itemKey(int classNumber, int32_t record);
struct NamedObject {
    int classNumber = 0;
    int32_t record = 0;
};
NamedObject decodeItemKey(int64_t key);

// Checks every class of the table once the dataset is loaded: a class whose
// records cannot all be told apart by itemKey (a million records or more, or
// keys past the 32-bit range) is left out of the search lists. The result is
// the message to show once (Russian), or empty when every class is fine.
QString checkClassKeys(const NameContext& ctx);
// The same test for one class with the given number of name records.
bool classKeysFit(int classNumber, int64_t recordCount);

// The display name of a named object. With context the name carries its
// parent and the long forms (for the info line); without, the short form (for
// lists). With whole names in the context, a street's or a plain name is the
// whole one where the dataset keeps it (the parent's too). Empty for a class outside the table, a
// record number of 0 or less or past the name file. A file that cannot be opened gives an empty
// name and, when error is given, its reason there.
QString objectName(const NameContext& ctx, int classNumber, int64_t record, bool context,
                   QString* error = nullptr);

// The trimmed name of record n of the street class's name file (the whole
// one where the context has it); record 0 is "Без имени"; empty when there
// is no such record or no street class.
QString streetName(const NameContext& ctx, int64_t record, QString* error = nullptr);

// The named object's map-object (.ssl) or part (.dnl) references. A range
// that runs past the file gives the references inside it and false; a missing
// file gives none and false.
bool readMapObjectRefs(const NameContext& ctx, int classNumber, const NameRecord& record,
                       std::vector<ObjectRef>& out);
bool readPartRefs(const NameContext& ctx, int classNumber, const NameRecord& record,
                  std::vector<ObjectRef>& out);
// Record n of class c's .cl2; false when there is none.
bool readNameRecord(const NameContext& ctx, int classNumber, int64_t record, NameRecord& out);

// The outcome of a list fill. On Failed the list is left empty and error says why.
enum class FillStatus { Done, Cancelled, Failed };

// All streets of the street class with at least one map object or house, as
// "name  (parent)", item data the bare record number; the first entry is
// made current. Nothing happens when the catalogue names no street class of
// the table.
FillStatus fillStreetList(const NameContext& ctx, ListModel& list, QString* error = nullptr);

// The entries of that list with their sort keys, in the order a list shows
// them (sorted: by key, equal keys in file order). It touches no list, so it
// may run on a helper thread with a context (and file cache) of its own.
struct StreetListEntries {
    FillStatus status = FillStatus::Done;
    QString error;  // when Failed
    std::vector<ListModel::Item> items;
    std::vector<QByteArray> keys;
};
StreetListEntries streetListEntries(const NameContext& ctx, bool sorted,
                                    const std::function<void()>& letEventsRun = {});
// Fills the list (emptied first) with entries made for it; the first is made current.
void putStreetList(ListModel& list, StreetListEntries entries);

// Lists every named object of class c that has map objects: in findList in
// file order; when every name begins with a digit, also in nosortList in
// ascending numeric order, which is then shown while findList is hidden
// (otherwise the reverse). Item data is itemKey.
FillStatus fillClassList(const NameContext& ctx, ListModel& findList, int classNumber,
                         ListModel& nosortList, QString* error = nullptr);

// How a text search compares: letters outside Windows-1251 folded to their
// closest ones (foldToCp1251, as the importer stores names), letters in
// upper case, and Ё read as Е, so that "ёлка", "Елка" and "ЕЛКА" are the same
// text, and so are "Straße" and "STRASSE".
QString searchKey(const QString& text);
// Where a searched text may match a name.
enum class TextMatch {
    Anywhere,   // anywhere in the name
    WordStart,  // only where a word of the name begins (after a non-letter, non-digit)
};
// True when the name's search key holds the wanted key (both from searchKey)
// at a place the rule allows. An empty wanted key matches every name.
bool searchKeyMatches(const QString& nameKey, const QString& wantedKey, TextMatch rule);

// Fills list with the named objects of the given classes (those with
// hasNames) whose short name contains text, ignoring letter case and telling
// Ё from Е apart nowhere, as "className name" with item data itemKey, and
// makes the first current. An empty text leaves the list as it is. Pending
// events run after each class and every 1024 records; when cancel becomes
// true the search stops there and the list keeps what was found so far.
// With typos, the names one typo away from the text (typomatch.h) follow
// all the others, in group 1 of the list. Names that hold the text or one
// of its other spellings (abbreviations written out, from the search's
// address words) once the ASCII spellings of national letters are folded on
// both sides ("Noerrebrogade", "Norrebrogade" for "Nørrebrogade") come in
// group 1 too, ahead of those one typo away.
FillStatus findByText(const NameContext& ctx, const QString& text, ListModel& list,
                      const std::vector<int>& classes, const std::atomic<bool>* cancel = nullptr,
                      QString* error = nullptr, TextMatch rule = TextMatch::Anywhere,
                      bool typos = false, const QStringList& spellings = {});

// All short names of one class read at once, for the list fillers: the name
// index and name file are read whole and shortName(n) gives what
// objectName(ctx, c, n, false) gives.
class ClassNames {
public:
    ClassNames(const NameContext& ctx, int classNumber);
    bool ok() const { return ok_; }
    const QString& error() const { return error_; }
    int64_t recordCount() const { return indexCount_; }
    NameRecord nameRecord(int64_t n) const;  // zeroes past the index
    // The name as stored, which the searches compare.
    QString shortName(int64_t n) const;
    // The name a list shows: the whole one where the context has it.
    QString displayName(int64_t n) const;

private:
    int style_ = 0;
    int nameClass_ = 0;
    const DisplayNames* whole_ = nullptr;
    int recordLength_ = 0;
    int64_t indexCount_ = 0;
    int64_t nameCount_ = 0;
    std::unique_ptr<WholeFile> index_;
    std::unique_ptr<WholeFile> names_;
    std::shared_ptr<const SearchNames> structures_;  // of a house class
    int classNumber_ = 0;
    bool ok_ = false;
    QString error_;
};

}  // namespace urbica
