#pragma once
// A stand-in for libpcsclite's C interface, linked instead of the real library so the
// adaptations of the pcsc-lite implementation can be checked call by call. Results are
// pcsc-lite's own LONG values: positive 64-bit numbers on 64-bit Linux.

#include <PCSC/winscard.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace ostrel::test {

struct StubWinscard {
    std::vector<std::string> calls;
    // Queued results per function name ("SCardConnect"); when none is queued, the
    // function's default, else success.
    std::map<std::string, std::deque<LONG>> results;
    std::map<std::string, LONG> defaults;
    // Bytes the listing, status and attribute calls hand back.
    std::vector<unsigned char> data;
    // Event state that SCardGetStatusChange reports for every reader.
    DWORD eventState = SCARD_STATE_PRESENT;
    // State that SCardStatus reports: an event counter above present, powered, negotiable.
    DWORD statusState = 0x00010034;
    SCARDCONTEXT nextContext = 0x7000;
    SCARDHANDLE nextHandle = 0x5000;

    LONG next(const std::string& function);
    void reset() { *this = StubWinscard{}; }
};

extern StubWinscard stub;

}  // namespace ostrel::test
