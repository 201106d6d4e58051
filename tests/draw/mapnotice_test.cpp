#include "draw/mapnotice.h"

#include <gtest/gtest.h>

#include "draw/picturebox.h"

using namespace urbica;

TEST(MapNotice, DrawnInTheLowerRightCornerOnly) {
    PictureBox box(404, 304);
    box.backColor = 0x000000;
    box.cls();
    box.setScale(100, 200, 4000, 3000);
    const QImage before = box.image().copy();
    const QString text = QStringLiteral("© участники OpenStreetMap");
    const QRect r = mapNoticeRect(box, text, 400, 300);
    ASSERT_FALSE(r.isEmpty());
    EXPECT_EQ(r.bottomRight(), QPoint(399, 299));
    EXPECT_LT(r.height(), 30) << "small";
    drawMapNotice(box, text, 400, 300);
    int outside = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            outside += !r.contains(x, y) && box.image().pixel(x, y) != before.pixel(x, y);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(box.image().pixel(r.right(), r.top()) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(box.scaleLeft(), 100) << "the map scale is kept";
    EXPECT_EQ(box.scaleWidth(), 4000);

    // No text, or a picture too small to hold it: nothing.
    PictureBox small(104, 24);
    small.cls();
    const QImage smallBefore = small.image().copy();
    drawMapNotice(small, text, 100, 20);
    drawMapNotice(small, QString(), 100, 20);
    EXPECT_EQ(small.image(), smallBefore);
}
