// Printing for real: a CUPS scheduler of the test's own, with its
// configuration, spool, socket and output folder under a temporary folder,
// takes the page on a PDF queue, and the PDF it writes must hold the map.
// The machine's scheduler and printers are not touched; where CUPS cannot
// run, the test says so and skips.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

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

QString tool(const char* name) {
    const QString found =
        QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
    return found.isEmpty() ? QStandardPaths::findExecutable(name) : found;
}

bool writeText(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

// The backend of the queue: it copies the document (the PDF the program
// sends to a raw queue) to the file its device address names.
const char kBackend[] = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'file pdfout "Unknown" "PDF file"'; exit 0; fi
out="${DEVICE_URI#pdfout:}"
if [ $# -ge 6 ]; then cat "$6" > "$out.part"; else cat > "$out.part"; fi
mv "$out.part" "$out"
)";

// A scheduler of our own, stopped (and its folder removed) when this ends.
class PrivateCups {
public:
    ~PrivateCups() {
        if (cupsd_.state() != QProcess::NotRunning) {
            cupsd_.terminate();
            if (!cupsd_.waitForFinished(10000)) {
                cupsd_.kill();
                cupsd_.waitForFinished();
            }
        }
    }

    // Empty when the scheduler runs and the queue takes jobs; else why not.
    QString start() {
        for (const char* t : {"cupsd", "lpadmin", "lpstat", "pdftoppm"})
            if (tool(t).isEmpty()) return QString("%1 is not installed").arg(t);
        if (!dir_.isValid()) return "no temporary folder";
        const QString root = dir_.path();
        socket_ = root + "/cups.sock";
        for (const char* d :
             {"etc/ppd", "spool/tmp", "cache", "state", "log", "out", "bin/backend"})
            if (!QDir().mkpath(root + "/" + d)) return "the folders could not be made";
        // The system's filters and helpers, with our backend beside them.
        for (const char* d : {"filter", "daemon", "cgi-bin", "monitor", "notifier", "driver"})
            if (QFileInfo::exists(QString("/usr/lib/cups/") + d))
                QFile::link(QString("/usr/lib/cups/") + d, root + "/bin/" + d);
        const QString backend = root + "/bin/backend/pdfout";
        if (!writeText(backend, kBackend) ||
            !QFile::setPermissions(
                backend, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            return "the backend could not be written";
        const QString conf = QString(R"(Listen %1
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
DefaultPolicy open
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy open>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
)")
                                 .arg(socket_);
        const QString files = QString(R"(ServerRoot %1/etc
RequestRoot %1/spool
TempDir %1/spool/tmp
CacheDir %1/cache
StateDir %1/state
ErrorLog %1/log/error_log
AccessLog %1/log/access_log
PageLog %1/log/page_log
Printcap %1/printcap
ServerBin %1/bin
DataDir /usr/share/cups
SystemGroup root
)")
                                  .arg(root);
        if (!writeText(root + "/cupsd.conf", conf) || !writeText(root + "/cups-files.conf", files))
            return "the configuration could not be written";
        cupsd_.setWorkingDirectory(root);
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(tool("cupsd"),
                     {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
        if (!cupsd_.waitForStarted(10000)) return "cupsd did not start";
        QElapsedTimer t;
        t.start();
        while (!running() && t.elapsed() < 15000 && cupsd_.state() == QProcess::Running)
            QThread::msleep(200);
        if (!running())
            return "the scheduler did not come up: " +
                   QString::fromLocal8Bit(cupsd_.readAll()).trimmed();
        QString out;
        if (run(tool("lpadmin"),
                {"-h", socket_, "-p", kQueue, "-E", "-v", "pdfout:" + outputFile(), "-m", "raw"},
                &out) != 0)
            return "the PDF queue could not be set up: " + out;
        return QString();
    }

    const QString& socket() const { return socket_; }
    QString outputFile() const { return dir_.path() + "/out/page.pdf"; }

    // The PDF the queue wrote, waiting up to a minute.
    QString waitForPdf() const {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000) {
            if (QFileInfo(outputFile()).size() > 0) return outputFile();
            QThread::msleep(300);
        }
        return QString();
    }

private:
    bool running() const {
        QString out;
        return run(tool("lpstat"), {"-h", socket_, "-r"}, &out) == 0 &&
               out.contains("scheduler is running");
    }

    QTemporaryDir dir_;
    QString socket_;
    QProcess cupsd_;
};

}  // namespace

TEST(PrintEndToEnd, ThePdfQueueReceivesTheMap) {
    PrivateCups cups;
    const QString why = cups.start();
    if (!why.isEmpty()) GTEST_SKIP() << "CUPS cannot print here: " << why.toStdString();
    // This process talks to our scheduler only, and its queue is the default printer.
    qputenv("CUPS_SERVER", cups.socket().toLocal8Bit());
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

    QString error;
    ASSERT_TRUE(d.printPage(&error)) << error.toStdString();
    const QString pdf = cups.waitForPdf();
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
