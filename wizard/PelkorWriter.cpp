#include "PelkorWriter.h"

#include "WizardSettings.h"

#include <string>
#include <vector>

namespace calveno {

namespace {

struct Entry {
    bool present = false;
    char coupler = '1';
    char resourceDigit = '1';  // TRANSPA1 or TRANSPA2
};

struct EntryTable {
    Entry a;
    Entry b;
    bool valid = false;
    bool both() const { return a.present && b.present; }
};

EntryTable fillEntries(std::uint16_t topology, std::uint16_t r1Cps, std::uint16_t r1Ambrel)
{
    EntryTable table;
    switch (topology) {
    case kTopologyMonofente:
        table.a = {r1Cps == 1, '1', '1'};
        table.b = {r1Ambrel == 1, '1', '2'};
        break;
    case kTopologyBifente:
        table.a = {r1Cps == 1, '1', '1'};
        table.b = {r1Ambrel == 1, '2', '2'};
        break;
    case kTopologyChaines:
    case kTopologyDeuxPorts:
        // Entry A names the other reader's card.
        if (r1Cps != 0) {
            table.a = {true, '1', '2'};
            table.b = {true, '1', '1'};
        } else {
            table.a = {true, '1', '1'};
            table.b = {true, '1', '2'};
        }
        break;
    default: return table;
    }
    table.valid = table.a.present || table.b.present;
    return table;
}

// Writes the lines in order until one is not stored.
bool writeLines(LineStream& stream, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        if (!stream.writeLine(line)) return false;
    }
    return true;
}

constexpr std::string_view kCrLf = "\r\n";

std::string crlf(std::string_view text)
{
    return std::string(text) + std::string(kCrLf);
}

void appendReaderBlock(std::vector<std::string>& lines, int number, const Entry& entry, bool isEntryA)
{
    lines.push_back(crlf("[LECTEUR0" + std::to_string(number) + "]"));
    lines.push_back(crlf("TypeLecteur=KALMIRON"));
    lines.push_back(crlf(";NumCoupleur : 1 pour coupleur externe, 2 pour coupleur interne"));
    lines.push_back(crlf(std::string("NumCoupleur=") + entry.coupler));
    lines.push_back(crlf(std::string("NomRessource=TRANSPA") + entry.resourceDigit));
    // Entry A's block always ends with a line holding one space.
    if (isEntryA) lines.push_back(crlf(" "));
}

// 16 bytes as hex: 0x04, the coupler, the 8-character resource name, zeros.
std::string readerRecord(const Entry& entry)
{
    return std::string("040") + entry.coupler + "5452414E5350413" + entry.resourceDigit + "000000000000";
}

}  // namespace

bool writePelkorIni(LineStream& stream, std::uint16_t topology, std::uint16_t reader1UseCps,
                    std::uint16_t reader1UseAmbrel, std::uint16_t /*reader2UseCps*/,
                    std::uint16_t /*reader2UseAmbrel*/)
{
    const EntryTable table = fillEntries(topology, reader1UseCps, reader1UseAmbrel);
    if (!table.valid) return false;

    std::vector<std::string> lines;
    lines.push_back(crlf("[Config]"));
    lines.push_back(crlf(table.both() ? "NbLecteur=2" : "NbLecteur=1"));
    lines.push_back(crlf("Mode=NORMAL"));
    lines.push_back(crlf(""));
    if (table.both()) {
        appendReaderBlock(lines, 1, table.a, true);
        appendReaderBlock(lines, 2, table.b, false);
    } else if (table.a.present) {
        appendReaderBlock(lines, 1, table.a, true);
    } else {
        appendReaderBlock(lines, 1, table.b, false);
    }
    return writeLines(stream, lines);
}

bool writePelkorCnf(LineStream& stream, std::uint16_t topology, std::uint16_t reader1UseCps,
                    std::uint16_t reader1UseAmbrel, std::uint16_t /*reader2UseCps*/,
                    std::uint16_t /*reader2UseAmbrel*/)
{
    const EntryTable table = fillEntries(topology, reader1UseCps, reader1UseAmbrel);
    if (!table.valid) return false;

    std::vector<std::string> lines;
    for (std::string_view driver : {"DRAL", "CPS", "AMBREL1", "AMBREL2", "KALMIRON", "FIN_DRV"})
        lines.push_back(crlf(driver));
    if (table.a.present) lines.push_back(crlf(readerRecord(table.a)));
    if (table.b.present) lines.push_back(crlf(readerRecord(table.b)));
    lines.push_back(crlf("FIN_LEC"));
    const std::string closing = crlf(table.both() ? "01020000000000000000" : "01000000000000000000");
    lines.push_back(closing);
    lines.push_back(closing);
    return writeLines(stream, lines);
}

}  // namespace calveno
