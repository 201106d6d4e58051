#include "dataset/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dataset/datafile.h"
#include "dataset/numbers.h"

using namespace urbica;

namespace {

const QString kSep = QDir::separator();

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeLines(const QString& dir, const QStringList& lines, const char* eol = "\r\n") {
    QByteArray out;
    for (const QString& l : lines) out += l.toUtf8() + eol;
    ASSERT_TRUE(writeFileAtomically(dir + "/urbica.cfg", out));
}

// A valid settings file with every value off its default.
QStringList sampleLines(const QString& dataDir) {
    return {"3",         "5",     "6",     "7",    "2024-03-05 10:20:30",
            "255",       "9.5",   "1",     "4",    "8",
            "",          "2",     "12.25", "1",    "1",
            "1",         dataDir, " x18 ", "1",    "0",
            "1",         "150",   "300.5", "9000", "7200",
            "  line 26", "0",     "0",     "3.5"};
}

}  // namespace

TEST(Settings, MissingFileGivesDefaults) {
    QTemporaryDir dir;
    Settings s;
    s.labelFontBold = 1;
    EXPECT_FALSE(readSettings(s, dir.path()));
    EXPECT_EQ(s.aboutshow, 1);
    EXPECT_EQ(s.savesizecheck, 0);
    EXPECT_EQ(s.mapBackColor, 14737632);
    EXPECT_EQ(s.labelFontSize, 12.0f);
    EXPECT_EQ(s.iconSizeThreshold, 10.0f);
    EXPECT_EQ(s.pickTolerance, 7.0f);
    EXPECT_EQ(s.addselfind, 1);
    EXPECT_EQ(s.remselfind, 1);
    EXPECT_EQ(s.savedDate, Settings::zeroDate());
    EXPECT_EQ(s.dataDirectory, dir.path() + kSep);
    EXPECT_FALSE(s.windowRectRead);
    EXPECT_EQ(s.labelFontBold, 1) << "the error path leaves labelFontBold as it was";
}

TEST(Settings, ReadsAllTwentyNineLines) {
    QTemporaryDir dir;
    writeLines(dir.path(), sampleLines("/data/city/"));
    Settings s;
    ASSERT_TRUE(readSettings(s, dir.path()));
    EXPECT_EQ(s.reservedInt1, 3);
    EXPECT_EQ(s.savedTypeIndex, 5);
    EXPECT_EQ(s.savedClassIndex, 6);
    EXPECT_EQ(s.reservedInt4, 7);
    EXPECT_EQ(s.savedDate, QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)));
    EXPECT_EQ(s.mapBackColor, 255);
    EXPECT_EQ(s.labelFontSize, 9.5f);
    EXPECT_EQ(s.allwindow, 1);
    EXPECT_EQ(s.tableSaveMode, 2);
    EXPECT_EQ(s.iconSizeThreshold, 12.25f);
    EXPECT_EQ(s.labelFontBold, 1);
    EXPECT_EQ(s.asctoclose, 1);
    EXPECT_EQ(s.dataDirFromSettings, 1);
    EXPECT_EQ(s.dataDirectory, QString("/data/city/"));
    EXPECT_EQ(s.reservedText18, QString(" x18 ")) << "text lines are taken untrimmed";
    EXPECT_EQ(s.bw, 1);
    EXPECT_EQ(s.aboutshow, 0);
    EXPECT_EQ(s.savesizecheck, 1);
    EXPECT_TRUE(s.windowRectRead);
    EXPECT_EQ(s.windowLeft, 150.0);
    EXPECT_EQ(s.windowTop, 300.5);
    EXPECT_EQ(s.windowWidth, 9000.0);
    EXPECT_EQ(s.windowHeight, 7200.0);
    EXPECT_EQ(s.reservedText26, QString("  line 26"));
    EXPECT_EQ(s.addselfind, 0);
    EXPECT_EQ(s.remselfind, 0);
    EXPECT_EQ(s.pickTolerance, 3.5f);
}

