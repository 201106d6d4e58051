// The program as a user gets it from `cmake --install`: its files in place, a
// first start on the installed demo city, and the user's settings and
// bookmarks kept in the user's folders while the program's stay untouched.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "../support/firstpicture.h"
#include "../support/windowhelpers.h"
#include "bookmarks/bookmarkdialogs.h"
#include "dialogs/setinter.h"
#include "mainwindow/mainwindow.h"

using namespace urbica;

namespace {

// Every file under dir with its size and time, to see that nothing changed.
QStringList snapshot(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo& f = it.fileInfo();
        out << QStringLiteral("%1 %2 %3")
                   .arg(f.filePath())
                   .arg(f.size())
                   .arg(f.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

void setWritable(const QString& dir, bool writable) {
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList all{dir};
    while (it.hasNext()) all << it.next();
    for (const QString& p : all) {
        QFile::Permissions perm = QFile::permissions(p);
        const QFile::Permissions write =
            QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(
            p, writable ? perm | QFile::WriteOwner | QFile::WriteUser : perm & ~write);
    }
}

template <class Dialog, class F>
void whenShown(F f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) {
                f(d);
                return;
            }
        ADD_FAILURE() << "the dialog did not open";
    });
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix_.isValid() && home_.isValid());
        QProcess install;
        install.start(QStringLiteral(CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                       QStringLiteral("--prefix"), prefix_.path()});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        bin_ = prefix_.filePath(QStringLiteral("bin"));
        setWritable(prefix_.path(), false);
        // The user's folders as the program finds them from HOME alone.
        QCoreApplication::setApplicationName(QStringLiteral("Urbica"));
        qputenv("HOME", home_.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    void TearDown() override { setWritable(prefix_.path(), true); }

    // The installed viewer, started until its first picture is on screen.
    void runInstalledViewer() {
        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        viewer.setProcessEnvironment(env);
        viewer.start(QDir(bin_).filePath(QStringLiteral("urbica")),
                     {QStringLiteral("--startup-probe")});
        ASSERT_TRUE(viewer.waitForFinished(60000));
        EXPECT_EQ(viewer.exitCode(), 0) << viewer.readAllStandardError().toStdString();
        EXPECT_EQ(viewer.readAllStandardOutput(), QByteArray("first picture\n"));
    }

    // The window as the installed program makes it, in this process.
    std::unique_ptr<MainWindow> openWindow() {
        state_ = std::make_unique<AppState>();
        state_->programDirectory = bin_;
        state_->folders = locateProgramFolders(bin_);
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages_);
        auto w = std::make_unique<MainWindow>(*state_, o);
        w->startUp();
        w->show();
        waitForFirstPicture(*state_, *w, 5000);
        return w;
    }

    QTemporaryDir prefix_, home_;
    QString bin_;
    std::unique_ptr<AppState> state_;
    QStringList messages_;
};

}  // namespace

TEST_F(Installed, FilesInPlaceAndValid) {
    for (const char* tool :
         {"urbica", "urbica-import", "urbica-find", "urbica-democity", "urbica-render"})
        EXPECT_TRUE(QFileInfo(QDir(bin_).filePath(QLatin1String(tool))).isExecutable()) << tool;
    const QString share = prefix_.filePath(QStringLiteral("share"));
    for (const char* file :
         {"applications/urbica.desktop", "icons/hicolor/48x48/apps/urbica.png",
          "icons/hicolor/scalable/apps/urbica.svg", "metainfo/example.urbica.Urbica.metainfo.xml",
          "urbica/demo/urbica.dat", "urbica/reklama.txt", "urbica/arrowsbl.bmp",
          "urbica/arrowscl.bmp"})
        EXPECT_TRUE(QFileInfo::exists(QDir(share).filePath(QLatin1String(file)))) << file;

    const struct {
        const char* program;
        QStringList args;
    } checks[] = {
        {"desktop-file-validate", {QDir(share).filePath("applications/urbica.desktop")}},
        {"appstreamcli",
         {"validate", "--no-net",
          QDir(share).filePath("metainfo/example.urbica.Urbica.metainfo.xml")}},
    };
    for (const auto& c : checks) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(c.program));
        if (program.isEmpty()) {
            ADD_FAILURE() << c.program << " is not installed (scripts/deps.sh installs it)";
            continue;
        }
        QProcess p;
        p.start(program, c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << c.program << ": " << p.readAllStandardOutput().toStdString()
                                   << p.readAllStandardError().toStdString();
    }
}

TEST_F(Installed, FirstStartShowsTheDemoCityAndTheUserFilesAreKeptInTheUsersFolders) {
    const QStringList before = snapshot(prefix_.path());
    runInstalledViewer();

    {
        auto w = openWindow();
        ASSERT_EQ(state_->history.historyPos, 1) << "the installed demo city is drawn";
        EXPECT_EQ(QDir(state_->settings.dataDirectory).canonicalPath(),
                  QDir(prefix_.filePath("share/urbica/demo")).canonicalPath());
        EXPECT_FALSE(w->runState().adText.isEmpty()) << "the ticker text of the data folder";
        whenShown<InputStringDialog>([](InputStringDialog* d) {
            d->inptext->setText("Начало");
            d->okkey->click();
        });
        w->menuCommand("addzakl");
        whenShown<InterfaceSettingsDialog>([](InterfaceSettingsDialog* d) {
            d->allwindow->click();
            d->okkey->click();
        });
        w->menuCommand("interf");
        w->close();
    }
    const QString config = home_.filePath(".config/Urbica/urbica.cfg");
    // The demo city's own bookmark file.
    const QFileInfoList bookmarks = QDir(home_.filePath(".local/share/Urbica"))
                                        .entryInfoList({QStringLiteral("bookmark-*")}, QDir::Files);
    EXPECT_TRUE(QFileInfo::exists(config));
    ASSERT_EQ(bookmarks.size(), 1);
    EXPECT_EQ(bookmarks[0].size(), 72);

    runInstalledViewer();
    auto w = openWindow();
    EXPECT_EQ(state_->settings.allwindow, 1) << "the option kept";
    whenShown<BookmarkListDialog>([](BookmarkListDialog* d) {
        EXPECT_EQ(d->booklist->count(), 1) << "the bookmark kept";
        d->cancelkey->click();
    });
    w->fragbarButtonClick("bookmark");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(' ').toStdString();
    EXPECT_EQ(snapshot(prefix_.path()), before) << "nothing written into the program's folders";
}

TEST_F(Installed, UserFoldersThatCannotBeMadeAreToldOnceAndTheViewerRuns) {
    // A regular file where the folders would be: not even root can make them.
    QFile blocker(home_.filePath(".config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", home_.filePath(".config/share").toLocal8Bit());
    auto w = openWindow();
    EXPECT_EQ(state_->history.historyPos, 1) << "the demo city is drawn all the same";
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("не будут сохранены")));
    w->close();
    EXPECT_EQ(messages_.size(), 1) << "a failed save at the end is not told again";
}
