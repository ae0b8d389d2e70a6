// Every function page against the stand-in API: execution, recall, the data
// and label windows, the path rule and the limits of the data exchange.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>

#include "CMainFrame.h"
#include "CTestAHView.h"
#include "FenetreFeuille.h"
#include "PagePropriete.h"
#include "Soutien.h"
#include "TexteQt.h"

using namespace quintor;
using namespace quintor::gui;
using namespace soutien;

namespace {

// One step of a realistic session: the page to run, "<<" first or not, and
// the values typed in before "E&xécuter".
struct Etape {
    int page;
    bool rappel;
    std::vector<std::pair<int, QString>> saisies;
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<Etape>)

class PagesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void executerChaquePage_data();
    void executerChaquePage();
    void donneesAmbrelDesDeuxPagesDeLecture_data();
    void donneesAmbrelDesDeuxPagesDeLecture();
    void libelleCentre();
    void libelleDuDictionnaire();
    void limiteDeTrenteCaracteres();
    void collerGardeLeDebut_data();
    void collerGardeLeDebut();
    void ordreDeTabulation_data();
    void ordreDeTabulation();
    void etiquettesLieesAuxChamps();
    void cheminTropLongDuDictionnaire();
    void champCodePorteurMasque();
    void cheminIntrouvableRepris();

private:
    FenetreFeuille* ouvrir(int commande);
    void executer(FenetreFeuille* fenetre, const Etape& etape);

    Banc m_banc;
};

void PagesTest::init()
{
    QVERIFY2(m_banc.demarrer(true), "the stand-in could not be set up and bound");
}

void PagesTest::cleanup()
{
    m_banc.arreter();
}

FenetreFeuille* PagesTest::ouvrir(int commande)
{
    m_banc.cadre->action(commande)->trigger();
    CTestAHView* vue = m_banc.cadre->vue();
    switch (commande) {
    case 32771: return vue->fenetre(vue->feuilleCps());
    case 32774: return vue->fenetre(vue->feuilleAmbrel());
    default: return vue->fenetre(vue->feuilleHN());
    }
}

void PagesTest::executer(FenetreFeuille* fenetre, const Etape& etape)
{
    fenetre->onglets()->setCurrentIndex(etape.page);
    QWidget* page = fenetre->pageFenetre(etape.page);
    QVERIFY(page != nullptr);
    if (etape.rappel) {
        cliquer(page, 1034);
    }
    for (const auto& [id, texte] : etape.saisies) {
        saisir(page, id, texte);
    }
    cliquer(fenetre, 1);
}

void PagesTest::executerChaquePage_data()
{
    QTest::addColumn<int>("commande");
    QTest::addColumn<std::vector<Etape>>("etapes");
    QTest::newRow("CPS") << 32771
                         << std::vector<Etape>{{0, false, {}},
                                               {2, true, {}},
                                               {4, true, {{1018, "5831"}}},
                                               {3, true, {}},
                                               {1, true, {}}};
    QTest::newRow("Ambrel") << 32774
                            << std::vector<Etape>{{0, false, {}}, {2, true, {}},
                                                  {4, true, {}},  {3, true, {}},
                                                  {1, true, {}},  {5, false, {{1039, "1"}, {1040, "01"}}}};
    QTest::newRow("HautNiveau") << 32780 << std::vector<Etape>{{0, false, {}}, {2, false, {{1077, "1"}}},
                                                               {3, false, {}}, {4, false, {}},
                                                               {6, false, {}}, {5, false, {}},
                                                               {1, false, {}}};
}

void PagesTest::executerChaquePage()
{
    QFETCH(int, commande);
    QFETCH(std::vector<Etape>, etapes);
    FenetreFeuille* fenetre = ouvrir(commande);
    QVERIFY(fenetre != nullptr);
    for (const Etape& etape : etapes) {
        executer(fenetre, etape);
        if (QTest::currentTestFailed()) {
            return;
        }
        QWidget* page = fenetre->pageFenetre(etape.page);
        QCOMPARE(m_banc.presentateur.messages, std::vector<std::string>{});
        QCOMPARE(texteControle(page, 1032), code16(0));
    }
    QCOMPARE(fenetre->onglets()->count(), static_cast<int>(etapes.size()));

    // A few written-back values the pages show.
    if (commande == 32771) {
        QWidget* intro = fenetre->pageFenetre(2);
        QCOMPARE(texteControle(intro, 1027), QStringLiteral("DURAND CLAIRE              "));
        QCOMPARE(texteControle(intro, 1026), QStringLiteral("22"));
        QWidget* controle = fenetre->pageFenetre(4);
        QCOMPARE(texteControle(controle, 1020), QStringLiteral("20291231"));
        QCOMPARE(texteControle(controle, 1022), QStringLiteral("CPS3-SIM01"));
        QCOMPARE(texteControle(controle, 1023).size(), 1);
    } else if (commande == 32774) {
        QWidget* lecture = fenetre->pageFenetre(4);
        QVERIFY(texteControle(lecture, 1037).startsWith(QStringLiteral("<?xml")));
        QWidget* dictionnaire = fenetre->pageFenetre(5);
        QCOMPARE(texteControle(dictionnaire, 1042),
                 QString::fromUtf8("\t\tREGIME GENERAL\nSalariés et assimilés"));
    } else {
        QCOMPARE(texteControle(fenetre->pageFenetre(2), 1078), QStringLiteral("1 (0x0001)"));
        QCOMPARE(texteControle(fenetre->pageFenetre(4), 1023).size(), 2);
        QVERIFY(texteControle(fenetre->pageFenetre(3), 1037).startsWith(QStringLiteral("<?xml")));
    }
}

