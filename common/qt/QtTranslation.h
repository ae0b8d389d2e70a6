#pragma once
// Qt's own texts (message-box buttons, the edits' context menus) in French,
// like every other text of the window programs, whatever the user's locale.

class QCoreApplication;

namespace toolkit {

// Installs Qt's French translation (qtbase_fr) into the application. False
// when it is not found: Qt's texts then stay in English.
bool installFrenchQtTranslation(QCoreApplication& application);

}  // namespace toolkit
