// The address part of the main window's quick find: a text that reads as an
// address with a house number ("Кирова 5", "ул. Кирова, д. 5 к 2") lists the
// houses it names before the name matches.
#pragma once

#include <QString>
#include <vector>

#include "dataset/listmodel.h"
#include "dataset/names.h"

namespace urbica {

// At most this many houses are listed for one address.
inline constexpr int kQuickAddressLimit = 100;

// The houses the text names, best first (houses with every typed field, else
// the nearest ones), each once, as the house's name with its street and item
// data itemKey. Empty when the text reads as no address with a house number
// or names no street; *error says why a file could not be read.
std::vector<ListModel::Item> quickFindAddresses(const NameContext& ctx, const QString& text,
                                                QString* error = nullptr);

}  // namespace urbica
