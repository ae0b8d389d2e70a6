#include "FenetreTexte.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "CTexteDlg.h"
#include "Dlu.h"
#include "ModelesPages.h"
#include "TexteQt.h"

namespace quintor::gui {

namespace {

template <typename W>
W* placer(W* controle, int id, QRect rect)
{
    if (id != 0) {
        controle->setObjectName(QString::number(id));
    }
    controle->setGeometry(rect);
    return controle;
}

}  // namespace

FenetreTexte::FenetreTexte(CTexteDlg& logique, QWidget* parent) : QDialog(parent), m_logique(logique)
{
    setFont(policeDialogue());
    setFixedSize(dluX(300), dluY(215));

    auto* etiquette = new QLabel(QString::fromUtf8(kEtiquetteChemin), this);
    placer(etiquette, 0, dluRect(6, 6, 287, 8));

    m_chemin = placer(new QLineEdit(this), kIdChemin, dluRect(6, 19, 204, 13));
    limiterSaisie(m_chemin, CTexteDlg::kLongueurMaxChemin);
    etiquette->setBuddy(m_chemin);

    auto* executer =
        placer(new QPushButton(QStringLiteral("Executer"), this), kIdExecuter, dluRect(230, 17, 63, 15));
    executer->setAutoDefault(false);
    connect(executer, &QPushButton::clicked, this, &FenetreTexte::OnExecuter);

    m_texte = placer(new QPlainTextEdit(this), kIdTexte, dluRect(7, 49, 286, 133));
    m_texte->setReadOnly(true);
    m_texte->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_texte->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A listing longer than the box shows a scroll bar: without it nothing
    // tells that lines are hidden below.
    m_texte->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* fermer =
        placer(new QPushButton(QStringLiteral("Fermer"), this), kIdFermer, dluRect(243, 194, 50, 14));
    fermer->setAutoDefault(false);
    connect(fermer, &QPushButton::clicked, this, &QDialog::reject);

    setWindowTitle(QString::fromStdString(m_logique.title));
    m_logique.initialiser();
    versControles();
}

void FenetreTexte::versControles()
{
    ecrireSaisie(m_chemin, versQString(m_logique.path));
    // The listing's lines end with CR LF; the edit shows one break per line. A
    // card document declared ISO-8859-1 hands its accents over as Latin-1 bytes.
    m_texte->setPlainText(versAffichageMultiligne(m_logique.text));
}

void FenetreTexte::OnExecuter()
{
    depuisControle(m_chemin->text(), versQString(m_logique.path), m_logique.path);
    m_logique.OnExecuter();
    versControles();
}

}  // namespace quintor::gui
