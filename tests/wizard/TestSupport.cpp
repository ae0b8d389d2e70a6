#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace calveno::test {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing " + path.string() + ">";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string golden(const std::string& name)
{
    const fs::path path = fs::path(CALVENO_GOLDEN_DIR) / name;
    if (!fs::is_regular_file(path)) throw std::runtime_error("missing golden file " + path.string());
    return readBytes(path);
}

void makeReadOnly(const fs::path& path)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool isReadOnly(const fs::path& path)
{
    const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (fs::status(path).permissions() & writeBits) == fs::perms::none;
}

int codeOfText(std::string_view text)
{
    for (const MessageEntry& entry : allMessages()) {
        if (entry.text == text) return entry.code;
    }
    return 0;
}

MessageAnswer ScriptedPresenter::present(std::string_view text, std::string_view caption, MessageStyle style)
{
    codes.push_back(codeOfText(text));
    texts.emplace_back(text);
    captions.emplace_back(caption);
    styles.push_back(style);
    if (answers.empty())
        return style.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

namespace {

std::string fileName(const std::string& path)
{
    return fs::path(path).filename().string();
}

class CountingSink final : public TuvexSink {
public:
    CountingSink(std::unique_ptr<TuvexSink> inner, int failAt) : m_inner(std::move(inner)), m_failAt(failAt)
    {}
    bool AppendLine(std::string_view text) override { return next() && m_inner->AppendLine(text); }
    bool writeKey(std::string_view section, std::string_view key, std::string_view value) override
    {
        return next() && m_inner->writeKey(section, key, value);
    }

private:
    bool next() { return ++m_count != m_failAt; }
    std::unique_ptr<TuvexSink> m_inner;
    int m_failAt;
    int m_count = 0;
};

class CountingFile final : public OutputFile {
public:
    CountingFile(std::unique_ptr<OutputFile> inner, int failAt, bool failClose)
        : m_inner(std::move(inner)), m_failAt(failAt), m_failClose(failClose)
    {}
    bool writeLine(std::string_view block) override
    {
        return ++m_count != m_failAt && m_inner->writeLine(block);
    }
    bool close() override { return m_inner->close() && !m_failClose; }

private:
    std::unique_ptr<OutputFile> m_inner;
    int m_failAt;
    bool m_failClose;
    int m_count = 0;
};

}  // namespace

bool FaultyFileOperations::remove(const std::string& path)
{
    return failRemove.count(fileName(path)) == 0 && m_system.remove(path);
}

bool FaultyFileOperations::copy(const std::string& from, const std::string& to)
{
    return failCopyTo.count(fileName(to)) == 0 && m_system.copy(from, to);
}

std::unique_ptr<OutputFile> FaultyFileOperations::openForWriting(const std::string& path)
{
    std::unique_ptr<OutputFile> file = m_system.openForWriting(path);
    if (!file) return nullptr;
    return std::make_unique<CountingFile>(std::move(file), failCardManagerLine, failClose);
}

std::unique_ptr<TuvexSink> FaultyFileOperations::tuvexSink(const std::string& path)
{
    return std::make_unique<CountingSink>(m_system.tuvexSink(path), failTuvexWrite);
}

WizardSettings settingsFor(std::uint16_t topology)
{
    WizardSettings settings = defaultWizardSettings();
    applyTopologyChoice(settings, topology);
    return settings;
}

}  // namespace calveno::test
