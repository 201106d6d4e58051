#include "view/pictureexport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "dialogs/exportpicture.h"

using namespace urbica;

namespace {

// A 400 x 300 picture whose pixels are all different.
QImage gradient() {
    QImage img(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 100));
    return img;
}

ViewState view10() {
    ViewState v;
    v.viewLeft = 1000;
    v.viewTop = 2000;
    v.viewWidth = 4000;
    v.viewHeight = 3000;
    v.unitsPerPixel = 10;
    return v;
}

}  // namespace

TEST(ExportName, BmpRules) {
    EXPECT_EQ(exportFileName("karta"), "karta.bmp");
    EXPECT_EQ(exportFileName("/tmp/KARTA.BMP"), "/tmp/KARTA.BMP");
    EXPECT_EQ(exportFileName("plan.Bmp"), "plan.Bmp");
    EXPECT_EQ(exportFileName("x.png"), "x.png.bmp");
    EXPECT_EQ(exportFileName("   "), "") << "a blank name saves nothing";
    EXPECT_EQ(exportFileName(""), "");
    EXPECT_EQ(exportFilter(), "Рисунок BMP (*.bmp);;Все файлы (*)");
    EXPECT_EQ(exportErrorText(), "Неправильное имя файла или не правильный путь");
}

TEST(ExportPart, EitherDirectionGivesTheSamePixels) {
    const ViewState v = view10();
    const QRect down = exportPixelRect(QRectF(1505, 2203, 1200, 800), v);
    const QRect up = exportPixelRect(QRectF(2705, 3003, -1200, -800), v);
    EXPECT_EQ(down, up);
    EXPECT_EQ(down, QRect(50, 20, 120, 80));  // 50.5 -> 50, 20.3 -> 20
    const QImage pic = gradient();
    const QImage a = pictureCutOut(pic, down), b = pictureCutOut(pic, up);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), QSize(120, 80)) << "exactly the rectangle's size";
    EXPECT_EQ(a.pixel(0, 0), pic.pixel(50, 20));
    EXPECT_EQ(a.pixel(119, 79), pic.pixel(169, 99));
    EXPECT_TRUE(exportPixelRect(QRectF(0, 0, 1e30, 10), v).isNull()) << "no huge pictures";
    EXPECT_TRUE(pictureCutOut(pic, QRect(0, 0, 0, 5)).isNull());
}

TEST(ExportCommand, WholeAndPartPicturesAreSavedAsBmp) {
    QTemporaryDir dir;
    const QImage pic = gradient();
    QStringList messages;
    ExportUi ui;
    ui.message = [&](const QString& t) { messages << t; };

    ui.chooseFile = [&] { return dir.filePath("whole"); };
    ASSERT_TRUE(exportPictureCommand(nullptr, pic, ui));
    QImage saved(dir.filePath("whole.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), pic.size()) << "the map box's picture size";
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), pic);

    ui.chooseFile = [&] { return dir.filePath("part.png"); };
    ASSERT_TRUE(exportMapPartCommand(nullptr, pic, view10(), QRectF(3000, 4000, -500, -300), ui));
    QImage part(dir.filePath("part.png.bmp"), "BMP");
    EXPECT_EQ(part.size(), QSize(50, 30));
    EXPECT_EQ(part.pixel(0, 0), pic.pixel(150, 170));

    ui.chooseFile = [] { return QString(); };
    EXPECT_FALSE(exportPictureCommand(nullptr, pic, ui));
    EXPECT_TRUE(messages.isEmpty()) << "a cancelled dialog says nothing";

    ui.chooseFile = [&] { return dir.filePath("missing/folder/x"); };
    EXPECT_FALSE(exportPictureCommand(nullptr, pic, ui));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Неправильное имя файла или не правильный путь");
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
}

TEST(ExportCommand, AnExistingFileIsReplacedOnlyWhenAllowed) {
    QTemporaryDir dir;
    const QImage pic = gradient();
    {
        QFile old(dir.filePath("cut.bmp"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("part picture");
    }
    QStringList asked;
    bool allow = false;
    ExportUi ui;
    ui.message = [](const QString&) { FAIL() << "no error expected"; };
    ui.chooseFile = [&] { return dir.filePath("cut"); };  // ".bmp" is added
    ui.confirmReplace = [&](const QString& path) {
        asked << path;
        return allow;
    };
    EXPECT_FALSE(exportPictureCommand(nullptr, pic, ui));
    EXPECT_EQ(asked, QStringList{dir.filePath("cut.bmp")});
    EXPECT_EQ(QFileInfo(dir.filePath("cut.bmp")).size(), 12) << "kept";
    allow = true;
    EXPECT_TRUE(exportPictureCommand(nullptr, pic, ui));
    EXPECT_FALSE(QImage(dir.filePath("cut.bmp"), "BMP").isNull()) << "replaced";
    EXPECT_EQ(asked.size(), 2);
    ui.chooseFile = [&] { return dir.filePath("new"); };
    EXPECT_TRUE(exportPictureCommand(nullptr, pic, ui));
    EXPECT_EQ(asked.size(), 2) << "a new file needs no question";
    EXPECT_TRUE(replaceQuestion("cut.bmp").contains("cut.bmp"));
}

TEST(ExportCommand, APictureOfTheScreensDevicePixelsIsSavedAtEitherSize) {
    QTemporaryDir dir;
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    picture.setDevicePixelRatio(2);
    // A part drawn in the map's pixels is cut from the device pixels.
    const QImage part = pictureCutOut(picture, QRect(0, 0, 10, 10));
    EXPECT_EQ(part.size(), QSize(20, 20));
    EXPECT_EQ(part.pixel(1, 1) & 0xFFFFFF, 0x0000FFu);
    for (bool device : {true, false}) {
        ExportUi ui;
        QSize asked[2];
        ui.chooseFile = [&] { return dir.filePath(device ? "full" : "plain"); };
        ui.chooseDeviceSize = [&](const QSize& d, const QSize& p) {
            asked[0] = d;
            asked[1] = p;
            return device;
        };
        ASSERT_TRUE(exportPictureCommand(nullptr, picture, ui));
        EXPECT_EQ(asked[0], QSize(200, 100));
        EXPECT_EQ(asked[1], QSize(100, 50));
        const QImage saved(dir.filePath(device ? "full.bmp" : "plain.bmp"));
        EXPECT_EQ(saved.size(), device ? QSize(200, 100) : QSize(100, 50));
    }
    // One pixel a pixel: no question, the design's picture.
    QImage plain(100, 50, QImage::Format_RGB32);
    plain.fill(Qt::red);
    ExportUi ui;
    ui.chooseFile = [&] { return dir.filePath("design"); };
    ui.chooseDeviceSize = [](const QSize&, const QSize&) -> bool {
        ADD_FAILURE() << "asked";
        return true;
    };
    ASSERT_TRUE(exportPictureCommand(nullptr, plain, ui));
    EXPECT_EQ(QImage(dir.filePath("design.bmp")).size(), QSize(100, 50));
}
