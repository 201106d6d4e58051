#include "mainwindow/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
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

// The layout arithmetic counts with a window frame of 4 pixels on each side;
// the window's outer width is taken as its client width plus this, whatever
// frame the desktop draws, so the controls meet the window's right edge.
constexpr int kLayoutFrameWidth = 8;

constexpr int kScrollInterval = 170;  // ms
constexpr int kResizeInterval = 1;    // ms
constexpr int kResizeTicks = 3;

struct ToolbarButtonDef {
    const char* key;
    const char* tooltip;
    const char* command;  // the menu item it stands for
};

const ToolbarButtonDef kToolbarButtons[] = {
    {"fragment", "Фрагмент", "fragment"},
    {"foward", "Ближе", "fowmap"},
    {"backward", "Дальше", "backmap"},
    {"moved", "Сдвинуть", "msdvig"},
    {"tometro", "До метро", "tosubway"},
    {"tonew", "В начало", "tonew"},
    {"downstek", "Назад", "stekdown"},
    {"upstek", "Вперед", "stekup"},
    {"bookmark", "Закладки", "showzakl"},
    {"print", "Печать", "printing"},
    {"finddom", "Поиск по адресу", "finddom"},
    {"metro", "Схема метро", "searchmetroshem"},
    {"unifind", "Универсальный поиск", "megasearch"},
};

struct MenuItemDef {
    const char* name;  // nullptr: a separator
    const char* caption;
    const char* shortcut;
    int helpTopic;  // 0: none
};

struct MenuDef {
    const char* name;
    const char* caption;
    int helpTopic;
    std::initializer_list<MenuItemDef> items;
};

const MenuDef kMenus[] = {
    {"karta",
     "Карта",
     0,
     {{"stekdown", "Назад", "Alt+Backspace", 150},
      {"stekup", "Вперед", nullptr, 150},
      {nullptr, nullptr, nullptr, 0},
      {"printing", "Печатать", "Ctrl+P", 230},
      {"tofile", "Картинку в файл", "Ctrl+F", 430},
      {"fragtofile", "Часть картинки в файл", nullptr, 430},
      {nullptr, nullptr, nullptr, 0},
      {"toexit", "Выход", nullptr, 0}}},
    {"mashtabir",
     "Масштаб",
     0,
     {{"fragment", "Фрагмент", nullptr, 20},
      {"fowmap", "Ближе", nullptr, 100},
      {"backmap", "Дальше", nullptr, 100},
      {"msdvig", "Сдвинуть", "Ctrl+V", 30},
      {"tosubway", "До метро", "Ctrl+M", 40},
      {"tonew", "В начало", "Ctrl+N", 60}}},
    {"poisk",
     "Поиск",
     0,
     {{"finddom", "По адресу", nullptr, 80},
      {"megasearch", "Универсальный", nullptr, 160},
      {"searchmetroshem", "Схема метро", nullptr, 0}}},
    {"msloi",
     "Настройка",
     170,
     {{"sloiporiadok", "Слои", nullptr, 260}, {"interf", "Интерфейс", nullptr, 260}}},
    {"rasstoyania",
     "Инструменты",
     0,
     {{"addzakl", "Добавить закладку", nullptr, 90},
      {"showzakl", "Показать закладки", nullptr, 90}}},
    {"spravka",
     "Справка",
     0,
     {{"aboutprog", "О программе", nullptr, 10}, {"showhelp", "Помощь", nullptr, 10}}},
};

const char kHelpTopicProperty[] = "helpTopic";

// Input that a running redraw drops.
bool isUserInput(QEvent::Type t) {
    switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

bool toMouseButton(Qt::MouseButton b, MouseButton& out) {
    switch (b) {
        case Qt::LeftButton:
            out = MouseButton::Left;
            return true;
        case Qt::RightButton:
            out = MouseButton::Right;
            return true;
        case Qt::MiddleButton:
            out = MouseButton::Middle;
            return true;
        default:
            return false;
    }
}

// The character code of the map's key press handler, or 0.
int keyCode(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyEnter;
        case Qt::Key_Plus:
            return '+';
        case Qt::Key_Minus:
            return '-';
        default:
            break;
    }
    const QString t = e->text();
    if (t == QLatin1String("+") || t == QLatin1String("-")) return t.at(0).unicode();
    return 0;
}

