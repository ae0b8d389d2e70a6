#include "PluginState.h"

#include "ExchangeAnswer.h"

#include <cstdio>
#include <cstring>

// The access manager's reader command set: the common checks, the dispatch on the
// command code, and the reader and power commands. Card instructions have their own
// file.

namespace ostrel {

namespace {

constexpr std::uint32_t kSelfTestLength = 27;
// Header bytes the dispatch reads: byte 0, the unit byte and the command code.
constexpr std::uint32_t kDispatchedLength = 3;

std::uint8_t unitOf(const Exchange& x)
{
    return x.request[1];
}

// Two decimal digits from the text as one BCD byte.
std::uint8_t bcdPair(const char* digits)
{
    return static_cast<std::uint8_t>(((digits[0] - '0') & 0x0F) << 4 | ((digits[1] - '0') & 0x0F));
}

}  // namespace

DetailCode PluginState::PCSC_Echange(std::uint8_t channel, std::uint8_t, std::uint16_t,
                                     const std::uint8_t* request, std::uint32_t requestLength,
                                     std::uint8_t* response, std::uint32_t* responseLength)
{
    ChannelRecord* entry = FindChannel(channel);
    if (entry == nullptr) return kDetailBadChannel;
    // Reader commands need the card handle that exclusivity opens.
    if (!hasFlag(*entry, kFlagContext) || entry->card == 0) return kDetailNoContext;
    // Only the given bytes of the request are readable.
    if (requestLength < kDispatchedLength) return kDetailMemoryNotAccessible;

    Exchange x{*entry, request, requestLength, response, *responseLength, responseLength};
    if (request[0] != 0) {
        const DetailCode written = answerCode(x, kCrForbidden);
        return written != kDetailOk ? written : kDetailNullArgument;
    }
    // A card change is followed inside by reconnecting. One still reported here is a
    // reconnection or read the reader refused (its system error 22 converts to a card
    // change even where card warnings count as success). That code leaves the previous
    // status standing, so the access manager could read success with no answer: the
    // card cannot be used as it stands.
    const DetailCode result = dispatch(x);
    return result == kDetailCardChanged ? kDetailCardUnusable : result;
}

DetailCode PluginState::dispatch(Exchange& x)
{
    switch (x.request[2]) {
    case kCommandInstruction:
    case kCommandInstructionIn: return cardInstruction(x);
    case kCommandReset: return resetReader(x);
    case kCommandSelfTest: return selfTest(x);
    case kCommandPowerOn: return powerOn(x);
    case kCommandPowerOff: return powerOff(x);
    case kCommandPresence: return testPresence(x);
    case kCommandFrequency: return configureFrequency(x);
    default: return answerCode(x, kCrRefused);
    }
}

DetailCode PluginState::resetReader(Exchange& x)
{
    if (unitOf(x) != 0) return answerCode(x, kCrRefused);
    if (const DetailCode refreshed = RefreshCardState(x.entry, false); refreshed != kDetailOk)
        return refreshed;
    return answerCode(x, kCrDone);
}

DetailCode PluginState::selfTest(Exchange& x)
{
    if (x.capacity < kSelfTestLength) return kDetailBufferTooSmall;
    if (unitOf(x) != 0) return answerCode(x, kCrRefused);
    if (const DetailCode refreshed = RefreshCardState(x.entry, false); refreshed != kDetailOk)
        return refreshed;

    const ChannelRecord& entry = x.entry;
    std::uint8_t* out = x.response;
    std::memset(out, 0, kSelfTestLength);
    out[1] = 0x12;
    out[2] = 0x34;
    // The driver version printed as major then minor, two digits each, read back as
    // BCD pairs.
    char version[24];
    std::snprintf(version, sizeof version, "%02u%02u", static_cast<unsigned>(entry.driverVersion >> 24),
                  static_cast<unsigned>((entry.driverVersion >> 16) & 0xFF));
    out[3] = bcdPair(version);
    out[4] = bcdPair(version + 2);
    out[5] = static_cast<std::uint8_t>(entry.currentBwt >> 8);
    out[6] = static_cast<std::uint8_t>(entry.currentBwt);
    out[7] = static_cast<std::uint8_t>(entry.currentW >> 8);
    out[8] = static_cast<std::uint8_t>(entry.currentW);
    // MHz, rounded up only past the half.
    out[9] = static_cast<std::uint8_t>(entry.maximumClockKHz / 1000 +
                                       (entry.maximumClockKHz % 1000 > 500 ? 1 : 0));
    std::memset(out + 13, 0xFF, kSelfTestLength - 13);
    *x.length = kSelfTestLength;
    return kDetailOk;
}

DetailCode PluginState::configureFrequency(Exchange& x)
{
    if (x.requestLength != 4) return kDetailMemoryNotAccessible;
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    if (unitOf(x) > 1) return answerCode(x, kCrRefused);
    const std::uint8_t code = x.request[3];
    if (code != 4 && code != 5) return answerCode(x, kCrBadFrequency);
    if (const DetailCode refreshed = RefreshCardState(x.entry, false); refreshed != kDetailOk)
        return refreshed;
    // Nothing is set at the reader; a powered card only makes the answer a refusal.
    return answerState(x, isPowered(x.entry.cardState) ? kCrAlreadyPowered : kCrDone);
}

DetailCode PluginState::testPresence(Exchange& x)
{
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    if (unitOf(x) > 1) return answerCode(x, kCrRefused);
    if (const DetailCode refreshed = RefreshCardState(x.entry, false); refreshed != kDetailOk)
        return refreshed;
    return answerState(x, kCrDone);
}

DetailCode PluginState::powerOn(Exchange& x)
{
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    if (unitOf(x) > 1) return answerCode(x, kCrRefused);
    if (const DetailCode refreshed = RefreshCardState(x.entry, true); refreshed != kDetailOk)
        return refreshed;
    ChannelRecord& entry = x.entry;
    if (entry.cardState == kCardAbsent) return answerState(x, kCrDone);
    if (entry.cardState != kCardPowered) return answerState(x, kCrNotPowered);

    std::uint8_t atr[kAtrSize];
    std::uint32_t atrLength = sizeof atr;
    std::uint32_t protocol = 0;
    const std::int32_t read = m_pcsc.status(entry.card, &protocol, atr, &atrLength);
    if (read != pcsc::kSuccess) {
        // A card warning here means the card went between the refresh and this read;
        // with no ATR to give, the command fails rather than answer nothing.
        const DetailCode failed = PcscToDetail(read, true);
        return failed != kDetailOk ? failed : kDetailCommunication;
    }
    if (atrLength > sizeof atr || x.capacity < atrLength + kStateAnswerLength) return kDetailBufferTooSmall;
    // Card instructions travel with T=0 framing: any other protocol makes the card
    // unusable here, and its ATR tells the access manager why.
    answerState(x, entry.activeProtocol == pcsc::kProtocolT0 ? kCrDone : kCrCardUnusable);
    std::memcpy(x.response + kStateAnswerLength, atr, atrLength);
    *x.length = atrLength + kStateAnswerLength;
    return kDetailOk;
}

DetailCode PluginState::powerOff(Exchange& x)
{
    if (x.requestLength != 4) return kDetailMemoryNotAccessible;
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    const std::uint8_t removalMode = x.request[3];
    if (unitOf(x) > 1 || (removalMode != 0 && removalMode != 1)) return answerCode(x, kCrRefused);
    ChannelRecord& entry = x.entry;
    if (const DetailCode refreshed = RefreshCardState(entry, false); refreshed != kDetailOk) return refreshed;

    if (entry.cardState != kCardAbsent) {
        // Readers that cannot eject leave the card where it is; the refresh below sees
        // what the reader did.
        m_pcsc.disconnect(entry.card, pcsc::kEjectCard);
        entry.card = 0;
        const std::int32_t connected = connectReader(entry, pcsc::kShareDirect, kFlagDirectMode);
        setCardState(entry, kCardPresent);
        // A card warning counts as success: the refresh below tells what became of
        // the card, and the command still answers with state and counter.
        if (const DetailCode failed = PcscToDetail(connected, true); failed != kDetailOk) return failed;
    }
    if (const DetailCode refreshed = RefreshCardState(entry, false); refreshed != kDetailOk) return refreshed;
    if (entry.powerManagement == 0 && entry.cardState != kCardAbsent) setCardState(entry, kCardPresent);
    const bool stillThere = entry.cardState == kCardPresent && removalMode == 0;
    return answerState(x, stillThere ? kCrStillPresent : kCrDone);
}

}  // namespace ostrel
