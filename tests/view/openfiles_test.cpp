// Data files are opened, read and closed within one routine: nothing stays
// open after a redraw, the overview, picks, a shown object or the name
// searches, whether the file cache keeps the files mapped (its descriptors
// are closed once mapped) or is off and every read goes to the file.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "democity.h"
#include "view/locate.h"
#include "view/pick.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

int openDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                   .size());
}

class OpenFiles : public ::testing::TestWithParam<bool> {
protected:
    QTemporaryDir dir;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;

    void SetUp() override {
#ifndef Q_OS_LINUX
        GTEST_SKIP() << "descriptors are counted in /proc/self/fd";
#endif
        QString error;
        ASSERT_TRUE(writeDataset(democity::buildCity({}), dir.path(), &error))
            << error.toStdString();
        s.settings.dataDirectory = dir.path() + "/";
        s.programDirectory = dir.path();
        ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
        readIconTable(s.settings.dataDirectory, s.tables);
        s.files.setEnabled(GetParam());
        for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
            b->resize(804, 604);
        boxes.nav.resize(204, 204);
    }

    // One of everything that reads data files; each step must have found
    // something, or the count below would prove nothing.
    void drawPickAndSearch() {
        buildOverview(s, boxes, hooks);
        s.view.viewLeft = float(s.catalogue.startX);
        s.view.viewTop = float(s.catalogue.startY);
        s.view.viewWidth = 800;
        s.marksList.add({int16_t(democity::kStreetClass), 1});
        redrawView(s, boxes, hooks, true);
        int picked = 0;
        for (int i = 0; i < 20; ++i) {
            const PickResult p =
                pickAt(s, boxes, hooks, s.view.viewLeft + 40 * i, s.view.viewTop + 30 * i);
            if (p.found) ++picked;
        }
        EXPECT_GT(picked, 0);

        const NameContext ctx = s.names();
        std::vector<int> every;
        for (int c = 1; c <= s.tables.classCount(); ++c) every.push_back(c);
        ListModel found;
        ASSERT_EQ(findByText(ctx, QStringLiteral("ул"), found, every), FillStatus::Done);
        EXPECT_GT(found.count(), 0);
        // The quick find: searchable classes with names, then the first one shown.
        std::vector<int> quick;
        for (int c : every)
            if (s.tables.classes[size_t(c)].searchable && s.tables.classes[size_t(c)].hasNames)
                quick.push_back(c);
        ListModel quickList;
        ASSERT_EQ(findByText(ctx, QStringLiteral("а"), quickList, quick), FillStatus::Done);
        ASSERT_GT(quickList.count(), 0);
        const NamedObject first = decodeItemKey(quickList.itemData(0));
        EXPECT_TRUE(showNamedObject(s, boxes, hooks, first.classNumber, first.record));

        ListModel streets;
        ASSERT_EQ(fillStreetList(ctx, streets), FillStatus::Done);
        EXPECT_GT(streets.count(), 0);
        ListModel stations, numeric;
        ASSERT_EQ(fillClassList(ctx, stations, democity::kStationClass, numeric),
                  FillStatus::Done);
        EXPECT_GT(stations.count(), 0);
        EXPECT_TRUE(showNamedObject(s, boxes, hooks, democity::kStationClass, 1));
    }
};

}  // namespace

TEST_P(OpenFiles, NoneStayOpenAfterDrawingPickingAndSearching) {
    const int before = openDescriptors();
    drawPickAndSearch();
    EXPECT_EQ(openDescriptors(), before);
    if (GetParam()) {
        EXPECT_GT(s.files.fileCount(), 0) << "the cache keeps the files, without descriptors";
    }
    // Again, now from what the cache holds.
    drawPickAndSearch();
    EXPECT_EQ(openDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(Cache, OpenFiles, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "On" : "Off");
                         });
