// The OpenStreetMap importer in one call: an extract (.osm, .osm.pbf,
// .osm.bz2, .osm.gz) read and made into a city dataset, the dataset written
// in place of a folder's under the folder's writer lock, and read back the
// way the house search and the station search read it. The command line
// (urbica-import) and the window's import both run it and show its lines.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "dataset/housenumber.h"

namespace urbica::osmimport {

// Progress of a long import: a phase name and a fraction from 0 to 1. While
// the file is read it is called at least every tenth of a second, also from a
// helper thread of the import, but never twice at once.
using Progress = std::function<void(const QString& phase, double fraction)>;

// What the import tells on its way; each may be left empty.
struct ImportCallbacks {
    Progress progress;  // reading and building
    // When given and it becomes true, the reading stops at the next block of
    // the file; it is heard until the dataset begins to be written.
    const std::atomic<bool>* cancel = nullptr;
    std::function<void()> writing;   // the dataset is about to be written
    std::function<void()> waiting;   // another writer holds the folder (once, then waits)
    std::function<void()> checking;  // the written dataset is about to be read back
};

struct CityImport {
    QString osmFile;           // the extract
    QString dataDirectory;     // the dataset's folder: made, or its dataset replaced
    QString programDirectory;  // when given: program files and an urbica.cfg pointing at it
};

// An address the house search does not find, with what the importer made of it.
struct MissingAddress {
    QString street, houseNumber;  // as the input spells them
    QString streetName;           // the name written for the street it was linked to
    HouseFields house;            // the fields written for its first house
};

struct CityImportResult {
    QString error;       // empty when all was done; otherwise why it stopped
    QStringList report;  // the closing report, once the dataset is written
    int64_t nodes = 0;   // points read
    double readSeconds = 0, writeSeconds = 0, checkSeconds = 0;
    // The input's addresses the house search finds in the written dataset.
    int64_t addresses = 0, addressesFound = 0;
    std::vector<MissingAddress> missing;
    QStringList stations;  // the metro stations as the station search lists them
    bool ok() const { return error.isEmpty(); }
};

// Reads, builds, writes (waiting for another writer of the folder), writes
// the program files, makes the report, frees the dataset and checks the
// written one. The writer lock is held until the dataset has been read back,
// so that another import into the folder waits for this one as a whole. A
// dataset that cannot be read back is an error too ("проверка адресов: …"),
// though it was written.
CityImportResult importCity(const CityImport& job, const ImportCallbacks& callbacks = {});

// The error of an import stopped by its cancel flag.
QString importCancelledText();

// Lines both the tool and the window show after the report:
// "адреса, найденные поиском дома: 37 из 37 (100.0%)",
// "станции метро (2): Гостиный двор, Невский проспект" (a long list by its
// first 30), and for the tool's --check "  не найден: …" for each address missed.
QString addressCheckLine(const CityImportResult& result);
QString stationsLine(const CityImportResult& result);
QString missingAddressLine(const MissingAddress& address);

}  // namespace urbica::osmimport
