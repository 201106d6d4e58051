#include "dialogs/printform.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace urbica {

namespace {

const char kSection[] = "print";

QString caption(int number, const char* builtIn) {
    return message(QLatin1String(kSection), number, QString::fromUtf8(builtIn));
}

}  // namespace

QString noPrinterText() {
    return message(QStringLiteral("urbica"), 22,
                   QStringLiteral("Не установлено ни одного принтера"));
}

PrintEnvironment PrintEnvironment::system() {
    PrintEnvironment env;
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty()) info = all.first();
    }
    if (!info.isNull()) {
        env.printerName = info.printerName();
        const QPageSize size = info.defaultPageSize();
        if (size.isValid()) env.paper = size;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        env.dpiX = screen->logicalDotsPerInchX();
        env.dpiY = screen->logicalDotsPerInchY();
    }
    return env;
}

PrintDialog::PrintDialog(const QImage& picture, Settings& settings, const QString& footer,
                         PrintEnvironment env, QWidget* parent)
    : QDialog(parent),
      picture_(picture),
      settings_(settings),
      footer_(footer),
      env_(std::move(env)) {
    setObjectName(QStringLiteral("prinForm"));
    setWindowTitle(caption(1, "Печать"));

    Frame1 = new QGroupBox(caption(2, "Страница"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    portrait = new QRadioButton(caption(3, "Книжная"), Frame1);
    portrait->setObjectName(QStringLiteral("orient1"));
    landscape = new QRadioButton(caption(4, "Альбомная"), Frame1);
    landscape->setObjectName(QStringLiteral("orient2"));
    portrait->setChecked(true);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(portrait);
    frameLayout->addWidget(landscape);

    stretc = new QCheckBox(caption(5, "До краев"), this);
    stretc->setObjectName(QStringLiteral("stretc"));
    bw = new QCheckBox(caption(6, "Черно-белая"), this);
    bw->setObjectName(QStringLiteral("bw"));
    bw->setChecked(settings_.bw == 1);
    printkey = new QPushButton(caption(7, "Печатать"), this);
    printkey->setObjectName(QStringLiteral("printkey"));
    pdfkey = new QPushButton(QStringLiteral("В файл PDF…"), this);
    pdfkey->setObjectName(QStringLiteral("pdfkey"));
    cancelkey = new QPushButton(caption(8, "Закрыть"), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    if (env_.printerName.isEmpty()) {
        printkey->setEnabled(false);
        printkey->setToolTip(noPrinterText());
    } else {
        printkey->setToolTip(env_.printerName);
        printkey->setDefault(true);
    }

    minipage = new QLabel(this);
    minipage->setObjectName(QStringLiteral("minipage"));
    minipage->setFrameShape(QFrame::Box);
    minipage->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->addWidget(Frame1);
    column->addWidget(stretc);
    column->addWidget(bw);
    column->addSpacing(12);
    column->addWidget(printkey);
    column->addWidget(pdfkey);
    column->addWidget(cancelkey);
    column->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(minipage, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(column);

    // At the screen's top-left corner, 0.94 of its height; the preview as
    // high as the dialog allows, in the paper's proportions.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        const int height = int(avail.height() * 0.94);
        const int margins = layout->contentsMargins().top() + layout->contentsMargins().bottom();
        previewHeight_ = std::max(100, height - margins - 2);
        move(avail.topLeft());
    } else {
        previewHeight_ = 600;
    }
    minipage->setFixedSize(previewSize());

    connect(portrait, &QRadioButton::clicked, this,
            [this] { orientClicked(PageOrientation::Portrait); });
    connect(landscape, &QRadioButton::clicked, this,
            [this] { orientClicked(PageOrientation::Landscape); });
    connect(stretc, &QCheckBox::clicked, this, &PrintDialog::makepage);
    connect(bw, &QCheckBox::clicked, this, [this] { settings_.bw = bw->isChecked() ? 1 : 0; });
    connect(printkey, &QPushButton::clicked, this, &PrintDialog::printClicked);
    connect(pdfkey, &QPushButton::clicked, this, &PrintDialog::pdfClicked);
    connect(cancelkey, &QPushButton::clicked, this, &QDialog::reject);

    makepage();
}

QSize PrintDialog::previewSize() const {
    const QSizeF paper = env_.paper.size(QPageSize::Point);
    int w = previewHeight_, h = previewHeight_;
    if (paper.height() > 0) w = int(previewHeight_ * paper.width() / paper.height());
    if (orientation_ == PageOrientation::Landscape) std::swap(w, h);
    return QSize(std::max(w, 1), std::max(h, 1));
}

void PrintDialog::makepage() {
    const QSize portraitPage = pagePixels(env_.paper.size(QPageSize::Point), env_.dpiX, env_.dpiY);
    composition_ = composePageLayout(portraitPage, orientation_, margins_, stretc->isChecked(),
                                     picture_.deviceIndependentSize().toSize());
    page_ = composePage(picture_, composition_);
    if (page_.isNull()) {
        minipage->clear();
        return;
    }
    minipage->setPixmap(QPixmap::fromImage(
        page_.scaled(minipage->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void PrintDialog::orientClicked(PageOrientation o) {
    orientation_ = o;
    minipage->hide();
    minipage->setFixedSize(previewSize());
    makepage();
    minipage->show();
}

bool PrintDialog::printPage(QString* error) {
    if (env_.printerName.isEmpty()) {
        if (error) *error = noPrinterText();
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(env_.printerName);
    printer.setDocName(QStringLiteral("Urbica"));
    printer.setPageSize(env_.paper);
    printer.setColorMode(bw->isChecked() ? QPrinter::GrayScale : QPrinter::Color);
    printer.setPageOrientation(orientation_ == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
    printer.setFullPage(true);
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer)) {
        if (error) *error = QStringLiteral("принтер %1 не принимает задание").arg(env_.printerName);
        return false;
    }
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    PageTexts texts;
    const QImage page = pageAt(printer.resolution(), &texts);
    paintPrintedPage(painter, QRect(QPoint(0, 0), paper.size()), printer.resolution(),
                     bw->isChecked() ? grayPage(page) : page, footer_, &texts);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        if (error) *error = QStringLiteral("принтер %1 сообщил об ошибке").arg(env_.printerName);
        return false;
    }
    return true;
}

QImage PrintDialog::pageAt(double deviceDpi, PageTexts* texts) const {
    if (texts) texts->calls.clear();
    if (page_.isNull()) return page_;
    const double ratio =
        printRatio(deviceDpi, env_.dpiX, picture_.deviceIndependentSize().toSize());
    if (ratio <= 1) return page_;
    if (texts && env_.renderWithoutTexts) {
        const QImage bare = env_.renderWithoutTexts(ratio, &texts->calls);
        if (!bare.isNull()) {
            texts->layout = composition_;
            texts->gray = bw->isChecked();
            return composePage(bare, composition_);
        }
        texts->calls.clear();
    }
    if (!env_.renderAt) return page_;
    const QImage picture = env_.renderAt(ratio);
    if (picture.isNull()) return page_;
    return composePage(picture, composition_);
}

bool PrintDialog::savePdf(const QString& path, QString* error) {
    PageTexts texts;
    const QImage page = pageAt(kPdfResolution, &texts);
    return writePagePdf(page, env_.paper, orientation_, bw->isChecked(), footer_, path, error,
                        &texts);
}

void PrintDialog::tell(const QString& text) {
    if (env_.message)
        env_.message(text);
    else
        QMessageBox(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this).exec();
}

void PrintDialog::printClicked() {
    printkey->setEnabled(false);
    QCoreApplication::processEvents();
    QString error;
    if (!printPage(&error)) {
        tell(QStringLiteral("Страница не напечатана: %1.").arg(error));
        printkey->setEnabled(true);
        return;
    }
    accept();
}

void PrintDialog::pdfClicked() {
    QString path;
    if (env_.choosePdfFile) {
        path = env_.choosePdfFile();
    } else {
        path = QFileDialog::getSaveFileName(this, QStringLiteral("Страница в файл PDF"), QString(),
                                            QStringLiteral("Документ PDF (*.pdf);;Все файлы (*)"));
    }
    if (path.trimmed().isEmpty()) return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QLatin1String(".pdf");
    QString error;
    if (!savePdf(path, &error)) tell(QStringLiteral("Страница не записана: %1.").arg(error));
}

void printCommand(QWidget* parent, const QImage& picture, Settings& settings, const QString& footer,
                  PrintEnvironment env) {
    if (env.printerName.isEmpty()) {
        const QString text = noPrinterText();
        if (env.message)
            env.message(text);
        else
            QMessageBox(QMessageBox::NoIcon, QStringLiteral("Печать"), text, QMessageBox::Ok,
                        parent)
                .exec();
    }
    PrintDialog dialog(picture, settings, footer, std::move(env), parent);
    dialog.exec();
}

}  // namespace urbica
