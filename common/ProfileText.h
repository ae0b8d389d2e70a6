#pragma once
// Line model of a profile file, shared by the reader and the writer so both
// agree on what a header, a key line and a comment are.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common::profile {

enum class LineKind { Other, Header, Comment, Key };

struct Line {
    std::size_t begin = 0;    // first byte of the line
    std::size_t textEnd = 0;  // first byte of the line break (or end of file)
    std::size_t end = 0;      // first byte after the line break
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name (Header) or key name (Key), trimmed
    std::string_view value;  // raw value after the first '=', trimmed (Key)
};

// Splits `text` at CR LF, CR and LF. The views point into `text`.
std::vector<Line> parseLines(std::string_view text);

// Space, TAB and VT: what the platform trims around names and values.
bool isBlank(char c);
std::string_view trimBlanks(std::string_view s);
// Section and key arguments lose leading and trailing spaces only.
std::string_view trimSpaces(std::string_view s);

// Case-insensitive comparison over ASCII and the Windows-1252 letters.
bool equalNoCase(std::string_view a, std::string_view b);

// Index of the first header line matching `section`, if any.
std::optional<std::size_t> findSection(const std::vector<Line>& lines, std::string_view section);
// One past the last line of the section whose header is at `header`.
std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t header);

// Reads the whole file. Empty when missing, unreadable, not a regular file,
// or larger than the size any real configuration file can have.
std::optional<std::string> readWholeFile(const char* path);

}  // namespace common::profile
