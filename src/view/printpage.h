// One printed page composed from the map picture: the picture stretched into
// the margins keeping its proportions, or copied at its own size in the
// page's centre. The page is held at screen resolution; the printer (or a
// PDF file) gets it scaled to the paper.
#pragma once

#include <QImage>
#include <QPageSize>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "draw/picturebox.h"

class QPainter;

namespace urbica {

enum class PageOrientation { Portrait = 1, Landscape = 2 };

struct PageMargins {
    int left = 50, top = 50, right = 50, bottom = 50;  // pixels of the composed page
};

struct PageComposition {
    QSize page;    // the page in screen pixels, orientation applied
    QRect target;  // where the picture lies on the page
    QRect source;  // the part of the picture that is copied
    bool stretched = false;
};

// The size in screen pixels of a page given in points (portrait as the paper
// is described): twips divided by the screen's twips per pixel, whole-number
// division.
QSize pagePixels(const QSizeF& pagePoints, double dpiX, double dpiY);

// Where the picture goes. portraitPage is the page in pixels in portrait;
// landscape exchanges its sides. With stretch the picture fills the area
// inside the margins as far as its proportions allow, from the top-left
// margin corner; without, it keeps its size and is centred on the page
// (the margins do not apply and a larger picture is cut at the edges).
PageComposition composePageLayout(const QSize& portraitPage, PageOrientation orientation,
                                  const PageMargins& margins, bool stretch,
                                  const QSize& pictureSize);

// The page itself: white, with the picture placed as the layout says. A
// picture of a device pixel ratio above 1 (sizes in the layout are its
// logical ones) gives a page of that ratio: as many pixels more.
QImage composePage(const QImage& picture, const PageComposition& layout);

// The texts of a picture drawn without them (see renderAtRatio), laid over
// its page as text: a PDF keeps them as letters that can be found and
// copied, a printer sets them at its own resolution.
struct PageTexts {
    std::vector<PictureBox::TextCall> calls;  // in the picture's pixels
    PageComposition layout;                   // where the picture lies on the page
    bool gray = false;                        // in shades of grey
};

// Paints a composed page over the whole paper rectangle of a device and the
// footer line at (100, 100) twips, in the device's resolution; the texts,
// when given, over the picture's place.
void paintPrintedPage(QPainter& painter, const QRect& paperRect, int resolution, const QImage& page,
                      const QString& footer, const PageTexts* texts = nullptr);

// The resolution a page is composed at for a device of deviceDpi: at least
// 300 dots per inch, at most 600 and the device's own, as a ratio to the
// screen's dpi, kept low enough that the picture's pixels stay below 60
// million (a picture of pictureSize screen pixels). At most 8.
double printRatio(double deviceDpi, double screenDpi, const QSize& pictureSize);

// Dots per inch of the PDF page.
inline constexpr int kPdfResolution = 300;

// Writes the page as a one-page PDF of the given paper, replacing the file
// as a whole; false with the reason when it cannot be written.
bool writePagePdf(const QImage& page, const QPageSize& paper, PageOrientation orientation,
                  bool blackAndWhite, const QString& footer, const QString& path,
                  QString* error = nullptr, const PageTexts* texts = nullptr);

// The page in shades of grey, as a black-and-white printer prints it.
QImage grayPage(const QImage& page);

}  // namespace urbica
