// Whole runs to "&Terminer" through the real pages, checked against the
// golden files byte for byte; the summary list; the check box; a failed
// generation.

#include <QDir>
#include <QListWidget>

#include <filesystem>
#include <functional>

#include "Bench.h"
#include "SummaryIcons.h"
#include "SummaryPage.h"
#include "SummaryRows.h"
#include "WizardFlow.h"

using namespace calveno;
using namespace bench;

class SummaryPageTest : public QObject {
    Q_OBJECT

private slots:
    void arrangementsToFinish_data();
    void arrangementsToFinish();
    void summaryListShowsTheRows_data();
    void summaryListShowsTheRows();
    void makeCnfKeptAcrossPrevious();
    void finishAfterAFailedGeneration();
};

namespace {

struct Run {
    std::vector<std::string> pcscReaders;
    std::function<void(Bench&)> toSummary;  // from the choice page
    const char* tuvex;
    const char* pelkor;  // file name of the golden card-manager file
};

// Each run moves values off their defaults so a field stored for the wrong
// reader or by the wrong entry changes the files.
const std::vector<Run>& runs()
{
    static const std::vector<Run> all = {
        {{},
         [](Bench& b) {
             b.click(1204);
             b.choose(5107, 2);
             b.choose(5043, 5);
             b.click(5111);
             b.click(5108);
             b.choose(5206, 1);
             b.choose(5208, 2);
             b.choose(5209, 1);
             b.click(1200);
             b.click(1204);
             b.click(5048);
         },
         "tuvex-monofente-serie-cps.ini",
         "pelkor-monofente-cps.cnf"},
        {{"ACME Reader, Slot 1 (CPS), 9600"},
         [](Bench& b) {
             b.click(1204);
             // The address stays what the serial group last showed.
             b.choose(5043, 4);
             b.choose(5105, 1);
             b.click(5111);
             b.click(1204);
         },
         "tuvex-monofente-pcsc-cps.ini",
         "pelkor-monofente-cps.ini"},
        {{},
         [](Bench& b) {
             b.click(5014);
             b.click(1204);
             b.choose(5107, 1);
             b.choose(5043, 8);
             b.click(5112);
             b.click(5108);
             b.choose(5207, 0);
             b.choose(5208, 2);
             b.choose(5209, 1);
             b.click(1200);
             b.click(1204);
         },
         "tuvex-bifente-serie-ambrel.ini",
         "pelkor-bifente-ambrel.ini"},
        {{},
         [](Bench& b) {
             b.click(5016);
             b.click(1204);
             b.choose(5107, 1);
             b.click(5108);
             b.choose(5206, 1);
             b.click(1200);
             b.click(1204);
             b.click(1204);
         },
         "tuvex-chaines-serie-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel.ini"},
        {{},
         [](Bench& b) {
             b.click(5015);
             b.click(1204);
             b.click(1204);
             b.click(5108);
             b.choose(5206, 1);
             b.choose(5208, 1);
             b.click(1200);
             b.click(1204);
         },
         "tuvex-deux-ports-serie-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel.ini"},
        {{"Reader B 01 00", "Reader A 00 00"},
         [](Bench& b) {
             b.click(5015);
             b.click(1204);
             b.choose(5105, 1);
             b.click(1204);
             b.click(1204);
             b.click(5048);
         },
         "tuvex-deux-ports-pcsc-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel.cnf"},
    };
    return all;
}

QListWidget* rowList(Bench& b)
{
    return b.page() ? b.page()->findChild<QListWidget*>(QStringLiteral("5503")) : nullptr;
}

}  // namespace

void SummaryPageTest::arrangementsToFinish_data()
{
    QTest::addColumn<int>("run");
    for (std::size_t i = 0; i < runs().size(); ++i) QTest::newRow(runs()[i].tuvex) << static_cast<int>(i);
}

