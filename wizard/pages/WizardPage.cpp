#include "WizardPage.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "WizardFlow.h"

namespace calveno::gui {

namespace {
constexpr int kCodeCancelConfirmation = 101;
}

const char* const WizardPage::kTitle = "Programme d'initialisation du tuvex";

WizardPage::WizardPage(int pageId, WizardSettings& settings, WizardContext& context, QWidget* owner)
    : QDialog(owner), m_settings(settings), m_context(context), m_pageId(pageId)
{
    setObjectName(QString::number(pageId));
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowModality(Qt::ApplicationModal);
}

void WizardPage::post(int message)
{
    if (m_posted) return;
    m_posted = true;
    done(0);
    emit navigate(message, m_pageId);
}

void WizardPage::confirmCancel()
{
    if (ShowMessage(m_context.presenter, kCodeCancelConfirmation) == MessageAnswer::Yes) post(kMessageClose);
}

QPushButton* WizardPage::makeButton(int id, const char* text)
{
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

QLabel* WizardPage::makeLabel(int id, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), this);
    if (id != 0) label->setObjectName(QString::number(id));
    return label;
}

void WizardPage::addTitles(QBoxLayout* layout, std::initializer_list<std::pair<int, const char*>> titles,
                           int shown)
{
    for (const auto& [id, text] : titles) {
        QLabel* label = makeLabel(id, text);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setVisible(id == shown);
        layout->addWidget(label);
    }
}

void WizardPage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        const QSize size = frameGeometry().size();
        move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
}

void WizardPage::closeEvent(QCloseEvent* event)
{
    // The close box ends the program.
    event->accept();
    post(kMessageClose);
}

void WizardPage::keyPressEvent(QKeyEvent* event)
{
    // Escape is no way out of a page: only its buttons and its close box are.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace calveno::gui
