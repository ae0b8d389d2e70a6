#pragma once
// The 19 entry points of the card-reading API as the test program calls them.
// The binding and the stand-in library both take their signatures from here, so
// a width or convention mismatch fails to compile instead of corrupting a stack.
//
// Every entry point returns a 16-bit code, 0 meaning success. Fixed-width text
// arguments (code, nom, periode, ...) carry no terminator; data, libelle and
// infos are NUL-terminated text.

#include <cstdint>

// 32-bit Windows builds of the API use __stdcall; everywhere else the platform's
// only C convention applies.
#if defined(_WIN32) && !defined(_WIN64)
#define LUMERIS_CALL __stdcall
#else
#define LUMERIS_CALL
#endif

namespace lumeris {

using CodeRetour = std::uint16_t;

using FnLecOuvertureSession = CodeRetour LUMERIS_CALL(const char* chemin, char* appli, std::uint16_t* session,
                                                      std::uint16_t* err);
using FnLecFermetureSession = CodeRetour LUMERIS_CALL(std::uint16_t session, std::uint16_t* err);
using FnLecIntroductionMstAmbrel = CodeRetour LUMERIS_CALL(std::uint16_t session, std::int16_t tempsAttente,
                                                           std::int16_t* etat, std::uint16_t* err);
using FnLecRetraitMht = CodeRetour LUMERIS_CALL(std::uint16_t session, std::int16_t tempsAttente,
                                                std::uint16_t* err);
using FnLecLectureAmbrel = CodeRetour LUMERIS_CALL(std::uint16_t session, std::uint16_t sessionCps,
                                                   char* data, std::uint32_t* lgData, std::uint16_t* err);
using FnLecIntroductionMstCps = CodeRetour LUMERIS_CALL(std::uint16_t session, std::int16_t tempsAttente,
                                                        char* code, char* nom, std::int16_t* etat,
                                                        std::uint16_t* err);
using FnLecControleCps = CodeRetour LUMERIS_CALL(std::uint16_t session, char* pinCode, char* periode,
                                                 char* appli, char* type, char* present, char* categorie,
                                                 std::uint16_t* err);
using FnLecDictionnaire = CodeRetour LUMERIS_CALL(const char* chemin, std::int16_t table, char* code,
                                                  char* periode, char* libelle, std::int16_t* lgLibelle,
                                                  std::uint16_t* err);
using FnLecInformationsApi = CodeRetour LUMERIS_CALL(const char* chemin, std::uint16_t* lgInfos, char* infos,
                                                     std::uint16_t* err);
using FnHnInit = CodeRetour LUMERIS_CALL(const char* chemin, std::uint16_t* mode, std::uint16_t* err);
using FnHnFinir = CodeRetour LUMERIS_CALL(std::uint16_t* err);
using FnHnLectureAmbrel = CodeRetour LUMERIS_CALL(std::int16_t tempsAttente, char* data,
                                                  std::uint32_t* lgData, std::int16_t* etat,
                                                  std::uint16_t* err);
using FnHnIntroductionMstCps = CodeRetour LUMERIS_CALL(std::int16_t tempsAttente, char* code, char* nom,
                                                       char* present, std::int16_t* etat, std::uint16_t* err);
using FnHnRetraitMhtCps = CodeRetour LUMERIS_CALL(std::int16_t tempsAttente, std::uint16_t* err);
using FnHnControleCps = CodeRetour LUMERIS_CALL(char* pinCode, char* periode, char* type, char* present,
                                                char* categorie, std::uint16_t* err);
using FnHnTestPresence = CodeRetour LUMERIS_CALL(std::uint16_t coupleur, unsigned char* status,
                                                 std::uint16_t* err);

// Capacities of the fixed-width arguments, in characters.
inline constexpr int kLgCodeCivilite = 2;
inline constexpr int kLgNom = 27;
inline constexpr int kLgPinCode = 4;
inline constexpr int kLgPeriode = 8;
inline constexpr int kLgAppli = 10;
inline constexpr int kLgType = 2;
inline constexpr int kLgPresent = 32;
inline constexpr int kLgCategorie = 2;
inline constexpr int kLgCodeTable = 9;
inline constexpr int kLgPeriodeTable = 50;
inline constexpr int kLgCheminMax = 511;

// Return code the callers interpret besides 0: configuration or table files not found.
inline constexpr CodeRetour kFichiersIntrouvables = 32;

}  // namespace lumeris
