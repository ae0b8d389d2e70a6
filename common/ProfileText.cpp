#include "common/ProfileText.h"

#include <cstdio>
#include <sys/stat.h>

#if defined(_WIN32) && !defined(S_ISREG)
#define S_ISREG(m) (((m)&_S_IFMT) == _S_IFREG)
#endif

namespace common::profile {

namespace {

// A profile file is a few kilobytes; anything this large is not one, and
// refusing it keeps a stray path from pulling gigabytes into memory.
constexpr std::size_t kMaxFileSize = 64u * 1024u * 1024u;

unsigned char foldCase(unsigned char c)
{
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    // Windows-1252 lower-case letters: 0xE0-0xFE (but not the division sign
    // 0xF7) and the four letters the code page places in 0x80-0x9F.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

}  // namespace

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<Line> parseLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        std::size_t eol = pos;
        while (eol < text.size() && text[eol] != '\r' && text[eol] != '\n') ++eol;
        line.textEnd = eol;
        if (eol < text.size()) {
            line.end = eol + 1;
            if (text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n') line.end = eol + 2;
        } else {
            line.end = eol;
        }

        std::string_view body = text.substr(pos, eol - pos);
        std::string_view lead = body;
        while (!lead.empty() && isBlank(lead.front())) lead.remove_prefix(1);
        if (!lead.empty() && lead.front() == '[') {
            // The name ends at the first ']'; without one it runs to the end of the line.
            std::string_view name = lead.substr(1);
            std::size_t close = name.find(']');
            if (close != std::string_view::npos) name = name.substr(0, close);
            line.kind = LineKind::Header;
            line.name = trimBlanks(name);
        } else if (!lead.empty() && lead.front() == ';') {
            line.kind = LineKind::Comment;
        } else if (std::size_t eq = body.find('='); eq != std::string_view::npos) {
            line.kind = LineKind::Key;
            line.name = trimBlanks(body.substr(0, eq));
            line.value = trimBlanks(body.substr(eq + 1));
        }
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

std::optional<std::size_t> findSection(const std::vector<Line>& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Header && equalNoCase(lines[i].name, section)) return i;
    }
    return std::nullopt;
}

std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Header) ++i;
    return i;
}

std::optional<std::string> readWholeFile(const char* path)
{
    if (path == nullptr || *path == '\0') return std::nullopt;
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<unsigned long long>(st.st_size) > kMaxFileSize) return std::nullopt;

    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return std::nullopt;
    std::string data;
    char chunk[8192];
    std::size_t n = 0;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        data.append(chunk, n);
        if (data.size() > kMaxFileSize) {
            ok = false;
            break;
        }
    }
    if (std::ferror(f)) ok = false;
    std::fclose(f);
    if (!ok) return std::nullopt;
    return data;
}

}  // namespace common::profile
