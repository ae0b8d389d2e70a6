#pragma once
// The serial-port page (1118): speed, data bits, parity and stop bits of the
// current reader. Changes are stored at once; both buttons return to the
// reader page.

#include "WizardPage.h"

namespace calveno::gui {

class SerialPortPage : public WizardPage {
    Q_OBJECT

public:
    SerialPortPage(WizardSettings& settings, WizardContext& context, QWidget* owner);
};

}  // namespace calveno::gui
