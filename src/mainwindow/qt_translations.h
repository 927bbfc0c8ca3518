#pragma once

class QCoreApplication;

namespace tomorine {

// Installs Qt's own Japanese translations (file chooser, message box
// buttons, text field menus) from Qt's translations folder, whatever the
// session's locale is: every other text of the program is Japanese too.
// False when the translations are not installed (Debian package
// qt6-translations-l10n); Qt's texts then stay English.
bool LoadQtTranslations(QCoreApplication& app);

} // namespace tomorine
