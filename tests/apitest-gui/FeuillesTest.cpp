// The three test sheets: opening, captions, button row, values kept,
// "Ra&z", "<<" recall and the automatic chain.

#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>

#include "CMainFrame.h"
#include "CTestAHView.h"
#include "FenetreFeuille.h"
#include "PagePropriete.h"
#include "Soutien.h"

using namespace quintor;
using namespace quintor::gui;
using namespace soutien;

class FeuillesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void legendesEtOnglets_data();
    void legendesEtOnglets();
    void secondeCommandeDonneLeFocus();
    void positionsDesBoutons_data();
    void positionsDesBoutons();
    void valeursConserveesEntreDeuxOuvertures();
    void razPageZeroRemetLaSessionAZero_data();
    void razPageZeroRemetLaSessionAZero();
    void chaineAuto_data();
    void chaineAuto();
    void chaineAutoPrendLaSaisieDeLaPageActive();
    void descriptionsDesBoutons();

private:
    FenetreFeuille* ouvrir(int commande, CTestPropSheet& feuille);
    // Runs the opening page of a sheet with the test data path.
    void ouvrirSession(FenetreFeuille* fenetre);

    Banc m_banc;
};

void FeuillesTest::init()
{
    QVERIFY2(m_banc.demarrer(false), "the stand-in could not be set up and bound");
}

void FeuillesTest::cleanup()
{
    m_banc.arreter();
}

FenetreFeuille* FeuillesTest::ouvrir(int commande, CTestPropSheet& feuille)
{
    m_banc.cadre->action(commande)->trigger();
    return m_banc.cadre->vue()->fenetre(feuille);
}

void FeuillesTest::ouvrirSession(FenetreFeuille* fenetre)
{
    fenetre->onglets()->setCurrentIndex(0);
    QWidget* page = fenetre->pageFenetre(0);
    QCOMPARE(texteControle(page, 1100), QString::fromStdString(m_banc.donnees->chemin()));
    cliquer(fenetre, 1);
    QCOMPARE(texteControle(page, 1032), code16(0));
}

void FeuillesTest::legendesEtOnglets_data()
{
    QTest::addColumn<int>("commande");
    QTest::addColumn<QString>("legende");
    QTest::addColumn<QStringList>("onglets");
    QTest::newRow("CPS") << 32771 << QStringLiteral("Test des fonctions CPS")
                         << QStringList{"Lec_OuvertureSessionCPS", "Lec_FermetureSessionCPS",
                                        "Lec_IntroductionMstCPS ", "Lec_RetraitMhtCPS ", "Lec_ControleCPS "};
    QTest::newRow("Ambrel") << 32774 << QStringLiteral("Test des fonctions Ambrel 1")
                            << QStringList{"Lec_OuvertureSessionAmbrel", "Lec_FermetureSessionAmbrel",
                                           "Lec_IntroductionMstAmbrel",  "Lec_RetraitMhtAmbrel",
                                           "Lec_LectureAmbrel",          "Lec_Dictionnaire"};
    QTest::newRow("HautNiveau") << 32780 << QStringLiteral("Test des fonctions de Haut Niveau")
                                << QStringList{"Init",
                                               "Finir",
                                               QString::fromUtf8("Présence Carte"),
                                               "Lecture Ambrel",
                                               "HN_IntroductionMstCPS",
                                               "HN_RetraitMhtCPS",
                                               "HN_ControleCPS"};
}

void FeuillesTest::legendesEtOnglets()
{
    QFETCH(int, commande);
    QFETCH(QString, legende);
    QFETCH(QStringList, onglets);
    m_banc.cadre->action(commande)->trigger();
    auto fenetres = m_banc.cadre->findChildren<FenetreFeuille*>();
    QCOMPARE(fenetres.size(), 1);
    FenetreFeuille* fenetre = fenetres.front();
    QCOMPARE(fenetre->windowTitle(), legende);
    QStringList titres;
    for (int i = 0; i < fenetre->onglets()->count(); ++i) {
        titres << fenetre->onglets()->tabText(i);
    }
    QCOMPARE(titres, onglets);
    // Every tab is in view in one row, without scroll arrows; the whole
    // caption is its tooltip.
    QTabBar* barre = fenetre->onglets()->tabBar();
    QVERIFY(!barre->usesScrollButtons());
    for (int i = 0; i < barre->count(); ++i) {
        QVERIFY2(barre->rect().contains(barre->tabRect(i)), qPrintable(onglets[i]));
        QCOMPARE(barre->tabToolTip(i), onglets[i]);
    }
    // Only the first page exists until another tab is chosen.
    QVERIFY(fenetre->pageFenetre(0) != nullptr);
    QVERIFY(fenetre->pageFenetre(1) == nullptr);
    QCOMPARE(fenetre->feuille().FeuilleCreee, 1);
}

