// urbica-find --data DIR COMMAND ...: see findtool.h.
#include <QCoreApplication>
#include <QFile>

#include "findtool.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i) args << QByteArray(argv[i]);
    QFile in, out, err;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly) ||
        !err.open(stderr, QIODevice::WriteOnly))
        return 2;
    return urbica::findtool::run(args, in, out, err);
}
