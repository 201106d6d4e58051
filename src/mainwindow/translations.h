// Qt's own texts (the buttons of message boxes, the file dialogs, the
// context menus of text boxes) in Russian, as every text of the program is.
#pragma once

class QCoreApplication;

namespace urbica {

// Loads Qt's Russian translations into the application; they stay with it
// for the rest of the run. False when the translation files are not
// installed (the texts then stay English).
bool installQtTranslations(QCoreApplication& app);

}  // namespace urbica
