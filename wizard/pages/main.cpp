// Calveno: the configuration wizard of the reader access manager and the
// card manager.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "CalvenoApp.h"
#include "ConfigPaths.h"
#include "QtMessagePresenter.h"
#include "SystemPcscReaders.h"
#include "WizardMainWindow.h"
#include "common/ProgramInfo.h"
#include "common/qt/QtTranslation.h"

int main(int argc, char* argv[])
{
    const toolkit::ProgramInfo info{
        "calveno", "Configuration wizard of the card readers: writes tuvex.ini and pelkor.ini.",
        "It writes tuvex.ini in " + calveno::windowsDirectoryText() +
            ", and pelkor.ini or pelkor.cnf with the archive-* copies of the\n"
            "previous files in " +
            calveno::cardManagerDirectoryText() +
            ".\n"
            "The exit status is 1 after Terminer, 255 after a cancel or a closed page,\n"
            "0 when the start is declined or fails, 2 on a wrong command line.\n"};
    if (const auto status = toolkit::answerCommandLine(std::vector<std::string>(argv, argv + argc), info,
                                                       std::cout, std::cerr))
        return *status;
    QApplication application(argc, argv);
    if (!toolkit::installFrenchQtTranslation(application))
        qWarning("Qt's French translation (qtbase_fr) was not found; its buttons stay in English");
    // The main window is never shown; the program ends when the wizard does.
    QApplication::setQuitOnLastWindowClosed(false);
    calveno::gui::QtMessagePresenter presenter;
    calveno::SystemFileOperations files;
    calveno::SystemPcscReaderSource readers;
    calveno::gui::CalvenoApp wizard(presenter, files, readers, calveno::gui::StartupOptions{});
    if (const std::optional<int> exitCode = wizard.InitInstance()) return *exitCode;
    QObject::connect(
        wizard.mainWindow(), &calveno::gui::WizardMainWindow::finished, &application,
        [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    return application.exec();
}