void setPointer(QWidget* w, PointerShape shape) {
    if (shape == PointerShape::SizeAll) {
        if (!w->testAttribute(Qt::WA_SetCursor) || w->cursor().shape() != Qt::SizeAllCursor)
            w->setCursor(Qt::SizeAllCursor);
    } else if (w->testAttribute(Qt::WA_SetCursor)) {
        w->unsetCursor();
    }
}

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
    setWindowTitle(QStringLiteral("Urbica %1.0%2")
                       .arg(AboutDialog::majorVersion())
                       .arg(AboutDialog::minorVersion()));
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
}

MainWindow::~MainWindow() {
    if (splash_) delete splash_.data();
}

void MainWindow::createToolbar() {
    fragbar = new QToolBar(QStringLiteral("fragbar"), this);
    fragbar->setObjectName(QStringLiteral("fragbar"));
    fragbar->setMovable(false);
    fragbar->setFloatable(false);
    fragbar->setIconSize(QSize(20, 20));
    fragbar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const ToolbarButtonDef& b : kToolbarButtons) {
        const QString key = QString::fromUtf8(b.key);
        QAction* a = fragbar->addAction(toolbarIcon(key), QString::fromUtf8(b.tooltip));
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(QString::fromUtf8(b.tooltip));
        connect(a, &QAction::triggered, this, [this, key] { fragbarButtonClick(key); });
        buttons_ << a;
    }
    // The author's notice and the vendor's address sit at the right end of the toolbar.
    auto* spacer = new QWidget(fragbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    fragbar->addWidget(spacer);
    auto* corner = new QWidget(fragbar);
    auto* row = new QHBoxLayout(corner);
    row->setContentsMargins(6, 0, 6, 0);
    row->setSpacing(10);
    author_ = new QLabel(QStringLiteral("© Urbica"), corner);
    author_->setObjectName(QStringLiteral("author"));
    author_->setToolTip(QStringLiteral("Urbica — электронная карта города. Команда Urbica"));
    QPalette grey = author_->palette();
    grey.setColor(QPalette::WindowText, QColor(110, 110, 110));
    author_->setPalette(grey);
    site = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff\">%2</a>")
                          .arg(QLatin1String(kVendorUrl), QLatin1String(kVendorAddress)),
                      corner);
    site->setObjectName(QStringLiteral("site"));
    site->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    site->setCursor(Qt::PointingHandCursor);
    connect(site, &QLabel::linkActivated, this,
            [this](const QString& link) { openUrl(QUrl(link)); });
    // Latitude and longitude under the pointer, for maps that know where they lie.
    coordst = new QLabel(corner);
    coordst->setObjectName(QStringLiteral("coordst"));
    coordst->setToolTip(QStringLiteral("Широта и долгота (WGS 84) под указателем"));
    coordst->setTextInteractionFlags(Qt::TextSelectableByMouse);
    coordst->setPalette(grey);
    coordst->hide();
    row->addWidget(coordst);
    row->addWidget(author_);
    row->addWidget(site);
    fragbar->addWidget(corner);
    addToolBar(Qt::TopToolBarArea, fragbar);
    // Back and forward follow the history once the first picture is there.
    fragbarButton(7)->setEnabled(false);
    fragbarButton(8)->setEnabled(false);
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    for (const MenuDef& m : kMenus) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(QString::fromUtf8(m.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(m.name));
        menu->setProperty(kHelpTopicProperty, m.helpTopic);
        menu->installEventFilter(this);
        for (const MenuItemDef& item : m.items) {
            if (!item.name) {
                menu->addSeparator();
                continue;
            }
            const QString name = QString::fromUtf8(item.name);
            QAction* a = menu->addAction(QString::fromUtf8(item.caption));
            a->setObjectName(name);
            a->setProperty(kHelpTopicProperty, item.helpTopic);
            if (item.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
            connect(a, &QAction::triggered, this, [this, name] { menuCommand(name); });
        }
    }
    menuItem(QStringLiteral("stekdown"))->setEnabled(false);
    menuItem(QStringLiteral("stekup"))->setEnabled(false);
}

