#include "PrivatePcscd.h"

#include <PCSC/winscard.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace virtual_reader {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartLimit = std::chrono::seconds(15);
constexpr auto kEventLimit = std::chrono::seconds(10);
constexpr auto kStopLimit = std::chrono::seconds(5);
constexpr auto kPause = std::chrono::milliseconds(20);

std::string errnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

std::string enterNamespace()
{
    if (::geteuid() != 0) return "a private pcscd needs root (a mount namespace over /run/pcscd)";
    if (::unshare(CLONE_NEWNS) != 0) return errnoText("cannot create a mount namespace (unshare)");
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return errnoText("cannot make the mounts private");
    struct stat info {};
    if (::stat("/run/pcscd", &info) == 0 && S_ISDIR(info.st_mode)) {
        if (::mount("tmpfs", "/run/pcscd", "tmpfs", 0, "mode=0755") != 0)
            return errnoText("cannot mount a tmpfs on /run/pcscd");
        return {};
    }
    // No /run/pcscd on this machine: cover /run instead, so nothing is created there.
    if (::mount("tmpfs", "/run", "tmpfs", 0, "mode=0755") != 0)
        return errnoText("cannot mount a tmpfs on /run");
    if (::mkdir("/run/pcscd", 0755) != 0) return errnoText("cannot create /run/pcscd");
    return {};
}

std::string findPcscd()
{
    for (const char* path : {"/usr/sbin/pcscd", "/sbin/pcscd", "/usr/local/sbin/pcscd"})
        if (::access(path, X_OK) == 0) return path;
    return {};
}

bool connectUnix(const std::string& path, int& fd)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        fd = -1;
        return false;
    }
    return true;
}

// The readers pcscd lists now, or none while it does not answer.
std::vector<std::string> listedReaders()
{
    std::vector<std::string> names;
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return names;
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (SCardListReaders(context, nullptr, buffer, &size) == SCARD_S_SUCCESS) {
        for (const char* p = buffer; *p != '\0' && p < buffer + size; p += std::strlen(p) + 1)
            names.emplace_back(p);
    }
    SCardReleaseContext(context);
    return names;
}

}  // namespace

const std::string& privateServiceProblem()
{
    static const std::string problem = [] {
        std::string why = enterNamespace();
        if (why.empty() && findPcscd().empty()) why = "pcscd is not installed (package pcscd)";
        return why;
    }();
    return problem;
}

ReaderControl::~ReaderControl()
{
    if (m_fd >= 0) ::close(m_fd);
}

std::string ReaderControl::send(std::string_view line)
{
    if (m_fd < 0 && !connectUnix(m_path, m_fd)) return "error cannot reach " + m_path;
    std::string out(line);
    out += '\n';
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::send(m_fd, out.data() + done, out.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            ::close(m_fd);
            m_fd = -1;
            return "error control socket closed";
        }
        done += static_cast<std::size_t>(n);
    }
    std::string answer;
    char c = 0;
    while (::read(m_fd, &c, 1) == 1) {
        if (c == '\n') return answer;
        answer += c;
    }
    ::close(m_fd);
    m_fd = -1;
    return "error control socket closed";
}

PrivatePcscd::PrivatePcscd(std::vector<std::string> friendlyNames) : m_friendlyNames(std::move(friendlyNames))
{}

