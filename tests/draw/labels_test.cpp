#include "draw/labels.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "dataset/labelkinds.h"
#include "dataset/objects.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "draw/drawcontext.h"
#include "draw/labelsapart.h"

using namespace urbica;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A 400 x 300 pixel view at 10 map units per pixel, one type per label mode.
struct Labels {
    Tables tables;
    Settings settings;
    LabelQueue labels;
    PictureBox images, box{404, 304};
    QString dir;
    DrawContext ctx{dir, tables, settings, 100000, {}, labels, images, {}};
    std::vector<QPoint> points;

    Labels() {
        tables.types.resize(8);
        for (int mode = 1; mode <= 7; ++mode) tables.types[size_t(mode)].labelMode = int16_t(mode);
        ctx.view = {1000, 2000, 4000, 3000, 10, 16};
        box.setScale(1000, 2000, 4000, 3000);
    }
    // Queues the text of an object of type `mode` with the box (1000, 2000)-(3000, 4000).
    void queue(int mode, const QString& text) {
        ObjectRecord r;
        r.typeIndex = int16_t(mode);
        queuelabel(ctx, box, 1000, 2000, 3000, 4000, r, text, points, 0x123456);
    }
    const LabelEntry& last() const { return labels.entries[size_t(labels.count)]; }
};

}  // namespace

TEST(LabelFont, ArialCyrFromTheSettingsOrTheTypesOwnFont) {
    Settings s;
    s.labelFontSize = 9.5f;
    s.labelFontBold = 1;
    ObjectType t;
    t.labelSize = 14;  // not looked at without a face of the type's own
    LabelFont f = labelFont(t, s);
    EXPECT_EQ(f.face, u("Arial Cyr"));
    EXPECT_EQ(f.size, 9.5);
    EXPECT_TRUE(f.bold);
    s.labelFontBold = 0;
    EXPECT_FALSE(labelFont(t, s).bold);
    t.fontName = QString(QChar(0)) + u("Courier");
    EXPECT_EQ(labelFont(t, s).face, u("Arial Cyr")) << "a face starting with code 0 is none";

    t.fontName = u("Times New Roman     ");
    t.labelSize = 0;
    t.labelBold = 1;
    f = labelFont(t, s);
    EXPECT_EQ(f.face, u("Times New Roman"));
    EXPECT_EQ(f.size, 9.5) << "labelSize 0 takes labelFontSize";
    EXPECT_TRUE(f.bold) << "the type's own bold";
    t.labelSize = 14;
    t.labelBold = 0;
    f = labelFont(t, s);
    EXPECT_EQ(f.size, 14);
    EXPECT_FALSE(f.bold);
}

TEST(QueueLabel, ModesOneTwoAndFourPlaceTheWholeText) {
    Labels l;
    l.queue(1, u(" Арбат "));
    ASSERT_EQ(l.labels.count, 1);
    EXPECT_EQ(l.last().x, 2000.0f) << "the box centre";
    EXPECT_EQ(l.last().y, 3000.0f);
    EXPECT_EQ(l.last().text, u(" Арбат ")) << "untrimmed";
    EXPECT_EQ(l.last().colour, 0x123456);
    EXPECT_EQ(l.last().typeIndex, 1);
    EXPECT_EQ(l.last().angle, 0.0f);
    EXPECT_EQ(l.box.fontName, u("Arial Cyr")) << "the box measures in the label font";

    l.queue(2, u("Арбат"));
    ASSERT_EQ(l.labels.count, 2);
    const double width = l.box.textWidth(u("Арбат"));
    ASSERT_GT(width, 0);
    EXPECT_FLOAT_EQ(l.last().x, float(2000 - width * 10 / 2)) << "centred on the box centre";
    EXPECT_EQ(l.last().y, 3000.0f - 60) << "6 pixels higher";

    l.queue(4, u("Арбат"));  // beside a 16-pixel icon
    ASSERT_EQ(l.labels.count, 3);
    EXPECT_EQ(l.last().x, 2000.0f + (8 + 3) * 10);
    EXPECT_EQ(l.last().y, 2000.0f + (8 - 15) * 10);

    l.queue(7, u("Арбат"));
    l.queue(0, u("Арбат"));
    EXPECT_EQ(l.labels.count, 3) << "other modes and types place nothing";
}

