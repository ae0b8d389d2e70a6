// The shared road script on the Windows build: OSTREL.DLL in a 32-bit host under
// Wine, its WinSCard calls going through the test-only winscard.dll to pcsc-lite and
// the private pcscd that this (Linux) test process runs in its own mount namespace.
// The Wine process is a child of this one, so it meets the same pcscd.

#include "PcscdTest.h"
#include "RoadScript.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using integration::PcscdTest;

// A command's standard output.
std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
        ::pclose(pipe);
    }
    return output;
}

// The reason Wine cannot run the host here, or empty. A Wine that fails its check
// otherwise is a failure of the test, not a skip.
std::string wineProblem()
{
    const std::string output = run(WINE_RUN " --check 2>&1");
    const auto at = output.find("[  SKIPPED ] ");
    return at == std::string::npos ? "" : output.substr(at + 13);
}

// The host program under wine-run.sh, spoken to line by line through two pipes.
class WineHost {
public:
    WineHost()
    {
        int toHost[2];
        int fromHost[2];
        if (::pipe2(toHost, O_CLOEXEC) != 0 || ::pipe2(fromHost, O_CLOEXEC) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(toHost[0], STDIN_FILENO);
            ::dup2(fromHost[1], STDOUT_FILENO);
            ::setenv("WINEDLLPATH", WINSCARD_DIR, 1);
            ::setenv("WINEDLLOVERRIDES", "winscard=b", 1);
            ::execl(WINE_RUN, WINE_RUN, OSTREL_WINE_HOST, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(toHost[0]);
        ::close(fromHost[1]);
        m_in = ::fdopen(toHost[1], "w");
        m_out = ::fdopen(fromHost[0], "r");
    }

    ~WineHost()
    {
        if (m_in != nullptr) {
            std::fputs("quit\n", m_in);
            std::fclose(m_in);
        }
        if (m_out != nullptr) std::fclose(m_out);
        if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
    }

    WineHost(const WineHost&) = delete;
    WineHost& operator=(const WineHost&) = delete;

    std::string call(const std::string& line)
    {
        if (m_in == nullptr || m_out == nullptr) return "error no host";
        std::fprintf(m_in, "%s\n", line.c_str());
        std::fflush(m_in);
        char buffer[4096];
        if (std::fgets(buffer, sizeof buffer, m_out) == nullptr) return "error the host ended";
        std::string answer = buffer;
        while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
        return answer;
    }

private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

class WineRoad : public PcscdTest {
protected:
    void SetUp() override
    {
        const std::string problem = wineProblem();
        if (!problem.empty()) GTEST_SKIP() << problem;
        PcscdTest::SetUp();
    }
};

TEST_F(WineRoad, SharedRoadScriptOnOstrelDll)
{
    WineHost host;
    ASSERT_EQ(host.call("load Z:" OSTREL_DLL), "0");
    integration::runRoad(
        *pcscd, integration::patientCardRoad(), [&](const std::string& line) { return host.call(line); },
        "Z:" + integration::writeTuvexIni(*pcscd));
}

TEST_F(WineRoad, WizardReaderSourceListsTheServicesReaders)
{
    WineHost host;
    EXPECT_EQ(host.call("readers"), pcscd->readerName(0) + "|" + pcscd->readerName(1));
    ASSERT_TRUE(pcscd->insertCard(1, integration::kAmbrelAtr));
    EXPECT_EQ(host.call("readers"), pcscd->readerName(0) + "|" + pcscd->readerName(1));
}

// calveno-batch.exe's reader list, through WinSCard, where the program has one.
TEST_F(WineRoad, CalvenoBatchListsTheServicesReaders)
{
    const std::string command = std::string("WINEDLLPATH='") + WINSCARD_DIR +
                                "' WINEDLLOVERRIDES=winscard=b '" + WINE_RUN + "' '" + CALVENO_BATCH + "' ";
    const std::string help = run(command + "--help");
    ASSERT_NE(help, "") << "calveno-batch.exe did not start";
    if (help.find("--list-readers") == std::string::npos)
        GTEST_SKIP() << "this calveno-batch has no --list-readers";
    std::string listed = run(command + "--list-readers");
    listed.erase(std::remove(listed.begin(), listed.end(), '\r'), listed.end());
    EXPECT_EQ(listed, pcscd->readerName(0) + "\n" + pcscd->readerName(1) + "\n");
}

}  // namespace