void MainWindow::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    setCentralWidget(central_);

    selst = new InfoLine(central_);
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
}

ViewHooks MainWindow::viewHooks() {
    ViewHooks h;
    h.pumpEvents = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
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

QAction* MainWindow::fragbarButton(int index) const {
    if (index < 1 || index > buttons_.size()) return nullptr;
    return buttons_[index - 1];
}

QAction* MainWindow::menuItem(const QString& name) const {
    return menuBar()->findChild<QAction*>(name);
}

void MainWindow::startUp() {
    // The advertising text first: a missing file leaves it empty.
    run_.adText = readAdvertising(state_.programDirectory);
    run_.printFooter =
        QStringLiteral(
            "Urbica %1.0%2 — электронная карта города. Команда Urbica, https://urbica.example/, "
            "info@urbica.example")
            .arg(AboutDialog::majorVersion())
            .arg(AboutDialog::minorVersion());
    state_.marksList.clear();
    run_.mainLoaded = 0;

    Settings& s = state_.settings;
    const bool settingsRead = readSettings(s, state_.programDirectory);
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

    state_.view.busy = true;
    if (!readCatalogue(s, state_.catalogue, state_.tables)) {
        message(noDataMessage());
    } else {
        // Classes whose objects cannot be told apart in the lists are named once here.
        const QString keys = checkClassKeys({s.dataDirectory, state_.catalogue, state_.tables});
        if (!keys.isEmpty()) message(keys);
        for (const QString& problem : readDatasetExtras(state_)) message(problem);
    }
    coordst->setVisible(state_.geo.has_value());
    readIconTable(s.dataDirectory, state_.tables);
    buildOverview();

    map->setBackground(colorFromRgbValue(s.mapBackColor));
    boxes.map.backColor = s.mapBackColor;
    boxes.map.cls();
    QFont f = map->font();
    if (std::isfinite(s.labelFontSize) && s.labelFontSize > 0 && s.labelFontSize < 500)
        f.setPointSizeF(s.labelFontSize);
    f.setBold(s.labelFontBold == 1);
    map->setFont(f);

    // Help pages are built in; nothing to register beyond the owner window.

    state_.view.viewLeft = float(state_.catalogue.startX);
    state_.view.viewTop = float(state_.catalogue.startY);
    state_.view.viewWidth = float(state_.catalogue.startWidth);
    state_.view.busy = false;
    run_.mainLoaded = -1;

    if (s.aboutshow == 1) {
        // The house search does its loading while the splash is still up.
        preloadHouseSearch(
            *this, [this](const QString& text) { message(text); },
            [this](int c, int32_t n) { showNamedObject(c, n); });
    }
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

void MainWindow::applyStoredRect() {
    const Settings& s = state_.settings;
    const int left = twipsToPixels(s.windowLeft);
    const int top = twipsToPixels(s.windowTop);
    const int width = twipsToPixels(s.windowWidth);
    const int height = twipsToPixels(s.windowHeight);
    // A rectangle no window could have is not applied.
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
        resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
        return;
    }
    const QSize outer = snapToMinimumSize(QSize(width, height));
    move(left, top);  // the position of a window is that of its frame
    const QSize frame = frameGeometry().size() - size();
    resize(outer - frame);
    // The desktop's frame is known only once the window is on screen.
    pendingOuterSize_ = frame.isNull() ? outer : QSize();
}

void MainWindow::applyPendingOuterSize() {
    if (!pendingOuterSize_.isValid() || !isVisible()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0) return;
    const QSize outer = pendingOuterSize_;
    pendingOuterSize_ = QSize();
    resize(outer - frame);
}

void MainWindow::buildOverview() {
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

void MainWindow::syncNavigation() {
    map->setBox(navState.persistentPicture ? &boxes.map : &navState.screen);
    setPointer(map, navState.mapPointer);
    setPointer(nav, navState.navPointer);
    map->update();
    nav->update();
}

void MainWindow::viewCommand(const std::function<void(NavContext&)>& command) {
    if (state_.view.busy || redrawing_) return;
    redrawing_ = true;
    NavContext c = navContext();
    command(c);
    redrawing_ = false;
    syncNavigation();
}

bool MainWindow::showNamedObject(int classNumber, int32_t record) {
    bool shown = false;
    viewCommand([&](NavContext& c) {
        shown = urbica::showNamedObject(c.s, c.boxes, c.hooks, classNumber, record);
    });
    return shown;
}

bool MainWindow::mapEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPointF p = map->toMapUnits(me->position());
            if (e->type() == QEvent::MouseMove) {
                if (state_.geo) coordst->setText(coordinateText(*state_.geo, p.x(), p.y()));
                const bool quiet = navState.pointerMode == kModeNormal && navState.pick.found != 1;
                NavContext c = navContext();
                mapMouseMove(c, p.x(), p.y());
                if (quiet)
                    setPointer(map, navState.mapPointer);  // nothing on the map changed
                else
                    syncNavigation();
                return true;
            }
            MouseButton b;
            if (!toMouseButton(me->button(), b)) return false;
            if (e->type() == QEvent::MouseButtonPress) {
                map->setFocus(Qt::MouseFocusReason);
                viewCommand([&](NavContext& c) { mapMouseDown(c, b, p.x(), p.y()); });
            } else if (e->type() == QEvent::MouseButtonRelease) {
                viewCommand([&](NavContext& c) { mapMouseUp(c, b, p.x(), p.y()); });
            } else {
                viewCommand([](NavContext& c) { mapDoubleClick(c); });
            }
            return true;
        }
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            int dx = 0, dy = 0;
            switch (ke->key()) {
                case Qt::Key_Left: dx = -1; break;
                case Qt::Key_Right: dx = 1; break;
                case Qt::Key_Up: dy = -1; break;
                case Qt::Key_Down: dy = 1; break;
                default: break;
            }
            if (dx != 0 || dy != 0) {
                viewCommand([&](NavContext& c) { arrowPan(c, dx, dy); });
                return true;
            }
            const int key = keyCode(ke);
            if (key == 0) return false;
            if (state_.view.busy) return true;
            NavContext c = navContext();
            mapKeyPress(c, key);
            syncNavigation();
            return true;
        }
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(e);
            const QPointF p = map->toMapUnits(we->position());
            const int delta = we->angleDelta().y();
            viewCommand([&](NavContext& c) { wheelZoom(c, p.x(), p.y(), delta); });
            return true;
        }
        default:
            return false;
    }
}

