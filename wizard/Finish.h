#pragma once
// The Finish step: archive the files about to be replaced, create the new
// ones and write them from the settings.

#include "ConfigPaths.h"
#include "FileOperations.h"
#include "MessageCatalogue.h"
#include "WizardSettings.h"

namespace calveno {

// Message codes of the Finish step.
constexpr int kCodeCnfNotOpened = 31;
constexpr int kCodeArchiveFailed = 33;
constexpr int kCodeCnfNotWritten = 34;
constexpr int kCodeIniNotOpened = 35;
constexpr int kCodeIniNotWritten = 37;
constexpr int kCodeTuvexNotCreated = 40;
constexpr int kCodeTuvexNotWritten = 41;
constexpr int kCodeTuvexArchiveFailed = 42;
constexpr int kCodeGenerationFailed = 45;

// Returns true when tuvex.ini and the chosen card-manager file were written.
// Every failure is reported through `presenter` before returning false; the
// caller (the summary page) then shows code 45.
//
// Beyond the plain sequence of steps, two cases protect the user's files:
// settings that the tuvex.ini template would refuse are reported with code 41
// before any file is touched, and a pelkor.ini that could not be archived is
// only replaced or deleted after the user confirms code 33.
bool GenerateConfiguration(const WizardSettings& settings, const Directories& directories,
                           FileOperations& files, MessagePresenter& presenter);

}  // namespace calveno
