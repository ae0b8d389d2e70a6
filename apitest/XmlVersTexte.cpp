#include "XmlVersTexte.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "CTexteDlg.h"

namespace quintor {

namespace {

// The root sits at depth 1 and its first child is rendered at level 0; one
// level more is parsed so the deepest rendered elements still see their children.
constexpr int kProfondeurMax = kNiveauMax + 3;

// TinyXML can step up to three bytes past the NUL after a truncated UTF-8
// sequence, and a few more on its way out: it only ever reads texts followed
// by this many extra NULs.
constexpr std::size_t kMarge = 8;

std::string avecMarge(const char* xml, std::size_t longueur)
{
    std::string texte(xml, longueur);
    texte.append(kMarge, '\0');
    return texte;
}

// Walks a text as TiXmlDocument::Parse does, without recursing. Where each
// construct ends is decided by TinyXML's own code: node identification and
// the readers of text, comments, CDATA, declarations, unknown markup, names
// and attributes, with the encoding the document would use. Only the nesting
// is followed here, with the open elements' end tags on a stack instead of
// the parser's recursion. Wherever this walk and the parser could part ways
// on an element (its tag is refused), the text is cut at that element: the
// parser stops there anyway, and a cut can only make it stop sooner.
class Sonde : public TiXmlDocument {
public:
    // `texte` is NUL-terminated and followed by kMarge NULs.
    std::size_t longueurSure(const char* texte, int profondeurMax)
    {
        const auto* octets = reinterpret_cast<const unsigned char*>(texte);
        TiXmlEncoding codage = TIXML_ENCODING_UNKNOWN;
        if (octets[0] == 0xEF && octets[1] == 0xBB && octets[2] == 0xBF) {
            codage = TIXML_ENCODING_UTF8;
        }
        std::vector<std::string> finsAttendues;  // innermost last
        const char* p = SkipWhiteSpace(texte, codage);
        const char* avecBlancs = p;
        while (p != nullptr && *p != '\0') {
            if (!finsAttendues.empty() && *p != '<') {
                TiXmlText lu("");
                p = lu.Parse(IsWhiteSpaceCondensed() ? p : avecBlancs, nullptr, codage);
            } else if (!finsAttendues.empty() && StringEqual(p, "</", false, codage)) {
                if (!StringEqual(p, finsAttendues.back().c_str(), false, codage)) {
                    return static_cast<std::size_t>(p - texte);  // the parser stops here
                }
                p += finsAttendues.back().size();
                finsAttendues.pop_back();
            } else {
                TiXmlNode* noeud = Identify(p, codage);
                if (noeud == nullptr) {
                    break;  // text at the top level ends the parse
                }
                if (noeud->ToElement() != nullptr) {
                    delete noeud;
                    // An empty element is one level deeper too.
                    const char* ouverture = p;
                    if (finsAttendues.size() >= static_cast<std::size_t>(profondeurMax) ||
                        (p = baliseOuvrante(p, codage, finsAttendues)) == nullptr) {
                        return static_cast<std::size_t>(ouverture - texte);
                    }
                } else {
                    p = noeud->Parse(p, nullptr, codage);
                    if (finsAttendues.empty()) {
                        codage = codageDeclare(noeud, codage);
                    }
                    delete noeud;
                }
            }
            avecBlancs = p;
            p = SkipWhiteSpace(p, codage);
        }
        return std::strlen(texte);
    }

private:
    // A start tag as TiXmlElement::Parse reads it: past "/>" for an empty
    // element, past '>' with its end tag pushed otherwise, nullptr where the
    // parser refuses the tag.
    const char* baliseOuvrante(const char* p, TiXmlEncoding codage, std::vector<std::string>& finsAttendues)
    {
        std::string nom;
        p = ReadName(SkipWhiteSpace(p + 1, codage), &nom, codage);
        std::vector<std::string> attributs;
        while (p != nullptr && *p != '\0') {
            p = SkipWhiteSpace(p, codage);
            if (*p == '/') {
                return p[1] == '>' ? p + 2 : nullptr;
            }
            if (*p == '>') {
                finsAttendues.push_back("</" + nom + ">");
                return p + 1;
            }
            TiXmlAttribute attribut;
            attribut.SetDocument(this);
            p = attribut.Parse(p, nullptr, codage);
            if (p == nullptr || *p == '\0' ||
                std::find(attributs.begin(), attributs.end(), attribut.NameTStr()) != attributs.end()) {
                return nullptr;  // a repeated attribute stops the parser too
            }
            attributs.push_back(attribut.NameTStr());
        }
        return nullptr;
    }

    // The encoding a top-level node leaves the parser in.
    static TiXmlEncoding codageDeclare(const TiXmlNode* noeud, TiXmlEncoding codage)
    {
        const TiXmlDeclaration* declaration = noeud->ToDeclaration();
        if (codage != TIXML_ENCODING_UNKNOWN || declaration == nullptr) {
            return codage;
        }
        const char* nom = declaration->Encoding();
        const bool utf8 = *nom == '\0' || StringEqual(nom, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
                          StringEqual(nom, "UTF8", true, TIXML_ENCODING_UNKNOWN);
        return utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
    }
};

}  // namespace

std::size_t longueurAvantProfondeur(const char* xml, int profondeurMax)
{
    const std::string texte = avecMarge(xml, std::strlen(xml));
    return Sonde().longueurSure(texte.c_str(), profondeurMax);
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

    std::string texte = avecMarge(xml, std::strlen(xml));
    const std::size_t longueur = Sonde().longueurSure(texte.c_str(), kProfondeurMax);
    if (longueur < texte.size() - kMarge) {
        texte = avecMarge(texte.c_str(), longueur);
    }

    TiXmlDocument document;
    document.Parse(texte.c_str());

    for (const TiXmlNode* noeud = document.FirstChild(); noeud != nullptr; noeud = noeud->NextSibling()) {
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
