// The arguments and the printed lines of urbica-find.
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <algorithm>

#include "dataset/filecheck.h"
#include "findsession.h"
#include "view/locate.h"

namespace urbica::findtool {

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

Args parseArgs(const QStringList& list, const QStringList& valued, const QStringList& flags) {
    Args a;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString& s = list[i];
        if (s.startsWith(QLatin1String("--"))) {
            if (valued.contains(s)) {
                if (i + 1 >= list.size()) {
                    a.bad = QStringLiteral("нет значения у %1").arg(s);
                    return a;
                }
                a.options.emplace(s, list[++i]);
            } else if (flags.contains(s)) {
                a.flags << s;
            } else {
                a.bad = QStringLiteral("неизвестный ключ %1").arg(s);
                return a;
            }
        } else {
            a.positional << s;
        }
    }
    return a;
}

std::optional<int64_t> parseCount(const QString& s) {
    bool ok = false;
    const qlonglong v = s.toLongLong(&ok);
    if (!ok || v < 1) return std::nullopt;
    return v;
}

bool Session::streetClassOk() {
    const int sc = state.catalogue.streetClass;
    if (classInTable(sc)) return true;
    o.error(QStringLiteral("Класс улиц %1 в каталоге вне таблицы классов (1..%2)")
                .arg(sc)
                .arg(state.tables.classCount()));
    return false;
}

bool Session::classFilesOk(int c) {
    const QString problem = classFilesProblem(ctx(), c);
    if (!problem.isEmpty()) o.error(problem);
    return problem.isEmpty();
}

Found Session::describe(int c, int32_t n) const {
    Found f;
    f.name = objectName(ctx(), c, n, true);
    f.classNumber = c;
    f.record = n;
    f.approximate = approximate.contains(approximateKey(c, n));
    ObjectBox box;
    QString problem;
    const bool placed = namedObjectBox(state, c, n, box, &problem);
    // Each file once, whichever record of it was asked for.
    const QString file = problem.section(u':', 0, 0);
    if (!problem.isEmpty() && std::none_of(damaged.cbegin(), damaged.cend(), [&](const QString& d) {
            return d.section(u':', 0, 0) == file;
        }))
        damaged << problem;
    if (placed) {
        f.placed = true;
        f.x = (double(box.x1) + box.x2) / 2;
        f.y = (double(box.y1) + box.y2) / 2;
        if (geo) {
            geo->toLatLon(f.x, f.y, f.lat, f.lon);
            f.hasLatLon = true;
        }
    }
    return f;
}

namespace {

QString number(double v) { return QString::number(v, 'g', 15); }
QString degrees(double v) { return QString::number(v, 'f', 6); }

}  // namespace

void Session::print(const Found& f, const Prefix& prefix) {
    if (o.json) {
        QJsonObject j;
        for (const auto& [k, v] : prefix)
            j.insert(k, k == QLatin1String("line")         ? QJsonValue(v.toLongLong())
                        : k == QLatin1String("distance_m") ? QJsonValue(v.toDouble())
                                                           : QJsonValue(v));
        j.insert(QStringLiteral("name"), f.name);
        j.insert(QStringLiteral("class"), f.classNumber);
        j.insert(QStringLiteral("record"), f.record);
        if (f.placed) {
            j.insert(QStringLiteral("x"), f.x);
            j.insert(QStringLiteral("y"), f.y);
        }
        if (f.hasLatLon) {
            // Six decimals, as the text columns.
            j.insert(QStringLiteral("lat"), degrees(f.lat).toDouble());
            j.insert(QStringLiteral("lon"), degrees(f.lon).toDouble());
        }
        if (f.approximate) j.insert(QStringLiteral("approximate"), true);
        o.line(QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
        return;
    }
    QStringList fields;
    for (const auto& p : prefix) fields << p.second;
    fields << QString(f.name).replace(u'\t', u' ') << QString::number(f.classNumber)
           << QString::number(f.record) << (f.placed ? number(f.x) : QString())
           << (f.placed ? number(f.y) : QString());
    if (geo)
        fields << (f.hasLatLon ? degrees(f.lat) : QString())
               << (f.hasLatLon ? degrees(f.lon) : QString());
    o.line(fields.join(u'\t'));
}

std::shared_ptr<const AddressIndex> Session::addressIndex() {
    if (!streetClassOk() || !classFilesOk(state.catalogue.streetClass)) return nullptr;
    QString error;
    std::shared_ptr<const AddressIndex> index = AddressIndex::cached(ctx(), &error);
    if (!index) o.error(error);
    return index;
}

}  // namespace urbica::findtool
