#include "mainwindow/mainwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <memory>
#include <optional>

#include "dataset/settings.h"
#include "dataset/writer.h"
#include "dialogs/about.h"
#include "mainwindow/help.h"
#include "mainwindow/widgets.h"
#include "view/geoextras.h"

using namespace urbica;

namespace {

bool waitUntil(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A program directory in a temporary folder, with a window whose messages,
// questions and opened addresses are recorded instead of shown.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        state_.programDirectory = dir_.path();
    }

    QString dataDirectory() const { return dir_.path() + QLatin1Char('/'); }

    void writeConfig(Settings s) {
        s.dataDirectory = dataDirectory();
        QFile f(dir_.filePath(QStringLiteral("urbica.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
    }

    QByteArray config() const {
        QFile f(dir_.filePath(QStringLiteral("urbica.cfg")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A dataset without layers whose start view lies at the extent's left edge.
    void writeCity(std::optional<GeoReference> geo = std::nullopt) {
        DatasetData d;
        d.geo = geo;
        d.catalogue.startX = 0;
        d.catalogue.startY = 3000;  // room above, so the redraw does not clamp the top
        d.catalogue.startWidth = 4000;
        d.catalogue.minUnitsPerPixel = 0.5f;
        d.catalogue.extentWidth = 10000;
        d.catalogue.extentHeight = 10000;
        d.catalogue.gridExtent = 10000;
        d.catalogue.overviewWidth = 10000;
        QString error;
        ASSERT_TRUE(writeDataset(d, dir_.path(), &error)) << error.toStdString();
    }

    MainWindow& window() {
        if (!window_) {
            MainWindowOptions o;
            o.showMessage = [this](const QString& text) {
                messages_ << text;
                splashDuringMessage_ = window_->splash() && window_->splash()->isVisible();
            };
            o.askYesNo = [this](const QString& text) {
                questions_ << text;
                return answer_;
            };
            o.openUrl = [this](const QUrl& url) { urls_ << url; };
            window_ = std::make_unique<MainWindow>(state_, o);
        }
        return *window_;
    }

    MainWindow& started() {
        window().startUp();
        return *window_;
    }

    MainWindow& shownAndLaidOut() {
        MainWindow& w = started();
        w.show();
        EXPECT_TRUE(waitUntil([&] { return !w.resizetimer->isActive() && layoutDone(w); }));
        return w;
    }

    static bool layoutDone(MainWindow& w) {
        return w.boxes.hidepage.width() == w.map->width() &&
               w.boxes.hidepage.height() == w.map->height();
    }

    QTemporaryDir dir_;
    AppState state_;
    std::unique_ptr<MainWindow> window_;
    QStringList messages_, questions_;
    QList<QUrl> urls_;
    bool answer_ = true;
    bool splashDuringMessage_ = false;
};

}  // namespace

TEST_F(WindowTest, StartsWithoutDatasetOrSettings) {
    MainWindow& w = started();
    EXPECT_EQ(w.runState().mainLoaded, -1);
    EXPECT_EQ(state_.catalogue.gridExtent, 0);
    EXPECT_FALSE(state_.view.busy);
    // The tables are missing too: one message, shown while the splash is up.
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], QStringLiteral("Нет данных"));
    EXPECT_TRUE(splashDuringMessage_);
    EXPECT_EQ(w.splash(), nullptr) << "the splash is gone after start-up";
    // Design size: a client area of 565 x 388 under the menu bar.
    EXPECT_EQ(w.width(), 565);
    EXPECT_EQ(w.height() - w.menuBar()->sizeHint().height(), 388);
    // Defaults: light grey map background.
    EXPECT_EQ(w.map->background(), QColor(0xE0, 0xE0, 0xE0));

    w.show();
    ASSERT_TRUE(waitUntil([&] { return layoutDone(w); }));
    EXPECT_EQ(w.map->width(), w.width() + 8 - 204 - 10);
    EXPECT_EQ(state_.history.historyPos, 0) << "no dataset, no picture";
    EXPECT_FALSE(w.fragbarButton(7)->isEnabled());
    EXPECT_FALSE(w.fragbarButton(8)->isEnabled());
}

TEST_F(WindowTest, NoSplashWhenSwitchedOff) {
    Settings s;
    s.aboutshow = 0;
    writeConfig(s);
    started();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_FALSE(splashDuringMessage_);
}

TEST_F(WindowTest, MapBoxTakesColourAndFontFromSettings) {
    Settings s;
    s.mapBackColor = 0x3020F0;  // red F0, green 20, blue 30
    s.labelFontSize = 15;
    s.labelFontBold = 1;
    writeConfig(s);
    MainWindow& w = started();
    EXPECT_EQ(w.map->background(), QColor(0xF0, 0x20, 0x30));
    EXPECT_DOUBLE_EQ(w.map->font().pointSizeF(), 15);
    EXPECT_TRUE(w.map->font().bold());
    EXPECT_EQ(colorFromRgbValue(14737632), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(colorFromRgbValue(255), QColor(255, 0, 0));
    EXPECT_EQ(colorFromRgbValue(0xFF0000), QColor(0, 0, 255));
}

TEST_F(WindowTest, TickerRotatesTheAdvertisingText) {
    QFile f(dir_.filePath(QStringLiteral("reklama.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("Такси,\"Кафе, бар\"\r\n").toUtf8());
    f.close();

    MainWindow& w = started();
    EXPECT_EQ(w.runState().adText, QStringLiteral("Такси Кафе, бар "));
    EXPECT_EQ(w.scrollTimer->interval(), 170);
    EXPECT_TRUE(w.scrollTimer->isActive());

    w.scrollTick();
    EXPECT_EQ(w.selst->text(), QStringLiteral("urbica.example/reklama <- акси Кафе, бар Т"));
    EXPECT_EQ(w.selst->palette().color(QPalette::Text), QColor(128, 0, 128));

    // While the line names a picked object the ticker leaves it alone.
    w.runState().tickerPaused = -1;
    w.selst->setText(QStringLiteral("Невский проспект"));
    w.scrollTick();
    EXPECT_EQ(w.selst->text(), QStringLiteral("Невский проспект"));
    w.runState().tickerPaused = 0;
    w.scrollTick();
    EXPECT_EQ(w.selst->text(), QStringLiteral("urbica.example/reklama <- кси Кафе, бар Та"));
}

TEST_F(WindowTest, EmptyTickerTextChangesNothing) {
    MainWindow& w = started();
    EXPECT_TRUE(w.runState().adText.isEmpty());
    w.selst->setText(QStringLiteral("x"));
    w.scrollTick();
    EXPECT_EQ(w.selst->text(), QStringLiteral("x"));
}

TEST_F(WindowTest, StartViewAtLeftEdgeZeroIsStillLaidOut) {
    writeCity();
    MainWindow& w = shownAndLaidOut();
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(state_.view.viewLeft, 0.0f);
    // The first layout pass records the start view as entry 1.
    ASSERT_EQ(state_.history.historyPos, 1);
    EXPECT_EQ(state_.history.entries[1].viewWidth, 4000.0f);
    EXPECT_FLOAT_EQ(state_.view.viewHeight,
                    4000.0f * float(w.map->height() - 4) / float(w.map->width() - 4));
    EXPECT_FALSE(w.fragbarButton(7)->isEnabled());
    EXPECT_FALSE(w.menuItem(QStringLiteral("stekdown"))->isEnabled());

    // A later size change is laid out too, although the view's left edge is 0;
    // several quick changes give a single pass.
    const float centre = state_.view.viewTop + state_.view.viewHeight / 2;
    w.resize(w.width() + 40, w.height() + 30);
    w.resize(w.width() + 10, w.height() + 20);
    w.resize(w.width() + 10, w.height() + 20);
    ASSERT_TRUE(waitUntil([&] { return state_.history.historyPos == 2; }));
    pump(50);
    EXPECT_EQ(state_.history.historyPos, 2);
    EXPECT_TRUE(layoutDone(w));
    EXPECT_NEAR(state_.view.viewTop + state_.view.viewHeight / 2, centre, 1e-2);
    EXPECT_EQ(state_.view.viewWidth, 4000.0f);
    EXPECT_TRUE(w.fragbarButton(7)->isEnabled());
    EXPECT_TRUE(w.menuItem(QStringLiteral("stekdown"))->isEnabled());
    EXPECT_FALSE(w.fragbarButton(8)->isEnabled());
}

TEST_F(WindowTest, NothingIsLaidOutBeforeStartUpHasFinished) {
    writeCity();
    MainWindow& w = window();
    w.show();
    w.resize(700, 500);
    pump(30);
    EXPECT_FALSE(w.resizetimer->isActive());
    w.runState().resizeCountdown = 1;
    w.layoutTick();
    EXPECT_EQ(state_.history.historyPos, 0);
    EXPECT_EQ(w.boxes.hidepage.width(), 0);

    // The window already on screen is laid out once start-up ends.
    w.startUp();
    ASSERT_TRUE(waitUntil([&] { return state_.history.historyPos == 1; }));
}

TEST_F(WindowTest, WindowIsNeverSmallerThan400By415) {
    MainWindow& w = shownAndLaidOut();
    w.resize(250, 200);
    ASSERT_TRUE(waitUntil([&] { return !w.resizetimer->isActive() && layoutDone(w); }));
    EXPECT_GE(w.frameGeometry().width(), 400);
    EXPECT_GE(w.frameGeometry().height(), 415);
    EXPECT_GT(w.map->width(), 4);
    EXPECT_GT(w.findList->height(), 0);
}

TEST_F(WindowTest, AllwindowHidesTheOverviewColumn) {
    Settings s;
    s.allwindow = 1;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    EXPECT_FALSE(w.nav->isVisible());
    EXPECT_FALSE(w.findname->isVisible());
    EXPECT_FALSE(w.findList->isVisible());
    EXPECT_FALSE(w.showkey->isVisible());
    EXPECT_FALSE(w.findkey->isVisible());
    EXPECT_EQ(w.map->width(), w.width() + 1);
    EXPECT_EQ(w.selst->width(), w.map->width() - 1);

    // Switched off during the run, the layout brings the column back at once.
    state_.settings.allwindow = 0;
    w.layoutNow();
    EXPECT_TRUE(w.nav->isVisible());
    EXPECT_EQ(w.nav->geometry().right() + 1, w.width());
    EXPECT_EQ(w.nav->size(), QSize(204, 204));
    EXPECT_EQ(w.nav->y(), w.selst->y());
    EXPECT_EQ(w.findname->y(), 204 + 4);
    EXPECT_EQ(w.showkey->geometry().bottom() + 3, w.map->geometry().bottom());
    EXPECT_EQ(w.showkey->geometry().bottom() + 1, w.centralWidget()->height());
    EXPECT_EQ(w.findkey->x(), w.showkey->geometry().right() + 1 + 10);
}

TEST_F(WindowTest, StoredRectangleIsAppliedAndWrittenBackAtClose) {
    Settings s;
    s.savesizecheck = 1;
    s.windowLeft = 1500;
    s.windowTop = 1500;
    s.windowWidth = 9000;
    s.windowHeight = 7500;
    s.asctoclose = 1;  // asked only when the user closes the window
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    EXPECT_EQ(w.frameGeometry(), QRect(100, 100, 600, 500));

    w.setGeometry(120, 140, 700, 520);
    pump(20);
    const QRect outer = w.frameGeometry();
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(questions_.isEmpty());

    Settings back;
    ASSERT_TRUE(readSettings(back, dir_.path()));
    EXPECT_EQ(back.savesizecheck, 1);
    EXPECT_DOUBLE_EQ(back.windowLeft, outer.x() * 15.0);
    EXPECT_DOUBLE_EQ(back.windowTop, outer.y() * 15.0);
    EXPECT_DOUBLE_EQ(back.windowWidth, outer.width() * 15.0);
    EXPECT_DOUBLE_EQ(back.windowHeight, outer.height() * 15.0);
    EXPECT_EQ(outer.size(), w.frameGeometry().size());
    EXPECT_NE(outer, QRect(100, 100, 600, 500))
        << "the rectangle at close is written, not the stored one";
}

TEST_F(WindowTest, RectangleOfALargerScreenIsBroughtOntoThisOne) {
    Settings s;
    s.savesizecheck = 1;
    s.windowLeft = 2500 * 15.0;
    s.windowTop = 1200 * 15.0;
    s.windowWidth = 1280 * 15.0;
    s.windowHeight = 800 * 15.0;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    const QRect screen = w.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w.frameGeometry()));
}

TEST_F(WindowTest, ImpossibleStoredRectangleIsIgnored) {
    Settings s;
    s.savesizecheck = 1;
    s.windowWidth = -9000;
    s.windowHeight = 0;
    writeConfig(s);
    MainWindow& w = started();
    EXPECT_EQ(w.width(), 565);
}

TEST_F(WindowTest, NothingWrittenAtCloseWithoutSavesizecheck) {
    MainWindow& w = shownAndLaidOut();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("urbica.cfg"))));
}

