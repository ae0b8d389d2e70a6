#pragma once
// One script of the plug-in's whole road on the virtual readers, run by the Linux
// build (the library in the test process) and by the Windows build (OSTREL.DLL in a
// host under Wine, through WinSCard): the same steps, the same expected answers,
// byte for byte.

#include "PrivatePcscd.h"

#include <functional>
#include <string>
#include <vector>

namespace integration {

struct RoadStep {
    // What the step shows, for failure messages.
    std::string what;
    // A PluginLine command ("{config}" stands for the tuvex.ini path of the run), or
    // a reader action starting with "reader ":
    //   reader insert N ATR | reader remove N | reader replace N ATR
    //   reader wait-absent N | reader control N LINE | reader status-has N TEXT
    std::string command;
    // The PluginLine answer; for reader actions "ok" (or, for status-has, "yes").
    std::string expected;
};

// Connect, exclusivity, presence, power-on with the ATR, card instructions, removal
// during an instruction, the same card again, another card, power-off in both
// removal modes, removal, release, disconnect, termination and unloading.
const std::vector<RoadStep>& patientCardRoad();

// Writes the tuvex.ini that names the private pcscd's two readers as channels 1
// and 2; its path.
std::string writeTuvexIni(virtual_reader::PrivatePcscd& pcscd);

// Runs `steps`: reader actions on `pcscd`, the rest through `plugin` with
// "{config}" replaced by `configPath`. Each step is one expectation.
void runRoad(virtual_reader::PrivatePcscd& pcscd, const std::vector<RoadStep>& steps,
             const std::function<std::string(const std::string&)>& plugin, const std::string& configPath);

}  // namespace integration
