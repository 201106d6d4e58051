#include "dataset/kindplaces.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <tuple>

#include "dataset/datafile.h"
#include "dataset/linefile.h"

namespace urbica {

namespace {

constexpr char kHeader[] = "urbica-kinds 1";
constexpr qsizetype kMaxLine = 512;

bool usableTag(const QString& tag) {
    return !tag.isEmpty() && tag.contains(u'=') &&
           std::none_of(tag.begin(), tag.end(), [](QChar c) { return c.isSpace(); });
}

// A whole decimal number, possibly negative, within min .. max.
bool readNumber(QByteArrayView field, int64_t min, int64_t max, int64_t& out) {
    bool negative = false;
    if (!field.isEmpty() && field.front() == '-') {
        negative = true;
        field = field.sliced(1);
    }
    if (field.isEmpty() || field.size() > 10) return false;
    int64_t v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v < min || v > max) return false;
    out = v;
    return true;
}

}  // namespace

QByteArray encodeKindPlaces(std::vector<KindPlace> places) {
    std::erase_if(places, [](const KindPlace& p) {
        return !usableTag(p.tag) || p.layer < 1 || p.object < 1 || p.classNumber < 0 ||
               p.record < 0;
    });
    auto order = [](const KindPlace& a, const KindPlace& b) {
        return std::tie(a.tag, a.layer, a.object, a.classNumber, a.record) <
               std::tie(b.tag, b.layer, b.object, b.classNumber, b.record);
    };
    std::sort(places.begin(), places.end(), order);
    QByteArray out(kHeader);
    out += '\n';
    for (size_t i = 0; i < places.size(); ++i) {
        const KindPlace& p = places[i];
        if (i > 0 && !order(places[i - 1], p)) continue;  // the same line twice
        out += p.tag.toUtf8() + '\t' + QByteArray::number(p.x) + '\t' + QByteArray::number(p.y) +
               '\t' + QByteArray::number(p.classNumber) + '\t' + QByteArray::number(p.record) +
               '\t' + QByteArray::number(p.layer) + '\t' + QByteArray::number(p.object) + '\n';
    }
    return out;
}

std::shared_ptr<const KindPlaces> KindPlaces::parse(const QByteArray& bytes, const QString& name,
                                                    QString* problem) {
    auto set = std::make_shared<KindPlaces>();
    const auto place = [&](int64_t, QByteArrayView text, QString& why) {
        std::vector<QByteArrayView> f;
        for (QByteArrayView t = text;;) {
            const qsizetype tab = t.indexOf('\t');
            f.push_back(tab < 0 ? t : t.first(tab));
            if (tab < 0) break;
            t = t.sliced(tab + 1);
        }
        int64_t v[6] = {};
        const int64_t lo[6] = {-(int64_t(1) << 31), -(int64_t(1) << 31), 0, 0, 1, 1};
        const int64_t hi[6] = {INT32_MAX, INT32_MAX, 32767, 999999, 32767, INT32_MAX};
        bool ok = f.size() == 7;
        for (int i = 0; ok && i < 6; ++i) ok = readNumber(f[size_t(i) + 1], lo[i], hi[i], v[i]);
        if (!ok || (v[2] == 0) != (v[3] == 0)) {
            why = QStringLiteral("нет чисел места и объекта");
            return false;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString tag = decoder.decode(f[0]);
        if (decoder.hasError() || !usableTag(tag)) {
            why = QStringLiteral("вид не читается");
            return false;
        }
        set->kinds_[tag].push_back({tag, int32_t(v[0]), int32_t(v[1]), int16_t(v[2]), int32_t(v[3]),
                                    int16_t(v[4]), int32_t(v[5])});
        ++set->count_;
        return true;
    };
    LineFileError bad;
    if (!forEachLineAfterHeader(bytes, kHeader, kMaxLine, bad, place)) {
        if (problem)
            *problem = lineFileProblem(QStringLiteral("мест по видам"), name, bad,
                                       QStringLiteral("виды мест ищутся по типам объектов"));
        return std::make_shared<const KindPlaces>();
    }
    set->present_ = true;
    return set;
}

std::shared_ptr<const KindPlaces> KindPlaces::load(const QString& dataDirectory, FileCache* files,
                                                   QString* problem) {
    const QString path = dataFilePath(dataDirectory, QLatin1String(kKindPlacesFile));
    if (!QFileInfo::exists(path)) return std::make_shared<const KindPlaces>();
    auto read = [&]() -> std::shared_ptr<const KindPlaces> {
        const WholeFile file(path, files);
        QByteArray bytes;
        if (!file.ok() || !file.readAll(bytes)) {
            if (problem) *problem = QStringLiteral("Файл мест по видам %1 не читается").arg(path);
            return std::make_shared<const KindPlaces>();
        }
        return parse(bytes, path, problem);
    };
    if (!files || problem) return read();
    return files->derived<KindPlaces>(QStringLiteral("kind places ") + path, read);
}

const std::vector<KindPlace>& KindPlaces::ofKind(const QString& tag) const {
    static const std::vector<KindPlace> kNone;
    auto it = kinds_.constFind(tag);
    return it == kinds_.constEnd() ? kNone : *it;
}

}  // namespace urbica
