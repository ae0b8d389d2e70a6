#include "ModelesPages.h"

#include <algorithm>

namespace quintor::gui {

namespace {

using E = ElementModele;

// One labelled edit: the label sits 2 units lower than its field, as on the
// original templates.
void ligne(std::vector<E>& v, int id, const char* etiquette, int xe, int y, int xc, int lc,
           Genre genre = Genre::Edition)
{
    v.push_back({0, Genre::Etiquette, etiquette, xe, y + 2, xc - xe - 3, 8});
    v.push_back({id, genre, nullptr, xc, y, lc, 12});
}

void chemin(std::vector<E>& v, int id, int largeur)
{
    v.push_back({0, Genre::Etiquette, kEtiquetteChemin, 7, 7, largeur - 14, 8});
    v.push_back({id, Genre::Edition, nullptr, 7, 18, largeur - 14, 12});
}

void bouton(std::vector<E>& v, int id, const char* texte, int x, int y, int l = 20, int h = 12)
{
    v.push_back({id, Genre::Bouton, texte, x, y, l, h});
}

std::vector<ModelePage> construire()
{
    std::vector<ModelePage> m;

    {  // 136: session opening, both card families
        ModelePage p{136, 354, 163, {}};
        chemin(p.elements, 1100, 354);
        ligne(p.elements, 1030, "NomApplication", 7, 38, 78, 130);
        ligne(p.elements, 1012, "NoSession", 7, 56, 78, 80);
        ligne(p.elements, 1021, "CodeErreur", 7, 74, 78, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 92, 78, 80);
        m.push_back(std::move(p));
    }
    {  // 137: session closing
        ModelePage p{137, 167, 79, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 66, 66);
        bouton(p.elements, 1034, "&<<", 136, 7, 24);
        ligne(p.elements, 1021, "CodeErreur", 7, 25, 66, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 43, 66, 80);
        m.push_back(std::move(p));
    }
    {  // 138: CPS insertion
        ModelePage p{138, 337, 82, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 64, 70);
        bouton(p.elements, 1034, "<<", 138, 7);
        ligne(p.elements, 1025, "TempsAttente", 7, 25, 64, 70);
        ligne(p.elements, 1028, "EtatCarte", 7, 43, 64, 70);
        ligne(p.elements, 1021, "CodeErreur", 7, 61, 64, 70);
        ligne(p.elements, 1026, "CodeCivilité", 170, 7, 236, 40);
        ligne(p.elements, 1027, "NomPatronymique", 170, 25, 236, 94);
        ligne(p.elements, 1032, "Code de retour", 170, 43, 236, 80);
        m.push_back(std::move(p));
    }
    for (int numero : {139, 142}) {  // CPS and patient-card removal
        ModelePage p{numero, 167, 87, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 66, 66);
        bouton(p.elements, 1034, "<<", 136, 7, 24);
        ligne(p.elements, 1025, "TempsAttente", 7, 25, 66, 66);
        ligne(p.elements, 1021, "CodeErreur", 7, 43, 66, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 61, 66, 80);
        m.push_back(std::move(p));
    }
    {  // 140: CPS code check
        ModelePage p{140, 312, 113, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 70, 66);
        bouton(p.elements, 1034, "<<", 140, 7);
        ligne(p.elements, 1018, "PIN/Code", 7, 25, 70, 66, Genre::MotDePasse);
        ligne(p.elements, 1020, "DateFinValidité", 7, 43, 70, 66);
        ligne(p.elements, 1022, "IdentApplication", 7, 61, 70, 66);
        ligne(p.elements, 1019, "TypeCarte", 7, 79, 70, 66);
        ligne(p.elements, 1023, "PresentPINCode", 170, 7, 236, 70);
        ligne(p.elements, 1024, "Catégorie", 170, 25, 236, 70);
        ligne(p.elements, 1021, "CodeErreur", 170, 43, 236, 70);
        ligne(p.elements, 1032, "Code de retour", 170, 61, 236, 70);
        m.push_back(std::move(p));
    }
    {  // 141: patient-card insertion
        ModelePage p{141, 172, 103, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 66, 70);
        bouton(p.elements, 1034, "<<", 140, 7, 24);
        ligne(p.elements, 1025, "TempsAttente", 7, 25, 66, 70);
        ligne(p.elements, 1028, "EtatCarte", 7, 43, 66, 80);
        ligne(p.elements, 1021, "CodeErreur", 7, 61, 66, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 79, 66, 80);
        m.push_back(std::move(p));
    }
    {  // 143: patient-card reading
        ModelePage p{143, 347, 172, {}};
        ligne(p.elements, 1012, "NoSession", 7, 7, 70, 70);
        bouton(p.elements, 1034, "<<", 144, 7);
        ligne(p.elements, 1013, "NoSessionCPS", 176, 7, 240, 70);
        bouton(p.elements, 1035, "<<", 314, 7);
        ligne(p.elements, 1036, "LgDataOut", 7, 25, 70, 80);
        ligne(p.elements, 1021, "CodeErreur", 176, 25, 240, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 43, 70, 80);
        p.elements.push_back({0, Genre::Etiquette, "DataOut", 7, 63, 60, 8});
        p.elements.push_back({1037, Genre::EditionMulti, nullptr, 7, 73, 310, 92});
        bouton(p.elements, 1038, ">>", 321, 73, 20, 14);
        m.push_back(std::move(p));
    }
    {  // 144: dictionary
        ModelePage p{144, 359, 162, {}};
        chemin(p.elements, 1101, 359);
        ligne(p.elements, 1039, "NoTable", 7, 36, 70, 60);
        ligne(p.elements, 1040, "NoCode", 150, 36, 210, 60);
        ligne(p.elements, 1041, "PeriodeETMCouv", 7, 54, 70, 200);
        ligne(p.elements, 1046, "LgLibelle", 7, 72, 70, 60);
        ligne(p.elements, 1021, "CodeErreur", 150, 72, 210, 80);
        ligne(p.elements, 1032, "Code de retour", 7, 90, 70, 80);
        p.elements.push_back({0, Genre::Etiquette, "Libelle", 7, 110, 60, 8});
        p.elements.push_back({1042, Genre::EditionMulti, nullptr, 7, 120, 320, 36});
        bouton(p.elements, 1051, ">>", 332, 120, 20, 14);
        m.push_back(std::move(p));
    }
    {  // 153: high-level patient-card reading
        ModelePage p{153, 323, 209, {}};
        ligne(p.elements, 1025, "Temps Attente", 7, 7, 70, 60);
        ligne(p.elements, 1028, "EtatCarte", 150, 7, 210, 80);
        // The length field ends short of the right column's label.
        ligne(p.elements, 1036, "LgDataOut ", 7, 25, 70, 72);
        ligne(p.elements, 1021, "CodeErreur", 150, 25, 210, 80);
        ligne(p.elements, 1032, "CodeRetour", 7, 43, 70, 80);
        p.elements.push_back({0, Genre::Etiquette, "DataOut", 7, 63, 60, 8});
        p.elements.push_back({1037, Genre::EditionMulti, nullptr, 7, 73, 285, 128});
        bouton(p.elements, 1038, ">>", 297, 73, 20, 14);
        m.push_back(std::move(p));
    }
    {  // 154: high-level initialisation
        ModelePage p{154, 369, 140, {}};
        chemin(p.elements, 1100, 369);
        ligne(p.elements, 1074, "Mode", 7, 38, 70, 80);
        ligne(p.elements, 1021, "CodeErreur", 7, 56, 70, 80);
        ligne(p.elements, 1032, "CodeRetour", 7, 74, 70, 80);
        m.push_back(std::move(p));
    }
    {  // 155: high-level end
        ModelePage p{155, 186, 65, {}};
        ligne(p.elements, 1021, "CodeErreur", 7, 7, 70, 90);
        ligne(p.elements, 1032, "CodeRetour", 7, 25, 70, 90);
        m.push_back(std::move(p));
    }
    {  // 156: card presence
        ModelePage p{156, 188, 114, {}};
        ligne(p.elements, 1077, "usCoupleur", 7, 7, 70, 90);
        ligne(p.elements, 1078, "usStatut", 7, 25, 70, 90);
        ligne(p.elements, 1032, "CodeRetour", 7, 43, 70, 90);
        ligne(p.elements, 1033, "CodeErreur", 7, 61, 70, 90);
        m.push_back(std::move(p));
    }
    {  // 157: high-level CPS insertion
        ModelePage p{157, 350, 111, {}};
        ligne(p.elements, 1025, "sTempsAttente", 7, 7, 70, 80);
        ligne(p.elements, 1028, "EtatCarte", 7, 25, 70, 80);
        ligne(p.elements, 1021, "CodeErreur", 7, 43, 70, 80);
        ligne(p.elements, 1032, "CodeRetour", 7, 61, 70, 80);
        ligne(p.elements, 1026, "CodeCivilité", 170, 7, 238, 40);
        ligne(p.elements, 1027, "NomPatronymique", 170, 25, 238, 105);
        ligne(p.elements, 1023, "PresentPINCode", 170, 43, 238, 70);
        m.push_back(std::move(p));
    }
    {  // 158: high-level CPS removal
        ModelePage p{158, 196, 93, {}};
        ligne(p.elements, 1025, "sTempsAttente", 7, 7, 70, 90);
        ligne(p.elements, 1021, "CodeErreur", 7, 25, 70, 90);
        ligne(p.elements, 1032, "CodeRetour", 7, 43, 70, 90);
        m.push_back(std::move(p));
    }
    {  // 159: high-level CPS code check
        ModelePage p{159, 337, 118, {}};
        ligne(p.elements, 1018, "PinCode", 7, 7, 72, 66);
        ligne(p.elements, 1020, "DateFinValidité", 7, 25, 72, 66);
        ligne(p.elements, 1019, "TypeCarte", 7, 43, 72, 66);
        ligne(p.elements, 1024, "Catégorie", 7, 61, 72, 66);
        ligne(p.elements, 1023, "PresentPinCode", 170, 7, 238, 90);
        ligne(p.elements, 1021, "CodeErreur", 170, 25, 238, 90);
        ligne(p.elements, 1032, "CodeRetour", 170, 43, 238, 90);
        m.push_back(std::move(p));
    }
    return m;
}

}  // namespace

const ModelePage* modelePage(int numero)
{
    static const std::vector<ModelePage> modeles = construire();
    const auto it = std::find_if(modeles.begin(), modeles.end(),
                                 [numero](const ModelePage& p) { return p.numero == numero; });
    return it == modeles.end() ? nullptr : &*it;
}

const char* descriptionCommande(int commande)
{
    switch (commande) {
    // The resource names the patient card on every page that carries the button.
    case 1034: return "Rappeler le n° de session Ambrel\nRappeler le n° de session Ambrel";
    case 1035: return "Rapeler le n° de session CPS";
    case 32773: return "Test des fonctions en enchaînement automatique";
    default: return nullptr;
    }
}

}  // namespace quintor::gui
