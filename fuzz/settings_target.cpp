// urbica.cfg: whatever the file holds, reading gives either the values read
// or the defaults, and what is written back reads back the same.
#include "dataset/settings.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzSettings(const uint8_t* data, size_t size) {
    const QString& folder = targetFolder("settings");
    const QString programDirectory = folder.chopped(1);
    putFile(folder + QLatin1String(kSettingsFileName),
            QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    Settings s;
    s.labelFontBold = 5;
    s.reservedText26 = QStringLiteral("kept");
    const bool ok = readSettings(s, programDirectory);
    FUZZ_CHECK(s.windowRectRead == ok);
    if (!ok) {
        FUZZ_CHECK(s.dataDirectory == programDirectory + QLatin1Char('/'));
        FUZZ_CHECK(s.pickTolerance == Settings{}.pickTolerance);
        return 0;
    }
    if (s.dataDirFromSettings != 1) FUZZ_CHECK(s.dataDirectory == programDirectory + '/');

    // Written and read again, the settings give the same text.
    const QByteArray text = settingsText(s);
    FUZZ_CHECK(writeSettings(s, programDirectory));
    Settings again;
    FUZZ_CHECK(readSettings(again, programDirectory));
    FUZZ_CHECK(settingsText(again) == text);
    return 0;
}

}  // namespace urbica::fuzz
