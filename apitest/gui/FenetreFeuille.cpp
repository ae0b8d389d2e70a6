#include "FenetreFeuille.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "Dlu.h"
#include "ModelesPages.h"
#include "PagePropriete.h"
#include "TexteQt.h"

namespace quintor::gui {

namespace {

constexpr int kMarge = 7;
// Space between the tabs and the window height H the button row is placed
// from: the row starts at H - 10, clear of the tabs.
constexpr int kEspaceBoutons = 17;
// The sheet grows by 45 pixels of its window rectangle, which on Windows
// holds the caption and the frame too; the row (H - 10 to H + 15) then ends
// near the bottom edge. Our size is the client area's: that part is taken
// off, so the row ends kMarge pixels above the bottom, without an empty band.
constexpr int kCadreFenetre = kHausseFenetre - 15 - kMarge;
// A sheet widens up to this for its tab captions; beyond, captions are elided.
constexpr int kLargeurMaxOnglets = 900;

}  // namespace

FenetreFeuille::FenetreFeuille(CTestPropSheet& feuille, EtatProgramme& etat, QWidget* proprietaire)
    : QDialog(proprietaire,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_feuille(feuille),
      m_etat(etat)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFont(policeDialogue());
    setWindowTitle(versQString(feuille.titre()));

    m_onglets = new QTabWidget(this);
    m_onglets->setObjectName(QStringLiteral("onglets"));
    int largeur = 0;
    int hauteur = 0;
    for (int i = 0; i < feuille.nombrePages(); ++i) {
        PageTest& page = feuille.page(i);
        if (const ModelePage* modele = modelePage(page.modele())) {
            largeur = std::max(largeur, dluX(modele->largeur));
            hauteur = std::max(hauteur, dluY(modele->hauteur));
        }
        auto* conteneur = new QWidget;
        const int onglet = m_onglets->addTab(conteneur, versQString(page.titre()));
        // The full caption, also when the tab shows it shortened.
        m_onglets->setTabToolTip(onglet, versQString(page.titre()));
        m_conteneurs.push_back(conteneur);
        m_pages.push_back(nullptr);
    }
    // The tabs take the largest page plus their bar and frame, wider when
    // their captions need it. Every tab stays in view: no scroll arrows, and
    // captions too long even then are elided (the tooltip has them whole).
    const int cadre = 2 * m_onglets->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_onglets);
    m_onglets->setElideMode(Qt::ElideNone);
    const int captions = m_onglets->tabBar()->sizeHint().width();
    largeur = std::max(largeur, std::min(captions, kLargeurMaxOnglets) - cadre);
    m_onglets->setUsesScrollButtons(false);
    m_onglets->setElideMode(captions > largeur + cadre ? Qt::ElideRight : Qt::ElideNone);
    const QSize taille(largeur + cadre, hauteur + cadre + m_onglets->tabBar()->sizeHint().height());
    m_onglets->setGeometry(QRect(QPoint(kMarge, kMarge), taille));

    m_feuille.setObservateur(this);
    m_feuille.ouvrir();
    connect(m_onglets, &QTabWidget::currentChanged, this, &FenetreFeuille::surOngletChange);
    initialiser();
}

FenetreFeuille::~FenetreFeuille()
{
    detacher();
}

void FenetreFeuille::detacher()
{
    if (m_detachee) {
        return;
    }
    m_detachee = true;
    while (m_curseurs > 0) {
        curseurAttente(false);
    }
    m_feuille.setObservateur(nullptr);
    m_feuille.fermer();
}

