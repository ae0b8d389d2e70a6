// quintor-captures: renders Quintor's windows to PNG files, for the
// documentation and for a demonstration on a machine without a screen.
//   quintor-captures OUTPUT-FOLDER          main window, each test sheet on its
//                                           first page, the text window after
//                                           an API information request
//   quintor-captures OUTPUT-FOLDER pages    the same, and every page of every sheet
//   quintor-captures OUTPUT-FOLDER demo     main window, the patient-card sheet
//                                           after "&Auto", the text window after
//                                           an API information request
// It runs on any Qt platform: offscreen, or a virtual X server (scripts/demo.sh).
// The program's own windows are used, over the stand-in API beside it.

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>
#include <cstring>

#include "CMainFrame.h"
#include "CTestAHView.h"
#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "FenetreFeuille.h"
#include "FenetreTexte.h"
#include "Identifiants.h"
#include "PresentateurQt.h"
#include "common/qt/QtTranslation.h"
#include "pages/PageTest.h"

using namespace quintor;
using namespace quintor::gui;

namespace {

// The window with a title bar: its icon, its caption and a close box over
// the client area. Offscreen rendering and a bare X server draw no frame.
QImage avecCadre(QWidget* fenetre)
{
    const QPixmap contenu = fenetre->grab();
    constexpr int kBord = 3;
    constexpr int kBarre = 22;
    const QSize client = contenu.deviceIndependentSize().toSize();
    QImage image(client.width() + 2 * kBord, client.height() + kBarre + kBord, QImage::Format_RGB32);
    image.fill(QColor(0x1f, 0x4e, 0x8c));
    QPainter peintre(&image);
    peintre.drawPixmap(QRect(QPoint(kBord, kBarre), client), contenu);
    int gauche = kBord + 4;
    const QIcon icone = fenetre->windowIcon();
    if (!icone.isNull()) {
        peintre.drawPixmap(gauche, (kBarre - 16) / 2, icone.pixmap(16, 16));
        gauche += 20;
    }
    QFont police = fenetre->font();
    police.setBold(true);
    peintre.setFont(police);
    peintre.setPen(Qt::white);
    const QRect fermer(image.width() - kBord - 20, 3, 18, kBarre - 6);
    peintre.drawText(QRect(gauche, 0, fermer.left() - gauche - 4, kBarre), Qt::AlignVCenter | Qt::AlignLeft,
                     fenetre->windowTitle());
    peintre.fillRect(fermer, QColor(0xc4, 0x2b, 0x1c));
    peintre.drawLine(fermer.topLeft() + QPoint(5, 4), fermer.bottomRight() - QPoint(5, 4));
    peintre.drawLine(fermer.topRight() + QPoint(-5, 4), fermer.bottomLeft() + QPoint(5, -4));
    return image;
}

bool enregistrer(QWidget* fenetre, const QDir& dossier, const char* nom)
{
    QCoreApplication::processEvents();
    const QString fichier = dossier.filePath(QLatin1String(nom));
    if (!avecCadre(fenetre).save(fichier, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fichier));
        return false;
    }
    std::printf("%s\n", qPrintable(fichier));
    return true;
}

void cliquer(QWidget* fenetre, int id)
{
    if (auto* bouton = fenetre->findChild<QAbstractButton*>(QString::number(id))) {
        bouton->click();
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    toolkit::installFrenchQtTranslation(application);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quintor-captures OUTPUT-FOLDER [pages|demo]\n");
        return 2;
    }
    const bool pages = argc > 2 && std::strcmp(argv[2], "pages") == 0;
    const bool demo = argc > 2 && std::strcmp(argv[2], "demo") == 0;
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
        std::fprintf(stderr, "the card-reading API library could not be bound: %s\n",
                     etat.Table.erreurChargeur.c_str());
        return 1;
    }

    CMainFrame cadre(etat);
    cadre.show();
    bool ok = enregistrer(&cadre, sortie, "quintor-main.png");
    CTestAHView* vue = cadre.vue();

    if (demo) {
        // The patient-card chain, as "&Auto" runs it: it ends on the reading page.
        cadre.action(kIdFonctionsAmbrel)->trigger();
        FenetreFeuille* feuille = vue->fenetre(vue->feuilleAmbrel());
        if (feuille != nullptr) {
            cliquer(feuille, kIdAuto);
        }
        ok = feuille != nullptr && enregistrer(feuille, sortie, "quintor-auto.png") && ok;
    } else {
        struct Feuille {
            int commande;
            CTestPropSheet* logique;
            const char* fichier;
        };
        const Feuille feuilles[] = {
            {kIdFonctionsAmbrel, &vue->feuilleAmbrel(), "quintor-ambrel.png"},
            {kIdFonctionsCps, &vue->feuilleCps(), "quintor-cps.png"},
            {kIdFonctionsHautNiveau, &vue->feuilleHN(), "quintor-hn.png"},
        };
        for (const Feuille& f : feuilles) {
            cadre.action(f.commande)->trigger();
            FenetreFeuille* fenetre = vue->fenetre(*f.logique);
            ok = fenetre != nullptr && enregistrer(fenetre, sortie, f.fichier) && ok;
            if (fenetre != nullptr && pages) {
                for (int i = 0; i < fenetre->onglets()->count(); ++i) {
                    fenetre->onglets()->setCurrentIndex(i);
                    const std::string nom = "page-" + std::to_string(f.logique->page(i).modele()) + ".png";
                    ok = enregistrer(fenetre, sortie, nom.c_str()) && ok;
                }
                fenetre->onglets()->setCurrentIndex(0);
            }
        }
    }

    CTexteDlg logique(etat);
    logique.title = "Informations API";
    FenetreTexte texte(logique);
    texte.show();
    cliquer(&texte, FenetreTexte::kIdExecuter);
    ok = enregistrer(&texte, sortie, "quintor-texte.png") && ok;

    cadre.close();
    return ok ? 0 : 1;
}
