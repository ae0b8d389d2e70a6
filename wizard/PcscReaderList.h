#pragma once
// The PC/SC reader names the reader page offers. The page asks a
// PcscReaderSource each time it opens; the program's source asks the PC/SC
// service, tests and integration tests pass their own.

#include <cstddef>
#include <string>
#include <vector>

namespace calveno {

// Size of the buffer the reader list is read into.
constexpr std::size_t kReaderListBufferSize = 4096;

class PcscReaderSource {
public:
    virtual ~PcscReaderSource() = default;
    // The reader names as the service lists them (bytes as the service gives
    // them, usually UTF-8); empty when the service reports an error.
    virtual std::vector<std::string> listReaders() = 0;
};

// A fixed list, for tests and for a list obtained elsewhere.
class FixedPcscReaderSource final : public PcscReaderSource {
public:
    explicit FixedPcscReaderSource(std::vector<std::string> names = {}) : names(std::move(names)) {}
    std::vector<std::string> listReaders() override { return names; }
    std::vector<std::string> names;
};

// Splits a PC/SC multi-string (names each ended by a zero byte, the whole
// ended by a second zero byte) of `length` bytes. Nothing is taken when the
// first name has two characters or fewer, the sign of a list that holds no
// real reader. A buffer without its final zeros ends at `length`.
std::vector<std::string> parseReaderMultiString(const char* buffer, std::size_t length);

// The order of the page's sorted list: without regard to ASCII case, then by
// bytes so equal-looking names keep a fixed order.
std::vector<std::string> sortedReaderNames(std::vector<std::string> names);

}  // namespace calveno
