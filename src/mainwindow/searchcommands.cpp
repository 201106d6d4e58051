#include "mainwindow/searchcommands.h"

#include <QApplication>

#include "mainwindow/mainwindow.h"
#include "search/quickfindwidget.h"
#include "search/searchdom.h"
#include "search/searchmetro.h"
#include "search/unifind.h"

namespace urbica {

namespace {

SearchEnv searchEnv(MainWindow& w, const SearchMessage& message, const SearchShow& show) {
    SearchEnv env;
    env.state = &w.appState();
    env.show = show;
    env.showMessage = message;
    // Once a dialog is open and modal, only it takes input while it works;
    // before that (the house search reads its streets when it is made) input
    // waits, so that no command can start twice.
    env.pumpEvents = [] {
        if (QApplication::activeModalWidget())
            QCoreApplication::processEvents();
        else
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    env.takeStreets = [&w] { return w.takeStartStreets(); };
    env.showMapObject = [&w](int layer, int32_t object) { w.showMapObject(layer, object); };
    return env;
}

// The one house search of the run: made on first use, then only hidden.
SearchDomDialog* houseSearch(MainWindow& w, const SearchMessage& message, const SearchShow& show) {
    auto* dialog =
        w.findChild<SearchDomDialog*>(QStringLiteral("searchdom"), Qt::FindDirectChildrenOnly);
    if (!dialog) dialog = new SearchDomDialog(searchEnv(w, message, show), &w);
    return dialog;
}

}  // namespace

bool runSearchCommand(MainWindow& w, const QString& name, const SearchMessage& message,
                      const SearchShow& show) {
    if (name == QLatin1String("finddom")) {
        houseSearch(w, message, show)->exec();
    } else if (name == QLatin1String("megasearch")) {
        UnifindDialog dialog(searchEnv(w, message, show), &w);
        dialog.exec();
    } else if (name == QLatin1String("searchmetroshem")) {
        SearchMetroDialog dialog(searchEnv(w, message, show), &w);
        dialog.exec();
    } else {
        return false;
    }
    return true;
}

void attachQuickFind(MainWindow& w, const SearchMessage& message, const SearchShow& show) {
    SearchEnv env = searchEnv(w, message, show);
    // Pictures are painted while the search runs; input waits until it ends.
    env.pumpEvents = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    auto* quick = new QuickFind(std::move(env), w.findname, w.findList, w.findkey, w.showkey, &w);
    quick->setObjectName(QStringLiteral("quickfind"));
}

void preloadHouseSearch(MainWindow& w, const SearchMessage& message, const SearchShow& show) {
    houseSearch(w, message, show);
}

}  // namespace urbica
