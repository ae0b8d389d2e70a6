// Quintor: test and demonstration program for the card-reading API.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "CTestAHApp.h"
#include "EtatProgramme.h"
#include "PresentateurQt.h"
#include "Traductions.h"
#include "common/ProgramInfo.h"

int main(int argc, char* argv[])
{
    const toolkit::ProgramInfo info{
        "quintor", "Tests and demonstrates the card-reading API through its exports, in a window."};
    if (const auto status =
            toolkit::answerInfoOption(std::vector<std::string>(argv, argv + argc), info, std::cout))
        return *status;
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
