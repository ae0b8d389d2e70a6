#include "common/ProfileFile.h"

#include "common/ProfileText.h"
#include "common/ReplaceFile.h"

#include <cstring>
#include <vector>

namespace common {

using profile::Line;
using profile::LineKind;

namespace {

// Copies one string into a caller's buffer the way the platform does:
// truncated to size - 1 characters, always NUL-terminated.
std::uint32_t copyValue(std::string_view value, char* buffer, std::uint32_t size)
{
    if (buffer == nullptr || size == 0) return 0;
    std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    if (n > 0) std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

// Copies a list of names, each followed by a NUL, ending with one more NUL.
// When the list does not fit, it is cut after size - 2 characters and closed
// with two NULs, which is what callers walking the list expect.
std::uint32_t copyList(const std::vector<std::string_view>& names, char* buffer, std::uint32_t size)
{
    if (buffer == nullptr || size == 0) return 0;
    std::string list;
    for (std::string_view n : names) {
        list.append(n);
        list.push_back('\0');
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    if (list.size() <= size - 2) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    std::size_t n = size - 2;
    if (n > 0) std::memcpy(buffer, list.data(), n);
    buffer[n] = '\0';
    buffer[n + 1] = '\0';
    return static_cast<std::uint32_t>(n);
}

std::string_view defaultText(const char* defaultValue)
{
    std::string_view d = defaultValue != nullptr ? std::string_view(defaultValue) : std::string_view();
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    return d;
}

std::string_view stripQuotes(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// The value of `key` in the first `section` of `text`; nullopt when absent.
std::optional<std::string_view> lookup(const std::vector<Line>& lines, std::string_view section,
                                       std::string_view key)
{
    auto header = profile::findSection(lines, profile::trimSpaces(section));
    if (!header) return std::nullopt;
    std::string_view wanted = profile::trimSpaces(key);
    std::size_t end = profile::sectionEnd(lines, *header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::Key && profile::equalNoCase(lines[i].name, wanted))
            return stripQuotes(lines[i].value);
    }
    return std::nullopt;
}

std::uint32_t parseInteger(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && (profile::isBlank(s[i]) || s[i] == '\r' || s[i] == '\n')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < s.size() && s[i] == '0') {
        char p = s[i + 1];
        if (p == 'x' || p == 'X')
            base = 16;
        else if (p == 'o' || p == 'O')
            base = 8;
        else if (p == 'b' || p == 'B')
            base = 2;
        if (base != 10) i += 2;
    }
    std::uint32_t result = 0;  // wraps modulo 2^32, as the platform does
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= base) break;
        result = result * base + digit;
    }
    return negative ? 0u - result : result;
}

std::string keyLine(std::string_view key, std::string_view value)
{
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append("\r\n");
    return line;
}

bool endsWithBreak(std::string_view text)
{
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// New file content after the write, or nullopt when nothing changes.
std::optional<std::string> edit(const std::string& text, std::string_view section, const char* key,
                                const char* value)
{
    std::vector<Line> lines = profile::parseLines(text);
    auto header = profile::findSection(lines, section);

    if (key == nullptr) {
        // Delete the section: its header and key lines go, comments and any
        // other lines stay where they were.
        if (!header) return std::nullopt;
        std::size_t end = profile::sectionEnd(lines, *header);
        std::string out = text.substr(0, lines[*header].begin);
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (lines[i].kind != LineKind::Key)
                out.append(text, lines[i].begin, lines[i].end - lines[i].begin);
        }
        if (end < lines.size()) out.append(text, lines[end].begin, std::string::npos);
        return out;
    }

    std::string_view name = profile::trimSpaces(key);
    if (!header) {
        if (value == nullptr) return std::nullopt;
        std::string out = text;
        if (!out.empty() && !endsWithBreak(out)) out.append("\r\n");
        out.append("[").append(section).append("]\r\n");
        out.append(keyLine(name, value));
        return out;
    }

    std::size_t end = profile::sectionEnd(lines, *header);
    std::size_t lastKey = *header;
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Line& l = lines[i];
        if (l.kind != LineKind::Key) continue;
        lastKey = i;
        if (!profile::equalNoCase(l.name, name)) continue;
        // The first occurrence is the one that is replaced or deleted; the
        // line is rewritten as key=value with the key spelled as in the file.
        std::string out = text.substr(0, l.begin);
        if (value != nullptr) out.append(keyLine(l.name, value));
        out.append(text, l.end, std::string::npos);
        return out;
    }
    if (value == nullptr) return std::nullopt;

