#pragma once
// Main window: menu, toolbar and status bar; it shows nothing else. Closing it
// releases the API library before the sheets go away with the view.

#include <QMainWindow>

namespace quintor {
struct EtatProgramme;
}

class QAction;

namespace quintor::gui {

class CTestAHView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(EtatProgramme& etat, QWidget* parent = nullptr);

    CTestAHView* vue() const { return m_vue; }
    // The menu or toolbar action of a command number, null when none.
    QAction* action(int commande) const;

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    QAction* creerAction(int commande, const QString& texte, const char* invite);
    void creerMenus();
    void creerBarreOutils();
    void creerBarreEtat();
    void creerAccelerateurs();

    EtatProgramme& m_etat;
    CTestAHView* m_vue = nullptr;
};

}  // namespace quintor::gui
