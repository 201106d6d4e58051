// The named objects of an extract: while reading, one record per name (or
// per object) of each fixed class and the streets found by the names their
// addresses spell; when building, the name records of the dataset.
#pragma once

#include <QString>
#include <unordered_map>
#include <vector>

#include "collected.h"
#include "osmimport.h"

namespace urbica::osmimport {

class NameRegistry {
public:
    std::vector<Named> classes[kFirstHouseClass];  // index = class number
    std::vector<Street> streets;

    // The record of the class that gets the pending object: the one of that
    // name when merge is set (a new one for a new name), else a new one.
    int32_t attach(int16_t cls, const QString& name, size_t pending, osmium::Location where,
                   bool merge);
    // The record of that name in a merged class, made without map objects when new.
    int32_t recordNamed(int16_t cls, const QString& name);
    // The Unicode name a record's shown name was made from; the first one given stays.
    void setWhole(int16_t cls, int32_t record, const QString& whole);
    // The record of that name (of a merged class), 0 when none.
    int32_t recordOf(int16_t cls, const QString& name) const;
    // More names of a record or a street, each spelling kept once.
    void addOtherNames(int16_t cls, int32_t record, const std::vector<QString>& names);
    void addStreetNames(int32_t street, const std::vector<QString>& names);

    // The street of that key (the name as addresses spell it), made when new;
    // a street known only by its key takes the display name given later.
    // whole is the Unicode name the display was made from.
    int32_t streetFor(const QString& key, const QString& display, osmium::Location where,
                      const QString& whole);
    // The Russian name of a street, which addresses may spell too.
    void addRussianName(const QString& ru, int32_t street);
    // The street an address names: by the street's own name, else by its
    // Russian name, else by the name written in other letter case or with е
    // for ё, else a street of its own that has houses only.
    // whole is the spelling in Unicode, for a street of its own.
    int32_t streetOfAddress(const QString& key, osmium::Location where, const QString& whole);

private:
    std::unordered_map<QString, int32_t> named_[kFirstHouseClass];
    std::unordered_map<QString, int32_t> streetByKey_, streetByRuName_, streetByFolded_;
};

}  // namespace urbica::osmimport
