// The About box: the program's information window from the menu, and the
// splash shown while the main data loads.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace urbica {

// "Версия " + major + ".0" + minor: version 1.0 reads "Версия 1.00".
QString versionText(int major, int minor);

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // mainLoaded 0 makes the splash (loading message, no button); any other
    // value the information window with its "Ok" button. With openLinks off
    // the two address labels open nothing (for runs without a user).
    AboutDialog(int16_t mainLoaded, QWidget* parent = nullptr, bool openLinks = true);

    // Names the open city's data source and its licence with a link to it
    // (a city imported from OpenStreetMap); without a call nothing is said.
    void setDataSource(const QString& notice, const QString& licence, const QString& url);

    static int majorVersion();
    static int minorVersion();

private:
    void openLink(const QString& url);

    bool openLinks_;
    QLabel* source_ = nullptr;
};

}  // namespace urbica
