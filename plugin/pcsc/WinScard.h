#pragma once
// WinSCard behind the seam. The plug-in's rules are written against it, so every call
// passes straight through; only the reader-state record is copied in and out.

#include "pcsc/PcscApi.h"

namespace ostrel::pcsc {

class WinScard final : public PcscApi {
public:
    std::int32_t establishContext(std::uint32_t scope, Context* context) override;
    std::int32_t releaseContext(Context context) override;
    std::int32_t listReaderGroups(Context context, char* groups, std::uint32_t* length) override;
    std::int32_t listReaders(Context context, const char* groupFilter, char* readers,
                             std::uint32_t* length) override;
    std::int32_t connect(Context context, const char* reader, std::uint32_t shareMode,
                         std::uint32_t preferredProtocols, Handle* card,
                         std::uint32_t* activeProtocol) override;
    std::int32_t reconnect(Handle* card, std::uint32_t shareMode, std::uint32_t preferredProtocols,
                           std::uint32_t initialization, std::uint32_t* activeProtocol) override;
    std::int32_t disconnect(Handle card, std::uint32_t disposition) override;
    std::int32_t beginTransaction(Handle card) override;
    std::int32_t endTransaction(Handle card, std::uint32_t disposition) override;
    std::int32_t transmitT0(Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                            std::uint8_t* receive, std::uint32_t* receiveLength) override;
    std::int32_t status(Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                        std::uint32_t* atrLength) override;
    std::int32_t getStatusChange(Context context, std::uint32_t timeoutMs, ReaderState* states,
                                 std::uint32_t count) override;
    std::int32_t getAttrib(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                           std::uint32_t* length) override;
    std::int32_t introduceCardType(Context context, const char* cardName, const std::uint8_t* primaryProvider,
                                   const std::uint8_t* interfaces, std::uint32_t interfaceCount,
                                   const std::uint8_t* atr, const std::uint8_t* atrMask,
                                   std::uint32_t atrLength) override;
};

}  // namespace ostrel::pcsc
