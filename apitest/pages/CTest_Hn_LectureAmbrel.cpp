#include "pages/CTest_Hn_LectureAmbrel.h"

namespace quintor {

CTest_Hn_LectureAmbrel::CTest_Hn_LectureAmbrel(EtatProgramme& etat)
    : PageTest(etat), m_donnees(kTailleDonnees + 1, '\0')
{
    Raz();
}

std::vector<Champ> CTest_Hn_LectureAmbrel::champs()
{
    return {{1025, &m_TempsAttente}, {1036, &m_LgDataOut},  {1037, &m_DataOut},
            {1028, &m_EtatCarte},    {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void CTest_Hn_LectureAmbrel::Raz()
{
    Effacer();
    m_LgDataOut = Decimal(static_cast<std::int32_t>(kTailleDonnees));
}

void CTest_Hn_LectureAmbrel::commande(int bouton)
{
    if (bouton == kBoutonDonnees) {
        afficherDonneesAmbrel(m_donnees.data());
    }
}

void CTest_Hn_LectureAmbrel::Executer()
{
    auto* fonction = m_etat.Table.Hn_LectureAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    std::uint32_t longueur = capaciteBornee(ValeurEntiere(m_LgDataOut), kTailleDonnees);
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_TempsAttente));
    auto etat = static_cast<std::int16_t>(ValeurEntiere(m_EtatCarte));

    Effacer();
    const std::uint16_t retour = fonction(temps, m_donnees.data(), &longueur, &etat, &err);

    m_DataOut = OctetsVersTexte(m_donnees.data(), kTailleDonnees);
    m_LgDataOut = CodeAffiche(longueur);
    m_CodeErreur = Code16(err);
    m_TempsAttente = CodeSigne16(temps);
    m_EtatCarte = CodeSigne16(etat);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
