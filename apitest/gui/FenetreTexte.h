#pragma once
// Window of the text result dialog (template 145): the path field, the
// "Executer" button, the read-only listing and "Fermer". Everything it does
// is the logic object's; the window only moves values in and out.

#include <QDialog>

namespace quintor {
class CTexteDlg;
}

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quintor::gui {

class FenetreTexte : public QDialog {
    Q_OBJECT
public:
    FenetreTexte(CTexteDlg& logique, QWidget* parent = nullptr);

    static constexpr int kIdChemin = 1100;
    static constexpr int kIdExecuter = 1102;
    static constexpr int kIdTexte = 1053;
    static constexpr int kIdFermer = 2;

private:
    void OnExecuter();
    void versControles();

    CTexteDlg& m_logique;
    QLineEdit* m_chemin = nullptr;
    QPlainTextEdit* m_texte = nullptr;
};

}  // namespace quintor::gui