PrivatePcscd::~PrivatePcscd()
{
    stop();
    for (const auto& directory : m_directories) {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
}

std::string PrivatePcscd::log() const
{
    std::ifstream in(m_directory + "/pcscd.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string PrivatePcscd::start()
{
    const std::string pcscd = findPcscd();
    if (pcscd.empty()) return "pcscd is not installed";
    char pattern[] = "/tmp/vreader-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return errnoText("mkdtemp");
    m_directory = pattern;
    m_directories.push_back(m_directory);
    const std::string configDir = m_directory + "/conf";
    std::filesystem::create_directory(configDir);
    {
        std::ofstream conf(configDir + "/virtual-readers");
        for (std::size_t i = 0; i < m_friendlyNames.size(); ++i) {
            const std::string socket = m_directory + "/reader" + std::to_string(i) + ".sock";
            conf << "FRIENDLYNAME \"" << m_friendlyNames[i] << "\"\n"
                 << "DEVICENAME virtual:" << socket << "\n"
                 << "LIBPATH " << VIRTUAL_READER_DRIVER << "\n\n";
            m_controls.push_back(std::make_unique<ReaderControl>(socket));
        }
        if (!conf) return "cannot write the reader configuration";
    }
    const std::string logPath = m_directory + "/pcscd.log";
    m_pid = ::fork();
    if (m_pid < 0) return errnoText("fork");
    if (m_pid == 0) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        ::execl(pcscd.c_str(), "pcscd", "--foreground", "--config", configDir.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return "pcscd stopped at start; its log:\n" + log();
        }
        const auto listed = listedReaders();
        m_readerNames.clear();
        for (const auto& friendly : m_friendlyNames)
            for (const auto& name : listed)
                if (name.rfind(friendly + " ", 0) == 0) m_readerNames.push_back(name);
        if (m_readerNames.size() == m_friendlyNames.size()) {
            bool answering = true;
            for (auto& control : m_controls) answering = answering && control->ok("status");
            if (answering) return {};
        }
        std::this_thread::sleep_for(kPause);
    }
    stop();
    return "pcscd did not list the virtual readers in time; its log:\n" + log();
}

std::string PrivatePcscd::stop()
{
    m_controls.clear();
    if (m_pid <= 0) return {};
    ::kill(m_pid, SIGTERM);
    const auto deadline = Clock::now() + kStopLimit;
    int status = 0;
    bool killed = false;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            killed = true;
            break;
        }
        std::this_thread::sleep_for(kPause);
    }
    m_pid = -1;
    if (killed) return "pcscd did not stop within 5 s of SIGTERM; its log:\n" + log();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    const std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                              : "signal " + std::to_string(WTERMSIG(status));
    return "pcscd ended with " + how + "; its log:\n" + log();
}

namespace {

// The driver's count of pcscd's presence polls, from its status line.
long pollCount(ReaderControl& control)
{
    const std::string status = control.send("status");
    const auto at = status.find(" polls=");
    return at == std::string::npos ? -1 : std::strtol(status.c_str() + at + 7, nullptr, 10);
}

}  // namespace

bool PrivatePcscd::waitForCard(std::size_t i, bool present)
{
    // pcscd's event thread only learns of a change when it polls the driver; a slot
    // it saw empty through a failed transmission alone, then filled again before the
    // thread looked, would never be reported. So wait for one poll after the change.
    const long before = pollCount(control(i));
    if (before < 0) return false;
    const auto pollDeadline = Clock::now() + kEventLimit;
    while (pollCount(control(i)) <= before) {
        if (Clock::now() >= pollDeadline) return false;
        std::this_thread::sleep_for(kPause);
    }
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    SCARD_READERSTATE state{};
    state.szReader = m_readerNames.at(i).c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    bool reached = false;
    const auto deadline = Clock::now() + kEventLimit;
    while (!reached && Clock::now() < deadline) {
        const LONG result = SCardGetStatusChange(context, 500, &state, 1);
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT) break;
        const DWORD seen = state.dwEventState & ~SCARD_STATE_CHANGED;
        reached = present ? (seen & SCARD_STATE_PRESENT) != 0 : (seen & SCARD_STATE_EMPTY) != 0;
        state.dwCurrentState = seen;
    }
    SCardReleaseContext(context);
    return reached;
}

bool PrivatePcscd::insertCard(std::size_t i, std::string_view atr)
{
    return control(i).ok("insert " + std::string(atr)) && waitForCard(i, true);
}

bool PrivatePcscd::removeCard(std::size_t i)
{
    return control(i).ok("remove") && waitForCard(i, false);
}

bool PrivatePcscd::replaceCard(std::size_t i, std::string_view atr)
{
    return removeCard(i) && insertCard(i, atr);
}

}  // namespace virtual_reader
