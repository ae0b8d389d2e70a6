#pragma once
// Window of a test sheet: the tabs of its pages and the button row under them.
// It exists only while the sheet is shown; the sheet logic and its pages keep
// their values between two showings.

#include <QDialog>
#include <QPointer>

#include <vector>

#include "pages/CTestPropSheet.h"

class QPushButton;
class QTabWidget;

namespace quintor::gui {

class PagePropriete;

class FenetreFeuille : public QDialog, public ObservateurFeuille {
    Q_OBJECT
public:
    FenetreFeuille(CTestPropSheet& feuille, EtatProgramme& etat, QWidget* proprietaire);
    ~FenetreFeuille() override;

    CTestPropSheet& feuille() { return m_feuille; }
    QTabWidget* onglets() const { return m_onglets; }
    // The window of page `index`, null until the page has been shown once.
    PagePropriete* pageFenetre(int index) const;
    QPushButton* bouton(int commande) const;

    // ObservateurFeuille
    void pageActivee(int index) override;
    void lireChamps(int index) override;
    void ecrireChamps(int index) override;
    void activerBoutons(bool actifs) override;
    void curseurAttente(bool attente) override;

public slots:
    // Escape sends the cancel command, which on a sheet is "Ra&z".
    void reject() override;

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    void initialiser();
    // Leaves the sheet logic: its window is gone from then on.
    void detacher();
    void surOngletChange(int index);
    void commande(int commande);

    CTestPropSheet& m_feuille;
    EtatProgramme& m_etat;
    QTabWidget* m_onglets = nullptr;
    std::vector<QWidget*> m_conteneurs;
    std::vector<PagePropriete*> m_pages;
    std::vector<QPushButton*> m_boutons;
    int m_ongletCourant = 0;
    bool m_activationEnCours = false;
    int m_curseurs = 0;
    bool m_detachee = false;
};

}  // namespace quintor::gui
