// The user's options and the last window rectangle, kept in urbica.cfg in the
// program's folder: one value per line, identified by position. Lines 1 to 29
// are the original options; lines 30 to 34 were added later and take their
// defaults when a file stops before them.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace urbica {

struct Settings {
    int16_t reservedInt1 = 1;                  // line 1
    int16_t savedTypeIndex = 1;                // line 2
    int16_t savedClassIndex = 1;               // line 3
    int16_t reservedInt4 = 1;                  // line 4
    QDateTime savedDate = zeroDate();          // line 5
    int32_t mapBackColor = 14737632;           // line 6, RGB with red in the low byte
    float labelFontSize = 12;                  // line 7
    int16_t allwindow = 0;                     // line 8
    int16_t reservedInt9 = 1;                  // line 9
    int16_t reservedInt10 = 1;                 // line 10
                                               // line 11 is not kept
    int16_t tableSaveMode = 0;                 // line 12
    float iconSizeThreshold = 10;              // line 13
    int16_t labelFontBold = 0;                 // line 14
    int16_t asctoclose = 0;                    // line 15
    int16_t dataDirFromSettings = 0;           // line 16
    QString dataDirectory;                     // line 17 as used, ends with '\'
    QString line17Text;                        // line 17 as read
    QString reservedText18;                    // line 18
    int16_t bw = 0;                            // line 19
    int16_t aboutshow = 1;                     // line 20
    int16_t savesizecheck = 0;                 // line 21
    double windowLeft = 0, windowTop = 0;      // lines 22, 23 (twips)
    double windowWidth = 0, windowHeight = 0;  // lines 24, 25 (twips)
    bool windowRectRead = false;               // lines 22-25 came from the file
    QString reservedText26;                    // line 26
    int16_t addselfind = 1;                    // line 27
    int16_t remselfind = 1;                    // line 28
    float pickTolerance = 7;                   // line 29
    int16_t scaleBar = 1;                      // line 30: draw the scale bar
    int16_t labelsApart = 0;                   // line 31: skip labels that would overlap
    int16_t smoothing = 0;                     // line 32: smoothed lines, haloed labels
    int16_t sidePanelWidth = 0;                // line 33: pixels of the side panel, 0: 204
    int16_t labelsApartChosen = 0;             // line 34: the user set line 31 himself

    static QDateTime zeroDate();
};

inline constexpr int kSettingsLines = 34;
// The lines a file must have to be read at all; the later ones are optional.
inline constexpr int kRequiredSettingsLines = 29;
// Lines 22 to 25 are in twips, 15 to a pixel.
inline constexpr double kTwipsPerPixel = 15;
inline const char kSettingsFileName[] = "urbica.cfg";

// Reads programDirectory/urbica.cfg into s. On any failure (no file, a missing
// line, a value out of its range) the defaults are applied, except that
// labelFontBold and line 26 keep what they held; the result is then false.
// Never reports anything to the user.
bool readSettings(Settings& s, const QString& programDirectory);
// The same with urbica.cfg in settingsFolder; a file that names no data
// folder, or none read, leaves the data in defaultDataFolder.
bool readSettings(Settings& s, const QString& settingsFolder, const QString& defaultDataFolder);

// The 34 lines as written (CR LF line ends). The window rectangle comes from
// the windowLeft .. windowHeight fields, which the caller fills beforehand.
QByteArray settingsText(const Settings& s);
// Replaces programDirectory/urbica.cfg as a whole; false (with the reason)
// when it cannot be written. The old file then stays as it was.
bool writeSettings(const Settings& s, const QString& programDirectory, QString* error = nullptr);

// The message lookup. The message table of this system is empty, so the
// result is always empty and callers use their own built-in text.
QString messageText(const QString& section, int number);
// messageText, or the caller's built-in text when the lookup yields nothing.
QString message(const QString& section, int number, const QString& builtIn);

}  // namespace urbica
