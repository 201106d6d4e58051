// The files a dataset may carry beside the map's own: its data source, the
// name it goes by, and the stamp that tells a dataset replaced on disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dataset/cityname.h"
#include "dataset/datasetstamp.h"
#include "dataset/datasource.h"
#include "dataset/writer.h"

using namespace urbica;

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The smallest dataset the writer takes.
DatasetData tinyCity() {
    DatasetData d;
    d.catalogue.gridExtent = 1000;
    d.catalogue.extentWidth = d.catalogue.extentHeight = 1000;
    d.catalogue.startWidth = 1000;
    LayerRecord l;
    l.layerName = "L";
    l.baseName = "l";
    l.levels[0] = {1000, -1};
    d.tables.types = {ObjectType{}, ObjectType{}};
    d.tables.layers.push_back(l);
    d.layerObjects = {{}, {}};
    return d;
}

}  // namespace

TEST(DataSource, WrittenWithTheDatasetAndReadBackOrRefused) {
    QTemporaryDir dir;
    DatasetData d = tinyCity();
    ASSERT_TRUE(writeDataset(d, dir.path()));
    const QString folder = dir.path() + QLatin1Char('/');
    EXPECT_FALSE(QFile::exists(dir.filePath(QLatin1String(kDataSourceFile))))
        << "a dataset without a source has no file";
    QString problem;
    EXPECT_FALSE(readDataSource(folder, &problem));
    EXPECT_TRUE(problem.isEmpty());

    d.source = openStreetMapSource();
    ASSERT_TRUE(writeDataset(d, dir.path()));
    const auto read = readDataSource(folder, &problem);
    ASSERT_TRUE(read) << problem.toStdString();
    EXPECT_EQ(read->notice, QStringLiteral("© участники OpenStreetMap"));
    EXPECT_EQ(read->url, QStringLiteral("https://www.openstreetmap.org/copyright"));
    EXPECT_EQ(read->licence, QStringLiteral("ODbL 1.0"));
    EXPECT_EQ(dataSourceLine(*read), QStringLiteral("© участники OpenStreetMap, лицензия ODbL 1.0: "
                                                    "https://www.openstreetmap.org/copyright"));

    // Keys a reader does not know are skipped; a file without its header, its
    // notice or readable UTF-8 is refused with a reason.
    const QByteArray later = "urbica-source 1\nnotice Данные\nlater-key x\n";
    EXPECT_EQ(parseDataSource(later)->notice, QStringLiteral("Данные"));
    for (const QByteArray& bad :
         {QByteArray("notice x\n"), QByteArray("urbica-source 1\nurl http://x\n"),
          QByteArray("urbica-source 1\nnotice \xff\xfe\n"), QByteArray(5000, 'x')}) {
        ASSERT_TRUE(writeBytes(dir.filePath(QLatin1String(kDataSourceFile)), bad));
        problem.clear();
        EXPECT_FALSE(readDataSource(folder, &problem)) << bad.left(40).toStdString();
        EXPECT_TRUE(problem.contains(QLatin1String(kDataSourceFile))) << problem.toStdString();
    }
}

TEST(CityName, CatalogueNameElseFolderName) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("Минск"));
    DatasetData d = tinyCity();
    ASSERT_TRUE(writeDataset(d, folder));
    EXPECT_EQ(cityNameOfFolder(folder), QStringLiteral("Минск"));
    EXPECT_EQ(cityNameOfFolder(folder + QLatin1Char('/')), QStringLiteral("Минск"));
    d.catalogue.reserved50 = QStringLiteral("Город  Минск");
    ASSERT_TRUE(writeDataset(d, folder));
    EXPECT_EQ(cityNameOfFolder(folder), QStringLiteral("Город Минск"));
    EXPECT_EQ(cityName(d.catalogue, folder), QStringLiteral("Город Минск"));
    EXPECT_EQ(cityNameOfFolder(QDir(dir.path()).filePath(QStringLiteral("нет"))),
              QStringLiteral("нет"))
        << "a folder without a catalogue goes by its name";
}

TEST(DatasetStamp, ChangesWhenTheDatasetIsReplaced) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDataset(tinyCity(), folder));
    const DatasetStamp first = datasetStamp(folder);
    EXPECT_NE(first.catalogueSize, -1);
    EXPECT_EQ(datasetStamp(folder + QLatin1Char('/')), first);

    // Another dataset put in the folder's place, as the importer does.
    const QString fresh = QDir(dir.path()).filePath(QStringLiteral("fresh"));
    ASSERT_TRUE(writeDataset(tinyCity(), fresh));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QDir().rename(fresh, folder));
    EXPECT_NE(datasetStamp(folder), first);
    EXPECT_EQ(datasetStamp(QDir(dir.path()).filePath(QStringLiteral("gone"))).catalogueSize, -1);
}
