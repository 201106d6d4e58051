// The advertising ticker of the info line: the text of reklama.txt, rotated
// by one character per tick behind the advertiser's address.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace urbica {

inline const char kAdvertisingFile[] = "reklama.txt";
inline const char kAdvertiserAddress[] = "urbica.example/reklama";
inline const char kAdvertiserUrl[] = "https://urbica.example/reklama";
inline const char kVendorAddress[] = "urbica.example";
inline const char kVendorUrl[] = "https://urbica.example/";
// Class and name record of the advertised object on the map.
inline constexpr int kAdvertisedClass = 8;
inline constexpr int kAdvertisedRecord = 27868;
// Larger advertising files are read up to this many bytes.
inline constexpr qint64 kMaxAdvertisingBytes = 1 << 20;

// Items of a free-format list: separated by commas or line ends; blanks
// around an unquoted item are dropped; a double-quoted item may hold commas
// and loses its quotes (anything between the closing quote and the next
// separator is ignored). A line end right at the end of the text starts no item.
QStringList parseFreeFormList(const QString& text);

// Every item followed by one blank.
QString advertisingText(const QStringList& items);

// programDirectory/reklama.txt as ticker text (UTF-8, or Windows Cyrillic when
// the bytes are not UTF-8); empty when the file is missing or unreadable.
QString readAdvertising(const QString& programDirectory);

// Moves the first character to the end (a surrogate pair moves whole).
void rotateTicker(QString& adText);

// What the info line shows: the address, " <- ", then the text.
QString tickerLine(const QString& adText);

}  // namespace urbica
