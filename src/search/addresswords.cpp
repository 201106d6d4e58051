#include "search/addresswords.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <algorithm>

#include "dataset/names.h"
#include "dataset/textfold.h"

// The resource's initialiser lives outside any namespace.
static void initAddressWordResources() { Q_INIT_RESOURCE(addresswords); }

namespace urbica {

namespace {

// A dictionary word as street keys compare it; empty for a word of several
// words or none.
QString foldWord(const QString& raw) {
    QString w = searchKey(raw.trimmed());
    w.remove(u'.');
    if (w.isEmpty() || w.contains(u' ')) return {};
    return foldLatinSpellings(w);
}

// Endings and abbreviations shorter than this are too often initials: such
// an abbreviation is only offered with its meanings, never read as one.
constexpr qsizetype kShortestVariant = 2;
// A compound keeps at least this much before its ending.
constexpr qsizetype kShortestStem = 3;

}  // namespace

void AddressWords::addLine(const QString& line, bool ending) {
    const QStringList parts = line.split(u'|');
    if (parts.isEmpty()) return;
    const QString full = foldWord(parts.front());
    if (full.isEmpty()) return;
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const QString v = foldWord(parts[k]);
        if (v.isEmpty() || v == full || (ending && v.size() < kShortestVariant)) continue;
        if (ending) {
            endings_.push_back({v, full});
        } else {
            QStringList& m = meanings_[v];
            if (!m.contains(full)) m << full;
        }
    }
}

void AddressWords::finish() {
    // A variant that is also a full word of its own keeps its own meaning.
    QSet<QString> fullWords;
    for (auto it = meanings_.cbegin(); it != meanings_.cend(); ++it)
        for (const QString& f : it.value()) fullWords.insert(f);
    for (auto it = meanings_.cbegin(); it != meanings_.cend(); ++it)
        if (it.value().size() == 1 && it.key().size() >= kShortestVariant &&
            !fullWords.contains(it.key())) {
            unique_.insert(it.key(), it.value().front());
            uniqueFilter_.add(it.key());
        }
    // Endings: longest first, each pair once.
    std::sort(endings_.begin(), endings_.end(), [](const Ending& a, const Ending& b) {
        if (a.variant.size() != b.variant.size()) return a.variant.size() > b.variant.size();
        return std::make_pair(a.variant, a.full) < std::make_pair(b.variant, b.full);
    });
    endings_.erase(std::unique(endings_.begin(), endings_.end(),
                               [](const Ending& a, const Ending& b) {
                                   return a.variant == b.variant && a.full == b.full;
                               }),
                   endings_.end());
}

AddressWords AddressWords::fromLines(const QStringList& wordLines, const QStringList& endingLines) {
    AddressWords w;
    for (const QString& l : wordLines) w.addLine(l, false);
    for (const QString& l : endingLines) w.addLine(l, true);
    w.finish();
    return w;
}

const AddressWords& AddressWords::instance() {
    static const AddressWords words = [] {
        initAddressWordResources();
        QStringList lines, endings;
        QDirIterator it(QStringLiteral(":/addresswords"), {QStringLiteral("*.txt")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QStringList l = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
            (path.contains(QLatin1String("concatenated_suffixes")) ? endings : lines) << l;
        }
        return fromLines(lines, endings);
    }();
    return words;
}

QStringView AddressWords::canonical(QStringView word) const {
    if (!uniqueFilter_.mayHold(word)) return word;
    auto it = unique_.constFind(QString::fromRawData(word.data(), word.size()));
    if (it != unique_.constEnd()) return *it;
    return word;
}

QStringList AddressWords::wholeEndings(const QString& word) const {
    QStringList out;
    for (const Ending& e : endings_)
        if (word.size() >= e.variant.size() + kShortestStem && word.endsWith(e.variant))
            out << word.left(word.size() - e.variant.size()) + e.full;
    return out;
}

const QStringList* AddressWords::meanings(QStringView word) const {
    auto it = meanings_.constFind(QString::fromRawData(word.data(), word.size()));
    return it == meanings_.constEnd() ? nullptr : &*it;
}

QStringList nameSpellings(const QString& text, const AddressWords& words) {
    const QString key = foldLatinSpellings(searchKey(text));
    // Each word's choices: as typed without its dots, then what it may stand for.
    std::vector<QStringList> choices;
    bool abbreviated = false;
    for (const QString& raw : key.split(u' ', Qt::SkipEmptyParts)) {
        QString w = raw;
        w.remove(u'.');
        if (w.isEmpty()) continue;
        QStringList c{w};
        if (w.size() >= kShortestVariant)
            if (const QStringList* m = words.meanings(w)) c << *m;
        c << words.wholeEndings(w);
        c.removeDuplicates();
        abbreviated = abbreviated || c.size() > 1 || w != raw;
        choices.push_back(std::move(c));
    }
    if (!abbreviated) return {};
    // Spellings in order of the choices, the first choices first, up to the limit.
    QStringList out{QString()};
    for (const QStringList& c : choices) {
        QStringList next;
        for (const QString& head : out)
            for (const QString& w : c) {
                if (next.size() >= kMaxNameSpellings) break;
                next << (head.isEmpty() ? w : head + u' ' + w);
            }
        out = std::move(next);
    }
    return out;
}

}  // namespace urbica
