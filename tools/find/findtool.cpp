#include "findtool.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/tables.h"
#include "search/addressline.h"
#include "search/metro.h"
#include "search/quickfind.h"
#include "view/appstate.h"
#include "view/locate.h"

namespace urbica::findtool {

namespace {

const char kUsage[] =
    "Использование: urbica-find --data КАТАЛОГ [--json] КОМАНДА ...\n"
    "  house УЛИЦА НОМЕР [--letter Л] [--fraction Д] [--building К] [--nearest]"
    " [--street-record N]\n"
    "  text ТЕКСТ [--class N]...\n"
    "  metro ТЕКСТ\n"
    "  geocode ФАЙЛ|-   (строки \"улица<TAB>дом\" в UTF-8)\n"
    "  addresses        (все дома всех улиц строками для geocode)\n";

// Strict UTF-8: a text with a byte sequence that is not UTF-8 gives nothing.
std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

struct Output {
    QIODevice& out;
    QIODevice& err;
    bool json = false;

    void error(const QString& text) { err.write((text + u'\n').toUtf8()); }
    void line(const QString& text) { out.write((text + u'\n').toUtf8()); }
};

// One printed object; prefix fields come first (the line and match of geocode).
struct Found {
    QString name;
    int classNumber = 0;
    int32_t record = 0;
    bool placed = false;
    double x = 0, y = 0;
};

Found describe(const AppState& state, const NameContext& ctx, int c, int32_t n) {
    Found f;
    f.name = objectName(ctx, c, n, true);
    f.classNumber = c;
    f.record = n;
    ObjectBox box;
    if (namedObjectBox(state, c, n, box)) {
        f.placed = true;
        f.x = (double(box.x1) + box.x2) / 2;
        f.y = (double(box.y1) + box.y2) / 2;
    }
    return f;
}

QString number(double v) { return QString::number(v, 'g', 15); }

void print(Output& o, const Found& f, const QList<std::pair<QString, QString>>& prefix = {}) {
    if (o.json) {
        QJsonObject j;
        for (const auto& [k, v] : prefix)
            j.insert(k, k == QLatin1String("line") ? QJsonValue(v.toInt()) : QJsonValue(v));
        j.insert(QStringLiteral("name"), f.name);
        j.insert(QStringLiteral("class"), f.classNumber);
        j.insert(QStringLiteral("record"), f.record);
        if (f.placed) {
            j.insert(QStringLiteral("x"), f.x);
            j.insert(QStringLiteral("y"), f.y);
        }
        o.line(QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
        return;
    }
    QStringList fields;
    for (const auto& p : prefix) fields << p.second;
    fields << QString(f.name).replace(u'\t', u' ') << QString::number(f.classNumber)
           << QString::number(f.record) << (f.placed ? number(f.x) : QString())
           << (f.placed ? number(f.y) : QString());
    o.line(fields.join(u'\t'));
}

bool classInTable(const Tables& t, int c) { return c >= 1 && c <= t.classCount(); }

// The arguments after the command: options with a value, flags, and the rest.
struct Args {
    QStringList positional;
    std::multimap<QString, QString> options;
    QStringList flags;
    QString bad;  // the reason when the arguments cannot be used

    bool has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
    QString value(const char* key) const {
        auto it = options.find(QLatin1String(key));
        return it == options.end() ? QString() : it->second;
    }
};

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

struct Session {
    AppState state;
    Output& o;
    NameContext ctx() const {
        return NameContext{state.settings.dataDirectory, state.catalogue, state.tables};
    }

    bool streetClassOk() {
        const int sc = state.catalogue.streetClass;
        if (classInTable(state.tables, sc)) return true;
        o.error(QStringLiteral("Класс улиц %1 в каталоге вне таблицы классов (1..%2)")
                    .arg(sc)
                    .arg(state.tables.classCount()));
        return false;
    }

    int house(const QStringList& rest);
    int text(const QStringList& rest);
    int metro(const QStringList& rest);
    int geocode(const QStringList& rest, QIODevice& in);
    int addresses(const QStringList& rest);
};

int Session::house(const QStringList& rest) {
    const Args a = parseArgs(rest,
                             {QStringLiteral("--letter"), QStringLiteral("--fraction"),
                              QStringLiteral("--building"), QStringLiteral("--street-record")},
                             {QStringLiteral("--nearest")});
    if (!a.bad.isEmpty() || a.positional.size() != 2) {
        o.error(a.bad.isEmpty() ? QStringLiteral("house: нужны УЛИЦА и НОМЕР") : a.bad);
        return kBadUse;
    }
    if (!streetClassOk()) return kBadUse;
    const NameContext c = ctx();
    const int sc = state.catalogue.streetClass;
    int64_t street = 0;
    if (!a.value("--street-record").isEmpty()) {
        const auto n = parseCount(a.value("--street-record"));
        if (!n) {
            o.error(QStringLiteral("--street-record: нужен номер записи от 1"));
            return kBadUse;
        }
        street = *n;
    } else {
        // As the house search's context mode: the first street whose name holds the text.
        ListModel streets(false);
        QString error;
        if (findByText(c, a.positional[0], streets, {sc}, nullptr, &error) == FillStatus::Failed) {
            o.error(error);
            return kBadUse;
        }
        if (streets.isEmpty()) {
            o.error(QStringLiteral("Не найдено ни одной улицы"));
            return kNotFound;
        }
        street = decodeItemKey(streets.itemData(0)).record;
    }
    const HouseQuery query = HouseQuery{a.positional[1], a.value("--letter"), a.value("--fraction"),
                                        a.value("--building")}
                                 .trimmed();
    std::vector<HouseEntry> all;
    QString error;
    if (!readStreetHouses(c, street, all, &error)) {
        o.error(error);
        return kBadUse;
    }
    std::vector<size_t> which = matchingHouses(all, query);
    if (which.empty() && a.has("--nearest") && !query.isEmpty()) which = nearestHouses(all, query);
    for (size_t i : which) print(o, describe(state, c, all[i].classNumber, all[i].record));
    return which.empty() ? kNotFound : kFound;
}

int Session::text(const QStringList& rest) {
    const Args a = parseArgs(rest, {QStringLiteral("--class")}, {});
    if (!a.bad.isEmpty() || a.positional.size() != 1) {
        o.error(a.bad.isEmpty() ? QStringLiteral("text: нужен ТЕКСТ") : a.bad);
        return kBadUse;
    }
    std::vector<int> classes;
    for (auto [it, end] = a.options.equal_range(QStringLiteral("--class")); it != end; ++it) {
        const auto n = parseCount(it->second);
        if (!n || !classInTable(state.tables, int(*n))) {
            o.error(QStringLiteral("--class %1: нет такого класса (1..%2)")
                        .arg(it->second)
                        .arg(state.tables.classCount()));
            return kBadUse;
        }
        classes.push_back(int(*n));
    }
    // Without classes, what the quick find searches; with them, the universal search.
    if (classes.empty()) classes = quickFindClasses(state.tables);
    ListModel found(true);
    QString error;
    const NameContext c = ctx();
    if (findByText(c, a.positional[0], found, classes, nullptr, &error) == FillStatus::Failed) {
        o.error(error);
        return kBadUse;
    }
    for (int i = 0; i < found.count(); ++i) {
        const NamedObject n = decodeItemKey(found.itemData(i));
        print(o, describe(state, c, n.classNumber, n.record));
    }
    return found.isEmpty() ? kNotFound : kFound;
}

int Session::metro(const QStringList& rest) {
    const Args a = parseArgs(rest, {}, {});
    if (!a.bad.isEmpty() || a.positional.size() != 1) {
        o.error(a.bad.isEmpty() ? QStringLiteral("metro: нужен ТЕКСТ") : a.bad);
        return kBadUse;
    }
    const int mc = state.catalogue.metroClass;
    if (!classInTable(state.tables, mc)) {
        o.error(QStringLiteral("Класс станций метро %1 в каталоге вне таблицы классов (1..%2)")
                    .arg(mc)
                    .arg(state.tables.classCount()));
        return kBadUse;
    }
    ListModel found(true);
    QString error;
    const NameContext c = ctx();
    if (!findMetroByText(c, a.positional[0], found, &error)) {
        o.error(error);
        return kBadUse;
    }
    for (int i = 0; i < found.count(); ++i)
        print(o, describe(state, c, mc, int32_t(found.itemData(i))));
    return found.isEmpty() ? kNotFound : kFound;
}

// The street names decoded once per run, and each street's houses read once.
class StreetIndex {
public:
    StreetIndex(const NameContext& ctx, int streetClass) : ctx_(ctx) {
        ClassNames names(ctx, streetClass);
        if (!names.ok()) {
            error_ = names.error();
            return;
        }
        keys_.reserve(size_t(names.recordCount()));
        for (int64_t n = 1; n <= names.recordCount(); ++n) {
            keys_.push_back(searchKey(names.shortName(n).trimmed()));
            exact_[keys_.back()].push_back(int32_t(n));
        }
    }
    const QString& error() const { return error_; }

    // The streets named exactly so (letter case and Ё/Е aside), in file
    // order; else those whose name holds the text, as the search lists them.
    std::vector<int32_t> streets(const QString& text) const {
        const QString key = searchKey(text.trimmed());
        if (key.isEmpty()) return {};
        auto it = exact_.find(key);
        if (it != exact_.end()) return it.value();
        std::vector<int32_t> out;
        for (size_t i = 0; i < keys_.size(); ++i)
            if (searchKeyMatches(keys_[i], key, TextMatch::Anywhere)) out.push_back(int32_t(i + 1));
        return out;
    }

    const std::vector<HouseEntry>* houses(int32_t street, QString& error) {
        auto it = houses_.find(street);
        if (it == houses_.end()) {
            auto entry = std::make_unique<std::vector<HouseEntry>>();
            QString e;
            if (!readStreetHouses(ctx_, street, *entry, &e)) entry.reset();
            it = houses_.emplace(street, std::make_pair(std::move(entry), e)).first;
        }
        error = it->second.second;
        return it->second.first.get();
    }

private:
    NameContext ctx_;
    std::vector<QString> keys_;
    QHash<QString, std::vector<int32_t>> exact_;
    std::map<int32_t, std::pair<std::unique_ptr<std::vector<HouseEntry>>, QString>> houses_;
    QString error_;
};

// Of the nearest houses, the one to name: a house with the typed number
// (other letter, fraction or building) first, else the closer of the two
// neighbours by number (the lower one on a tie).
const HouseEntry* pickNearest(const std::vector<HouseEntry>& all, const HouseQuery& query) {
    const std::vector<size_t> near = nearestHouses(all, query);
    const double wanted = houseNumberValue(query.number);
    const HouseEntry* best = nullptr;
    double bestDistance = 0;
    for (size_t i : near) {
        const double d = std::abs(houseNumberValue(all[i].number) - wanted);
        if (!best || d < bestDistance) {
            best = &all[i];
            bestDistance = d;
        }
    }
    return best;
}

int Session::geocode(const QStringList& rest, QIODevice& in) {
    const Args a = parseArgs(rest, {}, {});
    if (!a.bad.isEmpty() || a.positional.size() != 1) {
        o.error(a.bad.isEmpty() ? QStringLiteral("geocode: нужен ФАЙЛ или -") : a.bad);
        return kBadUse;
    }
    if (!streetClassOk()) return kBadUse;
    QFile file;
    QIODevice* source = &in;
    if (a.positional[0] != QLatin1String("-")) {
        file.setFileName(a.positional[0]);
        if (!file.open(QIODevice::ReadOnly)) {
            o.error(QStringLiteral("Не удалось открыть %1: %2")
                        .arg(a.positional[0], file.errorString()));
            return kBadUse;
        }
        source = &file;
    }
    const NameContext c = ctx();
    StreetIndex index(c, state.catalogue.streetClass);
    if (!index.error().isEmpty()) {
        o.error(index.error());
        return kBadUse;
    }
    int placed = 0;
    int64_t lineNumber = 0;
    auto report = [&](const QString& what, const QString& message) {
        if (!message.isEmpty())
            o.error(QStringLiteral("строка %1: %2").arg(lineNumber).arg(message));
        if (o.json) {
            QJsonObject j{{QStringLiteral("line"), qint64(lineNumber)},
                          {QStringLiteral("match"), what}};
            if (!message.isEmpty()) j.insert(QStringLiteral("error"), message);
            o.line(QString::fromUtf8(QJsonDocument(j).toJson(QJsonDocument::Compact)));
        } else {
            o.line(QString::number(lineNumber) + u'\t' + what);
        }
    };
    while (!source->atEnd()) {
        QByteArray raw = source->readLine();
        ++lineNumber;
        while (raw.endsWith('\n') || raw.endsWith('\r')) raw.chop(1);
        if (raw.trimmed().isEmpty()) continue;
        const std::optional<QString> text = decodeUtf8(raw);
        if (!text) {
            report(QStringLiteral("error"), QStringLiteral("текст не в кодировке UTF-8"));
            continue;
        }
        const qsizetype tab = text->indexOf(u'\t');
        if (tab < 0) {
            report(QStringLiteral("error"), QStringLiteral("нет табуляции между улицей и домом"));
            continue;
        }
        const QString streetText = text->left(tab).trimmed();
        const std::optional<HouseQuery> query = houseQueryFromText(text->mid(tab + 1));
        if (streetText.isEmpty() || !query) {
            report(QStringLiteral("error"), streetText.isEmpty()
                                                ? QStringLiteral("не указана улица")
                                                : QStringLiteral("не разобран номер дома"));
            continue;
        }
        const std::vector<int32_t> streets = index.streets(streetText);
        const HouseEntry* exact = nullptr;
        const HouseEntry* near = nullptr;
        QString error;
        for (int32_t s : streets) {
            QString e;
            const std::vector<HouseEntry>* all = index.houses(s, e);
            if (!all) {
                if (error.isEmpty()) error = e;
                continue;
            }
            const std::vector<size_t> match = matchingHouses(*all, *query);
            if (!match.empty()) {
                exact = &(*all)[match.front()];
                break;
            }
            if (!near) near = pickNearest(*all, *query);
        }
        const HouseEntry* best = exact ? exact : near;
        if (!best) {
            report(QStringLiteral("not found"), error);
            continue;
        }
        ++placed;
        const QString what = exact ? QStringLiteral("exact") : QStringLiteral("nearest");
        print(o, describe(state, c, best->classNumber, best->record),
              {{QStringLiteral("line"), QString::number(lineNumber)},
               {QStringLiteral("match"), what}});
    }
    return placed > 0 ? kFound : kNotFound;
}

// Every house of every street as a geocode line, for batches to try and time.
int Session::addresses(const QStringList& rest) {
    if (!rest.isEmpty()) {
        o.error(QStringLiteral("addresses: без аргументов"));
        return kBadUse;
    }
    if (!streetClassOk()) return kBadUse;
    const NameContext c = ctx();
    ClassNames names(c, state.catalogue.streetClass);
    if (!names.ok()) {
        o.error(names.error());
        return kBadUse;
    }
    int64_t count = 0;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        std::vector<HouseEntry> all;
        if (!readStreetHouses(c, n, all)) continue;
        const QString street = names.shortName(n).trimmed();
        for (const HouseEntry& h : all) {
            const qsizetype digits = [&] {
                qsizetype d = 0;
                while (d < h.number.size() && h.number[d].isDigit()) ++d;
                return d;
            }();
            QString house = h.number.left(digits);
            if (!h.fraction.isEmpty()) house += u'/' + h.fraction;
            if (!h.building.isEmpty()) house += u'к' + h.building;
            if (digits == 0)
                house = h.number;  // a number without digits, e.g. "вл1"
            else if (digits < h.number.size())
                house += QStringLiteral(" лит") + h.number.mid(digits);
            o.line(street + u'\t' + house);
            ++count;
        }
    }
    return count > 0 ? kFound : kNotFound;
}

}  // namespace

std::optional<HouseQuery> houseQueryFromText(const QString& text) {
    return urbica::houseQueryFromText(text);
}

int run(const QList<QByteArray>& args, QIODevice& in, QIODevice& out, QIODevice& err) {
    Output o{out, err};
    QStringList list;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const std::optional<QString> s = decodeUtf8(args[i]);
        if (!s) {
            o.error(QStringLiteral("Аргумент %1 не в кодировке UTF-8").arg(i + 1));
            return kBadUse;
        }
        list << *s;
    }
    QString data;
    qsizetype i = 0;
    for (; i < list.size() && list[i].startsWith(QLatin1String("--")); ++i) {
        if (list[i] == QLatin1String("--json")) {
            o.json = true;
        } else if (list[i] == QLatin1String("--data")) {
            if (i + 1 >= list.size()) break;  // no folder: the usage below
            data = list[++i];
        } else {
            o.error(QStringLiteral("Неизвестный ключ %1\n").arg(list[i]) +
                    QString::fromUtf8(kUsage));
            return kBadUse;
        }
    }
    if (data.isEmpty() || i >= list.size()) {
        o.error(QString::fromUtf8(kUsage));
        return kBadUse;
    }
    const QString command = list[i];
    const QStringList rest = list.mid(i + 1);

    Session s{AppState{}, o};
    s.state.settings.dataDirectory = data.endsWith(u'/') ? data : data + u'/';
    s.state.programDirectory = data;
    if (!QFile::exists(s.state.settings.dataDirectory + QLatin1String(kCatalogueFile)) ||
        !readCatalogue(s.state.settings, s.state.catalogue, s.state.tables) ||
        s.state.catalogue.gridExtent == 0) {
        o.error(QStringLiteral("Набор данных в %1 не читается (нет или испорчен %2 или таблицы)")
                    .arg(data, QLatin1String(kCatalogueFile)));
        return kBadUse;
    }
    if (command == QLatin1String("house")) return s.house(rest);
    if (command == QLatin1String("text")) return s.text(rest);
    if (command == QLatin1String("metro")) return s.metro(rest);
    if (command == QLatin1String("geocode")) return s.geocode(rest, in);
    if (command == QLatin1String("addresses")) return s.addresses(rest);
    o.error(QStringLiteral("Неизвестная команда %1\n").arg(command) + QString::fromUtf8(kUsage));
    return kBadUse;
}

}  // namespace urbica::findtool
