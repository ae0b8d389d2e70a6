// Quintor: test and demonstration program for the card-reading API.

#include <QApplication>

#include "CTestAHApp.h"
#include "EtatProgramme.h"
#include "PresentateurQt.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    quintor::gui::PresentateurQt presentateur;
    quintor::gui::CTestAHApp programme(quintor::etatProgramme(), presentateur, quintor::kNomLumeris);
    if (!programme.InitInstance()) {
        return 0;
    }
    return application.exec();
}
