#include "dataset/housenumber.h"

#include <QStringList>
#include <cstring>
#include <initializer_list>

namespace urbica {

namespace {

class Scanner {
public:
    explicit Scanner(const QString& s) : s_(s) {}
    bool atEnd() const { return i_ >= s_.size(); }
    QChar peek(qsizetype ahead = 0) const {
        return i_ + ahead < s_.size() ? s_.at(i_ + ahead) : QChar();
    }
    qsizetype pos() const { return i_; }
    void setPos(qsizetype p) { i_ = p; }
    void skip(const char* chars) {
        while (!atEnd() && std::strchr(chars, char(peek().toLatin1())) && peek().toLatin1() != 0)
            ++i_;
    }
    void skipBlanks() { skip(" \t"); }
    QString digits() {
        QString d;
        while (!atEnd() && peek().isDigit() && peek().unicode() < 128) d += s_.at(i_++);
        return d;
    }
    // One of the words at the current position, not followed by another letter;
    // a following dot and blanks are taken too.
    // With attached, the word may run straight into a single letter ("литА").
    bool word(std::initializer_list<const char*> words, bool attached = false) {
        for (const char* w : words) {
            const QString word = QString::fromUtf8(w);
            if (s_.mid(i_, word.size()).compare(word, Qt::CaseInsensitive) != 0) continue;
            const qsizetype end = i_ + word.size();
            const QChar after = end < s_.size() ? s_.at(end) : QChar();
            const QChar next = end + 1 < s_.size() ? s_.at(end + 1) : QChar();
            if (after.isLetter() && !(attached && after.isUpper() && !next.isLetter())) continue;
            i_ += word.size();
            skip(".");
            skipBlanks();
            return true;
        }
        return false;
    }
    // A single letter not followed by another letter (a letter before a digit,
    // as "с" of "2к1с1", starts the next part instead).
    bool loneLetter(QString& out) {
        if (atEnd() || !peek().isLetter() || peek(1).isLetter() || peek(1).isDigit()) return false;
        out = QString(s_.at(i_++)).toUpper();
        return true;
    }

private:
    const QString& s_;
    qsizetype i_ = 0;
};

bool isDash(QChar c) { return c == u'-' || c == u'–' || c == u'—'; }

void addHouse(HouseNumberSplit& out, const QString& n, const QString& letter,
              const QString& fraction, const QString& building, const QString& structure) {
    HouseFields h;
    h.number = n + letter;
    h.fraction = fraction;
    h.building = building;
    h.structure = structure;
    if (h.number.size() > kNumberWidth || h.fraction.size() > kFractionWidth ||
        h.building.size() > kBuildingWidth)
        out.exact = false;
    h.number = h.number.left(kNumberWidth);
    h.fraction = h.fraction.left(kFractionWidth);
    h.building = h.building.left(kBuildingWidth);
    out.houses.push_back(h);
}

// The other ends of a range "13-15" or a run "7-9-11" after the first number.
QStringList rangeEnds(Scanner& sc) {
    QStringList more;
    while (true) {
        const qsizetype start = sc.pos();
        sc.skipBlanks();
        QString next;
        if (isDash(sc.peek())) {
            sc.setPos(sc.pos() + 1);
            sc.skipBlanks();
            next = sc.digits();
        }
        if (next.isEmpty()) {
            sc.setPos(start);
            return more;
        }
        more << next;
    }
}

// A part named by one of the words with its number and a lone letter
// ("корпус 2", "стр. 1А") into field. False, with the scanner where it was,
// when the words are not there, no number follows or the part came already.
bool numberedPart(Scanner& sc, std::initializer_list<const char*> words, QString& field) {
    const qsizetype start = sc.pos();
    if (!sc.word(words)) return false;
    const QString d = sc.digits();
    if (d.isEmpty() || !field.isEmpty()) {
        sc.setPos(start);
        return false;
    }
    field = d;
    QString l;
    if (sc.loneLetter(l)) field += l;
    return true;
}

// "литера А", "литА": the letter, unless one came already.
bool letterPart(Scanner& sc, QString& letter) {
    const qsizetype start = sc.pos();
    if (!sc.word({"литера", "литер", "лит", "л"}, true)) return false;
    QString l;
    if (letter.isEmpty() && sc.loneLetter(l)) {
        letter = l;
        return true;
    }
    sc.setPos(start);
    return false;
}

struct NumberParts {
    QString letter, fraction, building, structure;
};

// The parts after the numbers, up to the end or to the first thing that is
// none (exact is then false).
void readParts(Scanner& sc, NumberParts& p, bool& exact) {
    while (true) {
        sc.skip(" \t,.");
        if (sc.atEnd()) return;
        const qsizetype start = sc.pos();
        if (sc.peek() == u'/' || sc.peek() == u'\\') {
            sc.setPos(start + 1);
            sc.skipBlanks();
            const QString d = sc.digits();
            if (d.isEmpty() || !p.fraction.isEmpty()) {
                exact = false;
                return;
            }
            p.fraction = d;
            QString l;
            if (sc.loneLetter(l)) p.fraction += l;
            continue;
        }
        if (numberedPart(sc, {"корпус", "корп", "кор", "к"}, p.building)) continue;
        if (numberedPart(sc, {"строение", "стр", "с"}, p.structure)) continue;
        if (letterPart(sc, p.letter)) continue;
        QString l;
        if (p.letter.isEmpty() && p.fraction.isEmpty() && p.building.isEmpty() &&
            sc.loneLetter(l)) {
            p.letter = l;
            continue;
        }
        exact = false;
        return;
    }
}

void splitOne(const QString& text, HouseNumberSplit& out) {
    Scanner sc(text);
    sc.skipBlanks();
    {
        const qsizetype start = sc.pos();
        if (sc.word({"дом", "д"}) && !sc.peek().isDigit()) sc.setPos(start);
    }
    const QString first = sc.digits();
    if (first.isEmpty()) {
        // Nothing numeric to split: keep what fits, readable as written.
        QString kept = text.simplified();
        kept.remove(u' ');
        kept.remove(u'.');  // "вл. 1" and "вл1" are one number
        out.exact = false;
        if (!kept.isEmpty()) out.houses.push_back({kept.left(kNumberWidth), {}, {}, {}});
        return;
    }
    const QStringList more = rangeEnds(sc);
    NumberParts p;
    readParts(sc, p, out.exact);
    addHouse(out, first, p.letter, p.fraction, p.building, p.structure);
    int previous = first.toInt();
    for (const QString& n : more) {
        const int b = n.toInt();
        if (b > previous && b - previous <= 50) {
            addHouse(out, n, p.letter, p.fraction, p.building, p.structure);
            previous = b;
        } else {
            out.exact = false;
        }
    }
}

}  // namespace

HouseNumberSplit splitHouseNumber(const QString& text) {
    HouseNumberSplit out;
    // A list: "5;7" or "5, 7" (a comma before a building word stays inside one number).
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        bool split = c == u';';
        if (c == u',') {
            qsizetype j = i + 1;
            while (j < text.size() && text.at(j).isSpace()) ++j;
            split = j < text.size() && text.at(j).isDigit();
        }
        if (split) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty()) splitOne(p.trimmed(), out);
    return out;
}

}  // namespace urbica
