// Texts of an OpenStreetMap extract made fit for the dataset: Windows-1251
// letters only, and lengths that fit the fixed fields.
#pragma once

#include <QString>

namespace urbica::osmimport {

// Counts of what the conversions changed, for the closing report.
struct TextStats {
    int64_t replacedCharacters = 0;  // characters outside the code page given a near letter
    int64_t unknownCharacters = 0;   // characters with no near letter, written as '?'
    int64_t cutTexts = 0;            // texts cut to their field
    int64_t shortenedStreets = 0;    // street names shortened by abbreviations
};

// True when the character has a place in Windows-1251.
bool inCp1251(char16_t c);

// The text with every character outside Windows-1251 replaced by its closest
// letter: a table for Cyrillic letters of other languages and for ligatures,
// then the base letter without its accents; '?' only when nothing is close.
QString toCp1251Letters(const QString& text, TextStats& stats);

// The text cut to at most length characters (trailing blanks trimmed),
// counted when anything was lost.
QString fitText(const QString& text, int length, TextStats& stats);

// A street name made to fit length characters: common words of street names
// (улица, проспект, переулок ...) are abbreviated one after another until it
// fits, and only then is the rest cut.
QString fitStreetName(const QString& name, int length, TextStats& stats);

}  // namespace urbica::osmimport
