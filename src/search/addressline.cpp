#include "search/addressline.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

#include "dataset/housenumber.h"
#include "dataset/names.h"
#include "search/addresswords.h"

namespace urbica {

namespace {

struct TypeWord {
    const char16_t* word;  // upper case, without the dot
    StreetType type;
};

// Russian, Belarusian and Ukrainian type words, full and abbreviated.
constexpr TypeWord kTypeWords[] = {
    {u"УЛИЦА", StreetType::Street},
    {u"УЛ", StreetType::Street},
    {u"ВУЛІЦА", StreetType::Street},
    {u"ВУЛИЦЯ", StreetType::Street},
    {u"ВУЛ", StreetType::Street},
    {u"ПРОСПЕКТ", StreetType::Avenue},
    {u"ПРАСПЕКТ", StreetType::Avenue},
    {u"ПР-Т", StreetType::Avenue},
    {u"ПР-КТ", StreetType::Avenue},
    {u"ПРОСП", StreetType::Avenue},
    {u"ПР", StreetType::Avenue},
    {u"ПЕРЕУЛОК", StreetType::Lane},
    {u"ПЕР", StreetType::Lane},
    {u"ЗАВУЛАК", StreetType::Lane},
    {u"ЗАВ", StreetType::Lane},
    {u"ПРОВУЛОК", StreetType::Lane},
    {u"ПРОВ", StreetType::Lane},
    {u"БУЛЬВАР", StreetType::Boulevard},
    {u"Б-Р", StreetType::Boulevard},
    {u"БУЛ", StreetType::Boulevard},
    {u"БУЛЬВ", StreetType::Boulevard},
    {u"ПЛОЩАДЬ", StreetType::Square},
    {u"ПЛОШЧА", StreetType::Square},
    {u"ПЛОЩА", StreetType::Square},
    {u"ПЛ", StreetType::Square},
    {u"ШОССЕ", StreetType::Highway},
    {u"ШАША", StreetType::Highway},
    {u"Ш", StreetType::Highway},
    {u"НАБЕРЕЖНАЯ", StreetType::Embankment},
    {u"НАБЕРЕЖНА", StreetType::Embankment},
    {u"НАБ", StreetType::Embankment},
    {u"ПРОЕЗД", StreetType::Passage},
    {u"ПРАЕЗД", StreetType::Passage},
    {u"ПР-Д", StreetType::Passage},
    {u"ТУПИК", StreetType::DeadEnd},
    {u"ТУПІК", StreetType::DeadEnd},
    {u"ТУП", StreetType::DeadEnd},
    {u"АЛЛЕЯ", StreetType::Alley},
    {u"АЛЕЯ", StreetType::Alley},
    {u"АЛ", StreetType::Alley},
    {u"ЛИНИЯ", StreetType::Line},
    {u"ЛІНІЯ", StreetType::Line},
    {u"ЛИН", StreetType::Line},
};

// Words read as one: the first of each group is what the others become.
// An empty first word drops the group's words.
constexpr const char16_t* kSameWords[][5] = {
    {u"Б", u"БОЛЬШОЙ", u"БОЛЬШАЯ", u"БОЛЬШОЕ", u"БОЛ"},
    {u"М", u"МАЛЫЙ", u"МАЛАЯ", u"МАЛОЕ", u"МАЛ"},
    {u"ВЕРХ", u"ВЕРХНИЙ", u"ВЕРХНЯЯ", u"ВЕРХНЕЕ", nullptr},
    {u"НИЖ", u"НИЖНИЙ", u"НИЖНЯЯ", u"НИЖНЕЕ", nullptr},
    {u"СТ", u"СТАРЫЙ", u"СТАРАЯ", u"СТАРОЕ", nullptr},
    {u"НОВ", u"НОВЫЙ", u"НОВАЯ", u"НОВОЕ", nullptr},
    {u"АКАД", u"АКАДЕМИКА", nullptr, nullptr, nullptr},
    {u"ГЕН", u"ГЕНЕРАЛА", nullptr, nullptr, nullptr},
    {u"МАРШ", u"МАРШАЛА", nullptr, nullptr, nullptr},
    {u"", u"ИМЕНИ", u"ИМ", nullptr, nullptr},
};

StreetType typeInTable(QStringView w) {
    for (const TypeWord& t : kTypeWords)
        if (w == QStringView(t.word)) return t.type;
    return StreetType::None;
}

// The type words of the table, and the Cyrillic abbreviations of the
// dictionaries whose meanings all are one type of the table ("ПРАСП" of
// Belarusian "праспект").
QHash<QString, StreetType> makeTypeWords() {
    QHash<QString, StreetType> out;
    for (const TypeWord& t : kTypeWords) out.insert(QString::fromUtf16(t.word), t.type);
    AddressWords::instance().forEachAbbreviation([&](const QString& w, const QStringList& m) {
        if (w.isEmpty() || w[0].unicode() < 0x400 || out.contains(w)) return;
        StreetType found = StreetType::None;
        for (const QString& full : m) {
            const StreetType t = typeInTable(full);
            if (t == StreetType::None || (found != StreetType::None && t != found)) return;
            found = t;
        }
        if (found != StreetType::None) out.insert(w, found);
    });
    return out;
}

struct TypeWords {
    QHash<QString, StreetType> words = makeTypeWords();
    WordFilter filter = [this] {
        WordFilter f;
        for (auto it = words.cbegin(); it != words.cend(); ++it) f.add(it.key());
        return f;
    }();
};

StreetType typeOfWord(QStringView w) {
    static const TypeWords types;
    if (!types.filter.mayHold(w)) return StreetType::None;
    return types.words.value(QString::fromRawData(w.data(), w.size()), StreetType::None);
}

// The word as keys hold it; empty when it is dropped.
QStringView sameWord(QStringView w) {
    for (const auto& group : kSameWords)
        for (int i = 1; i < 5 && group[i]; ++i)
            if (w == QStringView(group[i])) return QStringView(group[0]);
    return w;
}

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Separators of raw words: anything but letters, digits and the hyphen.
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'-'; }

// Cuts s at separators into pieces; f(start, length) for each non-empty one.
template <class F>
void forEachPiece(QStringView s, bool (*keep)(QChar), F f) {
    qsizetype i = 0;
    while (i < s.size()) {
        while (i < s.size() && !keep(s[i])) ++i;
        const qsizetype b = i;
        while (i < s.size() && keep(s[i])) ++i;
        if (i > b) f(s.mid(b, i - b));
    }
}

bool isLetterOrDigit(QChar c) { return c.isLetterOrNumber(); }

// A word of the line: its place in the line and its search key.
struct Token {
    qsizetype start = 0;
    QString key;
};

bool startsHouse(const std::vector<Token>& t, size_t i) {
    const QString& k = t[i].key;
    if (k.isEmpty()) return false;
    if (isAsciiDigit(k[0])) {
        // Five digits or more in a row: a postcode, not a house.
        qsizetype n = 0;
        while (n < k.size() && isAsciiDigit(k[n])) ++n;
        return n < 5;
    }
    for (QStringView w : {QStringView(u"ДОМ"), QStringView(u"Д")}) {
        if (!k.startsWith(w)) continue;
        QStringView rest = QStringView(k).mid(w.size());
        if (rest.startsWith(u'.')) rest = rest.mid(1);
        if (!rest.isEmpty()) return isAsciiDigit(rest[0]);
        return i + 1 < t.size() && !t[i + 1].key.isEmpty() && isAsciiDigit(t[i + 1].key[0]);
    }
    return false;
}

}  // namespace

