#include "pages/CTest_Lec_Dictionnaire.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "CTexteDlg.h"
#include "Presentateur.h"

namespace quintor {

CTest_Lec_Dictionnaire::CTest_Lec_Dictionnaire(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Lec_Dictionnaire::champs()
{
    return {{1101, &m_Chemin, 512}, {1039, &m_NoTable},   {1040, &m_NoCode},     {1041, &m_PeriodeETMCouv},
            {1042, &m_Libelle},     {1046, &m_LgLibelle}, {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void CTest_Lec_Dictionnaire::Raz()
{
    Effacer();
    m_LgLibelle = "500";
}

void CTest_Lec_Dictionnaire::surActivation()
{
    m_Chemin = m_etat.CheminPartage;
}

void CTest_Lec_Dictionnaire::commande(int bouton)
{
    if (bouton == kBoutonLibelle) {
        CTexteDlg dialogue(m_etat);
        dialogue.text = MiseEnFormeLibelle(m_Libelle);
        dialogue.Afficher("Libellé");
    }
}

void CTest_Lec_Dictionnaire::Executer()
{
    auto* fonction = m_etat.Table.Lec_Dictionnaire;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    // One spare zero byte beyond what the API is offered keeps the label
    // terminated whatever the API writes.
    std::unique_ptr<char[]> libelle(new (std::nothrow) char[kTailleLibelle + 1]);
    if (!libelle) {
        m_etat.avertir(kErreurAllocation);
        return;
    }
    std::fill_n(libelle.get(), kTailleLibelle + 1, '\0');

    std::array<char, 512> chemin{};
    copierTexte(chemin.data(), chemin.size(), m_Chemin);
    const auto table = static_cast<std::int16_t>(ValeurEntiere(m_NoTable));
    // The capacity is a signed 16-bit value: keep it within the buffer and
    // never negative, which an API could read as a huge unsigned size.
    const std::int32_t saisie = ValeurEntiere(m_LgLibelle);
    auto lgLibelle = static_cast<std::int16_t>(
        std::clamp<std::int32_t>(saisie, 0, static_cast<std::int32_t>(kTailleLibelle)));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    std::array<char, lumeris::kLgCodeTable> code{};
    remplirFixe(code.data(), code.size(), m_NoCode);
    // The period is text to the API: a full 50-character period still gets a terminator.
    std::array<char, lumeris::kLgPeriodeTable + 1> periode{};
    remplirFixe(periode.data(), lumeris::kLgPeriodeTable, m_PeriodeETMCouv);
    copierTexte(libelle.get(), kTailleLibelle, m_Libelle);

    Effacer();
    const std::uint16_t retour =
        fonction(chemin.data(), table, code.data(), periode.data(), libelle.get(), &lgLibelle, &err);

    m_NoTable = Decimal(table);
    m_NoCode = OctetsVersTexte(code.data(), code.size());
    m_PeriodeETMCouv = OctetsVersTexte(periode.data(), lumeris::kLgPeriodeTable);
    m_Libelle = OctetsVersTexte(libelle.get(), kTailleLibelle);
    m_LgLibelle = CodeSigne16(lgLibelle);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
    appliquerRegleChemin(m_Chemin, chemin.data(), retour);
}

}  // namespace quintor
