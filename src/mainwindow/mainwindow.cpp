#include "mainwindow/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "dataset/names.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dialogs/about.h"
#include "mainwindow/advertising.h"
#include "mainwindow/dialogcommands.h"
#include "mainwindow/help.h"
#include "mainwindow/layout.h"
#include "mainwindow/searchcommands.h"
#include "mainwindow/toolbaricons.h"
#include "mainwindow/widgets.h"
#include "view/geoextras.h"
#include "view/locate.h"
#include "view/navigation.h"
#include "view/redraw.h"

namespace urbica {

namespace {

constexpr int kScrollInterval = 170;      // ms
constexpr int kResizeInterval = 1;        // ms
constexpr int kCityCheckInterval = 1000;  // ms between looks at the open city's folder

}  // namespace

QColor colorFromRgbValue(int32_t value) {
    const uint32_t v = uint32_t(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

QString MainWindow::closeQuestion() {
    return urbica::message(QStringLiteral("urbica"), 19,
                           QStringLiteral("Вы действительно хотите завершить работу программы?"));
}

MainWindow::MainWindow(AppState& state, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), state_(state), options_(std::move(options)) {
    setObjectName(QStringLiteral("urbica1"));
    setWindowTitle(titleFor(QString()));
    createToolbar();
    createMenus();
    createControls();

    scrollTimer = new QTimer(this);
    scrollTimer->setObjectName(QStringLiteral("scrollTimer"));
    scrollTimer->setInterval(kScrollInterval);
    connect(scrollTimer, &QTimer::timeout, this, &MainWindow::scrollTick);
    scrollTimer->start();

    resizetimer = new QTimer(this);
    resizetimer->setObjectName(QStringLiteral("resizetimer"));
    resizetimer->setInterval(kResizeInterval);
    connect(resizetimer, &QTimer::timeout, this, &MainWindow::layoutTick);

    // The open city's folder is looked at now and then: an import may write
    // another dataset in its place.
    cityCheckTimer_ = new QTimer(this);
    cityCheckTimer_->setObjectName(QStringLiteral("citychecktimer"));
    cityCheckTimer_->setInterval(kCityCheckInterval);
    connect(cityCheckTimer_, &QTimer::timeout, this, &MainWindow::checkCityOnDisk);
    cityCheckTimer_->start();

    hooks_ = viewHooks();
    attachQuickFind(
        *this, [this](const QString& text) { message(text); },
        [this](int c, int32_t n) { showNamedObject(c, n); });
    // The map's and the overview's events, and the input that arrives while
    // a redraw runs (dropped), pass through eventFilter.
    qApp->installEventFilter(this);

    auto* helpKey = new QAction(this);
    helpKey->setShortcut(QKeySequence(Qt::Key_F1));
    helpKey->setShortcutContext(Qt::WindowShortcut);
    connect(helpKey, &QAction::triggered, this, [this] { showHelp(kGeneralHelpTopic); });
    addAction(helpKey);

    // Ctrl++ and Ctrl+- zoom about the view's centre wherever the focus is
    // (Ctrl+= too, the plus key without Shift); "+" and "-" alone do on the map.
    const auto zoomKeys = [this](const QList<QKeySequence>& keys, int steps) {
        auto* a = new QAction(this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this,
                [this, steps] { viewCommand([steps](NavContext& c) { keyZoom(c, steps); }); });
        addAction(a);
    };
    zoomKeys(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
        1);
    zoomKeys(
        {QKeySequence(Qt::CTRL | Qt::Key_Minus),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
        -1);
}

MainWindow::~MainWindow() {
    if (splash_) delete splash_.data();
}

void MainWindow::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    setCentralWidget(central_);

    selst = new InfoLine(central_);
    // Latitude and longitude under the pointer, at the right end of the info
    // line, for maps that know where they lie.
    coordst = new QLabel(central_);
    coordst->setObjectName(QStringLiteral("coordst"));
    coordst->setToolTip(QStringLiteral("Широта и долгота (WGS 84) под указателем"));
    coordst->setTextInteractionFlags(Qt::TextSelectableByMouse);
    coordst->setAlignment(Qt::AlignCenter);
    coordst->hide();
    selst->setObjectName(QStringLiteral("selst"));
    selst->setToolTip(QStringLiteral("Нажмите сюда для получения более подробной информации"));
    connect(selst, &InfoLine::clicked, this, [this] {
        showAdvertisedObject();
        openUrl(QUrl(QLatin1String(kAdvertiserUrl)));
    });

    map = new PictureWidget(central_);
    map->setObjectName(QStringLiteral("map"));
    map->setFocusPolicy(Qt::ClickFocus);
    map->setMouseTracking(true);

    nav = new PictureWidget(central_);
    nav->setObjectName(QStringLiteral("nav"));
    nav->setBackground(Qt::white);
    nav->setFocusPolicy(Qt::ClickFocus);
    nav->setMouseTracking(true);

    findname = new QLineEdit(central_);
    findname->setObjectName(QStringLiteral("findname"));
    findname->setPlaceholderText(QStringLiteral("Название объекта"));
    findList = new QListWidget(central_);
    findList->setObjectName(QStringLiteral("findList"));
    showkey = new QPushButton(QStringLiteral("Показать"), central_);
    showkey->setObjectName(QStringLiteral("showkey"));
    findkey = new QPushButton(QStringLiteral("Найти"), central_);
    findkey->setObjectName(QStringLiteral("findkey"));

    // Design positions until the first layout pass.
    const int selstHeight = selst->sizeHint().height();
    selst->setGeometry(0, 0, kDesignClientWidth - kNavSize - 11, selstHeight);
    map->setGeometry(0, selstHeight, kDesignClientWidth - kNavSize - 10, 300);
    nav->setGeometry(kDesignClientWidth - kNavSize - 8, 0, kNavSize, kNavSize);

    boxes.map.resize(map->width(), map->height());
    boxes.nav.resize(kNavSize, kNavSize);
    boxes.tempnav.resize(kNavSize, kNavSize);
    boxes.images.resize(36, 36);
    map->setBox(&boxes.map);
    nav->setBox(&boxes.nav);
    nav->setFrame(&boxes.navfrag, Qt::red, 2);
    nav->addFrame(&navState.nfrag, Qt::red, 1);
    map->setFrame(&navState.frag, Qt::red, 1);
    map->setRuler(&ruler_);

    sidesplit = new SideSplitter(central_);
    sidesplit->setObjectName(QStringLiteral("sidesplit"));
    sidesplit->hide();  // placed by the layout pass
    connect(sidesplit, &SideSplitter::moved, this, [this](int dx) {
        // The handle follows the pointer; the panel takes its width on release.
        const int width = sidePanelWidthAfterDrag(dx);
        sidesplit->move(nav->x() + nav->width() - width - kSideSplitterReach, sidesplit->y());
        sidesplit->update();
    });
    connect(sidesplit, &SideSplitter::released, this, [this](int dx) {
        const int width = sidePanelWidthAfterDrag(dx);
        state_.settings.sidePanelWidth = int16_t(width == kNavSize ? 0 : width);
        layoutNow();
    });
}

int MainWindow::sidePanelWidthAfterDrag(int dx) const {
    const int outer = width() + kLayoutFrameWidth;
    return sidePanelWidthFor(nav->width() - dx, outer);
}

ViewHooks MainWindow::viewHooks() {
    ViewHooks h;
    // Input is let in too, only to be dropped by eventFilter while busy:
    // held back, it would be replayed once the picture is done.
    h.pumpEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    h.setBusyCursor = [this](bool busy) {
        if (busy)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
    };
    h.clearPick = [this] { navState.pick.found = 0; };
    h.hideFragment = [this] {
        navState.frag.visible = false;
        map->update();
    };
    h.resetPointerMode = [this] {
        navState.pointerMode = kModeNormal;
        navState.persistentPicture = true;
        map->setBox(&boxes.map);
    };
    // An emptied info line gives the ticker its place back.
    h.clearInfoLine = [this] {
        selst->clear();
        run_.tickerPaused = 0;
    };
    h.showObjectName = [this](const QString& text) {
        run_.tickerPaused = 1;
        selst->setTextColor(QColor::fromRgb(kObjectNameColour));
        selst->setText(text);
        selst->setCursorPosition(0);
    };
    h.setHistoryButtons = [this](bool, bool) { updateHistoryButtons(); };
    h.boxChanged = [this](PictureBox& box) {
        if (&box == &boxes.map) map->update();
        if (&box == &boxes.nav) nav->update();
    };
    return h;
}

void MainWindow::startUp() {
    // The advertising text first: a missing file leaves it empty.
    run_.adText = readAdvertising(state_.programFileFolder(kAdvertisingFile));
    run_.printFooter =
        QStringLiteral(
            "Urbica %1.0%2 — электронная карта города. Команда Urbica, https://urbica.example/, "
            "info@urbica.example")
            .arg(AboutDialog::majorVersion())
            .arg(AboutDialog::minorVersion());
    state_.marksList.clear();
    run_.mainLoaded = 0;

    if (!state_.folders.userFoldersWritable)
        message(QStringLiteral("Папки пользователя %1 и %2 недоступны для записи: настройки и "
                               "закладки не будут сохранены.")
                    .arg(QDir::toNativeSeparators(state_.folders.settings),
                         QDir::toNativeSeparators(state_.folders.bookmarks)));
    Settings& s = state_.settings;
    const bool settingsRead = readSettings(s, state_.settingsFolder(), state_.defaultDataFolder());
    if (!startCity_.isEmpty()) {
        // A folder named on the command line is opened as from the menu.
        Catalogue catalogue;
        Tables tables;
        Settings trial;
        const QString problem = cityProblem(startCity_, catalogue, tables, trial);
        if (problem.isEmpty()) {
            s.dataDirectory = trial.dataDirectory;
            s.dataDirFromSettings = 1;
            rememberCity(s.dataDirectory);
        } else {
            message(problem + QStringLiteral(" Открывается карта из настроек."));
        }
    }
    if (settingsRead && s.savesizecheck == 1)
        applyStoredRect();
    else
        resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());

    if (s.aboutshow == 1) {
        splash_ = new AboutDialog(run_.mainLoaded, this, false);
        splash_->setModal(false);
        splash_->setCursor(Qt::WaitCursor);
        splash_->show();
    }
    QCoreApplication::processEvents();

    streetsAhead_ = s.aboutshow == 1;
    loadCity();
    // The city the settings open is one of the cities used, the demo city too.
    if (state_.catalogue.gridExtent != 0) rememberCity(s.dataDirectory);
    run_.mainLoaded = -1;

    if (s.aboutshow == 1) {
        // The house search does its loading while the splash is still up.
        preloadHouseSearch(
            *this, [this](const QString& text) { message(text); },
            [this](int c, int32_t n) { showNamedObject(c, n); });
    }
    streetsAhead_ = false;
    takeStartStreets();  // not taken: dropped
    if (splash_) {
        splash_->close();
        delete splash_.data();
    }
    // A window already on screen will not get the first resize event any
    // more: start its layout here.
    if (isVisible()) {
        run_.resizeCountdown = kResizeTicks;
        resizetimer->start();
    }
}

void MainWindow::buildOverview() {
    setPictureRatio(boxes, devicePixelRatioF());
    boxes.nav.resize(nav->width(), nav->height());
    urbica::buildOverview(state_, boxes, viewHooks());
    nav->update();
}

void MainWindow::redrawView(bool record) {
    if (redrawing_) return;  // never entered twice
    redrawing_ = true;
    urbica::redrawView(state_, boxes, hooks_, record);
    redrawing_ = false;
    syncNavigation();
    showDatasetProblems();
    Q_EMIT viewRedrawn();
}

NavContext MainWindow::navContext() {
    return NavContext{state_, boxes, hooks_, navState, [this](const FrameShape& frag) {
                          exportMapPart(*this, frag, [this](const QString& t) { message(t); });
                      }};
}

QString MainWindow::notAvailableText() {
    return QStringLiteral("Команда будет доступна в следующей версии.");
}

void MainWindow::viewCommand(const std::function<void(NavContext&)>& command) {
    if (state_.view.busy || redrawing_) return;
    redrawing_ = true;
    NavContext c = navContext();
    command(c);
    redrawing_ = false;
    syncNavigation();
    showDatasetProblems();
}

bool MainWindow::showNamedObject(int classNumber, int32_t record) {
    bool shown = false;
    viewCommand([&](NavContext& c) {
        shown = urbica::showNamedObject(c.s, c.boxes, c.hooks, classNumber, record);
    });
    return shown;
}

bool MainWindow::showMapObject(int layer, int32_t object) {
    bool shown = false;
    viewCommand([&](NavContext& c) {
        shown = urbica::showMapObject(c.s, c.boxes, c.hooks, layer, object);
    });
    return shown;
}

void MainWindow::showAdvertisedObject() { showNamedObject(kAdvertisedClass, kAdvertisedRecord); }

void MainWindow::scrollTick() {
    if (run_.tickerPaused != 0 || run_.adText.isEmpty()) return;
    rotateTicker(run_.adText);
    selst->setTextColor(QColor(128, 0, 128));
    selst->setText(tickerLine(run_.adText));
    selst->setCursorPosition(0);
}

bool MainWindow::closeRequested(bool fromUser) {
    if (fromUser && state_.settings.asctoclose == 1 && !ask(closeQuestion())) return false;
    finishRun();
    return true;
}

void MainWindow::exitCommand() {
    if (state_.settings.asctoclose == 1 && !ask(closeQuestion())) return;
    finishRun();
    exiting_ = true;
    close();
    QCoreApplication::quit();
}

void MainWindow::finishRun() {
    if (finished_) return;
    finished_ = true;
    if (help_) help_->close();
    if (state_.settings.savesizecheck == 1) {
        storeWindowRect();
        // A settings file that cannot be written does not keep the program
        // from ending. The user is told, unless the folders were found
        // unwritable at start-up and said so then.
        QString error;
        if (!writeSettings(state_.settings, state_.settingsFolder(), &error)) {
            qWarning("urbica: settings not saved: %s", qPrintable(error));
            if (state_.folders.userFoldersWritable)
                message(QStringLiteral("Настройки не записаны: %1.").arg(error));
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (property(kImportRunningProperty).toBool()) {
        e->ignore();
        return;
    }
    if (exiting_ || closeRequested(e->spontaneous())) {
        e->accept();
        return;
    }
    e->ignore();
}

void MainWindow::showHelp(int topic) {
    if (!help_) help_ = new HelpViewer(this);
    help_->showTopic(topic);
}

void MainWindow::showAbout() {
    AboutDialog about(run_.mainLoaded, this, true);
    if (state_.source)
        about.setDataSource(state_.source->notice, state_.source->licence, state_.source->url);
    about.exec();
}

void MainWindow::openUrl(const QUrl& url) {
    if (options_.openUrl)
        options_.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void MainWindow::message(const QString& text) {
    if (options_.showMessage) {
        options_.showMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::showDatasetProblems() {
    const QStringList problems = state_.problems.take();
    if (problems.isEmpty()) return;
    const QString text = problems.join(QStringLiteral("; "));
    if (options_.showProblems) {
        options_.showProblems(text);
        return;
    }
    // Said in the info line, not in a box, since it comes while the user pans;
    // a name shown there stays in front.
    const QString shown = run_.tickerPaused != 0 && !selst->text().isEmpty()
                              ? selst->text() + QStringLiteral(" — ") + text
                              : text;
    run_.tickerPaused = 1;
    selst->setTextColor(QColor(192, 0, 0));
    selst->setText(shown);
    selst->setCursorPosition(0);
}

bool MainWindow::ask(const QString& text) {
    if (options_.askYesNo) return options_.askYesNo(text);
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace urbica
