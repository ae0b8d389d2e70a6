#pragma once
// The PC/SC service's reader list, asked through a context opened for the
// one call and released at once (pcsc-lite refuses a call without one).

#include "PcscReaderList.h"

namespace calveno {

class SystemPcscReaderSource final : public PcscReaderSource {
public:
    std::vector<std::string> listReaders() override;
};

// The same list, telling a service that cannot be reached from one without
// readers: `problem` names the failing call's result, empty when all went well.
struct PcscReaderListing {
    bool reachable = false;
    std::vector<std::string> names;
    std::string problem;
};
PcscReaderListing listPcscReaders();

}  // namespace calveno
