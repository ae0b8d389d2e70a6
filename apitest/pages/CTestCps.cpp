#include "pages/CTestCps.h"

namespace quintor {

CTestCps::CTestCps(EtatProgramme& etat)
    : CTestPropSheet(etat, "Test des fonctions CPS", kMasque),
      m_ouverture(etat, kTitreOuvertureCps),
      m_fermeture(etat, kTitreFermetureCps),
      m_introduction(etat),
      m_retrait(etat),
      m_controle(etat)
{
    ajouterPage(m_ouverture);
    ajouterPage(m_fermeture);
    ajouterPage(m_introduction);
    ajouterPage(m_retrait);
    ajouterPage(m_controle);
}

}  // namespace quintor
