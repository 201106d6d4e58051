// Why a data file of fixed-length records cannot be used: missing, not a
// whole number of records, or too short for a record that is asked for.
// The texts name the file, so that a search or a picture that cannot be made
// says which file to look at instead of finding nothing.
#pragma once

#include <QString>
#include <cstdint>

namespace urbica {

struct LayerRecord;
struct NameContext;

// Empty when the file at path is there and holds whole records of
// recordLength bytes, at least up to record number needed (0: any number; a
// number below 0 is never in the file).
// A recordLength of 0 checks only that the file is there.
QString recordFileProblem(const QString& path, int recordLength, int64_t needed = 0);

// The first problem of the files a layer is drawn from (object records, point
// pool, the grid index of every level the layer has); empty when none. Given
// path, the file it names goes there.
QString layerFilesProblem(const QString& dataDirectory, const LayerRecord& layer,
                          QString* path = nullptr);

// The first problem of the files a class is searched in: the name index and
// the references of whole records, the name file of whole records and, for a
// class that keeps its own names, one for every entry of the index.
QString classFilesProblem(const NameContext& ctx, int classNumber);

// "Файл PATH повреждён: WHY".
QString damagedFileText(const QString& path, const QString& why);

}  // namespace urbica
