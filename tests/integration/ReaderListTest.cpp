// The wizard's reader page lists the PC/SC readers through its system reader source:
// over the private pcscd that is the two virtual readers, in the page's order.

#include "PcscdTest.h"
#include "PcscReaderList.h"
#include "SystemPcscReaders.h"

namespace {

using integration::PcscdTest;

TEST_F(PcscdTest, ReaderPageListsTheVirtualReadersOfTheService)
{
    calveno::SystemPcscReaderSource source;
    const auto names = calveno::sortedReaderNames(source.listReaders());
    EXPECT_EQ(names, (std::vector<std::string>{pcscd->readerName(0), pcscd->readerName(1)}));
    // A card in a reader changes nothing in the list.
    ASSERT_TRUE(pcscd->insertCard(1, integration::kAmbrelAtr));
    EXPECT_EQ(calveno::sortedReaderNames(source.listReaders()), names);
}

TEST_F(PcscdTest, ReaderPageListIsEmptyWithoutTheService)
{
    ASSERT_EQ(pcscd->stop(), "");
    calveno::SystemPcscReaderSource source;
    EXPECT_TRUE(source.listReaders().empty());
}

}  // namespace
