// What the reader and serial-port pages list, select and store.

#include "PageLists.h"
#include "ReaderPageRules.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace calveno::test {
namespace {

const std::string kSerie = "Protocole Santé-Social";
const std::string kPcsc = "Protocole PC / SC";

TEST(PageLists, ProtocolListPerArrangementAndReader)
{
    struct Case {
        std::uint16_t topology;
        int reader;
        std::uint16_t r1Protocol;
        std::vector<std::string> entries;
        int selected;
    };
    const Case cases[] = {
        {kTopologyMonofente, 1, kProtocolSerie, {kSerie, kPcsc}, 0},
        {kTopologyMonofente, 1, kProtocolPcsc, {kSerie, kPcsc}, 1},
        {kTopologyDeuxPorts, 1, kProtocolPcsc, {kSerie, kPcsc}, 1},
        {kTopologyDeuxPorts, 2, kProtocolPcsc, {kPcsc}, 0},
        {kTopologyDeuxPorts, 2, kProtocolSerie, {kSerie}, 0},
        // The two-slot and chained arrangements force the serial protocol.
        {kTopologyBifente, 1, kProtocolPcsc, {kSerie}, 0},
        {kTopologyChaines, 1, kProtocolPcsc, {kSerie}, 0},
        {kTopologyChaines, 2, kProtocolSerie, {kSerie}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.topology << " reader " << c.reader << " protocol " << c.r1Protocol);
        WizardSettings s = settingsFor(c.topology);
        s.reader1.protocol = c.r1Protocol;
        s.reader2.protocol = kProtocolSerie;
        s.CurrentReader = c.reader;
        prepareReaderPage(s);
        EXPECT_EQ(protocolList(s), (ChoiceList{c.entries, c.selected}));
        // Choosing the last entry stores its protocol for the current reader.
        ASSERT_TRUE(storeProtocolChoice(s, static_cast<int>(c.entries.size()) - 1));
        EXPECT_EQ(protocolName(currentReaderSettings(s).protocol), c.entries.back());
        EXPECT_FALSE(storeProtocolChoice(s, static_cast<int>(c.entries.size())));
        EXPECT_FALSE(storeProtocolChoice(s, -1));
    }
}

TEST(PageLists, PortListSelectsAndStoresTheCurrentReadersPort)
{
    const std::vector<std::string> ports{"COM1:", "COM2:", "COM3:", "COM4:"};
    const std::pair<const char*, int> selections[] = {{"1", 0}, {"2", 1}, {"3", 2},
                                                      {"4", 3}, {"5", 0}, {"", 0}};
    for (const auto& [port, selected] : selections) {
        WizardSettings s = settingsFor(kTopologyDeuxPorts);
        s.CurrentReader = 2;
        s.reader2.port = port;
        EXPECT_EQ(portList(s), (ChoiceList{ports, selected})) << port;
    }
    WizardSettings s = settingsFor(kTopologyDeuxPorts);
    s.CurrentReader = 2;
    ASSERT_TRUE(storePortChoice(s, 3));
    EXPECT_EQ(s.reader2.port, "4");
    EXPECT_EQ(s.reader1.port, "1");
    EXPECT_FALSE(storePortChoice(s, 4));
}

TEST(PageLists, ChainedReaderTwoShowsReaderOnesPortAlone)
{
    WizardSettings s = settingsFor(kTopologyChaines);
    s.reader1.port = "3";
    s.reader2.port = "2";
    s.CurrentReader = 2;
    EXPECT_EQ(portList(s), (ChoiceList{{"COM3:"}, 0}));
    ASSERT_TRUE(storePortChoice(s, 0));
    EXPECT_EQ(s.reader2.port, "3");
    EXPECT_FALSE(storePortChoice(s, 1));
}

TEST(PageLists, AddressEightIsStoredAndReselected)
{
    ReaderSettings reader = defaultWizardSettings().reader1;
    ASSERT_TRUE(storeAddressChoice(reader, 8));
    EXPECT_EQ(reader.address, "8");
    const ChoiceList list = addressList(reader);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(list.selected, 8);
    reader.address = "x";
    EXPECT_EQ(addressList(reader).selected, 0);
    EXPECT_FALSE(storeAddressChoice(reader, 9));
}

TEST(PageLists, SerialListsSelectOnOpeningAndStoreTheirValues)
{
    struct Case {
        SerialField field;
        std::vector<std::string> entries;
        std::vector<std::string> values;  // stored by each entry
        const char* unknownValue;
        int unknownSelects;
    };
    const Case cases[] = {
        {SerialField::Speed, {"9600 bauds", "19200 bauds"}, {"9600", "19200"}, "4800", 0},
        {SerialField::DataBits, {"5 bits", "8 bits"}, {"5", "8"}, "7", 1},
        {SerialField::Parity, {"Pas de parité", "Parité impaire", "Parité paire"}, {"0", "1", "2"}, "3", 0},
        {SerialField::StopBits, {"1 bit", "1,5 bit", "2 bits"}, {"0", "1", "2"}, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries.front());
        ReaderSettings reader = defaultWizardSettings().reader2;
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            ASSERT_TRUE(storeSerialChoice(reader, c.field, static_cast<int>(i)));
            EXPECT_EQ(serialList(reader, c.field), (ChoiceList{c.entries, static_cast<int>(i)}));
        }
        const ReaderSettings before = reader;
        EXPECT_FALSE(storeSerialChoice(reader, c.field, static_cast<int>(c.values.size())));
        EXPECT_EQ(reader, before);
        ReaderSettings odd = reader;
        (c.field == SerialField::Speed      ? odd.speed
         : c.field == SerialField::DataBits ? odd.dataBits
         : c.field == SerialField::Parity   ? odd.parity
                                            : odd.stopBits) = c.unknownValue;
        EXPECT_EQ(serialList(odd, c.field).selected, c.unknownSelects);
    }
    // Each list writes its own field only.
    ReaderSettings reader = defaultWizardSettings().reader1;
    storeSerialChoice(reader, SerialField::Speed, 1);
    storeSerialChoice(reader, SerialField::DataBits, 0);
    storeSerialChoice(reader, SerialField::Parity, 2);
    storeSerialChoice(reader, SerialField::StopBits, 1);
    EXPECT_EQ(reader.speed + reader.dataBits + reader.parity + reader.stopBits, "19200521");
}

TEST(PageLists, TitlesFollowTheReaderAndTheArrangement)
{
    struct Case {
        std::uint16_t topology;
        int reader;
        int readerTitle;
        int portTitle;
    };
    const Case cases[] = {
        {kTopologyMonofente, 1, 5046, 5047}, {kTopologyBifente, 1, 5046, 5047},
        {kTopologyChaines, 1, 5102, 5040},   {kTopologyDeuxPorts, 1, 5102, 5040},
        {kTopologyChaines, 2, 5039, 5041},   {kTopologyDeuxPorts, 2, 5039, 5041},
    };
    for (const Case& c : cases) {
        WizardSettings s = settingsFor(c.topology);
        s.CurrentReader = c.reader;
        EXPECT_EQ(readerPageTitle(s), c.readerTitle) << c.topology << '/' << c.reader;
        EXPECT_EQ(serialPortPageTitle(s), c.portTitle) << c.topology << '/' << c.reader;
    }
}

}  // namespace
}  // namespace calveno::test
