#include "mainwindow/dialogcommands.h"

#include "bookmarks/bookmarkdialogs.h"
#include "dialogs/exportpicture.h"
#include "dialogs/printform.h"
#include "dialogs/setinter.h"
#include "dialogs/sloirast.h"
#include "mainwindow/layout.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "view/redraw.h"

namespace urbica {

namespace {

// The open city's bookmark file, made from the file all cities shared before
// on first use.
QString bookmarkPath(const AppState& s, const MessageFunction& message) {
    const QString path = cityBookmarkFilePath(s.bookmarkFolder(), s.catalogue.bookmarkBase,
                                              s.settings.dataDirectory);
    const Catalogue& c = s.catalogue;
    QString error;
    if (!adoptSharedBookmarks(bookmarkFilePath(s.bookmarkFolder(), c.bookmarkBase), path,
                              QRectF(c.extentLeft, c.extentTop, c.extentWidth, c.extentHeight),
                              &error))
        message(bookmarkFileErrorText(error));
    return path;
}

// The window's rectangle as the settings file keeps it, in twips.
void storeWindowRect(MainWindow& w, Settings& s) {
    if (w.isMinimized()) return;  // the rectangle kept at start-up stays
    const QRect outer = w.frameGeometry();
    s.windowLeft = pixelsToTwips(outer.x());
    s.windowTop = pixelsToTwips(outer.y());
    s.windowWidth = pixelsToTwips(outer.width());
    s.windowHeight = pixelsToTwips(outer.height());
}

void interfaceSettings(MainWindow& w, const MessageFunction& message) {
    AppState& s = w.appState();
    const int16_t allwindowBefore = s.settings.allwindow;
    const int16_t scaleBarBefore = s.settings.scaleBar;
    const int16_t labelsApartBefore = s.settings.labelsApart;
    const int16_t smoothingBefore = s.settings.smoothing;
    InterfaceSettingsDialog dialog(s.settings, &w);
    dialog.exec();
    if (dialog.dialogAccepted() == 0) return;
    // An option the user set stays as set: an import does not turn it on.
    if (s.settings.labelsApart != labelsApartBefore) s.settings.labelsApartChosen = 1;
    storeWindowRect(w, s.settings);
    QString error;
    if (!writeSettings(s.settings, s.settingsFolder(), &error))
        message(
            QStringLiteral("Настройки действуют до конца работы, но не записаны: %1.").arg(error));
    w.layoutNow();
    // The overview is neither drawn nor kept while the map fills the window:
    // shown again, it is built for its new place and the view drawn over it.
    if (s.settings.allwindow != allwindowBefore && s.settings.allwindow != 1) {
        w.buildOverview();
        w.redrawView(false);
    } else if (s.settings.smoothing != smoothingBefore) {
        w.buildOverview();
        w.redrawView(false);
    } else if (s.settings.scaleBar != scaleBarBefore ||
               s.settings.labelsApart != labelsApartBefore) {
        w.redrawView(false);
    }
}

}  // namespace

bool runDialogCommand(MainWindow& w, const QString& name, const MessageFunction& message) {
    AppState& s = w.appState();
    if (name == QLatin1String("addzakl")) {
        addBookmarkCommand(&w, bookmarkPath(s, message), s.view, message);
    } else if (name == QLatin1String("showzakl")) {
        if (showBookmarksCommand(&w, bookmarkPath(s, message), s.view, w.boxes.map.width(),
                                 w.boxes.map.height(), message))
            w.redrawView(true);
    } else if (name == QLatin1String("sloiporiadok")) {
        if (layerOrderCommand(&w, s, w.boxes, w.viewHooks(), message)) {
            w.map->update();
            w.nav->update();
        }
    } else if (name == QLatin1String("printing")) {
        PrintEnvironment env = PrintEnvironment::system();
        env.message = message;
        // The page at the printer's resolution: the view drawn again at it. The
        // page names the data's source beside the program, as the licence asks.
        env.renderAt = [&w](double ratio) { return renderAtRatio(w.appState(), w.boxes, ratio); };
        env.renderWithoutTexts = [&w](double ratio, std::vector<PictureBox::TextCall>* texts) {
            return renderAtRatio(w.appState(), w.boxes, ratio, texts);
        };
        const QString footer = s.source ? w.runState().printFooter + QStringLiteral(". Данные: ") +
                                              dataSourceLine(*s.source)
                                        : w.runState().printFooter;
        printCommand(&w, w.boxes.map.image(), s.settings, footer, env);
    } else if (name == QLatin1String("tofile")) {
        ExportUi ui;
        ui.message = message;
        exportPictureCommand(&w, w.boxes.map.image(), ui);
    } else if (name == QLatin1String("interf")) {
        interfaceSettings(w, message);
    } else {
        return false;
    }
    return true;
}

void exportMapPart(MainWindow& w, const FrameShape& frag, const MessageFunction& message) {
    ExportUi ui;
    ui.message = message;
    const AppState& s = w.appState();
    exportMapPartCommand(&w, w.boxes.map.image(), s.view,
                         QRectF(frag.left, frag.top, frag.width, frag.height), ui,
                         s.source ? s.source->notice : QString());
}

}  // namespace urbica
