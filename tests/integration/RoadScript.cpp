#include "RoadScript.h"

#include "PcscdTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace integration {

namespace {

const std::string kPresence = "exchange 1 00001600";
const std::string kPowerOn = "exchange 1 00001400";
// Card instruction, counter not checked: read two bytes.
const std::string kRead = "exchange 1 0000000000B0000002";

std::string readerAction(virtual_reader::PrivatePcscd& pcscd, const std::string& command)
{
    std::istringstream in(command);
    std::string word;
    std::string verb;
    std::size_t reader = 0;
    in >> word >> verb >> reader;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (reader >= pcscd.readerCount()) return "no reader " + std::to_string(reader);
    const auto ok = [](bool done) { return std::string(done ? "ok" : "failed"); };
    if (verb == "insert") return ok(pcscd.insertCard(reader, rest));
    if (verb == "remove") return ok(pcscd.removeCard(reader));
    if (verb == "replace") return ok(pcscd.replaceCard(reader, rest));
    if (verb == "wait-absent") return ok(pcscd.waitForCard(reader, false));
    if (verb == "control") return ok(pcscd.control(reader).ok(rest));
    if (verb == "status-has") {
        const std::string status = pcscd.control(reader).send("status");
        return status.find(rest) != std::string::npos ? "yes" : "no: " + status;
    }
    return "unknown reader action " + verb;
}

}  // namespace

const std::vector<RoadStep>& patientCardRoad()
{
    const std::string ambrel = kAmbrelAtr;
    const std::string cps2 = kCps2TestAtr;
    // The reader's driver version 1.2, BWT 0x1F40, W 10 and 4800 kHz (rounded up to
    // 5 MHz), the rest of the 27 bytes 0xFF.
    const std::string selfTest =
        "0000 001234010"
        "21F40000A05000000" +
        std::string(28, 'F');
    static const std::vector<RoadStep> steps = {
        {"a patient card in reader A", "reader insert 0 " + ambrel, "ok"},
        {"the card's answer to a read", "reader control 0 script 00B0000002 12349000", "ok"},
        {"initialisation", "init 1 {config}", "0000"},
        {"connection", "connect 1", "0000"},
        {"exclusivity", "exclusive 1 0", "0000"},
        {"presence", kPresence, "0000 000103"},
        {"power-on with the ATR", kPowerOn, "0000 000304" + ambrel},
        {"card instruction", kRead, "0000 00030412349000"},
        {"a read of length 0 reaches the card as four bytes", "exchange 1 0000000400B0000000",
         "0000 0003046D00"},
        {"the card saw four bytes", "reader status-has 0 last=00B00000", "yes"},
        {"a stale counter is refused", "exchange 1 0000000300B0000002", "0000 160304"},
        {"without reaching the card", "reader status-has 0 transmits=2 ", "yes"},
        {"self test", "exchange 1 00001200", selfTest},
        {"the card pulled during the next instruction", "reader control 0 fail-next-transmit", "ok"},
        {"removal during an instruction", kRead, "0000 160005"},
        {"pcscd saw the removal", "reader wait-absent 0", "ok"},
        {"presence without a card", kPresence, "0000 000005"},
        {"instruction without a card", kRead, "0000 170005"},
        {"the same card again", "reader insert 0 " + ambrel, "ok"},
        {"the same card is no new card", kPresence, "0000 000106"},
        {"instruction on the card pcscd powered", kRead, "0000 00010612349000"},
        {"power-on of the same card", kPowerOn, "0000 000307" + ambrel},
        {"instruction after the power-on", kRead, "0000 00030712349000"},
        {"another card", "reader replace 0 " + cps2, "ok"},
        {"presence of another card", kPresence, "0000 000109"},
        {"power-on of another card, exclusive T=0", kPowerOn, "0000 00030A" + cps2},
        {"power-off, removal mode 0", "exchange 1 00001500", "0000 12010B"},
        {"present and not powered", kPresence, "0000 00010B"},
        {"power-on after the power-off", kPowerOn, "0000 00030C" + cps2},
        {"power-off, removal mode 1", "exchange 1 00001501", "0000 00010D"},
        {"the card taken out", "reader remove 0", "ok"},
        {"presence after the removal", kPresence, "0000 00000E"},
        {"power-on without a card", kPowerOn, "0000 00000E"},
        {"release of exclusivity", "release 1 0", "0000"},
        {"disconnection", "disconnect 1", "0000"},
        {"termination", "termin", "0000"},
        {"unloading", "unload", "0"},
    };
    return steps;
}

std::string writeTuvexIni(virtual_reader::PrivatePcscd& pcscd)
{
    const std::string path = pcscd.directory() + "/tuvex.ini";
    std::ofstream(path, std::ios::binary)
        << "[PROTOCOLE1]\r\nConfig=0\r\nNomLib=OSTREL.DLL\r\nListeCanaux=1, 2\r\n\r\n"
        << "[CANAL1]\r\nTCanal=3\r\nIndex=1\r\nCaracteristiques=" << pcscd.readerName(0) << "\r\n\r\n"
        << "[CANAL2]\r\nTCanal=3\r\nIndex=2\r\nCaracteristiques=" << pcscd.readerName(1) << "\r\n";
    return path;
}

void runRoad(virtual_reader::PrivatePcscd& pcscd, const std::vector<RoadStep>& steps,
             const std::function<std::string(const std::string&)>& plugin, const std::string& configPath)
{
    for (const RoadStep& step : steps) {
        if (step.command.rfind("reader ", 0) == 0) {
            // A reader action the rest depends on: stop at the first that fails.
            ASSERT_EQ(readerAction(pcscd, step.command), step.expected) << step.what;
            continue;
        }
        std::string command = step.command;
        const auto at = command.find("{config}");
        if (at != std::string::npos) command.replace(at, 8, configPath);
        EXPECT_EQ(plugin(command), step.expected) << step.what << " (" << step.command << ")";
    }
}

}  // namespace integration
