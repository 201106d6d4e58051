// Printing for real: a CUPS scheduler with a PDF queue takes the page, and
// the PDF that the queue writes must hold the map. The scheduler is started
// and the queue set up when they are missing; where CUPS cannot run, the
// test says so and skips.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "dialogs/printform.h"

using namespace urbica;

namespace {

const char kQueue[] = "UrbicaPDF";

int run(const QString& program, const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool schedulerRunning() {
    QString out;
    return run("lpstat", {"-r"}, &out) == 0 && out.contains("scheduler is running");
}

// Starts the scheduler and sets up the PDF queue; an empty result means ready.
QString prepareCups() {
    for (const char* tool : {"cupsd", "lpadmin", "lpstat", "pdftoppm"})
        if (QStandardPaths::findExecutable(tool, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"})
                .isEmpty() &&
            QStandardPaths::findExecutable(tool).isEmpty())
            return QString("%1 is not installed").arg(tool);
    if (!QFileInfo::exists("/usr/lib/cups/backend/cups-pdf"))
        return "the cups-pdf backend is not installed";
    if (!schedulerRunning()) {
        const QString cupsd = QFileInfo::exists("/usr/sbin/cupsd") ? "/usr/sbin/cupsd" : "cupsd";
        if (run(cupsd, {}) != 0) return "cupsd did not start";
        QElapsedTimer t;
        t.start();
        while (!schedulerRunning() && t.elapsed() < 15000) QThread::msleep(200);
        if (!schedulerRunning()) return "the CUPS scheduler is not running";
    }
    if (run("lpstat", {"-p", kQueue}) != 0) {
        QString out;
        if (run("lpadmin",
                {"-p", kQueue, "-E", "-v", "cups-pdf:/", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"},
                &out) != 0)
            return "the PDF queue could not be set up: " + out;
    }
    run("cupsenable", {kQueue});
    run("cupsaccept", {kQueue});
    return QString();
}

// The newest PDF the queue wrote since `since`, waiting up to a minute.
QString waitForPdf(const QDateTime& since) {
    const QStringList dirs = {QDir::homePath() + "/PDF", "/var/spool/cups-pdf/ANONYMOUS",
                              "/root/PDF"};
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000) {
        for (const QString& d : dirs) {
            const QFileInfoList files = QDir(d).entryInfoList({"*.pdf"}, QDir::Files, QDir::Time);
            if (!files.isEmpty() && files.first().lastModified() >= since &&
                files.first().size() > 0) {
                QThread::msleep(500);  // let the writer finish
                return files.first().absoluteFilePath();
            }
        }
        QThread::msleep(300);
    }
    return QString();
}

}  // namespace

TEST(PrintEndToEnd, ThePdfQueueReceivesTheMap) {
    const QString why = prepareCups();
    if (!why.isEmpty()) GTEST_SKIP() << "CUPS cannot print here: " << why.toStdString();
    // The queue is the default printer of this process.
    qputenv("PRINTER", kQueue);
    qputenv("LPDEST", kQueue);

    // The map: red on the left, blue on the right.
    QImage map(400, 300, QImage::Format_RGB32);
    map.fill(Qt::red);
    for (int y = 0; y < 300; ++y)
        for (int x = 200; x < 400; ++x) map.setPixel(x, y, qRgb(0, 0, 255));

    Settings settings;
    PrintEnvironment env = PrintEnvironment::system();
    ASSERT_EQ(env.printerName, kQueue) << "the default printer is the PDF queue";
    env.dpiX = env.dpiY = 96;
    PrintDialog d(map, settings, "Urbica — проверка печати", env);
    d.stretc->click();  // the map from margin to margin

    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    QString error;
    ASSERT_TRUE(d.printPage(&error)) << error.toStdString();
    const QString pdf = waitForPdf(since);
    ASSERT_FALSE(pdf.isEmpty()) << "the queue wrote no PDF";

    QTemporaryDir dir;
    ASSERT_EQ(run("pdftoppm", {"-r", "24", "-png", "-singlefile", pdf, dir.filePath("page")}), 0);
    const QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_LT(page.width(), page.height()) << "portrait";
    // The stretched map spans the page's width below the top margin: red in
    // its left half, blue in its right half.
    const int y = page.height() * 150 / 1122;
    const QColor left = page.pixelColor(page.width() / 4, y);
    const QColor right = page.pixelColor(page.width() * 3 / 4, y);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 80);
    EXPECT_GT(right.blue(), 200);
    EXPECT_LT(right.red(), 80);
    // Below the map the paper is white.
    const QColor below = page.pixelColor(page.width() / 2, page.height() * 1000 / 1122);
    EXPECT_GT(below.red(), 240);
    EXPECT_GT(below.blue(), 240);
}