TEST_F(WindowTest, UnwritableSettingsDoNotStopTheEnd) {
    Settings s;
    s.savesizecheck = 1;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    ASSERT_TRUE(dir_.remove());
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    // The end is told why the settings were not kept, and goes on.
    ASSERT_FALSE(messages_.isEmpty());
    EXPECT_TRUE(messages_.back().startsWith(QStringLiteral("Настройки не записаны: ")))
        << messages_.back().toStdString();
    EXPECT_TRUE(messages_.back().contains(QStringLiteral("urbica.cfg")));
}

TEST_F(WindowTest, UserCloseAsksWhenConfigured) {
    Settings s;
    s.savesizecheck = 1;
    s.asctoclose = 1;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    const QByteArray before = config();

    answer_ = false;
    EXPECT_FALSE(w.closeRequested(true));
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_EQ(questions_[0], QStringLiteral("Вы действительно хотите завершить работу программы?"));
    EXPECT_EQ(config(), before) << "a declined close writes nothing";

    answer_ = true;
    w.move(w.x() + 7, w.y());
    pump(20);
    EXPECT_TRUE(w.closeRequested(true));
    EXPECT_EQ(questions_.size(), 2);
    EXPECT_NE(config(), before);
}

TEST_F(WindowTest, NoQuestionWhenNotConfigured) {
    MainWindow& w = shownAndLaidOut();
    EXPECT_TRUE(w.closeRequested(true));
    EXPECT_TRUE(questions_.isEmpty());
}

