#pragma once
// The bench of the wizard's window tests: the program's start-up over two
// fresh folders (the Windows directory and the program directory), a PC/SC
// reader list given by the test, message boxes answered from a script, and
// helpers that click, type and choose on the open page.

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CalvenoApp.h"
#include "MessageCatalogue.h"
#include "PcscReaderList.h"
#include "TestSupport.h"
#include "WizardMainWindow.h"

namespace bench {

// The wizard tests' own helpers: scripted message boxes, file bytes, golden files.
using calveno::test::golden;
using calveno::test::readBytes;
using calveno::test::ScriptedPresenter;

class Bench {
public:
    Bench();
    ~Bench();

    // Runs the start-up without the 2-second delay; when the program goes on,
    // lets the timer open the choice page. Returns the start-up's exit code.
    std::optional<int> start(calveno::gui::StartupOptions options = {});

    calveno::gui::WizardMainWindow* window() const { return m_app ? m_app->mainWindow() : nullptr; }
    calveno::WizardSettings& settings() { return window()->settings(); }
    calveno::gui::WizardPage* page() const;
    // Id of the open page, 0 when none is open.
    int pageId() const;
    std::optional<int> exitCode() const;

    // Real input on the open page, then the posted messages are handled.
    void click(int id);
    void choose(int listId, int index);
    void closeBox();
    // Changes a check box or radio button without a click: as a program does
    // (setChecked) or as a screen reader does (the accessible toggle action).
    enum class Via { SetChecked, Accessibility };
    void toggle(int id, Via via);
    // Handles posted events (navigation messages and the 0 ms timer).
    static void settle();

    // The entries of a list of the open page, and its selected entry.
    QStringList entries(int listId) const;
    int selected(int listId) const;
    bool checked(int checkBoxId) const;
    bool visible(int id) const;

    std::string windowsDir() const;
    std::string programDir() const;
    std::string lockPath() const;

    ScriptedPresenter presenter;
    calveno::FixedPcscReaderSource readers;
    // What the reader page asks; a test may point it at another source
    // (the PC/SC service itself) before start().
    calveno::PcscReaderSource* readerSource = &readers;
    calveno::SystemFileOperations files;

private:
    QTemporaryDir m_windows;
    QTemporaryDir m_program;
    std::unique_ptr<calveno::gui::CalvenoApp> m_app;
};

// Pages to walk to: a page id, or page id * 10 + reader for the reader and
// serial-port pages (reader 2 in the two-port arrangement).
constexpr int kReader1 = 11201;
constexpr int kReader2 = 11202;
constexpr int kPort1 = 11181;
constexpr int kPort2 = 11182;
int pageOf(int target);
// From the choice page with the defaults, to `target` by its buttons.
void walkTo(Bench& b, int target);

}  // namespace bench
