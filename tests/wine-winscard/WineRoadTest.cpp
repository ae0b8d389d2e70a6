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

#include <cstdio>
#include <cstdlib>

namespace {

using integration::PcscdTest;

// The reason Wine cannot run the host here, or empty.
std::string wineProblem()
{
    std::string output;
    if (FILE* check = ::popen(WINE_RUN " --check 2>&1", "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, check) != nullptr) output += buffer;
        if (::pclose(check) != 0 && output.find("[  SKIPPED ]") == std::string::npos)
            return "";  // a Wine that fails its check is a failure of the test, not a skip
    }
    const auto at = output.find("[  SKIPPED ]");
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

}  // namespace
