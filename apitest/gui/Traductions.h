#pragma once
// Qt's own texts (message-box buttons, the edits' context menus) in French,
// like every other text of the program, whatever the user's locale.

class QCoreApplication;

namespace quintor::gui {

// Installs Qt's French translation (qtbase_fr) into the application. False
// when it is not found: Qt's texts then stay in English.
bool installerTraductionsQt(QCoreApplication& application);

}  // namespace quintor::gui
