#include "Bench.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QFile>

#include "WizardFlow.h"
#include "WizardPage.h"

namespace bench {

using namespace calveno;

Bench::Bench() = default;

Bench::~Bench()
{
    m_app.reset();
}

std::optional<int> Bench::start(gui::StartupOptions options)
{
    if (options.programDirectory.empty()) options.programDirectory = programDir();
    if (options.windowsDirectory.empty()) options.windowsDirectory = windowsDir();
    if (options.lockPath.isEmpty()) options.lockPath = QString::fromStdString(lockPath());
    options.startDelayMs = 0;
    m_app = std::make_unique<gui::CalvenoApp>(presenter, files, *readerSource, options);
    const std::optional<int> code = m_app->InitInstance();
    if (!code) settle();
    return code;
}

gui::WizardPage* Bench::page() const
{
    gui::WizardPage* open = window() ? window()->currentPage() : nullptr;
    return open && open->isVisible() ? open : nullptr;
}

int Bench::pageId() const
{
    return page() ? page()->pageId() : 0;
}

std::optional<int> Bench::exitCode() const
{
    return window() ? window()->exitCode() : std::nullopt;
}

void Bench::settle()
{
    // Each round handles what the previous one posted; a page change takes two.
    for (int round = 0; round < 4; ++round) QCoreApplication::processEvents();
}

void Bench::click(int id)
{
    QVERIFY2(page() != nullptr, "no page is open");
    auto* button = page()->findChild<QAbstractButton*>(QString::number(id));
    QVERIFY2(button != nullptr, qPrintable(QStringLiteral("no button %1").arg(id)));
    QVERIFY2(button->isVisible() && button->isEnabled(),
             qPrintable(QStringLiteral("button %1 hidden").arg(id)));
    // Check boxes and radio buttons answer on their indicator and label,
    // which the layout may leave far from the widget's centre.
    const bool indicator = button->inherits("QCheckBox") || button->inherits("QRadioButton");
    const QPoint at =
        indicator ? QPoint(qMin(8, button->width() / 2), button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
    settle();
}

void Bench::choose(int listId, int index)
{
    QVERIFY2(page() != nullptr, "no page is open");
    auto* list = page()->findChild<QComboBox*>(QString::number(listId));
    QVERIFY2(list != nullptr, qPrintable(QStringLiteral("no list %1").arg(listId)));
    QVERIFY(index >= 0 && index < list->count());
    // The keyboard moves the selection as a user does.
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), index);
    settle();
}

void Bench::toggle(int id, Via via)
{
    QVERIFY2(page() != nullptr, "no page is open");
    auto* button = page()->findChild<QAbstractButton*>(QString::number(id));
    QVERIFY2(button != nullptr, qPrintable(QStringLiteral("no button %1").arg(id)));
    if (via == Via::SetChecked) {
        button->setChecked(!button->isChecked());
    } else {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
        const QString action = QAccessibleActionInterface::toggleAction();
        QVERIFY(accessible->actionInterface()->actionNames().contains(action));
        accessible->actionInterface()->doAction(action);
    }
    settle();
}

void Bench::closeBox()
{
    QVERIFY2(page() != nullptr, "no page is open");
    page()->close();
    settle();
}

QStringList Bench::entries(int listId) const
{
    QStringList result;
    if (auto* list = page() ? page()->findChild<QComboBox*>(QString::number(listId)) : nullptr) {
        for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    }
    return result;
}

int Bench::selected(int listId) const
{
    auto* list = page() ? page()->findChild<QComboBox*>(QString::number(listId)) : nullptr;
    return list ? list->currentIndex() : -2;
}

bool Bench::checked(int checkBoxId) const
{
    auto* box = page() ? page()->findChild<QAbstractButton*>(QString::number(checkBoxId)) : nullptr;
    return box && box->isChecked();
}

bool Bench::visible(int id) const
{
    auto* widget = page() ? page()->findChild<QWidget*>(QString::number(id)) : nullptr;
    return widget && widget->isVisible();
}

std::string Bench::windowsDir() const
{
    return m_windows.path().toStdString() + "/";
}

std::string Bench::programDir() const
{
    return m_program.path().toStdString() + "/";
}

std::string Bench::lockPath() const
{
    return programDir() + "calveno.lock";
}

int pageOf(int target)
{
    return target > 10000 ? target / 10 : target;
}

void walkTo(Bench& b, int target)
{
    if (target == kReader2 || target == kPort2) b.click(kTopologyDeuxPorts);
    if (target != kPageChoice) b.click(1204);
    if (target == kReader2 || target == kPort2 || target == kPageSummary) b.click(1204);
    if (target == kPort1 || target == kPort2) b.click(5108);
    QCOMPARE(b.pageId(), pageOf(target));
}

}  // namespace bench
