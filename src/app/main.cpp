// The program: one application object that owns the run's state and the main window.
#include <QApplication>

#include "mainwindow/mainwindow.h"
#include "view/appstate.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Urbica"));

    urbica::AppState state;
    state.programDirectory = QCoreApplication::applicationDirPath();

    urbica::MainWindow window(state);
    window.startUp();
    window.show();
    return app.exec();
}
