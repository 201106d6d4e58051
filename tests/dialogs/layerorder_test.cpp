#include "view/layerorder.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "dataset/binary.h"
#include "dialogs/sloirast.h"
#include "layerfixture.h"
#include "view/pick.h"

using namespace urbica;
using urbica::testing::LayerFixture;

namespace {

constexpr QRgb kBlue = 0x0000FF, kRed = 0xFF0000, kGreen = 0x00FF00, kWhite = 0xFFFFFF;

std::vector<int> layersOf(const LayerOrderList& l) {
    std::vector<int> out;
    for (const auto& e : l) out.push_back(e.layer);
    return out;
}

std::vector<int> shorts(const QByteArray& b) {
    std::vector<int> out;
    for (int i = 0; i + 1 < b.size(); i += 2) out.push_back(getI16(b.constData() + i));
    return out;
}

}  // namespace

TEST(LayerOrder, ListsHoldListedLayersInTheirOrders) {
    LayerFixture f;
    f.s.tables.layers[2].shown = 0;
    f.s.tables.layers[4].selectable = 0;
    const LayerOrderList draw = drawOrderList(f.s.tables);
    EXPECT_EQ(layersOf(draw), (std::vector<int>{1, 2, 4})) << "layer 3 is not listed";
    EXPECT_EQ(draw[0].name.trimmed(), "Вода");
    EXPECT_FALSE(draw[1].selected);
    const LayerOrderList select = selectOrderList(f.s.tables);
    EXPECT_EQ(layersOf(select), (std::vector<int>{4, 2, 1}));
    EXPECT_FALSE(select[0].selected);

    // Damaged orders: empty positions and numbers past the table are left out.
    f.s.tables.drawOrder = {0, 0, 9, -3, 4};
    EXPECT_EQ(layersOf(drawOrderList(f.s.tables)), (std::vector<int>{4}));
}

TEST(LayerOrder, MovesKeepTheSelectionAndStopAtTheEnds) {
    LayerOrderList l = {{"a", 1, true}, {"b", 2, false}, {"c", 4, true}};
    EXPECT_EQ(moveEntryDown(l, 0), 1);
    EXPECT_EQ(layersOf(l), (std::vector<int>{2, 1, 4}));
    EXPECT_TRUE(l[1].selected) << "a drawn layer moved down stays drawn";
    EXPECT_FALSE(l[0].selected);
    EXPECT_EQ(moveEntryDown(l, 2), 2) << "the last entry stays";
    EXPECT_EQ(moveEntryUp(l, 0), 0) << "the first entry stays";
    EXPECT_EQ(moveEntryUp(l, 2), 1);
    EXPECT_EQ(layersOf(l), (std::vector<int>{2, 4, 1}));
    EXPECT_EQ(l[2].name, "a");
    LayerOrderList empty;
    EXPECT_EQ(moveEntryDown(empty, 0), 0);
}