void FeuillesTest::secondeCommandeDonneLeFocus()
{
    CTestCps& cps = m_banc.cadre->vue()->feuilleCps();
    FenetreFeuille* premiere = ouvrir(32771, cps);
    QVERIFY(premiere != nullptr);
    premiere->onglets()->setCurrentIndex(2);

    FenetreFeuille* seconde = ouvrir(32771, cps);
    QCOMPARE(seconde, premiere);
    QCOMPARE(m_banc.cadre->findChildren<FenetreFeuille*>().size(), 1);
    QCOMPARE(premiere->onglets()->currentIndex(), 2);

    // "&Fermer" destroys the window; the next command creates a new one.
    QPointer<FenetreFeuille> garde(premiere);
    cliquer(premiere, 8);
    QCOMPARE(cps.FeuilleCreee, 0);
    QVERIFY(!premiere->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(garde.isNull());
    QVERIFY(ouvrir(32771, cps) != nullptr);
    QCOMPARE(cps.FeuilleCreee, 1);
}

void FeuillesTest::positionsDesBoutons_data()
{
    QTest::addColumn<int>("masque");
    QTest::addColumn<QList<int>>("commandes");
    QTest::addColumn<QList<int>>("gauches");  // -1 stands for W - 92
    QTest::newRow("7") << 7 << QList<int>{1, 2, 8} << QList<int>{6, 106, -1};
    QTest::newRow("15") << 15 << QList<int>{1, 2, 32773, 8} << QList<int>{6, 106, 206, -1};
    QTest::newRow("Raz seul") << 4 << QList<int>{2, 8} << QList<int>{100, -1};
    QTest::newRow("Auto seul") << 8 << QList<int>{32773, 8} << QList<int>{100, -1};
    QTest::newRow("Fermer seul") << 0 << QList<int>{8} << QList<int>{-1};
}

void FeuillesTest::positionsDesBoutons()
{
    QFETCH(int, masque);
    QFETCH(QList<int>, commandes);
    QFETCH(QList<int>, gauches);
    CTestAmbrel& feuille = m_banc.cadre->vue()->feuilleAmbrel();
    feuille.MasqueBoutons = masque;
    FenetreFeuille fenetre(feuille, m_banc.etat, m_banc.cadre.get());
    fenetre.show();

    const int largeur = fenetre.width();
    // The window grew by 45 pixels of its frame rectangle: its client area
    // ends 7 pixels under the row (H - 10 to H + 15), with no empty band.
    const int hauteur = fenetre.height() - 22;
    // The row starts at H - 10, under the tabs.
    QVERIFY(fenetre.onglets()->geometry().bottom() < hauteur - 10);
    const auto boutons = fenetre.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(boutons.size(), commandes.size());
    for (qsizetype i = 0; i < commandes.size(); ++i) {
        QPushButton* bouton = fenetre.bouton(commandes[i]);
        QVERIFY(bouton != nullptr);
        const int gauche = gauches[i] < 0 ? largeur - 92 : gauches[i];
        QCOMPARE(bouton->geometry(), QRect(gauche, hauteur - 10, 80, 25));
    }
    QPushButton* executer = fenetre.bouton(1);
    if (executer != nullptr) {
        QVERIFY(executer->isDefault());
    }
    QCOMPARE(fenetre.bouton(8)->text(), QStringLiteral("&Fermer"));
    if (masque & 2) {
        QCOMPARE(executer->text(), QString::fromUtf8("E&xécuter"));
    }
}

void FeuillesTest::valeursConserveesEntreDeuxOuvertures()
{
    QVERIFY(lierSubstitut(m_banc.etat));
    CTestAmbrel& feuille = m_banc.cadre->vue()->feuilleAmbrel();
    FenetreFeuille* fenetre = ouvrir(32774, feuille);
    saisir(fenetre->pageFenetre(0), 1030, QStringLiteral("Essai"));
    ouvrirSession(fenetre);
    const QString session = texteControle(fenetre->pageFenetre(0), 1012);
    QCOMPARE(session, code16(m_banc.etat.SessionAmbrel));
    cliquer(fenetre, 8);

    fenetre = ouvrir(32774, feuille);
    QWidget* page = fenetre->pageFenetre(0);
    QCOMPARE(texteControle(page, 1030), QStringLiteral("Essai"));
    QCOMPARE(texteControle(page, 1012), session);
    QCOMPARE(texteControle(page, 1032), code16(0));
}

void FeuillesTest::razPageZeroRemetLaSessionAZero_data()
{
    QTest::addColumn<bool>("cps");
    QTest::newRow("CPS") << true;
    QTest::newRow("Ambrel") << false;
}

void FeuillesTest::razPageZeroRemetLaSessionAZero()
{
    QFETCH(bool, cps);
    QVERIFY(lierSubstitut(m_banc.etat));
    CTestAHView* vue = m_banc.cadre->vue();
    FenetreFeuille* fenetre = cps ? ouvrir(32771, vue->feuilleCps()) : ouvrir(32774, vue->feuilleAmbrel());
    std::int32_t& sessionProgramme = cps ? m_banc.etat.SessionCps : m_banc.etat.SessionAmbrel;
    ouvrirSession(fenetre);
    const int session = sessionProgramme;
    QVERIFY(session != 0);

    // "<<" on the closing page brings the number in.
    fenetre->onglets()->setCurrentIndex(1);
    cliquer(fenetre->pageFenetre(1), 1034);
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1012), code16(session));

    fenetre->onglets()->setCurrentIndex(0);
    cliquer(fenetre, 2);
    QCOMPARE(sessionProgramme, 0);
    QWidget* page = fenetre->pageFenetre(0);
    QCOMPARE(texteControle(page, 1030), QStringLiteral("Test_ah"));
    QCOMPARE(texteControle(page, 1012), QString());
    QCOMPARE(texteControle(page, 1032), QString());

    fenetre->onglets()->setCurrentIndex(1);
    cliquer(fenetre->pageFenetre(1), 1034);
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1012), code16(0));

    // Escape is the cancel command, which is "Ra&z" on a sheet.
    saisir(fenetre->pageFenetre(1), 1021, QStringLiteral("77"));
    fenetre->onglets()->setCurrentIndex(2);
    fenetre->onglets()->setCurrentIndex(1);
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1021), QStringLiteral("77"));
    QTest::keyClick(fenetre, Qt::Key_Escape);
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1021), QString());
    QVERIFY(fenetre->isVisible());
}

