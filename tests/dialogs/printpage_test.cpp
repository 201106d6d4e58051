#include "view/printpage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

#include "dialogs/printform.h"

using namespace urbica;

namespace {

QImage picture(int w, int h, QColor c = Qt::red) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

PrintEnvironment testEnvironment(const QString& printer = QString()) {
    PrintEnvironment env;
    env.printerName = printer;
    env.paper = QPageSize(QPageSize::A4);
    env.dpiX = env.dpiY = 96;
    env.message = [](const QString&) {};
    return env;
}

}  // namespace

TEST(PagePixels, PaperAtScreenResolution) {
    // A4 is 595.28 x 841.89 points: 11906 x 16838 twips, 15 twips per pixel.
    EXPECT_EQ(pagePixels(QSizeF(595.28, 841.89), 96, 96), QSize(793, 1122));
    EXPECT_EQ(pagePixels(QSizeF(612, 792), 120, 120), QSize(1020, 1320));
    EXPECT_EQ(pagePixels(QSizeF(612, 792), 0, 96), QSize()) << "no resolution, no page";
    EXPECT_EQ(pagePixels(QSizeF(1e9, 792), 96, 96), QSize()) << "no paper is that large";
}

TEST(PageComposition, StretchKeepsProportionsInBothOrientations) {
    const QSize a4(793, 1122);
    const PageMargins m;
    // Portrait: the area 693 x 1022 is relatively taller than 800 x 600: the width is filled.
    PageComposition p = composePageLayout(a4, PageOrientation::Portrait, m, true, QSize(800, 600));
    EXPECT_EQ(p.page, a4);
    EXPECT_EQ(p.target, QRect(50, 50, 693, 520));  // 600 / 800 * 693 = 519.75
    EXPECT_EQ(p.source, QRect(0, 0, 800, 600));
    // Landscape: the area 1022 x 693 is relatively wider: the height is filled, nothing is cut.
    PageComposition l = composePageLayout(a4, PageOrientation::Landscape, m, true, QSize(800, 600));
    EXPECT_EQ(l.page, QSize(1122, 793));
    EXPECT_EQ(l.target, QRect(50, 50, 924, 693));  // 800 / 600 * 693
    // A map wider than the landscape area is scaled down to it.
    PageComposition wide =
        composePageLayout(a4, PageOrientation::Landscape, m, true, QSize(2000, 500));
    EXPECT_EQ(wide.target, QRect(50, 50, 1022, 256));  // 500 / 2000 * 1022 = 255.5 -> 256
    EXPECT_LE(wide.target.right(), wide.page.width() - m.right);
}

TEST(PageComposition, WithoutStretchThePictureIsCentredAtItsOwnSize) {
    const QSize a4(793, 1122);
    PageComposition p =
        composePageLayout(a4, PageOrientation::Portrait, PageMargins{}, false, QSize(400, 300));
    EXPECT_EQ(p.target, QRect(196, 411, 400, 300));  // 393 / 2 = 196.5 -> 196 (even)
    PageComposition l =
        composePageLayout(a4, PageOrientation::Landscape, PageMargins{}, false, QSize(400, 300));
    EXPECT_EQ(l.target, QRect(361, 246, 400, 300));  // 361, 246.5 -> 246
    // Larger than the page: centred and cut at the edges.
    PageComposition big =
        composePageLayout(a4, PageOrientation::Portrait, PageMargins{}, false, QSize(1000, 300));
    EXPECT_EQ(big.target.left(), -104);
}

