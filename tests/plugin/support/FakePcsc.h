#pragma once
// A scripted PC/SC service for tests. Every call is recorded as one line of text with
// its arguments (handles and contexts as the fake numbered them), and every answer can
// be chosen: a default per operation, or queued one-off answers that come first
// ("the third transmit answers removed card" is two queued successes and a failure).

#include "pcsc/PcscApi.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ostrel::test {

struct Reply {
    std::int32_t result = pcsc::kSuccess;
    // Bytes handed back: a multi-string list, an attribute, an ATR, a card answer.
    std::vector<std::uint8_t> data;
    // A number handed back: the active protocol, or the event state of a poll.
    std::uint32_t value = pcsc::kProtocolT0;
};

Reply fail(std::int32_t result);
Reply bytes(std::vector<std::uint8_t> data);
// A little-endian 32-bit attribute.
Reply number(std::uint32_t value);
// A multi-string list: each name zero-terminated, then one more zero.
Reply names(const std::vector<std::string>& list);

class FakePcsc final : public pcsc::PcscApi {
public:
    // Operation keys are the method names ("ListReaders", "Connect", ...); attribute
    // reads use "GetAttrib 0x90300" with the attribute identifier in hexadecimal.
    void setDefault(const std::string& operation, Reply reply);
    void queue(const std::string& operation, Reply reply);
    static std::string attribute(std::uint32_t id);

    std::vector<std::string> calls;
    // Contexts established and not released, card handles connected and not
    // disconnected (a failed release or disconnection leaves them open).
    std::set<pcsc::Context> openContexts;
    std::set<pcsc::Handle> openHandles;
    // Transactions begun and not ended per handle, counted as pcsc-lite counts them:
    // they nest, a reconnection keeps them, a disconnection ends them all, and an end
    // with none open answers "not transacted" whatever was scripted.
    std::map<pcsc::Handle, int> transactions;
    int openTransactions() const;
    // Every call of one operation, in order.
    std::vector<std::string> callsOf(const std::string& operation) const;

    std::int32_t establishContext(std::uint32_t scope, pcsc::Context* context) override;
    std::int32_t releaseContext(pcsc::Context context) override;
    std::int32_t listReaderGroups(pcsc::Context context, char* groups, std::uint32_t* length) override;
    std::int32_t listReaders(pcsc::Context context, const char* groupFilter, char* readers,
                             std::uint32_t* length) override;
    std::int32_t connect(pcsc::Context context, const char* reader, std::uint32_t shareMode,
                         std::uint32_t preferredProtocols, pcsc::Handle* card,
                         std::uint32_t* activeProtocol) override;
    std::int32_t reconnect(pcsc::Handle* card, std::uint32_t shareMode, std::uint32_t preferredProtocols,
                           std::uint32_t initialization, std::uint32_t* activeProtocol) override;
    std::int32_t disconnect(pcsc::Handle card, std::uint32_t disposition) override;
    std::int32_t beginTransaction(pcsc::Handle card) override;
    std::int32_t endTransaction(pcsc::Handle card, std::uint32_t disposition) override;
    std::int32_t transmitT0(pcsc::Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                            std::uint8_t* receive, std::uint32_t* receiveLength) override;
    std::int32_t status(pcsc::Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                        std::uint32_t* atrLength) override;
    std::int32_t getStatusChange(pcsc::Context context, std::uint32_t timeoutMs, pcsc::ReaderState* states,
                                 std::uint32_t count) override;
    std::int32_t getAttrib(pcsc::Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                           std::uint32_t* length) override;
    std::int32_t introduceCardType(pcsc::Context context, const char* cardName,
                                   const std::uint8_t* primaryProvider, const std::uint8_t* interfaces,
                                   std::uint32_t interfaceCount, const std::uint8_t* atr,
                                   const std::uint8_t* atrMask, std::uint32_t atrLength) override;

private:
    Reply next(const std::string& operation);
    // Copies a reply's bytes as the real service does: too small a buffer gets
    // nothing and an insufficient-buffer result, with the needed length.
    std::int32_t deliver(const Reply& reply, std::uint8_t* buffer, std::uint32_t* length);

    std::map<std::string, Reply> m_defaults;
    std::map<std::string, std::deque<Reply>> m_queued;
    pcsc::Context m_nextContext = 0x100;
    pcsc::Handle m_nextHandle = 0x200;
};

std::string hex(const std::uint8_t* data, std::size_t size);

}  // namespace ostrel::test
