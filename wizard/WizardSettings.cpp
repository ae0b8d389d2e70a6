#include "WizardSettings.h"

namespace calveno {

WizardSettings defaultWizardSettings()
{
    WizardSettings settings;
    settings.Topology = kTopologyMonofente;
    settings.CurrentReader = 0;
    settings.MakeCnf = 0;
    settings.SummaryRow = 0;

    ReaderSettings& r1 = settings.reader1;
    r1.protocol = kProtocolSerie;
    r1.port = "1";
    r1.speed = "9600";
    r1.dataBits = "8";
    r1.parity = "0";
    r1.stopBits = "0";
    r1.address = "2";
    r1.UseCps = 1;
    r1.UseAmbrel = 1;

    ReaderSettings& r2 = settings.reader2;
    r2.protocol = kProtocolSerie;
    r2.port = "2";
    r2.speed = "9600";
    r2.dataBits = "8";
    r2.parity = "0";
    r2.stopBits = "0";
    r2.address = "1";
    r2.UseCps = 0;
    r2.UseAmbrel = 1;
    return settings;
}

bool isKnownTopology(std::uint16_t topology)
{
    return topology == kTopologyMonofente || topology == kTopologyBifente || topology == kTopologyChaines ||
           topology == kTopologyDeuxPorts;
}

bool isTwoReaderTopology(std::uint16_t topology)
{
    return topology == kTopologyChaines || topology == kTopologyDeuxPorts;
}

bool applyTopologyChoice(WizardSettings& settings, std::uint16_t topology)
{
    if (!isKnownTopology(topology)) return false;
    settings.Topology = topology;
    switch (topology) {
    case kTopologyBifente:
        settings.reader1.UseAmbrel = 1;
        settings.reader1.UseCps = 1;
        break;
    case kTopologyChaines:
    case kTopologyDeuxPorts:
        // Reader 1 becomes the Ambrel reader, reader 2 the CPS reader.
        settings.reader1.UseAmbrel = 1;
        settings.reader1.UseCps = 0;
        settings.reader2.UseAmbrel = 0;
        settings.reader2.UseCps = 1;
        if (topology == kTopologyChaines)
            settings.reader2.port = "1";
        else
            settings.reader2.address = "2";
        break;
    default: break;
    }
    return true;
}

}  // namespace calveno
