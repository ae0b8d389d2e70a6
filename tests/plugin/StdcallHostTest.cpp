// A 32-bit Windows host in the access manager's manner: OSTREL.DLL loaded with
// LoadLibraryA, the nine exports resolved by their undecorated names and called with
// the standard calling convention, where the callee removes its arguments. A thunk
// pushes the arguments itself and measures the stack pointer around each call, so a
// library built with another convention (or other argument sizes) shows up as an
// unbalanced stack instead of passing by luck.

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
// Pushes `count` argument words (the last one first), calls `function`, stores its
// 16-bit result and returns how far the stack pointer moved across the call: 0 when
// the callee removed exactly its arguments, as __stdcall requires.
std::int32_t stackBalanceCall(const void* function, const std::uint32_t* words, std::uint32_t count,
                              std::uint32_t* result);
}

// cdecl thunk; ebx, esi and edi survive the call under both conventions.
__asm__(
    ".text\n"
    ".globl _stackBalanceCall\n"
    "_stackBalanceCall:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  pushl %ebx\n"
    "  movl 12(%ebp), %esi\n"  // words
    "  movl 16(%ebp), %ecx\n"  // count
    "  movl %esp, %ebx\n"      // stack pointer before the arguments
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  pushl -4(%esi,%ecx,4)\n"
    "  decl %ecx\n"
    "  jmp 1b\n"
    "2:\n"
    "  call *8(%ebp)\n"
    "  movzwl %ax, %eax\n"
    "  movl 20(%ebp), %ecx\n"
    "  movl %eax, (%ecx)\n"
    "  movl %esp, %eax\n"
    "  subl %ebx, %eax\n"
    "  movl %ebx, %esp\n"
    "  popl %ebx\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebp\n"
    "  ret\n");

namespace {

constexpr const char* kExports[] = {"ProInit",       "ProTermin",         "ProConnect",
                                    "ProDisconnect", "ProExchange",       "ProGetStatus",
                                    "ProIdentify",   "ProSetExclusivity", "ProReleaseExclusivity"};

std::uint32_t word(const void* pointer)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

class StdcallHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadLibraryA(OSTREL_LIBRARY_FILE);
        ASSERT_NE(m_library, nullptr) << "LoadLibraryA failed, system error " << GetLastError();
    }

    void TearDown() override
    {
        if (m_library != nullptr) {
            EXPECT_NE(FreeLibrary(m_library), 0);
        }
    }

    // Calls the export through the thunk; fails the test when the stack does not
    // balance. Returns the export's status.
    std::uint16_t call(const char* name, std::vector<std::uint32_t> words)
    {
        const FARPROC function = GetProcAddress(m_library, name);
        EXPECT_NE(function, nullptr) << name;
        if (function == nullptr) return 0xFFFF;
        std::uint32_t status = 0;
        const std::int32_t moved = stackBalanceCall(reinterpret_cast<const void*>(function), words.data(),
                                                    static_cast<std::uint32_t>(words.size()), &status);
        EXPECT_EQ(moved, 0) << name << " left the stack " << moved << " bytes off";
        return static_cast<std::uint16_t>(status);
    }

    // ProGetStatus through the thunk: status and detail of the call before.
    void expectLastStatus(std::uint16_t status, std::uint32_t detail)
    {
        std::uint16_t gotStatus = 0xFFFF;
        std::uint32_t gotDetail = 0xFFFFFFFF;
        char text[12] = {};
        EXPECT_EQ(call("ProGetStatus", {word(&gotStatus), word(&gotDetail), word(text)}), 0);
        EXPECT_EQ(gotStatus, status);
        EXPECT_EQ(gotDetail, detail);
        EXPECT_STREQ(text, "Erreur PCSC");
    }

    HMODULE m_library = nullptr;
};

TEST_F(StdcallHost, ResolvesTheNineUndecoratedNamesAndNoDecoratedOnes)
{
    for (const char* name : kExports) {
        EXPECT_NE(GetProcAddress(m_library, name), nullptr) << name;
        // The __stdcall decoration (name@bytes) must not be what the table holds.
        const std::string decorated = std::string("_") + name;
        EXPECT_EQ(GetProcAddress(m_library, decorated.c_str()), nullptr) << decorated;
    }
    EXPECT_EQ(GetProcAddress(m_library, "ProInit@12"), nullptr);
}

TEST_F(StdcallHost, IdentificationRecordThroughTheStandardConvention)
{
    unsigned char record[106];
    std::memset(record, 0xEE, sizeof record);
    EXPECT_EQ(call("ProIdentify", {word(record)}), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(record), "Protocole PCSC-TUVEX");
    // The rest of the 100-byte name field is left as the caller gave it.
    EXPECT_EQ(record[21], 0xEE);
    EXPECT_EQ(record[99], 0xEE);
    const unsigned char tail[] = {1, 0, '0', '1', '0', '9'};
    EXPECT_EQ(std::memcmp(record + 100, tail, sizeof tail), 0);
}

