// tuvex-host on random command lines: options, commands and values mixed with
// huge numbers, empty strings, malformed hex, long texts and bytes that are not
// UTF-8, against a sound tuvex.ini, a broken one and a missing one. Whatever the
// line, the run ends with one of the documented exit codes (crashes and
// sanitizer reports show under the asan preset).

#include "Host.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tuvex_host;

std::string pick(std::mt19937& random, const std::vector<std::string>& choices)
{
    return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
}

TEST(TuvexHostRandomLines, EndWithADocumentedExitCode)
{
    TempDir tmp;
    const std::string good = (tmp.path() / "tuvex.ini").string();
    const std::string broken = (tmp.path() / "broken.ini").string();
    // A library that is not there: the lines that pass the checks stop at loading,
    // so no PC/SC service is reached.
    std::ofstream(good, std::ios::binary)
        << "[PROTOCOLE1]\r\nNomLib=ABSENT.DLL\r\nListeCanaux=1, 2\r\n\r\n[CANAL1]\r\nTCanal=3\r\n";
    std::ofstream(broken, std::ios::binary) << "[PROTOCOLE1]\r\nNomLib=\xff\r\nListeCanaux=1, x\r\n";

    const std::vector<std::string> options = {"--json",    "--script", "--channel", "--protocol",
                                              "--lib-dir", "--help",   "--version", "--shout",
                                              "-x",        "--",       "-"};
    const std::vector<std::string> words = {"list",
                                            "channel 1",
                                            "channel 70000",
                                            "connect",
                                            "disconnect",
                                            "exclusive",
                                            "exclusive 256",
                                            "release -1",
                                            "status",
                                            "identify",
                                            "presence",
                                            "power-on",
                                            "apdu 00 B0 00 00 02",
                                            "apdu 0G",
                                            "apdu 0",
                                            "apdu",
                                            "power-off 1",
                                            "power-off 9999999999999999999",
                                            "self-test",
                                            "reset",
                                            "frequency 4",
                                            "frequency",
                                            "raw 00 00 16 00",
                                            "raw",
                                            "bogus",
                                            "",
                                            " ",
                                            "0",
                                            "-1",
                                            "1e9",
                                            "0x10",
                                            "99999999999999999999999999",
                                            "\xff\xfe\xfd",
                                            "\xc3(",
                                            "\xed\xa0\x80",
                                            std::string("nul\0in", 6),
                                            "line\r\ncut",
                                            std::string(300, 'A'),
                                            "apdu " + std::string(70000, 'F'),
                                            good,
                                            broken,
                                            (tmp.path() / "absent.ini").string(),
                                            tmp.path().string()};

    std::mt19937 random(20261209);  // fixed: a failure replays
    std::vector<int> byCode(6, 0);
    for (int line = 0; line < 400; ++line) {
        std::vector<std::string> args = {"tuvex-host"};
        const int count = std::uniform_int_distribution<int>(0, 6)(random);
        for (int i = 0; i < count; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 3)(random);
            args.push_back(kind == 0 ? pick(random, options) : pick(random, words));
        }
        std::istringstream in("presence\nbogus line\n");
        std::ostringstream out;
        std::ostringstream err;
        const int code = runHost(args, in, out, err);
        std::string shown;
        for (const std::string& a : args) shown += " [" + a.substr(0, 40) + "]";
        ASSERT_TRUE(code >= kExitOk && code <= kExitCardRefused) << code << " for" << shown;
        ++byCode[static_cast<std::size_t>(code)];
    }
    // The lines get past the command-line check too, not only its refusals.
    EXPECT_GT(byCode[kExitUsage], 0);
    EXPECT_GT(byCode[kExitBadFile] + byCode[kExitBadLibrary], 0);
}

}  // namespace
