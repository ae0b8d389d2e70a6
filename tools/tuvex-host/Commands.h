#pragma once
// The reader command set as tuvex-host's users type it, one command a line, and what
// the plug-in's answers mean in words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tuvex_host {

using Bytes = std::vector<std::uint8_t>;

enum class Verb {
    None,  // blank or comment line
    List,
    Channel,
    Connect,
    Disconnect,
    Exclusive,
    Release,
    Status,
    Identify,
    Presence,
    PowerOn,
    Apdu,
    PowerOff,
    SelfTest,
    Reset,
    Frequency,
    Raw,
};

struct Command {
    Verb verb = Verb::None;
    std::string name;     // the command word
    std::string text;     // the line as given, without its comment, for the output
    unsigned number = 0;  // channel, exclusivity index, removal mode or frequency code
    Bytes data;           // instruction or raw request
};

// One command line; nothing, with `error` naming the problem, when it is malformed.
// A "#" starts a comment anywhere on the line.
std::optional<Command> parseCommand(std::string_view line, std::string& error);

// The command words and their arguments, for --help.
std::string commandHelp();

// Hex digits, optionally separated by blanks or colons.
std::optional<Bytes> parseHex(std::string_view text);
std::string toHex(const Bytes& bytes, bool spaced = true);

// The ProExchange request of an exchange command (empty for the other verbs).
Bytes requestOf(const Command& command);
bool isExchange(Verb verb);

std::string reportText(std::uint8_t reportCode);
std::string cardStateText(std::uint8_t state);
std::string detailText(std::uint32_t detail);

// The meaning of a card's status word (SW1 SW2) in the words of ISO/IEC 7816-4.
std::string statusWordText(std::uint8_t sw1, std::uint8_t sw2);

// The self-test answer decoded: driver version, BWT, W and clock.
struct SelfTest {
    std::string version;  // "MM.mm" from the two BCD bytes
    unsigned bwt = 0;
    unsigned w = 0;
    unsigned clockMHz = 0;
};
std::optional<SelfTest> decodeSelfTest(const Bytes& response);

}  // namespace tuvex_host