// Every export's own argument checks, each call with its exact argument count on
// the stack; the arguments narrower than 32 bits take a whole slot each.
TEST_F(StdcallHost, EveryExportRefusesBadArgumentsWithABalancedStack)
{
    EXPECT_EQ(call("ProTermin", {}), 0x800A);
    expectLastStatus(0x800A, 2);
    expectLastStatus(0, 2);

    EXPECT_EQ(call("ProInit", {1, word(nullptr), 0}), 0x4000);
    expectLastStatus(0x4000, 1);
    EXPECT_EQ(call("ProInit", {1, word(""), 0}), 0x4000);
    expectLastStatus(0x4000, 1);

    EXPECT_EQ(call("ProConnect", {2, 1, word("x")}), 0x4000);
    expectLastStatus(0x4000, 5);
    // Only the low byte of the channel type counts.
    EXPECT_EQ(call("ProConnect", {0x0203, 64, word(nullptr)}), 0x4000);
    expectLastStatus(0x4000, 5);
    EXPECT_EQ(call("ProDisconnect", {3, 0}), 0x4000);
    expectLastStatus(0x4000, 5);

    std::uint8_t request[4] = {0, 1, 0x16, 0};
    std::uint8_t response[16] = {};
    std::uint32_t length = sizeof response;
    EXPECT_EQ(call("ProExchange", {3, 1, 0, 0, word(request), 4, word(response), word(&length)}), 0x0008);
    expectLastStatus(0x0008, 2);
    EXPECT_EQ(call("ProExchange", {3, 1, 0, 0, word(request), 4, word(response), word(nullptr)}), 0x4000);
    expectLastStatus(0x4000, 1);

    EXPECT_EQ(call("ProSetExclusivity", {3, 1, 0}), 0x4000);
    expectLastStatus(0x4000, 2);
    EXPECT_EQ(call("ProReleaseExclusivity", {3, 1, 255}), 0x4000);
    expectLastStatus(0x4000, 2);
    EXPECT_EQ(call("ProSetExclusivity", {4, 1, 0}), 0x4000);
    expectLastStatus(0x4000, 5);

    EXPECT_EQ(call("ProGetStatus", {0, 0, 0}), 0x4000);
    EXPECT_EQ(call("ProIdentify", {0}), 0x4000);
    expectLastStatus(0x4000, 1);
}

TEST_F(StdcallHost, ProtocolNumberOfProInitIsReported)
{
    // No configuration file at that path: ProInit fails, the number is kept.
    EXPECT_NE(call("ProInit", {7, word("Z:\\nonexistent\\tuvex.ini"), 0}), 0);
    unsigned char record[106] = {};
    EXPECT_EQ(call("ProIdentify", {word(record)}), 0);
    EXPECT_EQ(record[100], 7);
    EXPECT_EQ(record[101], 0);
    EXPECT_EQ(call("ProTermin", {}), 0x800A);
}

// FreeLibrary runs ProTermin through the entry point: it must unload the library
// cleanly after ProInit allocated its state, and a new load starts from fresh registers.
TEST_F(StdcallHost, FreeLibraryEndsThePluginAndUnloads)
{
    EXPECT_NE(call("ProInit", {1, word("Z:\\nonexistent\\tuvex.ini"), 0}), 0);
    EXPECT_EQ(call("ProConnect", {9, 1, word(nullptr)}), 0x4000);
    ASSERT_NE(FreeLibrary(m_library), 0);
    m_library = nullptr;
    EXPECT_EQ(GetModuleHandleA("OSTREL.DLL"), nullptr);

    SetUp();
    unsigned char record[106] = {};
    EXPECT_EQ(call("ProIdentify", {word(record)}), 0);
    EXPECT_EQ(record[100], 1) << "protocol number of a fresh load";
    expectLastStatus(0, 0);
}

std::string versionText(const std::vector<char>& block, const char* key)
{
    const std::string path = std::string("\\StringFileInfo\\040C04E4\\") + key;
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        text == nullptr)
        return "<missing>";
    return std::string(text);
}

TEST(OstrelVersionResource, FrenchTextsOfTheBuild)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(OSTREL_LIBRARY_FILE, &handle);
    ASSERT_GT(size, 0u) << "no version resource, system error " << GetLastError();
    std::vector<char> block(size);
    ASSERT_NE(GetFileVersionInfoA(OSTREL_LIBRARY_FILE, 0, size, block.data()), 0);

    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length),
              0);
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x040C);
    EXPECT_EQ(translation[1], 1252);

    EXPECT_EQ(versionText(block, "Comments"), "PCSC_TUVEX WIN 32 (RELEASE) ");
    EXPECT_EQ(versionText(block, "FileDescription"), "PCSC_TUVEX WIN 32 (RELEASE) ");
    EXPECT_EQ(versionText(block, "FileVersion"), "01.09");
    EXPECT_EQ(versionText(block, "ProductVersion"), "01.09");
    EXPECT_EQ(versionText(block, "InternalName"), "Ostrel");
    EXPECT_EQ(versionText(block, "OriginalFilename"), "Ostrel");
    EXPECT_EQ(versionText(block, "ProductName"), "Ostrel");

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_NE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length), 0);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010009u);
}

}  // namespace
