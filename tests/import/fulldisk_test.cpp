// An import that fills the disk: the dataset is refused with a message, a
// dataset already in the folder stays whole and nothing half-written is left.
// The test mounts a small tmpfs, which needs the right to mount.
#include <gtest/gtest.h>

#include "../support/smalltmpfs.h"
#include "addresscheck.h"
#include "osmimport.h"
#include "output.h"

using namespace urbica::osmimport;

namespace {

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(importOsm(QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm"), city_, &error))
            << error.toStdString();
    }
    ImportResult city_;
    urbica::testing::SmallTmpfs disk_;
};

}  // namespace

TEST_F(FullDisk, TheWriteIsRefusedAndTheOldDatasetStaysWhole) {
    // The excerpt's dataset takes some 560 KB of a tmpfs.
    if (!disk_.mount("256k")) GTEST_SKIP() << "no right to mount a tmpfs here";
    const QString target = disk_.path() + QStringLiteral("/city");
    QString error;
    EXPECT_FALSE(writeDatasetSafely(city_.data, target, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(disk_.entries().isEmpty()) << disk_.entries().join(' ').toStdString();

    // Room for one dataset but not for a second one beside it.
    ASSERT_TRUE(disk_.mount("800k"));
    error.clear();
    ASSERT_TRUE(writeDatasetSafely(city_.data, target, &error)) << error.toStdString();
    EXPECT_FALSE(writeDatasetSafely(city_.data, target, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(disk_.entries(), QStringList{QStringLiteral("city")});
    const AddressCheck found = checkAddresses(target, city_.addresses);
    EXPECT_TRUE(found.error.isEmpty()) << found.error.toStdString();
    EXPECT_EQ(found.found, int64_t(city_.addresses.size())) << "the old dataset opens whole";
}

TEST(FullDiskImport, AFileTheWritingThreadCannotWriteRefusesTheImportWhole) {
    // The importer's files are written by a thread of their own: its failure
    // must end the import with its message and leave nothing behind.
    urbica::testing::SmallTmpfs disk;
    if (!disk.mount("256k")) GTEST_SKIP() << "no right to mount a tmpfs here";
    ImportResult read;
    QString error;
    ASSERT_TRUE(readOsm(QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm"), read, &error))
        << error.toStdString();
    EXPECT_FALSE(writeImported(read, disk.path() + QStringLiteral("/city"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(disk.entries().isEmpty()) << disk.entries().join(' ').toStdString();
}
