// Kinds of places and the words people type for them ("аптека", "аптеки",
// "pharmacy" for amenity=pharmacy), read from the project's table
// data/kinds.tsv, built into the program. The importer sorts objects into
// kinds by it; the searches tell a query that names a kind by it.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace urbica {

struct Kind {
    QString tag;  // "amenity=pharmacy" or "amenity=place_of_worship+religion=christian"
    QString key, value;
    QString extraKey, extraValue;  // the second tag, when the kind needs one
    QString label;                 // the first Russian word with a capital letter: "Аптека"
    std::vector<QString> words;    // searchKey of every word and phrase of the line
};

class KindTable {
public:
    // The table built into the program.
    static const KindTable& builtIn();
    // A table from the bytes of a file in the table's form; lines that do
    // not read are passed over and named in problems.
    static KindTable parse(const QByteArray& bytes, QStringList* problems = nullptr);

    const std::vector<Kind>& kinds() const { return kinds_; }
    // The kind of the tag text ("amenity=pharmacy"), -1 when the table has none.
    int indexOf(const QString& tag) const;
    // The kinds a query names: the text less the words for "nearby"
    // ("рядом", "около", "возле", ...) equal to a word of a kind, compared as
    // the searches compare (searchKey). Empty when the text names no kind.
    std::vector<int> kindsNamed(const QString& text) const;
    // The kinds whose word is this search key (no "nearby" words removed).
    std::vector<int> kindsOfWord(const QString& key) const;
    // The kinds an object with these tags is of, in table order; tagOf(key)
    // gives the value of a tag of the object, or nullptr.
    std::vector<int> kindsOfTags(const std::function<const char*(const char*)>& tagOf) const;

private:
    std::vector<Kind> kinds_;
    std::vector<QByteArray> values_, extraKeys_, extraValues_;  // UTF-8, for the importer
    // The kinds of each key, so that an object's tags are looked at once a key.
    std::vector<std::pair<QByteArray, std::vector<int>>> byKey_;
};

// The query without its words for "nearby"; the text itself when it has none.
QString withoutNearbyWords(const QString& text);

}  // namespace urbica
