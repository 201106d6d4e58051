// The four tools answer --help, --version, an unknown option and a missing
// value the same way.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

struct Tool {
    const char* name;
    const char* exe;
    QStringList missingValue;  // arguments whose last option lacks its value
    const char* missingOption;
};

TEST(ToolCommandLine, HelpVersionUnknownOptionAndMissingValue) {
    const Tool tools[] = {
        {"urbica-import",
         IMPORT_EXE,
         {QStringLiteral("city.osm"), QStringLiteral("--out")},
         "--out"},
        {"urbica-find", FIND_EXE, {QStringLiteral("--data")}, "--data"},
        {"urbica-democity", DEMOCITY_EXE, {QStringLiteral("--scale")}, "--scale"},
        {"urbica-render", RENDER_EXE, {QStringLiteral("--out")}, "--out"},
    };
    for (const Tool& t : tools) {
        SCOPED_TRACE(t.name);
        const QString exe = QString::fromUtf8(t.exe);
        const QString name = QString::fromUtf8(t.name);
        for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Outcome r = run(exe, {help});
            EXPECT_EQ(r.status, 0);
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("Использование: ") + name))
                << r.out.toStdString();
            EXPECT_TRUE(r.out.contains(QStringLiteral("--version"))) << r.out.toStdString();
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        const Outcome v = run(exe, {QStringLiteral("--version")});
        EXPECT_EQ(v.status, 0);
        EXPECT_EQ(v.out.trimmed(), name + QStringLiteral(" 1.0"));

        const Outcome unknown = run(exe, {QStringLiteral("--no-such-option")});
        EXPECT_EQ(unknown.status, 2);
        EXPECT_TRUE(unknown.out.isEmpty());
        EXPECT_TRUE(unknown.err.contains(QStringLiteral("неизвестный ключ --no-such-option")))
            << unknown.err.toStdString();

        const Outcome missing = run(exe, t.missingValue);
        EXPECT_EQ(missing.status, 2);
        EXPECT_TRUE(missing.err.contains(
            QStringLiteral("после ключа %1 нет значения").arg(QString::fromUtf8(t.missingOption))))
            << missing.err.toStdString();
        EXPECT_TRUE(missing.err.contains(name + QStringLiteral(" --help")));
    }
}

}  // namespace
