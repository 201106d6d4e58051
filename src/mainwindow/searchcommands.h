// The search commands of the main window: the house search (kept for the
// whole run), the universal and the metro search, and the quick find strip.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace urbica {

class MainWindow;

using SearchMessage = std::function<void(const QString&)>;
// Centres a named object on the map, names it in the info line and highlights it.
using SearchShow = std::function<void(int classNumber, int32_t record)>;

// Runs the command named by a menu item's control name when it is one of
// "finddom", "megasearch" and "searchmetroshem"; false for any other name.
bool runSearchCommand(MainWindow& w, const QString& name, const SearchMessage& message,
                      const SearchShow& show);

// Gives the window's findname, findkey, findList and showkey their behaviour.
void attachQuickFind(MainWindow& w, const SearchMessage& message, const SearchShow& show);

// Makes the house search ready without showing it (its street list is read now).
void preloadHouseSearch(MainWindow& w, const SearchMessage& message, const SearchShow& show);

}  // namespace urbica
