// One folding of texts for names and searches: every character outside
// Windows-1251 becomes its closest letters, so that a name written into the
// dataset and a text typed to find it compare alike ("Klenzestraße" and
// "Klenzestrasse", "Nørrebrogade" and "Norrebrogade").
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace urbica {

// What a folding changed.
struct FoldStats {
    int64_t replacedCharacters = 0;  // characters outside the code page given a near letter
    int64_t unknownCharacters = 0;   // characters with no near letter, written as '?'
};

// True when the character has a place in Windows-1251.
bool inCp1251(char16_t c);

// The text with every character outside Windows-1251 replaced by its closest
// letters: a table for Cyrillic letters of other languages, ligatures and
// dashes, then the base letter without its accents; '?' only when nothing is
// close. Marks of direction and soft hyphens are dropped. A text that is
// already in the code page comes back unchanged.
QString foldToCp1251(const QString& text, FoldStats* stats = nullptr);

// Latin double spellings of national letters folded to one letter: AA, AE
// to A, OE to O, UE to U (after foldToCp1251 has made Å, Æ, Ø, Ü into A,
// AE, O, U). The text is an upper-case search key; other letters stay.
QString foldLatinSpellings(QStringView upperKey);
// True when foldLatinSpellings would change the text.
bool hasLatinSpellings(QStringView upperKey);

}  // namespace urbica
