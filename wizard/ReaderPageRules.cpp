#include "ReaderPageRules.h"

namespace calveno {

namespace {

ReaderSettings& currentReader(WizardSettings& settings)
{
    return settings.CurrentReader == 2 ? settings.reader2 : settings.reader1;
}

int useCount(const ReaderSettings& reader)
{
    return (reader.UseCps == 1 ? 1 : 0) + (reader.UseAmbrel == 1 ? 1 : 0);
}

}  // namespace

void prepareReaderPage(WizardSettings& settings)
{
    const bool readerTwo = settings.CurrentReader == 2;
    if (readerTwo && settings.Topology == kTopologyDeuxPorts) {
        settings.reader2.protocol = settings.reader1.protocol;
    } else if (settings.Topology == kTopologyChaines || settings.Topology == kTopologyBifente) {
        settings.reader1.protocol = kProtocolSerie;
    }
    if (readerTwo && settings.Topology == kTopologyChaines) settings.reader2.port = settings.reader1.port;
}

int validateReaderPage(WizardSettings& settings, const std::optional<std::string>& selectedPcscName)
{
    ReaderSettings& reader = currentReader(settings);
    const ReaderSettings& r1 = settings.reader1;
    const ReaderSettings& r2 = settings.reader2;

    if (r1.protocol == kProtocolPcsc) {
        if (!selectedPcscName || selectedPcscName->empty()) return kCodeNoPcscReader;
        reader.pcscName = selectedPcscName->substr(0, kMaxPcscNameLength);
    }

    if (reader.UseCps != 1 && reader.UseAmbrel != 1) return kCodeNoUse;

    if (settings.CurrentReader != 2) return 0;

    if (settings.Topology == kTopologyDeuxPorts) {
        if (r1.protocol == kProtocolPcsc) {
            if (r1.pcscName == r2.pcscName) return kCodeSamePcscReader;
        } else if (r1.port == r2.port) {
            return kCodeSamePort;
        }
    }
    if (settings.Topology == kTopologyChaines && r1.address == r2.address) return kCodeSameAddress;

    if (isTwoReaderTopology(settings.Topology)) {
        const bool split = useCount(r1) == 1 && useCount(r2) == 1 && r1.UseCps != r2.UseCps;
        if (!split) return kCodeUsesNotSplit;
    }
    return 0;
}

}  // namespace calveno
