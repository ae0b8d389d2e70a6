#pragma once
// Base of the function test pages: one string per edit field, an execution
// step, a reset step and the page's buttons, free of any toolkit.
//
// How a window binds to a page: it shows one edit per entry of champs()
// (object name = control number, text = *texte, longueurMax applied by its
// data exchange), copies the edits into the strings before Executer() or
// commande(), and copies the strings back into the edits afterwards and after
// Raz(). surActivation() runs each time the page becomes the active tab,
// surCreation() once when its window is first created.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "EtatProgramme.h"
#include "Valeurs.h"

namespace quintor {

struct Champ {
    int controle;         // control number, the same role on every template
    std::string* texte;   // the page's member bound to it
    int longueurMax = 0;  // limit of the data exchange, 0 for none
};

// The path fields: the session opening and high-level initialisation pages
// carry 1100, the dictionary page 1101. Effacer never empties them.
inline constexpr int kControleChemin = 1100;
inline constexpr int kControleCheminDictionnaire = 1101;

// Buttons a template may carry.
inline constexpr int kBoutonRappelSession = 1034;
inline constexpr int kBoutonRappelSessionCps = 1035;
inline constexpr int kBoutonDonnees = 1038;
inline constexpr int kBoutonLibelle = 1051;

// Capacity of the reading pages' data buffer (0x1FFFC, not 131072).
inline constexpr std::size_t kTailleDonnees = 0x1FFFC;
inline constexpr const char* kRacineAmbrel = "t_AsnDonneesAmbrel";

inline constexpr const char* kSuffixeIntrouvable = " (fichiers introuvables)";

class PageTest {
public:
    explicit PageTest(EtatProgramme& etat);
    virtual ~PageTest() = default;
    PageTest(const PageTest&) = delete;
    PageTest& operator=(const PageTest&) = delete;

    // Tab caption and dialog template number.
    virtual std::string titre() const = 0;
    virtual int modele() const = 0;

    virtual std::vector<Champ> champs() = 0;
    virtual std::vector<int> boutons() const { return {}; }

    // Empties the page's fields; the path field is never emptied.
    virtual void Effacer();
    // Effacer, then the page's starting values.
    virtual void Raz() = 0;
    // Reads the fields, calls the API and writes every argument and result back.
    virtual void Executer() = 0;
    // Runs the handler of a button from boutons(); other numbers do nothing.
    virtual void commande(int bouton);

    virtual void surActivation() {}
    virtual void surCreation() {}

protected:
    // False, after the "not loaded" message, when the entry point is not bound:
    // the page then neither calls nor touches its fields.
    bool verifierLiaison(bool lie) const;

    // Path rule of the pages with a path field: on 32 the field becomes the
    // path sent plus the suffix; whatever the result, CheminPartage follows it.
    void appliquerRegleChemin(std::string& champChemin, const char* cheminEnvoye, std::uint16_t retour) const;

    // The ">>" command of the reading pages: renders the data buffer in the
    // text dialog titled "Données Ambrel".
    void afficherDonneesAmbrel(const char* donnees) const;

    EtatProgramme& m_etat;
};

// Capacity actually offered to the API for a data buffer: the value typed in,
// never more than the buffer holds.
std::uint32_t capaciteBornee(std::int32_t saisie, std::size_t taille);

// First `taille` characters of `texte` into `tampon`, zero bytes after a shorter text.
void remplirFixe(char* tampon, std::size_t taille, const std::string& texte);

// Whole text into a buffer of `taille` bytes: a longer text is cut so the
// terminating zero always fits.
void copierTexte(char* tampon, std::size_t taille, const std::string& texte);

// At most `taille` bytes as characters, ending at the first zero byte (an
// edit field cannot hold one).
std::string OctetsVersTexte(const char* tampon, std::size_t taille);

// Numbers of the kinds the pages display.
inline std::string Code16(std::uint16_t valeur)
{
    return CodeAffiche(std::int32_t{valeur});
}
inline std::string CodeSigne16(std::int16_t valeur)
{
    return CodeAffiche(std::int32_t{valeur});
}

}  // namespace quintor
