#pragma once
// Moving texts between the logic's byte strings and the widgets. The API may
// hand back bytes that are not UTF-8 (a Windows-1252 surname, say); they are
// shown as Latin-1 rather than replaced, and a field the user did not touch
// keeps its exact bytes.

#include <QString>

class QLineEdit;
#include <string>

namespace quintor::gui {

QString versQString(const std::string& texte);

// What a multi-line edit shows for a text whose lines end with CR LF.
QString versAffichageMultiligne(const std::string& texte);

// The edit's text back into the member, unless it is what the member already shows.
void depuisControle(const QString& affiche, const QString& attendu, std::string& membre);

// A command's prompt string: the status-bar text, then after a line feed the
// tooltip; without a line feed the tooltip is `sansBulle`.
struct Invite {
    QString etat;
    QString bulle;
};
Invite decouperInvite(const char* chaine, const QString& sansBulle);

// Stops the user typing past `longueur` characters, as an edit's text limit
// does; a paste keeps the first characters that fit. A longer text the
// program puts in with ecrireSaisie (a path with its suffix) is still shown
// whole and can be shortened; the data exchange reports it.
void limiterSaisie(QLineEdit* edit, int longueur);

// Shows the program's text in the edit, past its limit if need be.
void ecrireSaisie(QLineEdit* edit, const QString& texte);

}  // namespace quintor::gui
