#include "commandline.h"

#include <cstdio>

#ifndef URBICA_VERSION
#define URBICA_VERSION "1.0"
#endif

namespace urbica::cli {

namespace {

Sink fileSink(FILE* to) {
    return [to](const QString& text) {
        std::fputs(text.toUtf8().constData(), to);
        std::fputc('\n', to);
        std::fflush(to);
    };
}

}  // namespace

Sink standardOutput() { return fileSink(stdout); }
Sink standardError() { return fileSink(stderr); }

QString versionLine(const QString& program) {
    return program + QLatin1Char(' ') + QLatin1String(URBICA_VERSION);
}

CommandLine::CommandLine(QString program, QString synopsis, QString about)
    : program_(std::move(program)), synopsis_(std::move(synopsis)), about_(std::move(about)) {
    addFlag({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("эта справка"));
    addFlag({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("версия программы"));
}

void CommandLine::addFlag(const QStringList& names, const QString& description) {
    parser_.addOption(QCommandLineOption(names, description));
    entries_.push_back({names, QString(), description});
}

void CommandLine::addOption(const QStringList& names, const QString& valueName,
                            const QString& description) {
    parser_.addOption(QCommandLineOption(names, description, valueName));
    entries_.push_back({names, valueName, description});
}

void CommandLine::stopAtFirstPositional() {
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
}

QString CommandLine::dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// QCommandLineParser says only in English which option lacks its value; it
// can lack one only as the last argument.
QString CommandLine::missingValueOf(const QStringList& args) const {
    if (args.size() < 2) return {};
    QString last = args.back();
    if (!last.startsWith(u'-')) return {};
    while (last.startsWith(u'-')) last.remove(0, 1);
    for (const Entry& e : entries_)
        if (!e.valueName.isEmpty() && e.names.contains(last)) return dashed(last);
    return {};
}

QString CommandLine::helpText() const {
    QStringList lines;
    lines << QStringLiteral("Использование: %1 %2").arg(program_, synopsis_).trimmed();
    lines << about_ << QString() << QStringLiteral("Ключи:");
    QStringList left;
    qsizetype width = 0;
    for (const Entry& e : entries_) {
        QStringList names;
        for (const QString& n : e.names) names << dashed(n);
        QString l = names.join(QStringLiteral(", "));
        if (!e.valueName.isEmpty()) l += QLatin1Char(' ') + e.valueName;
        width = std::max(width, l.size());
        left << l;
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        lines << QStringLiteral("  %1  %2")
                     .arg(left[qsizetype(i)], -int(width))
                     .arg(entries_[i].description);
    if (!epilogue_.isEmpty()) lines << QString() << epilogue_;
    return lines.join(QLatin1Char('\n'));
}

int CommandLine::fail(const QString& message, const Sink& err) const {
    err(QStringLiteral("%1: %2\nСправка: %1 --help").arg(program_, message));
    return kBadUse;
}

std::optional<int> CommandLine::parse(const QStringList& args, const Sink& out, const Sink& err) {
    if (!parser_.parse(args)) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty())
            return fail(QStringLiteral("неизвестный ключ %1").arg(dashed(unknown.front())), err);
        const QString missing = missingValueOf(args);
        if (!missing.isEmpty())
            return fail(QStringLiteral("после ключа %1 нет значения").arg(missing), err);
        return fail(parser_.errorText(), err);
    }
    if (parser_.isSet(QStringLiteral("help"))) {
        out(helpText());
        return 0;
    }
    if (parser_.isSet(QStringLiteral("version"))) {
        out(versionLine(program_));
        return 0;
    }
    return std::nullopt;
}

}  // namespace urbica::cli
