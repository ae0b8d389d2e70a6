#include "common/qt/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace toolkit {

bool installFrenchQtTranslation(QCoreApplication& application)
{
    const QLocale french(QLocale::French, QLocale::France);
    auto* translator = new QTranslator(&application);
    // Qt's own folder (Debian: qt6-translations-l10n), else a "translations"
    // folder beside the program, where a Windows deployment puts it.
    const bool loaded =
        translator->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    if (!loaded || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace toolkit
