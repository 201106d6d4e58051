// Texts of an OpenStreetMap extract made fit for the dataset: Windows-1251
// letters only, and lengths that fit the fixed fields.
#pragma once

#include <QString>

#include "dataset/textfold.h"

namespace urbica::osmimport {

// Counts of what the conversions changed, for the closing report.
struct TextStats {
    int64_t replacedCharacters = 0;  // characters outside the code page given a near letter
    int64_t unknownCharacters = 0;   // characters with no near letter, written as '?'
    int64_t cutTexts = 0;            // texts cut to their field
    int64_t shortenedStreets = 0;    // street names shortened by abbreviations
};

using urbica::inCp1251;

// The text folded into Windows-1251 letters (foldToCp1251, the same folding
// the searches apply to what is typed), counted in stats.
QString toCp1251Letters(const QString& text, TextStats& stats);

// The text cut to at most length characters (trailing blanks trimmed),
// counted when anything was lost.
QString fitText(const QString& text, int length, TextStats& stats);

// A street name as street directories list it, under its own word: a type
// word in front (улица, переулок, вуліца ...) goes after the rest, in small
// letters ("улица Маросейка" -> "Маросейка улица"); other names are kept.
QString typeWordLast(const QString& name);

// A street name made to fit length characters: common words of street names
// (улица, проспект, переулок ...) are abbreviated one after another until it
// fits, and only then is the rest cut.
QString fitStreetName(const QString& name, int length, TextStats& stats);

}  // namespace urbica::osmimport
