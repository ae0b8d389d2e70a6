#include "CalvenoApp.h"

#include <QDir>
#include <QStandardPaths>

#include "ConfigPaths.h"
#include "WizardFlow.h"
#include "WizardMainWindow.h"

namespace calveno::gui {

namespace {
constexpr int kCodeStartupFailed = 1;
constexpr int kCodeAlreadyRunning = 2;
constexpr int kCodeReservedUse = 44;
constexpr int kCodeClosing = 46;
}  // namespace

CalvenoApp::CalvenoApp(MessagePresenter& presenter, FileOperations& files, PcscReaderSource& readers,
                       StartupOptions options)
    : m_options(std::move(options)), m_context{presenter, files, readers, {}}
{}

CalvenoApp::~CalvenoApp() = default;

QString CalvenoApp::defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("calveno.lock"));
}

std::optional<int> CalvenoApp::InitInstance()
{
    MessagePresenter& presenter = m_context.presenter;

    // A lock another running instance holds. A lock that cannot be taken for
    // another reason (no folder, no right) reports nothing: the step does not fire.
    m_lock =
        std::make_unique<QLockFile>(m_options.lockPath.isEmpty() ? defaultLockPath() : m_options.lockPath);
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
        ShowMessage(presenter, kCodeAlreadyRunning);
        return kExitFinished;
    }

    if (ShowMessage(presenter, kCodeReservedUse) != MessageAnswer::Ok) {
        ShowMessage(presenter, kCodeClosing);
        return kExitDeclined;
    }

    m_context.directories.windowsDirectory =
        m_options.windowsDirectory.empty() ? platformWindowsDirectory() : m_options.windowsDirectory;
    m_context.directories.programDirectory = m_options.programDirectory.empty()
                                                 ? cardManagerDirectory(platformProgramDirectory())
                                                 : m_options.programDirectory;
    ConfigPaths paths;
    if (!buildPaths(m_context.directories, m_context.files, paths)) {
        ShowMessage(presenter, kCodeStartupFailed);
        return kExitDeclined;
    }
    if (!overwriteWarning(paths, m_context.files, presenter)) {
        ShowMessage(presenter, kCodeClosing);
        return kExitDeclined;
    }

    m_mainWindow = std::make_unique<WizardMainWindow>(m_context, m_options.startDelayMs);
    return std::nullopt;
}

}  // namespace calveno::gui
