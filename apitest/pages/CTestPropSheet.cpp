#include "pages/CTestPropSheet.h"

#include "Presentateur.h"

namespace quintor {

std::vector<PlacementBouton> placerBoutons(int masque, int largeur, int hauteur)
{
    std::vector<PlacementBouton> boutons;
    const int haut = hauteur - 10;
    const int bas = hauteur + 15;
    int a = 0;
    if (masque & kMasqueExecuter) {
        boutons.push_back({kCommandeExecuter, "E&xécuter", 6, haut, 86, bas});
        a = 6;
    }
    int b = a;
    if (masque & kMasqueRaz) {
        boutons.push_back({kCommandeRaz, "Ra&z", a + 100, haut, a + 180, bas});
        b = a + 100;
    }
    if (masque & kMasqueAuto) {
        boutons.push_back({kCommandeAuto, "&Auto", b + 100, haut, b + 180, bas});
    }
    boutons.push_back({kCommandeFermer, "&Fermer", largeur - 92, haut, largeur - 12, bas});
    return boutons;
}

CTestPropSheet::CTestPropSheet(EtatProgramme& etat, std::string titre, int masque)
    : MasqueBoutons(masque), m_etat(etat), m_titre(std::move(titre))
{}

void CTestPropSheet::ajouterPage(PageTest& page)
{
    m_pages.push_back(&page);
    m_creees.push_back(false);
}

void CTestPropSheet::setObservateur(ObservateurFeuille* observateur)
{
    m_obs = observateur != nullptr ? observateur : &m_sansFenetre;
}

void CTestPropSheet::ouvrir()
{
    FeuilleCreee = 1;
    m_creees.assign(m_pages.size(), false);
    ActiverPage(0);
}

void CTestPropSheet::fermer()
{
    FeuilleCreee = 0;
    m_creees.assign(m_pages.size(), false);
}

void CTestPropSheet::ActiverPage(int index)
{
    if (index < 0 || index >= nombrePages()) {
        return;
    }
    // Leaving the shown page exchanges its edits into its fields first, as the
    // framework does on losing the active state; otherwise what was typed on
    // it since the last exchange would be overwritten when a page is shown.
    if (m_active >= 0 && m_active < nombrePages() && m_creees[static_cast<std::size_t>(m_active)]) {
        m_obs->lireChamps(m_active);
    }
    m_active = index;
    const auto i = static_cast<std::size_t>(index);
    if (!m_creees[i]) {
        m_creees[i] = true;
        m_pages[i]->surCreation();
    }
    m_pages[i]->surActivation();
    m_obs->pageActivee(index);
}

bool CTestPropSheet::verifierLiaison(bool lie) const
{
    if (!lie) {
        m_etat.avertir(kFonctionNonChargee);
    }
    return lie;
}

void CTestPropSheet::Executer()
{
    const int index = m_active;
    if (index < 0 || index >= nombrePages()) {
        return;
    }
    m_obs->curseurAttente(true);
    m_obs->activerBoutons(false);
    m_obs->lireChamps(index);
    page(index).Executer();
    m_obs->ecrireChamps(index);
    m_obs->activerBoutons(true);
    m_obs->curseurAttente(false);
}

void CTestPropSheet::Raz()
{
    const int index = m_active;
    if (index < 0 || index >= nombrePages()) {
        return;
    }
    page(index).Raz();
    if (index == 0) {
        if (std::int32_t* session = sessionDePremierePage()) {
            *session = 0;
        }
    }
    m_obs->ecrireChamps(index);
}

void CTestPropSheet::CommandePage(int bouton)
{
    const int index = m_active;
    if (index < 0 || index >= nombrePages()) {
        return;
    }
    m_obs->lireChamps(index);
    page(index).commande(bouton);
    m_obs->ecrireChamps(index);
}

void CTestPropSheet::Auto()
{
    m_etat.avertir(kFonctionNonImplementee);
}

}  // namespace quintor
