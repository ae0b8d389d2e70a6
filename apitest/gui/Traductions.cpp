#include "Traductions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quintor::gui {

bool installerTraductionsQt(QCoreApplication& application)
{
    const QLocale francais(QLocale::French, QLocale::France);
    auto* traducteur = new QTranslator(&application);
    // Qt's own folder (Debian: qt6-translations-l10n), else a "translations"
    // folder beside the program, where a Windows deployment puts it.
    const bool charge =
        traducteur->load(francais, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        traducteur->load(francais, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    if (!charge || !QCoreApplication::installTranslator(traducteur)) {
        delete traducteur;
        return false;
    }
    return true;
}

}  // namespace quintor::gui
