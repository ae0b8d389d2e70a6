#pragma once
// Card removal within a session, the same page for both card families: only
// the entry point and the session number it recalls differ.

#include "pages/PageTest.h"

namespace quintor {

class PageRetraitMht : public PageTest {
public:
    std::string m_NoSession;
    std::string m_TempsAttente;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;

protected:
    using Fonction = lumeris::FnLecRetraitMht* TableFonctionsLecture::*;
    PageRetraitMht(EtatProgramme& etat, std::int32_t EtatProgramme::*session, Fonction fonction);

private:
    std::int32_t EtatProgramme::*m_session;
    Fonction m_fonction;
};

}  // namespace quintor
