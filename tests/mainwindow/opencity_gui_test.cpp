// Opening another city and importing one from OpenStreetMap in the real
// window: the menu commands with the file choices answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "../app/datasetcheck.h"
#include "../support/firstpicture.h"
#include "../support/windowhelpers.h"
#include "../view/navfixture.h"
#include "dataset/names.h"
#include "dataset/settings.h"
#include "democity.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/recentcities.h"
#include "mainwindow/searchcommands.h"
#include "search/searchdom.h"

using namespace urbica;

namespace {

// The demo city with its district renamed and another start view.
DatasetData secondCity() {
    DatasetData d = testcity::city();
    d.classNames[1][0].name = "Заречный";
    d.catalogue.startX = 2000;
    return d;
}

// The data folder as the settings hold it, and as the recent list keeps it.
QString cityDirectory(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
}
QString recentEntry(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}
QStringList readRecentCities(const QString& programDirectory) {
    return RecentCities::read(programDirectory).folders();
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// An extract large enough to be read for a while: a grid of buildings.
void writeLargeExtract(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6'>\n");
    constexpr int kSide = 400;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            f.write(QStringLiteral("<node id='%1' version='1' lat='%2' lon='%3'/>\n")
                        .arg(i * kSide + j + 1)
                        .arg(59.9 + i * 0.0001, 0, 'f', 7)
                        .arg(30.3 + j * 0.0001, 0, 'f', 7)
                        .toUtf8());
    int way = 1;
    for (int i = 0; i + 1 < kSide; i += 2)
        for (int j = 0; j + 1 < kSide; j += 2) {
            const int a = i * kSide + j + 1, b = a + 1, c = a + kSide + 1, d = a + kSide;
            f.write(QStringLiteral("<way id='%1' version='1'><nd ref='%2'/><nd ref='%3'/>"
                                   "<nd ref='%4'/><nd ref='%5'/><nd ref='%2'/>"
                                   "<tag k='building' v='yes'/></way>\n")
                        .arg(way++)
                        .arg(a)
                        .arg(b)
                        .arg(c)
                        .arg(d)
                        .toUtf8());
        }
    f.write("</osm>\n");
}

class OpenCity : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(first_.isValid() && second_.isValid() && program_.isValid());
        QString error;
        ASSERT_TRUE(writeDataset(testcity::city(), first_.path(), &error)) << error.toStdString();
        ASSERT_TRUE(writeDataset(secondCity(), second_.path(), &error)) << error.toStdString();
        Settings s;
        s.dataDirFromSettings = 1;
        s.dataDirectory = first_.path() + QLatin1Char('/');
        s.aboutshow = 0;
        s.asctoclose = 0;
        QFile f(QDir(program_.path()).filePath(QStringLiteral("urbica.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
        f.close();
        state_.programDirectory = program_.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages_);
        o.chooseCityFolder = [this] { return chosenFolder_; };
        o.chooseOsmFile = [this] {
            targetAsks_ = 0;
            return chosenOsm_;
        };
        // The folders given in turn; then chosenTarget_ once, and after a
        // refusal the user gives up (cancels the folder choice).
        o.chooseImportFolder = [this] {
            if (!nextTargets_.isEmpty()) return nextTargets_.takeFirst();
            return ++targetAsks_ == 1 ? chosenTarget_ : QString();
        };
        w_ = std::make_unique<MainWindow>(state_, o);
        w_->startUp();
        w_->show();
        settle();
        ASSERT_EQ(state_.history.historyPos, 1);
        ASSERT_TRUE(messages_.isEmpty()) << messages_.join(u'\n').toStdString();
    }

    void settle() { waitForFirstPicture(state_, *w_); }

    QStringList quickFind(const QString& text) { return quickFindEntries(*w_, text); }

    // Watches the import's progress dialog; act is called on each look.
    void watchProgress(const std::function<void(QProgressDialog&)>& act) {
        auto* timer = new QTimer(w_.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [this, act] {
            auto* d = w_->findChild<QProgressDialog*>(QStringLiteral("importprogress"));
            if (!d || !d->isVisible()) return;
            if (labels_.isEmpty() || labels_.last() != d->labelText()) labels_ << d->labelText();
            act(*d);
        });
        timer->start();
    }

    QString dataDir() const { return state_.settings.dataDirectory; }
    void showRecentMenu() {
        Q_EMIT w_->menuBar()->findChild<QMenu*>(QStringLiteral("karta"))->aboutToShow();
    }

    QTemporaryDir first_, second_, program_, work_;
    QString chosenFolder_, chosenOsm_, chosenTarget_;
    QStringList nextTargets_;
    int targetAsks_ = 0;
    AppState state_;
    QStringList messages_, labels_;
    std::unique_ptr<MainWindow> w_;
};

}  // namespace

TEST_F(OpenCity, SecondCityReplacesTheFirstAndIsSearched) {
    state_.marksList.add({1, 1});
    w_->redrawView(true);
    ASSERT_EQ(state_.history.historyPos, 2);
    ASSERT_EQ(quickFind(QStringLiteral("Центральный")).size(), 1);
    preloadHouseSearch(
        *w_, [](const QString&) {}, [](int, int32_t) {});
    ASSERT_NE(w_->findChild<QDialog*>(QStringLiteral("searchdom")), nullptr);

    chosenFolder_ = second_.path();
    w_->menuCommand(QStringLiteral("opencity"));
    settle();
    ASSERT_TRUE(messages_.isEmpty()) << messages_.join(u'\n').toStdString();
    EXPECT_EQ(dataDir(), cityDirectory(second_.path()));
    EXPECT_EQ(state_.settings.dataDirFromSettings, 1);
    EXPECT_EQ(state_.catalogue.startX, 2000);
    EXPECT_EQ(state_.history.historyPos, 1) << "the history starts anew";
    EXPECT_EQ(state_.marksList.upperBound(), 0);
    EXPECT_EQ(w_->findChild<QDialog*>(QStringLiteral("searchdom")), nullptr)
        << "the house search of the old streets is gone";
    EXPECT_TRUE(quickFind(QStringLiteral("Центральный")).isEmpty());
    EXPECT_EQ(quickFind(QStringLiteral("Заречный")).size(), 1);

    // The cities opened are in the menu, the newest first, and open from there.
    chosenFolder_ = first_.path();
    w_->menuCommand(QStringLiteral("opencity"));
    chosenFolder_ = second_.path();
    w_->menuCommand(QStringLiteral("opencity"));
    showRecentMenu();
    ASSERT_NE(w_->menuItem(QStringLiteral("recentcity2")), nullptr);
    EXPECT_TRUE(w_->menuItem(QStringLiteral("recentcity1"))->toolTip().contains(second_.path()));
    w_->menuItem(QStringLiteral("recentcity2"))->trigger();
    settle();
    EXPECT_EQ(dataDir(), cityDirectory(first_.path()));
    EXPECT_EQ(quickFind(QStringLiteral("Центральный")).size(), 1);
}

// A city whose projection and other names are damaged opens with one message
// naming both files; its searches go on with the shown names.
TEST_F(OpenCity, DamagedProjectionAndOtherNamesAreNamedInOneMessage) {
    for (const char* file : {"urbica.snm", "urbica.geo"}) {
        QFile f(QDir(second_.path()).filePath(QLatin1String(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("junk\n");
    }
    chosenFolder_ = second_.path();
    w_->menuCommand(QStringLiteral("opencity"));
    settle();
    EXPECT_EQ(dataDir(), cityDirectory(second_.path()));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("urbica.snm"))) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("urbica.geo"))) << messages_[0].toStdString();
    EXPECT_FALSE(state_.geo.has_value());
    EXPECT_EQ(quickFind(QStringLiteral("Заречный")).size(), 1);
    EXPECT_EQ(messages_.size(), 1) << "named once";
}

