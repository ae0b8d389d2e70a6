#pragma once
// Shared pieces of the UI tests: a presenter whose message boxes answer from a
// script, the stand-in API's data in a fresh folder, and widget look-ups.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CMainFrame.h"
#include "EtatProgramme.h"
#include "FenetreTexte.h"
#include "PresentateurQt.h"

namespace soutien {

class PresentateurScripte : public quintor::gui::PresentateurQt {
public:
    void avertir(const std::string& texte) override { messages.push_back(texte); }

    bool demanderOuiNon(QWidget* proprietaire, const QString& texte, const QString& titre,
                        const QString& detail) override;

    // The real text window, shown without a modal loop: `surTexte` acts on it,
    // then what its listing and caption show is recorded.
    int afficherTexte(quintor::CTexteDlg& dialogue) override;

    struct Question {
        QString texte;
        QString titre;
        QString detail;
    };
    struct Texte {
        QString titre;
        QString affiche;
    };

    std::vector<std::string> messages;
    std::vector<Question> questions;
    std::deque<bool> reponses;
    std::vector<Texte> textes;
    std::function<void(quintor::gui::FenetreTexte&)> surTexte;
};

// Path of the built stand-in library, empty when the build has none.
std::string cheminSubstitut();
// Path of a test library lacking one of the 19 names, empty when none is built.
std::string cheminIncomplet();

// A fresh folder holding the stand-in's data files; its path ends with "/".
class DonneesSubstitut {
public:
    DonneesSubstitut();
    bool valide() const { return m_valide; }
    std::string chemin() const;
    // Puts a patient card in its reader or takes it out.
    void carteAmbrelPresente(bool presente);

private:
    QTemporaryDir m_dossier;
    bool m_valide = false;
};

// Binds the stand-in into the table; true when all 19 entry points are bound.
bool lierSubstitut(quintor::EtatProgramme& etat);

// What every window test starts from: a fresh program state over the
// stand-in's data in a temporary folder, a scripted presenter and the main
// window shown. The stand-in is bound when asked for.
struct Banc {
    bool demarrer(bool lier);
    void arreter();

    quintor::EtatProgramme etat;
    PresentateurScripte presentateur;
    std::unique_ptr<DonneesSubstitut> donnees;
    std::unique_ptr<quintor::gui::CMainFrame> cadre;
};

template <typename W = QLineEdit>
W* controle(QWidget* racine, int id)
{
    return racine->findChild<W*>(QString::number(id));
}

QString texteControle(QWidget* racine, int id);
void saisir(QWidget* racine, int id, const QString& texte);
void cliquer(QWidget* racine, int id);

// The form every displayed 16-bit code takes.
QString code16(int valeur);

}  // namespace soutien