void FeuillesTest::chaineAuto_data()
{
    QTest::addColumn<bool>("carte");
    QTest::newRow("carte presente") << true;
    QTest::newRow("pas de carte") << false;
}

void FeuillesTest::chaineAuto()
{
    QFETCH(bool, carte);
    QVERIFY(lierSubstitut(m_banc.etat));
    m_banc.donnees->carteAmbrelPresente(carte);
    CTestAmbrel& feuille = m_banc.cadre->vue()->feuilleAmbrel();
    FenetreFeuille* fenetre = ouvrir(32774, feuille);
    // The chain sends no path: the stand-in keeps the location of the last
    // call that named one, so one opening names the test data first.
    ouvrirSession(fenetre);

    cliquer(fenetre, 32773);

    QVERIFY(m_banc.presentateur.messages.empty());
    QCOMPARE(fenetre->onglets()->currentIndex(), 4);
    for (int commande : {1, 2, 8, 32773}) {
        QVERIFY(fenetre->bouton(commande)->isEnabled());
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    const int session = m_banc.etat.SessionAmbrel;
    QVERIFY(session != 0);
    QCOMPARE(texteControle(fenetre->pageFenetre(0), 1032), code16(0));
    QCOMPARE(texteControle(fenetre->pageFenetre(0), 1012), code16(session));
    QCOMPARE(texteControle(fenetre->pageFenetre(2), 1012), code16(session));
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1032), code16(0));
    QCOMPARE(texteControle(fenetre->pageFenetre(1), 1012), code16(session));

    QWidget* lecture = fenetre->pageFenetre(4);
    const QString donnees = texteControle(lecture, 1037);
    if (carte) {
        QCOMPARE(texteControle(fenetre->pageFenetre(2), 1032), code16(0));
        QCOMPARE(texteControle(fenetre->pageFenetre(2), 1028), QStringLiteral("1 (0x0001)"));
        QCOMPARE(texteControle(lecture, 1032), code16(0));
        // "<?xml" in the hexadecimal form of the bytes read.
        QVERIFY2(donnees.startsWith(QStringLiteral("3c 3f 78 6d 6c ")), qPrintable(donnees.left(40)));
        const qsizetype octets = donnees.size() / 3;
        QCOMPARE(texteControle(lecture, 1036),
                 QStringLiteral("%1 (0x%2)").arg(octets).arg(octets, 4, 16, QLatin1Char('0')));
        QCOMPARE(texteControle(fenetre->pageFenetre(3), 1032), code16(0));
    } else {
        // A failed insertion skips reading and removal; the session is closed.
        QVERIFY(texteControle(fenetre->pageFenetre(2), 1032) != code16(0));
        QCOMPARE(texteControle(lecture, 1032), QString());
        QCOMPARE(donnees, QString());
        QVERIFY(fenetre->pageFenetre(3) == nullptr || texteControle(fenetre->pageFenetre(3), 1032).isEmpty());
    }
}

