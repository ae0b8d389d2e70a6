#include "ReaderPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "PageLists.h"
#include "ReaderPageRules.h"
#include "WizardFlow.h"

namespace calveno::gui {

namespace {

QComboBox* makeList(QWidget* parent, int id)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::number(id));
    return list;
}

void fill(QComboBox* list, const ChoiceList& choices)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& entry : choices.entries) list->addItem(QString::fromStdString(entry));
    list->setCurrentIndex(choices.selected);
}

}  // namespace

ReaderPage::ReaderPage(WizardSettings& settings, WizardContext& context, QWidget* owner)
    : WizardPage(kPageReader, settings, context, owner)
{
    prepareReaderPage(m_settings);
    ReaderSettings& reader = currentReaderSettings(m_settings);

    auto* layout = new QVBoxLayout(this);
    addTitles(layout,
              {
                  {kTitleFirstReader, "Configuration du PREMIER lecteur de carte"},
                  {kTitleSingleReader, "Configuration du lecteur de carte"},
                  {kTitleSecondReader, "Configuration du SECOND lecteur de carte"},
              },
              readerPageTitle(m_settings));

    auto* protocolRow = new QHBoxLayout;
    QLabel* protocolLabel = makeLabel(0, "Type de protocole :");
    protocolRow->addWidget(protocolLabel);
    m_protocols = makeList(this, 5105);
    protocolLabel->setBuddy(m_protocols);
    protocolRow->addWidget(m_protocols, 1);
    layout->addLayout(protocolRow);

    // Serial group: port, properties, and the physical address.
    m_serialGroup = new QWidget(this);
    auto* serialLayout = new QVBoxLayout(m_serialGroup);
    serialLayout->setContentsMargins(0, 0, 0, 0);
    auto* portBox = new QGroupBox(QString::fromUtf8("Configuration du port série"), m_serialGroup);
    portBox->setObjectName(QStringLiteral("5032"));
    auto* portLayout = new QHBoxLayout(portBox);
    QLabel* portLabel = makeLabel(5106, "Numéro du port série :");
    portLayout->addWidget(portLabel);
    m_ports = makeList(portBox, 5107);
    portLabel->setBuddy(m_ports);
    portLayout->addWidget(m_ports, 1);
    QPushButton* properties = makeButton(5108, "Pr&opriétés");
    portLayout->addWidget(properties);
    serialLayout->addWidget(portBox);
    auto* addressLayout = new QGridLayout;
    QLabel* addressTitle = makeLabel(5045, "Adresse physique du lecteur de carte :");
    QLabel* addressLabel = makeLabel(5044, "Numéro d'adresse :");
    addressLayout->addWidget(addressTitle, 0, 0, 1, 2);
    addressLayout->addWidget(addressLabel, 1, 0);
    m_addresses = makeList(m_serialGroup, 5043);
    addressTitle->setBuddy(m_addresses);
    addressLabel->setBuddy(m_addresses);
    addressLayout->addWidget(m_addresses, 1, 1);
    serialLayout->addLayout(addressLayout);
    layout->addWidget(m_serialGroup);

    // PC/SC group: the service's readers.
    auto* pcscBox = new QGroupBox(QStringLiteral("Configuration du lecteur PC/SC"), this);
    pcscBox->setObjectName(QStringLiteral("5033"));
    auto* pcscLayout = new QHBoxLayout(pcscBox);
    QLabel* pcscLabel = makeLabel(5104, "Nom du lecteur :");
    pcscLayout->addWidget(pcscLabel);
    m_pcscReaders = makeList(pcscBox, 5029);
    pcscLabel->setBuddy(m_pcscReaders);
    m_pcscReaders->setMinimumContentsLength(24);
    pcscLayout->addWidget(m_pcscReaders, 1);
    m_pcscGroup = pcscBox;
    layout->addWidget(m_pcscGroup);

    QLabel* usesLabel = makeLabel(5110, "Ce lecteur est utilisé pour : ");
    layout->addWidget(usesLabel);
    m_ambrel = new QCheckBox(QStringLiteral("la Carte &Ambrel"), this);
    usesLabel->setBuddy(m_ambrel);
    m_ambrel->setObjectName(QStringLiteral("5111"));
    m_ambrel->setChecked(reader.UseAmbrel == 1);
    m_cps = new QCheckBox(QStringLiteral("la Carte &CPS"), this);
    m_cps->setObjectName(QStringLiteral("5112"));
    m_cps->setChecked(reader.UseCps == 1);
    layout->addWidget(m_ambrel);
    layout->addWidget(m_cps);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* back = makeButton(5013, "< &Précédent");
    QPushButton* next = makeButton(1204, "&Suivant >");
    QPushButton* cancel = makeButton(1201, "&Annuler");
    next->setDefault(true);
    buttons->addWidget(back);
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    fillLists();
    fillPcscList();
    showProtocolGroup();

    connect(m_protocols, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (storeProtocolChoice(m_settings, index)) showProtocolGroup();
    });
    connect(m_ports, &QComboBox::currentIndexChanged, this,
            [this](int index) { storePortChoice(m_settings, index); });
    connect(m_addresses, &QComboBox::currentIndexChanged, this,
            [this](int index) { storeAddressChoice(currentReaderSettings(m_settings), index); });
    // The flags follow the boxes' state, whatever changed it: a click inverts
    // both together, and a change that bypasses the click still counts.
    connect(m_ambrel, &QCheckBox::toggled, this,
            [this](bool checked) { currentReaderSettings(m_settings).UseAmbrel = checked ? 1 : 0; });
    connect(m_cps, &QCheckBox::toggled, this,
            [this](bool checked) { currentReaderSettings(m_settings).UseCps = checked ? 1 : 0; });
    connect(properties, &QPushButton::clicked, this, [this] { post(WM_WIZARD_PORT); });
    connect(back, &QPushButton::clicked, this, [this] { post(WM_WIZARD_BACK); });
    connect(next, &QPushButton::clicked, this, [this] { this->next(); });
    connect(cancel, &QPushButton::clicked, this, [this] { confirmCancel(); });
}

