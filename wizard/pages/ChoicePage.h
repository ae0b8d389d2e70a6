#pragma once
// The choice page (1122): one of the four reader arrangements.

#include "WizardPage.h"

namespace calveno::gui {

class ChoicePage : public WizardPage {
    Q_OBJECT

public:
    ChoicePage(WizardSettings& settings, WizardContext& context, QWidget* owner);
};

}  // namespace calveno::gui