TEST_F(WindowTest, ExitCommandAsksOnceAndEnds) {
    Settings s;
    s.savesizecheck = 1;
    s.asctoclose = 1;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    const QByteArray before = config();

    answer_ = false;
    w.menuItem(QStringLiteral("toexit"))->trigger();
    EXPECT_EQ(questions_.size(), 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(config(), before);

    answer_ = true;
    w.move(w.x() + 3, w.y() + 3);
    pump(20);
    w.menuItem(QStringLiteral("toexit"))->trigger();
    EXPECT_EQ(questions_.size(), 2) << "the close that follows asks nothing more";
    EXPECT_FALSE(w.isVisible());
    EXPECT_NE(config(), before);
}

TEST_F(WindowTest, ToolbarButtonsInDesignOrder) {
    MainWindow& w = started();
    EXPECT_EQ(w.fragbar->objectName(), QStringLiteral("fragbar"));
    // The design's thirteen, then the ruler.
    const char* const keys[] = {"fragment", "foward",   "backward", "moved",    "tometro",
                                "tonew",    "downstek", "upstek",   "bookmark", "print",
                                "finddom",  "metro",    "unifind",  "ruler"};
    const char* const tips[] = {"Фрагмент",
                                "Ближе",
                                "Дальше",
                                "Сдвинуть",
                                "До метро",
                                "В начало",
                                "Назад",
                                "Вперед",
                                "Закладки",
                                "Печать",
                                "Поиск по адресу",
                                "Схема метро",
                                "Универсальный поиск",
                                "Линейка"};
    ASSERT_EQ(w.fragbarButtons().size(), 14);
    EXPECT_EQ(w.fragbar->actions().first(), w.fragbarButton(1));
    for (int i = 0; i < 14; ++i) {
        QAction* a = w.fragbarButton(i + 1);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->data().toString(), QLatin1String(keys[i]));
        EXPECT_EQ(a->objectName(), QLatin1String(keys[i]));
        EXPECT_EQ(a->toolTip(), QString::fromUtf8(tips[i]));
        EXPECT_FALSE(a->icon().isNull());
    }
    EXPECT_EQ(w.fragbarButton(0), nullptr);
    EXPECT_EQ(w.fragbarButton(15), nullptr);
}

