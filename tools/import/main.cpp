// urbica-import INPUT --out DIR [--program-files DIR] [--check]
// Reads an OpenStreetMap extract and writes a city dataset into DIR, then
// prints what it made, what it skipped and how many of the file's addresses
// the house search finds in the result (--check lists the ones it does not).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "addresscheck.h"
#include "commandline.h"
#include "osmimport.h"
#include "output.h"
#include "toolkit.h"

namespace {

void say(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

QString u(const char* s) { return QString::fromUtf8(s); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    urbica::cli::CommandLine cl(
        QStringLiteral("urbica-import"),
        QStringLiteral("ФАЙЛ --out КАТАЛОГ [--program-files КАТАЛОГ] [--check]"),
        QStringLiteral("Делает набор данных города из выгрузки OpenStreetMap (.osm, .osm.pbf, "
                       ".osm.bz2, .osm.gz)."));
    cl.addOption({QStringLiteral("out")}, QStringLiteral("КАТАЛОГ"),
                 QStringLiteral("каталог нового набора данных"));
    cl.addOption(
        {QStringLiteral("program-files")}, QStringLiteral("КАТАЛОГ"),
        QStringLiteral("записать сюда файлы программы и urbica.cfg, указывающий на набор"));
    cl.addFlag({QStringLiteral("check")},
               QStringLiteral("перечислить адреса, которые поиск дома не находит"));
    if (const auto status = cl.parse(app.arguments())) return *status;
    const QStringList inputs = cl.positional();
    if (inputs.isEmpty()) return cl.fail(u("нужен файл OpenStreetMap"));
    if (inputs.size() > 1) return cl.fail(u("больше одного входного файла: %1").arg(inputs[1]));
    if (!cl.isSet(QStringLiteral("out"))) return cl.fail(u("нужен ключ --out"));
    const QString input = inputs.front();
    const QString out = cl.value(QStringLiteral("out"));
    const QString programFiles = cl.value(QStringLiteral("program-files"));
    const bool check = cl.isSet(QStringLiteral("check"));

    // Progress in steps of 10 % for files of more than a few megabytes.
    const bool showProgress = QFileInfo(input).size() > 4 * 1024 * 1024;
    QString lastPhase;
    int lastStep = -1;
    auto progress = [&](const QString& phase, double fraction) {
        if (!showProgress) return;
        const int step = int(fraction * 10);
        if (phase == lastPhase && step == lastStep) return;
        lastPhase = phase;
        lastStep = step;
        say(stderr, u("%1: %2%").arg(phase).arg(std::min(100, step * 10)));
    };

    urbica::osmimport::ImportResult result;
    QString error;
    if (!urbica::osmimport::readOsm(input, result, &error, progress)) {
        say(stderr, u("urbica-import: %1").arg(error));
        return 1;
    }
    if (showProgress) say(stderr, u("запись набора данных"));
    QElapsedTimer phase;
    phase.start();
    // Held until the dataset has been read back below, so that another
    // import into the same folder waits for this one as a whole.
    urbica::WriterLock lock;
    const auto waiting = [&] {
        say(stderr, u("urbica-import: %1; ожидание").arg(urbica::datasetBusyText(out)));
    };
    if (!urbica::osmimport::writeImported(result, out, &error, &lock, urbica::kDatasetLockWaitMs,
                                          waiting)) {
        say(stderr, u("urbica-import: %1").arg(error));
        return 1;
    }
    if (!programFiles.isEmpty() &&
        !urbica::osmimport::writeProgramFiles(programFiles, out, &error)) {
        say(stderr, u("urbica-import: %1").arg(error));
        return 1;
    }
    const double writeSeconds = double(phase.restart()) / 1000;
    for (const QString& line : urbica::osmimport::reportLines(result)) say(stdout, line);
    urbica::osmimport::dropWrittenData(result);  // the check reads the files
    if (result.report.seconds > 0)
        say(stdout, u("скорость: %1 точек в секунду")
                        .arg(qint64(double(result.report.nodes) / result.report.seconds)));

    const urbica::osmimport::AddressCheck found =
        urbica::osmimport::checkAddresses(out, result.addresses);
    if (!found.error.isEmpty()) {
        say(stderr, u("urbica-import: проверка адресов: %1").arg(found.error));
        return 1;
    }
    say(stdout, u("запись набора: %1 с, проверка адресов: %2 с")
                    .arg(writeSeconds, 0, 'f', 1)
                    .arg(double(phase.elapsed()) / 1000, 0, 'f', 1));
    say(stdout, u("адреса, найденные поиском дома: %1 из %2 (%3%)")
                    .arg(found.found)
                    .arg(found.total)
                    .arg(found.total ? 100.0 * double(found.found) / double(found.total) : 100.0, 0,
                         'f', 1));
    if (check)
        for (const auto& a : found.missing)
            say(stdout, u("  не найден: %1, %2 (улица «%3», номер «%4»)")
                            .arg(a.street, a.houseNumber, a.streetName, a.house.number));
    const QStringList stations = urbica::osmimport::metroStations(out);
    // A long list is shown by its beginning.
    const QString shown = stations.size() > 30 ? stations.mid(0, 30).join(u(", ")) + u(", …")
                                               : stations.join(u(", "));
    say(stdout, u("станции метро (%1): %2").arg(stations.size()).arg(shown));
    return 0;
}
