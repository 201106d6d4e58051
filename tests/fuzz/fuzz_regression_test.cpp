// The inputs the fuzzers once failed on, and a few seeds, through the same
// target functions: each must now run through every check of its target.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "dataset/binary.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/writer.h"
#include "draw/drawcontext.h"
#include "draw/layer.h"
#include "targets.h"

using namespace urbica;
using namespace urbica::fuzz;

namespace urbica::fuzz {
// Test names and messages show the target by its name.
void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }
}  // namespace urbica::fuzz

namespace {

QString inputsOf(const char* kind, const char* target) {
    return QStringLiteral(FUZZ_INPUTS "/%1/%2").arg(QLatin1String(kind), QLatin1String(target));
}

int runAll(const Target& t, const QString& folder) {
    int count = 0;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& info : files) {
        QFile f(info.filePath());
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << info.filePath().toStdString();
            continue;
        }
        const QByteArray bytes = f.readAll();
        SCOPED_TRACE(info.filePath().toStdString());
        EXPECT_EQ(t.run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())),
                  0);
        ++count;
    }
    return count;
}

class FuzzInputs : public ::testing::TestWithParam<Target> {};

}  // namespace

TEST_P(FuzzInputs, RegressionsAndSeedsPass) {
    const Target& t = GetParam();
    const int seeds = runAll(t, inputsOf("seeds", t.name));
    EXPECT_GT(seeds, 0) << "every target keeps a few seeds";
    runAll(t, inputsOf("regressions", t.name));
}

// Short and degenerate inputs: nothing at all, a lone byte, a header that
// claims more than follows.
TEST_P(FuzzInputs, DegenerateInputsPass) {
    const Target& t = GetParam();
    const uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02};
    EXPECT_EQ(t.run(bytes, 0), 0);
    EXPECT_EQ(t.run(bytes, 1), 0);
    EXPECT_EQ(t.run(bytes, sizeof bytes), 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(allTargets()),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });

// The split that lays an input out as several files.
TEST(SplitInput, JoinedPartsSplitBackTheSame) {
    const std::vector<QByteArray> parts = {"abc", "", QByteArray(300, 'x'), "tail"};
    const QByteArray joined = joinParts(parts);
    const auto* data = reinterpret_cast<const uint8_t*>(joined.constData());
    EXPECT_EQ(splitInput(data, size_t(joined.size()), 4), parts);
}

TEST(SplitInput, LengthsPastTheEndAreTakenModuloWhatIsLeft) {
    // Header 10, 3 with 4 bytes after it: the first part takes 10 % 5 = 0 bytes,
    // the second 3 % 5 = 3, the last the remaining 1.
    const uint8_t input[] = {10, 0, 3, 0, 'a', 'b', 'c', 'd'};
    const std::vector<QByteArray> parts = splitInput(input, sizeof input, 3);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], QByteArray());
    EXPECT_EQ(parts[1], QByteArray("abc"));
    EXPECT_EQ(parts[2], QByteArray("d"));
    // A header cut short leaves every part empty but never reads past the input.
    const std::vector<QByteArray> cut = splitInput(input, 3, 3);
    EXPECT_EQ(cut, std::vector<QByteArray>(3));
}

// What the fuzzers found, as plain cases of the readers.

TEST(FoundByFuzzing, LineToAFarPointKeepsItsCourseAtCloseZoom) {
    // A line from a point in the view to one two billion units away, seen
    // at a quarter unit a pixel: the far end's pixel does not fit an int.
    QTemporaryDir dir;
    DatasetData d;
    d.catalogue.gridExtent = 2000000000;
    ObjectType line;
    line.drawMode = 1;
    line.penColor = 0x000000;
    line.lineWidth = 1;
    d.tables.types.push_back(line);
    LayerRecord l;
    l.baseName = QStringLiteral("far");
    l.levels[0] = {1000000000, -1};
    d.tables.layers.push_back(l);
    MapObjectData o;
    o.typeIndex = 1;
    o.points = {QPoint(10, 10), QPoint(1999999990, 10)};
    d.layerObjects.push_back({o});
    ASSERT_TRUE(writeDataset(d, dir.path()));

    const QString folder = dir.path() + QLatin1Char('/');
    const Settings settings;
    LabelQueue labels;
    PictureBox images, target(104, 104);
    target.backColor = 0xFFFFFF;
    target.cls();
    DrawContext ctx{folder, d.tables, settings, d.catalogue.gridExtent, {}, labels, images, {}};
    ctx.view = {0, 0, 25, 25, 0.25f, 16};
    target.setScale(0, 0, 25, 25);
    drawlayer(ctx, target, d.tables.layers[1]);

    auto ink = [&](int x, int y) { return (target.image().pixel(x, y) & 0xFFFFFF) != 0xFFFFFF; };
    // The far end is brought in to a pixel that fits, far off the picture and
    // on the same course: the line runs right along its row (the painter may
    // round it to the row above), and nowhere else.
    auto inkNear = [&](int x) { return ink(x, 39) || ink(x, 40); };
    EXPECT_TRUE(inkNear(45) && inkNear(70) && inkNear(99)) << "drawn to the right along its row";
    EXPECT_FALSE(inkNear(20)) << "nothing to the left of its first point";
    EXPECT_FALSE(ink(70, 37) || ink(70, 42)) << "no slope picked up on the way";
}

