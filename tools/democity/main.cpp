// urbica-democity --out DIR [--seed N] [--scale K] [--program-files DIR]
// Writes the demo city dataset into DIR and prints a one-line summary.
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

#include "commandline.h"
#include "democity.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    urbica::cli::CommandLine cl(
        QStringLiteral("urbica-democity"),
        QStringLiteral("--out КАТАЛОГ [--seed N] [--scale K] [--program-files КАТАЛОГ]"),
        QStringLiteral("Делает набор данных придуманного города для знакомства с программой и "
                       "для проверок; одно и то же зерно даёт те же байты."));
    cl.addOption({QStringLiteral("out")}, QStringLiteral("КАТАЛОГ"),
                 QStringLiteral("каталог нового набора данных"));
    cl.addOption({QStringLiteral("seed")}, QStringLiteral("N"),
                 QStringLiteral("зерно случайных чисел (по умолчанию 1)"));
    cl.addOption({QStringLiteral("scale")}, QStringLiteral("K"),
                 QStringLiteral("город в K раз больше, от 1 до %1 (по умолчанию 1)")
                     .arg(urbica::democity::kMaxScale));
    cl.addOption(
        {QStringLiteral("program-files")}, QStringLiteral("КАТАЛОГ"),
        QStringLiteral("записать сюда файлы программы и urbica.cfg, указывающий на набор"));
    if (const auto status = cl.parse(app.arguments())) return *status;
    if (!cl.positional().isEmpty())
        return cl.fail(QStringLiteral("лишний аргумент %1").arg(cl.positional().front()));

    urbica::democity::Options options;
    if (cl.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        options.seed = cl.value(QStringLiteral("seed")).toULongLong(&ok);
        if (!ok)
            return cl.fail(QStringLiteral("--seed: нужно целое число от 0, а не «%1»")
                               .arg(cl.value(QStringLiteral("seed"))));
    }
    if (cl.isSet(QStringLiteral("scale"))) {
        bool ok = false;
        options.scale = cl.value(QStringLiteral("scale")).toInt(&ok);
        if (!ok || options.scale < 1 || options.scale > urbica::democity::kMaxScale)
            return cl.fail(QStringLiteral("--scale: нужно целое число от 1 до %1, а не «%2»")
                               .arg(urbica::democity::kMaxScale)
                               .arg(cl.value(QStringLiteral("scale"))));
    }
    const QString out = cl.value(QStringLiteral("out"));
    const QString programFiles = cl.value(QStringLiteral("program-files"));
    if (out.isEmpty()) return cl.fail(QStringLiteral("нужен ключ --out"));

    const urbica::DatasetData city = urbica::democity::buildCity(options);
    QString error;
    if (!urbica::writeDataset(city, out, &error)) {
        urbica::cli::standardError()(QStringLiteral("urbica-democity: %1").arg(error));
        return 1;
    }
    if (!programFiles.isEmpty() &&
        !urbica::democity::writeProgramFiles(programFiles, out, &error)) {
        urbica::cli::standardError()(QStringLiteral("urbica-democity: %1").arg(error));
        return 1;
    }
    urbica::cli::standardOutput()(urbica::democity::summaryLine(urbica::democity::summarize(city)));
    return 0;
}
