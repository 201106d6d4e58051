// The main window urbica1: its controls, the start-up sequence, the debounced
// layout pass, the advertising ticker, help, and the two ways the program ends.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>

#include "dataset/datasetstamp.h"
#include "dataset/names.h"
#include "dialogs/about.h"
#include "mainwindow/help.h"
#include "view/appstate.h"
#include "view/mapboxes.h"
#include "view/navigation.h"
#include "view/ruler.h"

class QLabel;
class QMenu;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QToolBar;

namespace urbica {

class InfoLine;
class PictureWidget;
class SideSplitter;

// How the window talks to the person in front of it. The defaults use
// message boxes and the desktop's browser; a run without a user (the tests)
// replaces them.
struct MainWindowOptions {
    // A modal message with only an OK button.
    std::function<void(const QString&)> showMessage;
    // The damaged data files met while the map was drawn or an object shown;
    // empty: the info line.
    std::function<void(const QString&)> showProblems;
    // A Yes/No question; true for Yes.
    std::function<bool(const QString&)> askYesNo;
    // Opens a web or mail address.
    std::function<void(const QUrl&)> openUrl;
    // The folder of a city to open; empty when the user gave none.
    std::function<QString()> chooseCityFolder;
    // The OpenStreetMap file to import and the new folder of its dataset;
    // empty when the user gave none.
    std::function<QString()> chooseOsmFile;
    std::function<QString()> chooseImportFolder;
};

// State of the main window that lives for the whole run.
struct MainWindowState {
    int16_t mainLoaded = 0;       // 0 until start-up has finished, then -1
    int16_t resizeCountdown = 0;  // layout timer ticks left before the layout pass
    QString adText;               // advertising text, rotated by the ticker
    int16_t tickerPaused = 0;     // non-zero while the info line names a picked object
    QString printFooter;          // the notice printed under every page
};

// Converts a stored colour value (red in the low byte, then green, then blue).
QColor colorFromRgbValue(int32_t value);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppState& state, MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load handler: advertising text, settings, dataset, map box set-up
    // and the start view. Draws nothing: the first layout pass after the
    // window is shown asks for the first picture.
    void startUp();
    const MainWindowOptions& options() const { return options_; }
    // Set on the window while an import runs: no command starts and the
    // window does not close until it has ended.
    static constexpr const char* kImportRunningProperty = "importRunning";

    AppState& appState() { return state_; }
    MainWindowState& runState() { return run_; }

    // Controls shared with the other parts of the program.
    QToolBar* fragbar = nullptr;
    InfoLine* selst = nullptr;
    PictureWidget* map = nullptr;
    PictureWidget* nav = nullptr;
    QLineEdit* findname = nullptr;
    QListWidget* findList = nullptr;
    QPushButton* showkey = nullptr;
    QPushButton* findkey = nullptr;
    QLabel* site = nullptr;
    QLabel* coordst = nullptr;          // latitude and longitude under the pointer
    SideSplitter* sidesplit = nullptr;  // widens the overview and quick find
    QTimer* scrollTimer = nullptr;
    QTimer* resizetimer = nullptr;
    // The pictures of the map and the overview, visible and off-screen
    // (hidepage, originalpage, tempnav, images), and the overview's view frame.
    MapBoxes boxes;
    // How the redraw pipeline reaches this window.
    ViewHooks viewHooks();

    // Toolbar button by 1-based index, menu item by control name.
    QAction* fragbarButton(int index) const;
    const QList<QAction*>& fragbarButtons() const { return buttons_; }
    QAction* menuItem(const QString& name) const;

    // Draws the overview picture of the whole city into nav at the window's
    // device pixel ratio.
    void buildOverview();
    // Draws the current view (the map, the overview's frame and, with record,
    // a new entry of the history), shows it in the map and the overview and
    // signals viewRedrawn. A call while one draws does nothing.
    void redrawView(bool record);
Q_SIGNALS:
    // A picture of the current view has been composed (the first one ends start-up).
    void viewRedrawn();

public:
    // Shows the advertised object (class 8, name record 27868) on the map.
    void showAdvertisedObject();
    // Fits the view around a named object, names it in the info line and
    // draws it highlighted; false when it has no map object that can be read.
    // The search dialogs show what they found through this.
    bool showNamedObject(int classNumber, int32_t record);
    // A map object without a name, found by its kind.
    bool showMapObject(int layer, int32_t object);

    // The pointer modes of the map and the overview, the fragment frame and
    // the current pick.
    NavigationState navState;
    // The handlers' view of this window; exportFrame is left to the export.
    NavContext navContext();
    // The message of the commands this version does not have.
    static QString notAvailableText();

    // One tick of the layout timer; the layout pass runs on the tick that
    // finds the countdown at 1.
    void layoutTick();
    // The layout pass at once (after the interface settings changed).
    void layoutNow();
    // The side panel's width in pixels for a window of this outer width: the
    // one the user dragged it to (kept in the settings), at least the
    // overview's own 204 and at most half the window.
    int sidePanelWidth(int outerWidth) const;
    // One tick of the advertising ticker.
    void scrollTick();

