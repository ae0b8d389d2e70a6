#include "CTexteDlg.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "EtatProgramme.h"
#include "Presentateur.h"
#include "XmlVersTexte.h"

namespace quintor {

CTexteDlg::CTexteDlg(EtatProgramme& etat) : m_etat(etat) {}

void CTexteDlg::initialiser()
{
    path = m_etat.CheminPartage;
}

int CTexteDlg::Afficher(const std::string& titre)
{
    title = titre;
    if (m_etat.presentateur == nullptr) {
        return 0;
    }
    return m_etat.presentateur->afficherTexte(*this);
}

void CTexteDlg::OnExecuter()
{
    auto* fonction = m_etat.Table.Lec_InformationsAPI;
    if (fonction == nullptr) {
        m_etat.avertir(kFonctionNonChargee);
        return;
    }

    // A path of exactly 512 characters is passed whole; anything longer than
    // the edit accepts is cut there.
    std::array<char, kLongueurMaxChemin + 1> chemin{};
    path.copy(chemin.data(), kLongueurMaxChemin);

    // One spare byte beyond the announced capacity stays 0, so an answer that
    // fills the whole capacity without a terminator still ends inside the buffer.
    std::array<char, kTailleInfos + 1> infos{};
    std::uint16_t lgInfos = static_cast<std::uint16_t>(kTailleInfos);
    std::uint16_t err = 0;
    const std::uint16_t retour = fonction(chemin.data(), &lgInfos, infos.data(), &err);

    text.clear();
    if (retour == 0) {
        XmlVersTexte(infos.data(), *this, "InformationsAPI");
    } else {
        if (retour == lumeris::kFichiersIntrouvables) {
            path = std::string(chemin.data()) + " (fichiers introuvables)";
        }
        char lignes[96];
        std::snprintf(lignes, sizeof lignes, "Code erreur: %d (0x%04x)\r\nCode retour: %d (0x%04x)", err, err,
                      retour, retour);
        text = lignes;
    }
    m_etat.CheminPartage = path;
}

}  // namespace quintor
