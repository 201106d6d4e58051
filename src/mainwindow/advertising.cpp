#include "mainwindow/advertising.h"

#include <QStringDecoder>
#include <algorithm>

#include "dataset/binary.h"
#include "dataset/datafile.h"

namespace urbica {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isLineEnd(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

// Skips one line end (CR LF, LF or CR) at pos.
qsizetype skipLineEnd(const QString& t, qsizetype pos) {
    if (pos < t.size() && t[pos] == QLatin1Char('\r')) ++pos;
    if (pos < t.size() && t[pos] == QLatin1Char('\n')) ++pos;
    return pos;
}

}  // namespace

QStringList parseFreeFormList(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        while (pos < n && isBlank(text[pos])) ++pos;
        QString item;
        if (pos < n && text[pos] == QLatin1Char('"')) {
            const qsizetype start = ++pos;
            while (pos < n && text[pos] != QLatin1Char('"') && !isLineEnd(text[pos])) ++pos;
            item = text.mid(start, pos - start);
            if (pos < n && text[pos] == QLatin1Char('"')) ++pos;
            while (pos < n && text[pos] != QLatin1Char(',') && !isLineEnd(text[pos])) ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && text[pos] != QLatin1Char(',') && !isLineEnd(text[pos])) ++pos;
            item = text.mid(start, pos - start);
            while (!item.isEmpty() && isBlank(item.back())) item.chop(1);
        }
        items << item;
        if (pos < n) pos = text[pos] == QLatin1Char(',') ? pos + 1 : skipLineEnd(text, pos);
    }
    return items;
}

QString advertisingText(const QStringList& items) {
    QString out;
    for (const QString& item : items) out += item + QLatin1Char(' ');
    return out;
}

QString readAdvertising(const QString& programDirectory) {
    DataFile f(
        platformPath(programDirectory + QStringLiteral("\\") + QLatin1String(kAdvertisingFile)));
    if (!f.isOpen()) return QString();
    QByteArray raw;
    if (!f.readAt(0, std::min(f.size(), kMaxAdvertisingBytes), raw)) return QString();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) text = fromCp1251(raw.constData(), int(raw.size()));
    return advertisingText(parseFreeFormList(text));
}

void rotateTicker(QString& adText) {
    if (adText.size() < 2) return;
    const qsizetype take = adText[0].isHighSurrogate() && adText[1].isLowSurrogate() ? 2 : 1;
    adText = adText.mid(take) + adText.left(take);
}

QString tickerLine(const QString& adText) {
    return QLatin1String(kAdvertiserAddress) + QStringLiteral(" <- ") + adText;
}

}  // namespace urbica
