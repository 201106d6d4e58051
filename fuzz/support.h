// What the fuzz targets share: the temporary folder, laying out files, the
// GUI application that drawing needs, and the check that stops a run.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace urbica::fuzz {

// A folder of this process for one target, created empty on first use:
// under /dev/shm when it exists (no disk traffic), else the system temp folder.
// It ends with '/'. The whole temporary tree goes when the process ends.
const QString& targetFolder(const char* target);

// Writes the file (creating its folder); an empty content removes it, so
// that a missing file is one of the cases tried.
void putFile(const QString& path, const QByteArray& content);
// Each part into its file under folder (names as listed).
void putFiles(const QString& folder, const QStringList& names,
              const std::vector<QByteArray>& parts);

// Creates the offscreen GUI application once, unless one exists already.
void ensureGuiApplication();

[[noreturn]] void checkFailed(const char* condition, const char* file, int line);

}  // namespace urbica::fuzz

// A rule every reader keeps, whatever the input; a broken one aborts the run.
#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::urbica::fuzz::checkFailed(#condition, __FILE__, __LINE__))
