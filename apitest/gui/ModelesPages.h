#pragma once
// Layout of the function pages' dialog templates: each control's kind, label
// and rectangle in dialog units. Only presentation lives here; which fields and
// buttons a page has, and what they do, comes from its page logic.

#include <vector>

namespace quintor::gui {

enum class Genre { Etiquette, Edition, EditionMulti, MotDePasse, Bouton };

struct ElementModele {
    int id;  // control number, 0 for a static label
    Genre genre;
    const char* texte;  // label or button text (UTF-8)
    int x, y, l, h;     // dialog units
};

struct ModelePage {
    int numero;
    int largeur, hauteur;  // dialog units
    std::vector<ElementModele> elements;
};

// The template of the given number, or null when none is known.
const ModelePage* modelePage(int numero);

// Description string of a button command (string resource of the same
// number), or null when it has none.
const char* descriptionCommande(int commande);

// Label of the path fields on every template that has one (and of the text
// window's). It names the separator the API expects on this platform: on
// Linux a path ending with "\" is no folder and the API answers 32.
#ifdef _WIN32
inline constexpr const char* kEtiquetteChemin =
    "Chemin des fichiers de configuration et des tables (doit finir par \\):";
#else
inline constexpr const char* kEtiquetteChemin =
    "Chemin des fichiers de configuration et des tables (doit finir par /):";
#endif

}  // namespace quintor::gui