TEST_F(WindowTest, MenuItemsWithShortcutsAndHelpPages) {
    MainWindow& w = started();
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {"stekdown", "Назад", "Alt+Backspace"},
        {"stekup", "Вперед", ""},
        {"printing", "Печатать", "Ctrl+P"},
        {"tofile", "Картинку в файл", "Ctrl+F"},
        {"fragtofile", "Часть картинки в файл", ""},
        {"toexit", "Выход", ""},
        {"fragment", "Фрагмент", ""},
        {"fowmap", "Ближе", ""},
        {"backmap", "Дальше", ""},
        {"msdvig", "Сдвинуть", "Ctrl+V"},
        {"tosubway", "До метро", "Ctrl+M"},
        {"tonew", "В начало", "Ctrl+N"},
        {"finddom", "По адресу", ""},
        {"megasearch", "Универсальный", ""},
        {"searchmetroshem", "Схема метро", ""},
        {"sloiporiadok", "Слои", ""},
        {"interf", "Интерфейс", ""},
        {"addzakl", "Добавить закладку", ""},
        {"showzakl", "Показать закладки", ""},
        {"aboutprog", "О программе", ""},
        {"showhelp", "Помощь", ""},
    };
    for (const Item& i : items) {
        QAction* a = w.menuItem(QLatin1String(i.name));
        ASSERT_NE(a, nullptr) << i.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(i.caption)) << i.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QLatin1String(i.shortcut))) << i.name;
        const int topic = a->property("helpTopic").toInt();
        if (topic != 0) {
            EXPECT_TRUE(hasHelpTopic(topic)) << i.name << " " << topic;
        }
    }
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({QStringLiteral("Карта"), QStringLiteral("Масштаб"),
                                  QStringLiteral("Поиск"), QStringLiteral("Настройка"),
                                  QStringLiteral("Инструменты"), QStringLiteral("Справка")}));
    EXPECT_TRUE(hasHelpTopic(
        w.menuBar()->findChild<QMenu*>(QStringLiteral("msloi"))->property("helpTopic").toInt()));
}

