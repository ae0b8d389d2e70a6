#pragma once
// Reader and card attributes read into a channel's record.

#include "ChannelRecord.h"
#include "StatusConversion.h"
#include "pcsc/PcscApi.h"

namespace ostrel {

inline constexpr std::uint32_t kAttrVendorName = 0x10100;
inline constexpr std::uint32_t kAttrVendorReaderType = 0x10101;
inline constexpr std::uint32_t kAttrDriverVersion = 0x10102;
inline constexpr std::uint32_t kAttrChannelId = 0x20110;
inline constexpr std::uint32_t kAttrDefaultClock = 0x30121;
inline constexpr std::uint32_t kAttrMaximumClock = 0x30122;
inline constexpr std::uint32_t kAttrDefaultDataRate = 0x30123;
inline constexpr std::uint32_t kAttrMaximumDataRate = 0x30124;
inline constexpr std::uint32_t kAttrPowerManagement = 0x40131;
inline constexpr std::uint32_t kAttrMechanical = 0x60150;
inline constexpr std::uint32_t kAttrProtocolType = 0x80201;
inline constexpr std::uint32_t kAttrCurrentN = 0x80205;
inline constexpr std::uint32_t kAttrCurrentW = 0x80206;
inline constexpr std::uint32_t kAttrCurrentBwt = 0x80209;
inline constexpr std::uint32_t kAttrCurrentCwt = 0x8020A;
inline constexpr std::uint32_t kAttrCardPresence = 0x90300;
inline constexpr std::uint32_t kAttrInterfaceStatus = 0x90301;
inline constexpr std::uint32_t kAttrAtr = 0x90303;
inline constexpr std::uint32_t kAttrCardTypePerAtr = 0x90304;

// Once per physical connection, on the test connection's card handle. A failed read
// leaves its field as it was and never stops the others.
void GetReaderCapabilities(pcsc::PcscApi& pcsc, ChannelRecord& entry);

// Inside every card-state refresh: presence, contacts and ATR. Returns 0 when the card
// is absent or its ATR unchanged, 27 when a new ATR was found (the card type is then
// registered with the service), or a converted PC/SC failure. A read that found the
// service gone stops the reading and leaves its result in `serviceLoss`, since the
// codes it converts to are shared with answers that leave the service usable.
DetailCode GetCardCapabilities(pcsc::PcscApi& pcsc, ChannelRecord& entry,
                               std::int32_t* serviceLoss = nullptr);

}  // namespace ostrel