TEST_F(OpenCity, RecentCitiesKeepTheLastFiveAndSurviveADamagedFile) {
    std::vector<std::unique_ptr<QTemporaryDir>> cities;
    for (int i = 0; i < 6; ++i) {
        cities.push_back(std::make_unique<QTemporaryDir>());
        ASSERT_TRUE(writeDataset(testcity::city(), cities.back()->path()));
        ASSERT_TRUE(w_->openCity(cities.back()->path()));
    }
    ASSERT_TRUE(w_->openCity(cities[2]->path()));  // opened again: moves to the top
    const QStringList kept = readRecentCities(program_.path());
    const QStringList expected = {recentEntry(cities[2]->path()), recentEntry(cities[5]->path()),
                                  recentEntry(cities[4]->path()), recentEntry(cities[3]->path()),
                                  recentEntry(cities[1]->path())};
    EXPECT_EQ(kept, expected);
    showRecentMenu();
    for (int i = 0; i < 5; ++i) {
        QAction* a = w_->menuItem(QStringLiteral("recentcity%1").arg(i + 1));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->toolTip(), expected[i]);
    }
    EXPECT_EQ(w_->menuItem(QStringLiteral("recentcity6")), nullptr);

    // Bytes that are no UTF-8 text are no list.
    QFile f(QDir(program_.path()).filePath(QString::fromLatin1(kRecentCitiesFile)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xff\xfe\x00garbage\n", 11));
    f.close();
    EXPECT_TRUE(readRecentCities(program_.path()).isEmpty());
    EXPECT_TRUE(readRecentCities(work_.path()).isEmpty()) << "no file";
}

TEST_F(OpenCity, FolderWithoutADatasetIsRefusedAndTheCityStays) {
    const QString before = dataDir();
    w_->redrawView(true);
    const int historyPos = state_.history.historyPos;
    QDir work(work_.path());
    work.mkdir(QStringLiteral("empty"));
    work.mkdir(QStringLiteral("damaged"));
    ASSERT_TRUE(writeDataset(testcity::city(), work.filePath(QStringLiteral("damaged"))));
    QFile cat(work.filePath(QStringLiteral("damaged/urbica.dat")));
    ASSERT_TRUE(cat.resize(100));
    struct Case {
        QString folder, says;
    } cases[] = {{work.filePath(QStringLiteral("empty")), QStringLiteral("urbica.dat")},
                 {work.filePath(QStringLiteral("damaged")), QStringLiteral("поврежд")},
                 {work.filePath(QStringLiteral("nowhere")), QStringLiteral("не найдена")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        messages_.clear();
        chosenFolder_ = c.folder;
        w_->menuCommand(QStringLiteral("opencity"));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(c.says)) << messages_[0].toStdString();
        EXPECT_EQ(dataDir(), before);
        EXPECT_EQ(state_.history.historyPos, historyPos);
        EXPECT_EQ(quickFind(QStringLiteral("Центральный")).size(), 1);
    }
    EXPECT_EQ(readRecentCities(program_.path()), QStringList{recentEntry(first_.path())})
        << "only the city opened at start-up";
}

TEST_F(OpenCity, ExcerptIsImportedWithItsProgressAndOpened) {
    chosenOsm_ = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");
    chosenTarget_ = QDir(work_.path()).filePath(QStringLiteral("spb"));
    watchProgress([](QProgressDialog&) {});
    w_->menuCommand(QStringLiteral("importosm"));
    settle();
    EXPECT_FALSE(labels_.isEmpty()) << "the progress dialog was shown";
    for (const QString& l : labels_) EXPECT_FALSE(l.isEmpty());
    EXPECT_EQ(dataDir(), cityDirectory(chosenTarget_));
    EXPECT_GT(state_.catalogue.gridExtent, 0);
    EXPECT_EQ(state_.history.historyPos, 1);
    ASSERT_EQ(messages_.size(), 1);
    for (const char* line :
         {"слои (объектов карты)", "адреса, найденные поиском дома", "станции метро (", "Здания"})
        EXPECT_TRUE(messages_[0].contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(entries(work_.path()), QStringList{QStringLiteral("spb")}) << "nothing left beside";
    EXPECT_EQ(readRecentCities(program_.path()).value(0), recentEntry(chosenTarget_));
}

TEST_F(OpenCity, BadImportInputLeavesTheCityOpenAndNothingWritten) {
    const QString before = dataDir();
    QDir work(work_.path());
    QFile notOsm(work.filePath(QStringLiteral("text.osm")));
    ASSERT_TRUE(notOsm.open(QIODevice::WriteOnly));
    notOsm.write("this is no OpenStreetMap data\n");
    notOsm.close();
    work.mkdir(QStringLiteral("full"));
    QFile other(work.filePath(QStringLiteral("full/other.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    const QString excerpt = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");
    struct Case {
        QString osm, target, says;
    } cases[] = {
        {notOsm.fileName(), work.filePath(QStringLiteral("new")), QStringLiteral("OpenStreetMap")},
        {excerpt, work.filePath(QStringLiteral("full")), QStringLiteral("не пуста")},
        {excerpt, notOsm.fileName(), QStringLiteral("не папка")},
        {excerpt, QStringLiteral("/proc/urbica-city"), QStringLiteral("ельзя писать")}};
    const QStringList present = entries(work.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        messages_.clear();
        chosenOsm_ = c.osm;
        chosenTarget_ = c.target;
        w_->menuCommand(QStringLiteral("importosm"));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_TRUE(messages_[0].contains(c.says)) << messages_[0].toStdString();
        EXPECT_EQ(dataDir(), before);
        EXPECT_EQ(entries(work.path()), present);
        EXPECT_EQ(entries(work.filePath(QStringLiteral("full"))),
                  QStringList{QStringLiteral("other.txt")});
    }
}

TEST_F(OpenCity, RefusedFolderIsAskedAgainAndATypedNewOneIsMadeOrRemoved) {
    QDir work(work_.path());
    work.mkdir(QStringLiteral("full"));
    QFile other(work.filePath(QStringLiteral("full/other.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    // A failed import takes the folder it made with it.
    QFile notOsm(work.filePath(QStringLiteral("text.osm")));
    ASSERT_TRUE(notOsm.open(QIODevice::WriteOnly));
    notOsm.write("this is no OpenStreetMap data\n");
    notOsm.close();
    chosenOsm_ = notOsm.fileName();
    chosenTarget_ = work.filePath(QStringLiteral("typed"));
    w_->menuCommand(QStringLiteral("importosm"));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(chosenTarget_));

    // "Не пуста": said, and the folder asked for again; a new name typed then is made.
    messages_.clear();
    state_.settings.labelsApart = 0;
    chosenOsm_ = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");
    nextTargets_ = {work.filePath(QStringLiteral("full")), work.filePath(QStringLiteral("spb"))};
    w_->menuCommand(QStringLiteral("importosm"));
    settle();
    ASSERT_EQ(messages_.size(), 2) << messages_.join(u'\n').toStdString();
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("не пуста")));
    EXPECT_TRUE(messages_[1].contains(QStringLiteral("© участники OpenStreetMap")))
        << "the summary names the data's licence";
    EXPECT_TRUE(messages_[1].contains(QStringLiteral("https://www.openstreetmap.org/copyright")));
    EXPECT_EQ(dataDir(), cityDirectory(work.filePath(QStringLiteral("spb"))));
    EXPECT_EQ(state_.settings.labelsApart, 1) << "turned on for the imported city";
    ASSERT_TRUE(state_.source.has_value());

    // Set by the user, the option stays as he set it.
    state_.settings.labelsApart = 0;
    state_.settings.labelsApartChosen = 1;
    messages_.clear();
    nextTargets_ = {work.filePath(QStringLiteral("spb2"))};
    w_->menuCommand(QStringLiteral("importosm"));
    settle();
    EXPECT_EQ(dataDir(), cityDirectory(work.filePath(QStringLiteral("spb2"))));
    EXPECT_EQ(state_.settings.labelsApart, 0);
}

// The sanitizers slow every phase of the import two to three times.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kLongestProgressGapMs = 1500;
#else
constexpr qint64 kLongestProgressGapMs = 500;
#endif

TEST_F(OpenCity, ImportCancelledHalfWayLeavesNothing) {
    const QString before = dataDir();
    const QString osm = QDir(program_.path()).filePath(QStringLiteral("large.osm"));
    writeLargeExtract(osm);
    chosenOsm_ = osm;
    chosenTarget_ = QDir(work_.path()).filePath(QStringLiteral("large"));
    bool clicked = false;
    // While the file is read, what the dialog shows changes at least every half second.
    QElapsedTimer sinceChange;
    QString shown;
    qint64 longestGap = 0;
    watchProgress([&](QProgressDialog& d) {
        const QString now = d.labelText() + QString::number(d.value());
        if (!sinceChange.isValid() || now != shown) {
            if (sinceChange.isValid()) longestGap = std::max(longestGap, sinceChange.elapsed());
            sinceChange.start();
            shown = now;
        }
        // Half way through the file's second reading.
        if (clicked || d.value() < 50 || !d.labelText().contains(QStringLiteral("точки и линии")))
            return;
        auto* button = d.findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        clicked = true;
        button->click();
    });
    w_->menuCommand(QStringLiteral("importosm"));
    EXPECT_TRUE(clicked);
    EXPECT_LT(longestGap, kLongestProgressGapMs);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("отменён"))) << messages_[0].toStdString();
    EXPECT_EQ(dataDir(), before);
    EXPECT_TRUE(entries(work_.path()).isEmpty()) << entries(work_.path()).join(u' ').toStdString();
    // The window takes commands again.
    chosenFolder_ = second_.path();
    w_->menuCommand(QStringLiteral("opencity"));
    EXPECT_EQ(dataDir(), cityDirectory(second_.path()));
}

// The window's import and the tool's into one folder at once: the two writes
// take turns, and the folder holds the one written last, whole, with nothing
// beside it. The window may also find the folder taken already and refuse it.
TEST_F(OpenCity, WindowAndToolImportingIntoOneFolderTakeTurns) {
    // In memory where there is one: every write is synced to the disk.
    const QString scratch = QDir(QStringLiteral("/dev/shm")).exists()
                                ? QStringLiteral("/dev/shm/urbica-turns-XXXXXX")
                                : QDir::temp().filePath(QStringLiteral("urbica-turns-XXXXXX"));
    QTemporaryDir refs(scratch), work(scratch);
    const QString window = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");
    const QString tool = QStringLiteral(OSM_TEST_DATA "/minsk-two-languages.osm");
    auto runTool = [&](const QString& out) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(IMPORT_EXE), {tool, QStringLiteral("--out"), out});
        return p;
    };
    const auto fromTool = [&] {
        auto p = runTool(refs.filePath(QStringLiteral("tool")));
        EXPECT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
        return urbica::testing::folder(refs.filePath(QStringLiteral("tool")));
    }();
    chosenOsm_ = window;
    chosenTarget_ = refs.filePath(QStringLiteral("window"));
    w_->menuCommand(QStringLiteral("importosm"));
    const auto fromWindow = urbica::testing::folder(chosenTarget_);
    ASSERT_NE(fromTool, fromWindow);

    chosenTarget_ = work.filePath(QStringLiteral("city"));
    int meetings = 0;
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        messages_.clear();
        auto p = runTool(chosenTarget_);
        w_->menuCommand(QStringLiteral("importosm"));
        // The window's loop may have seen it finish already.
        ASSERT_TRUE(p->state() == QProcess::NotRunning || p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        ASSERT_EQ(messages_.size(), 1);
        const auto now = urbica::testing::folder(chosenTarget_);
        ASSERT_TRUE(now == fromTool || now == fromWindow);
        if (!messages_[0].contains(QStringLiteral("не пуста"))) {
            EXPECT_TRUE(messages_[0].contains(QStringLiteral("записан")))
                << messages_[0].toStdString();
            EXPECT_EQ(dataDir(), cityDirectory(chosenTarget_));
            ++meetings;
        }
        urbica::testing::opensAndDraws(chosenTarget_);
        EXPECT_EQ(entries(work.path()), QStringList{QStringLiteral("city")});
        ASSERT_TRUE(QDir(chosenTarget_).removeRecursively());
    }
    EXPECT_GT(meetings, 0);
}

TEST_F(OpenCity, FolderGivenAtStartUpIsOpenedUnlessItHoldsNoDataset) {
    QDir(work_.path()).mkdir(QStringLiteral("empty"));
    struct Case {
        QString folder, expected;
        int messages;
    } cases[] = {{second_.path(), cityDirectory(second_.path()), 0},
                 {QDir(work_.path()).filePath(QStringLiteral("empty")),
                  first_.path() + QLatin1Char('/'), 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        AppState state;
        state.programDirectory = program_.path();
        QStringList said;
        MainWindowOptions o;
        o.showMessage = [&said](const QString& t) { said << t; };
        MainWindow window(state, o);
        window.setStartCity(c.folder);
        window.startUp();
        EXPECT_EQ(state.settings.dataDirectory, c.expected);
        EXPECT_GT(state.catalogue.gridExtent, 0);
        EXPECT_EQ(said.size(), c.messages);
    }
}
