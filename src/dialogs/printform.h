// The print dialog prinForm: one page composed from the map picture, shown
// reduced, in portrait or landscape, stretched into the margins or centred,
// printed on the default printer in colour or black and white. The same
// page can also be saved as a PDF file, so that it can be had without a
// printer.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPageSize>
#include <functional>

#include "dataset/settings.h"
#include "view/printpage.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace urbica {

// Where the page goes and how the person is asked and told things.
struct PrintEnvironment {
    QString printerName;                         // the default printer; empty: none installed
    QPageSize paper = QPageSize(QPageSize::A4);  // its paper
    double dpiX = 96, dpiY = 96;                 // the screen's resolution
    std::function<QString()> choosePdfFile;      // the PDF file name; empty: cancelled
    std::function<void(const QString&)> message;
    // The map picture of the view drawn again at a ratio of device pixels to
    // screen pixels, for a page at the printer's resolution; empty (or a
    // null picture): the picture given is printed.
    std::function<QImage(double ratio)> renderAt;
    // The same without its texts, which are added to the list instead: the
    // printer and the PDF get them as text. Used before renderAt when set.
    std::function<QImage(double ratio, std::vector<PictureBox::TextCall>* texts)>
        renderWithoutTexts;

    // The system's default printer (or the first one) and the primary screen.
    static PrintEnvironment system();
};

QString noPrinterText();

class PrintDialog : public QDialog {
    Q_OBJECT
public:
    PrintDialog(const QImage& picture, Settings& settings, const QString& footer,
                PrintEnvironment env, QWidget* parent = nullptr);

    PageOrientation orientation() const { return orientation_; }
    const QImage& page() const { return page_; }
    // The page at a device's resolution: from the picture drawn again at it
    // when the environment can (see renderAt), else the page above.
    // With texts, and a way to draw the view without them, the page's
    // picture comes without its texts and they are set out in texts.
    QImage pageAt(double deviceDpi, PageTexts* texts = nullptr) const;
    const PageComposition& composition() const { return composition_; }

    // Composes the page for the current choices and shows it reduced.
    void makepage();
    // Sends the page to the printer; false (with the reason) when the
    // printer could not take it.
    bool printPage(QString* error = nullptr);
    // Writes the page as a PDF file.
    bool savePdf(const QString& path, QString* error = nullptr);

    QGroupBox* Frame1 = nullptr;
    QRadioButton* portrait = nullptr;   // orient(1)
    QRadioButton* landscape = nullptr;  // orient(2)
    QCheckBox* stretc = nullptr;
    QCheckBox* bw = nullptr;
    QPushButton* printkey = nullptr;
    QPushButton* pdfkey = nullptr;
    QPushButton* cancelkey = nullptr;
    QLabel* minipage = nullptr;

private:
    void orientClicked(PageOrientation o);
    void printClicked();
    void pdfClicked();
    void tell(const QString& text);
    QSize previewSize() const;

    QImage picture_;
    Settings& settings_;
    QString footer_;
    PrintEnvironment env_;
    PageMargins margins_;
    PageOrientation orientation_ = PageOrientation::Portrait;
    QImage page_;
    PageComposition composition_;
    int previewHeight_ = 0;
};

// "Печатать": the dialog for the picture. Without a printer the person is
// told so, and the dialog still opens to save the page as a PDF file.
void printCommand(QWidget* parent, const QImage& picture, Settings& settings, const QString& footer,
                  PrintEnvironment env = PrintEnvironment::system());

}  // namespace urbica
