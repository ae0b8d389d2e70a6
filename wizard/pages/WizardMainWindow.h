#pragma once
// The hidden main window: owns the settings of the run, opens the choice page
// when its start timer first fires, and routes the pages' navigation
// messages. It is never shown.

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

#include "WizardContext.h"
#include "WizardPage.h"
#include "WizardSettings.h"

namespace calveno::gui {

class WizardMainWindow : public QWidget {
    Q_OBJECT

public:
    // Delay before the choice page opens.
    static constexpr int kStartDelayMs = 2000;

    WizardMainWindow(WizardContext& context, int startDelayMs = kStartDelayMs);
    ~WizardMainWindow() override;

    WizardSettings& settings() { return m_settings; }
    // The open page, null between pages and after the end.
    WizardPage* currentPage() const { return m_page; }
    int startDelay() const { return m_startTimer.interval(); }
    // Set once the program has ended.
    std::optional<int> exitCode() const { return m_exitCode; }

    // Posts a navigation message; it is handled once the event loop runs again.
    void postMessage(int message, int pageId);

signals:
    void pageOpened(int pageId);
    // The program ends with this exit code.
    void finished(int exitCode);

private:
    void handleMessage(int message, int pageId);
    void openPage(int pageId);
    void end(int exitCode);

    WizardContext& m_context;
    WizardSettings m_settings;
    QTimer m_startTimer;
    QPointer<WizardPage> m_page;
    std::optional<int> m_exitCode;
};

}  // namespace calveno::gui