void FenetreFeuille::initialiser()
{
    const int largeur = m_onglets->geometry().right() + 1 + kMarge;
    const int hauteur = m_onglets->geometry().bottom() + 1 + kEspaceBoutons;
    // The window grows under the tabs, keeping its width, to take the row.
    setFixedSize(largeur, hauteur + kHausseFenetre - kCadreFenetre);

    QPushButton* executer = nullptr;
    for (const PlacementBouton& placement : placerBoutons(m_feuille.MasqueBoutons, largeur, hauteur)) {
        auto* b = new QPushButton(versQString(placement.texte), this);
        b->setObjectName(QString::number(placement.commande));
        if (const char* description = descriptionCommande(placement.commande)) {
            // A button has no text worth a tooltip: the description serves.
            const Invite invite = decouperInvite(description, QString::fromUtf8(description));
            b->setStatusTip(invite.etat);
            b->setToolTip(invite.bulle);
        }
        b->setGeometry(
            QRect(QPoint(placement.gauche, placement.haut), QPoint(placement.droite - 1, placement.bas - 1)));
        b->setFont(font());
        b->setAutoDefault(false);
        const int commandeBouton = placement.commande;
        connect(b, &QPushButton::clicked, this, [this, commandeBouton] { commande(commandeBouton); });
        m_boutons.push_back(b);
        if (placement.commande == kCommandeExecuter) {
            executer = b;
        }
    }
    if (executer != nullptr) {
        executer->setDefault(true);
        executer->setFocus();
    }

    // Centred over the owner, or on the screen without one.
    const QRect reference = parentWidget() != nullptr ? parentWidget()->window()->geometry()
                            : screen() != nullptr     ? screen()->availableGeometry()
                                                      : QRect();
    if (reference.isValid()) {
        QRect cadre(QPoint(0, 0), size());
        cadre.moveCenter(reference.center());
        move(cadre.topLeft());
    }
}

PagePropriete* FenetreFeuille::pageFenetre(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_pages.size())) {
        return nullptr;
    }
    return m_pages[static_cast<std::size_t>(index)];
}

QPushButton* FenetreFeuille::bouton(int commande) const
{
    for (QPushButton* b : m_boutons) {
        if (b->objectName() == QString::number(commande)) {
            return b;
        }
    }
    return nullptr;
}

void FenetreFeuille::pageActivee(int index)
{
    if (index < 0 || index >= static_cast<int>(m_pages.size())) {
        return;
    }
    auto& fenetre = m_pages[static_cast<std::size_t>(index)];
    if (fenetre == nullptr) {
        fenetre =
            new PagePropriete(m_feuille.page(index), m_etat, m_conteneurs[static_cast<std::size_t>(index)]);
        // Only the shown page's buttons can be pressed: the sheet runs them on
        // its active page.
        connect(fenetre, &PagePropriete::commandeDemandee, this,
                [this](int bouton) { m_feuille.CommandePage(bouton); });
        fenetre->show();
    }
    if (m_onglets->currentIndex() != index) {
        m_activationEnCours = true;
        m_onglets->setCurrentIndex(index);
        m_activationEnCours = false;
    }
    m_ongletCourant = index;
    fenetre->versControles();
}

void FenetreFeuille::lireChamps(int index)
{
    if (PagePropriete* fenetre = pageFenetre(index)) {
        fenetre->versMembres();
    }
}

void FenetreFeuille::ecrireChamps(int index)
{
    if (PagePropriete* fenetre = pageFenetre(index)) {
        fenetre->versControles();
    }
}

void FenetreFeuille::activerBoutons(bool actifs)
{
    for (QPushButton* b : m_boutons) {
        const int id = b->objectName().toInt();
        if (id == kCommandeRaz || id == kCommandeAuto) {
            b->setDown(false);
        }
        b->setEnabled(actifs);
    }
}

void FenetreFeuille::curseurAttente(bool attente)
{
    if (attente) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_curseurs;
    } else if (m_curseurs > 0) {
        QApplication::restoreOverrideCursor();
        --m_curseurs;
    }
}

void FenetreFeuille::surOngletChange(int index)
{
    if (m_activationEnCours) {
        return;
    }
    // The sheet logic exchanges the page being left before showing the new one.
    m_ongletCourant = index;
    m_feuille.ActiverPage(index);
}

void FenetreFeuille::commande(int commande)
{
    switch (commande) {
    case kCommandeExecuter: m_feuille.Executer(); break;
    case kCommandeRaz: m_feuille.Raz(); break;
    case kCommandeAuto: m_feuille.Auto(); break;
    case kCommandeFermer: close(); break;
    default: break;
    }
}

void FenetreFeuille::reject()
{
    commande(kCommandeRaz);
}

void FenetreFeuille::closeEvent(QCloseEvent* evenement)
{
    // The window counts as destroyed at once, as after DestroyWindow; Qt frees
    // the object itself a little later.
    detacher();
    evenement->accept();
}

}  // namespace quintor::gui
