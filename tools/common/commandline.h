// One command-line convention for the tools: the arguments are parsed by
// QCommandLineParser; --help prints the usage on standard output and --version
// the version, both with status 0; an unknown option or a missing value is
// named on standard error with status 2. The texts are Russian, as the
// viewer's.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace urbica::cli {

inline constexpr int kBadUse = 2;

// Where a text goes: a line (or several) without the final newline.
using Sink = std::function<void(const QString&)>;
Sink standardOutput();
Sink standardError();

// "urbica-import 1.0"
QString versionLine(const QString& program);

class CommandLine {
public:
    // synopsis: what follows the program's name on the usage line;
    // about: one sentence on what the program does.
    CommandLine(QString program, QString synopsis, QString about);

    void addFlag(const QStringList& names, const QString& description);
    void addOption(const QStringList& names, const QString& valueName, const QString& description);
    // Everything from the first positional argument on is positional, for
    // commands that parse their own options.
    void stopAtFirstPositional();
    // Text printed after the options in the help (commands, notes).
    void setEpilogue(const QString& text) { epilogue_ = text; }

    // Parses args, the program's name first. Returns the exit status when
    // the program is to stop now, having written what it has to say: 0
    // after --help or --version, kBadUse after a fault. Nothing when the
    // program goes on.
    std::optional<int> parse(const QStringList& args, const Sink& out, const Sink& err);
    std::optional<int> parse(const QStringList& args) {
        return parse(args, standardOutput(), standardError());
    }

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    QStringList values(const QString& name) const { return parser_.values(name); }
    QStringList positional() const { return parser_.positionalArguments(); }

    QString helpText() const;
    // "program: message" and where to find the usage, on err; returns kBadUse.
    int fail(const QString& message, const Sink& err) const;
    int fail(const QString& message) const { return fail(message, standardError()); }

private:
    struct Entry {
        QStringList names;
        QString valueName;
        QString description;
    };
    static QString dashed(const QString& name);
    QString missingValueOf(const QStringList& args) const;

    QString program_, synopsis_, about_, epilogue_;
    std::vector<Entry> entries_;
    QCommandLineParser parser_;
};

}  // namespace urbica::cli
