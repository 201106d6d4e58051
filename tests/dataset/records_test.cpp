// The records of the name and object files: each encodes and decodes back to
// itself, and decodes bytes laid out by hand at the offsets the readers of
// older datasets read.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QPoint>

#include "dataset/namerecords.h"
#include "dataset/objects.h"

using namespace urbica;

namespace {

template <class Record>
QByteArray encoded(const Record& r) {
    QByteArray bytes(Record::kRecordLength, 'x');  // encoding leaves no byte as it was
    r.encode(bytes.data());
    return bytes;
}

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }  // blanks are skipped

}  // namespace

TEST(Records, NameIndexAndReferences) {
    const NameRecord name{.mapObjectCount = 3,
                          .firstMapObject = 70000,
                          .partCount = -2,
                          .firstPart = 20,
                          .parentClass = 7,
                          .parentRecord = 1000};
    EXPECT_EQ(NameRecord::decode(encoded(name).constData()), name);
    const QByteArray nameBytes = hex("0300 70110100 feff 14000000 0700 e8030000");
    EXPECT_EQ(encoded(name), nameBytes);
    EXPECT_EQ(NameRecord::decode(nameBytes.constData()), name);

    const ObjectRef ref{.first = 12, .second = -5};
    EXPECT_EQ(ObjectRef::decode(encoded(ref).constData()), ref);
    const QByteArray refBytes = hex("0c00 fbffffff");
    EXPECT_EQ(encoded(ref), refBytes);
    EXPECT_EQ(ObjectRef::decode(refBytes.constData()), ref);
}

TEST(Records, NameFilesByStyle) {
    EXPECT_EQ(nameRecordLength(kStreetNameStyle), 68);
    EXPECT_EQ(nameRecordLength(kHouseNumberStyle), 10);
    EXPECT_EQ(nameRecordLength(kLongNameStyle), 300);
    for (int style : {0, int(kPlainNameStyle), 5, 9})
        EXPECT_EQ(nameRecordLength(style), 100) << style;

    // Streets: the name, 32 blanks, two zero integers.
    const QByteArray street = QByteArray("Sadovaya") + QByteArray(24 + 32, ' ') + hex("0000 0000");
    EXPECT_EQ(encoded(StreetNameRecord{QStringLiteral("Sadovaya")}), street);
    EXPECT_EQ(StreetNameRecord::decode(street.constData()).name.trimmed(), "Sadovaya");
    const QString cyrillic = QStringLiteral("Садовая улица");
    EXPECT_EQ(StreetNameRecord::decode(encoded(StreetNameRecord{cyrillic}).constData()).name,
              cyrillic.leftJustified(32));

    // House numbers: number, fraction, building.
    const QByteArray house("12A 3  2  ");
    const HouseNumberRecord h = HouseNumberRecord::decode(house.constData());
    EXPECT_EQ(h.number, "12A ");
    EXPECT_EQ(h.fraction, "3  ");
    EXPECT_EQ(h.building, "2  ");
    EXPECT_EQ(encoded(HouseNumberRecord{"12A", "3", "2"}), house);

    // Long names: full name at 0, short name at 175, a zero integer at 171.
    QByteArray longName(300, ' ');
    longName.replace(0, 9, "Full name");
    longName.replace(171, 4, hex("00000000"));
    longName.replace(175, 5, "Short");
    EXPECT_EQ(encoded(LongNameRecord{"Full name", "Short"}), longName);
    const LongNameRecord l = LongNameRecord::decode(longName.constData());
    EXPECT_EQ(l.fullName.trimmed(), "Full name");
    EXPECT_EQ(l.shortName, QStringLiteral("Short").leftJustified(25));

    // Plain names: the name, three zero integers; a name too long is cut.
    const QByteArray plain = QByteArray("Mira") + QByteArray(90, ' ') + QByteArray(6, '\0');
    EXPECT_EQ(encoded(PlainNameRecord{"Mira"}), plain);
    EXPECT_EQ(PlainNameRecord::decode(plain.constData()).name.trimmed(), "Mira");
    EXPECT_EQ(PlainNameRecord::decode(encoded(PlainNameRecord{QString(120, 'n')}).constData()).name,
              QString(94, 'n'));
}

TEST(Records, ObjectFiles) {
    const ObjectRecord object{.typeIndex = 5,
                              .nameKind = 2,
                              .nameIndex = 300,
                              .x1 = -1,
                              .y1 = 2,
                              .x2 = 70000,
                              .y2 = 4,
                              .pointCount = 6,
                              .pointOffset = 17,
                              .maxLevel = 3};
    EXPECT_EQ(ObjectRecord::decode(encoded(object).constData()), object);
    const QByteArray objectBytes =
        hex("0500 0200 2c010000 ffffffff 02000000 70110100 04000000 0600 11000000 0300");
    EXPECT_EQ(encoded(object), objectBytes);
    EXPECT_EQ(ObjectRecord::decode(objectBytes.constData()), object);

    const GridCell cell{.objectCount = 4, .firstEntry = 65537};
    EXPECT_EQ(encoded(cell), hex("0400 01000100"));
    EXPECT_EQ(GridCell::decode(encoded(cell).constData()), cell);

    // Object 70000 = 1 * 65536 + 4464: low part unsigned, high part after it.
    const CellEntry entry = CellEntry::of(70000, 3);
    EXPECT_EQ(entry.object(), 70000);
    EXPECT_EQ(encoded(entry), hex("7011 0100 0300"));
    EXPECT_EQ(CellEntry::decode(encoded(entry).constData()), entry);
    EXPECT_EQ(CellEntry::decode(hex("ffff 0000 0000").constData()).object(), 65535);

    char point[PoolPoint::kLength];
    PoolPoint::encode(point, QPoint(-2, 70000));
    EXPECT_EQ(QByteArray(point, PoolPoint::kLength), hex("feffffff 70110100"));
    EXPECT_EQ(PoolPoint::decode(point), QPoint(-2, 70000));
}
