#include "TexteQt.h"

#include <QStringDecoder>

namespace quintor::gui {

QString versQString(const std::string& texte)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString resultat = utf8(QByteArrayView(texte.data(), static_cast<qsizetype>(texte.size())));
    if (utf8.hasError()) {
        return QString::fromLatin1(texte.data(), static_cast<qsizetype>(texte.size()));
    }
    return resultat;
}

QString versAffichageMultiligne(const std::string& texte)
{
    QString affiche = versQString(texte);
    affiche.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return affiche;
}

void depuisControle(const QString& affiche, const QString& attendu, std::string& membre)
{
    if (affiche != attendu) {
        membre = affiche.toStdString();
    }
}

}  // namespace quintor::gui
