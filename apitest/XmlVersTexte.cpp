#include "XmlVersTexte.h"

#include <cstring>
#include <string>

#include <tinyxml.h>

#include "CTexteDlg.h"

namespace quintor {

namespace {

// The root sits at depth 1 and its first child is rendered at level 0; one
// level more is parsed so the deepest rendered elements still see their children.
constexpr int kProfondeurMax = kNiveauMax + 3;

// Skips to just past `fin`, or to the end of the text.
const char* sauterJusqua(const char* p, const char* fin)
{
    const char* trouve = std::strstr(p, fin);
    return trouve ? trouve + std::strlen(fin) : p + std::strlen(p);
}

}  // namespace

std::size_t longueurAvantProfondeur(const char* xml, int profondeurMax)
{
    // A tag scanner that errs towards counting too deep: where it differs from
    // the parser, it ends a markup construct earlier than the parser would.
    int profondeur = 0;
    const char* p = xml;
    while (*p != '\0') {
        if (*p != '<') {
            ++p;
            continue;
        }
        const char* debut = p;
        if (std::strncmp(p, "<!--", 4) == 0) {
            p = sauterJusqua(p + 4, "-->");
        } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
            p = sauterJusqua(p + 9, "]]>");
        } else if (p[1] == '!' || p[1] == '?') {
            p = sauterJusqua(p + 2, ">");
        } else if (p[1] == '/') {
            if (profondeur > 0) {
                --profondeur;
            }
            p = sauterJusqua(p + 2, ">");
        } else {
            // Opening tag: find its '>' outside quoted attribute values.
            ++p;
            char guillemet = 0;
            char precedent = 0;
            while (*p != '\0' && (guillemet != 0 || *p != '>')) {
                if (guillemet != 0) {
                    if (*p == guillemet) {
                        guillemet = 0;
                    }
                } else if (*p == '"' || *p == '\'') {
                    guillemet = *p;
                }
                precedent = *p;
                ++p;
            }
            const bool vide = *p == '>' && precedent == '/' ;
            if (!vide) {
                if (++profondeur > profondeurMax) {
                    return static_cast<std::size_t>(debut - xml);
                }
            }
            if (*p == '>') {
                ++p;
            }
        }
    }
    return static_cast<std::size_t>(p - xml);
}

void AjouterElementsXml(const TiXmlElement* element, CTexteDlg& dialogue, int niveau)
{
    if (element == nullptr || niveau < 0 || niveau > kNiveauMax) {
        return;
    }
    const std::string indentation(static_cast<std::size_t>(niveau), ' ');
    for (; element != nullptr; element = element->NextSiblingElement()) {
        const char* texte = element->GetText();
        const TiXmlElement* enfant = element->FirstChildElement();
        if (texte == nullptr && enfant == nullptr) {
            continue;
        }
        dialogue.text += indentation;
        dialogue.text += element->Value();
        if (texte != nullptr) {
            dialogue.text += ": ";
            dialogue.text += texte;
        }
        dialogue.text += "\r\n";
        AjouterElementsXml(enfant, dialogue, niveau + 1);
    }
}

void XmlVersTexte(const char* xml, CTexteDlg& dialogue, const char* racine)
{
    dialogue.text.clear();
    if (xml == nullptr || racine == nullptr) {
        return;
    }

    const std::size_t longueur = longueurAvantProfondeur(xml, kProfondeurMax);
    std::string borne;
    const char* source = xml;
    if (xml[longueur] != '\0') {
        borne.assign(xml, longueur);
        source = borne.c_str();
    }

    TiXmlDocument document;
    document.Parse(source);

    for (const TiXmlNode* noeud = document.FirstChild(); noeud != nullptr;
         noeud = noeud->NextSibling()) {
        if (std::strcmp(noeud->Value(), racine) != 0) {
            continue;
        }
        const TiXmlNode* premier = noeud->FirstChild();
        if (premier != nullptr) {
            AjouterElementsXml(premier->ToElement(), dialogue, 0);
        }
        break;
    }
}

}  // namespace quintor
