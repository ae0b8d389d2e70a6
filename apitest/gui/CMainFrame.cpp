#include "CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "CTestAHView.h"
#include "Dlu.h"
#include "EtatProgramme.h"
#include "Icones.h"
#include "Identifiants.h"
#include "TexteQt.h"

namespace quintor::gui {

CMainFrame::CMainFrame(EtatProgramme& etat, QWidget* parent) : QMainWindow(parent), m_etat(etat)
{
    // The framework composes the caption from the document name and the title.
    setWindowTitle(QString::fromUtf8(kNomDocument) + QStringLiteral(" - ") +
                   QString::fromUtf8(kTitreFenetre));
    setWindowIcon(iconeProgramme());
    move(100, 100);
    resize(500, 300);

    m_vue = new CTestAHView(etat, this);
    setCentralWidget(m_vue);

    creerMenus();
    creerBarreOutils();
    creerBarreEtat();
    creerAccelerateurs();

    // Nothing ever enables this entry again: it stays greyed for the whole run.
    action(kIdTestsErreurParametres)->setEnabled(false);
}

QAction* CMainFrame::action(int commande) const
{
    return findChild<QAction*>(QString::number(commande));
}

QAction* CMainFrame::creerAction(int commande, const QString& texte, const char* invite)
{
    auto* a = new QAction(texte, this);
    a->setObjectName(QString::number(commande));
    if (invite != nullptr) {
        const Invite parties = decouperInvite(invite, texte);
        a->setStatusTip(parties.etat);
        a->setToolTip(parties.bulle);
    }
    return a;
}

void CMainFrame::creerMenus()
{
    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    QAction* quitter = creerAction(kIdQuitter, QStringLiteral("&Quitter"), "Ferme l'application\nQuitter");
    quitter->setIcon(iconeQuitter());
    connect(quitter, &QAction::triggered, this, &QWidget::close);
    fichier->addAction(quitter);

    QMenu* affichage = menuBar()->addMenu(QStringLiteral("&Affichage"));
    QAction* barreOutils = creerAction(kIdBarreOutils, QString::fromUtf8("&Barre d'outils"),
                                       "Affiche ou masque la barre d'outils\nBarre d'outils");
    barreOutils->setCheckable(true);
    barreOutils->setChecked(true);
    affichage->addAction(barreOutils);
    QAction* barreEtat = creerAction(kIdBarreEtat, QString::fromUtf8("Barre d'é&tat"),
                                     "Affiche ou masque la barre d'état\nBarre d'état");
    barreEtat->setCheckable(true);
    barreEtat->setChecked(true);
    affichage->addAction(barreEtat);

    QMenu* tests = menuBar()->addMenu(QStringLiteral("&Tests"));
    QAction* cps = creerAction(kIdFonctionsCps, QStringLiteral("Fonctions &CPS"),
                               "Test des fonctions CPS\nTest des fonctions CPS");
    cps->setIcon(iconeLettre(QLatin1Char('C'), QColor(0x2e, 0x7d, 0x32)));
    connect(cps, &QAction::triggered, m_vue, &CTestAHView::OnFonctionsCps);
    tests->addAction(cps);
    QAction* ambrel =
        creerAction(kIdFonctionsAmbrel, QStringLiteral("Fonctions &Ambrel 1"),
                    "Test des fonctions traitant la carte Ambrel 1\nTest des fonctions Ambrel 1");
    ambrel->setIcon(iconeLettre(QLatin1Char('A'), QColor(0x1f, 0x5f, 0xb0)));
    connect(ambrel, &QAction::triggered, m_vue, &CTestAHView::OnFonctionsAmbrel);
    tests->addAction(ambrel);
    QAction* info = creerAction(kIdInformationApi, QStringLiteral("Information API"),
                                "Lecture de la version des différents composants des Lumeris");
    connect(info, &QAction::triggered, m_vue, &CTestAHView::OnInformationApi);
    tests->addAction(info);
    QAction* hn = creerAction(kIdFonctionsHautNiveau, QStringLiteral("Fonctions &HautNiveau"),
                              "Test des fonctions haut niveau \nTest Finctions Haut Niveau");
    hn->setIcon(iconeLettre(QLatin1Char('H'), QColor(0xa0, 0x40, 0x20)));
    connect(hn, &QAction::triggered, m_vue, &CTestAHView::OnFonctionsHautNiveau);
    tests->addAction(hn);
    tests->addAction(
        creerAction(kIdTestsErreurParametres, QString::fromUtf8("Tests erreur paramètres"), nullptr));

    QMenu* aide = menuBar()->addMenu(QStringLiteral("&?"));
    QAction* apropos =
        creerAction(kIdAPropos, QStringLiteral("&A propos de test..."),
                    "Affiche des informations sur le programme, le numéro de version et le copyright\n"
                    "A propos de");
    connect(apropos, &QAction::triggered, m_vue, &CTestAHView::OnAppAbout);
    aide->addAction(apropos);
}

void CMainFrame::creerBarreOutils()
{
    QToolBar* barre = addToolBar(QString::fromUtf8("Barre d'outils"));
    barre->setObjectName(QString::number(kIdBarreOutils));
    barre->setIconSize(QSize(16, 15));
    barre->addAction(action(kIdQuitter));
    barre->addSeparator();
    barre->addAction(action(kIdFonctionsAmbrel));
    barre->addAction(action(kIdFonctionsCps));
    barre->addSeparator();
    barre->addAction(action(kIdFonctionsHautNiveau));

    QAction* bascule = action(kIdBarreOutils);
    connect(bascule, &QAction::toggled, barre, &QWidget::setVisible);
    connect(barre, &QToolBar::visibilityChanged, bascule, &QAction::setChecked);
}

void CMainFrame::creerBarreEtat()
{
    QStatusBar* barre = statusBar();
    barre->setObjectName(QString::number(kIdBarreEtat));
    // The dialogs' 8-point face, as the framework's status bar has: the
    // longest prompt ("Information API") fits beside the three panes.
    barre->setFont(policeDialogue());
    // A normal widget: prompts shown while a menu entry is highlighted hide it,
    // and it comes back when they go.
    auto* pret = new QLabel(QString::fromUtf8(kPret), barre);
    pret->setObjectName(QStringLiteral("messagePret"));
    barre->addWidget(pret, 1);
    for (const char* indicateur : {"MAJ", "NUM", "DEF"}) {
        auto* etiquette = new QLabel(QString::fromUtf8(indicateur), barre);
        etiquette->setObjectName(QString::fromUtf8(indicateur));
        etiquette->setFrameShape(QFrame::Panel);
        etiquette->setFrameShadow(QFrame::Sunken);
        // The lock states are not portable to read; the indicators show "off".
        etiquette->setEnabled(false);
        barre->addPermanentWidget(etiquette);
    }

    QAction* bascule = action(kIdBarreEtat);
    connect(bascule, &QAction::toggled, barre, &QWidget::setVisible);
}

void CMainFrame::creerAccelerateurs()
{
    // The framework's standard keys reach its document and print handlers; the
    // document is empty and the view draws nothing, so they have nothing to act on.
    const QKeySequence touches[] = {
        QKeySequence(Qt::CTRL | Qt::Key_N),
        QKeySequence(Qt::CTRL | Qt::Key_O),
        QKeySequence(Qt::CTRL | Qt::Key_S),
        QKeySequence(Qt::CTRL | Qt::Key_P),
        QKeySequence(Qt::CTRL | Qt::Key_Z),
        QKeySequence(Qt::CTRL | Qt::Key_X),
        QKeySequence(Qt::CTRL | Qt::Key_C),
        QKeySequence(Qt::CTRL | Qt::Key_V),
        QKeySequence(Qt::ALT | Qt::Key_Backspace),
        QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::CTRL | Qt::Key_Insert),
        QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        QKeySequence(Qt::Key_F6),
        QKeySequence(Qt::SHIFT | Qt::Key_F6),
    };
    for (const QKeySequence& touche : touches) {
        auto* a = new QAction(this);
        a->setShortcut(touche);
        addAction(a);
    }
}

void CMainFrame::closeEvent(QCloseEvent* evenement)
{
    // The library goes first; the sheets' windows are destroyed afterwards.
    LibererLumeris(m_etat.Table);
    m_vue->fermerFeuilles();
    evenement->accept();
}

}  // namespace quintor::gui