bool MainWindow::navEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPointF p = nav->toMapUnits(me->position());
            if (e->type() == QEvent::MouseMove) {
                NavContext c = navContext();
                navMouseMove(c, p.x(), p.y());
                setPointer(nav, navState.navPointer);
                if (navState.navMode != 0) nav->update();
                return true;
            }
            MouseButton b;
            if (!toMouseButton(me->button(), b)) return false;
            if (e->type() == QEvent::MouseButtonPress) {
                nav->setFocus(Qt::MouseFocusReason);
                viewCommand([&](NavContext& c) { navMouseDown(c, b, p.x(), p.y()); });
            } else {
                viewCommand([&](NavContext& c) { navMouseUp(c, b, p.x(), p.y()); });
            }
            return true;
        }
        case QEvent::KeyPress: {
            const int key = keyCode(static_cast<QKeyEvent*>(e));
            if (key != kKeyEscape) return false;
            NavContext c = navContext();
            navKeyPress(c, key);
            syncNavigation();
            return true;
        }
        default:
            return false;
    }
}

void MainWindow::updateHistoryButtons() {
    const ViewHistory& h = state_.history;
    const bool back = h.historyPos > 1;
    const bool forward = h.historyPos < h.upperBound();
    fragbarButton(7)->setEnabled(back);
    menuItem(QStringLiteral("stekdown"))->setEnabled(back);
    fragbarButton(8)->setEnabled(forward);
    menuItem(QStringLiteral("stekup"))->setEnabled(forward);
}