StreetKey streetKey(const QString& name) {
    const QString upper = searchKey(name);
    StreetKey out;
    const AddressWords& dictionary = AddressWords::instance();
    QList<QStringView> words, typeWords;
    QStringList folded;  // words with their Latin double spellings folded (views point here)
    forEachPiece(QStringView(upper), isWordChar, [&](QStringView raw) {
        while (raw.startsWith(u'-')) raw = raw.mid(1);
        while (raw.endsWith(u'-')) raw.chop(1);
        if (raw.isEmpty()) return;
        const StreetType t = typeOfWord(raw);
        if (t != StreetType::None) {
            if (out.type == StreetType::None) out.type = t;
            typeWords << raw;
            return;
        }
        forEachPiece(raw, isLetterOrDigit, [&](QStringView w) {
            // "Кирова-ул." is read as "Кирова ул.", as a key would be read again.
            const StreetType inner = typeOfWord(w);
            if (inner != StreetType::None) {
                if (out.type == StreetType::None) out.type = inner;
                typeWords << w;
                return;
            }
            const QStringView same = sameWord(w);
            if (same.isEmpty()) return;
            if (hasLatinSpellings(same)) {
                folded << foldLatinSpellings(same);
                words << dictionary.canonical(folded.back());
            } else {
                words << dictionary.canonical(same);
            }
        });
    });
    if (words.isEmpty()) words = typeWords;
    std::sort(words.begin(), words.end());
    qsizetype length = 0;
    for (QStringView w : words) length += w.size() + 1;
    out.key.reserve(length);
    for (QStringView w : words) {
        if (!out.key.isEmpty()) out.key += u' ';
        out.key += w;
        for (QChar c : w) out.letters += c.isLetter() ? 1 : 0;
    }
    return out;
}

