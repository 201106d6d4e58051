#include "mainwindow/advertising.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace urbica;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(FreeFormList, CommasAndLineEndsSeparateItems) {
    EXPECT_EQ(parseFreeFormList(QStringLiteral("a,b\nc")),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(parseFreeFormList(QStringLiteral("a\r\nb\rc\n")),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // Blanks around an unquoted item are dropped, blanks inside kept.
    EXPECT_EQ(parseFreeFormList(QStringLiteral("  Пицца на дом ,\tцветы  ")),
              QStringList({QStringLiteral("Пицца на дом"), QStringLiteral("цветы")}));
    // An empty line and an empty field are empty items.
    EXPECT_EQ(parseFreeFormList(QStringLiteral("a\n\nb,,c")),
              QStringList({QStringLiteral("a"), QString(), QStringLiteral("b"), QString(),
                           QStringLiteral("c")}));
    EXPECT_TRUE(parseFreeFormList(QString()).isEmpty());
}

TEST(FreeFormList, QuotedItemsKeepCommasAndLoseQuotes) {
    EXPECT_EQ(parseFreeFormList(QStringLiteral("\"Кафе, бар\",  \"Такси\"\nдалее")),
              QStringList(
                  {QStringLiteral("Кафе, бар"), QStringLiteral("Такси"), QStringLiteral("далее")}));
    // Blanks inside the quotes stay; text after the closing quote is ignored.
    EXPECT_EQ(parseFreeFormList(QStringLiteral("\" a \"xyz,b")),
              QStringList({QStringLiteral(" a "), QStringLiteral("b")}));
    // A quote left open ends with its line.
    EXPECT_EQ(parseFreeFormList(QStringLiteral("\"open, item\nnext")),
              QStringList({QStringLiteral("open, item"), QStringLiteral("next")}));
}

TEST(FreeFormList, EveryItemIsFollowedByOneBlank) {
    EXPECT_EQ(advertisingText({QStringLiteral("a"), QStringLiteral("b c")}),
              QStringLiteral("a b c "));
    EXPECT_EQ(advertisingText({}), QString());
}

TEST(AdvertisingFile, ReadFromTheProgramDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(readAdvertising(dir.path()), QString()) << "a missing file gives no text";

    writeFile(dir.filePath(QStringLiteral("reklama.txt")),
              QStringLiteral("Цветы, \"Кафе, бар\"\r\nТакси\r\n").toUtf8());
    EXPECT_EQ(readAdvertising(dir.path()), QStringLiteral("Цветы Кафе, бар Такси "));

    // Windows Cyrillic bytes for "Мир".
    writeFile(dir.filePath(QStringLiteral("reklama.txt")), QByteArray("\xcc\xe8\xf0\r\n"));
    EXPECT_EQ(readAdvertising(dir.path()), QStringLiteral("Мир "));

    writeFile(dir.filePath(QStringLiteral("reklama.txt")), QByteArray());
    EXPECT_EQ(readAdvertising(dir.path()), QString());
}

TEST(Ticker, RotatesOneCharacterAtATime) {
    QString t = QStringLiteral("abc ");
    rotateTicker(t);
    EXPECT_EQ(t, QStringLiteral("bc a"));
    for (int i = 0; i < 3; ++i) rotateTicker(t);
    EXPECT_EQ(t, QStringLiteral("abc ")) << "a full turn restores the text";

    QString one = QStringLiteral("x");
    rotateTicker(one);
    EXPECT_EQ(one, QStringLiteral("x"));
    QString empty;
    rotateTicker(empty);
    EXPECT_TRUE(empty.isEmpty());

    // A character outside the basic plane moves as a whole.
    QString wide = QString::fromUtf8("\xF0\x9F\x9A\x87M");  // metro sign, then M
    rotateTicker(wide);
    EXPECT_EQ(wide, QString::fromUtf8("M\xF0\x9F\x9A\x87"));
}

TEST(Ticker, LineShowsTheAddressFirst) {
    EXPECT_EQ(tickerLine(QStringLiteral("Такси ")),
              QStringLiteral("urbica.example/reklama <- Такси "));
}
