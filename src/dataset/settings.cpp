#include "dataset/settings.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/numbers.h"
#include "dataset/writerlock.h"

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

// Line 5 in the forms a date parser of the period reads: a date (day first
// with dots, month first with slashes, or year first with dashes; two-digit
// years 30..99 are 19xx, 00..29 are 20xx), a time (hours, minutes, seconds
// if given, AM or PM if given) or both, in either order, with a "T" or blanks
// between them.
std::optional<QDateTime> toDate(const QString& line) {
    static const QRegularExpression dateForm(
        QStringLiteral("(\\d{1,4})([./-])(\\d{1,2})\\2(\\d{1,4})"));
    static const QRegularExpression timeForm(
        QStringLiteral("(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:[.,]\\d+)?\\s*([AaPp][Mm])?"));
    QString rest = line.trimmed();
    if (rest.isEmpty()) return std::nullopt;
    QDate date = Settings::zeroDate().date();
    QTime time(0, 0, 0);
    const QRegularExpressionMatch d = dateForm.match(rest);
    if (d.hasMatch()) {
        int a = d.captured(1).toInt(), b = d.captured(3).toInt(), c = d.captured(4).toInt();
        const QChar sep = d.captured(2).at(0);
        int day, month, year;
        if (d.captured(1).size() == 4) {  // yyyy-M-d, also with dots or slashes
            year = a, month = b, day = c;
        } else if (sep == QLatin1Char('/')) {  // M/d/yyyy
            month = a, day = b, year = c;
        } else {  // d.M.yyyy, d-M-yyyy
            day = a, month = b, year = c;
        }
        if (d.captured(4).size() <= 2 && d.captured(1).size() != 4) year += year < 30 ? 2000 : 1900;
        date = QDate(year, month, day);
        if (!date.isValid()) return std::nullopt;
        rest.remove(d.capturedStart(), d.capturedLength());
    }
    const QRegularExpressionMatch t = timeForm.match(rest);
    if (t.hasMatch()) {
        int h = t.captured(1).toInt();
        const int m = t.captured(2).toInt();
        const int sec = t.captured(3).isEmpty() ? 0 : t.captured(3).toInt();
        if (!t.captured(4).isEmpty()) {
            if (h < 1 || h > 12) return std::nullopt;
            const bool pm = t.captured(4).at(0).toUpper() == QLatin1Char('P');
            h = h % 12 + (pm ? 12 : 0);
        }
        time = QTime(h, m, sec);
        if (!time.isValid()) return std::nullopt;
        rest.remove(t.capturedStart(), t.capturedLength());
    }
    if (!d.hasMatch() && !t.hasMatch()) return std::nullopt;
    // Whatever is left may only be blanks and the "T" of the ISO form.
    rest.remove(QLatin1Char('T')).remove(QLatin1Char('t'));
    if (!rest.trimmed().isEmpty()) return std::nullopt;
    return QDateTime(date, time);
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

// Fills s from the lines in their order; false at the first line that is
// missing or cannot be taken, with the lines before it already taken. A date
// that cannot be read is the zero date and fails nothing.
bool parse(Settings& s, const QStringList& lines, const QString& programDirectory) {
    auto line = [&](int n) -> const QString& { return lines[n - 1]; };
#define HAVE(n) \
    if (lines.size() < (n)) return false;
#define TAKE(field, conv, n)    \
    {                           \
        HAVE(n)                 \
        auto v = conv(line(n)); \
        if (!v) return false;   \
        s.field = *v;           \
    }
    TAKE(reservedInt1, toI16, 1)
    TAKE(savedTypeIndex, toI16, 2)
    TAKE(savedClassIndex, toI16, 3)
    TAKE(reservedInt4, toI16, 4)
    HAVE(5)
    s.savedDate = toDate(line(5)).value_or(Settings::zeroDate());
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
    HAVE(17)
    s.line17Text = line(17);
    s.dataDirectory =
        s.dataDirFromSettings == 1 ? line(17) : defaultDataDirectory(programDirectory);
    HAVE(18)
    s.reservedText18 = line(18);
    TAKE(bw, toI16, 19)
    TAKE(aboutshow, toI16, 20)
    TAKE(savesizecheck, toI16, 21)
    HAVE(25)
    s.windowLeft = toF64(line(22));
    s.windowTop = toF64(line(23));
    s.windowWidth = toF64(line(24));
    s.windowHeight = toF64(line(25));
    HAVE(26)
    s.reservedText26 = line(26);
    TAKE(addselfind, toI16, 27)
    TAKE(remselfind, toI16, 28)
    TAKE(pickTolerance, toF32, 29)
#undef TAKE
#undef HAVE
    s.windowRectRead = true;
    // The later options: a missing or unreadable line keeps the default.
    auto flag = [&](int n, int16_t& field) {
        if (lines.size() < n) return;
        if (const auto v = toI16(line(n))) field = *v != 0 ? 1 : 0;
    };
    flag(30, s.scaleBar);
    flag(31, s.labelsApart);
    flag(32, s.smoothing);
    flag(34, s.labelsApartChosen);
    if (lines.size() >= 33)
        if (const auto v = toI16(line(33)); v && (*v == 0 || (*v >= 100 && *v <= 2000)))
            s.sidePanelWidth = *v;
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
    return readSettings(s, programDirectory, programDirectory);
}

bool readSettings(Settings& s, const QString& settingsFolder, const QString& defaultDataFolder) {
    DataFile f(
        platformPath(settingsFolder + QStringLiteral("\\") + QLatin1String(kSettingsFileName)));
    QByteArray raw;
    Settings read = s;
    read.windowRectRead = false;
    const bool ok = f.isOpen() && f.readAll(raw) && parse(read, splitLines(raw), defaultDataFolder);
    // On failure labelFontBold and line 26 hold whatever was read before it.
    if (!ok) applyDefaults(read, defaultDataFolder);
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
      << i(s.addselfind) << i(s.remselfind) << fixed(s.pickTolerance) << i(s.scaleBar)
      << i(s.labelsApart) << i(s.smoothing) << i(s.sidePanelWidth) << i(s.labelsApartChosen);
    QByteArray out;
    for (const QString& line : l) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

bool writeSettings(const Settings& s, const QString& programDirectory, QString* error) {
    const QString path =
        platformPath(programDirectory + QStringLiteral("\\") + QLatin1String(kSettingsFileName));
    // Two windows ending at once write one after the other; the last one wins whole.
    WriterLock lock;
    if (!lock.acquire(path, kFileLockWaitMs, fileBusyText(path), error)) return false;
    return writeFileAtomically(path, settingsText(s), error);
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
