#include "pages/CTestHN.h"

namespace quintor {

CTestHN::CTestHN(EtatProgramme& etat)
    : CTestPropSheet(etat, "Test des fonctions de Haut Niveau", kMasque),
      m_init(etat),
      m_finir(etat),
      m_presence(etat),
      m_lecture(etat),
      m_introduction(etat),
      m_retrait(etat),
      m_controle(etat)
{
    ajouterPage(m_init);
    ajouterPage(m_finir);
    ajouterPage(m_presence);
    ajouterPage(m_lecture);
    ajouterPage(m_introduction);
    ajouterPage(m_retrait);
    ajouterPage(m_controle);
}

}  // namespace quintor
