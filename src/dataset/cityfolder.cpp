#include "dataset/cityfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "dataset/tables.h"

namespace urbica {

namespace {

// A list of five folders never needs more; a larger file is not a list.
constexpr qint64 kMaxRecentFileSize = 64 * 1024;

QString u(const char* s) { return QString::fromUtf8(s); }

// The same folder, however it was written.
QString folderKey(const QString& folder) {
    return QDir::cleanPath(QDir(platformPath(folder)).absolutePath());
}

}  // namespace

QString cityDirectory(const QString& folder) {
    return QDir::toNativeSeparators(folderKey(folder) + QLatin1Char('/'));
}

QString cityFolderProblem(const QString& folder) {
    const QString dir = cityDirectory(folder);
    const QString shown = QDir::toNativeSeparators(folderKey(folder));
    if (!QFileInfo(platformPath(dir)).isDir()) return u("Папка %1 не найдена.").arg(shown);
    QStringList missing;
    for (const char* name : {kCatalogueFile, kTypeFile, kLayerFile, kDrawOrderFile,
                             kSelectOrderFile, kClassFile, kClassExtraFile})
        if (!QFileInfo::exists(dataFilePath(dir, QLatin1String(name))))
            missing << QLatin1String(name);
    if (!missing.isEmpty())
        return u("В папке %1 нет набора данных города: не хватает файлов %2.")
            .arg(shown, missing.join(u(", ")));
    Settings s;
    s.dataDirectory = dir;
    Catalogue catalogue;
    Tables tables;
    DataFile file(dataFilePath(dir, QLatin1String(kCatalogueFile)));
    if (!file.isOpen())
        return u("Каталог %1 в папке %2 не читается.").arg(QLatin1String(kCatalogueFile), shown);
    if (!readCatalogue(s, catalogue, tables) || catalogue.gridExtent <= 0 ||
        catalogue.extentWidth <= 0 || catalogue.extentHeight <= 0 || catalogue.startWidth <= 0)
        return u("Каталог %1 или таблицы в папке %2 повреждены.")
            .arg(QLatin1String(kCatalogueFile), shown);
    return QString();
}

QStringList readRecentCities(const QString& programDirectory) {
    const QString path = QDir(programDirectory).filePath(QLatin1String(kRecentCitiesFile));
    DataFile f(path);
    QByteArray raw;
    if (!f.isOpen() || f.size() > kMaxRecentFileSize || !f.readAll(raw)) return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (utf8.hasError() || text.contains(QChar(0))) return {};
    QStringList list, keys;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || keys.contains(folderKey(line))) continue;
        keys << folderKey(line);
        list << line;
        if (list.size() == kRecentCitiesKept) break;
    }
    return list;
}

QStringList withRecentCity(const QStringList& list, const QString& folder) {
    QStringList out{folder};
    const QString key = folderKey(folder);
    for (const QString& f : list)
        if (folderKey(f) != key && out.size() < kRecentCitiesKept) out << f;
    return out;
}

bool writeRecentCities(const QString& programDirectory, const QStringList& list, QString* error) {
    QByteArray text;
    for (const QString& f : list.mid(0, kRecentCitiesKept)) text += f.toUtf8() + '\n';
    return writeFileAtomically(QDir(programDirectory).filePath(QLatin1String(kRecentCitiesFile)),
                               text, error);
}

}  // namespace urbica