TEST(Settings, RoundTripKeepsEveryValue) {
    QTemporaryDir dir;
    Settings a;
    a.reservedInt1 = -4;
    a.savedTypeIndex = 17;
    a.savedDate = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58));
    a.mapBackColor = 0x123456;
    a.labelFontSize = 10.1f;
    a.iconSizeThreshold = 0.3f;
    a.pickTolerance = 6.75f;
    a.tableSaveMode = 2;
    a.dataDirFromSettings = 1;
    a.dataDirectory = QString::fromUtf8("/данные/город/");
    a.reservedText18 = "eighteen";
    a.reservedText26 = "twenty-six";
    a.windowLeft = 1234.5;
    a.windowTop = 15;
    a.windowWidth = 8475;
    a.windowHeight = 1e7;
    a.savesizecheck = 1;
    a.labelFontBold = 1;
    ASSERT_TRUE(writeSettings(a, dir.path()));

    const QByteArray text = readFile(dir.path() + "/urbica.cfg");
    EXPECT_EQ(text.count("\r\n"), kSettingsLines);
    EXPECT_FALSE(text.contains('e') && text.contains("e+"))
        << "no exponent: the reader stops at it";
    EXPECT_EQ(text.split('\n')[10], QByteArray("\r")) << "line 11 is written empty";

    Settings b;
    ASSERT_TRUE(readSettings(b, dir.path()));
    EXPECT_EQ(b.reservedInt1, a.reservedInt1);
    EXPECT_EQ(b.savedTypeIndex, a.savedTypeIndex);
    EXPECT_EQ(b.savedDate, a.savedDate);
    EXPECT_EQ(b.mapBackColor, a.mapBackColor);
    EXPECT_EQ(b.labelFontSize, a.labelFontSize);
    EXPECT_EQ(b.iconSizeThreshold, a.iconSizeThreshold);
    EXPECT_EQ(b.pickTolerance, a.pickTolerance);
    EXPECT_EQ(b.tableSaveMode, a.tableSaveMode);
    EXPECT_EQ(b.dataDirectory, a.dataDirectory);
    EXPECT_EQ(b.reservedText18, a.reservedText18);
    EXPECT_EQ(b.reservedText26, a.reservedText26);
    EXPECT_EQ(b.windowLeft, a.windowLeft);
    EXPECT_EQ(b.windowHeight, a.windowHeight);
    EXPECT_EQ(b.labelFontBold, a.labelFontBold);

    // The zero date survives too.
    Settings z;
    ASSERT_TRUE(writeSettings(z, dir.path()));
    Settings z2;
    ASSERT_TRUE(readSettings(z2, dir.path()));
    EXPECT_EQ(z2.savedDate, Settings::zeroDate());
}

TEST(Settings, LinesThirtyToThirtyFourAreOptional) {
    QTemporaryDir dir;
    const QStringList lines = sampleLines(dir.path() + "/");
    struct Case {
        QStringList extra;
        int16_t scaleBar, labelsApart, smoothing = 0, sidePanelWidth = 0, labelsApartChosen = 0;
    } cases[] = {
        {{}, 1, 0},                  // a file of 29 lines: the defaults
        {{"0"}, 0, 0},               // only line 30
        {{"0", "1"}, 0, 1},          // lines 30 and 31
        {{"5", "-2"}, 1, 1},         // any other number is on
        {{"99999", "x"}, 1, 0},      // out of range, or no number: the default
        {{"1", "0", "1"}, 1, 0, 1},  // "Сглаживание" on
        {{"1", "0", "x"}, 1, 0, 0},  // unreadable: off
        {{"1", "0", "0", "320", "1"}, 1, 0, 0, 320, 1},  // the side panel's width, the option set
        {{"1", "0", "0", "20", "0"}, 1, 0, 0, 0, 0},     // a panel narrower than any is the default
    };
    for (const Case& c : cases) {
        writeLines(dir.path(), lines + c.extra);
        Settings s;
        ASSERT_TRUE(readSettings(s, dir.path())) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.scaleBar, c.scaleBar) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.labelsApart, c.labelsApart) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.smoothing, c.smoothing) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.sidePanelWidth, c.sidePanelWidth) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.labelsApartChosen, c.labelsApartChosen) << c.extra.join(',').toStdString();
        EXPECT_EQ(s.pickTolerance, 3.5f) << "the first 29 lines read as before";
        Settings again = s;
        ASSERT_TRUE(writeSettings(s, dir.path()));
        ASSERT_TRUE(readSettings(again, dir.path()));
        EXPECT_EQ(again.scaleBar, s.scaleBar);
        EXPECT_EQ(again.labelsApart, s.labelsApart);
        EXPECT_EQ(again.smoothing, s.smoothing);
        EXPECT_EQ(again.sidePanelWidth, s.sidePanelWidth);
        EXPECT_EQ(again.labelsApartChosen, s.labelsApartChosen);
    }
}

TEST(Settings, ShortOrBadFileGivesAllDefaults) {
    QTemporaryDir dir;
    QStringList lines = sampleLines("/data/city/");
    writeLines(dir.path(), lines.mid(0, 10));
    Settings s;
    s.reservedText26 = "kept";
    EXPECT_FALSE(readSettings(s, dir.path()));
    EXPECT_EQ(s.reservedInt1, 1) << "not the first ten values";
    EXPECT_EQ(s.savedTypeIndex, 1);
    EXPECT_EQ(s.labelFontSize, 12.0f);
    EXPECT_EQ(s.allwindow, 0);
    EXPECT_EQ(s.reservedText26, QString("kept"));
    EXPECT_EQ(s.dataDirectory, dir.path() + kSep);

    // A 16-bit value out of range cannot be taken: the whole read falls back.
    lines[19] = "40000";
    writeLines(dir.path(), lines);
    EXPECT_FALSE(readSettings(s, dir.path()));
    EXPECT_EQ(s.aboutshow, 1);
    EXPECT_EQ(s.labelFontBold, 1) << "line 14 was read before the failure and is kept";

    // Cut short after line 26: what was read before the end is kept for
    // labelFontBold and line 26, everything else falls back.
    s = Settings{};
    writeLines(dir.path(), sampleLines("/data/city/").mid(0, 27));
    EXPECT_FALSE(readSettings(s, dir.path()));
    EXPECT_EQ(s.labelFontBold, 1);
    EXPECT_EQ(s.reservedText26, QString("  line 26"));
    EXPECT_EQ(s.labelFontSize, 12.0f);
    EXPECT_EQ(s.savesizecheck, 0);
}

