// Names found with one typo: a letter wrong, missing or extra, or two
// neighbouring letters swapped, in one word of the typed text that has at
// least kTypoWordLetters letters. The typed words then stand at the starts of
// words of the name, one after another; the last may be the beginning of a
// word ("Казанскй соб" finds "Казанский собор"), and when it has at least
// kTypoPrefixLetters letters, the beginning of a word with the typo in it
// ("Гостинны" finds "Гостиный двор"; "Сквер" does not find "Северная").
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace urbica {

inline constexpr int kTypoWordLetters = 5;
inline constexpr int kTypoPrefixLetters = 7;

// True when a and b differ by exactly one typo: one character wrong, missing
// or extra, or two neighbours swapped.
bool oneTypoApart(QStringView a, QStringView b);

// The typed text (a search key) cut into words for typoMatches.
struct TypoQuery {
    std::vector<QString> words;
    bool usable = false;  // it has a word long enough to forgive a typo in
};
TypoQuery typoQuery(const QString& wantedKey);

// True when the name's search key holds the typed words with exactly one
// typo in one long word; scratch is reused between calls.
bool typoMatches(QStringView nameKey, const TypoQuery& q, std::vector<QStringView>& scratch);

// The distinct words of many names with the names that hold each, so that a
// search one typo away looks at the few names that may match, not at all.
class TypoIndex {
public:
    // Name i is text[starts[i], starts[i + 1]); starts has one entry more than names.
    TypoIndex(QStringView text, const std::vector<qsizetype>& starts);
    // The names (indexes, ascending, each once) that hold a word one typo
    // away from a long typed word (the last one: from a beginning of the
    // word): every name typoMatches may take, and a few more.
    std::vector<int32_t> candidates(const TypoQuery& q) const;

private:
    std::vector<QString> words_;
    std::vector<uint32_t> first_;    // postings of word w: [first_[w], first_[w + 1])
    std::vector<int32_t> postings_;  // name indexes
};

}  // namespace urbica
