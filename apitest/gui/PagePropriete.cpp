#include "PagePropriete.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

#include "Dlu.h"
#include "EtatProgramme.h"
#include "ModelesPages.h"
#include "TexteQt.h"
#include "pages/PageTest.h"

namespace quintor::gui {

namespace {

const ElementModele* trouver(const ModelePage* modele, int id)
{
    if (modele == nullptr) {
        return nullptr;
    }
    for (const ElementModele& e : modele->elements) {
        if (e.id == id) {
            return &e;
        }
    }
    return nullptr;
}

}  // namespace

PagePropriete::PagePropriete(PageTest& page, EtatProgramme& etat, QWidget* parent)
    : QWidget(parent), m_page(page), m_etat(etat)
{
    setObjectName(QString::number(page.modele()));
    setFont(policeDialogue());
    construire(modelePage(page.modele()));
}

QString PagePropriete::messageLimite(int longueur)
{
    return QString::fromUtf8("Tapez %1 caractères au maximum.").arg(longueur);
}

void PagePropriete::construire(const ModelePage* modele)
{
    // Each label of a template comes just before the field it names.
    std::vector<std::pair<QLabel*, int>> etiquettes;
    if (modele != nullptr) {
        setMinimumSize(dluX(modele->largeur), dluY(modele->hauteur));
        for (std::size_t i = 0; i < modele->elements.size(); ++i) {
            const ElementModele& e = modele->elements[i];
            if (e.genre == Genre::Etiquette) {
                auto* etiquette = new QLabel(QString::fromUtf8(e.texte), this);
                if (i + 1 < modele->elements.size())
                    etiquettes.emplace_back(etiquette, modele->elements[i + 1].id);
                QRect rect = dluRect(e.x, e.y, e.l, e.h);
                // A substitute font may run wider than the template's: let the
                // text overflow into the free space rather than be cut.
                rect.setWidth(std::max(rect.width(), etiquette->sizeHint().width()));
                etiquette->setGeometry(rect);
            }
        }
    }

    // Controls the template does not place still get one, in a spare column,
    // so no field of the page goes unbound.
    int yLibre = modele != nullptr ? modele->hauteur + 4 : 7;
    auto rectPour = [&](int id, int largeur) {
        if (const ElementModele* e = trouver(modele, id)) {
            return dluRect(e->x, e->y, e->l, e->h);
        }
        const QRect rect = dluRect(7, yLibre, largeur, 12);
        yLibre += 16;
        return rect;
    };

    std::vector<QWidget*> focalisables;
    for (const Champ& champ : m_page.champs()) {
        const ElementModele* e = trouver(modele, champ.controle);
        QWidget* edit = nullptr;
        if (e != nullptr && e->genre == Genre::EditionMulti) {
            // Wrapped like a multi-line edit without horizontal scrolling: the
            // chain's hexadecimal data is one line of thousands of characters.
            auto* multi = new QPlainTextEdit(this);
            multi->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit = multi;
        } else {
            auto* ligne = new QLineEdit(this);
            if (e != nullptr && e->genre == Genre::MotDePasse) {
                ligne->setEchoMode(QLineEdit::Password);
            }
            if (champ.longueurMax > 0) {
                limiterSaisie(ligne, champ.longueurMax);
            }
            edit = ligne;
        }
        edit->setObjectName(QString::number(champ.controle));
        edit->setGeometry(rectPour(champ.controle, 80));
        m_edits[champ.controle] = edit;
        focalisables.push_back(edit);
    }

    // A screen reader names each field by its label, not by its content.
    for (const auto& [etiquette, id] : etiquettes) {
        if (const auto it = m_edits.find(id); it != m_edits.end()) etiquette->setBuddy(it->second);
    }

    for (int id : m_page.boutons()) {
        const ElementModele* e = trouver(modele, id);
        auto* bouton = new QPushButton(QString::fromUtf8(e != nullptr ? e->texte : ">>"), this);
        bouton->setObjectName(QString::number(id));
        bouton->setAutoDefault(false);
        if (const char* description = descriptionCommande(id)) {
            // A button has no text worth a tooltip: the description serves.
            const Invite invite = decouperInvite(description, QString::fromUtf8(description));
            bouton->setStatusTip(invite.etat);
            bouton->setToolTip(invite.bulle);
        }
        bouton->setGeometry(rectPour(id, 20));
        connect(bouton, &QPushButton::clicked, this, [this, id] { emit commandeDemandee(id); });
        focalisables.push_back(bouton);
    }

    // Tab goes through the controls as they are read: row by row from the
    // top, left to right within a row, so a "<<" follows its field.
    std::stable_sort(focalisables.begin(), focalisables.end(), [](QWidget* a, QWidget* b) {
        const QRect ga = a->geometry();
        const QRect gb = b->geometry();
        return ga.top() != gb.top() ? ga.top() < gb.top() : ga.left() < gb.left();
    });
    for (std::size_t i = 1; i < focalisables.size(); ++i) {
        QWidget::setTabOrder(focalisables[i - 1], focalisables[i]);
    }
}

bool PagePropriete::versMembres()
{
    for (const Champ& champ : m_page.champs()) {
        const auto it = m_edits.find(champ.controle);
        if (it == m_edits.end() || champ.texte == nullptr) {
            continue;
        }
        QString affiche;
        if (auto* ligne = qobject_cast<QLineEdit*>(it->second)) {
            affiche = ligne->text();
            depuisControle(affiche, versQString(*champ.texte), *champ.texte);
        } else if (auto* multi = qobject_cast<QPlainTextEdit*>(it->second)) {
            affiche = multi->toPlainText();
            depuisControle(affiche, versAffichageMultiligne(*champ.texte), *champ.texte);
        }
        if (champ.longueurMax > 0 && affiche.size() > champ.longueurMax) {
            // As the framework's exchange does: the long text is already in its
            // member, the message is shown and the remaining fields are left.
            m_etat.avertir(messageLimite(champ.longueurMax).toStdString());
            it->second->setFocus();
            return false;
        }
    }
    return true;
}

void PagePropriete::versControles()
{
    for (const Champ& champ : m_page.champs()) {
        const auto it = m_edits.find(champ.controle);
        if (it == m_edits.end() || champ.texte == nullptr) {
            continue;
        }
        if (auto* ligne = qobject_cast<QLineEdit*>(it->second)) {
            ecrireSaisie(ligne, versQString(*champ.texte));
        } else if (auto* multi = qobject_cast<QPlainTextEdit*>(it->second)) {
            multi->setPlainText(versAffichageMultiligne(*champ.texte));
        }
    }
}

}  // namespace quintor::gui
