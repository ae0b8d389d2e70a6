#pragma once
// Helpers shared by the test program's tests: a presenter that records what
// it is asked to show, a sheet observer that records the page sequence, and
// temporary folders in the API's form.

#include <functional>
#include <string>
#include <vector>

#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "Presentateur.h"
#include "pages/CTestPropSheet.h"
#include "tests/common/TempDir.h"

namespace quintor::test {

struct TexteAffiche {
    std::string titre;
    std::string texte;
};

class PresentateurEnregistreur : public Presentateur {
public:
    std::vector<std::string> messages;
    std::vector<TexteAffiche> textes;
    // Runs while the text dialog is "open", e.g. to press its button.
    std::function<void(CTexteDlg&)> pendantDialogue;

    void avertir(const std::string& texte) override { messages.push_back(texte); }
    int afficherTexte(CTexteDlg& dialogue) override
    {
        dialogue.initialiser();
        if (pendantDialogue) {
            pendantDialogue(dialogue);
        }
        textes.push_back({dialogue.title, dialogue.text});
        return 2;
    }
};

class ObservateurEnregistreur : public ObservateurFeuille {
public:
    std::vector<std::string> evenements;
    std::vector<int> pagesActivees;

    void pageActivee(int index) override
    {
        pagesActivees.push_back(index);
        evenements.push_back("active " + std::to_string(index));
    }
    void lireChamps(int index) override { evenements.push_back("lit " + std::to_string(index)); }
    void ecrireChamps(int index) override { evenements.push_back("ecrit " + std::to_string(index)); }
    void activerBoutons(bool actifs) override
    {
        evenements.push_back(actifs ? "boutons actifs" : "boutons inactifs");
    }
    void curseurAttente(bool attente) override { evenements.push_back(attente ? "attente" : "fin attente"); }
};

// A temporary folder as the API expects a folder: with its trailing separator.
inline std::string avecSeparateur(const TempDir& dossier)
{
    return dossier.path().string() + kSeparateur;
}

}  // namespace quintor::test
