#include "FakePcsc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ostrel::test {

namespace {

std::string hexNumber(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string quoted(const char* text)
{
    return text == nullptr ? std::string("null") : "\"" + std::string(text) + "\"";
}

}  // namespace

Reply fail(std::int32_t result)
{
    return Reply{result, {}, 0};
}

Reply bytes(std::vector<std::uint8_t> data)
{
    return Reply{pcsc::kSuccess, std::move(data)};
}

Reply number(std::uint32_t value)
{
    return bytes({static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                  static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

Reply names(const std::vector<std::string>& list)
{
    std::vector<std::uint8_t> data;
    for (const std::string& name : list) {
        data.insert(data.end(), name.begin(), name.end());
        data.push_back(0);
    }
    data.push_back(0);
    return bytes(std::move(data));
}

std::string hex(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", data[i]);
        text += pair;
    }
    return text;
}

void FakePcsc::setDefault(const std::string& operation, Reply reply)
{
    m_defaults[operation] = std::move(reply);
}

void FakePcsc::queue(const std::string& operation, Reply reply)
{
    m_queued[operation].push_back(std::move(reply));
}

std::string FakePcsc::attribute(std::uint32_t id)
{
    return "GetAttrib " + hexNumber(id);
}

std::vector<std::string> FakePcsc::callsOf(const std::string& operation) const
{
    std::vector<std::string> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [&](const std::string& call) { return call.rfind(operation + "(", 0) == 0; });
    return found;
}

int FakePcsc::openTransactions() const
{
    int open = 0;
    for (const auto& [card, count] : transactions) open += count;
    return open;
}

Reply FakePcsc::next(const std::string& operation)
{
    auto queued = m_queued.find(operation);
    if (queued != m_queued.end() && !queued->second.empty()) {
        Reply reply = queued->second.front();
        queued->second.pop_front();
        return reply;
    }
    auto fallback = m_defaults.find(operation);
    return fallback != m_defaults.end() ? fallback->second : Reply{};
}

std::int32_t FakePcsc::deliver(const Reply& reply, std::uint8_t* buffer, std::uint32_t* length)
{
    if (reply.result != pcsc::kSuccess) return reply.result;
    const auto size = static_cast<std::uint32_t>(reply.data.size());
    if (size > *length) {
        *length = size;
        return pcsc::kInsufficientBuffer;
    }
    std::copy(reply.data.begin(), reply.data.end(), buffer);
    *length = size;
    return pcsc::kSuccess;
}

std::int32_t FakePcsc::establishContext(std::uint32_t scope, pcsc::Context* context)
{
    calls.push_back("EstablishContext(" + std::to_string(scope) + ")");
    const Reply reply = next("EstablishContext");
    *context = reply.result == pcsc::kSuccess ? m_nextContext++ : 0;
    if (*context != 0) openContexts.insert(*context);
    return reply.result;
}

std::int32_t FakePcsc::releaseContext(pcsc::Context context)
{
    calls.push_back("ReleaseContext(" + hexNumber(context) + ")");
    const std::int32_t result = next("ReleaseContext").result;
    if (result == pcsc::kSuccess) openContexts.erase(context);
    return result;
}

std::int32_t FakePcsc::listReaderGroups(pcsc::Context context, char* groups, std::uint32_t* length)
{
    calls.push_back("ListReaderGroups(" + hexNumber(context) + ", " + std::to_string(*length) + ")");
    return deliver(next("ListReaderGroups"), reinterpret_cast<std::uint8_t*>(groups), length);
}

std::int32_t FakePcsc::listReaders(pcsc::Context context, const char* groupFilter, char* readers,
                                   std::uint32_t* length)
{
    calls.push_back("ListReaders(" + hexNumber(context) + ", " + quoted(groupFilter) + ", " +
                    std::to_string(*length) + ")");
    return deliver(next("ListReaders"), reinterpret_cast<std::uint8_t*>(readers), length);
}

std::int32_t FakePcsc::connect(pcsc::Context context, const char* reader, std::uint32_t shareMode,
                               std::uint32_t preferredProtocols, pcsc::Handle* card,
                               std::uint32_t* activeProtocol)
{
    calls.push_back("Connect(" + hexNumber(context) + ", " + quoted(reader) + ", " +
                    std::to_string(shareMode) + ", " + std::to_string(preferredProtocols) + ")");
    const Reply reply = next("Connect");
    if (reply.result != pcsc::kSuccess) {
        *card = 0;
        return reply.result;
    }
    *card = m_nextHandle++;
    openHandles.insert(*card);
    *activeProtocol = reply.value;
    return pcsc::kSuccess;
}

std::int32_t FakePcsc::reconnect(pcsc::Handle* card, std::uint32_t shareMode,
                                 std::uint32_t preferredProtocols, std::uint32_t initialization,
                                 std::uint32_t* activeProtocol)
{
    calls.push_back("Reconnect(" + hexNumber(*card) + ", " + std::to_string(shareMode) + ", " +
                    std::to_string(preferredProtocols) + ", " + std::to_string(initialization) + ")");
    const Reply reply = next("Reconnect");
    if (reply.result == pcsc::kSuccess) *activeProtocol = reply.value;
    return reply.result;
}

std::int32_t FakePcsc::disconnect(pcsc::Handle card, std::uint32_t disposition)
{
    calls.push_back("Disconnect(" + hexNumber(card) + ", " + std::to_string(disposition) + ")");
    const std::int32_t result = next("Disconnect").result;
    if (result == pcsc::kSuccess) openHandles.erase(card);
    transactions.erase(card);
    return result;
}

std::int32_t FakePcsc::beginTransaction(pcsc::Handle card)
{
    calls.push_back("BeginTransaction(" + hexNumber(card) + ")");
    const std::int32_t result = next("BeginTransaction").result;
    if (result == pcsc::kSuccess) ++transactions[card];
    return result;
}

std::int32_t FakePcsc::endTransaction(pcsc::Handle card, std::uint32_t disposition)
{
    calls.push_back("EndTransaction(" + hexNumber(card) + ", " + std::to_string(disposition) + ")");
    const std::int32_t result = next("EndTransaction").result;
    if (result != pcsc::kSuccess) return result;
    const auto open = transactions.find(card);
    if (open == transactions.end() || open->second == 0) return pcsc::kNotTransacted;
    if (--open->second == 0) transactions.erase(open);
    return result;
}

std::int32_t FakePcsc::transmitT0(pcsc::Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                                  std::uint8_t* receive, std::uint32_t* receiveLength)
{
    calls.push_back("TransmitT0(" + hexNumber(card) + ", [" + hex(send, sendLength) + "], " +
                    std::to_string(*receiveLength) + ")");
    return deliver(next("TransmitT0"), receive, receiveLength);
}

std::int32_t FakePcsc::status(pcsc::Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                              std::uint32_t* atrLength)
{
    calls.push_back("Status(" + hexNumber(card) + ", " + std::to_string(*atrLength) + ")");
    const Reply reply = next("Status");
    if (reply.result == pcsc::kSuccess) *activeProtocol = reply.value;
    return deliver(reply, atr, atrLength);
}

std::int32_t FakePcsc::getStatusChange(pcsc::Context context, std::uint32_t timeoutMs,
                                       pcsc::ReaderState* states, std::uint32_t count)
{
    std::string call = "GetStatusChange(" + hexNumber(context) + ", " + std::to_string(timeoutMs);
    for (std::uint32_t i = 0; i < count; ++i)
        call += ", {" + quoted(states[i].reader) + ", " + hexNumber(states[i].currentState) + ", " +
                hexNumber(states[i].eventState) + "}";
    calls.push_back(call + ")");
    const Reply reply = next("GetStatusChange");
    if (reply.result == pcsc::kSuccess) {
        for (std::uint32_t i = 0; i < count; ++i) {
            states[i].eventState = reply.value;
            states[i].atrLength = static_cast<std::uint32_t>(
                std::min<std::size_t>(reply.data.size(), pcsc::kReaderStateAtrSize));
            std::copy_n(reply.data.begin(), states[i].atrLength, states[i].atr);
        }
    }
    return reply.result;
}

std::int32_t FakePcsc::getAttrib(pcsc::Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                 std::uint32_t* length)
{
    calls.push_back("GetAttrib(" + hexNumber(card) + ", " + hexNumber(attributeId) + ", " +
                    std::to_string(*length) + ")");
    return deliver(next(attribute(attributeId)), buffer, length);
}

std::int32_t FakePcsc::introduceCardType(pcsc::Context context, const char* cardName,
                                         const std::uint8_t* primaryProvider, const std::uint8_t* interfaces,
                                         std::uint32_t interfaceCount, const std::uint8_t* atr,
                                         const std::uint8_t* atrMask, std::uint32_t atrLength)
{
    // An interface list of count 0 is still shown by its first identifier, so a test
    // sees what was passed.
    calls.push_back("IntroduceCardType(" + hexNumber(context) + ", " + quoted(cardName) + ", [" +
                    hex(primaryProvider, 16) + "], [" +
                    (interfaces == nullptr ? std::string("null") : hex(interfaces, 16)) + "], " +
                    std::to_string(interfaceCount) + ", [" + hex(atr, atrLength) + "], " +
                    (atrMask == nullptr ? std::string("null") : "[" + hex(atrMask, atrLength) + "]") + ", " +
                    std::to_string(atrLength) + ")");
    return next("IntroduceCardType").result;
}

}  // namespace ostrel::test
