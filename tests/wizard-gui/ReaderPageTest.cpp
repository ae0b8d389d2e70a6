// The choice page's presets and the reader page: protocol list, lists and
// check boxes, the PC/SC reader list, the checks of "&Suivant >", and the
// side trip to the serial-port page.

#include <QLabel>

#include <functional>

#include "Bench.h"
#include "WizardFlow.h"

using namespace calveno;
using namespace bench;

class ReaderPageTest : public QObject {
    Q_OBJECT

private slots:
    void choicePresets_data();
    void choicePresets();
    void protocolListPerArrangementAndReader_data();
    void protocolListPerArrangementAndReader();
    void validationMessages_data();
    void validationMessages();
    void addressEightIsStoredAndReselected();
    void serialSideTripChangesTheCurrentReaderOnly();
    void pcscListIsAskedOnEveryOpening();
    void backPathsThroughTheRealPages();
    void labelsNameTheirLists();
};

namespace {

using Script = std::function<void(Bench&)>;

const QString kSerie = QString::fromUtf8("Protocole Santé-Social");
const QString kPcsc = QStringLiteral("Protocole PC / SC");

}  // namespace

void ReaderPageTest::choicePresets_data()
{
    QTest::addColumn<QList<int>>("clicks");   // radio buttons, in order
    QTest::addColumn<QList<int>>("reader1");  // Ambrel, CPS check boxes
    QTest::addColumn<QList<int>>("reader2");  // empty for one reader
    QTest::addColumn<int>("reader2Address");  // selected entry of list 5043
    QTest::newRow("one-slot changes nothing") << QList<int>{5017} << QList<int>{1, 1} << QList<int>{} << 0;
    QTest::newRow("two-slot checks both again")
        << QList<int>{5015, 5014} << QList<int>{1, 1} << QList<int>{} << 0;
    QTest::newRow("chained") << QList<int>{5016} << QList<int>{1, 0} << QList<int>{0, 1} << 1;
    QTest::newRow("two ports") << QList<int>{5015} << QList<int>{1, 0} << QList<int>{0, 1} << 2;
}

void ReaderPageTest::choicePresets()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, reader1);
    QFETCH(QList<int>, reader2);
    QFETCH(int, reader2Address);
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    QVERIFY(b.checked(5017));
    for (int id : clicks) b.click(id);
    QVERIFY(b.checked(clicks.back()));
    QCOMPARE(b.settings().Topology, clicks.back());
    b.click(1204);
    QCOMPARE(b.pageId(), kPageReader);
    QCOMPARE(QList<int>({b.checked(5111), b.checked(5112)}), reader1);
    if (reader2.isEmpty()) return;
    b.click(1204);
    QCOMPARE(b.settings().CurrentReader, 2);
    QCOMPARE(QList<int>({b.checked(5111), b.checked(5112)}), reader2);
    QCOMPARE(b.selected(5043), reader2Address);
    // Chained reader 2 has reader 1's port as its only entry.
    QCOMPARE(b.entries(5107).size(), clicks.back() == kTopologyChaines ? 1 : 4);
}

void ReaderPageTest::protocolListPerArrangementAndReader_data()
{
    QTest::addColumn<int>("topology");
    QTest::addColumn<bool>("pcscForReader1");
    QTest::addColumn<QStringList>("reader1");
    QTest::addColumn<QStringList>("reader2");
    QTest::newRow("one-slot") << 5017 << true << QStringList{kSerie, kPcsc} << QStringList{};
    QTest::newRow("two-slot") << 5014 << false << QStringList{kSerie} << QStringList{};
    QTest::newRow("chained") << 5016 << false << QStringList{kSerie} << QStringList{kSerie};
    QTest::newRow("two ports, serial") << 5015 << false << QStringList{kSerie, kPcsc} << QStringList{kSerie};
    QTest::newRow("two ports, PC/SC") << 5015 << true << QStringList{kSerie, kPcsc} << QStringList{kPcsc};
}

void ReaderPageTest::protocolListPerArrangementAndReader()
{
    QFETCH(int, topology);
    QFETCH(bool, pcscForReader1);
    QFETCH(QStringList, reader1);
    QFETCH(QStringList, reader2);
    Bench b;
    b.readers.names = {"Reader A", "Reader B"};
    QCOMPARE(b.start(), std::nullopt);
    b.click(topology);
    b.click(1204);
    QCOMPARE(b.entries(5105), reader1);
    QCOMPARE(b.selected(5105), 0);
    QVERIFY(b.visible(5032) && !b.visible(5033));
    if (pcscForReader1) {
        b.choose(5105, 1);
        QCOMPARE(b.settings().reader1.protocol, kProtocolPcsc);
        QVERIFY(!b.visible(5032) && !b.visible(5043) && b.visible(5033));
    }
    if (reader2.isEmpty()) return;
    b.click(1204);
    QCOMPARE(b.settings().CurrentReader, 2);
    QCOMPARE(b.entries(5105), reader2);
    QCOMPARE(b.visible(5033), pcscForReader1);
}

