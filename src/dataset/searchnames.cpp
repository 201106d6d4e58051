#include "dataset/searchnames.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <tuple>

#include "dataset/datafile.h"
#include "dataset/names.h"

namespace urbica {

namespace {

constexpr int kMaxClass = 32767;
constexpr int32_t kMaxRecord = 999999;
constexpr qsizetype kMaxLine = 4096;

bool usable(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(u'\t') && !name.contains(u'\n') &&
           !name.contains(u'\r');
}

// A whole decimal number from first to the field's end, within 1 .. max.
bool readNumber(QByteArrayView field, int64_t max, int64_t& out) {
    if (field.isEmpty() || field.size() > 7) return false;
    int64_t v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > max) return false;
    out = v;
    return true;
}

}  // namespace

QByteArray encodeNameLines(std::vector<SearchNameData> names, const char* header,
                           bool onePerObject) {
    std::erase_if(names, [](const SearchNameData& n) {
        return !usable(n.name) || n.classNumber < 1 || n.record < 1;
    });
    auto order = [](const SearchNameData& a, const SearchNameData& b) {
        return std::tie(a.classNumber, a.record) < std::tie(b.classNumber, b.record);
    };
    auto orderWithName = [](const SearchNameData& a, const SearchNameData& b) {
        return std::tie(a.classNumber, a.record, a.name) <
               std::tie(b.classNumber, b.record, b.name);
    };
    if (onePerObject)
        std::stable_sort(names.begin(), names.end(), order);
    else
        std::sort(names.begin(), names.end(), orderWithName);
    QByteArray out(header);
    out += '\n';
    const SearchNameData* last = nullptr;
    for (const SearchNameData& n : names) {
        if (last && last->classNumber == n.classNumber && last->record == n.record &&
            (onePerObject || last->name == n.name))
            continue;
        last = &n;
        out += QByteArray::number(n.classNumber) + '\t' + QByteArray::number(n.record) + '\t' +
               n.name.trimmed().toUtf8() + '\n';
    }
    return out;
}

QByteArray encodeSearchNames(std::vector<SearchNameData> names, const NameLinesFile& kind) {
    return encodeNameLines(std::move(names), kind.header, false);
}

bool readNameLines(const QByteArray& bytes, const char* header, NameLinesError& bad,
                   const std::function<bool(int16_t, int32_t, QString)>& take) {
    return forEachLineAfterHeader(
        bytes, header, kMaxLine, bad, [&](int64_t, QByteArrayView text, QString& why) {
            const qsizetype tab1 = text.indexOf('\t');
            const qsizetype tab2 = tab1 < 0 ? -1 : text.indexOf('\t', tab1 + 1);
            int64_t cls = 0, record = 0;
            if (tab2 < 0 || !readNumber(text.first(tab1), kMaxClass, cls) ||
                !readNumber(text.sliced(tab1 + 1, tab2 - tab1 - 1), kMaxRecord, record)) {
                why = QStringLiteral("нет класса или номера записи");
                return false;
            }
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString n = decoder.decode(text.sliced(tab2 + 1));
            if (decoder.hasError() || !usable(n)) {
                why = QStringLiteral("имя не в UTF-8 или пустое");
                return false;
            }
            if (take(int16_t(cls), int32_t(record), std::move(n))) return true;
            why = QStringLiteral("объект назван второй раз");
            return false;
        });
}

std::shared_ptr<const SearchNames> SearchNames::parse(const QByteArray& bytes, const QString& name,
                                                      QString* problem, const NameLinesFile& kind) {
    auto set = std::make_shared<SearchNames>();
    NameLinesError bad;
    const bool ok =
        readNameLines(bytes, kind.header, bad, [&](int16_t cls, int32_t record, QString n) {
            if (set->classes_.size() <= size_t(cls)) set->classes_.resize(size_t(cls) + 1);
            const QString key = searchKey(n);
            set->classes_[size_t(cls)].push_back({record, std::move(n), key});
            ++set->count_;
            return true;
        });
    if (!ok) {
        if (problem)
            *problem = lineFileProblem(QString::fromUtf8(kind.what), name, bad,
                                       QString::fromUtf8(kind.consequence));
        return std::make_shared<const SearchNames>();
    }
    for (std::vector<Entry>& entries : set->classes_)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.record < b.record; });
    return set;
}

std::shared_ptr<const SearchNames> SearchNames::load(const QString& dataDirectory, FileCache* files,
                                                     QString* problem, const NameLinesFile& kind) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kind.file));
    auto read = [&]() -> std::shared_ptr<const SearchNames> {
        if (!QFileInfo::exists(path)) return std::make_shared<const SearchNames>();
        const WholeFile file(path, files);
        QByteArray bytes;
        if (!file.ok() || !file.readAll(bytes)) {
            if (problem)
                *problem = QStringLiteral("Файл %1 %2 не читается; %3")
                               .arg(QString::fromUtf8(kind.what), path,
                                    QString::fromUtf8(kind.consequence));
            return std::make_shared<const SearchNames>();
        }
        return parse(bytes, path, problem, kind);
    };
    // A damaged file is read again at each call, so that its message can be given.
    // A missing one is looked for again when the data folder's files change.
    if (!files || problem) return read();
    return files->derived<SearchNames>(QStringLiteral("name lines ") + path, read);
}

const QString* SearchNames::find(int classNumber, int32_t record) const {
    const std::vector<Entry>& entries = ofClass(classNumber);
    const auto it = std::lower_bound(entries.begin(), entries.end(), record,
                                     [](const Entry& e, int32_t r) { return e.record < r; });
    return it != entries.end() && it->record == record ? &it->name : nullptr;
}

const std::vector<SearchNames::Entry>& SearchNames::ofClass(int classNumber) const {
    static const std::vector<Entry> kNone;
    if (classNumber < 1 || size_t(classNumber) >= classes_.size()) return kNone;
    return classes_[size_t(classNumber)];
}

}  // namespace urbica
