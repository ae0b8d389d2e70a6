#include "TuvexTemplates.h"

#include "common/ProfileFile.h"

#include <string>
#include <utility>

namespace calveno {

ProfileTuvexSink::ProfileTuvexSink(std::string path) : m_path(std::move(path)) {}

bool ProfileTuvexSink::AppendLine(std::string_view text)
{
    return common::appendRawLine(m_path.c_str(), text);
}

bool ProfileTuvexSink::writeKey(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string s(section);
    const std::string k(key);
    const std::string v(value);
    return common::writeProfileString(s.c_str(), k.c_str(), v.c_str(), m_path.c_str());
}

namespace {

constexpr std::string_view kTitleMonofente = "; Fichier de configuration du TUVEX avec un lecteur monofente";
constexpr std::string_view kTitleBifente = "; Fichier de configuration du TUVEX avec un lecteur bifente";
constexpr std::string_view kTitleChaines =
    "; Fichier de configuration du TUVEX avec deux lecteurs monofente chaines";
constexpr std::string_view kTitleDeuxPorts =
    "; Fichier de configuration du TUVEX avec deux lecteurs monofente non chaines";
// The access manager reads Windows-1252: 0xE9 is the é of "Santé".
constexpr std::string_view kCommentSerie = "; Protocole Sant\xE9-Social";
constexpr std::string_view kCommentPcsc = "; Protocole PC/SC";

enum class Card { Cps, Ambrel };

std::string channelSection(int c)
{
    return "CANAL" + std::to_string(c);
}

std::string addressSection(int c, int p)
{
    return channelSection(c) + ".PAD" + std::to_string(p);
}

std::string deviceSection(int c, int p, int l)
{
    return addressSection(c, p) + ".LAD" + std::to_string(l);
}

std::string serialCharacteristics(const ReaderSettings& reader)
{
    return reader.speed + ",1," + reader.dataBits + "," + reader.parity + "," + reader.stopBits;
}

// Accumulates one success flag over a template's writes.
class TemplateWriter {
public:
    explicit TemplateWriter(TuvexSink& sink) : m_sink(sink) {}

    bool result() const { return m_ok; }

    void line(std::string_view text) { m_ok = m_sink.AppendLine(text) && m_ok; }
    void blank() { line(""); }
    void key(const std::string& section, std::string_view key, std::string_view value)
    {
        m_ok = m_sink.writeKey(section, key, value) && m_ok;
    }

    void header(std::string_view title, std::string_view channels)
    {
        line(title);
        blank();
        key("CONFIG", "NbCanaux", channels);
        blank();
    }

    // The two-slot and two-port templates write NomLib before Config.
    void serialProtocol(bool libraryFirst)
    {
        line(kCommentSerie);
        if (libraryFirst) {
            key("PROTOCOLE0", "NomLib", "HALVANE.DLL");
            key("PROTOCOLE0", "Config", "1000,15,15000");
        } else {
            key("PROTOCOLE0", "Config", "1000,15,15000");
            key("PROTOCOLE0", "NomLib", "HALVANE.DLL");
        }
        blank();
    }

    void pcscProtocol(std::string_view channelList)
    {
        line(kCommentPcsc);
        key("PROTOCOLE1", "Config", "0");
        key("PROTOCOLE1", "NomLib", "OSTREL.DLL");
        key("PROTOCOLE1", "ListeCanaux", channelList);
        blank();
    }

    void serialChannelKeys(int c, const ReaderSettings& reader, std::string_view addresses)
    {
        const std::string section = channelSection(c);
        key(section, "TCanal", "1");
        key(section, "Index", reader.port);
        key(section, "Caracteristiques", serialCharacteristics(reader));
        key(section, "Protocole", "0");
        key(section, "NbPAD", addresses);
    }

    void pcscChannel(int c, const ReaderSettings& reader)
    {
        const std::string section = channelSection(c);
        key(section, "TCanal", "3");
        key(section, "Index", std::to_string(c));
        key(section, "Caracteristiques", reader.pcscName);
        key(section, "Protocole", "1");
        key(section, "NbPAD", "1");
        blank();
    }

