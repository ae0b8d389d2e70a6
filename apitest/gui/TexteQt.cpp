#include "TexteQt.h"

#include <QLineEdit>
#include <QStringDecoder>
#include <QValidator>

namespace quintor::gui {

namespace {

// While the text is too long the line edit accepts every change (it only
// refuses one that turns acceptable text invalid), so text set longer by the
// program can still be edited down.
class LimiteSaisie : public QValidator {
public:
    LimiteSaisie(int longueur, QObject* parent)
        : QValidator(parent),
          m_longueur(longueur)
    {
    }
    State validate(QString& texte, int&) const override
    {
        return texte.size() <= m_longueur ? Acceptable : Invalid;
    }

private:
    int m_longueur;
};

}  // namespace

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

Invite decouperInvite(const char* chaine, const QString& sansBulle)
{
    const QString texte = QString::fromUtf8(chaine);
    const qsizetype saut = texte.indexOf(QLatin1Char('\n'));
    if (saut < 0) {
        return {texte, sansBulle};
    }
    return {texte.left(saut), texte.mid(saut + 1)};
}

void limiterSaisie(QLineEdit* edit, int longueur)
{
    edit->setValidator(new LimiteSaisie(longueur, edit));
}

}  // namespace quintor::gui
