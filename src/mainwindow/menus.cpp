// The toolbar and the menus of the main window, and the dispatch of their commands.
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "mainwindow/advertising.h"
#include "mainwindow/dialogcommands.h"
#include "mainwindow/help.h"
#include "mainwindow/importcommand.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/searchcommands.h"
#include "mainwindow/toolbaricons.h"
#include "mainwindow/widgets.h"
#include "view/navigation.h"

namespace urbica {

namespace {

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
    {"ruler", "Линейка", "ruler"},
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
     {{"opencity", "Открыть город…", "Ctrl+O", 0},
      {"importosm", "Импорт из OpenStreetMap…", nullptr, 0},
      {nullptr, nullptr, nullptr, 0},
      {"stekdown", "Назад", "Alt+Backspace", 150},
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
      {"showzakl", "Показать закладки", nullptr, 90},
      {nullptr, nullptr, nullptr, 0},
      {"ruler", "Линейка", nullptr, 0}}},
    {"spravka",
     "Справка",
     0,
     {{"aboutprog", "О программе", nullptr, 10}, {"showhelp", "Помощь", nullptr, 10}}},
};

}  // namespace

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
    // The cities opened last are listed under "Открыть город…" each time the menu opens.
    if (auto* karta = bar->findChild<QMenu*>(QStringLiteral("karta")))
        connect(karta, &QMenu::aboutToShow, this, [this, karta] { fillRecentCities(karta); });
}

QAction* MainWindow::fragbarButton(int index) const {
    if (index < 1 || index > buttons_.size()) return nullptr;
    return buttons_[index - 1];
}

QAction* MainWindow::menuItem(const QString& name) const {
    return menuBar()->findChild<QAction*>(name);
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
    if (state_.view.busy || redrawing_ || property(kImportRunningProperty).toBool()) return;
    if (runImportCommand(*this, name, [this](const QString& text) { message(text); })) return;
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
    else if (name == QLatin1String("ruler"))
        startRuler();
    else if (name == QLatin1String("opencity"))
        openCityCommand();
}

}  // namespace urbica
