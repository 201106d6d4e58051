#include "dataset/filecheck.h"

#include <QDir>

#include "dataset/datafile.h"
#include "dataset/names.h"
#include "dataset/objects.h"
#include "dataset/tables.h"

namespace urbica {

QString damagedFileText(const QString& path, const QString& why) {
    return QStringLiteral("Файл %1 повреждён: %2").arg(QDir::toNativeSeparators(path), why);
}

QString recordFileProblem(const QString& path, int recordLength, int64_t needed) {
    const FileStamp stamp = FileStamp::of(path);
    if (!stamp.valid()) return QStringLiteral("Нет файла %1").arg(QDir::toNativeSeparators(path));
    if (recordLength <= 0) return {};
    if (stamp.size % recordLength != 0)
        return damagedFileText(path, QStringLiteral("длина %1 байт не кратна длине записи %2")
                                         .arg(stamp.size)
                                         .arg(recordLength));
    const int64_t count = stamp.size / recordLength;
    if (needed > count || needed < 0)
        return damagedFileText(
            path, QStringLiteral("в нём %1 записей, а нужна запись %2").arg(count).arg(needed));
    return {};
}

QString layerFilesProblem(const QString& dir, const LayerRecord& layer, QString* path) {
    QString p;
    auto check = [&](const QString& ext, int recordLength) {
        const QString file = dataFilePath(dir, layer.fileBase() + ext);
        if (p.isEmpty()) p = recordFileProblem(file, recordLength);
        if (!p.isEmpty() && path && path->isEmpty()) *path = file;
    };
    check(QStringLiteral(".zgs"), ObjectRecord::kRecordLength);
    // The point pool is addressed by byte offsets: it need only be there.
    check(QStringLiteral(".xy4"), 0);
    for (int level = 1; level <= 3 && p.isEmpty(); ++level) {
        if (layer.levels[size_t(level - 1)].cellSize <= 0) continue;
        const QString digit = QString::number(level);
        check(QStringLiteral(".tb") + digit, GridCell::kRecordLength);
        check(QStringLiteral(".sr") + digit, CellEntry::kRecordLength);
    }
    return p;
}

QString classFilesProblem(const NameContext& ctx, int c) {
    if (c < 1 || c > ctx.tables.classCount()) return {};
    const QString index = classFilePath(ctx, c, ".cl2");
    QString p = recordFileProblem(index, NameRecord::kRecordLength);
    if (p.isEmpty()) p = recordFileProblem(classFilePath(ctx, c, ".ssl"), ObjectRef::kRecordLength);
    if (p.isEmpty()) p = recordFileProblem(classFilePath(ctx, c, ".dnl"), ObjectRef::kRecordLength);
    const int style = ctx.tables.classes[size_t(c)].nameStyle;
    // Streets take their names from the street class.
    if (p.isEmpty() && (style != kStreetNameStyle || c == ctx.catalogue.streetClass))
        p = recordFileProblem(classFilePath(ctx, c, ".cls"), nameRecordLength(style),
                              FileStamp::of(index).size / NameRecord::kRecordLength);
    return p;
}

}  // namespace urbica
