#include "StatusConversion.h"

#include <array>

namespace ostrel {

namespace {

struct PcscRow {
    std::uint32_t result;
    DetailCode detail;
    // Card warnings convert to success when the caller asks for it.
    bool cardWarning;
};

constexpr std::array<PcscRow, 39> kPcscRows{{
    {0x00000000u, kDetailOk, false},
    {0x80100001u, kDetailInternal, false},           // F_INTERNAL_ERROR
    {0x80100002u, kDetailInternal, false},           // E_CANCELLED
    {0x80100003u, kDetailInternal, false},           // E_INVALID_HANDLE
    {0x80100004u, kDetailInternal, false},           // E_INVALID_PARAMETER
    {0x80100005u, kDetailInternal, false},           // E_INVALID_TARGET
    {0x80100006u, kDetailInternal, false},           // E_NO_MEMORY
    {0x80100012u, kDetailInternal, false},           // E_SYSTEM_CANCELLED
    {0x80100016u, kDetailInternal, false},           // E_NOT_TRANSACTED
    {0x80100013u, kDetailCommunication, false},      // F_COMM_ERROR
    {0x80100008u, kDetailBufferTooSmall, false},     // E_INSUFFICIENT_BUFFER
    {0x80100007u, kDetailNotReady, false},           // F_WAITED_TOO_LONG
    {0x8010000Au, kDetailNotReady, false},           // E_TIMEOUT
    {0x80100010u, kDetailNotReady, false},           // E_NOT_READY
    {0x8010000Bu, kDetailSharingViolation, false},   // E_SHARING_VIOLATION
    {0x8010000Fu, kDetailProtocolMismatch, false},   // E_PROTO_MISMATCH
    {0x80100011u, kDetailInvalidValue, false},       // E_INVALID_VALUE
    {0x80100009u, kDetailReaderNotFound, false},     // E_UNKNOWN_READER
    {0x80100017u, kDetailReaderUnavailable, false},  // E_READER_UNAVAILABLE
    {0x8010001Bu, kDetailReaderNotFound, false},     // E_DUPLICATE_READER
    {0x80100018u, kDetailNotConnected, false},       // P_SHUTDOWN
    {0x80100019u, kDetailNotConnected, false},       // E_PCI_TOO_SMALL
    {0x8010001Au, kDetailNotConnected, false},       // E_READER_UNSUPPORTED
    {0x8010001Du, kDetailNotConnected, false},       // E_NO_SERVICE
    {0x8010001Eu, kDetailNotConnected, false},       // E_SERVICE_STOPPED
    {0x8010000Cu, kDetailNoCard, false},             // E_NO_SMARTCARD
    {1112u, kDetailNoCard, false},                   // system: no medium in the drive
    {22u, kDetailCardChanged, false},                // system: command not recognised
    {122u, kDetailBufferTooSmall, false},            // system: insufficient buffer
    {1785u, kDetailCardUnusable, false},             // system: unrecognised medium
    {0x8010000Eu, kDetailCardUnusable, false},       // E_CANT_DISPOSE
    {0x8010000Du, kDetailCardUnusable, false},       // E_UNKNOWN_CARD
    {0x8010001Cu, kDetailCardUnusable, false},       // E_CARD_UNSUPPORTED
    {0x80100069u, kDetailCardChanged, true},         // W_REMOVED_CARD
    {0x80100067u, kDetailCardChanged, true},         // W_UNPOWERED_CARD
    {0x80100068u, kDetailCardChanged, true},         // W_RESET_CARD
    {0x80100065u, kDetailCardUnusable, true},        // W_UNSUPPORTED_CARD
    {0x80100066u, kDetailCardUnusable, true},        // W_UNRESPONSIVE_CARD
    {0x80100015u, kDetailCardUnusable, true},        // E_INVALID_ATR
}};

struct StatusRow {
    DetailCode detail;
    std::uint16_t status;
};

constexpr std::array<StatusRow, 22> kStatusRows{{
    {kDetailOk, 0x0000},
    {kDetailNullArgument, 0x4000},
    {kDetailNotConnected, 0x800A},
    {kDetailNotReady, 0x0400},
    {kDetailMemoryNotAccessible, 0x4000},
    {kDetailBadChannel, 0x800F},
    {kDetailNoChannelList, 0x800C},
    {kDetailBadChannelEntry, 0x800C},
    {kDetailNoContext, 0x0008},
    {kDetailBufferTooSmall, 0x0010},
    {kDetailCommunication, 0x0200},
    {kDetailReaderUnavailable, 0x0040},
    {kDetailReaderNotFound, 0x800C},
    {kDetailNoIndex, 0x800C},
    {kDetailUnknownResult, 0x0001},
    {kDetailInternal, 0x0001},
    {kDetailSharingViolation, 0x0004},
    {kDetailProtocolMismatch, 0x0200},
    {kDetailInvalidValue, 0x4000},
    {kDetailNoCard, 0x0400},
    {kDetailCardUnusable, 0x0400},
    {kDetailTableFull, 0x800A},
}};
// Card changed (27) has no row on purpose: the status keeps its previous value.

}  // namespace

DetailCode PcscToDetail(std::int32_t result, bool cardWarningsAreSuccess)
{
    const auto bits = static_cast<std::uint32_t>(result);
    for (const PcscRow& row : kPcscRows) {
        if (row.result != bits) continue;
        return row.cardWarning && cardWarningsAreSuccess ? kDetailOk : row.detail;
    }
    // F_UNKNOWN_ERROR (0x80100014) lands here too.
    return kDetailUnknownResult;
}

std::optional<std::uint16_t> statusForDetail(DetailCode detail)
{
    for (const StatusRow& row : kStatusRows)
        if (row.detail == detail) return row.status;
    return std::nullopt;
}

}  // namespace ostrel