TEST(Rotator, FontRecordOfALabel) {
    PictureBox box(404, 304);
    box.setScale(0, 0, 4000, 3000);
    box.fontName = u("Arial Cyr");
    box.fontSize = 12;
    box.fontBold = true;
    box.currentX = 2000;
    box.currentY = 1500;
    Rotator r;
    r.setDevice(box);
    r.setAngle(90);
    r.label(u("Арбат"));
    EXPECT_EQ(r.font().height, 16) << "12 points at 96 pixels per inch";
    EXPECT_EQ(r.font().escapement, 900);
    EXPECT_EQ(r.font().orientation, 900);
    EXPECT_EQ(r.font().weight, 700);
    EXPECT_EQ(r.font().charSet, 204);
    EXPECT_EQ(r.font().faceName, u("Arial Cyr"));
    box.fontBold = false;
    r.setAngle(0);
    r.label(u("Арбат"));
    EXPECT_EQ(r.font().weight, 400);
    EXPECT_EQ(r.font().escapement, 0);
}

TEST(DrawLabels, AResetQueueDrawsNothingAndEntriesDrawInTheirTypesFont) {
    Labels l;
    l.box.cls();
    const QImage blank = l.box.image();
    l.queue(1, u("Арбат"));
    l.labels.reset();
    drawlabels(l.ctx, l.box);
    EXPECT_EQ(l.box.image(), blank);
    EXPECT_EQ(l.labels.count, 0);
    ASSERT_EQ(l.labels.entries.size(), 1u);

    l.tables.types[1].fontName = u("DejaVu Sans");
    l.tables.types[1].labelSize = 14;
    l.queue(1, u("Арбат"));
    l.box.fontName = u("Arial");
    drawlabels(l.ctx, l.box);
    EXPECT_NE(l.box.image(), blank);
    EXPECT_EQ(l.box.fontName, u("DejaVu Sans"));
    EXPECT_EQ(l.box.fontSize, 14);
    EXPECT_EQ(l.box.foreColor, 0x123456);
}

TEST(LabelRank, FromTheDatasetsKindsNeverTheTypesNameElseFromTheShape) {
    auto type = [](const char* name, int16_t closed, int16_t labelMode) {
        ObjectType t;
        t.typeName = u(name);
        t.closed = closed;
        t.labelMode = labelMode;
        return t;
    };
    const ObjectType factories = type("Заводы", 1, 2), pond = type("Пруд", 1, 2),
                     street = type("Улица", 0, 6), station = type("Вокзал", 0, 4),
                     houses = type("Дома", 1, 1);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = dir.filePath(QLatin1String(kLabelKindsFile));
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };

    // A dataset without the file: streets by their labels along lines, areas
    // by their closed shape, the rest as points; no word of a name counts.
    QString problem;
    const auto none = LabelKinds::load(folder, nullptr, &problem);
    EXPECT_TRUE(none->empty());
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(labelRank(factories, none->of(1)), 2);
    EXPECT_EQ(labelRank(pond, none->of(2)), 2);
    EXPECT_EQ(labelRank(street, none->of(3)), 1);
    EXPECT_EQ(labelRank(station, none->of(4)), 3);

    // With it, the recorded kind ranks the type whatever its name and shape.
    ASSERT_TRUE(
        write(encodeLabelKinds({LabelKind::Unknown, LabelKind::Area, LabelKind::Water,
                                LabelKind::Street, LabelKind::Station, LabelKind::HouseNumber})));
    const auto kinds = LabelKinds::load(folder, nullptr, &problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(kinds->of(1), LabelKind::Area);
    EXPECT_EQ(labelRank(factories, kinds->of(1)), 2) << "an area, not water";
    EXPECT_EQ(labelRank(pond, kinds->of(2)), 1);
    EXPECT_EQ(labelRank(street, kinds->of(3)), 1);
    EXPECT_EQ(labelRank(station, kinds->of(4)), 0);
    EXPECT_EQ(labelRank(houses, kinds->of(5)), 4);
    EXPECT_EQ(labelRank(station, kinds->of(6)), 3) << "a type the file does not list";

    // A damaged file is refused whole with its name; the shapes rank then.
    for (const QByteArray& bad :
         {QByteArray("1\tarea\n"), QByteArray("urbica-label-kinds 1\n1\tfactory\n"),
          QByteArray("urbica-label-kinds 1\n1\tarea\n1\twater\n"),
          QByteArray("urbica-label-kinds 1\n0\tarea\n"),
          QByteArray("urbica-label-kinds 1\n1\tarea")}) {
        ASSERT_TRUE(write(bad));
        problem.clear();
        EXPECT_TRUE(LabelKinds::load(folder, nullptr, &problem)->empty()) << bad.toStdString();
        EXPECT_TRUE(problem.contains(QLatin1String(kLabelKindsFile))) << bad.toStdString();
    }
}
