// The address words of many languages (street types, directionals,
// place-name words, titles; src/search/dictionaries) as street names are
// compared: each word upper-cased and folded as search keys are, with the
// ASCII spellings of national letters read as the letters (Æ and AE, Ø and
// OE, Å and AA, Ü and UE alike) and an abbreviation with one meaning read
// as that word ("GL" as "GAMMEL", "SKT" as "SANKT"); the other meanings of
// abbreviations and the shortened endings of compounds ("RESIDENZSTR") are
// offered to the address index, which keeps those its street names hold.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "dataset/textfold.h"

namespace urbica {

// A quick "certainly not" for a set of words: by first letter and length.
class WordFilter {
public:
    void add(QStringView w) {
        if (!w.isEmpty())
            bits_[w[0].unicode() & 63] |= uint64_t(1) << std::min<qsizetype>(w.size(), 63);
    }
    bool mayHold(QStringView w) const {
        return !w.isEmpty() &&
               (bits_[w[0].unicode() & 63] >> std::min<qsizetype>(w.size(), 63) & 1) != 0;
    }

private:
    uint64_t bits_[64] = {};
};

class AddressWords {
public:
    // The words of every language, read once from the program's resources.
    static const AddressWords& instance();
    // Made from dictionary lines ("full|abbr|other"), for tests.
    static AddressWords fromLines(const QStringList& wordLines, const QStringList& endingLines);

    // The word as street keys hold it: a folded upper-case word (no dots) with
    // one meaning in every language is that meaning; any other word stays.
    QStringView canonical(QStringView word) const;
    // The compound with a shortened street-type ending written whole, for
    // each language's ending it may be ("RESIDENZSTR": RESIDENZSTRASSE,
    // RESIDENZSTRAT); empty when it has none.
    QStringList wholeEndings(const QString& word) const;
    // Every full word the word may stand for (also when languages disagree:
    // "ST" is SANKT, STORE, STREET ...); null when it is no abbreviation.
    const QStringList* meanings(QStringView word) const;
    // f(abbreviation, meanings) for every abbreviation.
    template <class F>
    void forEachAbbreviation(F f) const {
        for (auto it = meanings_.cbegin(); it != meanings_.cend(); ++it) f(it.key(), it.value());
    }

private:
    void addLine(const QString& line, bool ending);
    void finish();

    QHash<QString, QStringList> meanings_;  // variant -> full words
    QHash<QString, QString> unique_;        // variant -> its one full word
    WordFilter uniqueFilter_;
    struct Ending {
        QString variant, full;
    };
    std::vector<Ending> endings_;  // longest variant first
};

// The other spellings of a typed name for the name searches (findByText's
// spellings): the text as a folded search key with its dots dropped
// ("MARIENPL" for "Marienpl."), then with abbreviations written out
// ("GAMMEL KONGEVEJ" for "Gl. Kongevej") and shortened compound endings
// written whole ("RESIDENZSTRASSE"). At most kMaxNameSpellings, the text's
// own key first; empty when there is no other spelling.
inline constexpr int kMaxNameSpellings = 16;
QStringList nameSpellings(const QString& text,
                          const AddressWords& words = AddressWords::instance());

}  // namespace urbica