void PagesTest::donneesAmbrelDesDeuxPagesDeLecture_data()
{
    QTest::addColumn<int>("commande");
    QTest::addColumn<std::vector<Etape>>("etapes");
    QTest::newRow("Lec_LectureAmbrel")
        << 32774 << std::vector<Etape>{{0, false, {}}, {2, true, {}}, {4, true, {}}};
    QTest::newRow("Hn_LectureAmbrel") << 32780 << std::vector<Etape>{{0, false, {}}, {3, false, {}}};
}

void PagesTest::donneesAmbrelDesDeuxPagesDeLecture()
{
    QFETCH(int, commande);
    QFETCH(std::vector<Etape>, etapes);
    FenetreFeuille* fenetre = ouvrir(commande);
    for (const Etape& etape : etapes) {
        executer(fenetre, etape);
    }
    QWidget* page = fenetre->pageFenetre(etapes.back().page);
    QCOMPARE(texteControle(page, 1032), code16(0));

    cliquer(page, 1038);

    QCOMPARE(m_banc.presentateur.textes.size(), std::size_t{1});
    QCOMPARE(m_banc.presentateur.textes[0].titre, QString::fromUtf8("Données Ambrel"));
    const QString attendu = QStringLiteral(
        "Carte\n NumeroSerie: 0012345678\n DateFinValidite: 20291231\nAssure\n"
        " Nir: 2 85 02 75 123 456\n Nom: MARTIN\n");
    QVERIFY2(m_banc.presentateur.textes[0].affiche.startsWith(attendu),
             qPrintable(m_banc.presentateur.textes[0].affiche.left(200)));
    // The document is ISO-8859-1: its accents show as such.
    QVERIFY(m_banc.presentateur.textes[0].affiche.contains(QString::fromUtf8("  Ligne: Bât. A & B\n")));
}

void PagesTest::libelleCentre()
{
    FenetreFeuille* fenetre = ouvrir(32774);
    fenetre->onglets()->setCurrentIndex(5);
    QWidget* page = fenetre->pageFenetre(5);
    saisir(page, 1042, QStringLiteral("\t\tABCDE\nF"));

    cliquer(page, 1051);

    QCOMPARE(m_banc.presentateur.textes.size(), std::size_t{1});
    QCOMPARE(m_banc.presentateur.textes[0].titre, QString::fromUtf8("Libellé"));
    QCOMPARE(m_banc.presentateur.textes[0].affiche, QString(31, QLatin1Char(' ')) + "ABCDE\nF");
}

void PagesTest::libelleDuDictionnaire()
{
    FenetreFeuille* fenetre = ouvrir(32774);
    executer(fenetre, {5, false, {{1039, "2"}, {1040, "751"}}});
    QWidget* page = fenetre->pageFenetre(5);
    QCOMPARE(texteControle(page, 1032), code16(0));
    // The label's own CR-less line feeds survive the round trip through the edit.
    cliquer(page, 1051);
    QCOMPARE(m_banc.presentateur.textes.size(), std::size_t{1});
    const QStringList lignes = m_banc.presentateur.textes[0].affiche.split(QLatin1Char('\n'));
    QCOMPARE(lignes.size(), 3);
    QCOMPARE(lignes[0].trimmed(), QStringLiteral("CAISSE DE PARIS"));
    QCOMPARE(lignes[0].size() - lignes[0].trimmed().size(), (67 - 15) / 2);
    QCOMPARE(lignes[2], QStringLiteral("75019 PARIS"));
}

