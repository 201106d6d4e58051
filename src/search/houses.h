// The house search without its dialog: the houses of a street as the address
// files list them, the rules by which typed fields match a house, the nearest
// houses on the same side of the street, and the street list's first-letter
// index with the positioning while a street name is typed.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "dataset/names.h"

namespace urbica {

class ListModel;

// One house of a street, as its number record holds it (texts trimmed).
struct HouseEntry {
    int classNumber = 0;
    int32_t record = 0;
    QString number;    // number with its letter, e.g. "12А"
    QString fraction;  // after the slash
    QString building;  // building number (korpus)
    QString structure = {};  // structure number (строение), from the file beside the records
};

// The fields the user typed; each is trimmed before use. The structure
// comes from a house typed in one line ("13 стр. 10", "13с10").
struct HouseQuery {
    QString number, letter, fraction, building;
    QString structure = {};  // an aggregate of the four fields above leaves it empty

    HouseQuery trimmed() const;
    bool isEmpty() const;
};

// The number a field stands for: its leading decimal number, blanks ignored;
// "12а" is 12, a text without a leading number 0.
double houseNumberValue(const QString& text);

// The houses of street record `street` of the street class, in the street's
// order. Skipped: parts of a class outside the table or not of the house
// number style, records past their files, houses without map objects. False
// (with the reason) when a file of the street class or of a house class
// cannot be read, or when no house could be read because a file is not a
// whole number of records or too short for a record asked for; out then holds
// nothing. passedOver names such a file also when the houses that could be
// read are given; so does the context's sink of problems.
bool readStreetHouses(const NameContext& ctx, int64_t street, std::vector<HouseEntry>& out,
                      QString* error = nullptr, QString* passedOver = nullptr);

// A house matches when every non-empty field agrees with it: the number by
// value, the letter as a part of the stored number text (letter case and Ё/Е
// ignored) or as "с" and the house's structure, building number, fraction
// and structure by value (a structure also as "с" and its number in the
// number text, as older datasets kept it).
bool houseMatches(const HouseEntry& house, const HouseQuery& query);
// The typed structure against a house's.
bool structureMatches(const HouseEntry& house, const QString& typed);
// Positions (in houses) of the matching houses, in the street's order.
std::vector<size_t> matchingHouses(const std::vector<HouseEntry>& houses, const HouseQuery& query);

// The answer when no house matched: the houses with the typed number (other
// letter, fraction or building) in the street's order, then the nearest
// house below and the nearest above the typed number on the same side of the
// street (same parity). Positions in houses.
std::vector<size_t> nearestHouses(const std::vector<HouseEntry>& houses, const HouseQuery& query);

// The label of a found house in the result list: its name with the street.
QString houseLabel(const NameContext& ctx, const HouseEntry& house, QString* error = nullptr);

// For each character code of the sorted street list (Windows-1251, upper
// case), the position of the first street that starts with that code or a
// later one.
struct FirstLetterIndex {
    std::array<int32_t, 256> start{};
};
FirstLetterIndex buildFirstLetterIndex(const ListModel& streets);

// Where the selection goes while a street name is typed: from the first
// street with the typed text's first letter, the first street the text does
// not pass (the text passes a street when it sorts after the street's name
// followed by "я"); the last street for a text beyond them all; -1 for an
// empty list.
int streetTypingPosition(const ListModel& streets, const FirstLetterIndex& index,
                         const QString& typed);

}  // namespace urbica