void MainWindow::showAdvertisedObject() { showNamedObject(kAdvertisedClass, kAdvertisedRecord); }

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    applyPendingOuterSize();
    // Nothing is laid out before start-up has finished or while minimised.
    if (isMinimized() || run_.mainLoaded == 0) return;
    // The desktop is told the smallest size too, so that dragging stops there.
    const QSize frame = frameGeometry().size() - size();
    const QSize minimum = QSize(kMinWindowWidth, kMinWindowHeight) - frame;
    if (minimumSize() != minimum) setMinimumSize(minimum);
    const QSize outer = frameGeometry().size();
    const QSize snapped = snapToMinimumSize(outer);
    if (snapped != outer) resize(size() + (snapped - outer));
    run_.resizeCountdown = kResizeTicks;
    resizetimer->start();
}

void MainWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    applyPendingOuterSize();
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!pendingOuterSize_.isValid()) return;
    // Some desktops report the frame only after the window is mapped; a
    // stored size still waiting after a short while is given up, so that it
    // never overrides what the user did with the window.
    QTimer::singleShot(0, this, &MainWindow::applyPendingOuterSize);
    QTimer::singleShot(500, this, [this] {
        applyPendingOuterSize();
        pendingOuterSize_ = QSize();
    });
}

void MainWindow::layoutTick() {
    if (run_.mainLoaded == 0) return;
    if (redrawing_) {
        // A picture is being composed: lay out once it is done.
        run_.resizeCountdown = kResizeTicks;
        resizetimer->start();
        return;
    }
    const int16_t before = run_.resizeCountdown;
    run_.resizeCountdown = int16_t(before - 1);
    if (before != 1) return;
    state_.view.busy = true;
    resizetimer->stop();

    if (QLayout* l = layout()) l->activate();
    const int menuBottom =
        menuWidget() && menuWidget()->isVisible() ? menuWidget()->geometry().bottom() + 1 : 0;
    LayoutInput in;
    in.clientHeight = height() - menuBottom;
    in.toolbarHeight = central_->y() - menuBottom;
    in.outerWidth = width() + kLayoutFrameWidth;
    in.selstHeight = selst->height();
    in.mapLeft = 0;
    in.mapTop = selst->height();
    in.navTop = 0;
    in.findnameHeight = findname->sizeHint().height();
    in.findListWidth = kNavSize;
    in.showkeyWidth = (kNavSize - kButtonGap) / 2;
    in.findkeyWidth = kNavSize - kButtonGap - in.showkeyWidth;
    in.showkeyHeight = showkey->sizeHint().height();
    in.allwindow = state_.settings.allwindow == 1;
    in.viewTop = state_.view.viewTop;
    in.viewWidth = state_.view.viewWidth;
    in.viewHeight = state_.view.viewHeight;
    const LayoutResult r = computeLayout(in);

    map->setGeometry(r.map);
    selst->setGeometry(r.selst);
    for (QWidget* w : {static_cast<QWidget*>(nav), static_cast<QWidget*>(showkey),
                       static_cast<QWidget*>(findList), static_cast<QWidget*>(findkey),
                       static_cast<QWidget*>(findname)})
        w->setVisible(r.quickFindVisible);
    if (r.quickFindVisible) {
        nav->setGeometry(r.nav);
        findname->setGeometry(r.findname);
        findList->setGeometry(r.findList);
        showkey->setGeometry(r.showkey);
        findkey->setGeometry(r.findkey);
    }
    boxes.map.resize(r.map.width(), r.map.height());
    if (r.pageSize.width() > 0 && r.pageSize.height() > 0) {
        boxes.hidepage.resize(r.pageSize.width(), r.pageSize.height());
        boxes.originalpage.resize(r.pageSize.width(), r.pageSize.height());
    }
    state_.view.viewTop = r.viewTop;
    state_.view.viewHeight = r.viewHeight;

    redrawView(true);
    state_.view.busy = false;
}

void MainWindow::layoutNow() {
    run_.resizeCountdown = 1;
    layoutTick();
}

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
        // from ending; there may be nobody to tell.
        QString error;
        if (!writeSettings(state_.settings, state_.programDirectory, &error))
            qWarning("urbica: settings not saved: %s", qPrintable(error));
    }
}

