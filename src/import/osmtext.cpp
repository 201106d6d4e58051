#include "osmtext.h"

#include <QRegularExpression>

#include "dataset/binary.h"

namespace urbica::osmimport {

QString toCp1251Letters(const QString& text, TextStats& stats) {
    FoldStats fold;
    QString out = foldToCp1251(text, &fold);
    stats.replacedCharacters += fold.replacedCharacters;
    stats.unknownCharacters += fold.unknownCharacters;
    return out;
}

QString fitText(const QString& text, int length, TextStats& stats) {
    if (text.size() <= length) return text;
    ++stats.cutTexts;
    return text.left(length).trimmed();
}

QString typeWordLast(const QString& name) {
    static const char* const kTypeWords[] = {
        "улица",      "переулок", "проспект", "бульвар",  "площадь", "проезд",   "шоссе",
        "набережная", "тупик",    "аллея",    "линия",    "просек",  "просека",  "тракт",
        "спуск",      "въезд",    "дорога",   "вуліца",   "завулак", "праспект", "плошча",
        "тупік",      "алея",     "вулиця",   "провулок", "площа",   "узвіз",    "проїзд"};
    const QString s = name.simplified();
    const qsizetype blank = s.indexOf(u' ');
    if (blank <= 0) return name;
    const QString first = s.left(blank).toLower();
    for (const char* w : kTypeWords)
        if (first == QString::fromUtf8(w)) return s.mid(blank + 1) + u' ' + first;
    return name;
}

QString fitStreetName(const QString& name, int length, TextStats& stats) {
    if (name.size() <= length) return name;
    struct Abbreviation {
        const char* word;
        const char* shortForm;
    };
    static const Abbreviation kWords[] = {
        {"улица", "ул."},       {"проспект", "пр."},  {"переулок", "пер."}, {"набережная", "наб."},
        {"площадь", "пл."},     {"бульвар", "б-р"},   {"шоссе", "ш."},      {"проезд", "пр-д"},
        {"тупик", "туп."},      {"аллея", "ал."},     {"вулиця", "вул."},   {"вуліца", "вул."},
        {"провулок", "пров."},  {"завулак", "зав."},  {"имени", "им."},     {"Большая", "Б."},
        {"Большой", "Б."},      {"Малая", "М."},      {"Малый", "М."},      {"Верхняя", "Верх."},
        {"Нижняя", "Ниж."},     {"Старая", "Ст."},    {"Новая", "Нов."},    {"академика", "акад."},
        {"Академика", "акад."}, {"генерала", "ген."}, {"Генерала", "ген."}, {"маршала", "марш."},
        {"Маршала", "марш."},
    };
    QString s = name;
    for (const Abbreviation& a : kWords) {
        const QRegularExpression word(
            QStringLiteral("(^|\\s)%1(?=\\s|$)")
                .arg(QRegularExpression::escape(QString::fromUtf8(a.word))),
            QRegularExpression::CaseInsensitiveOption);
        s.replace(word, QStringLiteral("\\1") + QString::fromUtf8(a.shortForm));
        if (s.size() <= length) break;
    }
    if (s.size() <= length) {
        ++stats.shortenedStreets;
        return s;
    }
    return fitText(s, length, stats);
}

}  // namespace urbica::osmimport