void SummaryPageTest::arrangementsToFinish()
{
    QFETCH(int, run);
    const Run& r = runs()[static_cast<std::size_t>(run)];
    Bench b;
    b.readers.names = r.pcscReaders;
    QCOMPARE(b.start(), std::nullopt);
    r.toSummary(b);
    QCOMPARE(b.pageId(), kPageSummary);
    b.click(1204);
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
    QCOMPARE(b.exitCode(), std::optional<int>(1));
    QCOMPARE(b.pageId(), 0);
    QCOMPARE(readBytes(b.windowsDir() + "tuvex.ini"), golden(r.tuvex));
    const std::string pelkor = r.pelkor;
    const std::string extension = pelkor.substr(pelkor.size() - 4);
    QCOMPARE(readBytes(b.programDir() + "pelkor" + extension), golden(pelkor));
    // Exactly one card-manager file, and no archive of files that did not exist.
    const QStringList written =
        QDir(QString::fromStdString(b.programDir())).entryList({"pelkor.*", "archive-*"});
    QCOMPARE(written, QStringList{QString::fromStdString("pelkor" + extension)});
}

void SummaryPageTest::summaryListShowsTheRows_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("serial one-slot reader") << 0
                                            << QStringList{QString::fromUtf8("Protocole Santé Social "),
                                                           "Lecteur 1 ",
                                                           "Adresse physique 5",
                                                           QString::fromUtf8("Port série COM3"),
                                                           "Configuration 19200, 8, 2, 1",
                                                           "Ressource CPS"};
    QTest::newRow("PC/SC reader serving only CPS")
        << 1
        << QStringList{"Protocole PC / SC ", "Lecteur 1 ", "Adresse physique 4",
                       "Lecteur PCSC : ACME Reader, Slot 1 (CPS), 9600", "Ressource CPS"};
    QTest::newRow("two PC/SC readers")
        << 5
        << QStringList{
               "Protocole PC / SC ", "Lecteur 1 ", "Adresse physique 2", "Lecteur PCSC : Reader A 00 00",
               "Ressource Ambrel",   "Lecteur 2 ", "Adresse physique 2", "Lecteur PCSC : Reader B 01 00",
               "Ressource CPS"};
}

void SummaryPageTest::summaryListShowsTheRows()
{
    QFETCH(int, run);
    QFETCH(QStringList, texts);
    const Run& r = runs()[static_cast<std::size_t>(run)];
    Bench b;
    b.readers.names = r.pcscReaders;
    QCOMPARE(b.start(), std::nullopt);
    r.toSummary(b);
    QListWidget* list = rowList(b);
    QVERIFY(list != nullptr);
    WizardSettings copy = b.settings();
    const std::vector<SummaryLine> rows = summaryRows(copy);
    QCOMPARE(list->count(), texts.size());
    QCOMPARE(static_cast<int>(rows.size()), texts.size());
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        QCOMPARE(item->text(), texts[i]);
        QCOMPARE(item->data(gui::SummaryPage::kIconRole).toInt(), rows[static_cast<std::size_t>(i)].icon);
        QCOMPARE(item->data(gui::SummaryPage::kIndentRole).toInt(), rows[static_cast<std::size_t>(i)].indent);
        QCOMPARE(gui::summaryIcon(rows[static_cast<std::size_t>(i)].icon).size(), QSize(16, 16));
        QCOMPARE(list->visualItemRect(item).height(), gui::SummaryPage::kRowHeight);
    }
    QCOMPARE(list->selectionMode(), QAbstractItemView::NoSelection);
}

void SummaryPageTest::makeCnfKeptAcrossPrevious()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.click(1204);
    b.click(1204);
    QVERIFY(!b.checked(5048));
    b.click(5048);
    QCOMPARE(b.settings().MakeCnf, 1);
    b.click(5013);
    QCOMPARE(b.pageId(), kPageReader);
    b.click(1204);
    QCOMPARE(b.pageId(), kPageSummary);
    QVERIFY(b.checked(5048));
    QCOMPARE(b.settings().MakeCnf, 1);
    // Each click inverts it.
    b.click(5048);
    QCOMPARE(b.settings().MakeCnf, 0);
}

void SummaryPageTest::finishAfterAFailedGeneration()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.click(1204);
    b.click(1204);
    // tuvex.ini cannot be created once its folder is gone.
    std::filesystem::remove_all(b.windowsDir());
    b.click(1204);
    QCOMPARE(b.presenter.codes, (std::vector<int>{44, 40, 45}));
    QCOMPARE(b.exitCode(), std::optional<int>(1));
    QCOMPARE(b.pageId(), 0);
}

QTEST_MAIN(SummaryPageTest)
#include "SummaryPageTest.moc"
