// Checks a written dataset the way the house search finds a house: the street
// by its name in the street class, then among its houses the one whose number,
// letter, fraction and building match what was typed.
#pragma once

#include <QString>
#include <vector>

#include "cityimport.h"
#include "osmimport.h"
#include "search/houses.h"

namespace urbica::osmimport {

struct AddressCheck {
    int64_t total = 0;
    int64_t found = 0;
    std::vector<MissingAddress> missing;
    QString error;  // the dataset could not be read
};

// What a user types for a written house: the number's leading digits as the
// number, the rest of the number text as the letter, fraction and building as
// written. The check matches it with the house search's own rule
// (AddressIndex::matching, houseMatches).
HouseQuery typedFor(const HouseFields& house);

AddressCheck checkAddresses(const QString& dataDirectory,
                            const std::vector<AddressSample>& addresses);

// The stations of the metro class as the station search lists them (records
// with map objects), in file order.
QStringList metroStations(const QString& dataDirectory, QString* error = nullptr);

}  // namespace urbica::osmimport