TEST(LayerOrder, StoreWritesTablesAndZerosAfterTheLastListedLayer) {
    LayerFixture f;
    LayerOrderList draw = drawOrderList(f.s.tables);
    LayerOrderList select = selectOrderList(f.s.tables);
    moveEntryDown(draw, 0);      // 2, 1, 4
    draw[2].selected = false;    // park not drawn
    select[1].selected = false;  // houses not picked
    storeLayerOrder(f.s.tables, draw, select);
    EXPECT_EQ(f.s.tables.drawOrder, (std::vector<int16_t>{0, 2, 1, 4, 0}));
    EXPECT_EQ(f.s.tables.selectOrder, (std::vector<int16_t>{0, 4, 2, 1, 0}));
    EXPECT_EQ(f.s.tables.layers[4].shown, 0);
    EXPECT_EQ(f.s.tables.layers[1].shown, -1);
    EXPECT_EQ(f.s.tables.layers[2].selectable, 0);
    EXPECT_EQ(f.s.tables.layers[3].shown, -1) << "an unlisted layer keeps its flags";

    const QByteArray typesBefore = f.fileBytes("urbica.tip");
    const QByteArray classesBefore = f.fileBytes("urbica.cl");
    ASSERT_TRUE(applyLayerOrder(f.s, f.boxes, f.hooks));
    EXPECT_EQ(shorts(f.fileBytes("urbica.srt")), (std::vector<int>{2, 1, 4, 0}));
    EXPECT_EQ(shorts(f.fileBytes("urbica.sel")), (std::vector<int>{4, 2, 1, 0}));
    const QByteArray sls = f.fileBytes("urbica.sls");
    ASSERT_EQ(sls.size(), 4 * 234);
    EXPECT_EQ(getI16(sls.constData() + 3 * 234 + 50), 0) << "park not shown, in the file";
    EXPECT_EQ(getI16(sls.constData() + 1 * 234 + 76), 0) << "houses not selectable";
    EXPECT_EQ(f.fileBytes("urbica.tip"), typesBefore) << "rewritten unchanged";
    EXPECT_EQ(f.fileBytes("urbica.cl"), classesBefore);

    // The next start reads what was stored.
    Tables again;
    ASSERT_TRUE(loadTables(f.s.settings.dataDirectory, again));
    EXPECT_EQ(again.drawOrder, f.s.tables.drawOrder);
}

TEST(LayerOrder, NothingIsWrittenWithTableSaveModeTwo) {
    LayerFixture f;
    f.s.settings.tableSaveMode = 2;
    const QByteArray sls = f.fileBytes("urbica.sls"), srt = f.fileBytes("urbica.srt");
    LayerOrderList draw = drawOrderList(f.s.tables);
    draw[0].selected = false;
    storeLayerOrder(f.s.tables, draw, selectOrderList(f.s.tables));
    EXPECT_TRUE(applyLayerOrder(f.s, f.boxes, f.hooks));
    EXPECT_EQ(f.fileBytes("urbica.sls"), sls);
    EXPECT_EQ(f.fileBytes("urbica.srt"), srt);
    EXPECT_EQ(f.mapAt(70, 70), kWhite) << "the change applies to the run all the same";
}

