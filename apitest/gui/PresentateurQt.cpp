#include "PresentateurQt.h"

#include <QApplication>
#include <QMessageBox>

#include "FenetreTexte.h"
#include "Identifiants.h"

namespace quintor::gui {

QWidget* PresentateurQt::proprietaireCourant()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* fenetre : QApplication::topLevelWidgets()) {
        if (fenetre->isVisible() && fenetre->inherits("QMainWindow")) {
            return fenetre;
        }
    }
    return nullptr;
}

void PresentateurQt::avertir(const std::string& texte)
{
    QMessageBox::information(proprietaireCourant(), QString::fromUtf8(kTitreApplication),
                             QString::fromStdString(texte), QMessageBox::Ok);
}

int PresentateurQt::afficherTexte(CTexteDlg& dialogue)
{
    FenetreTexte fenetre(dialogue, proprietaireCourant());
    return fenetre.exec();
}

bool PresentateurQt::demanderOuiNon(QWidget* proprietaire, const QString& texte, const QString& titre,
                                    const QString& detail)
{
    QMessageBox boite(QMessageBox::Critical, titre, texte, QMessageBox::Yes | QMessageBox::No, proprietaire);
    boite.setInformativeText(detail);
    return boite.exec() == QMessageBox::Yes;
}

}  // namespace quintor::gui
