#pragma once
// pcsc-lite behind the seam, bent to answer as WinSCard does where the plug-in's
// logic depends on the difference:
// - reader-group and reader listing without a context (pcsc-lite refuses context 0):
//   a temporary context is established and released around the call;
// - results are handed over with WinSCard's 32-bit bit patterns (pcsc-lite's LONG is
//   64-bit on 64-bit Linux, where its error codes are positive numbers);
// - no card-type database: the registration is accepted and does nothing;
// - a reconnection to direct mode without a card fails on pcsc-lite and succeeds on
//   Windows: it is redone as a disconnection and a fresh direct connection;
// - a card pulled during a transmission on a card connection reports a removed card;
// - a reader that this process holds in direct mode is reported unavailable by the
//   status-change poll, as Windows stops tracking such a reader;
// - a poll without waiting reads the reader's state as it is (or takes it from the
//   status read of the card reading just made) and derives "changed" with pcsc-lite's
//   own rules, as pcsc-lite would otherwise spin for a millisecond;
// - a direct connection to a reader another program holds is refused, as Windows
//   refuses it: on pcsc-lite it would succeed and the card the other program uses
//   would be unpowered under it;
// - card presence, contact state and ATR that the reader driver does not answer are
//   answered from one status read of the handle, and the driver is not asked again.

#include "pcsc/PcscApi.h"

#include <map>
#include <string>

namespace ostrel::pcsc {

// pcsc-lite's rules for a changed reader, applied to the reader's state as it is now
// (read with an unaware current state, its event counter in the upper half) and the
// state the caller knew.
bool changedSince(std::uint32_t known, std::uint32_t now);

}  // namespace ostrel::pcsc

namespace ostrel::pcsc {

class PcscLite final : public PcscApi {
public:
    PcscLite() = default;
    PcscLite(const PcscLite&) = delete;
    PcscLite& operator=(const PcscLite&) = delete;

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

private:
    struct Connection {
        Context context = 0;
        std::string reader;
        std::uint32_t shareMode = 0;
    };

    // One status read of a card handle, kept for the attribute reads that follow it.
    struct StatusRead {
        Handle card = 0;
        std::int32_t result = kSuccess;
        std::uint32_t state = 0;
        std::uint32_t protocol = 0;
        std::uint32_t atrLength = 0;
        std::uint8_t atr[kReaderStateAtrSize] = {};
    };

    bool heldDirect(const char* reader) const;
    bool holdsAny(const std::string& reader) const;
    // Another program holds a card connection on `reader`; only told when this object
    // holds none there, as pcsc-lite's state does not say whose connections it counts.
    bool heldByAnother(Context context, const char* reader);
    std::int32_t pollWithoutWaiting(Context context, ReaderState* states, std::uint32_t count);
    // A poll of one reader answered from the card reading just made; false when none.
    bool answerFromStatus(ReaderState& state) const;
    std::int32_t attributeFromStatus(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                     std::uint32_t* length);
    const StatusRead& readStatusOnce(Handle card, bool fresh);
    void forgetStatus() { m_status.card = 0; }

    // Every card handle this object opened, so the emulations above know the reader
    // and the share mode behind a handle.
    std::map<Handle, Connection> m_connections;
    // Per reader, the card attributes its driver refused (one bit per attribute).
    std::map<std::string, std::uint32_t> m_refused;
    // Presence starts a card reading; contacts and ATR then come from the same status
    // read, so one reading costs one SCardStatus. Any other call forgets it.
    StatusRead m_status;
};

}  // namespace ostrel::pcsc