TEST_F(WindowTest, HelpOpensAtTopic10) {
    MainWindow& w = shownAndLaidOut();
    w.menuItem(QStringLiteral("showhelp"))->trigger();
    ASSERT_NE(w.helpViewer(), nullptr);
    EXPECT_TRUE(w.helpViewer()->isVisible());
    EXPECT_EQ(w.helpViewer()->topic(), 10);
    EXPECT_TRUE(w.helpViewer()->pageText().contains(QStringLiteral("общие сведения")));

    w.showHelp(150);
    EXPECT_EQ(w.helpViewer()->topic(), 150);
    EXPECT_TRUE(w.helpViewer()->pageText().contains(QStringLiteral("Назад")));
    w.showHelp(9999);
    EXPECT_EQ(w.helpViewer()->topic(), 10);
}

TEST_F(WindowTest, F1OpensTheTopicOfTheHighlightedMenuItem) {
    MainWindow& w = shownAndLaidOut();
    QAction* f1 = nullptr;
    for (QAction* a : w.actions())
        if (a->shortcut() == QKeySequence(Qt::Key_F1)) f1 = a;
    ASSERT_NE(f1, nullptr);
    f1->trigger();
    ASSERT_NE(w.helpViewer(), nullptr);
    EXPECT_EQ(w.helpViewer()->topic(), 10);

    auto* karta = w.menuBar()->findChild<QMenu*>(QStringLiteral("karta"));
    ASSERT_NE(karta, nullptr);
    karta->popup(QPoint(0, 0));
    karta->setActiveAction(w.menuItem(QStringLiteral("printing")));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(karta, &key);
    EXPECT_EQ(w.helpViewer()->topic(), 230);

    // A menu item without a topic of its own gives its menu's topic.
    auto* settings = w.menuBar()->findChild<QMenu*>(QStringLiteral("msloi"));
    settings->popup(QPoint(0, 0));
    settings->setActiveAction(nullptr);
    QApplication::sendEvent(settings, &key);
    EXPECT_EQ(w.helpViewer()->topic(), 170);
}