std::optional<HouseQuery> houseQueryFromText(const QString& text) {
    // A first number longer than a house record holds: no house of the dataset.
    qsizetype at = 0;
    while (at < text.size() && !isAsciiDigit(text[at])) ++at;
    qsizetype end = at;
    while (end < text.size() && isAsciiDigit(text[end])) ++end;
    if (end - at > kNumberWidth) return std::nullopt;
    const HouseNumberSplit split = splitHouseNumber(text.trimmed());
    if (split.houses.empty()) return std::nullopt;
    const HouseFields& h = split.houses.front();
    qsizetype digits = 0;
    while (digits < h.number.size() && h.number[digits].isDigit()) ++digits;
    // A number without digits ("вл1" of an estate) is matched as text, as the letter is.
    const HouseQuery q =
        HouseQuery{h.number.left(digits), h.number.mid(digits), h.fraction, h.building, h.structure}
            .trimmed();
    if (q.isEmpty()) return std::nullopt;
    return q;
}

std::vector<AddressReading> readAddressLine(const QString& line) {
    if (line.size() > kMaxAddressLength) return {};
    constexpr size_t kMaxWords = 24;
    std::vector<Token> tokens;
    auto blank = [](QChar c) { return c.isSpace() || c == u','; };
    for (qsizetype i = 0; i < line.size();) {
        while (i < line.size() && blank(line[i])) ++i;
        const qsizetype b = i;
        // A dot ends a word too: "ул.Кирова", "д.5".
        while (i < line.size() && !blank(line[i]) && (i == b || line[i - 1] != u'.')) ++i;
        if (i == b) continue;
        if (tokens.size() == kMaxWords) return {};
        tokens.push_back({b, searchKey(line.mid(b, i - b))});
    }
    std::vector<AddressReading> out;
    auto addReadings = [&](size_t h, const HouseQuery& house) {
        for (size_t k = 0; k < h; ++k) {
            const qsizetype from = tokens[k].start;
            StreetKey street = streetKey(line.mid(from, tokens[h].start - from));
            if (street.key.isEmpty()) continue;
            out.push_back({std::move(street), house, int(k)});
        }
    };
    for (size_t h = 1; h < tokens.size(); ++h) {
        if (!startsHouse(tokens, h)) continue;
        const std::optional<HouseQuery> house =
            houseQueryFromText(searchKey(line.mid(tokens[h].start)));
        if (house && !house->number.isEmpty()) addReadings(h, *house);
    }
    // Then a house named by a text with a digit at the end of the line, in one
    // or two words that begin with a letter ("вл1", "UG TK1"): matched as
    // text, the way such numbers are stored.
    // A "д."/"дом" before it is left out; the shorter house text first.
    constexpr size_t kTextHouseWords = 2;
    const size_t lowest =
        tokens.size() > kTextHouseWords + 1 ? tokens.size() - kTextHouseWords - 1 : 1;
    for (size_t h = tokens.size() - 1; tokens.size() > 1 && h >= lowest; --h) {
        if (tokens[h].key.isEmpty() || !tokens[h].key[0].isLetter() || startsHouse(tokens, h))
            continue;
        const bool houseWord = tokens[h].key == u"Д." || tokens[h].key == u"Д" ||
                               tokens[h].key == u"ДОМ" || tokens[h].key == u"ДОМ.";
        if (houseWord ? h + 1 >= tokens.size() : tokens.size() - h > kTextHouseWords) continue;
        const QString rest = line.mid(tokens[houseWord ? h + 1 : h].start);
        if (std::none_of(rest.begin(), rest.end(), [](QChar c) { return isAsciiDigit(c); }))
            continue;
        const std::optional<HouseQuery> house = houseQueryFromText(searchKey(rest));
        if (house && house->number.isEmpty() && !house->letter.isEmpty()) addReadings(h, *house);
    }
    return out;
}

bool looksLikeAddress(const QString& text) { return !readAddressLine(text).empty(); }

}  // namespace urbica
