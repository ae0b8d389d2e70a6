#pragma once
// The model behind the virtual reader driver: one reader slot whose card, answers and
// attributes the test process controls. Free of pcscd, so it is tested on its own;
// the IFD handler in IfdHandler.cpp only locks it and forwards pcscd's calls.
//
// Control commands, one a line, each answered by one line ("ok ..." or "error ..."):
//   insert ATR          a card with this ATR (hex, 1 to 33 bytes) is in the slot, unpowered
//   remove              the slot is empty
//   script IN OUT       the card answers the instruction IN (exact bytes) with OUT
//   clear-script        forget every scripted answer
//   fail-next-transmit  the next transmission finds the card pulled out (the slot empties)
//   attributes on|off   answer the reader attributes, or none at all as some drivers do
//   attr ID HEX         answer attribute ID (hex or decimal) with these bytes
//   status              "ok present=P powered=P protocol=N transmits=N polls=N last=HEX"
//                       (polls: how often pcscd asked whether a card is in)

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace virtual_reader {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kMaxAtr = 33;

// Instructions the script does not know get "instruction not supported".
inline const Bytes kUnknownInstruction{0x6D, 0x00};

// Hex digits, optionally separated by blanks or colons; nothing on a malformed string.
std::optional<Bytes> parseHex(std::string_view text);
std::string toHex(const Bytes& bytes);

enum class Outcome { Ok, NoCard, NotPowered, BufferTooSmall, NoSuchAttribute };

class VirtualReader {
public:
    // `index` distinguishes readers of one driver in their channel identifier.
    explicit VirtualReader(std::uint32_t index = 0);

    // One control line in, one answer line out (without the line end).
    std::string control(std::string_view line);

    bool present() const { return m_present; }
    // pcscd's presence poll: counted, so a test can wait until pcscd looked again.
    bool poll()
    {
        ++m_polls;
        return m_present;
    }
    bool powered() const { return m_powered; }

    // Power up or warm reset: the ATR, or NoCard.
    Outcome powerUp(Bytes& atr);
    void powerDown() { m_powered = false; }
    void setProtocol(std::uint32_t protocol) { m_protocol = protocol; }

    // One instruction to the card; `capacity` is the receive buffer's size.
    Outcome transmit(const Bytes& instruction, std::size_t capacity, Bytes& answer);

    // A reader attribute, or NoSuchAttribute for an id it does not answer.
    Outcome attribute(std::uint32_t id, Bytes& value) const;

private:
    std::string insert(std::string_view atrText);

    std::uint32_t m_index;
    bool m_present = false;
    bool m_powered = false;
    bool m_failNextTransmit = false;
    bool m_attributes = true;
    std::uint32_t m_protocol = 0;
    unsigned m_transmits = 0;
    unsigned m_polls = 0;
    Bytes m_atr;
    Bytes m_lastInstruction;
    std::map<Bytes, Bytes> m_script;
    std::map<std::uint32_t, Bytes> m_attributeOverrides;
};

}  // namespace virtual_reader
