#pragma once
// Every arrangement, protocol variant and use combination the wizard can
// produce, as settings for the core and as a calveno-batch command line that
// must give the same files. Several cases move serial values and addresses
// off their defaults so a field written from the wrong reader shows.

#include "TestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace calveno::test {

struct GoldenCase {
    std::string tuvexGolden;   // expected tuvex.ini
    std::string pelkorGolden;  // expected pelkor.ini / pelkor.cnf, without the extension
    std::function<WizardSettings()> settings;
    std::vector<std::string> batchArgs;
};

inline ReaderSettings& withSerial(ReaderSettings& reader, const char* port, const char* speed,
                                  const char* bits, const char* parity, const char* stop)
{
    reader.port = port;
    reader.speed = speed;
    reader.dataBits = bits;
    reader.parity = parity;
    reader.stopBits = stop;
    return reader;
}

inline std::vector<GoldenCase> goldenCases()
{
    return {
        {"tuvex-monofente-serie-cps-ambrel.ini",
         "pelkor-monofente-cps-ambrel",
         [] { return defaultWizardSettings(); },
         {}},
        {"tuvex-monofente-serie-cps.ini",
         "pelkor-monofente-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyMonofente);
             withSerial(s.reader1, "3", "19200", "8", "2", "1").address = "5";
             s.reader1.UseAmbrel = 0;
             return s;
         },
         {"--topology", "5017", "--r1-port", "3", "--r1-speed", "19200", "--r1-parity", "2", "--r1-stop", "1",
          "--r1-address", "5", "--r1-ambrel", "0"}},
        {"tuvex-monofente-serie-ambrel.ini",
         "pelkor-monofente-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyMonofente);
             withSerial(s.reader1, "2", "9600", "5", "1", "2").address = "0";
             s.reader1.UseCps = 0;
             return s;
         },
         {"--r1-port", "2", "--r1-bits", "5", "--r1-parity", "1", "--r1-stop", "2", "--r1-address", "0",
          "--r1-cps", "0"}},
        {"tuvex-monofente-pcsc-cps-ambrel.ini",
         "pelkor-monofente-cps-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyMonofente);
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName = "Gemalto USB SmartCard Reader 00 00";
             return s;
         },
         {"--topology", "monofente", "--protocol", "pcsc", "--r1-name",
          "Gemalto USB SmartCard Reader 00 00"}},
        {"tuvex-monofente-pcsc-cps.ini",
         "pelkor-monofente-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyMonofente);
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName = "ACME Reader, Slot 1 (CPS), 9600";
             s.reader1.address = "4";
             s.reader1.UseAmbrel = 0;
             return s;
         },
         {"--protocol", "pcsc", "--r1-name", "ACME Reader, Slot 1 (CPS), 9600", "--r1-address", "4",
          "--r1-ambrel", "0"}},
        {"tuvex-monofente-pcsc-ambrel.ini",
         "pelkor-monofente-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyMonofente);
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName = "Lecteur Ambrel 0";
             s.reader1.UseCps = 0;
             return s;
         },
         {"--protocol", "pcsc", "--r1-name", "Lecteur Ambrel 0", "--r1-cps", "0"}},
        {"tuvex-bifente-serie-cps-ambrel.ini",
         "pelkor-bifente-cps-ambrel",
         [] { return settingsFor(kTopologyBifente); },
         {"--topology", "bifente"}},
        {"tuvex-bifente-serie-cps.ini",
         "pelkor-bifente-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyBifente);
             withSerial(s.reader1, "4", "19200", "8", "0", "0").address = "3";
             s.reader1.UseAmbrel = 0;
             return s;
         },
         {"--topology", "bifente", "--r1-port", "4", "--r1-speed", "19200", "--r1-address", "3",
          "--r1-ambrel", "0"}},
        {"tuvex-bifente-serie-ambrel.ini",
         "pelkor-bifente-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyBifente);
             withSerial(s.reader1, "2", "9600", "5", "2", "1").address = "8";
             s.reader1.UseCps = 0;
             return s;
         },
         {"--topology", "5014", "--r1-port", "2", "--r1-bits", "5", "--r1-parity", "2", "--r1-stop", "1",
          "--r1-address", "8", "--r1-cps", "0"}},
        {"tuvex-chaines-serie-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyChaines);
             withSerial(s.reader1, "2", "19200", "8", "0", "0");
             s.reader2.port = "2";
             return s;
         },
         {"--topology", "chaines", "--r1-port", "2", "--r1-speed", "19200"}},
        {"tuvex-chaines-serie-cps-ambrel.ini",
         "pelkor-deux-lecteurs-r1-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyChaines);
             withSerial(s.reader1, "1", "9600", "5", "1", "2").address = "0";
             s.reader1.UseCps = 1;
             s.reader1.UseAmbrel = 0;
             s.reader2.UseCps = 0;
             s.reader2.UseAmbrel = 1;
             s.reader2.address = "7";
             s.reader2.speed = "19200";
             return s;
         },
         {"--topology",   "5016", "--r1-cps",     "1", "--r1-ambrel", "0",    "--r2-cps",  "0",
          "--r2-ambrel",  "1",    "--r1-bits",    "5", "--r1-parity", "1",    "--r1-stop", "2",
          "--r1-address", "0",    "--r2-address", "7", "--r2-speed",  "19200"}},
        {"tuvex-deux-ports-serie-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyDeuxPorts);
             s.reader2.speed = "19200";
             s.reader2.parity = "1";
             return s;
         },
         {"--topology", "deux-ports", "--r2-speed", "19200", "--r2-parity", "1"}},
        {"tuvex-deux-ports-serie-cps-ambrel.ini",
         "pelkor-deux-lecteurs-r1-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyDeuxPorts);
             withSerial(s.reader1, "3", "19200", "8", "2", "2").address = "1";
             withSerial(s.reader2, "4", "9600", "5", "0", "1").address = "6";
             s.reader1.UseCps = 1;
             s.reader1.UseAmbrel = 0;
             s.reader2.UseCps = 0;
             s.reader2.UseAmbrel = 1;
             return s;
         },
         {"--topology",  "5015", "--r1-cps",     "1", "--r1-ambrel", "0",     "--r2-cps",    "0",
          "--r2-ambrel", "1",    "--r1-port",    "3", "--r1-speed",  "19200", "--r1-parity", "2",
          "--r1-stop",   "2",    "--r1-address", "1", "--r2-port",   "4",     "--r2-bits",   "5",
          "--r2-stop",   "1",    "--r2-address", "6"}},
        {"tuvex-deux-ports-pcsc-ambrel-cps.ini",
         "pelkor-deux-lecteurs-r1-ambrel",
         [] {
             WizardSettings s = settingsFor(kTopologyDeuxPorts);
             s.reader1.protocol = s.reader2.protocol = kProtocolPcsc;
             s.reader1.pcscName = "Reader A 00 00";
             s.reader2.pcscName = "Reader B 01 00";
             return s;
         },
         {"--topology", "deux-ports", "--protocol", "pcsc", "--r1-name", "Reader A 00 00", "--r2-name",
          "Reader B 01 00"}},
        {"tuvex-deux-ports-pcsc-cps-ambrel.ini",
         "pelkor-deux-lecteurs-r1-cps",
         [] {
             WizardSettings s = settingsFor(kTopologyDeuxPorts);
             s.reader1.protocol = s.reader2.protocol = kProtocolPcsc;
             s.reader1.pcscName = "Vendor, Model [CPS] 0";
             s.reader2.pcscName = "Vendor, Model [Ambrel] 1";
             s.reader1.address = "3";
             s.reader2.address = "5";
             s.reader1.UseCps = 1;
             s.reader1.UseAmbrel = 0;
             s.reader2.UseCps = 0;
             s.reader2.UseAmbrel = 1;
             return s;
         },
         {"--topology",   "deux-ports",
          "--protocol",   "pcsc",
          "--r1-name",    "Vendor, Model [CPS] 0",
          "--r2-name",    "Vendor, Model [Ambrel] 1",
          "--r1-address", "3",
          "--r2-address", "5",
          "--r1-cps",     "1",
          "--r1-ambrel",  "0",
          "--r2-cps",     "0",
          "--r2-ambrel",  "1"}},
    };
}

}  // namespace calveno::test
