#include "Atr.h"

#include "CardTypeTable.h"

#include <cstdio>
#include <cstring>

namespace tuvex_host {

namespace {

// ISO/IEC 7816-3 table 7: clock rate conversion factor Fi with its maximum clock, and
// baud rate adjustment factor Di; 0 stands for a reserved value.
constexpr unsigned kFi[16] = {372, 372, 558, 744, 1116, 1488, 1860, 0, 0, 512, 768, 1024, 1536, 2048, 0, 0};
constexpr const char* kFmax[16] = {"4", "5", "6",   "8",  "12", "16", "20", "",
                                   "",  "5", "7.5", "10", "15", "20", "",   ""};
constexpr unsigned kDi[16] = {0, 1, 2, 4, 8, 16, 32, 64, 12, 20, 0, 0, 0, 0, 0, 0};

std::string taMeaning(unsigned i, std::uint8_t value, unsigned protocol)
{
    if (i == 1) {
        const unsigned fi = kFi[value >> 4];
        const unsigned di = kDi[value & 0x0F];
        if (fi == 0 || di == 0) return "Fi/Di reserved value";
        return "Fi=" + std::to_string(fi) + ", Di=" + std::to_string(di) + ", clock up to " +
               kFmax[value >> 4] + " MHz";
    }
    if (i == 2)
        return std::string("specific mode, protocol T=") + std::to_string(value & 0x0F) +
               ((value & 0x10) != 0 ? ", Fi/Di implicit" : ", Fi/Di from TA1");
    if (protocol == 1) return "IFSC " + std::to_string(value) + " bytes";
    return "protocol-specific";
}

std::string tbMeaning(unsigned i, std::uint8_t value, unsigned protocol)
{
    if (i == 1) return value == 0 ? "no programming voltage" : "programming voltage (deprecated)";
    if (i == 2) return "programming voltage (deprecated)";
    if (protocol == 1) return "BWI " + std::to_string(value >> 4) + ", CWI " + std::to_string(value & 0x0F);
    return "protocol-specific";
}

std::string tcMeaning(unsigned i, std::uint8_t value, unsigned protocol)
{
    if (i == 1)
        return value == 255 ? "extra guard time: minimum" : "extra guard time N=" + std::to_string(value);
    if (i == 2) return "work waiting integer WI=" + std::to_string(value) + " (T=0)";
    if (protocol == 1) return (value & 1) != 0 ? "error detection CRC" : "error detection LRC";
    return "protocol-specific";
}

}  // namespace

AtrDecoding decodeAtr(const Bytes& atr)
{
    AtrDecoding d;
    std::size_t at = 0;
    const auto next = [&](const std::string& name, std::string meaning) -> bool {
        if (at >= atr.size()) {
            if (d.error.empty()) d.error = "the ATR ends before " + name;
            return false;
        }
        d.bytes.push_back({name, atr[at++], std::move(meaning)});
        return true;
    };
    if (atr.empty()) {
        d.error = "empty ATR";
        return d;
    }
    const std::uint8_t ts = atr[0];
    next("TS", ts == 0x3B   ? "direct convention"
               : ts == 0x3F ? "inverse convention"
                            : "not a valid TS (3B direct or 3F inverse)");
    if (ts != 0x3B && ts != 0x3F) d.error = "TS is neither 3B nor 3F";
    if (at >= atr.size()) {
        next("T0", "");
        return d;
    }
    const std::uint8_t t0 = atr[at];
    const unsigned historicalCount = t0 & 0x0F;
    next("T0", std::to_string(historicalCount) + " historical bytes");
    std::uint8_t y = t0 >> 4;
    unsigned protocol = 0;  // the protocol the bytes of the current group concern
    bool needsTck = false;
    for (unsigned i = 1; y != 0; ++i) {
        const std::string n = std::to_string(i);
        if ((y & 1) != 0 && !next("TA" + n, at < atr.size() ? taMeaning(i, atr[at], protocol) : "")) return d;
        if ((y & 2) != 0 && !next("TB" + n, at < atr.size() ? tbMeaning(i, atr[at], protocol) : "")) return d;
        if ((y & 4) != 0 && !next("TC" + n, at < atr.size() ? tcMeaning(i, atr[at], protocol) : "")) return d;
        if ((y & 8) == 0) break;
        if (at >= atr.size()) {
            next("TD" + n, "");  // records that the ATR ends here
            return d;
        }
        const std::uint8_t td = atr[at];
        protocol = td & 0x0F;
        if (protocol != 0) needsTck = true;
        // TD1 names the first protocol offered; a later TD with T=15 carries global bytes.
        if (protocol != 15 && (d.protocols.empty() || d.protocols.back() != protocol))
            d.protocols.push_back(protocol);
        next("TD" + n, "protocol T=" + std::to_string(protocol) + (protocol == 15 ? " (global bytes)" : ""));
        y = td >> 4;
    }
    if (d.protocols.empty()) d.protocols.push_back(0);
    if (atr.size() - at < historicalCount) {
        d.error = "the ATR ends inside its historical bytes";
        d.historical.assign(atr.begin() + static_cast<long>(at), atr.end());
        return d;
    }
    d.historical.assign(atr.begin() + static_cast<long>(at),
                        atr.begin() + static_cast<long>(at + historicalCount));
    at += historicalCount;
    if (needsTck) {
        if (at >= atr.size()) {
            d.error = "the ATR ends before TCK, which a protocol other than T=0 requires";
            return d;
        }
        std::uint8_t check = 0;
        for (std::size_t i = 1; i <= at; ++i) check ^= atr[i];
        d.tckPresent = true;
        d.tckCorrect = check == 0;
        char expected[8];
        std::snprintf(expected, sizeof expected, "%02X", static_cast<unsigned>(check ^ atr[at]));
        next("TCK",
             d.tckCorrect ? "check byte correct" : std::string("check byte wrong: expected ") + expected);
    }
    if (at < atr.size()) d.error = std::to_string(atr.size() - at) + " bytes after the end of the ATR";

    const ostrel::CardTypeRow& row = ostrel::findCardType(atr.data(), static_cast<std::uint32_t>(atr.size()));
    d.recognised = ostrel::atrLengthOf(row) != 0;
    d.cardType = std::string(row.cardName, strnlen(row.cardName, sizeof row.cardName));
    d.issuer = std::string(row.issuer, strnlen(row.issuer, sizeof row.issuer));
    return d;
}

std::string atrText(const AtrDecoding& d)
{
    std::string text;
    for (const AtrByte& b : d.bytes) {
        std::string line = "  " + b.name;
        line.resize(7, ' ');
        text += line + toHex(Bytes{b.value}) + "  " + b.meaning + "\n";
    }
    std::string protocols;
    for (const unsigned p : d.protocols) protocols += (protocols.empty() ? "T=" : ", T=") + std::to_string(p);
    text += "  protocols: " + protocols + "\n";
    text +=
        "  historical bytes: " + (d.historical.empty() ? std::string("none") : toHex(d.historical)) + "\n";
    text += std::string("  TCK: ") +
            (!d.tckPresent  ? "absent (T=0 only)"
             : d.tckCorrect ? "present, correct"
                            : "present, WRONG") +
            "\n";
    if (!d.error.empty()) text += "  malformed: " + d.error + "\n";
    text += "  card type: " +
            (d.recognised ? d.cardType + " (" + d.issuer + ")" : std::string("not recognised")) + "\n";
    return text;
}

}  // namespace tuvex_host
