#include "findtool.h"

#include <QFile>

#include "commandline.h"
#include "dataset/filecheck.h"
#include "dataset/listmodel.h"
#include "dataset/tables.h"
#include "findsession.h"
#include "search/addresswords.h"
#include "search/metro.h"
#include "search/quickfind.h"
#include "view/geoextras.h"

namespace urbica::findtool {

namespace {

const char kCommands[] =
    "Команды:\n"
    "  house УЛИЦА НОМЕР [--letter Л] [--fraction Д] [--building К] [--structure С] [--nearest]"
    " [--street-record N]\n"
    "  address \"АДРЕС ОДНОЙ СТРОКОЙ\"   (например \"ул. Кирова, д. 5 корп. 2\")\n"
    "  text ТЕКСТ [--class N]...\n"
    "  metro ТЕКСТ\n"
    "  geocode ФАЙЛ|-   (строки UTF-8: \"улица<TAB>дом\" или адрес одной строкой)\n"
    "  addresses        (все дома всех улиц строками для geocode)\n"
    "  at ШИРОТА ДОЛГОТА (ближайший дом в пределах 100 м)\n"
    "  near ТЕКСТ [--at ШИРОТА ДОЛГОТА | --view ЛЕВО ВЕРХ ШИРИНА] [--limit N]\n"
    "                   (вид места, например \"аптека\", или название: ближайшие первыми,\n"
    "                   с расстоянием в метрах; без --at и --view от центра начального вида)\n"
    "Если набор знает свою проекцию, к каждой строке добавляются широта и долгота.\n";

}  // namespace

int Session::house(const QStringList& rest) {
    const Args a = parseArgs(
        rest,
        {QStringLiteral("--letter"), QStringLiteral("--fraction"), QStringLiteral("--building"),
         QStringLiteral("--structure"), QStringLiteral("--street-record")},
        {QStringLiteral("--nearest")});
    if (!a.bad.isEmpty() || a.positional.size() != 2) {
        o.error(a.bad.isEmpty() ? QStringLiteral("house: нужны УЛИЦА и НОМЕР") : a.bad);
        return kBadUse;
    }
    if (!streetClassOk() || !classFilesOk(state.catalogue.streetClass)) return kBadUse;
    const NameContext c = ctx();
    const int sc = state.catalogue.streetClass;
    int64_t street = 0;
    if (a.options.count(QStringLiteral("--street-record"))) {
        // One message for every number outside the street file, whatever its sign or size.
        const QString indexPath = classFilePath(c, sc, ".cl2");
        if (const QString why = recordFileProblem(indexPath, NameRecord::kRecordLength);
            !why.isEmpty()) {
            o.error(why);
            return kBadUse;
        }
        const int64_t count = FileStamp::of(indexPath).size / NameRecord::kRecordLength;
        bool ok = false;
        const qlonglong n = a.value("--street-record").trimmed().toLongLong(&ok);
        if (!ok || n < 1 || n > count) {
            o.error(QStringLiteral("--street-record %1: нет такой записи улицы (записи 1..%2 в %3)")
                        .arg(a.value("--street-record"))
                        .arg(count)
                        .arg(indexPath));
            return kBadUse;
        }
        street = n;
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
                                        a.value("--building"), a.value("--structure")}
                                 .trimmed();
    std::vector<HouseEntry> all;
    QString error;
    QString passedOver;
    if (!readStreetHouses(c, street, all, &error, &passedOver)) {
        o.error(error);
        return kBadUse;
    }
    if (!passedOver.isEmpty()) damaged << passedOver;  // named at the end, with status 2
    std::vector<size_t> which = matchingHouses(all, query);
    if (which.empty() && a.has("--nearest") && !query.isEmpty()) which = nearestHouses(all, query);
    for (size_t i : which) print(describe(all[i].classNumber, all[i].record));
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
        if (!n || !classInTable(int(*n))) {
            o.error(QStringLiteral("--class %1: нет такого класса (1..%2)")
                        .arg(it->second)
                        .arg(state.tables.classCount()));
            return kBadUse;
        }
        classes.push_back(int(*n));
    }
    // Without classes, what the quick find searches; with them, the universal search.
    if (classes.empty()) classes = quickFindClasses(state.tables);
    for (int k : classes)
        if (!classFilesOk(k)) return kBadUse;
    ListModel found(true);
    QString error;
    const NameContext c = ctx();
    if (findByText(c, a.positional[0], found, classes, nullptr, &error, TextMatch::Anywhere, true,
                   nameSpellings(a.positional[0])) == FillStatus::Failed) {
        o.error(error);
        return kBadUse;
    }
    for (int i = 0; i < found.count(); ++i) {
        const NamedObject n = decodeItemKey(found.itemData(i));
        print(describe(n.classNumber, n.record));
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
    if (!classInTable(mc)) {
        o.error(QStringLiteral("Класс станций метро %1 в каталоге вне таблицы классов (1..%2)")
                    .arg(mc)
                    .arg(state.tables.classCount()));
        return kBadUse;
    }
    if (!classFilesOk(mc)) return kBadUse;
    ListModel found(true);
    QString error;
    const NameContext c = ctx();
    if (!findMetroByText(c, a.positional[0], found, &error)) {
        o.error(error);
        return kBadUse;
    }
    for (int i = 0; i < found.count(); ++i) print(describe(mc, int32_t(found.itemData(i))));
    return found.isEmpty() ? kNotFound : kFound;
}

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
    cli::CommandLine cl(QStringLiteral("urbica-find"),
                        QStringLiteral("--data КАТАЛОГ [--json] КОМАНДА ..."),
                        QStringLiteral("Поиски окон программы без окна: дом, адрес одной строкой, "
                                       "текст, станция метро, пакетное геокодирование."));
    cl.addOption({QStringLiteral("data")}, QStringLiteral("КАТАЛОГ"),
                 QStringLiteral("каталог набора данных"));
    cl.addFlag({QStringLiteral("json")}, QStringLiteral("каждый результат объектом JSON"));
    cl.setEpilogue(QString::fromUtf8(kCommands).trimmed());
    cl.stopAtFirstPositional();
    const cli::Sink toOut = [&out](const QString& t) { out.write((t + u'\n').toUtf8()); };
    const cli::Sink toErr = [&o](const QString& t) { o.error(t); };
    if (const auto status =
            cl.parse(QStringList{QStringLiteral("urbica-find")} + list, toOut, toErr))
        return *status;
    o.json = cl.isSet(QStringLiteral("json"));
    const QString data = cl.value(QStringLiteral("data"));
    const QStringList positional = cl.positional();
    if (data.isEmpty()) return cl.fail(QStringLiteral("нужен ключ --data"), toErr);
    if (positional.isEmpty()) return cl.fail(QStringLiteral("нужна команда"), toErr);
    const QString command = positional.front();
    const QStringList rest = positional.mid(1);

