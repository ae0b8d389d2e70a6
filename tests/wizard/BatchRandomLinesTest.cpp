// calveno-batch on random command lines: option names and values mixed with
// huge numbers, empty strings, invalid numbers, long texts and bytes that are
// not UTF-8. Whatever the line, the run ends with one of the documented exit
// codes (crashes and sanitizer reports show under the asan preset).

#include "BatchRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace calveno::test {
namespace {

const std::vector<std::string> kNames = {
    "--topology", "--protocol",  "--cnf",       "--yes",     "--help",       "--r1-name", "--r1-port",
    "--r1-speed", "--r1-bits",   "--r1-parity", "--r1-stop", "--r1-address", "--r1-cps",  "--r1-ambrel",
    "--r2-name",  "--r2-port",   "--r2-speed",  "--r2-bits", "--r2-parity",  "--r2-stop", "--r2-address",
    "--r2-cps",   "--r2-ambrel", "--inconnue",  "-x",        "--",           "-",         "--r3-port"};

const std::vector<std::string> kValues = {"",
                                          " ",
                                          "0",
                                          "1",
                                          "2",
                                          "4",
                                          "8",
                                          "9600",
                                          "-1",
                                          "+1",
                                          "01",
                                          "1.5",
                                          "1e9",
                                          "0x10",
                                          "abc",
                                          "99999999999999999999999999",
                                          "-2147483649",
                                          "4294967296",
                                          "monofente",
                                          "bifente",
                                          "chaines",
                                          "deux-ports",
                                          "pcsc",
                                          "serie",
                                          "PCSC",
                                          "Lecteur A 00 00",
                                          "\xff\xfe\xfd",
                                          "\xc3",
                                          "\xc3(",
                                          "\xed\xa0\x80",
                                          std::string("nul\0dedans", 10),
                                          "ligne\r\ncoupee",
                                          "=",
                                          "--topology=pcsc",
                                          std::string(300, 'R'),
                                          std::string(70000, '9')};

std::string tirer(std::mt19937& alea, const std::vector<std::string>& choix)
{
    return choix[std::uniform_int_distribution<std::size_t>(0, choix.size() - 1)(alea)];
}

TEST(BatchRandomLines, EndWithADocumentedExitCode)
{
    TempDir tmp;
    const auto windows = tmp.subdir("windows").string();
    const auto program = tmp.subdir("program").string();
    std::mt19937 alea(20261208);  // fixed: a failure replays
    std::vector<int> parCode(5, 0);
    for (int ligne = 0; ligne < 400; ++ligne) {
        std::vector<std::string> args = {program + "/calveno-batch"};
        const int mots = std::uniform_int_distribution<int>(0, 7)(alea);
        for (int i = 0; i < mots; ++i) {
            const int sorte = std::uniform_int_distribution<int>(0, 3)(alea);
            args.push_back(sorte == 0 ? tirer(alea, kValues) : tirer(alea, kNames));
            if (sorte >= 2) {
                args.push_back(tirer(alea, kValues));
            }
        }
        // Files only ever go to the test's own directories.
        args.insert(args.end(), {"--windows-dir", windows, "--program-dir", program});
        std::ostringstream out;
        std::ostringstream err;
        // Never the machine's PC/SC service: a fixed list with one reader.
        const int code = runBatch(args, out, err, [] {
            return PcscReaderListing{true, {"Lecteur A 00 00"}, ""};
        });
        std::string vue;
        for (const std::string& a : args) {
            vue += " [" + a.substr(0, 40) + "]";
        }
        ASSERT_TRUE(code == kExitWritten || code == kExitRefused || code == kExitFinishFailed ||
                    code == kExitUsage || code == kExitReaderCheck)
            << code << " for" << vue;
        ++parCode[static_cast<std::size_t>(code)];
    }
    // The lines reach past the command-line check, not only its refusals.
    EXPECT_GT(parCode[kExitUsage], 0);
    EXPECT_GT(parCode[kExitWritten] + parCode[kExitRefused], 0);
}

}  // namespace
}  // namespace calveno::test
