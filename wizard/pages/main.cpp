// Calveno: the configuration wizard of the reader access manager and the
// card manager.

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "CalvenoApp.h"
#include "QtMessagePresenter.h"
#include "SystemPcscReaders.h"
#include "WizardMainWindow.h"
#include "common/ProgramInfo.h"

int main(int argc, char* argv[])
{
    const toolkit::ProgramInfo info{
        "calveno", "Configuration wizard of the card readers: writes tuvex.ini and pelkor.ini."};
    if (const auto status =
            toolkit::answerInfoOption(std::vector<std::string>(argv, argv + argc), info, std::cout))
        return *status;
    QApplication application(argc, argv);
    // The main window is never shown; the program ends when the wizard does.
    QApplication::setQuitOnLastWindowClosed(false);
    calveno::gui::QtMessagePresenter presenter;
    calveno::SystemFileOperations files;
    calveno::SystemPcscReaderSource readers;
    calveno::gui::StartupOptions options;
    options.argv0 = argc > 0 ? argv[0] : "";
    calveno::gui::CalvenoApp wizard(presenter, files, readers, options);
    if (const std::optional<int> exitCode = wizard.InitInstance()) return *exitCode;
    QObject::connect(
        wizard.mainWindow(), &calveno::gui::WizardMainWindow::finished, &application,
        [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    return application.exec();
}
