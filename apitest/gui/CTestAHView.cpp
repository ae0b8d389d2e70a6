#include "CTestAHView.h"

#include "CAboutDlg.h"
#include "CTexteDlg.h"
#include "FenetreFeuille.h"

namespace quintor::gui {

CTestAHView::CTestAHView(EtatProgramme& etat, QWidget* parent)
    : QWidget(parent), m_etat(etat), m_ambrel(etat), m_cps(etat), m_hn(etat)
{}

CTestAHView::~CTestAHView()
{
    // The windows refer to the sheets, which die before the child widgets do.
    fermerFeuilles();
}

FenetreFeuille* CTestAHView::fenetre(const CTestPropSheet& feuille) const
{
    if (&feuille == &m_ambrel) {
        return m_fenetreAmbrel;
    }
    if (&feuille == &m_cps) {
        return m_fenetreCps;
    }
    if (&feuille == &m_hn) {
        return m_fenetreHN;
    }
    return nullptr;
}

void CTestAHView::fermerFeuilles()
{
    for (QPointer<FenetreFeuille>* f : {&m_fenetreAmbrel, &m_fenetreCps, &m_fenetreHN}) {
        delete f->data();
    }
}

void CTestAHView::afficher(CTestPropSheet& feuille, QPointer<FenetreFeuille>& fenetre, int masque)
{
    if (feuille.FeuilleCreee != 0 && fenetre != nullptr) {
        fenetre->raise();
        fenetre->activateWindow();
        fenetre->setFocus();
        return;
    }
    feuille.MasqueBoutons = masque;
    fenetre = new FenetreFeuille(feuille, m_etat, window());
    fenetre->show();
}

void CTestAHView::OnFonctionsCps()
{
    afficher(m_cps, m_fenetreCps, CTestCps::kMasque);
}

void CTestAHView::OnFonctionsAmbrel()
{
    afficher(m_ambrel, m_fenetreAmbrel, CTestAmbrel::kMasque);
}

void CTestAHView::OnFonctionsHautNiveau()
{
    afficher(m_hn, m_fenetreHN, CTestHN::kMasque);
}

void CTestAHView::OnInformationApi()
{
    CTexteDlg dialogue(m_etat);
    dialogue.Afficher("Informations API");
}

void CTestAHView::OnAppAbout()
{
    CAboutDlg apropos(window());
    apropos.exec();
}

}  // namespace quintor::gui
