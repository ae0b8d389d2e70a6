#include "VirtualReader.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace virtual_reader {

namespace {

Bytes dword(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes text(std::string_view value)
{
    return Bytes(value.begin(), value.end());
}

// Reader attributes that hold still; the card's own come from the slot's state.
Bytes fixedAttribute(std::uint32_t id, std::uint32_t index, bool& known)
{
    known = true;
    switch (id) {
    case 0x10100: return text("Toolkit Virtual");
    case 0x10101: return text("Virtual T=0 reader");
    case 0x10102: return dword(0x01020003);  // 1.2, build 3
    case 0x20110: return dword(0x00F00000u | index);
    case 0x30121: return dword(3580);
    case 0x30122: return dword(4800);
    case 0x30123: return dword(9600);
    case 0x30124: return dword(115200);
    case 0x40131: return dword(1);
    case 0x60150: return dword(0);
    case 0x80205: return dword(0);
    case 0x80206: return dword(10);
    case 0x80209: return dword(0x1F40);
    case 0x8020A: return dword(13);
    default: known = false; return {};
    }
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        const std::size_t start = at;
        while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        if (at > start) result.push_back(line.substr(start, at - start));
    }
    return result;
}

std::optional<std::uint32_t> parseNumber(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<Bytes> parseHex(std::string_view text)
{
    Bytes bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == ':' || c == '\t') {
            if (high >= 0) return std::nullopt;  // a lone digit before a separator
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

std::string toHex(const Bytes& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    for (const std::uint8_t b : bytes) {
        result += kDigits[b >> 4];
        result += kDigits[b & 0x0F];
    }
    return result;
}

VirtualReader::VirtualReader(std::uint32_t index) : m_index(index) {}

std::string VirtualReader::insert(std::string_view atrText)
{
    const auto atr = parseHex(atrText);
    if (!atr || atr->empty() || atr->size() > kMaxAtr) return "error ATR must be 1 to 33 hex bytes";
    m_atr = *atr;
    m_present = true;
    m_powered = false;
    m_protocol = 0;
    return "ok";
}

std::string VirtualReader::control(std::string_view line)
{
    const auto w = words(line);
    if (w.empty()) return "error empty command";
    const std::string_view command = w[0];
    const auto arguments = w.size() - 1;
    if (command == "insert" && arguments == 1) return insert(w[1]);
    if (command == "remove" && arguments == 0) {
        m_present = false;
        m_powered = false;
        m_protocol = 0;
        return "ok";
    }
    if (command == "script" && arguments == 2) {
        const auto in = parseHex(w[1]);
        const auto out = parseHex(w[2]);
        if (!in || in->empty() || !out || out->size() < 2)
            return "error script needs IN and OUT hex, OUT of 2 bytes or more";
        m_script[*in] = *out;
        return "ok";
    }
    if (command == "clear-script" && arguments == 0) {
        m_script.clear();
        return "ok";
    }
    if (command == "fail-next-transmit" && arguments == 0) {
        m_failNextTransmit = true;
        return "ok";
    }
    if (command == "attributes" && arguments == 1 && (w[1] == "on" || w[1] == "off")) {
        m_attributes = w[1] == "on";
        return "ok";
    }
    if (command == "attr" && arguments == 2) {
        const auto id = parseNumber(w[1]);
        const auto value = parseHex(w[2]);
        if (!id || !value) return "error attr needs an id and hex bytes";
        m_attributeOverrides[*id] = *value;
        return "ok";
    }
    if (command == "status" && arguments == 0) {
        std::ostringstream out;
        out << "ok present=" << m_present << " powered=" << m_powered << " protocol=" << m_protocol
            << " transmits=" << m_transmits << " polls=" << m_polls << " last=" << toHex(m_lastInstruction);
        return out.str();
    }
    return "error unknown command or wrong arguments: " + std::string(command);
}

Outcome VirtualReader::powerUp(Bytes& atr)
{
    if (!m_present) return Outcome::NoCard;
    m_powered = true;
    atr = m_atr;
    return Outcome::Ok;
}

Outcome VirtualReader::transmit(const Bytes& instruction, std::size_t capacity, Bytes& answer)
{
    if (m_failNextTransmit) {
        // The card leaves the slot while the instruction is on its way.
        m_failNextTransmit = false;
        m_present = false;
        m_powered = false;
        return Outcome::NoCard;
    }
    if (!m_present) return Outcome::NoCard;
    if (!m_powered) return Outcome::NotPowered;
    m_lastInstruction = instruction;
    ++m_transmits;
    const auto scripted = m_script.find(instruction);
    answer = scripted != m_script.end() ? scripted->second : kUnknownInstruction;
    if (answer.size() > capacity) return Outcome::BufferTooSmall;
    return Outcome::Ok;
}

Outcome VirtualReader::attribute(std::uint32_t id, Bytes& value) const
{
    if (!m_attributes) return Outcome::NoSuchAttribute;
    if (const auto o = m_attributeOverrides.find(id); o != m_attributeOverrides.end()) {
        value = o->second;
        return Outcome::Ok;
    }
    switch (id) {
    case 0x80201: value = dword(m_powered ? m_protocol : 0); return Outcome::Ok;
    case 0x90300: value = {static_cast<std::uint8_t>(m_present ? 2 : 0)}; return Outcome::Ok;
    case 0x90301: value = {static_cast<std::uint8_t>(m_present ? 1 : 0)}; return Outcome::Ok;
    case 0x90303: value = m_present ? m_atr : Bytes{}; return Outcome::Ok;
    case 0x90304: value = {static_cast<std::uint8_t>(m_present ? 1 : 0)}; return Outcome::Ok;
    default: break;
    }
    bool known = false;
    value = fixedAttribute(id, m_index, known);
    return known ? Outcome::Ok : Outcome::NoSuchAttribute;
}

}  // namespace virtual_reader