    // A close request; fromUser is true for the close box and the system
    // menu. False when the user declined; otherwise the run is finished
    // (settings written when so configured).
    bool closeRequested(bool fromUser);
    // The menu command "Выход".
    void exitCommand();
    // The help page of a topic in the built-in help viewer.
    void showHelp(int topic);
    HelpViewer* helpViewer() const { return help_; }
    // "О программе".
    void showAbout();
    // The splash while start-up runs (null otherwise).
    AboutDialog* splash() const { return splash_; }

    // A toolbar button click, dispatched by the button's key.
    void fragbarButtonClick(const QString& key);
    // A menu command, by the item's control name.
    void menuCommand(const QString& name);

    // The question asked before the program ends.
    static QString closeQuestion();

    // "Инструменты → Линейка": clicks on the map add points, the info line
    // shows the length; Backspace takes the last point back, Esc or the right
    // button ends. Nothing is redrawn meanwhile.
    void startRuler();
    // "Карта → Открыть город…": the folder becomes the data folder and the
    // city is loaded as at start-up (history, marks and the house search made
    // anew). A folder that holds no readable map is refused with a message
    // naming what is missing, and the city in use stays; false then.
    bool openCity(const QString& folder);
    void openCityCommand();
    // Reads the open city again when its folder holds another dataset than
    // the one read (an import wrote over it): overview, tables and picture,
    // keeping the view and its history. Runs on a timer; nothing while the
    // window is busy or a modal window is open.
    void checkCityOnDisk();
    // Why the folder cannot be opened (empty when it can), with what it holds.
    QString cityProblem(const QString& folder, Catalogue& catalogue, Tables& tables,
                        Settings& settings) const;
    // The city to open at start-up instead of the one of the settings (the command line).
    void setStartCity(const QString& folder) { startCity_ = folder; }
    void stopRuler();
    // "Urbica — CITY", or "Urbica" without a city.
    static QString titleFor(const QString& city);
    const Ruler& ruler() const { return ruler_; }
    // The house search's street list made at start-up on a helper thread while
    // the overview is drawn; empty when none was made (it is taken once).
    std::optional<StreetListEntries> takeStartStreets();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The property of menus and menu items that names their help topic.
    static constexpr const char* kHelpTopicProperty = "helpTopic";
    void createToolbar();
    void createMenus();
    void createControls();
    // The dataset of state_.settings.dataDirectory, at start-up and when a
    // city is opened: catalogue, tables, icon table, overview, map colours
    // and the start view.
    void loadCity();
    // Puts a city read by cityProblem in the place of the open one; with
    // keepView the view and its history stay (the same folder read again).
    void takeCity(const Settings& settings, const Catalogue& catalogue, const Tables& tables,
                  bool keepView);
    void showCityInTitle();  // in opencity.cpp
    int sidePanelWidthAfterDrag(int dx) const;
    void applyStoredRect();
    void applyPendingOuterSize();
    // The pictures at the device pixel ratio of the window's screen, drawn
    // again when it changed.
    void followScreen();
    void storeWindowRect();
    void finishRun();
    void updateHistoryButtons();
    // Shows on the map and overview widgets what the navigation state holds.
    void syncNavigation();
    bool mapEvent(QEvent* e);
    bool rulerEvent(QEvent* e);                // in rulertool.cpp
    void rememberCity(const QString& folder);  // in opencity.cpp
    void fillRecentCities(QMenu* menu);
    void showRulerLength();
    double metresPerUnit() const;
    bool navEvent(QEvent* e);
    // Runs a command of the map view unless a redraw is running.
    void viewCommand(const std::function<void(NavContext&)>& command);
    void openUrl(const QUrl& url);
    void message(const QString& text);
    // Names the damaged files noted since the last time (state_.problems).
    void showDatasetProblems();
    bool ask(const QString& text);

    AppState& state_;
    MainWindowOptions options_;
    MainWindowState run_;
    QWidget* central_ = nullptr;
    QLabel* author_ = nullptr;
    QList<QAction*> buttons_;
    QPointer<AboutDialog> splash_;
    QPointer<HelpViewer> help_;
    ViewHooks hooks_;
    bool redrawing_ = false;  // a redraw runs: another is never entered
    QSize pendingOuterSize_;  // stored outer size waiting for the frame to be known
    bool finished_ = false;
    bool exiting_ = false;
    bool followingScreen_ = false;
    Ruler ruler_;
    QList<QAction*> recentActions_;
    QString startCity_;
    DatasetStamp cityStamp_;  // the open city's folder as it was read
    QTimer* cityCheckTimer_ = nullptr;
    bool streetsAhead_ = false;  // the start-up will load the house search
    std::future<StreetListEntries> startStreets_;
};

}  // namespace urbica
