#pragma once
// Start of the program: settings, the main window, then the API binding with
// its load-failure question.

#include <memory>
#include <string>

#include <QStringList>

namespace quintor {
struct EtatProgramme;
}

namespace quintor::gui {

class CMainFrame;
class PresentateurQt;

class CTestAHApp {
public:
    // `bibliotheque` is the name handed to the loader: the platform's file
    // name for the standard search, or a path in tests.
    CTestAHApp(EtatProgramme& etat, PresentateurQt& presentateur, std::string bibliotheque);
    ~CTestAHApp();
    CTestAHApp(const CTestAHApp&) = delete;
    CTestAHApp& operator=(const CTestAHApp&) = delete;

    // The start operation. After a load failure answered No the program is
    // asked to quit with exit code 1 once its event loop runs.
    bool InitInstance();

    CMainFrame* fenetrePrincipale() const { return m_cadre.get(); }
    // Result of the API binding at start.
    int resultatChargement() const { return m_resultat; }
    // The recent-file list read with the standard settings (4 entries at most).
    const QStringList& fichiersRecents() const { return m_recents; }

    static constexpr int kFichiersRecents = 4;

private:
    void chargerReglages();

    EtatProgramme& m_etat;
    PresentateurQt& m_presentateur;
    std::string m_bibliotheque;
    std::unique_ptr<CMainFrame> m_cadre;
    QStringList m_recents;
    int m_resultat = -1;
};

}  // namespace quintor::gui
