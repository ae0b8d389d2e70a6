#pragma once
// The rows of the summary page's list, produced one at a time by a generator
// whose cursor is the settings' `SummaryRow` (0 start, 40 end). The page
// restarts it at 0 each time it draws the list.

#include "WizardSettings.h"

#include <string>
#include <vector>

namespace calveno {

// Icon ids of the summary rows.
constexpr int kIconProtocol = 1080;
constexpr int kIconReader = 1081;
constexpr int kIconAddress = 1057;
constexpr int kIconPort = 1083;  // serial port, and the PC/SC reader name
constexpr int kIconSerialSettings = 1087;
constexpr int kIconResource = 3026;

constexpr int kSummaryRowStart = 0;
constexpr int kSummaryRowEnd = 40;

struct SummaryLine {
    int icon = 0;
    int indent = 0;    // pixels from the row's left edge to the icon
    std::string text;  // UTF-8
    bool operator==(const SummaryLine&) const = default;
};

// Writes the next row into `line` and advances `SummaryRow`; returns false,
// leaving the cursor at 40, when no row is left.
bool nextSummaryRow(WizardSettings& settings, SummaryLine& line);

// Every row, from a fresh start of the generator.
std::vector<SummaryLine> summaryRows(WizardSettings& settings);

}  // namespace calveno
