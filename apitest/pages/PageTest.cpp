#include "pages/PageTest.h"

#include <algorithm>
#include <cstring>

#include "CTexteDlg.h"
#include "Presentateur.h"
#include "XmlVersTexte.h"

namespace quintor {

PageTest::PageTest(EtatProgramme& etat) : m_etat(etat) {}

void PageTest::Effacer()
{
    for (const Champ& champ : champs()) {
        if (champ.controle != kControleChemin && champ.controle != kControleCheminDictionnaire) {
            champ.texte->clear();
        }
    }
}

void PageTest::commande(int /*bouton*/) {}

bool PageTest::verifierLiaison(bool lie) const
{
    if (!lie) {
        m_etat.avertir(kFonctionNonChargee);
        return false;
    }
    return true;
}

void PageTest::appliquerRegleChemin(std::string& champChemin, const char* cheminEnvoye,
                                    std::uint16_t retour) const
{
    if (retour == lumeris::kFichiersIntrouvables) {
        champChemin = std::string(cheminEnvoye) + kSuffixeIntrouvable;
    }
    m_etat.CheminPartage = champChemin;
}

void PageTest::afficherDonneesAmbrel(const char* donnees) const
{
    CTexteDlg dialogue(m_etat);
    XmlVersTexte(donnees, dialogue, kRacineAmbrel);
    dialogue.Afficher("Données Ambrel");
}

std::uint32_t capaciteBornee(std::int32_t saisie, std::size_t taille)
{
    // A larger capacity would let the API write past the buffer; a negative
    // one reads as a huge unsigned value and is cut the same way.
    const auto capacite = static_cast<std::uint32_t>(saisie);
    return capacite > taille ? static_cast<std::uint32_t>(taille) : capacite;
}

void remplirFixe(char* tampon, std::size_t taille, const std::string& texte)
{
    std::memset(tampon, 0, taille);
    texte.copy(tampon, std::min(taille, texte.size()));
}

void copierTexte(char* tampon, std::size_t taille, const std::string& texte)
{
    if (taille == 0) {
        return;
    }
    const std::size_t n = std::min(taille - 1, texte.size());
    texte.copy(tampon, n);
    tampon[n] = '\0';
}

std::string OctetsVersTexte(const char* tampon, std::size_t taille)
{
    const void* zero = std::memchr(tampon, 0, taille);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - tampon) : taille;
    return std::string(tampon, n);
}

}  // namespace quintor
