#include "WizardMainWindow.h"

#include "ChoicePage.h"
#include "ReaderPage.h"
#include "SerialPortPage.h"
#include "SummaryIcons.h"
#include "SummaryPage.h"
#include "WizardFlow.h"

namespace calveno::gui {

WizardMainWindow::WizardMainWindow(WizardContext& context, int startDelayMs)
    : QWidget(nullptr, Qt::Window), m_context(context)
{
    setWindowIcon(programIcon());
    m_settings = defaultWizardSettings();
    m_startTimer.setInterval(startDelayMs);
    m_startTimer.setSingleShot(true);
    connect(&m_startTimer, &QTimer::timeout, this, [this] { openPage(kPageChoice); });
    m_startTimer.start();
}

WizardMainWindow::~WizardMainWindow() = default;

void WizardMainWindow::postMessage(int message, int pageId)
{
    QMetaObject::invokeMethod(
        this, [this, message, pageId] { handleMessage(message, pageId); }, Qt::QueuedConnection);
}

void WizardMainWindow::handleMessage(int message, int pageId)
{
    if (m_exitCode) return;
    const Route route = routeMessage(m_settings, message, pageId);
    switch (route.action) {
    case RouteAction::OpenPage: openPage(route.page); break;
    case RouteAction::EndProgram: end(route.exitCode); break;
    case RouteAction::NavigationError:
        ShowMessage(m_context.presenter, kCodeNavigationError);
        end(kExitAbandoned);
        break;
    }
}

void WizardMainWindow::openPage(int pageId)
{
    if (m_page) m_page->deleteLater();
    WizardPage* page = nullptr;
    switch (pageId) {
    case kPageChoice: page = new ChoicePage(m_settings, m_context, this); break;
    case kPageReader: page = new ReaderPage(m_settings, m_context, this); break;
    case kPageSerialPort: page = new SerialPortPage(m_settings, m_context, this); break;
    case kPageSummary: page = new SummaryPage(m_settings, m_context, this); break;
    default:
        ShowMessage(m_context.presenter, kCodeNavigationError);
        end(kExitAbandoned);
        return;
    }
    m_page = page;
    connect(page, &WizardPage::navigate, this, &WizardMainWindow::postMessage);
    page->show();
    emit pageOpened(pageId);
}

void WizardMainWindow::end(int exitCode)
{
    m_exitCode = exitCode;
    if (m_page) {
        m_page->hide();
        m_page->deleteLater();
    }
    emit finished(exitCode);
}

}  // namespace calveno::gui
