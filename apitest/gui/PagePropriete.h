#pragma once
// Window of one function page: builds the template's controls, binds each edit
// to its field of the page logic and reports the page's own buttons. The sheet
// runs the steps and the buttons; the page logic reads, calls and writes back.

#include <QWidget>

#include <map>

namespace quintor {
class PageTest;
struct EtatProgramme;
}  // namespace quintor

namespace quintor::gui {

struct ModelePage;

class PagePropriete : public QWidget {
    Q_OBJECT
public:
    PagePropriete(PageTest& page, EtatProgramme& etat, QWidget* parent = nullptr);

    PageTest& page() { return m_page; }

    // The framework's data exchange, controls into fields. A field longer than
    // its limit gets the limit message; the fields after it are not exchanged
    // and false is returned.
    bool versMembres();
    // Fields into controls.
    void versControles();

    static QString messageLimite(int longueur);

signals:
    // A page button ("<<", ">>") was pressed; the sheet runs its handler.
    void commandeDemandee(int bouton);

private:
    void construire(const ModelePage* modele);

    PageTest& m_page;
    EtatProgramme& m_etat;
    std::map<int, QWidget*> m_edits;
};

}  // namespace quintor::gui
