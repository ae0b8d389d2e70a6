#include "MessageCatalogue.h"

#include <algorithm>
#include <array>

namespace calveno {

namespace {

constexpr MessageStyle kOkError{MessageButtons::Ok, MessageIcon::Error};
constexpr MessageStyle kOkExclamation{MessageButtons::Ok, MessageIcon::Exclamation};
constexpr MessageStyle kOkCancelQuestion{MessageButtons::OkCancel, MessageIcon::Question};
constexpr MessageStyle kOkCancelExclamation{MessageButtons::OkCancel, MessageIcon::Exclamation};
constexpr MessageStyle kYesNoQuestion{MessageButtons::YesNo, MessageIcon::Question};

// The string table, kept sorted by code.
constexpr std::array kMessages{
    MessageEntry{1,
                 "Une erreur s'est produite pendant l'initialisation de l'application !\n"
                 "\n"
                 "Le programme d'installation et de configuration du TUVEX va être interrompu.",
                 "Erreur", kOkError},
    MessageEntry{
        2,
        "Une erreur s'est produite pendant l'initialisation du programme : le programme est déjà lancé !\n"
        "\n"
        "Le programme d'installation et de configuration du TUVEX va être interrompu.",
        "Erreur", kOkError},
    MessageEntry{11,
                 "Une erreur d'enchaînement interne est survenue !\n"
                 "\n"
                 "Le programme d'installation et de configuration du TUVEX va être interrompu.",
                 "Erreur", kOkError},
    MessageEntry{23, "Vous n'avez pas sélectionné de lecteur PC/SC.", "Erreur", kOkError},
    MessageEntry{24, "Vous n'avez pas sélectionné d'utilisation pour ce lecteur de carte (Ambrel ou CPS).",
                 "Erreur", kOkError},
    MessageEntry{26,
                 "Lorsqu'il y a deux lecteurs, il doit y avoir :                    \n"
                 "    - un lecteur pour utiliser la carte CPS,\n"
                 "    - et un lecteur pour utiliser la carte Ambrel.",
                 "Erreur", kOkError},
    MessageEntry{27, "Les ports série des deux lecteurs de carte ne doivent pas être identiques.", "Erreur",
                 kOkError},
    MessageEntry{28, "Les lecteurs PC/SC des deux lecteurs de carte ne doivent pas être identiques.",
                 "Erreur", kOkError},
    MessageEntry{29, "Les deux lecteurs chaînés ne doivent pas avoir la même adresse.", "Erreur", kOkError},
    MessageEntry{31,
                 "Impossible d'ouvrir en écriture ou de créer le fichier de configuration du gestionnaire "
                 "des cartes à puce dans le répertoire du programme (fichier pelkor.cnf) !",
                 "Erreur", kOkError},
    MessageEntry{33,
                 "L'ancien fichier \"pelkor.ini\" n'a pas pu être archivé. Il sera écrasé par le nouveau "
                 "fichier. Voulez-vous continuer ?",
                 "Question", kOkCancelQuestion},
    MessageEntry{34, "Le fichier pelkor.cnf n'a pas été écrit correctement.", "Erreur", kOkError},
    MessageEntry{35,
                 "Impossible d'ouvrir en écriture ou de créer le fichier de configuration du gestionnaire "
                 "des cartes à puce dans le répertoire du programme (fichier pelkor.ini) !",
                 "Erreur", kOkError},
    MessageEntry{37, "Le fichier pelkor.ini n'a pas été écrit correctement.", "Erreur", kOkError},
    MessageEntry{40,
                 "Impossible d'ouvrir ou de créer le fichier de configuration du gestionnaire d'accès aux "
                 "lecteurs santé-social dans le répertoire Windows (fichier tuvex.ini) ! \n"
                 "Cela peut venir du fait que vous ne soyez pas administrateur et que vous n'avez pas les "
                 "droits de modifier les fichiers du répertoire Windows.",
                 "Erreur", kOkError},
    MessageEntry{41, "Le fichier tuvex.ini n'a pas été écrit correctement.", "Erreur", kOkError},
    MessageEntry{42,
                 "L'ancien fichier \"tuvex.ini\" n'a pas pu être archivé. Il sera écrasé par le nouveau "
                 "fichier. Voulez-vous continuer ?",
                 "Question", kOkCancelQuestion},
    MessageEntry{43,
                 "Attention, à l'issue de l'initialisation, les fichiers \"tuvex.ini\" et \"pelkor.cnf\" "
                 "existants seront remplacés. Ils seront archivés dans les fichiers \"archive-tuvex.ini\" et "
                 "\"archive-pelkor.cnf\" dans le répertoire courant.\n"
                 "Si par la suite vous constatez des dysfonctionnements, consultez la documentation sur le "
                 "paramétrage du \"tuvex.ini\".\n"
                 "\n"
                 "Pour continuer, cliquez sur OK.",
                 "Attention", kOkCancelExclamation},
    MessageEntry{44,
                 "Le logiciel est réservé à la configuration du TUVEX pour les outils de consultation et de "
                 "mise à jour de carte Ambrel. Il ne doit pas être utilisé pour les équipements qui génèrent "
                 "des Feuilles de Soins Electroniques.\n"
                 "\n"
                 "Pour continuer, cliquez sur OK.",
                 "Attention", kOkCancelExclamation},
    MessageEntry{45,
                 "Un problème est apparu pendant l'initialisation du TUVEX.\n"
                 "Les fichiers tuvex.ini et pelkor.cnf ne sont pas générés.",
                 "Erreur", kOkExclamation},
    MessageEntry{46, "L'application va être fermée.", "Attention", kOkExclamation},
    MessageEntry{101, "Voulez-vous réellement quitter le programme de configuration du TUVEX ?",
                 "Config TUVEX", kYesNoQuestion},
};

constexpr std::string_view kUnknownText = "Pas d'information disponible.";
constexpr std::string_view kUnknownCaption = "Erreur";

}  // namespace

const MessageEntry* findMessage(int code)
{
    const auto it = std::find_if(kMessages.begin(), kMessages.end(),
                                 [code](const MessageEntry& entry) { return entry.code == code; });
    return it == kMessages.end() ? nullptr : &*it;
}

std::span<const MessageEntry> allMessages()
{
    return kMessages;
}

MessageAnswer ShowMessage(MessagePresenter& presenter, int code, MessageStyle style)
{
    const MessageEntry* entry = findMessage(code);
    if (entry == nullptr) return presenter.present(kUnknownText, kUnknownCaption, MessageStyle{});
    return presenter.present(entry->text, entry->caption, style);
}

MessageAnswer ShowMessage(MessagePresenter& presenter, int code)
{
    const MessageEntry* entry = findMessage(code);
    return ShowMessage(presenter, code, entry != nullptr ? entry->style : MessageStyle{});
}

}  // namespace calveno
