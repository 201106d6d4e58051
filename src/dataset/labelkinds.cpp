#include "dataset/labelkinds.h"

#include <QFileInfo>
#include <QList>

#include "dataset/datafile.h"

namespace urbica {

namespace {

constexpr char kHeader[] = "urbica-label-kinds 1";
constexpr int kMaxType = 32767;
constexpr qint64 kMaxFileSize = 1 << 20;

constexpr LabelKind kKinds[] = {LabelKind::Station,         LabelKind::Street,
                                LabelKind::Water,           LabelKind::Area,
                                LabelKind::PointOfInterest, LabelKind::HouseNumber};

QString damaged(const QString& why) {
    return QStringLiteral("Файл видов подписей %1 повреждён: %2; подписи идут по форме объектов")
        .arg(QLatin1String(kLabelKindsFile), why);
}

}  // namespace

const char* labelKindWord(LabelKind kind) {
    switch (kind) {
        case LabelKind::Station:
            return "station";
        case LabelKind::Street:
            return "street";
        case LabelKind::Water:
            return "water";
        case LabelKind::Area:
            return "area";
        case LabelKind::PointOfInterest:
            return "poi";
        case LabelKind::HouseNumber:
            return "house";
        case LabelKind::Unknown:
            break;
    }
    return nullptr;
}

QByteArray encodeLabelKinds(const std::vector<LabelKind>& byType) {
    QByteArray out(kHeader);
    out += '\n';
    for (size_t t = 1; t < byType.size() && t <= size_t(kMaxType); ++t)
        if (const char* word = labelKindWord(byType[t]))
            out += QByteArray::number(qulonglong(t)) + '\t' + word + '\n';
    return out;
}

std::optional<LabelKinds> LabelKinds::parse(const QByteArray& bytes, QString* problem) {
    auto bad = [&](const QString& why) -> std::optional<LabelKinds> {
        if (problem) *problem = damaged(why);
        return std::nullopt;
    };
    if (bytes.size() > kMaxFileSize) return bad(QStringLiteral("слишком длинный"));
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2 || !lines.back().isEmpty()) return bad(QStringLiteral("нет конца строки"));
    lines.removeLast();
    if (lines.front() != kHeader) return bad(QStringLiteral("неизвестный заголовок"));
    LabelKinds kinds;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        bool ok = fields.size() == 2;
        const int type = ok ? fields[0].toInt(&ok) : 0;
        LabelKind kind = LabelKind::Unknown;
        for (LabelKind k : kKinds)
            if (ok && fields[1] == labelKindWord(k)) kind = k;
        if (!ok || type < 1 || type > kMaxType || kind == LabelKind::Unknown ||
            QByteArray::number(type) != fields[0])
            return bad(QStringLiteral("строка %1 не читается").arg(i + 1));
        if (kinds.byType_.size() <= size_t(type)) kinds.byType_.resize(size_t(type) + 1);
        if (kinds.byType_[size_t(type)] != LabelKind::Unknown)
            return bad(QStringLiteral("строка %1: тип %2 назван второй раз").arg(i + 1).arg(type));
        kinds.byType_[size_t(type)] = kind;
    }
    return kinds;
}

std::shared_ptr<const LabelKinds> LabelKinds::load(const QString& dataDirectory, FileCache* files,
                                                   QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kLabelKindsFile));
    auto read = [&]() -> std::shared_ptr<const LabelKinds> {
        if (!QFileInfo::exists(path)) return std::make_shared<const LabelKinds>();
        const WholeFile file(path, files);
        QByteArray bytes;
        if (!file.ok() || file.size() > kMaxFileSize || !file.readAll(bytes)) {
            if (problem) *problem = damaged(QStringLiteral("не читается"));
            return std::make_shared<const LabelKinds>();
        }
        std::optional<LabelKinds> kinds = parse(bytes, problem);
        return std::make_shared<const LabelKinds>(kinds ? std::move(*kinds) : LabelKinds());
    };
    // A damaged file is read again at each call, so that its message can be given.
    if (!files || problem) return read();
    return files->derived<LabelKinds>(QStringLiteral("label kinds ") + path, read);
}

}  // namespace urbica
