#pragma once
// The rules of the reader page that do not depend on a toolkit: what the page
// forces when it opens, and the checks of its "&Suivant >" button. The Qt page
// and calveno-batch both go through these, so they refuse the same inputs
// with the same message codes.

#include "WizardSettings.h"

#include <optional>
#include <string>

namespace calveno {

// Message codes of the reader page's checks.
constexpr int kCodeNoPcscReader = 23;
constexpr int kCodeNoUse = 24;
constexpr int kCodeUsesNotSplit = 26;
constexpr int kCodeSamePort = 27;
constexpr int kCodeSamePcscReader = 28;
constexpr int kCodeSameAddress = 29;

// Applies what opening the reader page for `CurrentReader` forces: reader 2 of
// the two-port arrangement takes reader 1's protocol, the two-slot and chained
// arrangements only offer the serial protocol, and chained reader 2 shares
// reader 1's port.
void prepareReaderPage(WizardSettings& settings);

// The "&Suivant >" checks in their order. `selectedPcscName` is the selected
// entry of the PC/SC reader list (nullopt when nothing is selected); with a
// PC/SC reader 1 it is stored as the current reader's name, cut to the
// field's 255 characters (the plug-in reads no more than that anyway).
// Returns 0 when the page may close, otherwise the message code to show.
int validateReaderPage(WizardSettings& settings, const std::optional<std::string>& selectedPcscName);

}  // namespace calveno