void ReaderPageTest::validationMessages_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("codes");  // after notice 44
    QTest::addColumn<int>("pageAfter");     // 0: the program ended with -1
    QTest::addColumn<int>("readerAfter");
    QTest::newRow("no use") << 0 << QList<int>{24} << kPageReader << 1;
    QTest::newRow("chained, reader 1 both cards") << 1 << QList<int>{26} << kPageReader << 2;
    QTest::newRow("two ports, reader 1 both cards") << 2 << QList<int>{26} << kPageReader << 2;
    QTest::newRow("two ports, same serial port") << 3 << QList<int>{27} << kPageReader << 2;
    QTest::newRow("two ports, same PC/SC name") << 4 << QList<int>{28} << kPageReader << 2;
    QTest::newRow("chained, same address") << 5 << QList<int>{29} << kPageReader << 2;
    QTest::newRow("no PC/SC reader at all") << 6 << QList<int>{23} << 0 << 1;
    QTest::newRow("single PC/SC reader, reader 2") << 7 << QList<int>{23} << 0 << 2;
}

void ReaderPageTest::validationMessages()
{
    QFETCH(int, row);
    QFETCH(QList<int>, codes);
    QFETCH(int, pageAfter);
    QFETCH(int, readerAfter);
    const Script pcscTwoPorts = [](Bench& b) {
        b.click(5015);
        b.click(1204);
        b.choose(5105, 1);
        b.click(1204);
    };
    // Each script leaves the page one "&Suivant >" short of its message.
    const std::vector<std::pair<std::vector<std::string>, Script>> scripts = {
        {{},
         [](Bench& b) {
             b.click(1204);
             b.click(5111);
             b.click(5112);
         }},
        {{},
         [](Bench& b) {
             b.click(5016);
             b.click(1204);
             b.click(5112);
             b.click(1204);
         }},
        {{},
         [](Bench& b) {
             b.click(5015);
             b.click(1204);
             b.click(5112);
             b.click(1204);
         }},
        {{},
         [](Bench& b) {
             b.click(5015);
             b.click(1204);
             b.click(1204);
             b.choose(5107, 0);
         }},
        {{"Same reader", "Same reader"}, pcscTwoPorts},
        {{},
         [](Bench& b) {
             b.click(5016);
             b.click(1204);
             b.click(1204);
             b.choose(5043, 2);
         }},
        {{},
         [](Bench& b) {
             b.click(1204);
             b.choose(5105, 1);
         }},
        {{"Only reader 00 00"}, pcscTwoPorts},
    };
    Bench b;
    b.readers.names = scripts[static_cast<std::size_t>(row)].first;
    QCOMPARE(b.start(), std::nullopt);
    scripts[static_cast<std::size_t>(row)].second(b);
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
    b.click(1204);
    std::vector<int> expected{44};
    expected.insert(expected.end(), codes.begin(), codes.end());
    QCOMPARE(b.presenter.codes, expected);
    QCOMPARE(b.pageId(), pageAfter);
    QCOMPARE(b.settings().CurrentReader, readerAfter);
    QCOMPARE(b.exitCode(), pageAfter == 0 ? std::optional<int>(-1) : std::nullopt);
}

void ReaderPageTest::addressEightIsStoredAndReselected()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.click(1204);
    QCOMPARE(b.selected(5043), 2);
    b.choose(5043, 8);
    QCOMPARE(b.settings().reader1.address, std::string("8"));
    b.click(1204);
    QCOMPARE(b.pageId(), kPageSummary);
    b.click(5013);
    QCOMPARE(b.pageId(), kPageReader);
    QCOMPARE(b.selected(5043), 8);
    QCOMPARE(b.entries(5043).last(), QStringLiteral("8"));
}

