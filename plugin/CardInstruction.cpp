#include "PluginState.h"

#include "ExchangeAnswer.h"

#include <cstring>

// Card instructions: an ISO 7816 command after the four header bytes, sent to the card
// with T=0 framing, its answer passed back unchanged after report code, state and
// counter.

namespace ostrel {

namespace {

// Both work buffers: the longest short command and the longest short answer.
constexpr std::uint32_t kWorkBufferSize = 265;
constexpr std::uint32_t kHeaderLength = 4;
constexpr std::uint32_t kCommandHeaderLength = 4;

}  // namespace

DetailCode PluginState::cardInstruction(Exchange& x)
{
    if (x.requestLength < kHeaderLength) return kDetailMemoryNotAccessible;
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    if (x.request[1] > 1) return answerCode(x, kCrRefused);
    ChannelRecord& entry = x.entry;
    // 0 asks for no check; any other counter must be the current one, or the access
    // manager is speaking about a card that has gone.
    const std::uint8_t counter = x.request[3];
    if (counter != 0 && counter != entry.cardCounter) return answerState(x, kCrCounterError);
    std::uint32_t sendLength = x.requestLength - kHeaderLength;
    // Nothing to send, or more than the send buffer holds: refused, the card sees
    // nothing.
    if (sendLength == 0 || sendLength > kWorkBufferSize) return answerState(x, kCrWrongLength);

    std::uint8_t send[kWorkBufferSize];
    std::memcpy(send, x.request + kHeaderLength, sendLength);
    // A command with P3 alone and nothing expected back goes as the four header bytes.
    if (sendLength == kCommandHeaderLength + 1 && (x.capacity == 5 || (x.request[2] == 0x00 && send[4] == 0)))
        sendLength = kCommandHeaderLength;

    std::uint8_t receive[kWorkBufferSize];
    std::uint32_t received = sizeof receive;
    const std::int32_t sent = m_pcsc.transmitT0(entry.card, send, sendLength, receive, &received);

    if (sent == pcsc::kRemovedCard) {
        RefreshCardState(entry, false);
        return answerState(x, entry.cardState == kCardPresent ? kCrNotPowered : kCrCounterError);
    }
    if (sent != pcsc::kSuccess) {
        switch (const DetailCode refreshed = RefreshCardState(entry, false)) {
        case kDetailBufferTooSmall:
        case kDetailInvalidValue: return answerState(x, kCrWrongLength);
        case kDetailReaderUnavailable: return answerState(x, kCrCardUnusable);
        case kDetailOk:
            if (entry.cardState == kCardAbsent) return answerState(x, kCrCardAbsent);
            if (entry.cardState == kCardPresent) return answerState(x, kCrNotPowered);
            // The card is there and powered but did not answer.
            return kDetailCommunication;
        default: return refreshed;
        }
    }
    if (received > sizeof receive || x.capacity < received + kStateAnswerLength) return kDetailBufferTooSmall;
    answerState(x, kCrDone);
    std::memcpy(x.response + kStateAnswerLength, receive, received);
    *x.length = received + kStateAnswerLength;
    return kDetailOk;
}

}  // namespace ostrel
