// Data files are opened, read and closed within one routine: nothing stays
// open after a redraw, the overview, a pick, a shown object or a search.
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
#ifdef Q_OS_LINUX
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                   .size());
#else
    return 0;
#endif
}

}  // namespace

TEST(OpenFiles, NoneStayOpenAfterDrawingPickingAndSearching) {
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(writeDataset(democity::buildCity({}), dir.path(), &error)) << error.toStdString();
    AppState s;
    s.settings.dataDirectory = dir.path() + "/";
    s.programDirectory = dir.path();
    ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
    MapBoxes boxes;
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage}) b->resize(804, 604);
    boxes.nav.resize(204, 204);
    ViewHooks hooks;

    const int before = openDescriptors();
    buildOverview(s, boxes, hooks);
    s.view.viewLeft = float(s.catalogue.startX);
    s.view.viewTop = float(s.catalogue.startY);
    s.view.viewWidth = 800;
    s.marksList.add({int16_t(democity::kStreetClass), 1});
    redrawView(s, boxes, hooks, true);
    for (int i = 0; i < 20; ++i)
        pickAt(s, boxes, hooks, s.view.viewLeft + 40 * i, s.view.viewTop + 30 * i);
    NameContext ctx{s.settings.dataDirectory, s.catalogue, s.tables};
    ListModel list;
    std::vector<int> classes;
    for (int c = 1; c <= s.tables.classCount(); ++c) classes.push_back(c);
    findByText(ctx, QStringLiteral("ул"), list, classes);
    ListModel streets;
    fillStreetList(ctx, streets);
    showNamedObject(s, boxes, hooks, democity::kStationClass, 1);
    EXPECT_EQ(openDescriptors(), before);
}
