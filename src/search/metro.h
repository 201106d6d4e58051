// The station lists of the metro search without its dialog.
#pragma once

#include <QString>

#include "dataset/names.h"

namespace urbica {

class ListModel;

// List mode: every station of the metro class with map objects, by its name
// as stored (blank padding kept), item data the station's record number.
// The first entry is made current. Nothing is listed when the catalogue
// names no metro class of the table. False (with the reason) when a file
// cannot be read; the list is then empty.
bool fillMetroList(const NameContext& ctx, ListModel& list, QString* error = nullptr);

// Context mode: the stations whose name holds the text (letter case and Ё/Е
// ignored; an empty text lists them all), item data the record number.
// Pending events run every 1024 records through the list.
bool findMetroByText(const NameContext& ctx, const QString& text, ListModel& list,
                     QString* error = nullptr);

}  // namespace urbica
