// Check boxes and radio buttons changed without a mouse click, as programs
// and screen readers change them: the settings follow what the page shows.

#include <QListWidget>

#include "Bench.h"
#include "WizardFlow.h"

using namespace calveno;
using namespace bench;

class TogglesTest : public QObject {
    Q_OBJECT

private slots:
    void settingsFollowTheControls_data();
    void settingsFollowTheControls();
    void accessibleTogglesReachTheNextPagesAndTheFiles();
};

namespace {

// Topology, reader 1 Ambrel and CPS, reader 2 Ambrel and CPS, MakeCnf.
QList<int> snapshot(const WizardSettings& s)
{
    return {s.Topology,          s.reader1.UseAmbrel, s.reader1.UseCps,
            s.reader2.UseAmbrel, s.reader2.UseCps,    s.MakeCnf};
}

QStringList summaryTexts(const Bench& b)
{
    QStringList texts;
    if (auto* list = b.page() ? b.page()->findChild<QListWidget*>(QStringLiteral("5503")) : nullptr) {
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    }
    return texts;
}

}  // namespace

void TogglesTest::settingsFollowTheControls_data()
{
    QTest::addColumn<int>("target");  // page to walk to, as walkTo() takes it
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("via");
    QTest::addColumn<bool>("checkedAfter");
    QTest::addColumn<QList<int>>("settings");  // as snapshot() lists them
    const struct {
        const char* name;
        int target;
        int control;
        bool checkedAfter;
        QList<int> settings;
    } rows[] = {
        {"choice 3.", kPageChoice, 5016, true, {5016, 1, 0, 0, 1, 0}},
        {"choice 2.", kPageChoice, 5014, true, {5014, 1, 1, 1, 0, 0}},
        {"reader 1 CPS", kReader1, 5112, false, {5017, 1, 0, 1, 0, 0}},
        {"reader 1 Ambrel", kReader1, 5111, false, {5017, 0, 1, 1, 0, 0}},
        {"reader 2 Ambrel", kReader2, 5111, true, {5015, 1, 0, 1, 1, 0}},
        {"summary pelkor.cnf", kPageSummary, 5048, true, {5017, 1, 1, 1, 0, 1}},
    };
    for (const auto& row : rows) {
        QTest::addRow("%s, setChecked", row.name)
            << row.target << row.control << static_cast<int>(Bench::Via::SetChecked) << row.checkedAfter
            << row.settings;
        QTest::addRow("%s, accessible toggle", row.name)
            << row.target << row.control << static_cast<int>(Bench::Via::Accessibility) << row.checkedAfter
            << row.settings;
    }
}

void TogglesTest::settingsFollowTheControls()
{
    QFETCH(int, target);
    QFETCH(int, control);
    QFETCH(int, via);
    QFETCH(bool, checkedAfter);
    QFETCH(QList<int>, settings);
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    walkTo(b, target);
    QCOMPARE(b.checked(control), !checkedAfter);
    b.toggle(control, static_cast<Bench::Via>(via));
    QCOMPARE(b.checked(control), checkedAfter);
    QCOMPARE(snapshot(b.settings()), settings);
}

void TogglesTest::accessibleTogglesReachTheNextPagesAndTheFiles()
{
    constexpr auto via = Bench::Via::Accessibility;
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    // "3." leads to the first of two readers, then to the second.
    b.toggle(5016, via);
    b.click(1204);
    QVERIFY(b.visible(5102) && !b.visible(5046));
    b.click(1204);
    QCOMPARE(b.settings().CurrentReader, 2);
    // Back to one two-slot reader, both cards preset: CPS taken off leaves
    // it out of the summary and the files.
    b.click(5013);
    b.click(5013);
    b.toggle(5014, via);
    b.click(1204);
    QVERIFY(b.visible(5046));
    b.toggle(5112, via);
    b.click(1204);
    QCOMPARE(b.pageId(), kPageSummary);
    const QStringList rows = summaryTexts(b);
    QVERIFY2(
        rows.contains(QStringLiteral("Ressource Ambrel")) && !rows.contains(QStringLiteral("Ressource CPS")),
        qPrintable(rows.join(QLatin1Char('|'))));
    b.toggle(5048, via);
    b.click(1204);
    QCOMPARE(b.exitCode(), std::optional<int>(1));
    QCOMPARE(readBytes(b.programDir() + "pelkor.cnf"), golden("pelkor-bifente-ambrel.cnf"));
    QVERIFY(!QFile::exists(QString::fromStdString(b.programDir() + "pelkor.ini")));
}

QTEST_MAIN(TogglesTest)
#include "TogglesTest.moc"