void PagesTest::limiteDeTrenteCaracteres()
{
    FenetreFeuille* fenetre = ouvrir(32771);
    fenetre->onglets()->setCurrentIndex(4);
    QWidget* page = fenetre->pageFenetre(4);
    const QString long31(31, QLatin1Char('A'));
    // Typing stops at the limit, as the edit's text limit does.
    saisir(page, 1022, long31);
    QCOMPARE(texteControle(page, 1022), long31.left(30));

    // A longer text the program put in is reported by the data exchange.
    ecrireSaisie(controle(page, 1022), long31);
    cliquer(fenetre, 1);

    QCOMPARE(m_banc.presentateur.messages.size(), std::size_t{1});
    QCOMPARE(m_banc.presentateur.messages[0], std::string("Tapez 30 caractères au maximum."));
    // The step goes on: the call is made and its result shown.
    QVERIFY(!texteControle(page, 1032).isEmpty());

    // Thirty characters pass without a message.
    m_banc.presentateur.messages.clear();
    saisir(page, 1022, long31.left(30));
    cliquer(fenetre, 1);
    QVERIFY(m_banc.presentateur.messages.empty());
}

void PagesTest::collerGardeLeDebut_data()
{
    QTest::addColumn<QString>("avant");
    QTest::addColumn<int>("debutSelection");
    QTest::addColumn<int>("longueurSelection");
    QTest::addColumn<QString>("colle");
    QTest::addColumn<QString>("attendu");
    const QString chiffres = QStringLiteral("0123456789");
    const QString quarante = chiffres + chiffres + chiffres + chiffres;
    QTest::newRow("champ vide") << QString() << 0 << 0 << quarante << quarante.left(30);
    QTest::newRow("apres trois caracteres")
        << QStringLiteral("abc") << 3 << 0 << quarante << QStringLiteral("abc") + quarante.left(27);
    QTest::newRow("au milieu") << QStringLiteral("abcd") << 2 << 0 << quarante
                               << QStringLiteral("ab") + quarante.left(26) + QStringLiteral("cd");
    QTest::newRow("sur une selection") << QStringLiteral("abcdef") << 1 << 4 << quarante
                                       << QStringLiteral("a") + quarante.left(28) + QStringLiteral("f");
    QTest::newRow("champ plein") << QString(30, QLatin1Char('z')) << 30 << 0 << quarante
                                 << QString(30, QLatin1Char('z'));
    QTest::newRow("court") << QStringLiteral("ab") << 2 << 0 << QStringLiteral("cd")
                           << QStringLiteral("abcd");
}

void PagesTest::collerGardeLeDebut()
{
    QFETCH(QString, avant);
    QFETCH(int, debutSelection);
    QFETCH(int, longueurSelection);
    QFETCH(QString, colle);
    QFETCH(QString, attendu);
    FenetreFeuille* fenetre = ouvrir(32771);
    fenetre->onglets()->setCurrentIndex(4);
    QLineEdit* edit = controle(fenetre->pageFenetre(4), 1022);
    QVERIFY(edit != nullptr);

    // As a Windows edit does: the pasted text is cut at the limit of 30.
    for (const bool parPressePapiers : {false, true}) {
        ecrireSaisie(edit, avant);
        edit->setSelection(debutSelection, longueurSelection);
        if (parPressePapiers) {
            QGuiApplication::clipboard()->setText(colle);
            if (QGuiApplication::clipboard()->text() != colle) {
                continue;  // a platform without a clipboard; insert() below is the same path
            }
            edit->setFocus();
            QTest::keySequence(edit, QKeySequence::Paste);
        } else {
            edit->insert(colle);
        }
        QCOMPARE(edit->text(), attendu);
    }
}

void PagesTest::ordreDeTabulation_data()
{
    QTest::addColumn<int>("commande");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("ordre");
    // Two columns: row by row, a "<<" right after its field, ">>" after DataOut.
    QTest::newRow("Lec_LectureAmbrel")
        << 32774 << 4 << QStringList{"1012", "1034", "1013", "1035", "1036", "1021", "1032", "1037", "1038"};
    QTest::newRow("Lec_IntroductionMstCPS")
        << 32771 << 2 << QStringList{"1012", "1034", "1026", "1025", "1027", "1028", "1032", "1021"};
}

