#include "dataset/typomatch.h"

#include <QHash>
#include <algorithm>

namespace urbica {

namespace {

void splitWords(QStringView text, std::vector<QStringView>& out) {
    out.clear();
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && text[i].isLetterOrNumber();
        if (inWord && start < 0) start = i;
        if (!inWord && start >= 0) {
            out.push_back(text.mid(start, i - start));
            start = -1;
        }
    }
}

// The typed word against the name's word: equal, or (last word) its beginning.
bool sameWord(QStringView typed, QStringView word, bool last) {
    return last ? word.startsWith(typed) : word == typed;
}

// One typo between the typed word and the name's word or (last word) a beginning of it.
bool typoWord(QStringView typed, QStringView word, bool last) {
    if (typed.size() < kTypoWordLetters) return false;
    if (oneTypoApart(typed, word)) return true;
    if (!last || typed.size() < kTypoPrefixLetters) return false;
    for (qsizetype n = typed.size() - 1; n <= typed.size() + 1; ++n)
        if (n < word.size() && oneTypoApart(typed, word.left(n))) return true;
    return false;
}

}  // namespace

bool oneTypoApart(QStringView a, QStringView b) {
    if (a.size() < b.size()) std::swap(a, b);
    const qsizetype n = b.size();
    if (a.size() - n > 1) return false;
    qsizetype i = 0;
    while (i < n && a[i] == b[i]) ++i;
    if (a.size() > n) return a.mid(i + 1) == b.mid(i);  // one extra in a
    if (i == n) return false;                           // equal
    if (a.mid(i + 1) == b.mid(i + 1)) return true;      // one wrong
    return i + 1 < n && a[i] == b[i + 1] && a[i + 1] == b[i] && a.mid(i + 2) == b.mid(i + 2);
}

TypoQuery typoQuery(const QString& wantedKey) {
    TypoQuery q;
    std::vector<QStringView> words;
    splitWords(wantedKey, words);
    for (QStringView w : words) {
        q.words.push_back(w.toString());
        if (w.size() >= kTypoWordLetters) q.usable = true;
    }
    return q;
}

bool typoMatches(QStringView nameKey, const TypoQuery& q, std::vector<QStringView>& scratch) {
    if (!q.usable) return false;
    splitWords(nameKey, scratch);
    const size_t k = q.words.size();
    for (size_t j = 0; j + k <= scratch.size(); ++j) {
        int typos = 0;
        size_t i = 0;
        for (; i < k; ++i) {
            const bool last = i + 1 == k;
            if (sameWord(q.words[i], scratch[j + i], last)) continue;
            if (typos == 0 && typoWord(q.words[i], scratch[j + i], last)) {
                ++typos;
                continue;
            }
            break;
        }
        if (i == k && typos == 1) return true;
    }
    return false;
}

TypoIndex::TypoIndex(QStringView text, const std::vector<qsizetype>& starts) {
    QHash<QStringView, int32_t> ids;
    std::vector<std::pair<int32_t, int32_t>> pairs;  // (word, name)
    std::vector<QStringView> words;
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        splitWords(text.mid(starts[i], starts[i + 1] - starts[i]), words);
        for (QStringView w : words) {
            if (w.size() < kTypoWordLetters - 1) continue;  // no long word is one typo from it
            auto it = ids.constFind(w);
            if (it == ids.constEnd()) it = ids.insert(w, int32_t(ids.size()));
            if (pairs.empty() || pairs.back() != std::make_pair(*it, int32_t(i)))
                pairs.emplace_back(*it, int32_t(i));
        }
    }
    words_.resize(size_t(ids.size()));
    for (auto it = ids.constBegin(); it != ids.constEnd(); ++it)
        words_[size_t(it.value())] = it.key().toString();
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    first_.assign(words_.size() + 1, 0);
    postings_.reserve(pairs.size());
    for (const auto& [w, name] : pairs) {
        ++first_[size_t(w) + 1];
        postings_.push_back(name);
    }
    for (size_t w = 0; w < words_.size(); ++w) first_[w + 1] += first_[w];
}

std::vector<int32_t> TypoIndex::candidates(const TypoQuery& q) const {
    std::vector<int32_t> out;
    for (size_t i = 0; i < q.words.size(); ++i) {
        const QString& typed = q.words[i];
        if (typed.size() < kTypoWordLetters) continue;
        const bool last = i + 1 == q.words.size();
        for (size_t w = 0; w < words_.size(); ++w) {
            const qsizetype d = words_[w].size() - typed.size();
            if (d < -1 || (!last && d > 1)) continue;
            if (!typoWord(typed, words_[w], last)) continue;
            out.insert(out.end(), postings_.begin() + first_[w], postings_.begin() + first_[w + 1]);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace urbica
