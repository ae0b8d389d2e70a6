// quintor-captures: renders the main window, each test sheet on its first page
// and the text window (after an API information request) to PNG files, for
// the documentation. Run it with QT_QPA_PLATFORM=offscreen; the first argument
// is the output folder; with a second argument "pages" every page of every
// sheet is rendered too.

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

#include "CMainFrame.h"
#include "CTestAHView.h"
#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "FenetreFeuille.h"
#include "FenetreTexte.h"
#include "Identifiants.h"
#include "PresentateurQt.h"
#include "pages/PageTest.h"

#include <QTabWidget>

using namespace quintor;
using namespace quintor::gui;

namespace {

bool enregistrer(QWidget* fenetre, const QDir& dossier, const char* nom)
{
    QCoreApplication::processEvents();
    const QString fichier = dossier.filePath(QLatin1String(nom));
    if (!fenetre->grab().save(fichier, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fichier));
        return false;
    }
    std::printf("%s\n", qPrintable(fichier));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quintor-captures OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir dossier(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dossier.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 2;
    }

    EtatProgramme& etat = etatProgramme();
    PresentateurQt presentateur;
    etat.presentateur = &presentateur;
    // The stand-in's data files sit beside the program in the build tree; a
    // relative path to them keeps the pictures free of this machine's folders.
    const QDir sortie(dossier.absolutePath());
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    etat.CheminPartage = std::string(".") + kSeparateur;
    if (ChargerLumeris(etat.Table) != 0) {
        std::fprintf(stderr, "the card-reading API library could not be bound\n");
        return 1;
    }

    CMainFrame cadre(etat);
    cadre.show();
    bool ok = enregistrer(&cadre, sortie, "quintor-main.png");

    struct Feuille {
        int commande;
        CTestPropSheet* logique;
        const char* fichier;
    };
    CTestAHView* vue = cadre.vue();
    const Feuille feuilles[] = {
        {kIdFonctionsAmbrel, &vue->feuilleAmbrel(), "quintor-ambrel.png"},
        {kIdFonctionsCps, &vue->feuilleCps(), "quintor-cps.png"},
        {kIdFonctionsHautNiveau, &vue->feuilleHN(), "quintor-hn.png"},
    };
    for (const Feuille& f : feuilles) {
        cadre.action(f.commande)->trigger();
        FenetreFeuille* fenetre = vue->fenetre(*f.logique);
        ok = fenetre != nullptr && enregistrer(fenetre, sortie, f.fichier) && ok;
        if (fenetre != nullptr && argc > 2 && QLatin1String(argv[2]) == QLatin1String("pages")) {
            for (int i = 0; i < fenetre->onglets()->count(); ++i) {
                fenetre->onglets()->setCurrentIndex(i);
                const std::string nom =
                    "page-" + std::to_string(f.logique->page(i).modele()) + ".png";
                ok = enregistrer(fenetre, sortie, nom.c_str()) && ok;
            }
            fenetre->onglets()->setCurrentIndex(0);
        }
    }

    CTexteDlg logique(etat);
    logique.title = "Informations API";
    FenetreTexte texte(logique);
    texte.show();
    if (auto* executer = texte.findChild<QAbstractButton*>(QStringLiteral("1102"))) {
        executer->click();
    }
    ok = enregistrer(&texte, sortie, "quintor-texte.png") && ok;

    cadre.close();
    return ok ? 0 : 1;
}