    Session s{AppState{}, o, std::nullopt, {}, {}};
    s.state.settings.dataDirectory = data.endsWith(u'/') ? data : data + u'/';
    s.state.programDirectory = data;
    if (!QFile::exists(s.state.settings.dataDirectory + QLatin1String(kCatalogueFile)) ||
        !readCatalogue(s.state.settings, s.state.catalogue, s.state.tables) ||
        s.state.catalogue.gridExtent == 0) {
        o.error(QStringLiteral("Набор данных в %1 не читается (нет или испорчен %2 или таблицы)")
                    .arg(data, QLatin1String(kCatalogueFile)));
        return kBadUse;
    }
    // A damaged projection or other-names file is named once, and the run goes
    // on without it.
    for (const QString& problem : readDatasetExtras(s.state)) o.error(problem);
    s.geo = s.state.geo;
    QString problem;
    s.state.displayNames = DisplayNames::load(s.state.settings.dataDirectory, &problem);
    if (!problem.isEmpty()) o.error(problem);
    problem.clear();
    s.approximate = readApproximateHouses(s.state.settings.dataDirectory, &problem);
    if (!problem.isEmpty()) o.error(problem);
    int status = kBadUse;
    if (command == QLatin1String("house"))
        status = s.house(rest);
    else if (command == QLatin1String("address"))
        status = s.address(rest);
    else if (command == QLatin1String("at"))
        status = s.at(rest);
    else if (command == QLatin1String("near"))
        status = s.near(rest);
    else if (command == QLatin1String("text"))
        status = s.text(rest);
    else if (command == QLatin1String("metro"))
        status = s.metro(rest);
    else if (command == QLatin1String("geocode"))
        status = s.geocode(rest, in);
    else if (command == QLatin1String("addresses"))
        status = s.addresses(rest);
    else
        return cl.fail(QStringLiteral("неизвестная команда %1").arg(command), toErr);
    for (const QString& problem : s.damaged) o.error(problem);
    return s.damaged.isEmpty() ? status : kBadUse;
}

}  // namespace urbica::findtool