TEST(PageComposition, ThePageHoldsThePictureWhereTheLayoutSays) {
    QImage pic = picture(80, 60);
    pic.setPixel(0, 0, qRgb(0, 0, 255));
    PageComposition c = composePageLayout(QSize(300, 400), PageOrientation::Portrait, PageMargins{},
                                          false, pic.size());
    const QImage page = composePage(pic, c);
    ASSERT_EQ(page.size(), QSize(300, 400));
    EXPECT_EQ(page.pixel(c.target.topLeft()) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(page.pixel(c.target.center()) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(page.pixel(c.target.left() - 1, c.target.top()) & 0xFFFFFF, 0xFFFFFFu);

    c = composePageLayout(QSize(300, 400), PageOrientation::Portrait, PageMargins{}, true,
                          pic.size());
    const QImage stretched = composePage(pic, c);
    EXPECT_EQ(c.target, QRect(50, 50, 200, 150));
    EXPECT_EQ(stretched.pixel(150, 120) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(stretched.pixel(150, 210) & 0xFFFFFF, 0xFFFFFFu) << "below the picture: paper";
}

TEST(PageComposition, APictureOfMorePixelsGivesASharperPageOfTheSameLayout) {
    // The view drawn at 3 device pixels a pixel: 80 x 60 pixels of 3 x 3.
    QImage pic = picture(240, 180);
    pic.setDevicePixelRatio(3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) pic.setPixel(x, y, qRgb(0, 0, 255));
    pic.setPixel(3, 0, qRgb(0, 255, 0));  // one device pixel: seen on the sharp page only
    const QSize logical = pic.deviceIndependentSize().toSize();
    ASSERT_EQ(logical, QSize(80, 60));
    for (bool stretch : {false, true}) {
        const PageComposition c = composePageLayout(QSize(300, 400), PageOrientation::Portrait,
                                                    PageMargins{}, stretch, logical);
        const QImage page = composePage(pic, c);
        ASSERT_EQ(page.size(), QSize(900, 1200)) << "the same page, three times the pixels";
        EXPECT_EQ(page.devicePixelRatio(), 3);
        const QPoint corner = c.target.topLeft() * 3;
        EXPECT_EQ(page.pixel(corner) & 0xFFFFFF, 0x0000FFu) << stretch;
        EXPECT_EQ(page.pixel(c.target.center() * 3) & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(page.pixel(corner - QPoint(1, 0)) & 0xFFFFFF, 0xFFFFFFu) << "paper";
        if (!stretch) {
            EXPECT_EQ(page.pixel(corner + QPoint(3, 0)) & 0xFFFFFF, 0x00FF00u);
        }
    }
    // 300 dots per inch at least, the device's up to 600, pixels bounded.
    EXPECT_DOUBLE_EQ(printRatio(96, 96, QSize(800, 600)), 300.0 / 96);
    EXPECT_DOUBLE_EQ(printRatio(600, 96, QSize(800, 600)), 6.25);
    EXPECT_DOUBLE_EQ(printRatio(1200, 96, QSize(800, 600)), 6.25);
    EXPECT_LE(
        printRatio(1200, 96, QSize(4000, 3000)) * printRatio(1200, 96, QSize(4000, 3000)) * 12e6,
        60e6 * 1.0001);
}

TEST(PagePdf, WritesAPdfOrReportsAMissingFolder) {
    QTemporaryDir dir;
    const QImage page =
        composePage(picture(100, 80), composePageLayout(QSize(793, 1122), PageOrientation::Portrait,
                                                        PageMargins{}, true, QSize(100, 80)));
    const QString path = dir.filePath("page.pdf");
    QString error;
    ASSERT_TRUE(writePagePdf(page, QPageSize(QPageSize::A4), PageOrientation::Portrait, false,
                             "Urbica", path, &error))
        << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF-"));
    EXPECT_FALSE(writePagePdf(page, QPageSize(QPageSize::A4), PageOrientation::Portrait, false, "",
                              dir.filePath("none/page.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(PrintDialog, OrientationRecomposesAndExchangesThePreview) {
    Settings settings;
    PrintDialog d(picture(400, 300), settings, "footer", testEnvironment("queue"));
    EXPECT_EQ(d.windowTitle(), "Печать");
    EXPECT_TRUE(d.portrait->isChecked());
    EXPECT_FALSE(d.stretc->isChecked());
    EXPECT_EQ(d.page().size(), QSize(793, 1122));
    const QSize preview = d.minipage->size();
    EXPECT_LT(preview.width(), preview.height());

    d.landscape->click();
    EXPECT_EQ(d.orientation(), PageOrientation::Landscape);
    EXPECT_EQ(d.page().size(), QSize(1122, 793));
    EXPECT_EQ(d.minipage->size(), preview.transposed());
    d.stretc->click();
    EXPECT_TRUE(d.composition().stretched);
    EXPECT_EQ(d.composition().target, QRect(50, 50, 924, 693));
    d.portrait->click();
    EXPECT_EQ(d.minipage->size(), preview);
    EXPECT_EQ(d.composition().target, QRect(50, 50, 693, 520));
}

TEST(PrintDialog, PrintedPagesComeFromTheViewDrawnAtTheDevicesResolution) {
    Settings settings;
    PrintEnvironment env = testEnvironment("queue");
    double asked = 0;
    env.renderAt = [&](double ratio) {
        asked = ratio;
        QImage sharp = picture(int(std::ceil(400 * ratio)), int(std::ceil(300 * ratio)));
        sharp.setDevicePixelRatio(ratio);
        return sharp;
    };
    // The screen's picture at ratio 2: laid out by its size in pixels.
    QImage screen = picture(800, 600);
    screen.setDevicePixelRatio(2);
    PrintDialog d(screen, settings, "footer", env);
    EXPECT_EQ(d.composition().target.size(), QSize(400, 300));
    EXPECT_EQ(d.page().deviceIndependentSize().toSize(), QSize(793, 1122));
    const QImage pdf = d.pageAt(kPdfResolution);
    EXPECT_DOUBLE_EQ(asked, 300.0 / 96);
    EXPECT_EQ(pdf.deviceIndependentSize().toSize(), QSize(793, 1122));
    EXPECT_GE(pdf.width(), 793 * 3) << "at least 300 dots per inch";
    // Without a way to draw again, the page shown is the one printed.
    PrintDialog plain(picture(400, 300), settings, "footer", testEnvironment("queue"));
    EXPECT_EQ(plain.pageAt(600), plain.page());
}

TEST(PrintDialog, BlackAndWhiteChangesTheSettingNotThePreview) {
    Settings settings;
    settings.bw = 0;
    PrintDialog d(picture(400, 300), settings, "footer", testEnvironment("queue"));
    EXPECT_FALSE(d.bw->isChecked());
    const QImage before = d.minipage->pixmap().toImage();
    d.bw->click();
    EXPECT_EQ(settings.bw, 1);
    EXPECT_EQ(d.minipage->pixmap().toImage(), before);
    d.bw->click();
    EXPECT_EQ(settings.bw, 0);
}

TEST(PrintDialog, WithoutAPrinterThePageCanStillBeSavedAsPdf) {
    QTemporaryDir dir;
    Settings settings;
    settings.bw = 1;
    PrintEnvironment env = testEnvironment();
    QStringList messages;
    env.message = [&](const QString& t) { messages << t; };
    env.choosePdfFile = [&] { return dir.filePath("karta"); };
    PrintDialog d(picture(400, 300), settings, "footer", env);
    EXPECT_TRUE(d.bw->isChecked());
    EXPECT_FALSE(d.printkey->isEnabled());
    QString error;
    EXPECT_FALSE(d.printPage(&error));
    EXPECT_EQ(error, "Не установлено ни одного принтера");
    d.pdfkey->click();
    EXPECT_TRUE(QFile::exists(dir.filePath("karta.pdf")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST(PrintDialog, PdfCarriesTheMapsTextsAsText) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Settings settings;
    PrintEnvironment env = testEnvironment("queue");
    env.renderWithoutTexts = [](double ratio, std::vector<PictureBox::TextCall>* texts) {
        LogFont font;
        font.faceName = "Arial";
        font.height = 16;
        texts->push_back({40, 30, "Невский проспект", font, 0x0000FF, 1.5, 0xFFFFFF});
        texts->push_back({500, 30, "За краем", font, 0, 0, 0});  // off the picture
        QImage sharp = picture(int(std::ceil(400 * ratio)), int(std::ceil(300 * ratio)));
        sharp.setDevicePixelRatio(ratio);
        return sharp;
    };
    PrintDialog d(picture(400, 300), settings, "footer", env);
    QTemporaryDir dir;
    const QString path = dir.filePath("page.pdf");
    ASSERT_TRUE(d.savePdf(path));
    QProcess p;
    p.start(pdftotext, {path, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(text.count("Невский проспект"), 1) << text.toStdString();
    EXPECT_FALSE(text.contains("За краем")) << "cut at the picture's edge as its pixels are";
    EXPECT_TRUE(text.contains("footer"));
}