void MainWindow::storeWindowRect() {
    QRect outer = frameGeometry();
    if (isMinimized()) {
        // The rectangle the window has when restored, with its frame.
        const QRect inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        const QRect normal = normalGeometry();
        if (normal.isValid() && !normal.isEmpty()) outer = normal.marginsAdded(frame);
    }
    Settings& s = state_.settings;
    s.windowLeft = pixelsToTwips(outer.x());
    s.windowTop = pixelsToTwips(outer.y());
    s.windowWidth = pixelsToTwips(outer.width());
    s.windowHeight = pixelsToTwips(outer.height());
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (exiting_ || closeRequested(e->spontaneous())) {
        e->accept();
        return;
    }
    e->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == map) return mapEvent(e) || QMainWindow::eventFilter(watched, e);
    if (watched == nav) return navEvent(e) || QMainWindow::eventFilter(watched, e);
    // While a redraw, the start-up or a layout pass runs, the pointer, the
    // keyboard and the toolbar of this window are not listened to: what
    // arrives meanwhile is dropped, so that no redraw is entered twice.
    // Other windows (a message box) keep their input.
    if (state_.view.busy && isUserInput(e->type()) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this)
        return true;
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            int topic = 0;
            if (QAction* a = menu->activeAction()) topic = a->property(kHelpTopicProperty).toInt();
            if (topic == 0) topic = menu->property(kHelpTopicProperty).toInt();
            if (topic == 0) topic = kGeneralHelpTopic;
            menu->hide();
            showHelp(topic);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::showHelp(int topic) {
    if (!help_) help_ = new HelpViewer(this);
    help_->showTopic(topic);
}

void MainWindow::showAbout() {
    AboutDialog about(run_.mainLoaded, this, true);
    about.exec();
}

void MainWindow::fragbarButtonClick(const QString& key) {
    if (state_.view.busy) return;
    for (const ToolbarButtonDef& b : kToolbarButtons) {
        if (key == QLatin1String(b.key)) {
            menuCommand(QString::fromUtf8(b.command));
            return;
        }
    }
}

void MainWindow::menuCommand(const QString& name) {
    // The commands of the map, search, bookmark, layer, print and export
    // parts are dispatched from here as they arrive.
    if (state_.view.busy || redrawing_) return;
    if (runSearchCommand(
            *this, name, [this](const QString& text) { message(text); },
            [this](int c, int32_t n) { showNamedObject(c, n); }))
        return;
    if (runDialogCommand(*this, name, [this](const QString& text) { message(text); })) return;
    if (name == QLatin1String("stekdown"))
        viewCommand([](NavContext& c) { historyBack(c); });
    else if (name == QLatin1String("stekup"))
        viewCommand([](NavContext& c) { historyForward(c); });
    else if (name == QLatin1String("fragment")) {
        viewCommand([](NavContext& c) { showFragmentFrame(c); });
        map->setFocus(Qt::OtherFocusReason);
    } else if (name == QLatin1String("fowmap"))
        viewCommand([](NavContext& c) { zoomIn(c); });
    else if (name == QLatin1String("backmap"))
        viewCommand([](NavContext& c) { zoomOut(c); });
    else if (name == QLatin1String("msdvig"))
        viewCommand([](NavContext& c) { armPan(c); });
    else if (name == QLatin1String("tosubway"))
        viewCommand([](NavContext& c) { toNearestMetro(c); });
    else if (name == QLatin1String("tonew"))
        viewCommand([](NavContext& c) { toStartView(c); });
    else if (name == QLatin1String("fragtofile"))
        viewCommand([](NavContext& c) { armExport(c); });
    else if (name == QLatin1String("toexit"))
        exitCommand();
    else if (name == QLatin1String("showhelp"))
        showHelp(kGeneralHelpTopic);
    else if (name == QLatin1String("aboutprog"))
        showAbout();
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

bool MainWindow::ask(const QString& text) {
    if (options_.askYesNo) return options_.askYesNo(text);
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace urbica
