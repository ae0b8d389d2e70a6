#include "Soutien.h"

#include <QFile>

#include "CTexteDlg.h"

namespace soutien {

bool PresentateurScripte::demanderOuiNon(QWidget*, const QString& texte, const QString& titre,
                                         const QString& detail)
{
    questions.push_back({texte, titre, detail});
    if (reponses.empty()) {
        return true;
    }
    const bool reponse = reponses.front();
    reponses.pop_front();
    return reponse;
}

int PresentateurScripte::afficherTexte(quintor::CTexteDlg& dialogue)
{
    quintor::gui::FenetreTexte fenetre(dialogue);
    fenetre.show();
    if (surTexte) {
        surTexte(fenetre);
    }
    textes.push_back({fenetre.windowTitle(), texteControle(&fenetre, 1053)});
    return 0;
}

std::string cheminSubstitut()
{
#ifdef LUMERIS_SUBSTITUT
    return LUMERIS_SUBSTITUT;
#else
    return {};
#endif
}

std::string cheminIncomplet()
{
#ifdef LUMERIS_INCOMPLET
    return LUMERIS_INCOMPLET;
#else
    return {};
#endif
}

DonneesSubstitut::DonneesSubstitut()
{
    if (!m_dossier.isValid()) {
        return;
    }
    m_valide = true;
    for (const char* nom : {"lumeris.ini", "ambrel.xml", "tables.ini"}) {
        const QString source = QStringLiteral(LUMERIS_DONNEES "/") + QLatin1String(nom);
        m_valide = m_valide && QFile::copy(source, m_dossier.filePath(QLatin1String(nom)));
    }
}

std::string DonneesSubstitut::chemin() const
{
    return m_dossier.path().toStdString() + "/";
}

void DonneesSubstitut::carteAmbrelPresente(bool presente)
{
    QFile fichier(m_dossier.filePath(QStringLiteral("lumeris.ini")));
    QVERIFY(fichier.open(QIODevice::ReadOnly));
    QByteArray contenu = fichier.readAll();
    fichier.close();
    const qsizetype section = contenu.indexOf("[Ambrel]");
    QVERIFY(section >= 0);
    const qsizetype cle = contenu.indexOf("Present=", section);
    QVERIFY(cle >= 0);
    contenu[cle + 8] = presente ? '1' : '0';
    QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(fichier.write(contenu), contenu.size());
}

bool lierSubstitut(quintor::EtatProgramme& etat)
{
    const std::string chemin = cheminSubstitut();
    return !chemin.empty() && quintor::ChargerLumeris(etat.Table, chemin.c_str()) == 0;
}

bool Banc::demarrer(bool lier)
{
    etat = quintor::EtatProgramme{};
    presentateur.messages.clear();
    presentateur.questions.clear();
    presentateur.reponses.clear();
    presentateur.textes.clear();
    presentateur.surTexte = nullptr;
    donnees = std::make_unique<DonneesSubstitut>();
    if (!donnees->valide()) {
        return false;
    }
    etat.CheminPartage = donnees->chemin();
    etat.presentateur = &presentateur;
    if (lier && !lierSubstitut(etat)) {
        return false;
    }
    cadre = std::make_unique<quintor::gui::CMainFrame>(etat);
    cadre->show();
    return true;
}

void Banc::arreter()
{
    if (cadre) {
        cadre->close();
        cadre.reset();
    }
    quintor::LibererLumeris(etat.Table);
    donnees.reset();
}

QString texteControle(QWidget* racine, int id)
{
    const QString nom = QString::number(id);
    if (auto* ligne = racine->findChild<QLineEdit*>(nom)) {
        return ligne->text();
    }
    if (auto* multi = racine->findChild<QPlainTextEdit*>(nom)) {
        return multi->toPlainText();
    }
    return QStringLiteral("<absent %1>").arg(id);
}

void saisir(QWidget* racine, int id, const QString& texte)
{
    const QString nom = QString::number(id);
    if (auto* ligne = racine->findChild<QLineEdit*>(nom)) {
        ligne->clear();
        QTest::keyClicks(ligne, texte);
    } else if (auto* multi = racine->findChild<QPlainTextEdit*>(nom)) {
        multi->setPlainText(texte);
    } else {
        QFAIL(qPrintable(QStringLiteral("no edit %1").arg(id)));
    }
}

void cliquer(QWidget* racine, int id)
{
    auto* bouton = racine->findChild<QPushButton*>(QString::number(id));
    QVERIFY2(bouton != nullptr, qPrintable(QStringLiteral("no button %1").arg(id)));
    QVERIFY2(bouton->isEnabled(), qPrintable(QStringLiteral("button %1 disabled").arg(id)));
    QTest::mouseClick(bouton, Qt::LeftButton);
}

QString code16(int valeur)
{
    return QStringLiteral("%1 (0x%2)").arg(valeur).arg(valeur, 4, 16, QLatin1Char('0'));
}

}  // namespace soutien
