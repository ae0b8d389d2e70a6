#include "CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "Dlu.h"
#include "Icones.h"

namespace quintor::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("A propos de Test Lumeris"));
    setFont(policeDialogue());
    setFixedSize(dluX(242), dluY(52));

    auto* icone = new QLabel(this);
    icone->setPixmap(iconeProgramme().pixmap(32, 32));
    icone->setGeometry(dluRect(11, 12, 20, 20));

    auto* version = new QLabel(QString::fromUtf8("Lumeris v5.0\nUtilitaire de démonstration"), this);
    version->setGeometry(dluRect(40, 8, 135, 18));

    auto* usage = new QLabel(
        QString::fromUtf8("Essai des fonctions de l'API de lecture\ndes cartes Ambrel et CPS"), this);
    usage->setGeometry(dluRect(40, 28, 135, 18));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(dluRect(185, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quintor::gui
