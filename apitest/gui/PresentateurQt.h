#pragma once
// The program's answer to the logic's Presentateur: real message boxes and the
// real text dialog. Tests derive from it to script the message boxes while
// keeping real windows everywhere else.

#include <QString>

#include "Presentateur.h"

class QWidget;

namespace quintor::gui {

class PresentateurQt : public Presentateur {
public:
    PresentateurQt() = default;

    // Information box with an OK button, captioned with the application title.
    void avertir(const std::string& texte) override;

    // Runs the text dialog window modally over the logic object.
    int afficherTexte(CTexteDlg& dialogue) override;

    // Question with Yes and No buttons and a stop icon; true for Yes. A
    // `detail` is shown under the text.
    virtual bool demanderOuiNon(QWidget* proprietaire, const QString& texte, const QString& titre,
                                const QString& detail = {});

    // Owner of the boxes: the active modal dialog or window, else the main window.
    static QWidget* proprietaireCourant();
};

}  // namespace quintor::gui
