// Where the objects of each kind lie, for the searches of what is near: the
// file "urbica.knd" the importer writes beside the dataset, which the readers
// of the map and name files never look at. A dataset without it finds kinds
// by the names of the object types instead (see search/nearby.h).
//
// The file is UTF-8 text: the line "urbica-kinds 1", then one line an
// object, tab-separated: the kind's tag ("amenity=pharmacy"), X and Y of the
// object's place in map units, the named object it belongs to (class and
// name record, 0 0 when it has no name) and its map object (layer and
// object record). Lines may come in any order.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace urbica {

class FileCache;

inline const char kKindPlacesFile[] = "urbica.knd";

struct KindPlace {
    QString tag;
    int32_t x = 0, y = 0;
    int16_t classNumber = 0;
    int32_t record = 0;
    int16_t layer = 0;
    int32_t object = 0;
};

// The file's bytes, sorted by tag, then place; places without a tag or
// without a map object are left out.
QByteArray encodeKindPlaces(std::vector<KindPlace> places);

class KindPlaces {
public:
    // The places of the data folder's file. A missing file gives none (and
    // present() false); a damaged one gives none and the reason in problem.
    // Kept in the file cache when one is given.
    static std::shared_ptr<const KindPlaces> load(const QString& dataDirectory, FileCache* files,
                                                  QString* problem = nullptr);
    static std::shared_ptr<const KindPlaces> parse(const QByteArray& bytes, const QString& name,
                                                   QString* problem = nullptr);

    bool present() const { return present_; }
    // The places of one kind (tag text); none when the file has none.
    const std::vector<KindPlace>& ofKind(const QString& tag) const;
    int64_t count() const { return count_; }

private:
    bool present_ = false;
    QHash<QString, std::vector<KindPlace>> kinds_;
    int64_t count_ = 0;
};

}  // namespace urbica
