#include "dataset/namerecords.h"

#include "dataset/binary.h"

namespace urbica {

namespace {

QString getField(const char* p, TextField f) { return getText(p + f.at, f.width); }
void putField(char* p, TextField f, const QString& text) { putText(p + f.at, f.width, text); }

static_assert(StreetNameRecord::kUnread.end() + 4 == StreetNameRecord::kRecordLength);
static_assert(HouseNumberRecord::kBuilding.end() == HouseNumberRecord::kRecordLength);
static_assert(LongNameRecord::kUnread2.end() == LongNameRecord::kUnreadNumberAt &&
              LongNameRecord::kUnreadNumberAt + 4 == LongNameRecord::kShortName.at &&
              LongNameRecord::kUnread3.end() == LongNameRecord::kRecordLength);
static_assert(PlainNameRecord::kName.end() + 6 == PlainNameRecord::kRecordLength);

}  // namespace

NameRecord NameRecord::decode(const char* p) {
    NameRecord r;
    r.mapObjectCount = getI16(p);
    r.firstMapObject = getI32(p + 2);
    r.partCount = getI16(p + 6);
    r.firstPart = getI32(p + 8);
    r.parentClass = getI16(p + 12);
    r.parentRecord = getI32(p + 14);
    return r;
}

void NameRecord::encode(char* p) const {
    putI16(p, mapObjectCount);
    putI32(p + 2, firstMapObject);
    putI16(p + 6, partCount);
    putI32(p + 8, firstPart);
    putI16(p + 12, parentClass);
    putI32(p + 14, parentRecord);
}

ObjectRef ObjectRef::decode(const char* p) { return ObjectRef{getI16(p), getI32(p + 2)}; }

void ObjectRef::encode(char* p) const {
    putI16(p, first);
    putI32(p + 2, second);
}

StreetNameRecord StreetNameRecord::decode(const char* p) { return {getField(p, kName)}; }

void StreetNameRecord::encode(char* p) const {
    putField(p, kName, name);
    putField(p, kUnread, QString());
    putI16(p + kUnread.end(), 0);
    putI16(p + kUnread.end() + 2, 0);
}

HouseNumberRecord HouseNumberRecord::decode(const char* p) {
    return {getField(p, kNumber), getField(p, kFraction), getField(p, kBuilding)};
}

void HouseNumberRecord::encode(char* p) const {
    putField(p, kNumber, number);
    putField(p, kFraction, fraction);
    putField(p, kBuilding, building);
}

LongNameRecord LongNameRecord::decode(const char* p) {
    return {getField(p, kFullName), getField(p, kShortName)};
}

void LongNameRecord::encode(char* p) const {
    putField(p, kFullName, fullName);
    putField(p, kUnread1, QString());
    putField(p, kUnread2, QString());
    putI32(p + kUnreadNumberAt, 0);
    putField(p, kShortName, shortName);
    putField(p, kUnread3, QString());
}

PlainNameRecord PlainNameRecord::decode(const char* p) { return {getField(p, kName)}; }

void PlainNameRecord::encode(char* p) const {
    putField(p, kName, name);
    for (int at = kName.end(); at < kRecordLength; at += 2) putI16(p + at, 0);
}

int nameRecordLength(int nameStyle) {
    switch (nameStyle) {
        case kStreetNameStyle:
            return StreetNameRecord::kRecordLength;
        case kHouseNumberStyle:
            return HouseNumberRecord::kRecordLength;
        case kLongNameStyle:
            return LongNameRecord::kRecordLength;
        default:
            return PlainNameRecord::kRecordLength;
    }
}

}  // namespace urbica
