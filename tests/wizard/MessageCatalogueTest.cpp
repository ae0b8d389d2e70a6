// The message catalogue against the program's string table: every code with
// its text, caption and style, and the fallback for an unknown code.

#include "MessageCatalogue.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace calveno::test {
namespace {

struct Expected {
    int code;
    std::string_view text;
    std::string_view caption;
    MessageButtons buttons;
    MessageIcon icon;
};

constexpr Expected kExpected[] = {
    {1,
     "Une erreur s'est produite pendant l'initialisation de l'application !\n\nLe programme d'installation "
     "et de configuration du TUVEX va être interrompu.",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {2,
     "Une erreur s'est produite pendant l'initialisation du programme : le programme est déjà lancé !\n\nLe "
     "programme d'installation et de configuration du TUVEX va être interrompu.",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {11,
     "Une erreur d'enchaînement interne est survenue !\n\nLe programme d'installation et de configuration du "
     "TUVEX va être interrompu.",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {23, "Vous n'avez pas sélectionné de lecteur PC/SC.", "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {24, "Vous n'avez pas sélectionné d'utilisation pour ce lecteur de carte (Ambrel ou CPS).", "Erreur",
     MessageButtons::Ok, MessageIcon::Error},
    {26,
     "Lorsqu'il y a deux lecteurs, il doit y avoir :                    \n    - un lecteur pour utiliser la "
     "carte CPS,\n    - et un lecteur pour utiliser la carte Ambrel.",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {27, "Les ports série des deux lecteurs de carte ne doivent pas être identiques.", "Erreur",
     MessageButtons::Ok, MessageIcon::Error},
    {28, "Les lecteurs PC/SC des deux lecteurs de carte ne doivent pas être identiques.", "Erreur",
     MessageButtons::Ok, MessageIcon::Error},
    {29, "Les deux lecteurs chaînés ne doivent pas avoir la même adresse.", "Erreur", MessageButtons::Ok,
     MessageIcon::Error},
    {44,
     "Le logiciel est réservé à la configuration du TUVEX pour les outils de consultation et de mise à jour "
     "de carte Ambrel. Il ne doit pas être utilisé pour les équipements qui génèrent des Feuilles de Soins "
     "Electroniques.\n\nPour continuer, cliquez sur OK.",
     "Attention", MessageButtons::OkCancel, MessageIcon::Exclamation},
    {45,
     "Un problème est apparu pendant l'initialisation du TUVEX.\nLes fichiers tuvex.ini et pelkor.cnf ne "
     "sont pas générés.",
     "Erreur", MessageButtons::Ok, MessageIcon::Exclamation},
    {46, "L'application va être fermée.", "Attention", MessageButtons::Ok, MessageIcon::Exclamation},
    {101, "Voulez-vous réellement quitter le programme de configuration du TUVEX ?", "Config TUVEX",
     MessageButtons::YesNo, MessageIcon::Question},
    {31,
     "Impossible d'ouvrir en écriture ou de créer le fichier de configuration du gestionnaire des cartes à "
     "puce dans le répertoire du programme (fichier pelkor.cnf) !",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {33,
     "L'ancien fichier \"pelkor.ini\" n'a pas pu être archivé. Il sera écrasé par le nouveau fichier. "
     "Voulez-vous continuer ?",
     "Question", MessageButtons::OkCancel, MessageIcon::Question},
    {34, "Le fichier pelkor.cnf n'a pas été écrit correctement.", "Erreur", MessageButtons::Ok,
     MessageIcon::Error},
    {35,
     "Impossible d'ouvrir en écriture ou de créer le fichier de configuration du gestionnaire des cartes à "
     "puce dans le répertoire du programme (fichier pelkor.ini) !",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {37, "Le fichier pelkor.ini n'a pas été écrit correctement.", "Erreur", MessageButtons::Ok,
     MessageIcon::Error},
    {40,
     "Impossible d'ouvrir ou de créer le fichier de configuration du gestionnaire d'accès aux lecteurs "
     "santé-social dans le répertoire Windows (fichier tuvex.ini) ! \nCela peut venir du fait que vous ne "
     "soyez pas administrateur et que vous n'avez pas les droits de modifier les fichiers du répertoire "
     "Windows.",
     "Erreur", MessageButtons::Ok, MessageIcon::Error},
    {41, "Le fichier tuvex.ini n'a pas été écrit correctement.", "Erreur", MessageButtons::Ok,
     MessageIcon::Error},
    {42,
     "L'ancien fichier \"tuvex.ini\" n'a pas pu être archivé. Il sera écrasé par le nouveau fichier. "
     "Voulez-vous continuer ?",
     "Question", MessageButtons::OkCancel, MessageIcon::Question},
    {43,
     "Attention, à l'issue de l'initialisation, les fichiers \"tuvex.ini\" et \"pelkor.cnf\" existants "
     "seront remplacés. Ils seront archivés dans les fichiers \"archive-tuvex.ini\" et "
     "\"archive-pelkor.cnf\" dans le répertoire courant.\nSi par la suite vous constatez des "
     "dysfonctionnements, consultez la documentation sur le paramétrage du \"tuvex.ini\".\n\nPour continuer, "
     "cliquez sur OK.",
     "Attention", MessageButtons::OkCancel, MessageIcon::Exclamation},
};

TEST(MessageCatalogue, EveryCodeShowsItsTextCaptionAndStyle)
{
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.code);
        ScriptedPresenter presenter({MessageAnswer::Cancel});
        EXPECT_EQ(ShowMessage(presenter, expected.code), MessageAnswer::Cancel);
        EXPECT_EQ(presenter.texts.at(0), expected.text);
        EXPECT_EQ(presenter.captions.at(0), expected.caption);
        EXPECT_EQ(presenter.styles.at(0), (MessageStyle{expected.buttons, expected.icon}));
        // The string table holds at most 512 characters per text.
        EXPECT_LE(expected.text.size(), 512u);
    }
    EXPECT_EQ(allMessages().size(), std::size(kExpected));
}

TEST(MessageCatalogue, TextsKeepTheirExactSpacing)
{
    const std::string text26(findMessage(26)->text);
    EXPECT_EQ(text26.substr(text26.find(':') + 1, 21), std::string(20, ' ') + "\n");
    const std::string text40(findMessage(40)->text);
    EXPECT_NE(text40.find("(fichier tuvex.ini) ! \nCela"), std::string::npos);
    EXPECT_NE(std::string(findMessage(43)->text).find("\"archive-pelkor.cnf\""), std::string::npos);
}

TEST(MessageCatalogue, CallerStyleIsShown)
{
    ScriptedPresenter presenter({MessageAnswer::Cancel});
    const MessageStyle style{MessageButtons::YesNo, MessageIcon::Exclamation};
    ShowMessage(presenter, 24, style);
    EXPECT_EQ(presenter.styles.at(0), style);
    EXPECT_EQ(presenter.captions.at(0), "Erreur");
}

TEST(MessageCatalogue, UnknownCodeShowsPlainFallback)
{
    for (const int code : {0, 3, 25, 30, 47, 100, 102, -1}) {
        SCOPED_TRACE(code);
        ScriptedPresenter presenter({MessageAnswer::Cancel});
        ShowMessage(presenter, code, MessageStyle{MessageButtons::OkCancel, MessageIcon::Question});
        EXPECT_EQ(presenter.texts.at(0), "Pas d'information disponible.");
        EXPECT_EQ(presenter.captions.at(0), "Erreur");
        EXPECT_EQ(presenter.styles.at(0), (MessageStyle{MessageButtons::Ok, MessageIcon::None}));
        EXPECT_EQ(findMessage(code), nullptr);
    }
}

}  // namespace
}  // namespace calveno::test
