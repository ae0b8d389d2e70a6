#pragma once
// Start-up of the wizard: one instance at a time, the reserved-use notice,
// the file paths, the overwrite warning, then the hidden main window whose
// timer opens the first page.

#include <QLockFile>
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "FileOperations.h"
#include "MessageCatalogue.h"
#include "PcscReaderList.h"
#include "WizardContext.h"

namespace calveno::gui {

class WizardMainWindow;

struct StartupOptions {
    std::string programDirectory;  // empty: the card-manager folder of the running program
    std::string windowsDirectory;  // empty: the platform's
    QString lockPath;              // empty: calveno.lock in the user's runtime folder
    int startDelayMs = 2000;
};

class CalvenoApp {
public:
    CalvenoApp(MessagePresenter& presenter, FileOperations& files, PcscReaderSource& readers,
               StartupOptions options);
    ~CalvenoApp();
    CalvenoApp(const CalvenoApp&) = delete;
    CalvenoApp& operator=(const CalvenoApp&) = delete;

    // Runs the start-up steps. Returns the exit code when the program ends
    // during start-up, nothing when the message loop is to run.
    std::optional<int> InitInstance();

    WizardMainWindow* mainWindow() const { return m_mainWindow.get(); }

    // Where the instance lock lives unless told otherwise.
    static QString defaultLockPath();

private:
    StartupOptions m_options;
    std::unique_ptr<QLockFile> m_lock;
    WizardContext m_context;
    std::unique_ptr<WizardMainWindow> m_mainWindow;
};

}  // namespace calveno::gui
