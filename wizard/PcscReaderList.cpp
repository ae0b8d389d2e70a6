#include "PcscReaderList.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace calveno {

std::vector<std::string> parseReaderMultiString(const char* buffer, std::size_t length)
{
    std::vector<std::string> names;
    if (buffer == nullptr) return names;
    std::size_t position = 0;
    while (position < length && buffer[position] != '\0') {
        const void* end = std::memchr(buffer + position, '\0', length - position);
        const std::size_t nameEnd =
            end ? static_cast<std::size_t>(static_cast<const char*>(end) - buffer) : length;
        names.emplace_back(buffer + position, nameEnd - position);
        position = nameEnd + 1;
    }
    if (!names.empty() && names.front().size() <= 2) names.clear();
    return names;
}

std::vector<std::string> sortedReaderNames(std::vector<std::string> names)
{
    auto folded = [](const std::string& name) {
        std::string key = name;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    };
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const std::string ka = folded(a);
        const std::string kb = folded(b);
        return ka != kb ? ka < kb : a < b;
    });
    return names;
}

}  // namespace calveno
