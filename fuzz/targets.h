// Fuzz targets for every reader of data files and texts. Each target takes
// arbitrary bytes, lays them out as the files the reader expects (in a
// temporary folder of this process), runs the real reader and checks what a
// sound reader must give. A broken rule aborts, so the fuzzer and the
// regression test both see it; otherwise the result is 0.
//
// Inputs that feed several files are split by splitInput: a header of
// two-byte lengths, then the parts one after another.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/tables.h"

namespace urbica::fuzz {

int fuzzSettings(const uint8_t* data, size_t size);
int fuzzCatalogue(const uint8_t* data, size_t size);
int fuzzTables(const uint8_t* data, size_t size);
int fuzzNames(const uint8_t* data, size_t size);
int fuzzLayer(const uint8_t* data, size_t size);
int fuzzBookmarks(const uint8_t* data, size_t size);
int fuzzIcons(const uint8_t* data, size_t size);
int fuzzHouseNumber(const uint8_t* data, size_t size);
int fuzzAddressLine(const uint8_t* data, size_t size);
int fuzzOsmXml(const uint8_t* data, size_t size);
int fuzzKinds(const uint8_t* data, size_t size);

struct Target {
    const char* name;  // also the folder of its seeds and regressions
    int (*run)(const uint8_t* data, size_t size);
};
const std::vector<Target>& allTargets();

// The input as `parts` pieces: parts - 1 little-endian 16-bit lengths, each
// taken modulo (bytes left + 1), then the pieces; the last takes the rest.
// A short input gives empty pieces. Every input is accepted.
std::vector<QByteArray> splitInput(const uint8_t* data, size_t size, int parts);
// The input that splitInput turns into these parts (all but the last at most
// 65535 bytes; longer ones are cut).
QByteArray joinParts(const std::vector<QByteArray>& parts);

// The files each multi-file target fills, in the order of its parts (paths
// relative to its data folder), and the fixed dataset around them. The seed
// writer lays real files out the same way.
QStringList tableFiles();  // the seven tables of the `tables` target
QStringList nameFiles();   // the class files of the `names` target
Tables nameTables();       // its classes: those of the demo city, street class 2
QStringList layerFiles();  // .tb1 .sr1 .zgs .xy4 of the `layer` target
Tables layerTables();      // its one layer and a type of every draw mode
inline constexpr int32_t kLayerGridExtent = 4096;
inline constexpr int32_t kLayerCellSize = 1024;
// Type numbers of layerTables() by what they draw.
enum LayerType : int16_t {
    kOpenLineType = 1,
    kAreaType,
    kSampleTextType,
    kCircleType,
    kRailwayType,
    kIconType,
    kNoDrawType,
    kLayerTypeCount = kNoDrawType
};
QStringList iconFiles();  // urbica.ics and the 16 and 32 pixel mask and picture of icon 1

}  // namespace urbica::fuzz