TEST(Settings, DateLineIsReadLenientlyAndNeverResetsTheFile) {
    QTemporaryDir dir;
    const struct {
        const char* text;
        QDateTime date;
    } cases[] = {
        {"2024-03-05 10:20:30", QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30))},
        {"05.03.2024 9:05", QDateTime(QDate(2024, 3, 5), QTime(9, 5))},
        {"5.3.2024", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"3/5/2024", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"3/5/2024 1:02:03 PM", QDateTime(QDate(2024, 3, 5), QTime(13, 2, 3))},
        {"05.03.24", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"2024-03-05T10:20:30.000", QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30))},
        {"12:00:00 AM", Settings::zeroDate()},
        {"12:30 pm", QDateTime(Settings::zeroDate().date(), QTime(12, 30))},
        {"not a date", Settings::zeroDate()},
        {"31.02.2024", Settings::zeroDate()},
        {"", Settings::zeroDate()},
    };
    for (const auto& c : cases) {
        QStringList lines = sampleLines("/data/city/");
        lines[4] = QString::fromUtf8(c.text);
        writeLines(dir.path(), lines);
        Settings s;
        EXPECT_TRUE(readSettings(s, dir.path())) << c.text;
        EXPECT_EQ(s.savedDate, c.date) << c.text;
        EXPECT_EQ(s.dataDirectory, QString("/data/city/")) << "the other lines are kept";
        EXPECT_EQ(s.savesizecheck, 1);
    }
}

TEST(Settings, NumberLinesFollowTheLeadingNumberRule) {
    QTemporaryDir dir;
    QStringList lines = sampleLines("/d/");
    lines[0] = " 12,5 ";  // stops at the comma
    lines[1] = "2.5";     // halves go to even
    lines[2] = "3.5";
    lines[3] = "";  // empty reads as 0
    lines[6] = "+7.25abc";
    writeLines(dir.path(), lines, "\n");  // plain LF line ends are read as well
    Settings s;
    ASSERT_TRUE(readSettings(s, dir.path()));
    EXPECT_EQ(s.reservedInt1, 12);
    EXPECT_EQ(s.savedTypeIndex, 2);
    EXPECT_EQ(s.savedClassIndex, 4);
    EXPECT_EQ(s.reservedInt4, 0);
    EXPECT_EQ(s.labelFontSize, 7.25f);

    EXPECT_EQ(leadingNumber("-0.5x"), -0.5);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber("1.2.3"), 1.2);
}

TEST(Settings, DataDirectoryComesFromLineSeventeenOnlyWhenAsked) {
    QTemporaryDir dir;
    QStringList lines = sampleLines("/somewhere/city");  // no trailing separator
    writeLines(dir.path(), lines);
    Settings s;
    ASSERT_TRUE(readSettings(s, dir.path()));
    EXPECT_EQ(s.dataDirectory, QString("/somewhere/city")) << "taken unchanged";
    EXPECT_EQ(dataFilePath(s.dataDirectory, "urbica.dat"), QString("/somewhere/cityurbica.dat"));

    lines[15] = "0";
    writeLines(dir.path(), lines);
    ASSERT_TRUE(readSettings(s, dir.path()));
    EXPECT_EQ(s.dataDirectory, dir.path() + kSep);
    EXPECT_EQ(s.line17Text, QString("/somewhere/city"));
}

TEST(Settings, WriteFailureIsReportedAndKeepsNothingHalfWritten) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(writeSettings(Settings{}, dir.path() + "/missing/folder", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Messages, LookupIsEmptyAndBuiltInTextsWin) {
    EXPECT_TRUE(messageText("urbica", 23).isEmpty());
    EXPECT_EQ(message("urbica", 23, "Нет данных"), QString("Нет данных"));
}

TEST(Numbers, NearestAndIntegerDivision) {
    EXPECT_EQ(nearest(2.5), 2.0);
    EXPECT_EQ(nearest(3.5), 4.0);
    EXPECT_EQ(nearest(-2.5), -2.0);
    EXPECT_EQ(intDiv(7.5, 2), 4);  // 8 \ 2
    EXPECT_EQ(intDiv(-7, 2), -3);  // truncates towards zero
    EXPECT_EQ(intDiv(5, 0.4), 0);  // a divisor that rounds to 0 gives 0, not a trap
}
