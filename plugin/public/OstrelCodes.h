#pragma once
// The plug-in's codes as a host sees them: the command codes of a ProExchange request,
// the report codes of its response, the detail codes behind ProGetStatus with a text
// for each, and the rule by which a configured reader text names a PC/SC reader. The
// plug-in is built from these same constants, so tuvex-host and calveno-batch cannot
// drift from what the plug-in does.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrel {

using DetailCode = std::uint16_t;

inline constexpr DetailCode kDetailOk = 0;
inline constexpr DetailCode kDetailNullArgument = 1;
// Also: service stopped or unusable reader, never initialised, no work buffer.
inline constexpr DetailCode kDetailNotConnected = 2;
inline constexpr DetailCode kDetailNotReady = 3;
// Also: request of the wrong length for its command.
inline constexpr DetailCode kDetailMemoryNotAccessible = 4;
inline constexpr DetailCode kDetailBadChannel = 5;
inline constexpr DetailCode kDetailNoChannelList = 10;
inline constexpr DetailCode kDetailBadChannelEntry = 11;
inline constexpr DetailCode kDetailNoContext = 14;
inline constexpr DetailCode kDetailBufferTooSmall = 15;
inline constexpr DetailCode kDetailCommunication = 16;
inline constexpr DetailCode kDetailReaderUnavailable = 17;
inline constexpr DetailCode kDetailReaderNotFound = 18;
inline constexpr DetailCode kDetailNoIndex = 19;
inline constexpr DetailCode kDetailUnknownResult = 20;
inline constexpr DetailCode kDetailInternal = 21;
inline constexpr DetailCode kDetailSharingViolation = 22;
inline constexpr DetailCode kDetailProtocolMismatch = 24;
inline constexpr DetailCode kDetailInvalidValue = 25;
inline constexpr DetailCode kDetailNoCard = 26;
// Card reset, removed, unpowered or changed: handled inside by reconnecting.
inline constexpr DetailCode kDetailCardChanged = 27;
inline constexpr DetailCode kDetailCardUnusable = 28;
inline constexpr DetailCode kDetailTableFull = 0x1000;

// Command codes: byte 2 of a request.
inline constexpr std::uint8_t kCommandInstruction = 0x00;
inline constexpr std::uint8_t kCommandInstructionIn = 0x01;
inline constexpr std::uint8_t kCommandReset = 0x11;
inline constexpr std::uint8_t kCommandSelfTest = 0x12;
inline constexpr std::uint8_t kCommandPowerOn = 0x14;
inline constexpr std::uint8_t kCommandPowerOff = 0x15;
inline constexpr std::uint8_t kCommandPresence = 0x16;
inline constexpr std::uint8_t kCommandFrequency = 0x17;

// Report codes: byte 0 of a response.
inline constexpr std::uint8_t kCrDone = 0x00;
inline constexpr std::uint8_t kCrRefused = 0x02;
inline constexpr std::uint8_t kCrForbidden = 0x03;
inline constexpr std::uint8_t kCrCardUnusable = 0x10;
inline constexpr std::uint8_t kCrNotPowered = 0x11;
inline constexpr std::uint8_t kCrStillPresent = 0x12;
inline constexpr std::uint8_t kCrWrongLength = 0x13;
inline constexpr std::uint8_t kCrAlreadyPowered = 0x14;
inline constexpr std::uint8_t kCrBadFrequency = 0x15;
inline constexpr std::uint8_t kCrCounterError = 0x16;
inline constexpr std::uint8_t kCrCardAbsent = 0x17;

template <typename Code>
struct CodeText {
    Code code;
    std::string_view text;
};

// What each detail code means, in the plug-in's own terms. Hosts add what the context
// tells them (which call failed) to turn it into advice.
inline constexpr CodeText<DetailCode> kDetailTexts[] = {
    {kDetailOk, "success"},
    {kDetailNullArgument, "null argument or empty configuration path, or a forbidden request"},
    {kDetailNotConnected,
     "channel not connected, PC/SC service stopped or reader unusable, or plug-in not initialised"},
    {kDetailNotReady, "PC/SC time-out, reader or card not ready"},
    {kDetailMemoryNotAccessible, "request of the wrong length for its command, or memory not accessible"},
    {kDetailBadChannel, "channel unknown to the plug-in (type not 3, number out of range or not configured)"},
    {kDetailNoChannelList, "configuration: no channel list (ListeCanaux)"},
    {kDetailBadChannelEntry, "configuration: channel number out of range or no Caracteristiques"},
    {kDetailNoContext, "no PC/SC context or card handle: connect and take exclusivity first"},
    {kDetailBufferTooSmall, "response buffer too small"},
    {kDetailCommunication, "communication error with the reader or the card"},
    {kDetailReaderUnavailable, "reader unavailable"},
    {kDetailReaderNotFound, "configured reader not found among the PC/SC readers"},
    {kDetailNoIndex, "configuration: Index missing or 0"},
    {kDetailUnknownResult, "unknown PC/SC result"},
    {kDetailInternal, "PC/SC internal error, invalid handle or parameter, or no transaction open"},
    {kDetailSharingViolation, "sharing violation: another application holds the reader"},
    {kDetailProtocolMismatch, "protocol mismatch"},
    {kDetailInvalidValue, "invalid value"},
    {kDetailNoCard, "no card in the reader"},
    {kDetailCardChanged, "card reset, removed or unpowered"},
    {kDetailCardUnusable, "card unknown, unsupported, mute or with an invalid ATR"},
    {kDetailTableFull, "channel table full: more than ten channels"},
};

inline constexpr CodeText<std::uint8_t> kReportTexts[] = {
    {kCrDone, "done"},
    {kCrRefused, "parameter refused"},
    {kCrForbidden, "forbidden command"},
    {kCrCardUnusable, "card unusable (not T=0) or reader unavailable"},
    {kCrNotPowered, "card present but not powered"},
    {kCrStillPresent, "card still present and not powered"},
    {kCrWrongLength, "instruction of wrong length"},
    {kCrAlreadyPowered, "card already powered"},
    {kCrBadFrequency, "invalid frequency code"},
    {kCrCounterError, "counter error or card removed during the instruction"},
    {kCrCardAbsent, "card absent"},
};

// The text of `code` in `table`; empty when the code has none.
template <typename Code, std::size_t N>
constexpr std::string_view codeText(const CodeText<Code> (&table)[N], Code code)
{
    for (const auto& row : table)
        if (row.code == code) return row.text;
    return {};
}

constexpr std::string_view detailText(DetailCode detail)
{
    return codeText(kDetailTexts, detail);
}

constexpr std::string_view reportText(std::uint8_t reportCode)
{
    return codeText(kReportTexts, reportCode);
}

// A configured reader text (Caracteristiques) names a PC/SC reader when the reader's
// listed name occurs anywhere in it: a longer text that carries the name still counts.
constexpr bool readerNameMatches(std::string_view configured, std::string_view reader)
{
    return !reader.empty() && configured.find(reader) != std::string_view::npos;
}

}  // namespace ostrel
