#include "SummaryPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "Finish.h"
#include "SummaryIcons.h"
#include "SummaryRows.h"
#include "WizardFlow.h"

namespace calveno::gui {

namespace {

// Draws a row as the list shows it: the icon at the row's indent, one pixel
// down, and the text on one line 18 pixels right of the icon.
class SummaryRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect row = option.rect;
        const int iconX = row.left() + index.data(SummaryPage::kIndentRole).toInt();
        painter->save();
        painter->drawPixmap(iconX, row.top() + 1, summaryIcon(index.data(SummaryPage::kIconRole).toInt()));
        painter->setPen(option.palette.color(QPalette::Text));
        painter->setFont(option.font);
        const QRect text(iconX + 18, row.top() + 2, row.right() - iconX - 18, row.height() - 2);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + 80, SummaryPage::kRowHeight};
    }
};

}  // namespace

SummaryPage::SummaryPage(WizardSettings& settings, WizardContext& context, QWidget* owner)
    : WizardPage(kPageSummary, settings, context, owner)
{
    auto* layout = new QVBoxLayout(this);
    QLabel* done = makeLabel(0, "L'initialisation du TUVEX est terminée.");
    QFont bold = done->font();
    bold.setBold(true);
    done->setFont(bold);
    layout->addWidget(done);
    layout->addWidget(makeLabel(0, "Configuration enregistrée :"));

    m_rows = new QListWidget(this);
    m_rows->setObjectName(QStringLiteral("5503"));
    m_rows->setSelectionMode(QAbstractItemView::NoSelection);
    m_rows->setFocusPolicy(Qt::NoFocus);
    m_rows->setUniformItemSizes(true);
    m_rows->setItemDelegate(new SummaryRowDelegate(m_rows));
    // The generator starts again from its first row for this list.
    for (const SummaryLine& line : summaryRows(m_settings)) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), m_rows);
        item->setData(kIconRole, line.icon);
        item->setData(kIndentRole, line.indent);
        item->setFlags(Qt::ItemIsEnabled);
    }
    m_rows->setMinimumSize(360, kRowHeight * 12);
    layout->addWidget(m_rows, 1);

    QLabel* explanation = makeLabel(
        0,
        "Pour générer les fichiers de configuration du gestionnaire d'accès aux lecteurs de carte "
        "(tuvex.ini) et de gestion des cartes à puce (pelkor.cnf ou pelkor.ini), cliquez sur Terminer.");
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto* makeCnf = new QCheckBox(
        QString::fromUtf8("Cochez la case pour générer un fichier pelkor.cnf à la place du pelkor.ini"),
        this);
    makeCnf->setObjectName(QStringLiteral("5048"));
    makeCnf->setChecked(m_settings.MakeCnf == 1);
    // Follows the box's state, so a change that is not a click counts too.
    connect(makeCnf, &QCheckBox::toggled, this,
            [this](bool checked) { m_settings.MakeCnf = checked ? 1 : 0; });
    layout->addWidget(makeCnf);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* back = makeButton(5013, "< &Précédent");
    QPushButton* finishButton = makeButton(1204, "&Terminer");
    QPushButton* cancel = makeButton(1201, "&Annuler");
    finishButton->setDefault(true);
    buttons->addWidget(back);
    buttons->addWidget(finishButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, [this] { post(WM_WIZARD_BACK); });
    connect(finishButton, &QPushButton::clicked, this, [this] { finish(); });
    connect(cancel, &QPushButton::clicked, this, [this] { confirmCancel(); });
}

void SummaryPage::finish()
{
    if (!GenerateConfiguration(m_settings, m_context.directories, m_context.files, m_context.presenter))
        ShowMessage(m_context.presenter, kCodeGenerationFailed);
    // The wizard ends after "&Terminer" whether or not the files were written.
    post(WM_WIZARD_NEXT);
}

}  // namespace calveno::gui
