#pragma once
// Logic of the test sheets: the pages in tab order, the active page, and the
// sheet commands "E&xécuter", "Ra&z" and "&Auto". A sheet window binds to it
// through ObservateurFeuille and calls ActiverPage() when the user changes tab.

#include <cstdint>
#include <string>
#include <vector>

#include "EtatProgramme.h"
#include "pages/PageTest.h"

namespace quintor {

// What a sheet asks of its window. Every method has an empty default, so a
// sheet without a window (tests, the automatic chain) runs the same logic.
class ObservateurFeuille {
public:
    virtual ~ObservateurFeuille() = default;
    // Page `index` is now the active page (its activation hook has run): show
    // its tab and put its fields into its edits.
    virtual void pageActivee(int /*index*/) {}
    // Copy the edits of page `index` into its fields.
    virtual void lireChamps(int /*index*/) {}
    // Copy the fields of page `index` into its edits.
    virtual void ecrireChamps(int /*index*/) {}
    virtual void activerBoutons(bool /*actifs*/) {}
    virtual void curseurAttente(bool /*attente*/) {}
};

// Sheet commands and the button row.
inline constexpr int kCommandeExecuter = 1;
inline constexpr int kCommandeRaz = 2;
inline constexpr int kCommandeFermer = 8;
inline constexpr int kCommandeAuto = 32773;
inline constexpr int kMasqueExecuter = 2;
inline constexpr int kMasqueRaz = 4;
inline constexpr int kMasqueAuto = 8;

struct PlacementBouton {
    int commande;
    const char* texte;
    int gauche, haut, droite, bas;
};

// Buttons of the row under the tabs for a sheet of `largeur` x `hauteur`
// pixels (before the window grows by kHausseFenetre), in creation order.
std::vector<PlacementBouton> placerBoutons(int masque, int largeur, int hauteur);
inline constexpr int kHausseFenetre = 45;

class CTestPropSheet {
public:
    CTestPropSheet(EtatProgramme& etat, std::string titre, int masque);
    virtual ~CTestPropSheet() = default;
    CTestPropSheet(const CTestPropSheet&) = delete;
    CTestPropSheet& operator=(const CTestPropSheet&) = delete;

    const std::string& titre() const { return m_titre; }
    int MasqueBoutons;
    int FeuilleCreee = 0;

    int nombrePages() const { return static_cast<int>(m_pages.size()); }
    PageTest& page(int index) { return *m_pages.at(static_cast<std::size_t>(index)); }
    int pageActive() const { return m_active; }

    void setObservateur(ObservateurFeuille* observateur);

    // The sheet window was created: the page shown first is created too.
    void ouvrir();
    // The sheet window was destroyed; page windows go with it.
    void fermer();
    // Makes page `index` active (creating its window the first time), after
    // exchanging the edits of the page being left into its fields.
    void ActiverPage(int index);

    virtual void Executer();
    virtual void Raz();
    virtual void Auto();

    // A page button ("<<", ">>") of the active page: its edits are read, the
    // handler runs, and its fields are shown again.
    void CommandePage(int bouton);

protected:
    void ajouterPage(PageTest& page);
    // The sheet's program-wide session number reset by "Ra&z" on page 0, or null.
    virtual std::int32_t* sessionDePremierePage() { return nullptr; }
    // False, after the "not loaded" message, when an entry point is missing.
    bool verifierLiaison(bool lie) const;

    EtatProgramme& m_etat;
    ObservateurFeuille m_sansFenetre;
    ObservateurFeuille* m_obs = &m_sansFenetre;

private:
    std::string m_titre;
    std::vector<PageTest*> m_pages;
    std::vector<bool> m_creees;
    int m_active = 0;
};

}  // namespace quintor