TEST_F(WindowTest, UnbuiltCommandsAndUnknownKeysDoNothing) {
    Settings s;
    s.asctoclose = 1;
    writeConfig(s);
    MainWindow& w = shownAndLaidOut();
    answer_ = false;
    // Keys not in the table, and unbuilt commands, do nothing. The buttons
    // whose dialogs exist open them; each is closed as soon as it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    closer.start(5);
    w.fragbarButtonClick(QStringLiteral("nosuchkey"));
    w.fragbarButtonClick(QStringLiteral("fragmen"));
    for (int i = 1; i <= 13; ++i) w.fragbarButton(i)->trigger();
    EXPECT_TRUE(questions_.isEmpty());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(WindowTest, InfoLineClickOpensTheAdvertiser) {
    MainWindow& w = shownAndLaidOut();
    EXPECT_EQ(w.selst->toolTip(),
              QStringLiteral("Нажмите сюда для получения более подробной информации"));
    EXPECT_EQ(w.selst->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(w.selst->isReadOnly());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w.selst->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.selst, &press);
    ASSERT_EQ(urls_.size(), 1);
    EXPECT_EQ(urls_[0], QUrl(QStringLiteral("https://urbica.example/reklama")));
}

TEST(AboutBox, SplashAndInformationWindow) {
    AboutDialog splash(0, nullptr, false);
    EXPECT_EQ(splash.objectName(), QStringLiteral("About"));
    auto* ok = splash.findChild<QPushButton*>(QStringLiteral("okkey"));
    auto* wait = splash.findChild<QLabel*>(QStringLiteral("WaitMsg"));
    auto* version = splash.findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_TRUE(ok && wait && version);
    EXPECT_FALSE(ok->isVisibleTo(&splash));
    EXPECT_TRUE(wait->isVisibleTo(&splash));
    EXPECT_EQ(wait->text(), QStringLiteral("Идёт загрузка основных данных, пожалуйста подождите."));
    EXPECT_EQ(version->text(), QStringLiteral("Версия 1.00"));

    AboutDialog info(-1, nullptr, false);
    EXPECT_TRUE(info.findChild<QPushButton*>(QStringLiteral("okkey"))->isVisibleTo(&info));
    EXPECT_EQ(info.findChild<QPushButton*>(QStringLiteral("okkey"))->text(), QStringLiteral("Ok"));
    EXPECT_FALSE(info.findChild<QLabel*>(QStringLiteral("WaitMsg"))->isVisibleTo(&info));

    EXPECT_EQ(versionText(2, 0), QStringLiteral("Версия 2.00"));
    EXPECT_EQ(versionText(3, 12), QStringLiteral("Версия 3.012"));
}

TEST(HelpPages, EveryMenuTopicHasAPage) {
    for (int topic : {10, 20, 30, 40, 60, 80, 90, 100, 150, 160, 170, 230, 260, 430}) {
        EXPECT_TRUE(hasHelpTopic(topic)) << topic;
        if (topic != kGeneralHelpTopic) {
            EXPECT_NE(helpTopicHtml(topic), helpTopicHtml(kGeneralHelpTopic)) << topic;
        }
    }
    EXPECT_EQ(helpTopicHtml(12345), helpTopicHtml(10));

    // The general page links every other page.
    QList<int> linked;
    const QRegularExpression link(QStringLiteral("href=\"topic:(\\d+)\""));
    for (auto it = link.globalMatch(helpTopicHtml(10)); it.hasNext();)
        linked << it.next().captured(1).toInt();
    QList<int> others = helpTopics();
    others.removeAll(kGeneralHelpTopic);
    std::sort(linked.begin(), linked.end());
    EXPECT_EQ(linked, others);
}

TEST_F(WindowTest, LatitudeAndLongitudeUnderThePointerWhenTheMapKnowsThem) {
    writeCity();
    EXPECT_FALSE(started().coordst->isVisible());
    window_.reset();

    GeoReference geo;
    geo.lon0 = 30.3;
    geo.lat0 = 59.9;
    geo.margin = 500;
    writeCity(geo);
    MainWindow& w = shownAndLaidOut();
    EXPECT_TRUE(w.coordst->isVisible());
    const QPointF at(w.map->width() / 2.0, w.map->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, w.map->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w.map, &move);
    const QPointF p = w.map->toMapUnits(at);
    EXPECT_EQ(w.coordst->text(), coordinateText(geo, p.x(), p.y()));
    EXPECT_TRUE(w.coordst->text().contains(QStringLiteral("59.")));
    // It ends the info line, never covering the map or the line's text.
    EXPECT_FALSE(w.map->geometry().intersects(w.coordst->geometry()));
    EXPECT_FALSE(w.selst->geometry().intersects(w.coordst->geometry()));
    EXPECT_EQ(w.coordst->geometry().right(), w.map->geometry().right() - 1);
}
