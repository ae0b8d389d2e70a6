#pragma once
// The check of a PC/SC reader name against the readers present, by the rule the
// plug-in applies at start-up: a listed reader counts when its name occurs in the
// configured text. The plug-in then connects by the whole text, so only a text that
// is exactly one reader's name reaches the reader that was meant.

#include <string>
#include <vector>

namespace calveno {

// Empty when `name` is fit for the readers `present`; otherwise why not.
std::string readerNameProblem(const std::string& name, const std::vector<std::string>& present);

// The readers present, one a line, each quoted and indented; "(none)" without any.
std::string readerLines(const std::vector<std::string>& present);

}  // namespace calveno