void ReaderPage::fillLists()
{
    fill(m_protocols, protocolList(m_settings));
    fill(m_ports, portList(m_settings));
    fill(m_addresses, addressList(currentReaderSettings(m_settings)));
}

void ReaderPage::fillPcscList()
{
    // Asked again on every opening; a service error leaves the list empty
    // without a message. The name stored earlier is not reselected.
    m_pcscNames = sortedReaderNames(m_context.readers.listReaders());
    ChoiceList choices;
    choices.entries = m_pcscNames;
    const int preselected = m_settings.CurrentReader == 2 ? 1 : 0;
    choices.selected = preselected < static_cast<int>(m_pcscNames.size()) ? preselected : -1;
    fill(m_pcscReaders, choices);
}

void ReaderPage::showProtocolGroup()
{
    // Reader 2 always has reader 1's protocol.
    const bool pcsc = m_settings.reader1.protocol == kProtocolPcsc;
    m_serialGroup->setVisible(!pcsc);
    m_pcscGroup->setVisible(pcsc);
}

void ReaderPage::next()
{
    std::optional<std::string> selected;
    const int index = m_pcscReaders->currentIndex();
    if (index >= 0 && index < static_cast<int>(m_pcscNames.size()))
        selected = m_pcscNames[static_cast<std::size_t>(index)];
    const int code = validateReaderPage(m_settings, selected);
    if (code == 0) {
        post(WM_WIZARD_NEXT);
        return;
    }
    ShowMessage(m_context.presenter, code);
    // Without a PC/SC reader the wizard cannot go on.
    if (code == kCodeNoPcscReader) post(kMessageClose);
}

}  // namespace calveno::gui
