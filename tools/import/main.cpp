// urbica-import INPUT --out DIR [--program-files DIR] [--check]
// Reads an OpenStreetMap extract and writes a city dataset into DIR, then
// prints what it made, what it skipped and how many of the file's addresses
// the house search finds in the result (--check lists the ones it does not).
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "commandline.h"
#include "dataset/writerlock.h"
#include "import/cityimport.h"

namespace {

using namespace urbica::osmimport;

void say(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

QString u(const char* s) { return QString::fromUtf8(s); }

struct Arguments {
    CityImport job;
    bool check = false;
};

// The arguments, or the status to end with (help, version, a wrong call).
std::optional<int> readArguments(const QStringList& args, Arguments& a) {
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
    if (const auto status = cl.parse(args)) return status;
    const QStringList inputs = cl.positional();
    if (inputs.isEmpty()) return cl.fail(u("нужен файл OpenStreetMap"));
    if (inputs.size() > 1) return cl.fail(u("больше одного входного файла: %1").arg(inputs[1]));
    if (!cl.isSet(QStringLiteral("out"))) return cl.fail(u("нужен ключ --out"));
    a.job = {inputs.front(), cl.value(QStringLiteral("out")),
             cl.value(QStringLiteral("program-files"))};
    a.check = cl.isSet(QStringLiteral("check"));
    return std::nullopt;
}

// Progress on the error stream, in steps of 10 %, for files of more than a
// few megabytes; a wait for another writer is always said.
ImportCallbacks progressLines(const CityImport& job) {
    const bool shown = QFileInfo(job.osmFile).size() > 4 * 1024 * 1024;
    ImportCallbacks on;
    if (shown) {
        on.progress = [lastPhase = QString(), lastStep = -1](const QString& phase,
                                                             double fraction) mutable {
            const int step = int(fraction * 10);
            if (phase == lastPhase && step == lastStep) return;
            lastPhase = phase;
            lastStep = step;
            say(stderr, u("%1: %2%").arg(phase).arg(std::min(100, step * 10)));
        };
        on.writing = [] { say(stderr, u("запись набора данных")); };
    }
    on.waiting = [out = job.dataDirectory] {
        say(stderr, u("urbica-import: %1; ожидание").arg(urbica::datasetBusyText(out)));
    };
    return on;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Arguments a;
    if (const auto status = readArguments(app.arguments(), a)) return *status;
    const CityImportResult r = importCity(a.job, progressLines(a.job));
    // The report is there once the dataset is written, also when its check failed.
    for (const QString& line : r.report) say(stdout, line);
    if (!r.report.isEmpty() && r.readSeconds > 0)
        say(stdout, u("скорость: %1 точек в секунду").arg(qint64(double(r.nodes) / r.readSeconds)));
    if (!r.ok()) {
        say(stderr, u("urbica-import: %1").arg(r.error));
        return 1;
    }
    say(stdout, u("запись набора: %1 с, проверка адресов: %2 с")
                    .arg(r.writeSeconds, 0, 'f', 1)
                    .arg(r.checkSeconds, 0, 'f', 1));
    say(stdout, addressCheckLine(r));
    if (a.check)
        for (const MissingAddress& m : r.missing) say(stdout, missingAddressLine(m));
    say(stdout, stationsLine(r));
    return 0;
}
