#pragma once
// What the pages need besides the settings: the message presenter, the file
// operations and directories of the Finish step, and the PC/SC reader list.
// The program passes the system's; tests pass their own.

#include "ConfigPaths.h"
#include "FileOperations.h"
#include "MessageCatalogue.h"
#include "PcscReaderList.h"

namespace calveno::gui {

struct WizardContext {
    MessagePresenter& presenter;
    FileOperations& files;
    PcscReaderSource& readers;
    Directories directories;
};

}  // namespace calveno::gui
