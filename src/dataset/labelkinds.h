// The kind of label each object type carries: metro station, street, water,
// area, point of interest or house number. "Подписи без наложений" draws the
// labels kind by kind, so that a station's name is never pushed aside by a
// shop's. The kinds live in "urbica.lkd" in the data folder, a file the map
// readers never look at; the importer and the demo city's writer record every
// type's kind from their own classification.
//
// The file is UTF-8 text: the line "urbica-label-kinds 1", then one line a
// type, "type<TAB>kind", the kind one of the words of labelKindWord. Lines
// may come in any order.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace urbica {

class FileCache;

inline const char kLabelKindsFile[] = "urbica.lkd";

enum class LabelKind : uint8_t {
    Unknown,  // not recorded: the type is placed by its shape
    Station,  // metro stations and lines
    Street,
    Water,
    Area,
    PointOfInterest,
    HouseNumber,
};

// "station", "street", "water", "area", "poi", "house"; null for Unknown.
const char* labelKindWord(LabelKind kind);

// The file's bytes for kinds indexed by type number (entry 0 and Unknown
// entries are left out).
QByteArray encodeLabelKinds(const std::vector<LabelKind>& byType);

class LabelKinds {
public:
    // Nothing when the bytes are no kinds file: a line that does not read, a
    // type out of range or listed twice, a word not known (problem says why).
    static std::optional<LabelKinds> parse(const QByteArray& bytes, QString* problem = nullptr);
    // The data folder's kinds. A missing file gives an empty set and no
    // problem; a damaged one an empty set and the reason in problem. Kept in
    // the file cache when one is given.
    static std::shared_ptr<const LabelKinds> load(const QString& dataDirectory, FileCache* files,
                                                  QString* problem = nullptr);

    LabelKind of(int type) const {
        return type >= 1 && size_t(type) < byType_.size() ? byType_[size_t(type)]
                                                          : LabelKind::Unknown;
    }
    bool empty() const { return byType_.empty(); }

private:
    std::vector<LabelKind> byType_;  // index = type number
};

}  // namespace urbica
