#include "FausseApi.h"

#include <cstring>

namespace quintor::test {

namespace {

FausseApi g_fausse;

std::string texte(const char* p)
{
    return p == nullptr ? "null" : std::string(p);
}

std::string octets(const char* p, std::size_t n)
{
    return std::string(p, n);
}

std::uint16_t repondre(const char* nom, std::vector<std::string> args, std::uint16_t* err)
{
    g_fausse.appels.push_back({nom, std::move(args)});
    if (g_fausse.err && err != nullptr) {
        *err = *g_fausse.err;
    }
    const auto it = g_fausse.retours.find(nom);
    return it == g_fausse.retours.end() ? 0 : it->second;
}

void ecrireFixe(const char* cle, char* tampon)
{
    const auto it = g_fausse.fixes.find(cle);
    if (it != g_fausse.fixes.end()) {
        std::memcpy(tampon, it->second.data(), it->second.size());
    }
}

void ecrireDonnees(char* data, std::uint32_t* lgData)
{
    std::memcpy(data, g_fausse.donnees.c_str(), g_fausse.donnees.size() + 1);
    *lgData = g_fausse.lgSortie.value_or(static_cast<std::uint32_t>(g_fausse.donnees.size()));
}

std::uint16_t ouverture(const char* nom, const char* chemin, char* appli, std::uint16_t* session,
                        std::uint16_t* err)
{
    const std::string appliRecue = octets(appli, 32);
    const std::string sessionRecue = std::to_string(*session);
    const std::string errRecue = std::to_string(*err);
    *session = g_fausse.session;
    return repondre(nom, {texte(chemin), appliRecue, sessionRecue, errRecue}, err);
}

std::uint16_t LUMERIS_CALL ouvertureAmbrel(const char* c, char* a, std::uint16_t* s, std::uint16_t* e)
{
    return ouverture("Lec_OuvertureSessionAmbrel", c, a, s, e);
}

std::uint16_t LUMERIS_CALL ouvertureCps(const char* c, char* a, std::uint16_t* s, std::uint16_t* e)
{
    return ouverture("Lec_OuvertureSessionCPS", c, a, s, e);
}

std::uint16_t LUMERIS_CALL fermetureAmbrel(std::uint16_t s, std::uint16_t* e)
{
    return repondre("Lec_FermetureSessionAmbrel", {std::to_string(s), std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL fermetureCps(std::uint16_t s, std::uint16_t* e)
{
    return repondre("Lec_FermetureSessionCPS", {std::to_string(s), std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL introAmbrel(std::uint16_t s, std::int16_t t, std::int16_t* etat, std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(s), std::to_string(t), std::to_string(*etat),
                                  std::to_string(*e)};
    *etat = g_fausse.etat;
    return repondre("Lec_IntroductionMstAmbrel", std::move(args), e);
}

std::uint16_t LUMERIS_CALL retraitAmbrel(std::uint16_t s, std::int16_t t, std::uint16_t* e)
{
    return repondre("Lec_RetraitMhtAmbrel", {std::to_string(s), std::to_string(t), std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL retraitCps(std::uint16_t s, std::int16_t t, std::uint16_t* e)
{
    return repondre("Lec_RetraitMhtCPS", {std::to_string(s), std::to_string(t), std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL lectureAmbrel(std::uint16_t s, std::uint16_t sc, char* data, std::uint32_t* lg,
                                         std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(s), std::to_string(sc), octets(data, 1), std::to_string(*lg),
                                  std::to_string(*e)};
    ecrireDonnees(data, lg);
    return repondre("Lec_LectureAmbrel", std::move(args), e);
}

std::uint16_t LUMERIS_CALL introCps(std::uint16_t s, std::int16_t t, char* code, char* nom,
                                    std::int16_t* etat, std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(s), std::to_string(t),     octets(code, 2),
                                  octets(nom, 27),   std::to_string(*etat), std::to_string(*e)};
    ecrireFixe("code", code);
    ecrireFixe("nom", nom);
    *etat = g_fausse.etat;
    return repondre("Lec_IntroductionMstCPS", std::move(args), e);
}

std::uint16_t LUMERIS_CALL controleCps(std::uint16_t s, char* pin, char* periode, char* appli, char* type,
                                       char* present, char* categorie, std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(s),    octets(pin, 4),    octets(periode, 8),
                                  octets(appli, 10),    octets(type, 2),   octets(present, 32),
                                  octets(categorie, 2), std::to_string(*e)};
    ecrireFixe("pin", pin);
    ecrireFixe("periode", periode);
    ecrireFixe("appli", appli);
    ecrireFixe("type", type);
    ecrireFixe("present", present);
    ecrireFixe("categorie", categorie);
    return repondre("Lec_ControleCPS", std::move(args), e);
}

std::uint16_t LUMERIS_CALL dictionnaire(const char* chemin, std::int16_t table, char* code, char* periode,
                                        char* libelle, std::int16_t* lg, std::uint16_t* e)
{
    std::vector<std::string> args{texte(chemin),       std::to_string(table), octets(code, 9),
                                  octets(periode, 51), texte(libelle),        std::to_string(*lg),
                                  std::to_string(*e)};
    ecrireFixe("code", code);
    if (!g_fausse.libelle.empty()) {
        std::memcpy(libelle, g_fausse.libelle.c_str(), g_fausse.libelle.size() + 1);
        *lg = static_cast<std::int16_t>(g_fausse.libelle.size());
    }
    return repondre("Lec_Dictionnaire", std::move(args), e);
}

std::uint16_t LUMERIS_CALL informations(const char* chemin, std::uint16_t* lg, char* infos, std::uint16_t* e)
{
    std::vector<std::string> args{texte(chemin), std::to_string(*lg), octets(infos, 1), std::to_string(*e)};
    if (g_fausse.infosSansZero) {
        std::memset(infos, 'x', *lg);
    } else {
        std::memcpy(infos, g_fausse.infos.c_str(), g_fausse.infos.size() + 1);
    }
    return repondre("Lec_InformationsAPI", std::move(args), e);
}

std::uint16_t LUMERIS_CALL hnInit(const char* chemin, std::uint16_t* mode, std::uint16_t* e)
{
    std::vector<std::string> args{texte(chemin), std::to_string(*mode), std::to_string(*e)};
    *mode = g_fausse.mode;
    return repondre("Hn_Init", std::move(args), e);
}

std::uint16_t LUMERIS_CALL hnFinir(std::uint16_t* e)
{
    return repondre("Hn_Finir", {std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL hnLecture(std::int16_t t, char* data, std::uint32_t* lg, std::int16_t* etat,
                                     std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(t), octets(data, 1), std::to_string(*lg),
                                  std::to_string(*etat), std::to_string(*e)};
    ecrireDonnees(data, lg);
    *etat = g_fausse.etat;
    return repondre("Hn_LectureAmbrel", std::move(args), e);
}

std::uint16_t LUMERIS_CALL hnIntroCps(std::int16_t t, char* code, char* nom, char* present,
                                      std::int16_t* etat, std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(t),   octets(code, 2),       octets(nom, 27),
                                  octets(present, 32), std::to_string(*etat), std::to_string(*e)};
    ecrireFixe("code", code);
    ecrireFixe("nom", nom);
    ecrireFixe("present", present);
    *etat = g_fausse.etat;
    return repondre("Hn_IntroductionMstCPS", std::move(args), e);
}

std::uint16_t LUMERIS_CALL hnRetraitCps(std::int16_t t, std::uint16_t* e)
{
    return repondre("Hn_RetraitMhtCPS", {std::to_string(t), std::to_string(*e)}, e);
}

std::uint16_t LUMERIS_CALL hnControleCps(char* pin, char* periode, char* type, char* present, char* categorie,
                                         std::uint16_t* e)
{
    std::vector<std::string> args{octets(pin, 4),      octets(periode, 8),   octets(type, 2),
                                  octets(present, 32), octets(categorie, 2), std::to_string(*e)};
    ecrireFixe("pin", pin);
    ecrireFixe("periode", periode);
    ecrireFixe("type", type);
    ecrireFixe("present", present);
    ecrireFixe("categorie", categorie);
    return repondre("Hn_ControleCPS", std::move(args), e);
}

std::uint16_t LUMERIS_CALL hnPresence(std::uint16_t coupleur, unsigned char* statut, std::uint16_t* e)
{
    std::vector<std::string> args{std::to_string(coupleur), std::to_string(*statut), std::to_string(*e)};
    *statut = g_fausse.statut;
    return repondre("Hn_TestPresence", std::move(args), e);
}

}  // namespace

std::vector<std::string> FausseApi::noms() const
{
    std::vector<std::string> resultat;
    for (const Appel& appel : appels) {
        resultat.push_back(appel.nom);
    }
    return resultat;
}

FausseApi& fausse()
{
    return g_fausse;
}

void installer(TableFonctionsLecture& table)
{
    g_fausse = FausseApi{};
    table.module = nullptr;
    table.Lec_OuvertureSessionAmbrel = ouvertureAmbrel;
    table.Lec_FermetureSessionAmbrel = fermetureAmbrel;
    table.Lec_IntroductionMstAmbrel = introAmbrel;
    table.Lec_RetraitMhtAmbrel = retraitAmbrel;
    table.Lec_LectureAmbrel = lectureAmbrel;
    table.Lec_OuvertureSessionCPS = ouvertureCps;
    table.Lec_FermetureSessionCPS = fermetureCps;
    table.Lec_IntroductionMstCPS = introCps;
    table.Lec_RetraitMhtCPS = retraitCps;
    table.Lec_ControleCPS = controleCps;
    table.Lec_Dictionnaire = dictionnaire;
    table.Lec_InformationsAPI = informations;
    table.Hn_Init = hnInit;
    table.Hn_Finir = hnFinir;
    table.Hn_LectureAmbrel = hnLecture;
    table.Hn_IntroductionMstCPS = hnIntroCps;
    table.Hn_RetraitMhtCPS = hnRetraitCps;
    table.Hn_ControleCPS = hnControleCps;
    table.Hn_TestPresence = hnPresence;
}

}  // namespace quintor::test
