// The built library loaded by its file name, as the access manager loads it: the nine
// exports resolved by name and called through the C interface.

#include "Ostrel.h"

#include "GuardedPages.h"
#include "OstrelLibrary.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using ostrel::test::GuardedPages;

class Library : public ::testing::Test, protected ostrel::Exports {
protected:
    void SetUp() override
    {
        std::string error;
        m_library = ostrel::LoadedLibrary::open(OSTREL_LIBRARY_FILE, error);
        ASSERT_NE(m_library, nullptr) << error;
        ASSERT_TRUE(m_library->resolve(*this, error)) << error;
    }

    void TearDown() override
    {
        if (m_library != nullptr) {
            EXPECT_TRUE(m_library->release());
            m_library.reset();
        }
    }

    void expectLastStatus(std::uint16_t status, std::uint32_t detail)
    {
        std::uint16_t gotStatus = 0;
        std::uint32_t gotDetail = 0;
        char text[12];
        ASSERT_EQ(getStatus(&gotStatus, &gotDetail, text), 0);
        EXPECT_EQ(gotStatus, status);
        EXPECT_EQ(gotDetail, detail);
        EXPECT_STREQ(text, "Erreur PCSC");
    }

private:
    std::unique_ptr<ostrel::LoadedLibrary> m_library;
};

TEST_F(Library, IdentifiesItselfBeforeProInit)
{
    unsigned char record[106];
    std::memset(record, 0xEE, sizeof record);
    ASSERT_EQ(identify(record), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(record), "Protocole PCSC-TUVEX");
    const unsigned char tail[] = {1, 0, '0', '1', '0', '9'};
    EXPECT_EQ(std::memcmp(record + 100, tail, sizeof tail), 0);
}

TEST_F(Library, ProTerminWithoutProInitThenStatusTwice)
{
    EXPECT_EQ(termin(), 0x800A);
    expectLastStatus(0x800A, 2);
    expectLastStatus(0, 2);
}

TEST_F(Library, ArgumentChecksAnswerThroughTheCInterface)
{
    EXPECT_EQ(init(1, nullptr, 0), 0x4000);
    expectLastStatus(0x4000, 1);
    EXPECT_EQ(connect(2, 1, "x"), 0x4000);
    expectLastStatus(0x4000, 5);
    EXPECT_EQ(disconnect(3, 64), 0x4000);
    std::uint8_t request[4] = {0, 1, 0x16, 0};
    std::uint8_t response[16];
    std::uint32_t length = sizeof response;
    EXPECT_EQ(exchange(3, 1, 0, 0, request, 4, response, &length), 0x0008);
    expectLastStatus(0x0008, 2);
    EXPECT_EQ(setExclusivity(3, 1, 0), 0x4000);
    EXPECT_EQ(releaseExclusivity(3, 1, 255), 0x4000);
    expectLastStatus(0x4000, 2);
    EXPECT_EQ(getStatus(nullptr, nullptr, nullptr), 0x4000);
    EXPECT_EQ(identify(nullptr), 0x4000);
}

TEST_F(Library, ConfigurationWithoutChannelListIsRefusedBeforeAnyPcscCall)
{
    TempDir dir;
    const std::string path = dir.write("tuvex.ini", "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\n");
    EXPECT_EQ(init(1, path.c_str(), 0), 0x800C);
    expectLastStatus(0x800C, 10);
    EXPECT_EQ(termin(), 0x800A);
}

#ifndef _WIN32
TEST_F(Library, UnreachablePcscServiceIsReportedAsStopped)
{
    // The client library looks for the service's socket where this variable says; a
    // socket that cannot exist stands for a machine without the service, whatever
    // runs on this one. The reader listing then cannot even get its temporary context.
    setenv("PCSCLITE_CSOCK_NAME", "/nonexistent/pcscd.comm", 1);
    TempDir dir;
    const std::string path = dir.write(
        "tuvex.ini",
        "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nCaracteristiques=Lecteur 00 00\r\nIndex=1\r\n");
    EXPECT_EQ(init(1, path.c_str(), 0), 0x800A);
    expectLastStatus(0x800A, 2);
    unsetenv("PCSCLITE_CSOCK_NAME");
}
#endif

TEST_F(Library, BadPointersNeverFaultTheHost)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    std::uint8_t* hole = pages.noAccess();
    EXPECT_EQ(init(1, reinterpret_cast<const char*>(hole), 0), 0x4000);
    EXPECT_EQ(identify(pages.readOnly()), 0x4000);
    EXPECT_EQ(getStatus(reinterpret_cast<std::uint16_t*>(hole), reinterpret_cast<std::uint32_t*>(hole),
                        reinterpret_cast<char*>(hole)),
              0x4000);
    std::uint32_t length = 4096;
    EXPECT_EQ(exchange(3, 1, 0, 0, hole, 4, pages.tail(16), &length), 0x0010);
    EXPECT_EQ(exchange(3, 1, 0, 0, pages.tail(4), 4, pages.tail(16), reinterpret_cast<std::uint32_t*>(hole)),
              0x0010);
}

TEST_F(Library, ReloadingStartsFromFreshRegisters)
{
    EXPECT_EQ(connect(9, 1, nullptr), 0x4000);
    TearDown();
    SetUp();
    expectLastStatus(0, 0);
}

TEST(LibraryFile, CarriesTheThreeStampLines)
{
    std::ifstream file(OSTREL_LIBRARY_FILE, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.find("##[Comments    PCSC_TUVEX WIN 32 (RELEASE) "), std::string::npos);
    EXPECT_NE(bytes.find(std::string("##[ProductVersion  01.09\0", 25)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("##[ProductName OSTREL\0", 22)), std::string::npos);
}

}  // namespace
