// An address typed in one line ("ул. Кирова, д. 5 корп. 2", "Москва, Кирова
// улица 5", "Кирова 5к2") read as the house search reads it: the street part
// as a key that leaves out street-type words and reads the common
// abbreviations as one word, and the house part as the fields of a house
// query, split as the importer splits house numbers.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "search/houses.h"

namespace urbica {

// The kind of street a type word names (улица, ул., проспект, пр-т ...).
enum class StreetType : uint8_t {
    None,
    Street,
    Avenue,
    Lane,
    Boulevard,
    Square,
    Highway,
    Embankment,
    Passage,
    DeadEnd,
    Alley,
    Line,
};

// A street name as addresses compare it: the search key (names.h) cut into
// words at blanks and punctuation, type words taken out (the first one is
// kept as type), "Большой"/"Б." and the like read as one word, "имени"
// dropped, the words sorted and joined by one blank. A name of type words
// only keeps them as its words.
struct StreetKey {
    QString key;  // empty when the name has no word
    StreetType type = StreetType::None;
    int letters = 0;  // letters in key
};
StreetKey streetKey(const QString& name);

// The house fields of a house text in the forms the importer reads ("12",
// "12А", "12к2", "1/25 литА", "13-15": the first house, "вл1": matched as
// text); empty when the text names no house or has more digits
// in its first number than a house record can.
std::optional<HouseQuery> houseQueryFromText(const QString& text);

// One way to read an address line: which words name the street and what house.
struct AddressReading {
    StreetKey street;
    HouseQuery house;
    int dropped = 0;  // leading words left out (a city, a postcode)
};

// Lines longer than this are no address.
inline constexpr qsizetype kMaxAddressLength = 400;

// Every reading of the line, most likely first: the house starts at a word
// that begins with a digit (or "д."/"дом" before one) and has a number;
// the street is the words before it, with none, one, two ... leading words
// left out. After those, a house written as a text with a digit in the last
// one or two words ("вл1", "UG TK1"). Commas, blanks, letter case and Ё/Е do
// not matter. Empty when the line reads as no address.
std::vector<AddressReading> readAddressLine(const QString& line);

// True when the text reads as an address with a house number.
bool looksLikeAddress(const QString& text);

}  // namespace urbica
