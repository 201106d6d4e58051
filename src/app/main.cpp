// The program: one application object that owns the run's state and the main window.
//
//   urbica [--startup-probe] [DATA-FOLDER]
//
// A data folder given opens that city instead of the one of the settings.
// With --startup-probe the program prints "first picture" on standard output
// once the first picture of the map is on screen, and ends; the performance
// run times start-up with it.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "mainwindow/mainwindow.h"
#include "mainwindow/translations.h"
#include "view/appstate.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Urbica"));
    urbica::installQtTranslations(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Urbica — электронная карта города"));
    parser.addHelpOption();
    const QCommandLineOption probeOption(QStringLiteral("startup-probe"),
                                         QStringLiteral("Вывести «first picture» после первой "
                                                        "картинки и закончить работу."));
    parser.addOption(probeOption);
    parser.addPositionalArgument(QStringLiteral("папка"), QStringLiteral("Папка с картой города."),
                                 QStringLiteral("[папка]"));
    parser.process(app);
    const bool probe = parser.isSet(probeOption);

    urbica::AppState state;
    state.programDirectory = QCoreApplication::applicationDirPath();
    state.folders = urbica::locateProgramFolders(state.programDirectory);

    urbica::MainWindow window(state);
    if (!parser.positionalArguments().isEmpty())
        window.setStartCity(parser.positionalArguments().constFirst());
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
