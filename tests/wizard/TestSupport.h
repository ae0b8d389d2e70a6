#pragma once
// Shared helpers of the wizard tests, the window tests included: temporary
// directories, byte-exact file access, the golden files, scripted message
// answers and a file-operation seam that fails on request.

#include "FileOperations.h"
#include "MessageCatalogue.h"
#include "WizardSettings.h"
#include "tests/common/TempDir.h"

#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace calveno::test {

using ::TempDir;

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
// The expected bytes of a golden file (tests/wizard/golden).
std::string golden(const std::string& name);
void makeReadOnly(const std::filesystem::path& path);
bool isReadOnly(const std::filesystem::path& path);

// The message code whose text was shown (0 for the unknown-code fallback).
int codeOfText(std::string_view text);

// Records every message (its code, text, caption and style) and answers from
// a script; when the script runs out it accepts (Yes for a yes/no question,
// OK otherwise).
class ScriptedPresenter final : public MessagePresenter {
public:
    explicit ScriptedPresenter(std::deque<MessageAnswer> script = {}) : answers(std::move(script)) {}
    MessageAnswer present(std::string_view text, std::string_view caption, MessageStyle style) override;

    std::vector<int> codes;  // 0 for a text outside the catalogue
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::vector<MessageStyle> styles;
    std::deque<MessageAnswer> answers;
};

// The system operations, with chosen operations failing on paths whose file
// name is listed, and the n-th tuvex.ini write or card-manager line failing.
class FaultyFileOperations final : public FileOperations {
public:
    std::set<std::string> failCopyTo;  // file names of copy targets that fail
    std::set<std::string> failRemove;
    int failTuvexWrite = 0;       // 1-based index of the failing tuvex.ini write, 0 none
    int failCardManagerLine = 0;  // 1-based index of the failing line, 0 none
    bool failClose = false;

    bool exists(const std::string& path) override { return m_system.exists(path); }
    bool remove(const std::string& path) override;
    bool copy(const std::string& from, const std::string& to) override;
    bool resetAttributes(const std::string& path) override { return m_system.resetAttributes(path); }
    bool createEmpty(const std::string& path) override { return m_system.createEmpty(path); }
    std::unique_ptr<OutputFile> openForWriting(const std::string& path) override;
    std::unique_ptr<TuvexSink> tuvexSink(const std::string& path) override;

private:
    SystemFileOperations m_system;
};

// The settings the pages leave for the arrangement, after the choice page's
// presets.
WizardSettings settingsFor(std::uint16_t topology);

}  // namespace calveno::test
