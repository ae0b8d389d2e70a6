// Quintor: test and demonstration program for the card-reading API.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "CTestAHApp.h"
#include "EtatProgramme.h"
#include "PresentateurQt.h"
#include "common/ProgramInfo.h"
#include "common/qt/QtTranslation.h"

int main(int argc, char* argv[])
{
    const toolkit::ProgramInfo info{
        "quintor", "Tests and demonstrates the card-reading API through its exports, in a window.",
        "The card-reading API is loaded at start: liblumeris.so, found beside the program\n"
        "or in the toolkit's private library folder. The configuration path of the API\n"
        "starts as the current folder.\n"};
    if (const auto status = toolkit::answerCommandLine(std::vector<std::string>(argv, argv + argc), info,
                                                       std::cout, std::cerr))
        return *status;
    QApplication application(argc, argv);
    if (!toolkit::installFrenchQtTranslation(application)) {
        qWarning("Qt's French translation (qtbase_fr) was not found; its buttons stay in English");
    }
    quintor::gui::PresentateurQt presentateur;
    quintor::gui::CTestAHApp programme(quintor::etatProgramme(), presentateur, quintor::kNomLumeris);
    if (!programme.InitInstance()) {
        return 0;
    }
    return application.exec();
}