void FeuillesTest::chaineAutoPrendLaSaisieDeLaPageActive()
{
    QVERIFY(lierSubstitut(m_banc.etat));
    CTestAmbrel& feuille = m_banc.cadre->vue()->feuilleAmbrel();
    FenetreFeuille* fenetre = ouvrir(32774, feuille);
    ouvrirSession(fenetre);

    // Typed on the page shown, never exchanged by a tab change: leaving the
    // page for the chain's first step must keep it.
    saisir(fenetre->pageFenetre(0), 1030, QStringLiteral("Saisi"));
    cliquer(fenetre, 32773);
    QCOMPARE(texteControle(fenetre->pageFenetre(0), 1030), QStringLiteral("Saisi"));
    QCOMPARE(feuille.m_ouverture.m_NomApplication, std::string("Saisi"));

    // The same on the reading page, where the chain ends.
    QCOMPARE(fenetre->onglets()->currentIndex(), 4);
    saisir(fenetre->pageFenetre(4), 1036, QStringLiteral("10"));
    cliquer(fenetre, 32773);
    QCOMPARE(texteControle(fenetre->pageFenetre(4), 1032), code16(5));
}

void FeuillesTest::descriptionsDesBoutons()
{
    FenetreFeuille* fenetre = ouvrir(32774, m_banc.cadre->vue()->feuilleAmbrel());
    QPushButton* automatique = fenetre->bouton(32773);
    QCOMPARE(automatique->statusTip(), QString::fromUtf8("Test des fonctions en enchaînement automatique"));
    fenetre->onglets()->setCurrentIndex(4);
    auto* rappel = controle<QPushButton>(fenetre->pageFenetre(4), 1034);
    QCOMPARE(rappel->statusTip(), QString::fromUtf8("Rappeler le n° de session Ambrel"));
    QCOMPARE(rappel->toolTip(), QString::fromUtf8("Rappeler le n° de session Ambrel"));
    auto* rappelCps = controle<QPushButton>(fenetre->pageFenetre(4), 1035);
    QCOMPARE(rappelCps->statusTip(), QString::fromUtf8("Rapeler le n° de session CPS"));
    QVERIFY(fenetre->bouton(1)->statusTip().isEmpty());
}

QTEST_MAIN(FeuillesTest)
#include "FeuillesTest.moc"
