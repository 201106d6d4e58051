// urbica-fuzzseeds OUTDIR [--small]
// Writes seed inputs for every fuzz target into OUTDIR/<target>/, made from
// the demo city, so that fuzzing starts from real records. --small keeps
// each seed to a few kilobytes (the ones kept with the regression test).
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <cstdio>

#include "bookmarks/bookmarkfile.h"
#include "dataset/names.h"
#include "dataset/settings.h"
#include "democity.h"
#include "targets.h"

using namespace urbica;

namespace {

struct Writer {
    QString out;
    bool small = false;
    bool ok = true;

    void seed(const char* target, const QString& name, const QByteArray& bytes) {
        const QString dir = out + QLatin1Char('/') + QLatin1String(target);
        QDir().mkpath(dir);
        QFile f(dir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "urbica-fuzzseeds: cannot write %s\n", qPrintable(f.fileName()));
            ok = false;
        }
    }
};

QByteArray readFile(const QString& path, qsizetype limit = -1) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return limit < 0 ? f.readAll() : f.read(limit);
}

// The first records of a file, at most `limit` bytes of whole records.
QByteArray firstRecords(const QString& path, int length, qsizetype limit) {
    return readFile(path, limit / length * length);
}

QByteArray bmp(const QImage& image, const char* format = "BMP") {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The draw mode and closing of a demo type as a type of the layer target.
int16_t layerType(const ObjectType& t) {
    switch (t.drawMode) {
        case 1:
            return t.closed ? fuzz::kAreaType : fuzz::kOpenLineType;
        case 2:
            return fuzz::kSampleTextType;
        case 3:
            return fuzz::kCircleType;
        case 4:
            return fuzz::kRailwayType;
        case 7:
            return fuzz::kIconType;
        default:
            return fuzz::kNoDrawType;
    }
}

// Objects of every demo layer inside a square of the grid's size around the
// start view, moved to the grid's corner, as one layer of the layer target.
bool layerSeed(const DatasetData& city, int perLayer, QByteArray& seed, QString& error) {
    const int32_t side = fuzz::kLayerGridExtent;
    const int32_t x0 = city.catalogue.startX, y0 = city.catalogue.startY;
    DatasetData d;
    d.catalogue.gridExtent = side;
    d.tables = fuzz::layerTables();
    d.layerObjects.resize(2);
    for (size_t l = 1; l < city.layerObjects.size(); ++l) {
        int taken = 0;
        for (const MapObjectData& o : city.layerObjects[l]) {
            if (taken >= perLayer) break;
            QRect box(QPoint(o.x1, o.y1), QPoint(o.x2, o.y2));
            if (!o.points.empty() && o.iconNumber == 0) {
                box = QRect(o.points[0], QSize(1, 1));
                for (const QPoint& p : o.points) box |= QRect(p, QSize(1, 1));
            }
            if (box.left() < x0 || box.top() < y0 || box.right() >= x0 + side ||
                box.bottom() >= y0 + side)
                continue;
            MapObjectData m = o;
            m.typeIndex = layerType(city.tables.types[size_t(o.typeIndex)]);
            m.x1 -= x0;
            m.x2 -= x0;
            m.y1 -= y0;
            m.y2 -= y0;
            for (QPoint& p : m.points) p -= QPoint(x0, y0);
            d.layerObjects[1].push_back(m);
            ++taken;
        }
    }
    QTemporaryDir dir;
    if (!writeDataset(d, dir.path(), &error)) return false;
    std::vector<QByteArray> parts;
    for (const QString& f : fuzz::layerFiles()) parts.push_back(readFile(dir.filePath(f)));
    seed = fuzz::joinParts(parts);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--small")) {
        std::fprintf(stderr, "usage: urbica-fuzzseeds OUTDIR [--small]\n");
        return 2;
    }
    Writer w{args[1], args.size() == 3};
    const qsizetype limit = w.small ? 512 : 4096;

    const DatasetData city = democity::buildCity(democity::Options{});
    QTemporaryDir temp;
    QString error;
    const QString data = temp.path() + QStringLiteral("/data/");
    const QString program = temp.path() + QStringLiteral("/program");
    if (!writeDataset(city, data, &error) || !democity::writeProgramFiles(program, data, &error)) {
        std::fprintf(stderr, "urbica-fuzzseeds: %s\n", qPrintable(error));
        return 1;
    }
    auto at = [&](const QString& name) { return data + name; };

    // settings: the file the tools write, and the defaults with the data folder named.
    w.seed("settings", "demo.cfg", readFile(program + QLatin1Char('/') + kSettingsFileName));
    Settings s;
    s.dataDirFromSettings = 1;
    s.dataDirectory = QStringLiteral("/srv/город/данные/");
    s.windowWidth = 9600.5;
    w.seed("settings", "named.cfg", settingsText(s));

    // catalogue: the demo's record.
    w.seed("catalogue", "demo.dat", readFile(at(kCatalogueFile)));

    // tables: the seven files as they are.
    {
        std::vector<QByteArray> parts;
        for (const QString& f : fuzz::tableFiles())
            parts.push_back(readFile(at(f), w.small ? 2 * limit : -1));
        w.seed("tables", "demo", fuzz::joinParts(parts));
    }

    // names: the first records of each class file.
    {
        std::vector<QByteArray> parts;
        const Tables t = fuzz::nameTables();
        for (const QString& f : fuzz::nameFiles()) {
            const QString base = f.section(QLatin1Char('.'), 0, 0);
            const QString ext = f.section(QLatin1Char('.'), 1);
            int length = 6;
            if (ext == QLatin1String("cl2")) length = 18;
            if (ext == QLatin1String("cls")) {
                for (size_t c = 1; c < t.classes.size(); ++c)
                    if (t.classes[c].fileBase() == base)
                        length = nameRecordLength(t.classes[c].nameStyle);
            }
            QString file = at(f);
            if (!QFile::exists(file)) file = at(base + QLatin1Char('1') + QLatin1Char('.') + ext);
            parts.push_back(firstRecords(file, length, limit));
        }
        w.seed("names", "demo", fuzz::joinParts(parts));
    }

    // layer: demo objects regridded onto the target's layer.
    {
        QByteArray seed;
        if (!layerSeed(city, w.small ? 3 : 40, seed, error)) {
            std::fprintf(stderr, "urbica-fuzzseeds: layer: %s\n", qPrintable(error));
            return 1;
        }
        w.seed("layer", "demo", seed);
    }

    // bookmarks: live, deleted, and a torn tail.
    {
        QByteArray file;
        const float views[][3] = {{1000, 2000, 4000}, {-50, 10, 0.5f}, {5000, 5000, 100}};
        int i = 0;
        for (const auto& v : views) {
            BookmarkRecord r;
            r.name = QStringLiteral("Закладка %1").arg(++i);
            r.kind = i == 2 ? 0 : 1;
            r.left = v[0];
            r.top = v[1];
            r.width = v[2];
            file += r.encode();
        }
        w.seed("bookmarks", "three", file);
        w.seed("bookmarks", "torn", file + QByteArray("tail"));
    }

    // icons: the demo's table and icon 1, as written and as PNG.
    {
        const std::vector<IconData> icons = democity::iconPictures();
        const QByteArray ics = readFile(at(kIconFile));
        w.seed(
            "icons", "demo",
            fuzz::joinParts({ics, readFile(at("icons/ic161.msk")), readFile(at("icons/ic161.pic")),
                             w.small ? QByteArray() : readFile(at("icons/ic321.msk")),
                             w.small ? QByteArray() : readFile(at("icons/ic321.pic"))}));
        w.seed("icons", "png",
               fuzz::joinParts({ics, bmp(icons[0].mask16, "PNG"), bmp(icons[0].picture16, "PNG"),
                                bmp(icons[0].mask32, "PNG"), bmp(icons[0].picture32, "PNG")}));
    }

    // housenumber: the forms mappers use.
    const char* numbers[] = {"12",         "12А",       "12/3",  "12к2", "12 корп. 2",
                             "12с1",       "1/25 литА", "13-15", "5;7",  "д. 7, корпус 3",
                             "строение 4", "7-9-11"};
    int n = 0;
    for (const char* text : numbers)
        w.seed("housenumber", QStringLiteral("n%1").arg(++n), QByteArray(text));
    // kinds: a kinds file, and queries for kinds and names with a typo.
    w.seed("kinds", "file",
           QByteArray("urbica-kinds 1\namenity=atm\t5\t5\t0\t0\t9\t13\n"
                      "amenity=pharmacy\t10\t-20\t6\t3\t9\t12\n"));
    n = 0;
    for (const char* text : {"аптека рядом", "Казанскй собор", "pharmacies"})
        w.seed("kinds", QStringLiteral("q%1").arg(++n), QByteArray(text));
    // addressline: one-line addresses as people type them.
    const char* lines[] = {"ул. Кирова, д. 5",
                           "Кирова улица 5к2",
                           "Москва, Кирова 5 корп. 2",
                           "220030 г. Минск, пр-т Независимости 12/3",
                           "Б. Спасоглинищевский пер. 3",
                           "Литейный 13 лит. А",
                           "8 Марта ул 4 стр. 1",
                           "вул. Шевченка 13-15"};
    n = 0;
    for (const char* text : lines)
        w.seed("addressline", QStringLiteral("a%1").arg(++n), QByteArray(text));
    return w.ok ? 0 : 1;
}