void ReaderPageTest::serialSideTripChangesTheCurrentReaderOnly()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.click(5015);
    b.click(1204);
    b.click(5108);
    QCOMPARE(b.pageId(), kPageSerialPort);
    QVERIFY(b.visible(5040) && !b.visible(5041) && !b.visible(5047));
    QCOMPARE(b.entries(5206), (QStringList{"9600 bauds", "19200 bauds"}));
    QCOMPARE(b.entries(5209), (QStringList{"1 bit", "1,5 bit", "2 bits"}));
    b.click(1200);
    QCOMPARE(b.pageId(), kPageReader);
    QCOMPARE(b.settings().CurrentReader, 1);
    b.click(1204);
    b.click(5108);
    QVERIFY(b.visible(5041) && !b.visible(5040));
    b.choose(5206, 1);
    b.choose(5208, 2);
    // "&Annuler" returns too, keeping what was chosen.
    b.click(1201);
    QCOMPARE(b.pageId(), kPageReader);
    QCOMPARE(b.settings().CurrentReader, 2);
    QCOMPARE(b.settings().reader2.speed, std::string("19200"));
    QCOMPARE(b.settings().reader2.parity, std::string("2"));
    QCOMPARE(b.settings().reader1.speed, std::string("9600"));
    QCOMPARE(b.settings().reader1.parity, std::string("0"));
    b.click(5108);
    QCOMPARE(b.selected(5206), 1);
    QCOMPARE(b.selected(5208), 2);
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
}

void ReaderPageTest::pcscListIsAskedOnEveryOpening()
{
    Bench b;
    b.readers.names = {"zeta reader", "Alpha Reader", "beta reader"};
    QCOMPARE(b.start(), std::nullopt);
    b.click(1204);
    QCOMPARE(b.entries(5029), (QStringList{"Alpha Reader", "beta reader", "zeta reader"}));
    b.choose(5105, 1);
    b.choose(5029, 2);
    b.click(1204);
    QCOMPARE(b.settings().reader1.pcscName, std::string("zeta reader"));
    // Reopened: asked again, the first entry preselected, not the stored name.
    b.readers.names = {"New reader", "zeta reader"};
    b.click(5013);
    QCOMPARE(b.entries(5029), (QStringList{"New reader", "zeta reader"}));
    QCOMPARE(b.selected(5029), 0);
    // A service error leaves the list empty, without a message.
    b.readers.names.clear();
    b.click(1204);
    b.click(5013);
    QCOMPARE(b.entries(5029), QStringList{});
    QCOMPARE(b.selected(5029), -1);
    QCOMPARE(b.presenter.codes, std::vector<int>{44});
}

void ReaderPageTest::backPathsThroughTheRealPages()
{
    Bench b;
    QCOMPARE(b.start(), std::nullopt);
    b.click(5016);
    const std::vector<std::pair<int, int>> steps = {
        {1204, 11201}, {1204, 11202}, {1204, 1121},  {5013, 11202},
        {5108, 11182}, {1200, 11202}, {5013, 11201}, {5013, 1122},
    };
    for (const auto& [button, target] : steps) {
        b.click(button);
        QCOMPARE(b.pageId(), pageOf(target));
        if (target > 10000) QCOMPARE(b.settings().CurrentReader, target % 10);
    }
    // The choice page reopens with the arrangement chosen before.
    QVERIFY(b.checked(5016));
    QCOMPARE(b.exitCode(), std::nullopt);
}

void ReaderPageTest::labelsNameTheirLists()
{
    // A screen reader names a list by the label tied to it (its buddy), not
    // by the entry it shows; so do the captions of the check boxes.
    Bench b;
    b.readers.names = {"Reader A"};
    QCOMPARE(b.start(), std::nullopt);
    b.click(1204);
    const auto buddyOf = [&b](const QString& text) -> QString {
        for (QLabel* label : b.page()->findChildren<QLabel*>()) {
            if (label->text() == text)
                return label->buddy() ? label->buddy()->objectName() : QStringLiteral("none");
        }
        return QStringLiteral("no label");
    };
    QCOMPARE(buddyOf(QStringLiteral("Type de protocole :")), QStringLiteral("5105"));
    QCOMPARE(buddyOf(QString::fromUtf8("Numéro du port série :")), QStringLiteral("5107"));
    QCOMPARE(buddyOf(QStringLiteral("Adresse physique du lecteur de carte :")), QStringLiteral("5043"));
    QCOMPARE(buddyOf(QString::fromUtf8("Numéro d'adresse :")), QStringLiteral("5043"));
    QCOMPARE(buddyOf(QStringLiteral("Nom du lecteur :")), QStringLiteral("5029"));
    QCOMPARE(buddyOf(QString::fromUtf8("Ce lecteur est utilisé pour : ")), QStringLiteral("5111"));
    b.click(5108);
    QCOMPARE(b.pageId(), kPageSerialPort);
    const QStringList lists{"5206", "5207", "5208", "5209"};
    QStringList buddies;
    for (QLabel* label : b.page()->findChildren<QLabel*>()) {
        if (label->buddy()) buddies << label->buddy()->objectName();
    }
    buddies.sort();
    QCOMPARE(buddies, lists);
}

QTEST_MAIN(ReaderPageTest)
#include "ReaderPageTest.moc"
