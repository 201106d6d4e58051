// The program: one application object that owns the run's state and the main window.
//
//   urbica [--startup-probe]
//
// With --startup-probe the program prints "first picture" on standard output
// once the first picture of the map is on screen, and ends; the performance
// run times start-up with it.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "mainwindow/mainwindow.h"
#include "mainwindow/translations.h"
#include "view/appstate.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Urbica"));
    urbica::installQtTranslations(app);
    const bool probe = QCoreApplication::arguments().contains(QStringLiteral("--startup-probe"));

    urbica::AppState state;
    state.programDirectory = QCoreApplication::applicationDirPath();

    urbica::MainWindow window(state);
    if (probe) {
        QObject::connect(&window, &urbica::MainWindow::viewRedrawn, &app, [] {
            // The picture reaches the screen with the next paint.
            QTimer::singleShot(0, [] {
                std::printf("first picture\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        });
    }
    window.startUp();
    window.show();
    return app.exec();
}
