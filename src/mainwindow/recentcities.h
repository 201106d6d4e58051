// The cities opened last, kept in the file urbica.recent of the settings
// folder the caller names (the window's, that of urbica.cfg): one city
// folder a line, in UTF-8, the newest first.
#pragma once

#include <QString>
#include <QStringList>

namespace urbica {

inline const char kRecentCitiesFile[] = "urbica.recent";

class RecentCities {
public:
    static constexpr int kKept = 5;

    // A missing or unreadable file is an empty list; lines that are no
    // folder name are left out.
    static RecentCities read(const QString& settingsFolder);
    // False (with the reason) when the file cannot be replaced.
    bool write(const QString& settingsFolder, QString* error = nullptr) const;

    // The folder comes first; an earlier entry of it goes, and the list keeps kKept.
    void add(const QString& folder);
    // Reads the file, adds the folder and writes it back as one step against
    // another window doing the same (the file's WriterLock), so neither
    // window's city is lost.
    static bool remember(const QString& settingsFolder, const QString& folder,
                         QString* error = nullptr);
    const QStringList& folders() const { return folders_; }

private:
    QStringList folders_;
};

}  // namespace urbica
