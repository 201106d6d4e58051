#include "support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "targets.h"

namespace urbica::fuzz {

namespace {

// URBICA_FUZZ_TMP, when set, names the folder to work under (the fuzz script
// gives each run its own, so that a crashed run leaves nothing behind).
QString temporaryBase() {
    const QString given = qEnvironmentVariable("URBICA_FUZZ_TMP");
    if (!given.isEmpty()) return given;
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                     : QDir::tempPath();
}

QTemporaryDir& processFolder() {
    static QTemporaryDir dir(temporaryBase() + QStringLiteral("/urbica-fuzz-XXXXXX"));
    return dir;
}

}  // namespace

const QString& targetFolder(const char* target) {
    static QHash<QString, QString> folders;
    const QString name = QString::fromLatin1(target);
    auto it = folders.constFind(name);
    if (it != folders.constEnd()) return *it;
    if (!processFolder().isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder\n");
        std::abort();
    }
    const QString path = processFolder().path() + QLatin1Char('/') + name + QLatin1Char('/');
    QDir().mkpath(path);
    return *folders.insert(name, path);
}

void putFile(const QString& path, const QByteArray& content) {
    if (content.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

void putFiles(const QString& folder, const QStringList& names,
              const std::vector<QByteArray>& parts) {
    for (qsizetype i = 0; i < names.size(); ++i)
        putFile(folder + names[i], size_t(i) < parts.size() ? parts[size_t(i)] : QByteArray());
}

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "urbica-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

void checkFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

std::vector<QByteArray> splitInput(const uint8_t* data, size_t size, int parts) {
    std::vector<QByteArray> out(size_t(parts > 0 ? parts : 0));
    if (parts <= 0) return out;
    size_t at = 0;
    std::vector<size_t> lengths;
    for (int i = 0; i + 1 < parts; ++i) {
        size_t v = 0;
        if (at + 2 <= size) v = size_t(data[at]) | (size_t(data[at + 1]) << 8);
        at = std::min(size, at + 2);
        lengths.push_back(v);
    }
    for (int i = 0; i < parts; ++i) {
        const size_t left = size - at;
        const size_t len = i + 1 < parts ? lengths[size_t(i)] % (left + 1) : left;
        out[size_t(i)] = QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(len));
        at += len;
    }
    return out;
}

QByteArray joinParts(const std::vector<QByteArray>& parts) {
    QByteArray header, body;
    for (size_t i = 0; i < parts.size(); ++i) {
        QByteArray p = parts[i];
        if (i + 1 < parts.size()) {
            p.truncate(65535);
            header.append(char(p.size() & 0xFF));
            header.append(char(p.size() >> 8));
        }
        body += p;
    }
    return header + body;
}

const std::vector<Target>& allTargets() {
    static const std::vector<Target> targets = {{"settings", fuzzSettings},
                                                {"catalogue", fuzzCatalogue},
                                                {"tables", fuzzTables},
                                                {"names", fuzzNames},
                                                {"layer", fuzzLayer},
                                                {"bookmarks", fuzzBookmarks},
                                                {"icons", fuzzIcons},
                                                {"housenumber", fuzzHouseNumber},
                                                {"addressline", fuzzAddressLine},
                                                {"osmxml", fuzzOsmXml},
                                                {"kinds", fuzzKinds}};
    return targets;
}

}  // namespace urbica::fuzz
