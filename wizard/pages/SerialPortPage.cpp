#include "SerialPortPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "PageLists.h"
#include "WizardFlow.h"

namespace calveno::gui {

namespace {

struct SerialListControl {
    int id;
    const char* caption;
    SerialField field;
};

constexpr SerialListControl kLists[] = {
    {5206, "Vitesse :", SerialField::Speed},
    {5207, "Bits de données :", SerialField::DataBits},
    {5208, "Type de parité :", SerialField::Parity},
    {5209, "Bit(s) de stop :", SerialField::StopBits},
};

}  // namespace

SerialPortPage::SerialPortPage(WizardSettings& settings, WizardContext& context, QWidget* owner)
    : WizardPage(kPageSerialPort, settings, context, owner)
{
    auto* layout = new QVBoxLayout(this);
    addTitles(layout,
              {
                  {kTitlePortFirstReader, "Configuration du port série du PREMIER lecteur de carte"},
                  {kTitlePortSingleReader, "Configuration du port série du lecteur de carte"},
                  {kTitlePortSecondReader, "Configuration du port série du SECOND lecteur de carte"},
              },
              serialPortPageTitle(m_settings));

    auto* form = new QFormLayout;
    for (const SerialListControl& control : kLists) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::number(control.id));
        const ChoiceList choices = serialList(currentReaderSettings(m_settings), control.field);
        {
            const QSignalBlocker blocker(list);
            for (const std::string& entry : choices.entries) list->addItem(QString::fromStdString(entry));
            list->setCurrentIndex(choices.selected);
        }
        const SerialField field = control.field;
        connect(list, &QComboBox::currentIndexChanged, this, [this, field](int index) {
            storeSerialChoice(currentReaderSettings(m_settings), field, index);
        });
        form->addRow(QString::fromUtf8(control.caption), list);
    }
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = makeButton(1200, "&OK");
    QPushButton* cancel = makeButton(1201, "&Annuler");
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // There is no undo: both return to the reader page with what was chosen.
    connect(ok, &QPushButton::clicked, this, [this] { post(WM_WIZARD_BACK); });
    connect(cancel, &QPushButton::clicked, this, [this] { post(WM_WIZARD_BACK); });
}

}  // namespace calveno::gui
