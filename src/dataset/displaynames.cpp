#include "dataset/displaynames.h"

#include <QFileInfo>

#include "dataset/datafile.h"

namespace urbica {

namespace {

constexpr char kHeader[] = "urbica-display-names 1";

}  // namespace

QByteArray encodeDisplayNames(std::vector<SearchNameData> names) {
    return encodeNameLines(std::move(names), kHeader, true);
}

std::shared_ptr<const DisplayNames> DisplayNames::parse(const QByteArray& bytes,
                                                        const QString& name, QString* problem) {
    auto set = std::make_shared<DisplayNames>();
    NameLinesError bad;
    const bool ok = readNameLines(bytes, kHeader, bad, [&](int16_t c, int32_t n, QString text) {
        const qint64 key = (qint64(c) << 32) | quint32(n);
        if (set->names_.contains(key)) return false;
        set->names_.insert(key, std::move(text));
        return true;
    });
    if (ok) return set;
    if (problem)
        *problem = lineFileProblem(
            QStringLiteral("полных названий"), name, bad,
            QStringLiteral("названия показываются так, как они записаны в файлах имён"));
    return std::make_shared<const DisplayNames>();
}

std::shared_ptr<const DisplayNames> DisplayNames::load(const QString& dataDirectory,
                                                       QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kDisplayNamesFile));
    if (!QFileInfo::exists(path)) return std::make_shared<const DisplayNames>();
    const WholeFile file(path, nullptr);
    QByteArray bytes;
    if (!file.ok() || !file.readAll(bytes)) {
        if (problem)
            *problem = QStringLiteral(
                           "Файл полных названий %1 не читается; названия показываются так, "
                           "как они записаны в файлах имён")
                           .arg(path);
        return std::make_shared<const DisplayNames>();
    }
    return parse(bytes, path, problem);
}

}  // namespace urbica
