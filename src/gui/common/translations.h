#pragma once

class QCoreApplication;

namespace takton::gui {

// Loads Qt's German texts (buttons and captions of the standard dialogs) into
// the application. False when the translation files are not installed; the
// program then runs with Qt's English texts.
bool LoadGermanTranslations(QCoreApplication &app);

} // namespace takton::gui