TEST(LayerOrder, AnUnwritableDataFolderStillRedrawsAndReports) {
    LayerFixture f;
    const QByteArray srt = f.fileBytes("urbica.srt");
    // The data folder is gone by the time the order is stored.
    const QString dataDir = f.s.settings.dataDirectory;
    f.s.settings.dataDirectory = f.dir.filePath("missing/");
    LayerOrderList draw = drawOrderList(f.s.tables);
    draw[1].selected = false;
    storeLayerOrder(f.s.tables, draw, selectOrderList(f.s.tables));
    QString error;
    EXPECT_FALSE(applyLayerOrder(f.s, f.boxes, f.hooks, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(f.mapAt(200, 70), kWhite) << "the map follows the new switches";
    f.s.settings.dataDirectory = dataDir;
    EXPECT_EQ(f.fileBytes("urbica.srt"), srt);
}

TEST(LayerOrder, UntickedForDrawingLeavesMapAndOverview) {
    LayerFixture f;
    ASSERT_EQ(f.mapAt(70, 70), kBlue);
    ASSERT_EQ(f.mapAt(200, 70), kRed);
    ASSERT_EQ(f.mapAt(330, 70), kGreen);
    EXPECT_EQ(f.mapAt(200, 230), kWhite) << "the unlisted layer is never drawn";
    ASSERT_EQ(f.navAt(50, 17), kRed);
    const int historyPos = f.s.history.historyPos;
    const float left = f.s.view.viewLeft, width = f.s.view.viewWidth;

    LayerOrderList draw = drawOrderList(f.s.tables);
    draw[1].selected = false;  // houses
    storeLayerOrder(f.s.tables, draw, selectOrderList(f.s.tables));
    ASSERT_TRUE(applyLayerOrder(f.s, f.boxes, f.hooks));
    EXPECT_EQ(f.mapAt(200, 70), kWhite);
    EXPECT_EQ(f.navAt(50, 17), kWhite) << "gone from the overview too";
    EXPECT_EQ(f.mapAt(70, 70), kBlue);
    EXPECT_EQ(f.s.history.historyPos, historyPos) << "the history is not touched";
    EXPECT_EQ(f.s.history.upperBound(), historyPos);
    EXPECT_EQ(f.s.view.viewLeft, left);
    EXPECT_EQ(f.s.view.viewWidth, width);
    EXPECT_FLOAT_EQ(f.s.view.unitsPerPixel, 10.f);
}

TEST(LayerOrder, UntickedForPickingIsDrawnButNeverPicked) {
    LayerFixture f;
    ASSERT_EQ(findObjectAt(f.s, 2000, 700).layer, 2);
    LayerOrderList select = selectOrderList(f.s.tables);
    for (auto& e : select)
        if (e.layer == 2) e.selected = false;
    storeLayerOrder(f.s.tables, drawOrderList(f.s.tables), select);
    ASSERT_TRUE(applyLayerOrder(f.s, f.boxes, f.hooks));
    EXPECT_EQ(f.mapAt(200, 70), kRed) << "still drawn";
    EXPECT_EQ(findObjectAt(f.s, 2000, 700).found, 0) << "never picked";
    EXPECT_EQ(findObjectAt(f.s, 700, 700).layer, 1);
}

TEST(LayerOrderDialog, MovesKeepSelectionStoreAndCancel) {
    LayerFixture f;
    f.s.tables.layers[1].shown = 0;
    const Tables before = f.s.tables;
    {
        LayerOrderDialog d(f.s.tables);
        EXPECT_EQ(d.windowTitle(), "Порядок слоев");
        EXPECT_EQ(d.SSTab1->tabText(0), "Рисование");
        EXPECT_EQ(d.SSTab1->tabText(1), "Опознавание");
        ASSERT_EQ(d.sloiList->count(), 3);
        EXPECT_FALSE(d.sloiList->item(0)->isSelected());
        EXPECT_TRUE(d.sloiList->item(1)->isSelected());
        EXPECT_EQ(d.sloiList->currentRow(), 0);
        d.sloiList->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        d.risdnkey->click();
        EXPECT_EQ(d.sloiList->currentRow(), 2);
        EXPECT_EQ(d.sloiList->item(2)->text().trimmed(), "Дома");
        EXPECT_TRUE(d.sloiList->item(2)->isSelected()) << "moved with its selection";
        EXPECT_TRUE(d.sloiList->item(1)->isSelected()) << "the park came up, selected";
        d.risdnkey->click();  // at the end: nothing
        EXPECT_EQ(d.sloiList->currentRow(), 2);
        d.cancelkey->click();
        EXPECT_EQ(d.dialogAccepted(), 0);
    }
    EXPECT_EQ(f.s.tables.drawOrder, before.drawOrder) << "cancel leaves the tables";
    EXPECT_EQ(f.s.tables.layers[2].shown, before.layers[2].shown);

    LayerOrderDialog d(f.s.tables);
    d.selectList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    d.detdnkey->click();
    d.selectList->item(0)->setSelected(false);
    d.closekey->click();
    EXPECT_EQ(d.dialogAccepted(), -1);
    EXPECT_EQ(f.s.tables.selectOrder, (std::vector<int16_t>{0, 2, 4, 1, 0}));
    EXPECT_EQ(f.s.tables.layers[2].selectable, 0);
    EXPECT_EQ(f.s.tables.layers[4].selectable, -1);
    EXPECT_EQ(f.s.tables.layers[1].shown, 0) << "an unselected drawn entry stays off";
}
