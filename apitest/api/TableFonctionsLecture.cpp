#include "api/TableFonctionsLecture.h"

#include "api/ChargeurBibliotheque.h"

namespace quintor {

const char* const kNomsFonctions[kNombreFonctions] = {
    "Lec_OuvertureSessionAmbrel",
    "Lec_FermetureSessionAmbrel",
    "Lec_IntroductionMstAmbrel",
    "Lec_RetraitMhtAmbrel",
    "Lec_LectureAmbrel",
    "Lec_OuvertureSessionCPS",
    "Lec_FermetureSessionCPS",
    "Lec_IntroductionMstCPS",
    "Lec_RetraitMhtCPS",
    "Lec_ControleCPS",
    "Lec_Dictionnaire",
    "Lec_InformationsAPI",
    "Hn_Init",
    "Hn_Finir",
    "Hn_LectureAmbrel",
    "Hn_IntroductionMstCPS",
    "Hn_RetraitMhtCPS",
    "Hn_ControleCPS",
    "Hn_TestPresence",
};

namespace {

template <typename Fn>
bool resoudre(void* module, const char* nom, Fn*& emplacement)
{
    // Object and function pointers share one representation on every platform
    // the API exists for; dlsym and GetProcAddress rely on it too.
    emplacement = reinterpret_cast<Fn*>(plateforme::trouverSymbole(module, nom));
    return emplacement != nullptr;
}

}  // namespace

void TableFonctionsLecture::effacerPointeurs()
{
    Lec_OuvertureSessionAmbrel = nullptr;
    Lec_FermetureSessionAmbrel = nullptr;
    Lec_IntroductionMstAmbrel = nullptr;
    Lec_RetraitMhtAmbrel = nullptr;
    Lec_LectureAmbrel = nullptr;
    Lec_OuvertureSessionCPS = nullptr;
    Lec_FermetureSessionCPS = nullptr;
    Lec_IntroductionMstCPS = nullptr;
    Lec_RetraitMhtCPS = nullptr;
    Lec_ControleCPS = nullptr;
    Lec_Dictionnaire = nullptr;
    Lec_InformationsAPI = nullptr;
    Hn_Init = nullptr;
    Hn_Finir = nullptr;
    Hn_LectureAmbrel = nullptr;
    Hn_IntroductionMstCPS = nullptr;
    Hn_RetraitMhtCPS = nullptr;
    Hn_ControleCPS = nullptr;
    Hn_TestPresence = nullptr;
}

std::uint16_t ChargerLumeris(TableFonctionsLecture& table, const char* nomFichier)
{
    table.erreurChargeur.clear();
    if (table.module == nullptr) {
        table.module = plateforme::chargerBibliotheque(nomFichier);
        if (table.module == nullptr) {
            table.erreurChargeur = plateforme::derniereErreurChargeur();
            table.erreurSysteme = plateforme::diagnostiquerEchec(nomFichier);
            return 1;
        }
    }

    void* m = table.module;
    // Every name is looked up, even after a miss, so the table shows all gaps.
    int manquants = 0;
    const char* const* nom = kNomsFonctions;
    manquants += !resoudre(m, *nom++, table.Lec_OuvertureSessionAmbrel);
    manquants += !resoudre(m, *nom++, table.Lec_FermetureSessionAmbrel);
    manquants += !resoudre(m, *nom++, table.Lec_IntroductionMstAmbrel);
    manquants += !resoudre(m, *nom++, table.Lec_RetraitMhtAmbrel);
    manquants += !resoudre(m, *nom++, table.Lec_LectureAmbrel);
    manquants += !resoudre(m, *nom++, table.Lec_OuvertureSessionCPS);
    manquants += !resoudre(m, *nom++, table.Lec_FermetureSessionCPS);
    manquants += !resoudre(m, *nom++, table.Lec_IntroductionMstCPS);
    manquants += !resoudre(m, *nom++, table.Lec_RetraitMhtCPS);
    manquants += !resoudre(m, *nom++, table.Lec_ControleCPS);
    manquants += !resoudre(m, *nom++, table.Lec_Dictionnaire);
    manquants += !resoudre(m, *nom++, table.Lec_InformationsAPI);
    manquants += !resoudre(m, *nom++, table.Hn_Init);
    manquants += !resoudre(m, *nom++, table.Hn_Finir);
    manquants += !resoudre(m, *nom++, table.Hn_LectureAmbrel);
    manquants += !resoudre(m, *nom++, table.Hn_IntroductionMstCPS);
    manquants += !resoudre(m, *nom++, table.Hn_RetraitMhtCPS);
    manquants += !resoudre(m, *nom++, table.Hn_ControleCPS);
    manquants += !resoudre(m, *nom++, table.Hn_TestPresence);

    if (manquants == 0) {
        table.erreurSysteme = 0;
        return 0;
    }

    table.erreurChargeur = plateforme::derniereErreurChargeur();
    plateforme::libererBibliotheque(table.module);
    table.module = nullptr;
    // The resolved addresses point into the library just released: keeping them
    // would let a page call into unmapped code, so the table forgets them all.
    table.effacerPointeurs();
    plateforme::effacerErreurSysteme();
    table.erreurSysteme = 0;
    return 2;
}

std::uint16_t LibererLumeris(TableFonctionsLecture& table)
{
    if (table.module == nullptr) {
        return 1;
    }
    plateforme::libererBibliotheque(table.module);
    table.module = nullptr;
    // The entry points die with the library; a later call must find them unbound.
    table.effacerPointeurs();
    return 0;
}

}  // namespace quintor
