// Labels kept apart on a real imported view, drawn through the redraw.
#include "draw/labelsapart.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <optional>

#include "dataset/names.h"
#include "import/cityimport.h"
#include "view/appstate.h"
#include "view/geoextras.h"
#include "view/mapboxes.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

struct ImportedCity {
    QTemporaryDir tmp;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;
    bool ok = false;

    ImportedCity() {
        const QString dir = tmp.filePath(QStringLiteral("city"));
        ok = osmimport::importCity(
                 {QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm"), dir, QString()})
                 .ok();
        s.settings.dataDirectory = dir + "/";
        s.programDirectory = tmp.path();
        ok = ok && readCatalogue(s.settings, s.catalogue, s.tables);
        readDatasetExtras(s);
        for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
            b->resize(1004, 704);
        s.settings.allwindow = 1;
    }
    // The middle of the start view (or the given point) at metresPerPixel.
    void show(double metresPerPixel, std::optional<QPointF> at = std::nullopt) {
        const double mpu = s.geo ? s.geo->metresPerUnit : 1.0;
        const Catalogue& c = s.catalogue;
        const double x = at ? at->x() : c.startX + c.startWidth / 2.0;
        const double y = at ? at->y() : c.startY + c.startWidth * 0.35;
        s.view.viewWidth = float(1000 * metresPerPixel / mpu);
        s.view.viewLeft = float(x - s.view.viewWidth / 2.0);
        s.view.viewTop = float(y - s.view.viewWidth * 0.35);
        redrawView(s, boxes, hooks, false);
    }
};

}  // namespace

TEST(LabelsApart, NoTwoDrawnLabelsOverlapAndTheKindsGoInOrder) {
    ImportedCity city;
    ASSERT_TRUE(city.ok);
    city.s.settings.labelsApart = 1;
    for (double mpp : {0.64, 1.0}) {
        city.show(mpp);
        const auto kinds = LabelKinds::load(city.s.settings.dataDirectory, nullptr);
        ASSERT_FALSE(kinds->empty()) << "the importer records the label kinds";
        const LabelQueue& q = city.s.labels;
        const std::vector<LabelBox>& drawn = q.drawn;
        ASSERT_GT(drawn.size(), 10u) << mpp;
        int units = 0, lastRank = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            if (i == 0 || drawn[i].unit != drawn[i - 1].unit) {
                ++units;
                const int type = q.entries[size_t(drawn[i].unit)].typeIndex;
                const int rank = labelRank(city.s.tables.types[size_t(type)], kinds->of(type));
                EXPECT_GE(rank, lastRank) << "kinds in order, at " << mpp;
                lastRank = rank;
            }
            for (size_t j = 0; j < i; ++j) {
                if (drawn[j].unit == drawn[i].unit) continue;
                EXPECT_FALSE(boxesOverlap(drawn[i], drawn[j]))
                    << "labels " << drawn[i].unit << " and " << drawn[j].unit << " at " << mpp;
            }
        }
        EXPECT_LT(units, q.count) << "a dense view has labels to skip, at " << mpp;
    }

    // Off, every queued label is drawn as before and no boxes are kept: the
    // picture is the one drawn before labels could be kept apart (and before
    // the scale bar), pinned by its hash. With other fonts installed than
    // scripts/deps.sh installs, the pinned picture may differ.
    const QImage apart = city.boxes.map.image().copy();
    city.s.settings.labelsApart = 0;
    city.s.settings.scaleBar = 0;
    city.s.source.reset();                // and before the data's notice
    city.show(1.0, QPointF(7763, 6449));  // the start view's middle when the frame held every point
    EXPECT_TRUE(city.s.labels.drawn.empty());
    const QImage& off = city.boxes.map.image();
    EXPECT_NE(off, apart);
    const QByteArray hash = QCryptographicHash::hash(
        QByteArrayView(off.constBits(), off.sizeInBytes()), QCryptographicHash::Sha1);
    EXPECT_EQ(hash.toHex().toStdString(), "7ad5bf27da1b9c2dfa2c13a0cce0a34b9123114c");
}

TEST(LabelsApart, AStreetListedUnderItsOwnWordIsLabelledAsTheDataWritesIt) {
    ImportedCity city;
    ASSERT_TRUE(city.ok);
    const NameContext names = city.s.names();
    const DrawContext ctx = makeDrawContext(city.s, city.boxes.images);
    int labelled = 0;
    for (int32_t n = 1; n <= 60; ++n) {
        const QString listed = objectName(names, 2, n, false);
        if (listed == QStringLiteral("Крылова переулок")) {
            EXPECT_EQ(ctx.objectName(2, n), QStringLiteral("переулок Крылова"));
            ++labelled;
        } else if (listed == QStringLiteral("Думская улица")) {
            EXPECT_EQ(ctx.objectName(2, n), listed);
            ++labelled;
        }
    }
    EXPECT_EQ(labelled, 2);
}

TEST(LabelsApart, BoxesTouchingOrApartDoNotOverlap) {
    auto box = [](double x, double y, double w, double h, double degrees) {
        LabelBox b;
        const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
        const QPointF local[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        for (int i = 0; i < 4; ++i)
            b.corners[size_t(i)] = QPointF(x + local[i].x() * c - local[i].y() * s,
                                           y + local[i].x() * s + local[i].y() * c);
        return b;
    };
    const LabelBox a = box(0, 0, 100, 20, 0);
    EXPECT_TRUE(boxesOverlap(a, box(90, 10, 50, 20, 0)));
    EXPECT_FALSE(boxesOverlap(a, box(100, 0, 50, 20, 0))) << "touching";
    EXPECT_FALSE(boxesOverlap(a, box(0, 21, 100, 20, 0)));
    // A turned box whose bounds cross a's but whose body does not.
    EXPECT_FALSE(boxesOverlap(a, box(125, 0, 60, 3, 135)));
    EXPECT_TRUE(boxesOverlap(a, box(50, 30, 60, 10, -90)));
}
