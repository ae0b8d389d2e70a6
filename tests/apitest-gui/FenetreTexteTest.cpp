// The "Information API" command and the text window it runs.

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QApplication>
#include <QRegularExpression>
#include <QTimer>

#include "CMainFrame.h"
#include "CTexteDlg.h"
#include "FenetreTexte.h"
#include "Soutien.h"
#include "XmlVersTexte.h"

using namespace quintor;
using namespace quintor::gui;
using namespace soutien;

class FenetreTexteTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void informationApiReussie();
    void code32DeuxFois();
    void cheminDeCinqCentDouzeCaracteres();
    void fenetreModaleReelle();
    void documentLatin1();
    void barreDeDefilementSelonLaListe();

private:
    Banc m_banc;
};

void FenetreTexteTest::init()
{
    QVERIFY2(m_banc.demarrer(true), "the stand-in could not be set up and bound");
}

void FenetreTexteTest::cleanup()
{
    m_banc.arreter();
}

void FenetreTexteTest::informationApiReussie()
{
    QString cheminAffiche;
    QString texteAvant;
    QString geometrie;
    m_banc.presentateur.surTexte = [&](FenetreTexte& fenetre) {
        cheminAffiche = texteControle(&fenetre, 1100);
        texteAvant = texteControle(&fenetre, 1053);
        cliquer(&fenetre, 1102);
    };
    m_banc.cadre->action(32786)->trigger();

    QCOMPARE(m_banc.presentateur.textes.size(), std::size_t{1});
    QCOMPARE(m_banc.presentateur.textes[0].titre, QStringLiteral("Informations API"));
    QCOMPARE(cheminAffiche, QString::fromStdString(m_banc.donnees->chemin()));
    QVERIFY(texteAvant.isEmpty());
    const QString liste = m_banc.presentateur.textes[0].affiche;
    QVERIFY2(liste.startsWith(QStringLiteral("Composant\n Nom: Lumeris\n Version: 5.0.0\n")),
             qPrintable(liste));
    QVERIFY(liste.contains(QString::fromUtf8("\n Description: API de lecture simulée")));
    QVERIFY(m_banc.presentateur.messages.empty());
    QCOMPARE(QString::fromStdString(m_banc.etat.CheminPartage), cheminAffiche);
}

void FenetreTexteTest::code32DeuxFois()
{
    QStringList chemins;
    m_banc.presentateur.surTexte = [&](FenetreTexte& fenetre) {
        saisir(&fenetre, 1100, QStringLiteral("/nonexistent/"));
        cliquer(&fenetre, 1102);
        chemins << texteControle(&fenetre, 1100);
        cliquer(&fenetre, 1102);
        chemins << texteControle(&fenetre, 1100);
    };
    m_banc.cadre->action(32786)->trigger();

    const QString suffixe = QStringLiteral(" (fichiers introuvables)");
    QCOMPARE(chemins, QStringList({"/nonexistent/" + suffixe, "/nonexistent/" + suffixe + suffixe}));
    // The error word is whatever the API left in it; the return code is 32.
    const QStringList lignes = m_banc.presentateur.textes[0].affiche.split(QLatin1Char('\n'));
    QCOMPARE(lignes.size(), 2);
    QVERIFY(QRegularExpression(QStringLiteral("^Code erreur: (\\d+) \\(0x[0-9a-f]{4}\\)$"))
                .match(lignes[0])
                .hasMatch());
    QCOMPARE(lignes[1], QStringLiteral("Code retour: 32 (0x0020)"));
    QCOMPARE(QString::fromStdString(m_banc.etat.CheminPartage), chemins.back());
}

void FenetreTexteTest::cheminDeCinqCentDouzeCaracteres()
{
    CTexteDlg logique(m_banc.etat);
    FenetreTexte fenetre(logique);
    auto* chemin = controle(&fenetre, 1100);
    const QString long512(512, QLatin1Char('x'));
    chemin->clear();
    QTest::keyClicks(chemin, long512 + QStringLiteral("yz"));
    QCOMPARE(chemin->text(), long512);
    cliquer(&fenetre, 1102);
    // Passed whole: the stand-in refuses a path over 511 characters as an
    // invalid argument (a path cut to 511 would have given 32 and the suffix).
    QCOMPARE(chemin->text(), long512);
    QVERIFY(texteControle(&fenetre, 1053).endsWith(QStringLiteral("Code retour: 1 (0x0001)")));
}

void FenetreTexteTest::fenetreModaleReelle()
{
    // The program's own presenter runs the window modally; "Fermer" ends it.
    PresentateurQt reel;
    m_banc.etat.presentateur = &reel;
    QString titre;
    QString liste;
    QTimer::singleShot(0, [&] {
        auto* fenetre = qobject_cast<FenetreTexte*>(QApplication::activeModalWidget());
        if (fenetre == nullptr) {
            return;
        }
        titre = fenetre->windowTitle();
        cliquer(fenetre, 1102);
        liste = texteControle(fenetre, 1053);
        cliquer(fenetre, 2);
    });
    CTexteDlg logique(m_banc.etat);
    logique.text = "listing\r\nbefore";
    const int resultat = logique.Afficher("Informations API");
    QCOMPARE(resultat, static_cast<int>(QDialog::Rejected));
    QCOMPARE(titre, QStringLiteral("Informations API"));
    // "Executer" replaced the listing the window opened with.
    QVERIFY(liste.startsWith(QStringLiteral("Composant\n")));
}

void FenetreTexteTest::documentLatin1()
{
    // A card document declared ISO-8859-1: its accents reach the listing as
    // Latin-1 bytes and must show as such, not as replacement characters.
    CTexteDlg logique(m_banc.etat);
    XmlVersTexte(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
        "<t_AsnDonneesAmbrel><Nom>H\xe9l\xe8ne</Nom></t_AsnDonneesAmbrel>",
        logique, "t_AsnDonneesAmbrel");
    QCOMPARE(logique.text, std::string("Nom: H\xe9l\xe8ne\r\n"));
    FenetreTexte fenetre(logique);
    QCOMPARE(texteControle(&fenetre, 1053), QString::fromUtf8("Nom: Hélène\n"));
}

void FenetreTexteTest::barreDeDefilementSelonLaListe()
{
    // The stand-in's card listing is longer than the box: a vertical scroll
    // bar says so. The API information fits and shows none.
    QFile carte(QString::fromStdString(m_banc.donnees->chemin()) + QStringLiteral("ambrel.xml"));
    QVERIFY(carte.open(QIODevice::ReadOnly));
    const QByteArray xml = carte.readAll();
    CTexteDlg logique(m_banc.etat);
    XmlVersTexte(xml.constData(), logique, "t_AsnDonneesAmbrel");
    FenetreTexte fenetre(logique);
    fenetre.show();
    auto* liste = fenetre.findChild<QPlainTextEdit*>(QStringLiteral("1053"));
    QVERIFY(liste != nullptr);
    QVERIFY(liste->toPlainText().count(QLatin1Char('\n')) > 15);
    QTRY_VERIFY(liste->verticalScrollBar()->isVisible());
    QVERIFY(!liste->horizontalScrollBar()->isVisible());

    cliquer(&fenetre, 1102);
    QVERIFY(liste->toPlainText().startsWith(QStringLiteral("Composant")));
    QTRY_VERIFY(!liste->verticalScrollBar()->isVisible());
}

QTEST_MAIN(FenetreTexteTest)
#include "FenetreTexteTest.moc"
