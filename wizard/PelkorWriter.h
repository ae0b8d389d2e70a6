#pragma once
// The card manager's reader lists: the sectioned file pelkor.ini and the
// line-list file pelkor.cnf. Both map each card use to a coupler number and
// one of the access manager's resource names (TRANSPA1 CPS, TRANSPA2 Ambrel).

#include <cstdint>
#include <string_view>

namespace calveno {

// An open file that takes whole lines, each already holding its CR LF.
class LineStream {
public:
    virtual ~LineStream() = default;
    // True when the whole block was stored.
    virtual bool writeLine(std::string_view block) = 0;
};

// Both writers stop at the first line that is not stored and then fail; the
// part already written stays. Flags count as set when they equal 1 (the two
// two-reader rows are told apart by reader 1's UseCps being non-zero). An
// unknown topology, or a one-reader arrangement without any use, writes
// nothing and fails.
bool writePelkorIni(LineStream& stream, std::uint16_t topology, std::uint16_t reader1UseCps,
                    std::uint16_t reader1UseAmbrel, std::uint16_t reader2UseCps,
                    std::uint16_t reader2UseAmbrel);
bool writePelkorCnf(LineStream& stream, std::uint16_t topology, std::uint16_t reader1UseCps,
                    std::uint16_t reader1UseAmbrel, std::uint16_t reader2UseCps,
                    std::uint16_t reader2UseAmbrel);

}  // namespace calveno
