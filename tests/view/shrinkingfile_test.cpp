// A layer file cut and put back in place, again and again, while the map is
// drawn (another program rewriting it, a copy over it): a redraw then gives a
// partial picture at worst, never a signal, and the first one after the file
// is back draws it as before. Both with the file cache and without, and the
// same for urbica-render, run 200 times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <random>
#include <thread>

#include "democity.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

// Cuts the file to nothing, one byte or half and writes it back, in place, in
// a loop on a thread of its own until it is dropped; the file is whole after.
class Cutter {
public:
    explicit Cutter(const QString& path) : path_(QFile::encodeName(path)) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        whole_ = f.readAll();
        thread_ = std::thread([this] { run(); });
    }
    ~Cutter() {
        stop_ = true;
        thread_.join();
    }
    int cuts() const { return cuts_; }

private:
    void run() {
        std::mt19937 rng(7);
        const int fd = ::open(path_.constData(), O_WRONLY);
        if (fd < 0) return;
        while (!stop_) {
            const off_t sizes[] = {0, 1, off_t(whole_.size() / 2)};
            if (::ftruncate(fd, sizes[rng() % 3]) != 0) break;
            ++cuts_;
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 2000));
            if (::pwrite(fd, whole_.constData(), size_t(whole_.size()), 0) != whole_.size()) break;
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 1000));
        }
        ::close(fd);
    }

    QByteArray path_, whole_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> cuts_{0};
};

class ShrinkingFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        QString error;
        ASSERT_TRUE(writeDataset(democity::buildCity({}), dir_->path(), &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    // The largest file of the layers: the one most read while a picture is drawn.
    static QString largestLayerFile(const QStringList& patterns = {QStringLiteral("*.xy4"),
                                                                   QStringLiteral("*.zgs"),
                                                                   QStringLiteral("*.sr?")}) {
        QString best;
        qint64 size = -1;
        for (const QFileInfo& f : QDir(dir_->path()).entryInfoList(patterns, QDir::Files))
            if (f.size() > size) {
                size = f.size();
                best = f.absoluteFilePath();
            }
        return best;
    }

    void SetUp() override {
        s.settings.dataDirectory = dir_->path() + "/";
        ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
        readIconTable(s.settings.dataDirectory, s.tables);
        for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
            b->resize(300, 240);
        boxes.map.backColor = s.settings.mapBackColor;
        boxes.nav.resize(204, 204);
        s.settings.allwindow = 1;
    }

    // A view near enough for the houses, the largest layer, to be drawn.
    static QStringList view() {
        return {QStringLiteral("5000"), QStringLiteral("5500"), QStringLiteral("800")};
    }

    QImage draw() {
        s.view.viewLeft = view()[0].toFloat();
        s.view.viewTop = view()[1].toFloat();
        s.view.viewWidth = view()[2].toFloat();
        redrawView(s, boxes, hooks, false);
        return boxes.map.image().copy();
    }

    static QTemporaryDir* dir_;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;
};

QTemporaryDir* ShrinkingFile::dir_ = nullptr;

TEST_F(ShrinkingFile, RedrawsWhileALayerFileIsCutAndPutBack) {
    const QString file = largestLayerFile();
    ASSERT_GT(QFileInfo(file).size(), 4 * 4096) << "large enough to be cut under a mapping";
    for (const bool cached : {true, false}) {
        SCOPED_TRACE(cached ? "with the file cache" : "without");
        s.files.setEnabled(cached);
        const QImage before = draw();
        {
            const Cutter cutter(file);
            for (int i = 0; i < 150; ++i) draw();
            EXPECT_GT(cutter.cuts(), 10);
        }
        EXPECT_EQ(draw(), before) << "the file back whole draws as before";
    }
}

TEST_F(ShrinkingFile, RenderToolRunsWhileALayerFileIsCutAndPutBack) {
    const QString file = largestLayerFile();
    const QString out = dir_->filePath(QStringLiteral("view.png"));
    const Cutter cutter(file);
    for (int i = 0; i < 200; ++i) {
        QProcess p;
        p.start(QStringLiteral(RENDER_EXE),
                QStringList{QStringLiteral("--data"), dir_->path(), QStringLiteral("--view")} +
                    view() +
                    QStringList{QStringLiteral("--size"), QStringLiteral("300x240"),
                                QStringLiteral("--out"), out});
        ASSERT_TRUE(p.waitForFinished(30000)) << i;
        ASSERT_EQ(p.exitStatus(), QProcess::NormalExit)
            << "run " << i << " died: " << p.readAllStandardError().toStdString();
    }
}

// A layer file that is not a whole number of records is named, with status
// 2; the picture is made of what can be read.
TEST_F(ShrinkingFile, RenderToolNamesADamagedLayerFile) {
    const QString file = largestLayerFile({QStringLiteral("*.zgs")});
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    ASSERT_TRUE(f.resize(whole.size() - 3));
    QProcess p;
    p.start(QStringLiteral(RENDER_EXE),
            {QStringLiteral("--data"), dir_->path(), QStringLiteral("--size"),
             QStringLiteral("300x240"), QStringLiteral("--out"),
             dir_->filePath(QStringLiteral("view.png"))});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(whole);
    f.close();
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(errors.count(QFileInfo(file).fileName()), 1) << errors.toStdString();
    EXPECT_TRUE(QFile::exists(dir_->filePath(QStringLiteral("view.png"))));
}

}  // namespace