    const Line& anchor = lines[lastKey];
    std::string out = text.substr(0, anchor.end);
    if (anchor.end == anchor.textEnd) out.append("\r\n");  // anchor line had no break (end of file)
    out.append(keyLine(name, value));
    out.append(text, anchor.end, std::string::npos);
    return out;
}

}  // namespace

std::uint32_t getProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                               std::uint32_t size, const char* path)
{
    if (buffer == nullptr || size == 0) return 0;
    std::optional<std::string> text = profile::readWholeFile(path);

    if (section == nullptr) {
        std::vector<std::string_view> names;
        std::vector<Line> lines;
        if (text) lines = profile::parseLines(*text);
        for (const Line& l : lines)
            if (l.kind == LineKind::Header) names.push_back(l.name);
        if (names.empty()) {
            buffer[0] = '\0';
            return 0;
        }
        return copyList(names, buffer, size);
    }

    if (!text) return copyValue(defaultText(defaultValue), buffer, size);
    std::vector<Line> lines = profile::parseLines(*text);

    if (key == nullptr) {
        auto header = profile::findSection(lines, profile::trimSpaces(section));
        if (!header) return copyValue(defaultText(defaultValue), buffer, size);
        std::vector<std::string_view> names;
        std::size_t end = profile::sectionEnd(lines, *header);
        for (std::size_t i = *header + 1; i < end; ++i)
            if (lines[i].kind == LineKind::Key) names.push_back(lines[i].name);
        if (names.empty()) {
            buffer[0] = '\0';
            if (size > 1) buffer[1] = '\0';
            return 0;
        }
        return copyList(names, buffer, size);
    }

    std::optional<std::string_view> found = lookup(lines, section, key);
    return copyValue(found ? *found : defaultText(defaultValue), buffer, size);
}

std::string readProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars)
{
    std::string sec(section), k(key), def(defaultValue);
    std::vector<char> buffer(maxChars + 1, '\0');
    std::uint32_t n = getProfileString(sec.c_str(), k.c_str(), def.c_str(), buffer.data(),
                                       static_cast<std::uint32_t>(buffer.size()), path.c_str());
    return std::string(buffer.data(), n);
}

std::uint32_t getProfileInt(const char* section, const char* key, std::int32_t defaultValue, const char* path)
{
    const auto fallback = static_cast<std::uint32_t>(defaultValue);
    if (section == nullptr || key == nullptr) return fallback;
    std::optional<std::string> text = profile::readWholeFile(path);
    if (!text) return fallback;
    std::vector<Line> lines = profile::parseLines(*text);
    std::optional<std::string_view> found = lookup(lines, section, key);
    if (!found || found->empty()) return fallback;
    return parseInteger(*found);
}

bool writeProfileString(const char* section, const char* key, const char* value, const char* path)
{
    if (path == nullptr || *path == '\0' || section == nullptr) return false;

    FileStatus status = fileStatus(path);
    if (status == FileStatus::NotRegular || status == FileStatus::ReadOnly) return false;

    std::string text;
    if (status == FileStatus::Writable) {
        std::optional<std::string> current = profile::readWholeFile(path);
        if (!current) return false;
        text = std::move(*current);
    }

    std::optional<std::string> updated = edit(text, profile::trimSpaces(section), key, value);
    if (!updated) {
        // Nothing to change; a delete on a missing file still leaves an empty file.
        if (status == FileStatus::Missing) return replaceFileContent(path, std::string_view());
        return true;
    }
    return replaceFileContent(path, *updated);
}

bool appendRawLine(const char* path, std::string_view text)
{
    if (path == nullptr || *path == '\0') return false;
    FileStatus status = fileStatus(path);
    if (status == FileStatus::NotRegular || status == FileStatus::ReadOnly) return false;
    std::FILE* f = std::fopen(path, "ab");
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fwrite("\r\n", 1, 2, f) == 2 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace common
