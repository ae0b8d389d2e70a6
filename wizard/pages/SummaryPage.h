#pragma once
// The summary page (1121): the configuration as icon rows, the choice of the
// card-manager file, and "&Terminer", which writes the files.

#include "WizardPage.h"

class QListWidget;

namespace calveno::gui {

class SummaryPage : public WizardPage {
    Q_OBJECT

public:
    SummaryPage(WizardSettings& settings, WizardContext& context, QWidget* owner);

    // Fixed height of the list's rows, in pixels.
    static constexpr int kRowHeight = 18;
    // Item data roles of the list's rows.
    static constexpr int kIconRole = Qt::UserRole;
    static constexpr int kIndentRole = Qt::UserRole + 1;

private:
    void finish();

    QListWidget* m_rows = nullptr;
};

}  // namespace calveno::gui
