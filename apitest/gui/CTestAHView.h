#pragma once
// The view: draws nothing, holds the three test sheets (their values live as
// long as the main window) and handles the "Tests" and about commands.

#include <QPointer>
#include <QWidget>

#include "pages/CTestAmbrel.h"
#include "pages/CTestCps.h"
#include "pages/CTestHN.h"

namespace quintor::gui {

class FenetreFeuille;

class CTestAHView : public QWidget {
    Q_OBJECT
public:
    explicit CTestAHView(EtatProgramme& etat, QWidget* parent = nullptr);
    ~CTestAHView() override;

    CTestAmbrel& feuilleAmbrel() { return m_ambrel; }
    CTestCps& feuilleCps() { return m_cps; }
    CTestHN& feuilleHN() { return m_hn; }
    // The open window of a sheet, null while it is closed.
    FenetreFeuille* fenetre(const CTestPropSheet& feuille) const;

    // Destroys the windows of the open sheets.
    void fermerFeuilles();

public slots:
    void OnFonctionsCps();
    void OnFonctionsAmbrel();
    void OnFonctionsHautNiveau();
    void OnInformationApi();
    void OnAppAbout();

private:
    void afficher(CTestPropSheet& feuille, QPointer<FenetreFeuille>& fenetre, int masque);

    EtatProgramme& m_etat;
    // Member order as the view declares its sheets.
    CTestAmbrel m_ambrel;
    CTestCps m_cps;
    CTestHN m_hn;
    QPointer<FenetreFeuille> m_fenetreAmbrel;
    QPointer<FenetreFeuille> m_fenetreCps;
    QPointer<FenetreFeuille> m_fenetreHN;
};

}  // namespace quintor::gui
