#include "dataset/textfold.h"

#include <array>

#include "dataset/binary.h"

namespace urbica {

namespace {

struct Near {
    char16_t from;
    const char* to;  // UTF-8
};

// Letters of other alphabets that lose more than an accent.
constexpr Near kNear[] = {
    {u'ә', "а"},      {u'Ә', "А"},      {u'ө', "о"},      {u'Ө', "О"},     {u'ү', "у"},
    {u'Ү', "У"},      {u'ұ', "у"},      {u'Ұ', "У"},      {u'қ', "к"},     {u'Қ', "К"},
    {u'ң', "н"},      {u'Ң', "Н"},      {u'ғ', "г"},      {u'Ғ', "Г"},     {u'һ', "х"},
    {u'Һ', "Х"},      {u'җ', "ж"},      {u'Җ', "Ж"},      {u'ҳ', "х"},     {u'Ҳ', "Х"},
    {u'ҷ', "ч"},      {u'Ҷ', "Ч"},      {u'ҫ', "с"},      {u'Ҫ', "С"},     {u'ҡ', "к"},
    {u'Ҡ', "К"},      {u'ҙ', "з"},      {u'Ҙ', "З"},      {u'ӏ', "I"},     {u'Ӏ', "I"},
    {u'ß', "ss"},     {u'æ', "ae"},     {u'Æ', "AE"},     {u'œ', "oe"},    {u'Œ', "OE"},
    {u'ø', "o"},      {u'Ø', "O"},      {u'ł', "l"},      {u'Ł', "L"},     {u'đ', "d"},
    {u'Đ', "D"},      {u'ħ', "h"},      {u'Ħ', "H"},      {u'ı', "i"},     {u'þ', "th"},
    {u'Þ', "Th"},     {u'ð', "d"},      {u'Ð', "D"},      {u'‐', "-"},     {u'‑', "-"},
    {u'‒', "-"},      {u'―', "-"},      {u'−', "-"},      {u'′', "'"},     {u'″', "\""},
    {u'\u2009', " "}, {u'\u202F', " "}, {u'\u2007', " "}, {u'\u200B', ""}, {u'\u00AD', ""},
    {u'ʼ', "'"},      {u'ʻ', "'"},      {u'´', "'"},      {u'`', "'"},
};

std::array<bool, 65536> makeCodePageTable() {
    std::array<bool, 65536> t{};
    for (int b = 0; b < 256; ++b) {
        const char c = char(b);
        const QString s = fromCp1251(&c, 1);
        const char16_t u = s.at(0).unicode();
        if (u != 0xFFFD) t[u] = true;
    }
    return t;
}

}  // namespace

bool inCp1251(char16_t c) {
    static const std::array<bool, 65536> table = makeCodePageTable();
    return table[c];
}

QString foldToCp1251(const QString& text, FoldStats* stats) {
    FoldStats ignored;
    FoldStats& counts = stats ? *stats : ignored;
    bool plain = true;
    for (QChar c : text)
        if (!inCp1251(c.unicode())) {
            plain = false;
            break;
        }
    if (plain) return text;

    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (inCp1251(c)) {
            out += QChar(c);
            continue;
        }
        ++counts.replacedCharacters;
        if (QChar::category(char32_t(c)) == QChar::Other_Format) continue;  // marks of direction
        bool done = false;
        for (const Near& n : kNear)
            if (n.from == c) {
                out += QString::fromUtf8(n.to);
                done = true;
                break;
            }
        if (done) continue;
        // A whole code point (a surrogate pair counts once), without its accents.
        QString point{QChar(c)};
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            point += text.at(++i);
        QString base;
        for (QChar d : point.normalized(QString::NormalizationForm_KD))
            if (inCp1251(d.unicode()) && d.category() != QChar::Mark_NonSpacing) base += d;
        if (!base.isEmpty()) {
            out += base;
        } else {
            out += QLatin1Char('?');
            ++counts.unknownCharacters;
        }
    }
    return out;
}

namespace {

bool isLatinUpper(QChar c) { return c.unicode() >= 'A' && c.unicode() <= 'Z'; }

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

}  // namespace urbica
