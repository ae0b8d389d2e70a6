#include "TexteQt.h"

#include <QLineEdit>
#include <QStringDecoder>
#include <QValidator>

#include <algorithm>

namespace quintor::gui {

namespace {

// An edit's text limit as Windows keeps it: typing past the limit does
// nothing, and a paste keeps the first characters of the pasted text that
// fit. A text the program puts in is shown whole, even when longer (a path
// with its suffix), and can be edited down but not lengthened.
class LimiteSaisie : public QValidator {
public:
    LimiteSaisie(int longueur, QLineEdit* edit)
        : QValidator(edit), m_longueur(longueur), m_precedente(edit->text().size())
    {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& texte) { m_precedente = texte.size(); });
    }
    State validate(QString& texte, int& position) const override
    {
        const qsizetype plafond = std::max<qsizetype>(m_longueur, m_precedente);
        if (m_parProgramme || texte.size() <= plafond) {
            return Acceptable;
        }
        // The inserted characters end at the cursor: drop the ones past the limit.
        const qsizetype exces = texte.size() - plafond;
        if (position < exces) {
            return Invalid;
        }
        texte.remove(position - exces, exces);
        position -= static_cast<int>(exces);
        return Acceptable;
    }

    bool m_parProgramme = false;

private:
    int m_longueur;
    qsizetype m_precedente;
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

void ecrireSaisie(QLineEdit* edit, const QString& texte)
{
    auto* limite = dynamic_cast<const LimiteSaisie*>(edit->validator());
    if (limite == nullptr) {
        edit->setText(texte);
        return;
    }
    auto* modifiable = const_cast<LimiteSaisie*>(limite);
    modifiable->m_parProgramme = true;
    edit->setText(texte);
    modifiable->m_parProgramme = false;
}

}  // namespace quintor::gui
