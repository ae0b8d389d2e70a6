// Start-up steps, the hidden main window and what every page shares: title,
// centring, the close box, the cancel confirmation.

#include <QGuiApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QScreen>

#include <fstream>

#include "Bench.h"
#include "WizardFlow.h"
#include "QtMessagePresenter.h"
#include "WizardPage.h"
#include "common/qt/QtTranslation.h"

using namespace calveno;
using namespace bench;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void goesOnToTheChoicePage();
    void refusedOrFailedStartUps_data();
    void refusedOrFailedStartUps();
    void secondInstanceEndsWithCodeTwo();
    void programWaitsTwoSecondsBeforeTheFirstPage();
    void pagesAreTitledAndCentred();
    void closeBoxOfEveryPageEndsTheProgram_data();
    void closeBoxOfEveryPageEndsTheProgram();
    void cancelConfirmation_data();
    void cancelConfirmation();
    void unknownPageIdIsANavigationError();
    void messageBoxButtonsAreFrench();
};

void StartupTest::goesOnToTheChoicePage()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    // Notice 44 only: no earlier files, so no overwrite warning.
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
    QVERIFY(!b.window()->isVisible());
    QCOMPARE(b.pageId(), kPageChoice);
    QCOMPARE(b.settings(), defaultWizardSettings());
}

void StartupTest::refusedOrFailedStartUps_data()
{
    QTest::addColumn<QList<int>>("answers");  // 0 OK, 1 Cancel
    QTest::addColumn<bool>("earlierTuvex");
    QTest::addColumn<bool>("longWindowsDir");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("notice refused") << QList<int>{1} << false << false << QList<int>{44, 46};
    QTest::newRow("overwrite refused") << QList<int>{0, 1} << true << false << QList<int>{44, 43, 46};
    QTest::newRow("paths cannot be built") << QList<int>{} << false << true << QList<int>{44, 1};
}

void StartupTest::refusedOrFailedStartUps()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, earlierTuvex);
    QFETCH(bool, longWindowsDir);
    QFETCH(QList<int>, codes);
    Bench b;
    for (int answer : answers)
        b.presenter.answers.push_back(answer == 0 ? MessageAnswer::Ok : MessageAnswer::Cancel);
    if (earlierTuvex) std::ofstream(b.windowsDir() + "tuvex.ini") << "[CONFIG]\r\n";
    gui::StartupOptions options;
    if (longWindowsDir) options.windowsDirectory = b.windowsDir() + std::string(261, 'w');
    QCOMPARE(b.start(options), std::optional<int>(0));
    QCOMPARE(b.presenter.codes, std::vector<int>(codes.begin(), codes.end()));
    QVERIFY(b.window() == nullptr);
    if (earlierTuvex) QCOMPARE(readBytes(b.windowsDir() + "tuvex.ini"), std::string("[CONFIG]\r\n"));
}

void StartupTest::secondInstanceEndsWithCodeTwo()
{
    Bench first;
    QCOMPARE(first.start(), std::nullopt);
    Bench second;
    gui::StartupOptions options;
    options.lockPath = QString::fromStdString(first.lockPath());
    QCOMPARE(second.start(options), std::optional<int>(1));
    QCOMPARE(second.presenter.codes, std::vector<int>{2});
    QVERIFY(second.window() == nullptr);

    // The lock goes with the program that held it.
    Bench third;
    options.lockPath = QString::fromStdString(third.lockPath());
    {
        Bench running;
        QCOMPARE(running.start(options), std::nullopt);
        running.closeBox();
        QCOMPARE(running.exitCode(), std::optional<int>(-1));
    }
    QCOMPARE(third.start(options), std::nullopt);
    QCOMPARE(third.pageId(), kPageChoice);
}

