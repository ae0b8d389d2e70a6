#pragma once
// Logic of the text result dialog: the listing, the path field and the title,
// and the "Executer" step that asks the API for its component information.
// The dialog window binds `text` and `path` to its two edit fields and calls
// initialiser() when it opens and OnExecuter() for its button.

#include <cstddef>
#include <string>

namespace quintor {

struct EtatProgramme;

class CTexteDlg {
public:
    explicit CTexteDlg(EtatProgramme& etat);

    std::string text;
    std::string path;
    std::string title;

    // Limit of the path edit field, in characters.
    static constexpr int kLongueurMaxChemin = 512;
    // Capacity announced to the API for its information text.
    static constexpr std::size_t kTailleInfos = 2500;

    // Dialog initialisation: path from CheminPartage.
    void initialiser();

    // Runs the title and the modal dialog through the presenter.
    int Afficher(const std::string& titre);

    // Asks the API for its information (controls already copied into the
    // members); leaves the listing or the two code lines in `text`, the path
    // rule applied to `path`, and `path` stored into CheminPartage.
    void OnExecuter();

private:
    EtatProgramme& m_etat;
};

}  // namespace quintor
