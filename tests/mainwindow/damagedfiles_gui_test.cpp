// Damaged data files met by the window's own lists and pictures: each is named
// once (a list's in a message, the picture's in the info line) while what can
// be read is shown.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "../support/firstpicture.h"
#include "../support/windowhelpers.h"
#include "../view/navfixture.h"
#include "dataset/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"

using namespace urbica;

namespace {

class DamagedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(city_.isValid() && program_.isValid());
        ASSERT_TRUE(writeDataset(testcity::city(), city_.path()));
        // The stations' layer file ends inside its second record; the park
        // names have a stray byte at their end.
        ASSERT_TRUE(QFile::resize(city_.filePath(QStringLiteral("points.zgs")), 50));
        QFile park(city_.filePath(QStringLiteral("park.cls")));
        ASSERT_TRUE(park.open(QIODevice::Append));
        park.write("x");
        park.close();
        Settings s;
        s.dataDirFromSettings = 1;
        s.dataDirectory = city_.path() + QLatin1Char('/');
        s.aboutshow = 0;
        s.asctoclose = 0;
        ASSERT_TRUE(writeSettings(s, program_.path()));
        state_.programDirectory = program_.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(said_);
        w_ = std::make_unique<MainWindow>(state_, o);
        w_->startUp();
        w_->show();
        waitForFirstPicture(state_, *w_);
        ASSERT_GE(state_.history.historyPos, 1);
        lookAtInfoLine();
    }

    // The picture's problems stand in the info line until the next picture.
    void lookAtInfoLine() { said_ << w_->selst->text(); }

    QStringList quickFind(const QString& text) { return quickFindEntries(*w_, text); }
    qsizetype timesSaid(const QString& file) const { return said_.join(u'\n').count(file); }

    QTemporaryDir city_, program_;
    AppState state_;
    QStringList said_;
    std::unique_ptr<MainWindow> w_;
};

}  // namespace

TEST_F(DamagedFiles, EachIsNamedOnceAndWhatCanBeReadIsShown) {
    for (int i = 0; i < 3; ++i) {
        state_.view.viewLeft = float(i * 100);
        w_->redrawView(true);
        lookAtInfoLine();
        const QStringList found = quickFind(QStringLiteral("Парк"));
        EXPECT_TRUE(found.join(u'\n').contains(QStringLiteral("Парк Победы")))
            << found.join(u'\n').toStdString();
    }
    // The areas are drawn, though the stations cannot be.
    const QImage picture = w_->boxes.hidepage.image();
    int areaPixels = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            areaPixels += (picture.pixel(x, y) & 0xFFFFFF) == testcity::kAreaFill;
    EXPECT_GT(areaPixels, 100);
    // A named object whose reference runs past the areas' file: named after its name.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(w_->showNamedObject(4, 1));
        lookAtInfoLine();
    }
    EXPECT_TRUE(said_.last().startsWith(QStringLiteral("Частично битый")))
        << said_.last().toStdString();
    for (const char* file : {"points.zgs", "park.cls", "areas.zgs"})
        EXPECT_EQ(timesSaid(QLatin1String(file)), 1)
            << file << ": " << said_.join(u'\n').toStdString();
}
