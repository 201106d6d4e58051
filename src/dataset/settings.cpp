#include "dataset/settings.h"

#include <QStringDecoder>
#include <QStringList>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/numbers.h"

namespace urbica {

QDateTime Settings::zeroDate() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0)); }

namespace {

QString separator() {
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

QString defaultDataDirectory(const QString& programDirectory) {
    return programDirectory + separator();
}

std::optional<int16_t> toI16(const QString& line) {
    double v = nearest(leadingNumber(line.trimmed()));
    if (v < -32768 || v > 32767) return std::nullopt;
    return int16_t(v);
}
std::optional<int32_t> toI32(const QString& line) {
    double v = nearest(leadingNumber(line.trimmed()));
    if (v < -2147483648.0 || v > 2147483647.0) return std::nullopt;
    return int32_t(v);
}
std::optional<float> toF32(const QString& line) {
    double v = leadingNumber(line.trimmed());
    if (std::fabs(v) > double(std::numeric_limits<float>::max())) return std::nullopt;
    return float(v);
}
double toF64(const QString& line) { return leadingNumber(line.trimmed()); }

std::optional<QDateTime> toDate(const QString& line) {
    const QString t = line.trimmed();
    static const char* const withDate[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd",
                                           "dd.MM.yyyy H:mm:ss",  "dd.MM.yyyy",
                                           "d.M.yyyy H:mm:ss",    "d.M.yyyy"};
    for (const char* f : withDate) {
        QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    for (const char* f : {"H:mm:ss", "H:mm"}) {
        QTime tm = QTime::fromString(t, QLatin1String(f));
        if (tm.isValid()) return QDateTime(Settings::zeroDate().date(), tm);
    }
    return std::nullopt;
}

void applyDefaults(Settings& s, const QString& programDirectory) {
    const int16_t bold = s.labelFontBold;
    const QString line26 = s.reservedText26;
    s = Settings{};
    s.labelFontBold = bold;
    s.reservedText26 = line26;
    s.dataDirectory = defaultDataDirectory(programDirectory);
    s.line17Text = s.dataDirectory;
}

QStringList splitLines(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) text = fromCp1251(raw.constData(), int(raw.size()));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    return lines;
}

// Fills s from the lines; false at the first line that is missing or cannot be taken.
bool parse(Settings& s, const QStringList& lines, const QString& programDirectory) {
    if (lines.size() < kSettingsLines) return false;
    auto line = [&](int n) -> const QString& { return lines[n - 1]; };
#define TAKE(field, conv, n)    \
    {                           \
        auto v = conv(line(n)); \
        if (!v) return false;   \
        s.field = *v;           \
    }
    TAKE(reservedInt1, toI16, 1)
    TAKE(savedTypeIndex, toI16, 2)
    TAKE(savedClassIndex, toI16, 3)
    TAKE(reservedInt4, toI16, 4)
    TAKE(savedDate, toDate, 5)
    TAKE(mapBackColor, toI32, 6)
    TAKE(labelFontSize, toF32, 7)
    TAKE(allwindow, toI16, 8)
    TAKE(reservedInt9, toI16, 9)
    TAKE(reservedInt10, toI16, 10)
    TAKE(tableSaveMode, toI16, 12)
    TAKE(iconSizeThreshold, toF32, 13)
    TAKE(labelFontBold, toI16, 14)
    TAKE(asctoclose, toI16, 15)
    TAKE(dataDirFromSettings, toI16, 16)
    s.line17Text = line(17);
    s.dataDirectory =
        s.dataDirFromSettings == 1 ? line(17) : defaultDataDirectory(programDirectory);
    s.reservedText18 = line(18);
    TAKE(bw, toI16, 19)
    TAKE(aboutshow, toI16, 20)
    TAKE(savesizecheck, toI16, 21)
    s.windowLeft = toF64(line(22));
    s.windowTop = toF64(line(23));
    s.windowWidth = toF64(line(24));
    s.windowHeight = toF64(line(25));
    s.reservedText26 = line(26);
    TAKE(addselfind, toI16, 27)
    TAKE(remselfind, toI16, 28)
    TAKE(pickTolerance, toF32, 29)
#undef TAKE
    s.windowRectRead = true;
    return true;
}

// Shortest fixed-point text that reads back to the same value (no exponent:
// the reader stops at a letter).
template <typename T>
QString fixed(T v) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

}  // namespace

bool readSettings(Settings& s, const QString& programDirectory) {
    DataFile f(
        platformPath(programDirectory + QStringLiteral("\\") + QLatin1String(kSettingsFileName)));
    QByteArray raw;
    Settings read = s;
    read.windowRectRead = false;
    const bool ok = f.isOpen() && f.readAll(raw) && parse(read, splitLines(raw), programDirectory);
    // On failure labelFontBold and line 26 hold whatever was read before it.
    if (!ok) applyDefaults(read, programDirectory);
    s = read;
    return ok;
}

QByteArray settingsText(const Settings& s) {
    QStringList l;
    auto i = [](int v) { return QString::number(v); };
    l << i(s.reservedInt1) << i(s.savedTypeIndex) << i(s.savedClassIndex) << i(s.reservedInt4)
      << s.savedDate.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << i(s.mapBackColor)
      << fixed(s.labelFontSize) << i(s.allwindow) << i(s.reservedInt9) << i(s.reservedInt10)
      << QString() << i(s.tableSaveMode) << fixed(s.iconSizeThreshold) << i(s.labelFontBold)
      << i(s.asctoclose) << i(s.dataDirFromSettings) << s.dataDirectory << s.reservedText18
      << i(s.bw) << i(s.aboutshow) << i(s.savesizecheck) << fixed(s.windowLeft)
      << fixed(s.windowTop) << fixed(s.windowWidth) << fixed(s.windowHeight) << s.reservedText26
      << i(s.addselfind) << i(s.remselfind) << fixed(s.pickTolerance);
    QByteArray out;
    for (const QString& line : l) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

bool writeSettings(const Settings& s, const QString& programDirectory, QString* error) {
    return writeFileAtomically(
        platformPath(programDirectory + QStringLiteral("\\") + QLatin1String(kSettingsFileName)),
        settingsText(s), error);
}

QString messageText(const QString& section, int number) {
    Q_UNUSED(section);
    Q_UNUSED(number);
    return QString();
}

QString message(const QString& section, int number, const QString& builtIn) {
    QString t = messageText(section, number);
    return t.isEmpty() ? builtIn : t;
}

}  // namespace urbica
