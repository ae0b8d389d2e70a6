#pragma once
// Base of the four pages: a modal dialog centred on the screen, titled
// "Programme d'initialisation du tuvex", that closes itself before it posts
// its navigation message to the main window. Controls carry their numeric ids
// as object names.

#include <QDialog>

#include <initializer_list>
#include <utility>

#include "WizardContext.h"
#include "WizardSettings.h"

class QBoxLayout;
class QLabel;
class QPushButton;

namespace calveno::gui {

class WizardPage : public QDialog {
    Q_OBJECT

public:
    WizardPage(int pageId, WizardSettings& settings, WizardContext& context, QWidget* owner);

    int pageId() const { return m_pageId; }

    static const char* const kTitle;

signals:
    // Connected queued by the main window, so the page has closed first.
    void navigate(int message, int pageId);

protected:
    // Closes the page and posts `message` with the page's id.
    void post(int message);
    // The cancel confirmation: on Yes the page closes and posts the close message.
    void confirmCancel();

    QPushButton* makeButton(int id, const char* text);
    QLabel* makeLabel(int id, const char* text);
    // The page's alternative bold titles, one shown: the one whose id is `shown`.
    void addTitles(QBoxLayout* layout, std::initializer_list<std::pair<int, const char*>> titles, int shown);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    WizardSettings& m_settings;
    WizardContext& m_context;

private:
    int m_pageId;
    bool m_posted = false;
};

}  // namespace calveno::gui
