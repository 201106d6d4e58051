#include "dataset/kinds.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

#include "dataset/names.h"

namespace urbica {

namespace {

// Words that ask for what is near rather than name it, in the table's languages.
constexpr const char* kNearbyWords[] = {
    "рядом",     "около",     "возле",  "поблизости", "близко",     "ближайший", "ближайшая",
    "ближайшее", "ближайшие", "вблизи", "побліз",     "каля",       "паблізу",   "бліжэйшы",
    "бліжэйшая", "поруч",     "біля",   "поблизу",    "найближчий", "найближча", "near",
    "nearby",    "nearest",   "close",  "closest",    "me",         "around",    "по",
    "близости",  "со",        "мной",   "ко",         "мне",        "от",        "меня"};

bool isNearbyWord(const QString& key) {
    for (const char* w : kNearbyWords)
        if (key == searchKey(QString::fromUtf8(w))) return true;
    return false;
}

bool splitTag(const QString& tag, QString& key, QString& value) {
    const qsizetype eq = tag.indexOf(u'=');
    if (eq <= 0 || eq + 1 >= tag.size()) return false;
    key = tag.left(eq);
    value = tag.mid(eq + 1);
    return true;
}

}  // namespace

QString withoutNearbyWords(const QString& text) {
    const QStringList words = text.simplified().split(u' ', Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& w : words)
        if (!isNearbyWord(searchKey(w))) kept << w;
    // Every word asks for nearness ("около меня"): nothing is left to name a kind.
    return kept.join(u' ');
}

KindTable KindTable::parse(const QByteArray& bytes, QStringList* problems) {
    KindTable t;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList cells = lines[i].split(u'\t');
        Kind k;
        k.tag = cells.value(0).trimmed();
        QString main = k.tag, extra;
        if (const qsizetype plus = k.tag.indexOf(u'+'); plus > 0) {
            main = k.tag.left(plus);
            extra = k.tag.mid(plus + 1);
        }
        const bool ok = cells.size() >= 2 && splitTag(main, k.key, k.value) &&
                        (extra.isEmpty() || splitTag(extra, k.extraKey, k.extraValue));
        for (qsizetype c = 1; ok && c < cells.size(); ++c)
            for (const QString& w : cells[c].split(u',')) {
                const QString word = w.simplified();
                if (word.isEmpty()) continue;
                if (k.label.isEmpty()) k.label = word.left(1).toUpper() + word.mid(1);
                const QString key = searchKey(word);
                if (std::find(k.words.begin(), k.words.end(), key) == k.words.end())
                    k.words.push_back(key);
            }
        if (!ok || k.words.empty() || t.indexOf(k.tag) >= 0) {
            if (problems) *problems << QStringLiteral("строка %1: %2").arg(i + 1).arg(line);
            continue;
        }
        const QByteArray key = k.key.toUtf8();
        auto group = std::find_if(t.byKey_.begin(), t.byKey_.end(),
                                  [&](const auto& g) { return g.first == key; });
        if (group == t.byKey_.end()) group = t.byKey_.insert(t.byKey_.end(), {key, {}});
        group->second.push_back(int(t.kinds_.size()));
        t.values_.push_back(k.value.toUtf8());
        t.extraKeys_.push_back(k.extraKey.toUtf8());
        t.extraValues_.push_back(k.extraValue.toUtf8());
        t.kinds_.push_back(std::move(k));
    }
    return t;
}

const KindTable& KindTable::builtIn() {
    static const KindTable table = [] {
        QFile f(QStringLiteral(":/urbica/kinds.tsv"));
        return f.open(QIODevice::ReadOnly) ? parse(f.readAll()) : KindTable{};
    }();
    return table;
}

int KindTable::indexOf(const QString& tag) const {
    for (size_t i = 0; i < kinds_.size(); ++i)
        if (kinds_[i].tag == tag) return int(i);
    return -1;
}

std::vector<int> KindTable::kindsOfWord(const QString& key) const {
    std::vector<int> out;
    if (key.isEmpty()) return out;
    for (size_t i = 0; i < kinds_.size(); ++i)
        if (std::find(kinds_[i].words.begin(), kinds_[i].words.end(), key) != kinds_[i].words.end())
            out.push_back(int(i));
    return out;
}

std::vector<int> KindTable::kindsNamed(const QString& text) const {
    return kindsOfWord(searchKey(withoutNearbyWords(text)));
}

std::vector<int> KindTable::kindsOfTags(
    const std::function<const char*(const char*)>& tagOf) const {
    std::vector<int> out;
    for (const auto& [key, kinds] : byKey_) {
        const char* v = tagOf(key.constData());
        if (!v) continue;
        for (int i : kinds) {
            if (values_[size_t(i)] != v) continue;
            if (!extraKeys_[size_t(i)].isEmpty()) {
                const char* e = tagOf(extraKeys_[size_t(i)].constData());
                if (!e || extraValues_[size_t(i)] != e) continue;
            }
            out.push_back(i);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace urbica
