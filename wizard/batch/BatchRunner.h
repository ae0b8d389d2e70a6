#pragma once
// calveno-batch: one wizard pass without a window. It starts from the
// wizard's defaults, applies the chosen arrangement's presets as the choice
// page does, then the options, checks the readers as the reader page does and
// runs the Finish step. Every message text goes to `err`; the questions are
// answered OK with --yes and Cancel otherwise.

#include "SystemPcscReaders.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace calveno {

constexpr int kExitWritten = 0;
constexpr int kExitRefused = 1;       // by the reader checks or by a declined question
constexpr int kExitFinishFailed = 2;  // paths or the Finish step failed
constexpr int kExitUsage = 3;         // wrong command line
constexpr int kExitReaderCheck = 4;   // a PC/SC reader name fits no reader present, or no service

// Where the readers present come from: the PC/SC service, or a test's list.
using ReaderLister = std::function<PcscReaderListing()>;

// `args` is the whole command line, program path first. The paths written and the
// archive copies made go to `out`, unless -q.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const ReaderLister& readers);
// The same with the PC/SC service's readers.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace calveno
