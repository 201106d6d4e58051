// The dialog commands in the real window: bookmarks, the layer order and the
// interface settings from the menu, with the dialogs answered as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "../support/firstpicture.h"
#include "../support/windowhelpers.h"
#include "../view/navfixture.h"
#include "bookmarks/bookmarkdialogs.h"
#include "dataset/settings.h"
#include "dialogs/setinter.h"
#include "dialogs/sloirast.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"

using namespace urbica;

namespace {

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

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DialogCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(writeDataset(testcity::city(), dir_.path(), &error)) << error.toStdString();
        Settings s;
        s.dataDirectory = dir_.path() + QLatin1Char('/');
        s.aboutshow = 0;
        s.allwindow = allwindowAtStart_;
        QFile f(dir_.filePath(QStringLiteral("urbica.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
        f.close();
        state_.programDirectory = dir_.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages_);
        w_ = std::make_unique<MainWindow>(state_, o);
        w_->startUp();
        w_->show();
        waitForFirstPicture(state_, *w_);
        ASSERT_EQ(state_.history.historyPos, 1);
    }

    int16_t allwindowAtStart_ = 0;
    QTemporaryDir dir_;
    AppState state_;
    QStringList messages_;
    std::unique_ptr<MainWindow> w_;
};

}  // namespace

TEST_F(DialogCommands, BookmarkAddedAndShownAgain) {
    const float left = state_.view.viewLeft, width = state_.view.viewWidth;
    whenShown<InputStringDialog>([](InputStringDialog* d) {
        d->inptext->setText("Начало");
        d->okkey->click();
    });
    w_->menuCommand("addzakl");
    // The city's own file, beside the settings.
    EXPECT_EQ(
        bytes(cityBookmarkFilePath(dir_.path(), "bookmark", state_.settings.dataDirectory)).size(),
        72);

    state_.view.viewLeft += width / 4;
    state_.view.viewWidth = width / 2;
    w_->redrawView(true);
    const int pos = state_.history.historyPos;
    whenShown<BookmarkListDialog>([](BookmarkListDialog* d) {
        ASSERT_EQ(d->booklist->count(), 1);
        d->showkey->click();
    });
    w_->fragbarButtonClick("bookmark");
    EXPECT_FLOAT_EQ(state_.view.viewLeft, left);
    EXPECT_FLOAT_EQ(state_.view.viewWidth, width);
    EXPECT_EQ(state_.history.historyPos, pos + 1) << "showing a bookmark adds one entry";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(DialogCommands, InterfaceSettingsCancelKeepsAndStoreWritesAndLaysOut) {
    const QByteArray cfg = bytes(dir_.filePath("urbica.cfg"));
    whenShown<InterfaceSettingsDialog>([](InterfaceSettingsDialog* d) {
        d->allwindow->click();
        d->cancelkey->click();
    });
    w_->menuCommand("interf");
    EXPECT_EQ(state_.settings.allwindow, 0);
    EXPECT_EQ(bytes(dir_.filePath("urbica.cfg")), cfg) << "cancel writes nothing";
    EXPECT_TRUE(w_->nav->isVisible());

    whenShown<InterfaceSettingsDialog>([](InterfaceSettingsDialog* d) {
        d->allwindow->click();
        d->okkey->click();
    });
    w_->menuCommand("interf");
    EXPECT_EQ(state_.settings.allwindow, 1);
    EXPECT_FALSE(w_->nav->isVisible()) << "laid out at once";
    Settings read;
    ASSERT_TRUE(readSettings(read, dir_.path()));
    EXPECT_EQ(read.allwindow, 1);
}

class FullWindowAtStart : public DialogCommands {
protected:
    void SetUp() override {
        allwindowAtStart_ = 1;
        DialogCommands::SetUp();
    }
};

TEST_F(FullWindowAtStart, OverviewIsBuiltWhenTheOptionIsSwitchedOff) {
    ASSERT_FALSE(w_->nav->isVisible());
    whenShown<InterfaceSettingsDialog>([](InterfaceSettingsDialog* d) {
        d->allwindow->click();
        d->okkey->click();
    });
    w_->menuCommand("interf");
    ASSERT_EQ(state_.settings.allwindow, 0);
    EXPECT_TRUE(w_->nav->isVisible());
    EXPECT_GT(w_->boxes.nav.scaleWidth(), 0) << "the overview has its scale";
    const QImage nav = w_->boxes.nav.image();
    int drawn = 0;
    for (int y = 0; y < nav.height(); ++y)
        for (int x = 0; x < nav.width(); ++x)
            drawn += (nav.pixel(x, y) & 0xFFFFFF) == testcity::kAreaFill;
    EXPECT_GT(drawn, 0) << "the district is drawn in the overview";
}

TEST_F(DialogCommands, LayerOrderStoredWithoutAHistoryEntry) {
    const int pos = state_.history.historyPos;
    const QByteArray srt = bytes(dir_.filePath("urbica.srt"));
    whenShown<LayerOrderDialog>([](LayerOrderDialog* d) {
        ASSERT_GT(d->sloiList->count(), 1);
        d->risdnkey->click();
        d->closekey->click();
    });
    w_->menuCommand("sloiporiadok");
    EXPECT_NE(bytes(dir_.filePath("urbica.srt")), srt) << "the new order is stored";
    EXPECT_EQ(state_.history.historyPos, pos);
    EXPECT_EQ(state_.history.upperBound(), pos);
    EXPECT_TRUE(messages_.isEmpty());
}
