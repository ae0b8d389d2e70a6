#pragma once
// Command identifiers and texts of the main window's resources. Controls and
// actions carry these numbers as their object names so tests can find them.

namespace quintor::gui {

inline constexpr int kIdQuitter = 57665;
inline constexpr int kIdBarreOutils = 59392;
inline constexpr int kIdBarreEtat = 59393;
inline constexpr int kIdFonctionsCps = 32771;
inline constexpr int kIdFonctionsAmbrel = 32774;
inline constexpr int kIdInformationApi = 32786;
inline constexpr int kIdFonctionsHautNiveau = 32780;
inline constexpr int kIdTestsErreurParametres = 32782;
inline constexpr int kIdAPropos = 57664;

// Buttons of the sheets' row.
inline constexpr int kIdExecuter = 1;
inline constexpr int kIdRaz = 2;
inline constexpr int kIdFermer = 8;
inline constexpr int kIdAuto = 32773;

inline constexpr const char* kTitreApplication = "Lumeris - Programme de test & démonstration";
inline constexpr const char* kTitreFenetre = "Outils de démonstration";
inline constexpr const char* kNomDocument = "Lumeris";
inline constexpr const char* kTitreEchecChargement = "Lumeris - Tests";
inline constexpr const char* kMessageEchecChargement =
    "Echec du chargement de Lumeris.dll\n(erreur %1 - %2)\nVoulez-vous continuer";
inline constexpr const char* kPret = "Prêt";
inline constexpr const char* kOrganisation = "Lumeris";
inline constexpr const char* kApplication = "Quintor";

}  // namespace quintor::gui
