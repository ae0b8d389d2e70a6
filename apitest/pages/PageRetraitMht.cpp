#include "pages/PageRetraitMht.h"

namespace quintor {

PageRetraitMht::PageRetraitMht(EtatProgramme& etat, std::int32_t EtatProgramme::*session, Fonction fonction)
    : PageTest(etat), m_session(session), m_fonction(fonction)
{}

std::vector<Champ> PageRetraitMht::champs()
{
    return {{1012, &m_NoSession}, {1025, &m_TempsAttente}, {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void PageRetraitMht::Raz()
{
    Effacer();
    m_NoSession = Decimal(m_etat.*m_session);
}

void PageRetraitMht::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(m_etat.*m_session);
    }
}

void PageRetraitMht::Executer()
{
    auto* fonction = m_etat.Table.*m_fonction;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_TempsAttente));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(session, temps, &err);

    m_NoSession = Code16(session);
    m_TempsAttente = CodeSigne16(temps);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
