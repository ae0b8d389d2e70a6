#pragma once
// The PC/SC service's reader list, asked through a context opened for the
// one call and released at once (pcsc-lite refuses a call without one).

#include "PcscReaderList.h"

namespace calveno {

class SystemPcscReaderSource final : public PcscReaderSource {
public:
    std::vector<std::string> listReaders() override;
};

}  // namespace calveno
