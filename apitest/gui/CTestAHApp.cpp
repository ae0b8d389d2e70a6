#include "CTestAHApp.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSettings>

#include "CMainFrame.h"
#include "EtatProgramme.h"
#include "Identifiants.h"
#include "PresentateurQt.h"

namespace quintor::gui {

CTestAHApp::CTestAHApp(EtatProgramme& etat, PresentateurQt& presentateur, std::string bibliotheque)
    : m_etat(etat), m_presentateur(presentateur), m_bibliotheque(std::move(bibliotheque))
{}

CTestAHApp::~CTestAHApp()
{
    if (m_etat.presentateur == &m_presentateur) {
        m_etat.presentateur = nullptr;
    }
}

void CTestAHApp::chargerReglages()
{
    QCoreApplication::setOrganizationName(QString::fromUtf8(kOrganisation));
    QCoreApplication::setApplicationName(QString::fromUtf8(kApplication));
    QSettings reglages;
    reglages.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kFichiersRecents; ++i) {
        const QString fichier = reglages.value(QStringLiteral("File%1").arg(i)).toString();
        if (!fichier.isEmpty()) {
            m_recents.append(fichier);
        }
    }
    reglages.endGroup();
}

bool CTestAHApp::InitInstance()
{
    chargerReglages();
    m_etat.presentateur = &m_presentateur;

    m_cadre = std::make_unique<CMainFrame>(m_etat);
    m_cadre->show();
    m_cadre->repaint();

    m_resultat = ChargerLumeris(m_etat.Table, m_bibliotheque.c_str());
    if (m_resultat != 0) {
        const QString texte = QString::fromUtf8(kMessageEchecChargement)
                                  .arg(m_resultat)
                                  .arg(static_cast<qulonglong>(m_etat.Table.erreurSysteme));
        // The numbers alone do not say why: the loader's own words go under
        // them, and to the console for a technician without a screen.
        const QString raison = QString::fromLocal8Bit(m_etat.Table.erreurChargeur);
        qWarning("%s\n%s", qPrintable(texte), qPrintable(raison));
        if (!m_presentateur.demanderOuiNon(m_cadre.get(), texte, QString::fromUtf8(kTitreEchecChargement),
                                           raison)) {
            // Posted, so the quit takes effect once the event loop has started.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        }
    }
    return true;
}

}  // namespace quintor::gui