    void addressKeys(int c, int p, const ReaderSettings& reader, int devices)
    {
        const std::string section = addressSection(c, p);
        key(section, "PAD", reader.address);
        key(section, "NbLAD", std::to_string(devices));
    }

    // The section number l counts devices under one address; the LAD value
    // depends only on the card.
    void device(int c, int p, int l, Card card)
    {
        const std::string section = deviceSection(c, p, l);
        const bool cps = card == Card::Cps;
        key(section, "LAD", cps ? "1" : "2");
        key(section, "NomLAD", cps ? "CPS" : "Ambrel");
        key(section, "NbAlias", "1");
        key(section, "NomAlias1", cps ? "TRANSPA1" : "TRANSPA2");
        blank();
    }

private:
    TuvexSink& m_sink;
    bool m_ok = true;
};

bool isFlag(std::uint16_t value)
{
    return value == 0 || value == 1;
}

bool flagsValid(const ReaderSettings& reader)
{
    return isFlag(reader.UseCps) && isFlag(reader.UseAmbrel);
}

// A written value must not break the file's line structure; the key writer
// puts values in verbatim, so a line break would forge lines.
bool isSafeValue(const std::string& value)
{
    return !value.empty() && value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

bool serialFieldsSafe(const ReaderSettings& reader)
{
    return isSafeValue(reader.port) && isSafeValue(reader.speed) && isSafeValue(reader.dataBits) &&
           isSafeValue(reader.parity) && isSafeValue(reader.stopBits);
}

bool pcscNameSafe(const ReaderSettings& reader)
{
    return isSafeValue(reader.pcscName) && reader.pcscName.size() <= kMaxPcscNameLength;
}

bool isKnownProtocol(std::uint16_t protocol)
{
    return protocol == kProtocolSerie || protocol == kProtocolPcsc;
}

// One CPS reader and one Ambrel reader.
bool usesSplit(const ReaderSettings& reader1, const ReaderSettings& reader2)
{
    return flagsValid(reader1) && flagsValid(reader2) && reader1.UseCps + reader1.UseAmbrel == 1 &&
           reader2.UseCps + reader2.UseAmbrel == 1 && reader1.UseCps != reader2.UseCps;
}

Card cardOf(const ReaderSettings& reader)
{
    return reader.UseCps == 1 ? Card::Cps : Card::Ambrel;
}

bool singleReaderAccepted(std::uint16_t protocol, const ReaderSettings& reader1)
{
    if (!isKnownProtocol(protocol) || !flagsValid(reader1) || reader1.UseCps + reader1.UseAmbrel == 0)
        return false;
    const bool fieldsSafe = protocol == kProtocolPcsc ? pcscNameSafe(reader1) : serialFieldsSafe(reader1);
    return fieldsSafe && isSafeValue(reader1.address);
}

// Templates 1 and 2 differ only in title, key order and the PC/SC variant.
bool writeSingleReader(TuvexSink& sink, std::string_view title, bool libraryFirst, std::uint16_t protocol,
                       const ReaderSettings& reader1)
{
    if (!singleReaderAccepted(protocol, reader1)) return false;
    const int devices = reader1.UseCps + reader1.UseAmbrel;

    TemplateWriter w(sink);
    w.header(title, "1");
    if (protocol == kProtocolPcsc) {
        w.pcscProtocol("1");
        w.pcscChannel(1, reader1);
    } else {
        w.serialProtocol(libraryFirst);
        w.serialChannelKeys(1, reader1, "1");
        w.blank();
    }
    w.addressKeys(1, 1, reader1, devices);
    w.blank();
    int l = 1;
    if (reader1.UseCps == 1) w.device(1, 1, l++, Card::Cps);
    if (reader1.UseAmbrel == 1) w.device(1, 1, l, Card::Ambrel);
    return w.result();
}

bool chainesAccepted(const ReaderSettings& reader1, const ReaderSettings& reader2)
{
    return usesSplit(reader1, reader2) && serialFieldsSafe(reader1) && isSafeValue(reader1.address) &&
           isSafeValue(reader2.address);
}

bool deuxPortsAccepted(std::uint16_t protocol, const ReaderSettings& reader1, const ReaderSettings& reader2)
{
    if (!isKnownProtocol(protocol) || !usesSplit(reader1, reader2)) return false;
    if (!isSafeValue(reader1.address) || !isSafeValue(reader2.address)) return false;
    if (protocol == kProtocolPcsc) return pcscNameSafe(reader1) && pcscNameSafe(reader2);
    return serialFieldsSafe(reader1) && serialFieldsSafe(reader2);
}

}  // namespace

bool writeTuvexMonofente(TuvexSink& sink, std::uint16_t protocol, const ReaderSettings& reader1)
{
    return writeSingleReader(sink, kTitleMonofente, false, protocol, reader1);
}

bool writeTuvexBifente(TuvexSink& sink, const ReaderSettings& reader1)
{
    return writeSingleReader(sink, kTitleBifente, true, kProtocolSerie, reader1);
}

bool writeTuvexChaines(TuvexSink& sink, const ReaderSettings& reader1, const ReaderSettings& reader2)
{
    if (!chainesAccepted(reader1, reader2)) return false;
    TemplateWriter w(sink);
    w.header(kTitleChaines, "1");
    w.serialProtocol(false);
    // One channel on reader 1's port and settings; reader 2's are not written.
    w.serialChannelKeys(1, reader1, "2");
    w.blank();
    w.addressKeys(1, 1, reader1, 1);
    w.blank();
    w.device(1, 1, 1, cardOf(reader1));
    w.addressKeys(1, 2, reader2, 1);
    w.blank();
    w.device(1, 2, 1, cardOf(reader2));
    return w.result();
}

bool writeTuvexDeuxPorts(TuvexSink& sink, std::uint16_t protocol, const ReaderSettings& reader1,
                         const ReaderSettings& reader2)
{
    if (!deuxPortsAccepted(protocol, reader1, reader2)) return false;
    TemplateWriter w(sink);
    w.header(kTitleDeuxPorts, "2");
    if (protocol == kProtocolPcsc) {
        w.pcscProtocol("1, 2");
        w.pcscChannel(1, reader1);
        w.addressKeys(1, 1, reader1, 1);
        w.blank();
        w.device(1, 1, 1, cardOf(reader1));
        w.pcscChannel(2, reader2);
        w.addressKeys(2, 1, reader2, 1);
        w.blank();
        w.device(2, 1, 1, cardOf(reader2));
    } else {
        w.serialProtocol(true);
        w.serialChannelKeys(1, reader1, "1");
        w.blank();
        w.addressKeys(1, 1, reader1, 1);
        w.blank();
        w.device(1, 1, 1, cardOf(reader1));
        // Unlike every other block, the second serial channel and its address
        // are not followed by a blank line.
        w.serialChannelKeys(2, reader2, "1");
        w.addressKeys(2, 1, reader2, 1);
        w.device(2, 1, 1, cardOf(reader2));
    }
    return w.result();
}

bool tuvexTemplateAccepts(const WizardSettings& settings)
{
    const ReaderSettings& r1 = settings.reader1;
    const ReaderSettings& r2 = settings.reader2;
    switch (settings.Topology) {
    case kTopologyMonofente: return singleReaderAccepted(r1.protocol, r1);
    case kTopologyBifente: return r1.protocol == kProtocolSerie && singleReaderAccepted(kProtocolSerie, r1);
    case kTopologyChaines: return r1.protocol == kProtocolSerie && chainesAccepted(r1, r2);
    case kTopologyDeuxPorts: return deuxPortsAccepted(r1.protocol, r1, r2);
    default: return false;
    }
}

bool writeTuvexIni(TuvexSink& sink, const WizardSettings& settings)
{
    // The two-slot and chained arrangements have no PC/SC variant; a record
    // asking for one is refused rather than written as serial.
    if (!tuvexTemplateAccepts(settings)) return false;
    const ReaderSettings& r1 = settings.reader1;
    switch (settings.Topology) {
    case kTopologyMonofente: return writeTuvexMonofente(sink, r1.protocol, r1);
    case kTopologyBifente: return writeTuvexBifente(sink, r1);
    case kTopologyChaines: return writeTuvexChaines(sink, r1, settings.reader2);
    default: return writeTuvexDeuxPorts(sink, r1.protocol, r1, settings.reader2);
    }
}

}  // namespace calveno
