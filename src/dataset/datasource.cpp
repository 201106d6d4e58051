#include "dataset/datasource.h"

#include <QFileInfo>
#include <QList>

#include "dataset/datafile.h"

namespace urbica {

namespace {
constexpr char kHeader[] = "urbica-source 1";
constexpr qint64 kMaxFileSize = 4096;
constexpr int kMaxValueLength = 300;
}  // namespace

DataSource openStreetMapSource() {
    return DataSource{QStringLiteral("OpenStreetMap"), QStringLiteral("© участники OpenStreetMap"),
                      QStringLiteral("ODbL 1.0"),
                      QStringLiteral("https://www.openstreetmap.org/copyright")};
}

QString dataSourceLine(const DataSource& src) {
    QString line = src.notice;
    if (!src.licence.isEmpty()) line += QStringLiteral(", лицензия ") + src.licence;
    if (!src.url.isEmpty()) line += QStringLiteral(": ") + src.url;
    return line;
}

QByteArray encodeDataSource(const DataSource& src) {
    QByteArray out(kHeader);
    out += '\n';
    auto put = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) out += QByteArray(key) + ' ' + value.simplified().toUtf8() + '\n';
    };
    put("source", src.source);
    put("notice", src.notice);
    put("licence", src.licence);
    put("url", src.url);
    return out;
}

std::optional<DataSource> parseDataSource(const QByteArray& bytes, QString* problem) {
    auto bad = [&](const QString& why) -> std::optional<DataSource> {
        if (problem)
            *problem = QStringLiteral("Файл источника данных %1 повреждён: %2")
                           .arg(QLatin1String(kDataSourceFile), why);
        return std::nullopt;
    };
    if (bytes.size() > kMaxFileSize) return bad(QStringLiteral("слишком длинный"));
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.front().trimmed() != kHeader)
        return bad(QStringLiteral("нет заголовка"));
    DataSource src;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0) return bad(QStringLiteral("строка %1 не читается").arg(i + 1));
        const QString value = QString::fromUtf8(line.mid(blank + 1)).simplified();
        if (value.contains(QChar::ReplacementCharacter) || value.size() > kMaxValueLength)
            return bad(QStringLiteral("строка %1 не читается").arg(i + 1));
        const QByteArray key = line.left(blank);
        if (key == "source")
            src.source = value;
        else if (key == "notice")
            src.notice = value;
        else if (key == "licence")
            src.licence = value;
        else if (key == "url")
            src.url = value;
    }
    if (src.notice.isEmpty()) return bad(QStringLiteral("нет строки notice"));
    return src;
}

std::optional<DataSource> readDataSource(const QString& dataDirectory, QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kDataSourceFile));
    if (!QFileInfo::exists(path)) return std::nullopt;
    DataFile file(path);
    QByteArray bytes;
    if (!file.isOpen() || file.size() > kMaxFileSize || !file.readAt(0, file.size(), bytes)) {
        if (problem) *problem = QStringLiteral("Файл источника данных %1 не читается").arg(path);
        return std::nullopt;
    }
    return parseDataSource(bytes, problem);
}

}  // namespace urbica
