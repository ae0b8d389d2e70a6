#pragma once
// A private pcscd with virtual readers, for tests of the real PC/SC stack.
//
// pcscd keeps its socket in the fixed folder /run/pcscd, so the test process first
// moves into a mount namespace of its own with an empty tmpfs there: the daemon it
// starts and every PC/SC client it runs (itself, the plug-in, tuvex-host) meet in that
// folder, and a pcscd the machine runs is never seen nor disturbed. That needs root
// (CAP_SYS_ADMIN); without it the tests report themselves skipped with the reason.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace virtual_reader {

// Moves the process into its private namespace, once. Empty when that worked,
// otherwise the reason why it cannot (for the test's skip message).
const std::string& privateServiceProblem();

// One reader's control channel, as the driver serves it on a Unix socket.
class ReaderControl {
public:
    explicit ReaderControl(std::string socketPath) : m_path(std::move(socketPath)) {}
    ~ReaderControl();
    ReaderControl(const ReaderControl&) = delete;
    ReaderControl& operator=(const ReaderControl&) = delete;

    // Sends one command line; the driver's answer line, or "error ..." when the
    // socket cannot be reached.
    std::string send(std::string_view line);
    // True when the answer starts with "ok".
    bool ok(std::string_view line) { return send(line).rfind("ok", 0) == 0; }

private:
    std::string m_path;
    int m_fd = -1;
};

class PrivatePcscd {
public:
    // One virtual reader per friendly name (pcscd lists it as "NAME 00 00").
    explicit PrivatePcscd(std::vector<std::string> friendlyNames);
    ~PrivatePcscd();
    PrivatePcscd(const PrivatePcscd&) = delete;
    PrivatePcscd& operator=(const PrivatePcscd&) = delete;

    // Starts pcscd in the foreground and waits, for a bounded time, until it lists
    // every reader and every control socket answers. Empty on success, else what
    // went wrong, with the daemon's log.
    std::string start();
    // Stops pcscd: SIGTERM, then SIGKILL after a bounded wait. Empty when it
    // ended with exit status 0 or was not running; otherwise how it ended,
    // with its log (a driver that leaves a thread joinable aborts it).
    std::string stop();

    std::size_t readerCount() const { return m_friendlyNames.size(); }
    // The name pcscd lists for reader `i`.
    const std::string& readerName(std::size_t i) const { return m_readerNames.at(i); }
    ReaderControl& control(std::size_t i) { return *m_controls.at(i); }

    // Waits (bounded) until pcscd polled reader `i` once more and reports it with or
    // without a card.
    bool waitForCard(std::size_t i, bool present);
    // Takes the card out, waits until pcscd saw it go, puts `atr` in, waits until
    // pcscd saw it come: a card change pcscd cannot miss.
    bool replaceCard(std::size_t i, std::string_view atr);
    bool insertCard(std::size_t i, std::string_view atr);
    bool removeCard(std::size_t i);

    const std::string& directory() const { return m_directory; }
    std::string log() const;

private:
    std::vector<std::string> m_friendlyNames;
    std::vector<std::string> m_readerNames;
    std::vector<std::unique_ptr<ReaderControl>> m_controls;
    std::string m_directory;
    // Every folder a start made: a test may still read files in the one before a restart.
    std::vector<std::string> m_directories;
    pid_t m_pid = -1;
};

}  // namespace virtual_reader