void PagesTest::ordreDeTabulation()
{
    QFETCH(int, commande);
    QFETCH(int, page);
    QFETCH(QStringList, ordre);
    FenetreFeuille* fenetre = ouvrir(commande);
    fenetre->onglets()->setCurrentIndex(page);
    QWidget* fenetrePage = fenetre->pageFenetre(page);
    QVERIFY(fenetrePage != nullptr);
    auto* premier = fenetrePage->findChild<QWidget*>(ordre.first());
    QVERIFY(premier != nullptr);
    QStringList suivis{premier->objectName()};
    for (QWidget* w = premier->nextInFocusChain(); suivis.size() < ordre.size(); w = w->nextInFocusChain()) {
        if (w == premier) {
            break;
        }
        if (w->parentWidget() == fenetrePage && (w->focusPolicy() & Qt::TabFocus)) {
            suivis << w->objectName();
        }
    }
    QCOMPARE(suivis, ordre);
}

void PagesTest::etiquettesLieesAuxChamps()
{
    // Every label of every page is the buddy of the field after it, so a
    // screen reader names the field by its label.
    int vues = 0;
    for (const int commande : {32771, 32774, 32780}) {
        FenetreFeuille* fenetre = ouvrir(commande);
        for (int page = 0; page < fenetre->onglets()->count(); ++page) {
            fenetre->onglets()->setCurrentIndex(page);
            QWidget* fenetrePage = fenetre->pageFenetre(page);
            QVERIFY(fenetrePage != nullptr);
            for (QLabel* etiquette : fenetrePage->findChildren<QLabel*>()) {
                QWidget* champ = etiquette->buddy();
                QVERIFY2(champ != nullptr && champ->parentWidget() == fenetrePage,
                         qPrintable(QStringLiteral("%1, page %2: \"%3\"")
                                        .arg(commande)
                                        .arg(page)
                                        .arg(etiquette->text())));
                ++vues;
                if (commande == 32774 && page == 4) {
                    const QString attendu = etiquette->text() == QStringLiteral("DataOut")        ? "1037"
                                            : etiquette->text() == QStringLiteral("NoSessionCPS") ? "1013"
                                                                                                  : "";
                    if (!attendu.isEmpty()) QCOMPARE(champ->objectName(), attendu);
                }
            }
        }
    }
    QVERIFY(vues > 20);
}

void PagesTest::cheminTropLongDuDictionnaire()
{
    // A shared path longer than the dictionary's 512 characters is shown
    // whole, can be shortened, and is reported when it is exchanged.
    m_banc.etat.CheminPartage = std::string(520, 'c');
    FenetreFeuille* fenetre = ouvrir(32774);
    fenetre->onglets()->setCurrentIndex(5);
    QWidget* page = fenetre->pageFenetre(5);
    QLineEdit* chemin = controle(page, 1101);
    QCOMPARE(chemin->text().size(), 520);
    chemin->setFocus();
    chemin->end(false);
    QTest::keyClick(chemin, Qt::Key_Backspace);
    QCOMPARE(chemin->text().size(), 519);

    cliquer(fenetre, 1);
    QCOMPARE(m_banc.presentateur.messages, std::vector<std::string>{"Tapez 512 caractères au maximum."});
    QVERIFY(!texteControle(page, 1032).isEmpty());

    // Down to the limit, typing is held there.
    chemin->setText(QString(512, QLatin1Char('c')));
    QTest::keyClicks(chemin, QStringLiteral("xy"));
    QCOMPARE(chemin->text(), QString(512, QLatin1Char('c')));
}

void PagesTest::champCodePorteurMasque()
{
    FenetreFeuille* fenetre = ouvrir(32771);
    fenetre->onglets()->setCurrentIndex(4);
    QCOMPARE(controle(fenetre->pageFenetre(4), 1018)->echoMode(), QLineEdit::Password);
    QCOMPARE(controle(fenetre->pageFenetre(4), 1022)->echoMode(), QLineEdit::Normal);
    FenetreFeuille* hn = ouvrir(32780);
    hn->onglets()->setCurrentIndex(6);
    QCOMPARE(texteControle(hn->pageFenetre(6), 1018), QStringLiteral("5831"));
}

void PagesTest::cheminIntrouvableRepris()
{
    FenetreFeuille* cps = ouvrir(32771);
    QWidget* ouverture = cps->pageFenetre(0);
    saisir(ouverture, 1100, QStringLiteral("/nonexistent/"));
    cliquer(cps, 1);
    QCOMPARE(texteControle(ouverture, 1032), code16(32));
    const QString attendu = QStringLiteral("/nonexistent/ (fichiers introuvables)");
    QCOMPARE(texteControle(ouverture, 1100), attendu);
    QCOMPARE(QString::fromStdString(m_banc.etat.CheminPartage), attendu);

    // The next page that loads the shared path shows it.
    FenetreFeuille* ambrel = ouvrir(32774);
    ambrel->onglets()->setCurrentIndex(5);
    QCOMPARE(texteControle(ambrel->pageFenetre(5), 1101), attendu);
}

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
