#include "SummaryRows.h"

#include <array>

namespace calveno {

namespace {

enum class RowKind { Protocol, Reader, Address, Port, SerialSettings, PcscName, Ambrel, Cps };

struct RowSlot {
    int cursor;  // value of SummaryRow that produces this row
    int reader;  // 1 or 2
    RowKind kind;
};

// Reader 1's rows from cursor 0, reader 2's from 20; the protocol row is
// shown once, for both readers.
constexpr std::array kSlots{
    RowSlot{0, 1, RowKind::Protocol},       RowSlot{1, 1, RowKind::Reader},
    RowSlot{2, 1, RowKind::Address},        RowSlot{3, 1, RowKind::Port},
    RowSlot{4, 1, RowKind::SerialSettings}, RowSlot{5, 1, RowKind::PcscName},
    RowSlot{6, 1, RowKind::Ambrel},         RowSlot{7, 1, RowKind::Cps},
    RowSlot{20, 2, RowKind::Reader},        RowSlot{21, 2, RowKind::Address},
    RowSlot{22, 2, RowKind::Port},          RowSlot{23, 2, RowKind::SerialSettings},
    RowSlot{24, 2, RowKind::PcscName},      RowSlot{25, 2, RowKind::Ambrel},
    RowSlot{26, 2, RowKind::Cps},
};

bool shown(const WizardSettings& settings, const RowSlot& slot)
{
    const ReaderSettings& reader = slot.reader == 2 ? settings.reader2 : settings.reader1;
    // Reader 2 always uses reader 1's protocol.
    const bool pcsc = settings.reader1.protocol == kProtocolPcsc;
    if (slot.reader == 2 && !isTwoReaderTopology(settings.Topology)) return false;
    switch (slot.kind) {
    case RowKind::Protocol:
    case RowKind::Reader:
    case RowKind::Address: return true;
    case RowKind::Port:
    case RowKind::SerialSettings: return !pcsc;
    case RowKind::PcscName: return pcsc;
    case RowKind::Ambrel: return reader.UseAmbrel == 1;
    case RowKind::Cps: return reader.UseCps == 1;
    }
    return false;
}

SummaryLine lineFor(const WizardSettings& settings, const RowSlot& slot)
{
    const ReaderSettings& reader = slot.reader == 2 ? settings.reader2 : settings.reader1;
    switch (slot.kind) {
    case RowKind::Protocol:
        return {
            kIconProtocol, 1,
            settings.reader1.protocol == kProtocolPcsc ? "Protocole PC / SC " : "Protocole Santé Social "};
    case RowKind::Reader: return {kIconReader, 21, slot.reader == 2 ? "Lecteur 2 " : "Lecteur 1 "};
    case RowKind::Address: return {kIconAddress, 41, "Adresse physique " + reader.address};
    case RowKind::Port: return {kIconPort, 41, "Port série COM" + reader.port};
    case RowKind::SerialSettings:
        return {kIconSerialSettings, 61,
                "Configuration " + reader.speed + ", " + reader.dataBits + ", " + reader.parity + ", " +
                    reader.stopBits};
    case RowKind::PcscName: return {kIconPort, 41, "Lecteur PCSC : " + reader.pcscName};
    case RowKind::Ambrel: return {kIconResource, 41, "Ressource Ambrel"};
    case RowKind::Cps: return {kIconResource, 41, "Ressource CPS"};
    }
    return {};
}

}  // namespace

bool nextSummaryRow(WizardSettings& settings, SummaryLine& line)
{
    for (const RowSlot& slot : kSlots) {
        if (slot.cursor < settings.SummaryRow || !shown(settings, slot)) continue;
        line = lineFor(settings, slot);
        settings.SummaryRow = slot.cursor + 1;
        return true;
    }
    settings.SummaryRow = kSummaryRowEnd;
    return false;
}

std::vector<SummaryLine> summaryRows(WizardSettings& settings)
{
    std::vector<SummaryLine> rows;
    settings.SummaryRow = kSummaryRowStart;
    SummaryLine line;
    while (nextSummaryRow(settings, line)) rows.push_back(line);
    return rows;
}

}  // namespace calveno
