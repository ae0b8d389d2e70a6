#include "pages/CTest_Lec_LectureAmbrel.h"

namespace quintor {

CTest_Lec_LectureAmbrel::CTest_Lec_LectureAmbrel(EtatProgramme& etat)
    : PageTest(etat), m_donnees(kTailleDonnees + 1, '\0')
{
    Raz();
}

std::vector<Champ> CTest_Lec_LectureAmbrel::champs()
{
    return {{1012, &m_NoSession}, {1013, &m_NoSessionCPS}, {1036, &m_LgDataOut},
            {1037, &m_DataOut},   {1021, &m_CodeErreur},   {1032, &m_CodeRetour}};
}

void CTest_Lec_LectureAmbrel::Raz()
{
    Effacer();
    m_NoSession = Decimal(m_etat.SessionAmbrel);
    m_NoSessionCPS = Decimal(m_etat.SessionCps);
    m_LgDataOut = Decimal(static_cast<std::int32_t>(kTailleDonnees));
}

void CTest_Lec_LectureAmbrel::commande(int bouton)
{
    switch (bouton) {
    case kBoutonRappelSession: m_NoSession = CodeAffiche(m_etat.SessionAmbrel); break;
    case kBoutonRappelSessionCps: m_NoSessionCPS = CodeAffiche(m_etat.SessionCps); break;
    case kBoutonDonnees: afficherDonneesAmbrel(m_donnees.data()); break;
    default: break;
    }
}

void CTest_Lec_LectureAmbrel::Executer()
{
    auto* fonction = m_etat.Table.Lec_LectureAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    const auto sessionCps = static_cast<std::uint16_t>(ValeurEntiere(m_NoSessionCPS));
    std::uint32_t longueur = capaciteBornee(ValeurEntiere(m_LgDataOut), kTailleDonnees);
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    m_donnees[0] = '\0';

    Effacer();
    const std::uint16_t retour = fonction(session, sessionCps, m_donnees.data(), &longueur, &err);

    m_NoSession = Code16(session);
    m_NoSessionCPS = Code16(sessionCps);
    m_DataOut = OctetsVersTexte(m_donnees.data(), kTailleDonnees);
    m_LgDataOut = CodeAffiche(longueur);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
