// The list of houses placed by estimate (urbica.apx).
#include "dataset/approximate.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace urbica;

TEST(ApproximateHouses, WrittenSortedReadBackAndDamagedFilesRefused) {
    const QByteArray bytes = encodeApproximateHouses({{7, 13}, {7, 12}, {8, 1}, {7, 12}});
    EXPECT_EQ(bytes, QByteArray("urbica-approximate-houses 1\n7\t12\n7\t13\n8\t1\n"));
    QString problem;
    const QSet<qint64> set = parseApproximateHouses(bytes, &problem);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(set,
              QSet<qint64>({approximateKey(7, 12), approximateKey(7, 13), approximateKey(8, 1)}));

    for (const char* bad :
         {"", "urbica-approximate-houses 2\n", "urbica-approximate-houses 1\n7\n",
          "urbica-approximate-houses 1\n0\t1\n", "urbica-approximate-houses 1\n7\t1000000\n",
          "urbica-approximate-houses 1\n7\t1\n\n8\t2\n", "urbica-approximate-houses 1\nx\ty\n"}) {
        problem.clear();
        EXPECT_TRUE(parseApproximateHouses(QByteArray(bad), &problem).isEmpty()) << bad;
        EXPECT_FALSE(problem.isEmpty()) << bad;
    }

    QTemporaryDir dir;
    problem.clear();
    EXPECT_TRUE(readApproximateHouses(dir.path() + u'/', &problem).isEmpty());
    EXPECT_TRUE(problem.isEmpty()) << "a dataset without the file";
    QFile f(dir.filePath(QLatin1String(kApproximateHousesFile)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.chopped(1));  // without the last line end
    f.close();
    EXPECT_EQ(readApproximateHouses(dir.path() + u'/', &problem).size(), 3);
}
