// Start sequence, main window, menus and the run without the API.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "CTestAHApp.h"
#include "CTestAHView.h"
#include "FenetreFeuille.h"
#include "PagePropriete.h"
#include "Soutien.h"
#include "common/qt/QtTranslation.h"

#include <memory>

using namespace quintor;
using namespace quintor::gui;
using namespace soutien;

class DemarrageTest : public QObject {
    Q_OBJECT

private slots:
    void avecSubstitutLieSansQuestion();
    void fermetureLibereLaBibliotheque();
    void bibliothequeAbsente_data();
    void bibliothequeAbsente();
    void entreeManquante();
    void sansApiChaquePageRefuseDAppeler();
    void menusEtInvites();
    void entreeTestsErreurToujoursGrisee();
    void barreOutilsEtBarreEtat();
    void boiteAPropos();
    void textesDeQtEnFrancais();
};

namespace {

struct EntreeMenu {
    int commande;
    const char* texte;
    const char* invite;  // status-bar prompt, null when none
};

}  // namespace

void DemarrageTest::avecSubstitutLieSansQuestion()
{
    QVERIFY2(!cheminSubstitut().empty(), "the stand-in library is not part of this build");
    EtatProgramme etat;
    PresentateurScripte presentateur;
    CTestAHApp programme(etat, presentateur, cheminSubstitut());
    QVERIFY(programme.InitInstance());

    QCOMPARE(programme.resultatChargement(), 0);
    QVERIFY(presentateur.questions.empty());
    QVERIFY(etat.Table.module != nullptr);
    QVERIFY(etat.Table.Hn_TestPresence != nullptr);

    CMainFrame* cadre = programme.fenetrePrincipale();
    QVERIFY(cadre->isVisible());
    QCOMPARE(cadre->pos(), QPoint(100, 100));
    QCOMPARE(cadre->size(), QSize(500, 300));
    QCOMPARE(cadre->windowTitle(), QString::fromUtf8("Lumeris - Outils de démonstration"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Lumeris"));
    QVERIFY(programme.fichiersRecents().size() <= CTestAHApp::kFichiersRecents);
    cadre->close();
}

void DemarrageTest::fermetureLibereLaBibliotheque()
{
    QVERIFY2(!cheminSubstitut().empty(), "the stand-in library is not part of this build");
    EtatProgramme etat;
    PresentateurScripte presentateur;
    CTestAHApp programme(etat, presentateur, cheminSubstitut());
    QVERIFY(programme.InitInstance());
    CMainFrame* cadre = programme.fenetrePrincipale();
    cadre->action(32774)->trigger();
    QVERIFY(cadre->vue()->fenetre(cadre->vue()->feuilleAmbrel()) != nullptr);

    cadre->action(57665)->trigger();

    QVERIFY(!cadre->isVisible());
    QVERIFY(etat.Table.module == nullptr);
    QVERIFY(etat.Table.Lec_LectureAmbrel == nullptr);
    QCOMPARE(cadre->vue()->feuilleAmbrel().FeuilleCreee, 0);
    QVERIFY(cadre->vue()->fenetre(cadre->vue()->feuilleAmbrel()) == nullptr);
}

void DemarrageTest::bibliothequeAbsente_data()
{
    QTest::addColumn<bool>("continuer");
    QTest::newRow("Non quitte avec le code 1") << false;
    QTest::newRow("Oui continue sans API") << true;
}

void DemarrageTest::bibliothequeAbsente()
{
    QFETCH(bool, continuer);
    EtatProgramme etat;
    PresentateurScripte presentateur;
    presentateur.reponses = {continuer};
    CTestAHApp programme(etat, presentateur, "/nonexistent/liblumeris.so");
    // Posted before the start: when both are queued the later exit wins, so
    // the loop returns 1 only if the start posted its own quit after this one.
    QTimer::singleShot(0, [] { QCoreApplication::exit(42); });
    QVERIFY(programme.InitInstance());

    QCOMPARE(programme.resultatChargement(), 1);
    QCOMPARE(presentateur.questions.size(), std::size_t{1});
    // 2: the file is not there (ENOENT on Linux, ERROR_FILE_NOT_FOUND on Windows).
    QCOMPARE(presentateur.questions[0].texte,
             QString::fromUtf8("Echec du chargement de Lumeris.dll\n(erreur 1 - 2)\n"
                               "Voulez-vous continuer"));
#ifndef _WIN32
    // Under the numbers, the loader says which file and why.
    QVERIFY2(presentateur.questions[0].detail.contains(QStringLiteral("/nonexistent/liblumeris.so")),
             qPrintable(presentateur.questions[0].detail));
#endif
    QCOMPARE(presentateur.questions[0].titre, QStringLiteral("Lumeris - Tests"));
    QVERIFY(programme.fenetrePrincipale()->isVisible());

    // The quit is posted: it only takes effect in the event loop.
    const int code = QApplication::exec();
    QCOMPARE(code, continuer ? 42 : 1);
    programme.fenetrePrincipale()->close();
}

void DemarrageTest::entreeManquante()
{
    QVERIFY2(!cheminIncomplet().empty(), "no test library with a missing entry point in this build");
    EtatProgramme etat;
    PresentateurScripte presentateur;
    presentateur.reponses = {true};
    CTestAHApp programme(etat, presentateur, cheminIncomplet());
    QVERIFY(programme.InitInstance());

    QCOMPARE(programme.resultatChargement(), 2);
    QCOMPARE(presentateur.questions.size(), std::size_t{1});
    QCOMPARE(presentateur.questions[0].texte,
             QString::fromUtf8("Echec du chargement de Lumeris.dll\n(erreur 2 - 0)\n"
                               "Voulez-vous continuer"));
    // The library is not kept and nothing of it can be called.
    QVERIFY(etat.Table.module == nullptr);
    QVERIFY(etat.Table.Lec_OuvertureSessionAmbrel == nullptr);
    programme.fenetrePrincipale()->close();
}

void DemarrageTest::sansApiChaquePageRefuseDAppeler()
{
    EtatProgramme etat;
    PresentateurScripte presentateur;
    presentateur.reponses = {true};
    CTestAHApp programme(etat, presentateur, "/nonexistent/liblumeris.so");
    QVERIFY(programme.InitInstance());
    CMainFrame* cadre = programme.fenetrePrincipale();
    CTestAHView* vue = cadre->vue();

    for (int commande : {32771, 32774, 32780}) {
        cadre->action(commande)->trigger();
    }
    for (CTestPropSheet* feuille : std::initializer_list<CTestPropSheet*>{
             &vue->feuilleCps(), &vue->feuilleAmbrel(), &vue->feuilleHN()}) {
        FenetreFeuille* fenetre = vue->fenetre(*feuille);
        QVERIFY(fenetre != nullptr);
        for (int index = 0; index < feuille->nombrePages(); ++index) {
            fenetre->onglets()->setCurrentIndex(index);
            QWidget* page = fenetre->pageFenetre(index);
            QVERIFY(page != nullptr);
            const QString retourAvant = texteControle(page, 1032);
            presentateur.messages.clear();

            cliquer(fenetre, 1);

            QCOMPARE(presentateur.messages.size(), std::size_t{1});
            QCOMPARE(presentateur.messages[0], std::string("Fonction non chargée\nAppel non effectué"));
            QCOMPARE(texteControle(page, 1032), retourAvant);
        }
    }

    // The API information window refuses in the same way.
    presentateur.messages.clear();
    presentateur.surTexte = [](FenetreTexte& texte) { cliquer(&texte, 1102); };
    cadre->action(32786)->trigger();
    QCOMPARE(presentateur.messages.size(), std::size_t{1});
    QCOMPARE(presentateur.messages[0], std::string("Fonction non chargée\nAppel non effectué"));
    cadre->close();
}

void DemarrageTest::menusEtInvites()
{
    EtatProgramme etat;
    CMainFrame cadre(etat);
    const QList<QAction*> menus = cadre.menuBar()->actions();
    QStringList titres;
    for (QAction* menu : menus) {
        titres << menu->text();
    }
    QCOMPARE(titres, QStringList({"&Fichier", "&Affichage", "&Tests", "&?"}));

    const std::vector<std::vector<EntreeMenu>> attendus = {
        {{57665, "&Quitter", "Ferme l'application"}},
        {{59392, "&Barre d'outils", "Affiche ou masque la barre d'outils"},
         {59393, "Barre d'é&tat", "Affiche ou masque la barre d'état"}},
        {{32771, "Fonctions &CPS", "Test des fonctions CPS"},
         {32774, "Fonctions &Ambrel 1", "Test des fonctions traitant la carte Ambrel 1"},
         {32786, "Information API", "Lecture de la version des différents composants des Lumeris"},
         {32780, "Fonctions &HautNiveau", "Test des fonctions haut niveau "},
         {32782, "Tests erreur paramètres", nullptr}},
        {{57664, "&A propos de test...", nullptr}},
    };
    for (std::size_t m = 0; m < attendus.size(); ++m) {
        const QList<QAction*> entrees = menus[static_cast<qsizetype>(m)]->menu()->actions();
        QCOMPARE(static_cast<std::size_t>(entrees.size()), attendus[m].size());
        for (std::size_t e = 0; e < attendus[m].size(); ++e) {
            QAction* entree = entrees[static_cast<qsizetype>(e)];
            const EntreeMenu& attendu = attendus[m][e];
            QCOMPARE(entree->objectName(), QString::number(attendu.commande));
            QCOMPARE(entree->text(), QString::fromUtf8(attendu.texte));
            if (attendu.invite != nullptr) {
                QCOMPARE(entree->statusTip(), QString::fromUtf8(attendu.invite));
            }
        }
    }
    QVERIFY(cadre.action(32782)->statusTip().isEmpty());
    QCOMPARE(cadre.action(32780)->toolTip(), QStringLiteral("Test Finctions Haut Niveau"));
}

void DemarrageTest::entreeTestsErreurToujoursGrisee()
{
    EtatProgramme etat;
    CMainFrame cadre(etat);
    cadre.show();
    QAction* entree = cadre.action(32782);
    QVERIFY(!entree->isEnabled());

    // Showing the menus and using the other commands never enables it.
    for (QAction* menu : cadre.menuBar()->actions()) {
        emit menu->menu()->aboutToShow();
    }
    cadre.action(32771)->trigger();
    cadre.action(59392)->trigger();
    cadre.action(59392)->trigger();
    entree->trigger();
    QVERIFY(!entree->isEnabled());
    // The other entries stay enabled without the API.
    for (int commande : {57665, 59392, 59393, 32771, 32774, 32786, 32780, 57664}) {
        QVERIFY2(cadre.action(commande)->isEnabled(), qPrintable(QString::number(commande)));
    }
    cadre.close();
}

void DemarrageTest::barreOutilsEtBarreEtat()
{
    EtatProgramme etat;
    CMainFrame cadre(etat);
    cadre.show();
    auto* barre = cadre.findChild<QToolBar*>(QStringLiteral("59392"));
    QVERIFY(barre != nullptr);
    QStringList ordre;
    for (QAction* a : barre->actions()) {
        ordre << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    QCOMPARE(ordre, QStringList({"57665", "-", "32774", "32771", "-", "32780"}));
    QCOMPARE(barre->iconSize(), QSize(16, 15));

    cadre.action(59392)->trigger();
    QVERIFY(barre->isHidden());
    cadre.action(59392)->trigger();
    QVERIFY(!barre->isHidden());

    QStatusBar* etatBarre = cadre.statusBar();
    QCOMPARE(cadre.findChild<QLabel*>(QStringLiteral("messagePret"))->text(), QString::fromUtf8("Prêt"));
    for (const char* indicateur : {"MAJ", "NUM", "DEF"}) {
        QVERIFY(etatBarre->findChild<QLabel*>(QLatin1String(indicateur)) != nullptr);
    }
    // Every prompt fits in the message pane, left of the lock panes.
    const int place = etatBarre->findChild<QLabel*>(QStringLiteral("MAJ"))->geometry().left();
    for (QAction* entree : cadre.findChildren<QAction*>()) {
        const int largeur = etatBarre->fontMetrics().horizontalAdvance(entree->statusTip());
        QVERIFY2(largeur < place, qPrintable(entree->statusTip()));
    }
    cadre.action(59393)->trigger();
    QVERIFY(etatBarre->isHidden());
    cadre.close();
}

void DemarrageTest::boiteAPropos()
{
    EtatProgramme etat;
    CMainFrame cadre(etat);
    cadre.show();
    QString titre;
    QStringList textes;
    QTimer::singleShot(0, [&] {
        auto* boite = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (boite == nullptr) {
            return;
        }
        titre = boite->windowTitle();
        for (QLabel* etiquette : boite->findChildren<QLabel*>()) {
            textes << etiquette->text();
        }
        cliquer(boite, 1);
    });
    cadre.action(57664)->trigger();
    QCOMPARE(titre, QStringLiteral("A propos de Test Lumeris"));
    QVERIFY(textes.contains(QString::fromUtf8("Lumeris v5.0\nUtilitaire de démonstration")));
    cadre.close();
}

void DemarrageTest::textesDeQtEnFrancais()
{
    // Qt's own texts follow the program's language: the load-failure question
    // answers "Oui" or "Non", and an edit's context menu is French.
    QVERIFY2(toolkit::installFrenchQtTranslation(*QCoreApplication::instance()),
             "Qt's French translation qtbase_fr is not installed (qt6-translations-l10n)");
    QMessageBox boite(QMessageBox::Critical, QStringLiteral("Lumeris - Tests"), QStringLiteral("?"),
                      QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(boite.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Oui"));
    QCOMPARE(boite.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Non"));

    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entrees;
    for (QAction* a : menu->actions()) {
        entrees << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    }
    QVERIFY2(entrees.contains(QStringLiteral("Coller")), qPrintable(entrees.join(QLatin1Char('|'))));
}

QTEST_MAIN(DemarrageTest)
#include "DemarrageTest.moc"
