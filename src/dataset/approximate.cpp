#include "dataset/approximate.h"

#include <QFileInfo>
#include <algorithm>

#include "dataset/datafile.h"

namespace urbica {

namespace {

constexpr char kHeader[] = "urbica-approximate-houses 1";
// A file larger than this is no file of ours (some 30 million houses).
constexpr int64_t kMaxFileSize = int64_t(512) << 20;

}  // namespace

QByteArray encodeApproximateHouses(std::vector<HouseRef> houses) {
    auto key = [](const HouseRef& h) { return approximateKey(h.classNumber, h.record); };
    std::sort(houses.begin(), houses.end(),
              [&](const HouseRef& a, const HouseRef& b) { return key(a) < key(b); });
    houses.erase(
        std::unique(houses.begin(), houses.end(),
                    [&](const HouseRef& a, const HouseRef& b) { return key(a) == key(b); }),
        houses.end());
    QByteArray out(kHeader);
    out += '\n';
    for (const HouseRef& h : houses)
        out += QByteArray::number(h.classNumber) + '\t' + QByteArray::number(h.record) + '\n';
    return out;
}

QSet<qint64> parseApproximateHouses(const QByteArray& bytes, QString* problem) {
    QSet<qint64> out;
    const QList<QByteArray> lines = bytes.split('\n');
    auto bad = [&](qsizetype line) {
        if (problem)
            *problem = QStringLiteral("Строка %1 файла приблизительных домов %2 не читается")
                           .arg(line + 1)
                           .arg(QLatin1String(kApproximateHousesFile));
        return QSet<qint64>();
    };
    if (lines.isEmpty() || lines.front() != kHeader) return bad(0);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) {
            if (i + 1 == lines.size()) break;  // the last line's end
            return bad(i);
        }
        const QList<QByteArray> f = lines[i].split('\t');
        bool ok1 = false, ok2 = false;
        const int c = f.size() == 2 ? f[0].toInt(&ok1) : 0;
        const int r = f.size() == 2 ? f[1].toInt(&ok2) : 0;
        if (!ok1 || !ok2 || c < 1 || c > 32767 || r < 1 || r > 999999) return bad(i);
        out.insert(approximateKey(c, r));
    }
    return out;
}

QSet<qint64> readApproximateHouses(const QString& dataDirectory, QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kApproximateHousesFile));
    if (!QFileInfo::exists(path)) return {};
    DataFile file(path);
    QByteArray bytes;
    if (!file.isOpen() || file.size() > kMaxFileSize || !file.readAt(0, file.size(), bytes)) {
        if (problem)
            *problem = QStringLiteral("Файл приблизительных домов %1 не читается").arg(path);
        return {};
    }
    return parseApproximateHouses(bytes, problem);
}

}  // namespace urbica
