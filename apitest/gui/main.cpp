// Quintor: test and demonstration program for the card-reading API.

#include <QApplication>

#include "CTestAHApp.h"
#include "EtatProgramme.h"
#include "PresentateurQt.h"
#include "Traductions.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (!quintor::gui::installerTraductionsQt(application)) {
        qWarning("Qt's French translation (qtbase_fr) was not found; its buttons stay in English");
    }
    quintor::gui::PresentateurQt presentateur;
    quintor::gui::CTestAHApp programme(quintor::etatProgramme(), presentateur, quintor::kNomLumeris);
    if (!programme.InitInstance()) {
        return 0;
    }
    return application.exec();
}
