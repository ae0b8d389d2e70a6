#pragma once
// The reader page (1120), one page for reader 1 and reader 2: protocol,
// serial port and address or PC/SC reader name, and the cards the reader
// serves.

#include <string>
#include <vector>

#include "WizardPage.h"

class QCheckBox;
class QComboBox;
class QWidget;

namespace calveno::gui {

class ReaderPage : public WizardPage {
    Q_OBJECT

public:
    ReaderPage(WizardSettings& settings, WizardContext& context, QWidget* owner);

private:
    void fillLists();
    void fillPcscList();
    void showProtocolGroup();
    void next();

    QComboBox* m_protocols = nullptr;
    QComboBox* m_ports = nullptr;
    QComboBox* m_addresses = nullptr;
    QComboBox* m_pcscReaders = nullptr;
    QWidget* m_serialGroup = nullptr;
    QWidget* m_pcscGroup = nullptr;
    QCheckBox* m_ambrel = nullptr;
    QCheckBox* m_cps = nullptr;
    // The names as the service gave them; the list shows them decoded.
    std::vector<std::string> m_pcscNames;
};

}  // namespace calveno::gui