void StartupTest::programWaitsTwoSecondsBeforeTheFirstPage()
{
    bench::ScriptedPresenter presenter;
    SystemFileOperations files;
    FixedPcscReaderSource readers;
    Bench folders;
    gui::StartupOptions options;  // the program's own delay
    options.programDirectory = folders.programDir();
    options.windowsDirectory = folders.windowsDir();
    options.lockPath = QString::fromStdString(folders.lockPath());
    gui::CalvenoApp app(presenter, files, readers, options);
    QCOMPARE(app.InitInstance(), std::nullopt);
    QCOMPARE(app.mainWindow()->startDelay(), 2000);
    QCoreApplication::processEvents();
    QVERIFY(app.mainWindow()->currentPage() == nullptr);
}

void StartupTest::pagesAreTitledAndCentred()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (int target : {kPageChoice, kReader1, kPort1, kPageSummary}) {
        Bench walk;
        QCOMPARE(walk.start(), std::nullopt);
        walkTo(walk, target);
        gui::WizardPage* page = walk.page();
        QCOMPARE(page->windowTitle(), QStringLiteral("Programme d'initialisation du tuvex"));
        QVERIFY(page->isModal());
        const QRect frame = page->frameGeometry();
        QCOMPARE(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
    }
}

void StartupTest::closeBoxOfEveryPageEndsTheProgram_data()
{
    QTest::addColumn<int>("target");
    QTest::newRow("choice") << kPageChoice;
    QTest::newRow("reader") << kReader1;
    QTest::newRow("reader 2") << kReader2;
    QTest::newRow("serial port") << kPort1;
    QTest::newRow("serial port of reader 2") << kPort2;
    QTest::newRow("summary") << kPageSummary;
}

void StartupTest::closeBoxOfEveryPageEndsTheProgram()
{
    QFETCH(int, target);
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    walkTo(b, target);
    b.closeBox();
    QCOMPARE(b.exitCode(), std::optional<int>(-1));
    QCOMPARE(b.pageId(), 0);
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
    // Nothing was written.
    QCOMPARE(QDir(QString::fromStdString(b.windowsDir())).entryList(QDir::Files).size(), 0);
}

void StartupTest::cancelConfirmation_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("yes");
    for (int target : {kPageChoice, kReader1, kPageSummary}) {
        QTest::addRow("page %d, Yes", target) << target << true;
        QTest::addRow("page %d, No", target) << target << false;
    }
}

void StartupTest::cancelConfirmation()
{
    QFETCH(int, target);
    QFETCH(bool, yes);
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    walkTo(b, target);
    const int page = b.pageId();
    const WizardSettings before = b.settings();
    b.presenter.answers.push_back(yes ? MessageAnswer::Yes : MessageAnswer::No);
    b.click(1201);
    QCOMPARE(b.presenter.codes, (std::vector<int>{44, 101}));
    if (yes) {
        QCOMPARE(b.exitCode(), std::optional<int>(-1));
        QCOMPARE(b.pageId(), 0);
    } else {
        QCOMPARE(b.exitCode(), std::nullopt);
        QCOMPARE(b.pageId(), page);
        QCOMPARE(b.settings(), before);
    }
}

void StartupTest::unknownPageIdIsANavigationError()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.window()->postMessage(WM_WIZARD_NEXT, 4242);
    Bench::settle();
    QCOMPARE(b.presenter.codes, (std::vector<int>{44, 11}));
    QCOMPARE(b.exitCode(), std::optional<int>(-1));
    QCOMPARE(b.pageId(), 0);
}

void StartupTest::messageBoxButtonsAreFrench()
{
    // The program installs Qt's French translation as Quintor does: the cancel
    // confirmation (code 101, Yes/No) then reads "Oui" / "Non".
    QVERIFY2(toolkit::installFrenchQtTranslation(*QCoreApplication::instance()),
             "Qt's French translation qtbase_fr is not installed (qt6-translations-l10n)");
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        for (QAbstractButton* button : box->buttons()) buttons << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::No)->click();
    });
    gui::QtMessagePresenter presenter;
    QCOMPARE(ShowMessage(presenter, 101), MessageAnswer::No);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Non", "Oui"}));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
