#pragma once
// A plug-in initialised with one PC/SC channel (number 5, reader "Reader A 00 00")
// over the scripted fake, with the card scripting and the exchange call that the
// connection, card-state and command tests share.

#include "PluginState.h"

#include "Attributes.h"
#include "FakePcsc.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ostrel::test {

inline constexpr std::uint8_t kChannel = 5;
inline const char kReader[] = "Reader A 00 00";

inline const std::vector<std::uint8_t> kAtrT0 = {0x3B, 0x65, 0x00, 0x00, 0x9C, 0x11, 0x01, 0x01, 0x03};
inline const std::vector<std::uint8_t> kAtrOther = {0x3B, 0x2C, 0x00, 0x00, 0x12, 0x25, 0x00, 0x64,
                                                    0x80, 0x81, 0x00, 0x10, 0x00, 0x90, 0x00};

// A connection's answer with the protocol it negotiated.
inline Reply connected(std::uint32_t protocol)
{
    return Reply{pcsc::kSuccess, {}, protocol};
}
// A poll's answer with the event state it reports.
inline Reply polled(std::uint32_t eventState)
{
    return Reply{pcsc::kSuccess, {}, eventState};
}

// One PC/SC result of each conversion class with the status it gives.
struct ResultClass {
    std::int32_t result;
    std::uint16_t status;
    // Where card warnings count as success.
    std::uint16_t statusWhenWarningsCount;
};

inline const ResultClass kResultClasses[] = {
    {pcsc::kInternalError, 0x0001, 0x0001},
    {pcsc::kCommError, 0x0200, 0x0200},
    {pcsc::kTimeout, 0x0400, 0x0400},
    {pcsc::kSharingViolation, 0x0004, 0x0004},
    {pcsc::kReaderUnavailable, 0x0040, 0x0040},
    {pcsc::kNoService, 0x800A, 0x800A},
    {pcsc::kNoSmartcard, 0x0400, 0x0400},
    {pcsc::kUnknownError, 0x0001, 0x0001},
    {pcsc::kInvalidValue, 0x4000, 0x4000},
    {pcsc::kInsufficientBuffer, 0x0010, 0x0010},
    {pcsc::code(0x8010000Fu), 0x0200, 0x0200},
    {pcsc::kUnsupportedCard, 0x0400, 0x0000},
    {0x12345, 0x0001, 0x0001},
};

struct Answer {
    std::uint16_t status = 0;
    std::uint32_t length = 0;
    // The whole response buffer, filled with 0xEE before the call.
    std::vector<std::uint8_t> buffer;
    // The first `length` bytes (all of the buffer when the length is out of range).
    std::vector<std::uint8_t> bytes() const
    {
        return {buffer.begin(), buffer.begin() + std::min<std::size_t>(length, buffer.size())};
    }
    bool untouched(std::uint32_t capacity) const
    {
        return length == capacity &&
               std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xEE; });
    }
};

class PluginBench : public ::testing::Test {
protected:
    PluginBench() : state(pcsc)
    {
        pcsc.setDefault("ListReaderGroups", names({"SCard$DefaultReaders"}));
        pcsc.setDefault("ListReaders", names({kReader}));
        pcsc.setDefault("GetStatusChange", polled(pcsc::kStatePresent));
        const std::string config =
            dir.write("tuvex.ini",
                      "[PROTOCOLE1]\r\nListeCanaux=5\r\n"
                      "[CANAL5]\r\nTCanal=3\r\nCaracteristiques=Reader A 00 00\r\nIndex=5\r\n");
        EXPECT_EQ(state.ProInit(1, config.c_str(), 0), 0);
    }

    ChannelRecord& channel() { return *state.FindChannel(kChannel); }

    // The card the reader reports through its attributes from now on.
    void cardIn(const std::vector<std::uint8_t>& atr, bool contactsActive)
    {
        pcsc.setDefault(FakePcsc::attribute(kAttrCardPresence), bytes({2}));
        pcsc.setDefault(FakePcsc::attribute(kAttrInterfaceStatus),
                        bytes({static_cast<std::uint8_t>(contactsActive ? 1 : 0)}));
        pcsc.setDefault(FakePcsc::attribute(kAttrAtr), bytes(atr));
    }
    void cardOut()
    {
        pcsc.setDefault(FakePcsc::attribute(kAttrCardPresence), bytes({0}));
        pcsc.setDefault(FakePcsc::attribute(kAttrInterfaceStatus), bytes({0}));
        pcsc.setDefault(FakePcsc::attribute(kAttrAtr), bytes({}));
    }

    // ProConnect on a reader that has a card: the shared test connection succeeds.
    void connectWithCard()
    {
        ASSERT_EQ(state.ProConnect(3, kChannel, ""), 0);
        pcsc.calls.clear();
    }
    // ProConnect then ProSetExclusivity with a T=0 card in the reader: an exclusive
    // handle with a transaction, card known and powered at state 1.
    void holdCard(const std::vector<std::uint8_t>& atr = kAtrT0)
    {
        cardIn(atr, true);
        connectWithCard();
        ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
        pcsc.calls.clear();
    }

    Answer exchange(const std::vector<std::uint8_t>& request, std::uint32_t capacity = 300)
    {
        Answer answer;
        // Spare bytes past the capacity show a write beyond it.
        answer.buffer.assign(std::max<std::uint32_t>(capacity, 8), 0xEE);
        answer.length = capacity;
        // A request of length 0 still needs an address.
        const std::uint8_t none = 0;
        answer.status = state.ProExchange(3, kChannel, 1, 0, request.empty() ? &none : request.data(),
                                          static_cast<std::uint32_t>(request.size()), answer.buffer.data(),
                                          &answer.length);
        return answer;
    }

    bool nothingOpen() const { return pcsc.openHandles.empty() && pcsc.openContexts.empty(); }

    TempDir dir;
    FakePcsc pcsc;
    PluginState state;
};

}  // namespace ostrel::test