TEST(FoundByFuzzing, UnchangedTableRecordsAreSavedByteForByte) {
    // 0x98 has no character in the code page: it reads as U+FFFD, which
    // cannot be written back, so an unchanged text must keep its bytes.
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QByteArray type(ObjectType::kRecordLength, ' '), layer(LayerRecord::kRecordLength, ' '),
        cls(ClassRecord::kRecordLength, ' ');
    type[3] = char(0x98);   // type name
    type[85] = char(0x98);  // font name
    layer[2] = char(0x98);  // layer name
    cls[60] = char(0x98);   // base name
    const QByteArray shorts("\1\0", 2);
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(folder + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(kTypeFile, type);
    write(kLayerFile, layer);
    write(kClassFile, cls);
    write(kDrawOrderFile, shorts);
    write(kSelectOrderFile, shorts);
    write(kClassExtraFile, shorts);
    Tables t;
    ASSERT_TRUE(loadTables(folder, t));
    Settings s;
    s.dataDirectory = folder;
    ASSERT_TRUE(saveTables(s, t));
    auto read = [&](const char* name) {
        QFile f(folder + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(read(kTypeFile), type);
    EXPECT_EQ(read(kLayerFile), layer);
    EXPECT_EQ(read(kClassFile), cls);

    // A text that did change is written, the rest of the record kept.
    t.types[1].typeName = QStringLiteral("Дом");
    ASSERT_TRUE(saveTables(s, t));
    const QByteArray saved = read(kTypeFile);
    EXPECT_EQ(getText(saved.constData(), 46).trimmed(), QStringLiteral("Дом"));
    EXPECT_EQ(saved.mid(46), type.mid(46));
}

TEST(FoundByFuzzing, IconWhoseBmpEndsEarlyIsSkipped) {
    // The decoder takes a BMP cut short and leaves the missing rows
    // undefined; such an icon is not drawn, a whole one is.
    QTemporaryDir dir;
    DatasetData d;
    d.catalogue.gridExtent = 1024;
    ObjectType icon;
    icon.drawMode = 7;
    d.tables.types.push_back(icon);
    LayerRecord l;
    l.baseName = QStringLiteral("icons");
    l.levels[0] = {256, -1};
    d.tables.layers.push_back(l);
    MapObjectData o;
    o.typeIndex = 1;
    o.x1 = o.x2 = o.y1 = o.y2 = 500;
    o.points = {QPoint(500, 500)};
    o.iconNumber = 1;
    d.layerObjects.push_back({o});
    IconData pictures;
    pictures.number = 1;
    pictures.mask16 = QImage(16, 16, QImage::Format_RGB32);
    pictures.mask16.fill(Qt::black);
    pictures.picture16 = QImage(16, 16, QImage::Format_RGB32);
    pictures.picture16.fill(Qt::red);
    pictures.mask32 = pictures.mask16.scaled(32, 32);
    pictures.picture32 = pictures.picture16.scaled(32, 32);
    d.icons = {pictures};
    ASSERT_TRUE(writeDataset(d, dir.path()));
    const QString folder = dir.path() + QLatin1Char('/');

    auto redPixels = [&] {
        const Settings settings;
        LabelQueue labels;
        PictureBox images, target(68, 68);
        target.backColor = 0xFFFFFF;
        target.cls();
        DrawContext ctx{folder, d.tables, settings, 1024, {}, labels, images, {}};
        ctx.view = {468, 468, 64, 64, 1, 16};
        target.setScale(468, 468, 64, 64);
        drawlayer(ctx, target, d.tables.layers[1]);
        int red = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) red += target.image().pixel(x, y) == qRgb(255, 0, 0);
        return red;
    };
    EXPECT_EQ(redPixels(), 16 * 16) << "the whole icon";

    QFile pic(folder + QStringLiteral("icons/ic161.pic"));
    ASSERT_TRUE(pic.open(QIODevice::ReadWrite));
    ASSERT_TRUE(pic.resize(pic.size() / 2));
    pic.close();
    EXPECT_EQ(redPixels(), 0) << "half a picture";
}
