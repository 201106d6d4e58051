// The records of a class's name files, each laid out once with its encoding
// and decoding side by side: the name index (.cl2), the map-object and part
// references (.ssl, .dnl) and the name records (.cls), whose layout follows
// the class's name style (ClassRecord::nameStyle). Readers that take a field
// straight from the bytes of a record use the places given here.
#pragma once

#include <QString>
#include <cstdint>

#include "dataset/tables.h"

namespace urbica {

// A fixed-length text field of a record: where it starts and how many bytes it holds.
struct TextField {
    int at = 0;
    int width = 0;
    constexpr int end() const { return at + width; }
};

// .cl2, 18 bytes; record n is named object n of the class.
struct NameRecord {
    static constexpr int kRecordLength = 18;
    int16_t mapObjectCount = 0;  // its map objects in .ssl, from firstMapObject on
    int32_t firstMapObject = 0;
    int16_t partCount = 0;  // its named parts in .dnl, from firstPart on
    int32_t firstPart = 0;
    int16_t parentClass = 0;  // 0: no parent
    int32_t parentRecord = 0;

    static NameRecord decode(const char* p);
    void encode(char* p) const;
    bool operator==(const NameRecord&) const = default;
};

// .ssl (layer, object record) and .dnl (class, name record), 6 bytes.
struct ObjectRef {
    static constexpr int kRecordLength = 6;
    int16_t first = 0;
    int32_t second = 0;

    static ObjectRef decode(const char* p);
    void encode(char* p) const;
    bool operator==(const ObjectRef&) const = default;
};

// The name records of the .cls files. Decoding gives the texts as stored,
// blanks kept; encoding pads them with blanks, cuts what does not fit and
// writes blanks and zeros into the fields no reader reads.

// Street names (kStreetNameStyle), 68 bytes: the name, a text not read, two
// 16-bit integers not read.
struct StreetNameRecord {
    static constexpr int kRecordLength = 68;
    static constexpr TextField kName{0, 32};
    static constexpr TextField kUnread{32, 32};
    QString name;

    static StreetNameRecord decode(const char* p);
    void encode(char* p) const;
};

// House numbers (kHouseNumberStyle), 10 bytes.
struct HouseNumberRecord {
    static constexpr int kRecordLength = 10;
    static constexpr TextField kNumber{0, 4};  // digits and letter, "12А"
    static constexpr TextField kFraction{4, 3};
    static constexpr TextField kBuilding{7, 3};
    QString number, fraction, building;

    static HouseNumberRecord decode(const char* p);
    void encode(char* p) const;
};

// Long names (kLongNameStyle), 300 bytes: the full name, a text of 50 and
// one of 41 not read, a 32-bit integer not read, the short name and a text
// of 100 not read.
struct LongNameRecord {
    static constexpr int kRecordLength = 300;
    static constexpr TextField kFullName{0, 80};
    static constexpr TextField kUnread1{80, 50};
    static constexpr TextField kUnread2{130, 41};
    static constexpr int kUnreadNumberAt = 171;
    static constexpr TextField kShortName{175, 25};
    static constexpr TextField kUnread3{200, 100};
    QString fullName, shortName;

    static LongNameRecord decode(const char* p);
    void encode(char* p) const;
};

// Plain names (kPlainNameStyle and every style without a layout of its
// own), 100 bytes: the name and three 16-bit integers not read.
struct PlainNameRecord {
    static constexpr int kRecordLength = 100;
    static constexpr TextField kName{0, 94};
    QString name;

    static PlainNameRecord decode(const char* p);
    void encode(char* p) const;
};

inline constexpr int kMaxNameRecordLength = LongNameRecord::kRecordLength;
// The record length of a class's name file by its name style.
int nameRecordLength(int nameStyle);

}  // namespace urbica
