#pragma once
// calveno-batch: one wizard pass without a window. It starts from the
// wizard's defaults, applies the chosen arrangement's presets as the choice
// page does, then the options, checks the readers as the reader page does and
// runs the Finish step. Every message text goes to `err`; the questions are
// answered OK with --yes and Cancel otherwise.

#include <iosfwd>
#include <string>
#include <vector>

namespace calveno {

constexpr int kExitWritten = 0;
constexpr int kExitRefused = 1;       // by the reader checks or by a declined question
constexpr int kExitFinishFailed = 2;  // paths or the Finish step failed
constexpr int kExitUsage = 3;         // wrong command line

// `args` is the whole command line, program path first.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace calveno
