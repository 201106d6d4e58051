#include "search/addresswords.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <algorithm>

#include "dataset/names.h"

// The resource's initialiser lives outside any namespace.
static void initAddressWordResources() { Q_INIT_RESOURCE(addresswords); }

namespace urbica {

namespace {

bool isLatinUpper(QChar c) { return c.unicode() >= 'A' && c.unicode() <= 'Z'; }

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

namespace {

// The first double spelling at or after i; s.size() when none.
qsizetype nextLatinSpelling(QStringView s, qsizetype i) {
    for (; i + 1 < s.size(); ++i) {
        const char16_t a = s[i].unicode(), b = s[i + 1].unicode();
        if ((a == 'A' && (b == 'A' || b == 'E')) || ((a == 'O' || a == 'U') && b == 'E')) return i;
    }
    return s.size();
}

}  // namespace

bool hasLatinSpellings(QStringView s) { return nextLatinSpelling(s, 0) < s.size(); }

QString foldLatinSpellings(QStringView s) {
    qsizetype i = nextLatinSpelling(s, 0);
    if (i >= s.size()) return s.toString();
    QString out;
    out.reserve(s.size());
    out.append(s.left(i));
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        out += c;
        if (i + 1 < s.size() && isLatinUpper(c)) {
            const char16_t a = c.unicode(), b = s[i + 1].unicode();
            if ((a == 'A' && (b == 'A' || b == 'E')) || ((a == 'O' || a == 'U') && b == 'E')) ++i;
        }
    }
    return out;
}

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

}  // namespace urbica
