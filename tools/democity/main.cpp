// urbica-democity --out DIR [--seed N] [--scale K] [--program-files DIR]
// Writes the demo city dataset into DIR and prints a one-line summary.
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

#include "democity.h"

namespace {

void say(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

int usage(const QString& problem) {
    if (!problem.isEmpty()) say(stderr, problem);
    say(stderr, QStringLiteral("usage: urbica-democity --out DIR [--seed N] [--scale K] "
                               "[--program-files DIR]"));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    urbica::democity::Options options;
    QString out, programFiles;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return usage(QString());
        if (i + 1 >= args.size()) return usage(QStringLiteral("missing value after %1").arg(a));
        const QString value = args[++i];
        bool ok = true;
        if (a == QLatin1String("--out")) {
            out = value;
        } else if (a == QLatin1String("--program-files")) {
            programFiles = value;
        } else if (a == QLatin1String("--seed")) {
            options.seed = value.toULongLong(&ok);
        } else if (a == QLatin1String("--scale")) {
            options.scale = value.toInt(&ok);
            ok = ok && options.scale >= 1 && options.scale <= urbica::democity::kMaxScale;
        } else {
            return usage(QStringLiteral("unknown option %1").arg(a));
        }
        if (!ok) return usage(QStringLiteral("bad value for %1: %2").arg(a, value));
    }
    if (out.isEmpty()) return usage(QStringLiteral("--out is required"));

    const urbica::DatasetData city = urbica::democity::buildCity(options);
    QString error;
    if (!urbica::writeDataset(city, out, &error)) {
        say(stderr, QStringLiteral("urbica-democity: %1").arg(error));
        return 1;
    }
    if (!programFiles.isEmpty() &&
        !urbica::democity::writeProgramFiles(programFiles, out, &error)) {
        say(stderr, QStringLiteral("urbica-democity: %1").arg(error));
        return 1;
    }
    say(stdout, urbica::democity::summaryLine(urbica::democity::summarize(city)));
    return 0;
}
