#include "ChoicePage.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "WizardFlow.h"

namespace calveno::gui {

namespace {

struct Arrangement {
    std::uint16_t topology;
    const char* text;
};

constexpr Arrangement kArrangements[] = {
    {kTopologyMonofente, "1. Vous possédez un lecteur de cartes mono-fente."},
    {kTopologyBifente, "2. Vous possédez un lecteur de cartes bi-fente."},
    {kTopologyChaines, "3. Vous avez deux lecteurs raccordés au même port de communication."},
    {kTopologyDeuxPorts, "4. Vous avez deux lecteurs de cartes raccordés à deux ports différents."},
};

}  // namespace

ChoicePage::ChoicePage(WizardSettings& settings, WizardContext& context, QWidget* owner)
    : WizardPage(kPageChoice, settings, context, owner)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(5011, "Choisissez la configuration qui vous correspond :"));
    auto* group = new QButtonGroup(this);
    for (const Arrangement& arrangement : kArrangements) {
        auto* radio = new QRadioButton(QString::fromUtf8(arrangement.text), this);
        radio->setObjectName(QString::number(arrangement.topology));
        radio->setChecked(arrangement.topology == m_settings.Topology);
        group->addButton(radio, arrangement.topology);
        layout->addWidget(radio);
    }
    // A button that becomes checked, by whatever means (mouse, keyboard, an
    // accessibility tool), sets the arrangement; a click on the button already
    // checked changes no state but presets the uses again.
    const auto choose = [this](int id) { applyTopologyChoice(m_settings, static_cast<std::uint16_t>(id)); };
    connect(group, &QButtonGroup::idToggled, this, [choose](int id, bool checked) {
        if (checked) choose(id);
    });
    connect(group, &QButtonGroup::idClicked, this, choose);
    layout->addSpacing(12);
    layout->addWidget(makeLabel(5018, "Pour continuer, cliquez sur Suivant."));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* next = makeButton(1204, "&Suivant >");
    QPushButton* cancel = makeButton(1201, "&Annuler");
    next->setDefault(true);
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, [this] { post(WM_WIZARD_NEXT); });
    connect(cancel, &QPushButton::clicked, this, [this] { confirmCancel(); });
}

}  // namespace calveno::gui
