#include "XmlVersTexte.h"

#include <algorithm>
#include <cstring>
#include <memory>
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
    std::string texte;
    texte.reserve(longueur + kMarge);
    texte.append(xml, longueur);
    texte.append(kMarge, '\0');
    return texte;
}

// Walks a text as TiXmlDocument::Parse does, without recursing. Where each
// construct ends is decided by TinyXML's own code: node identification and
// the readers of text, comments, CDATA, declarations, unknown markup, names
// and attributes, with the encoding the document would use. Only the nesting
// is followed here, with the open elements' names on a stack instead of the
// parser's recursion. Wherever this walk and the parser could part ways on an
// element (its tag is refused), the text is cut at that element: the parser
// stops there anyway, and a cut can only make it stop sooner.
//
// TinyXML's readers build the strings and nodes they read, which costs about
// as much as the parse itself. In the fast reading, text, start tags and end
// tags are stepped over by byte loops instead; each loop only takes the bytes
// whose reading it is sure of (steps of one byte or of one UTF-8 sequence, as
// TinyXML takes them) and gives anything else back to TinyXML's reader of
// that construct, from the construct's start.
class Sonde : public TiXmlDocument {
public:
    explicit Sonde(Lecture lecture) : m_rapide(lecture == Lecture::Rapide)
    {
        // TinyXML classifies bytes with the C library, under the current locale.
        for (int c = 0; c < 256; ++c) {
            const auto octet = static_cast<unsigned char>(c);
            m_debutNom[c] = c != 0 && (IsAlpha(octet, TIXML_ENCODING_UNKNOWN) || c == '_');
            m_suiteNom[c] = c != 0 && (IsAlphaNum(octet, TIXML_ENCODING_UNKNOWN) || c == '_' || c == '-' ||
                                       c == '.' || c == ':');
            m_blanc[c] = c != 0 && IsWhiteSpace(static_cast<char>(octet));
            // Read alone as one character whatever the encoding, and never
            // markup, the end of a text or the end of a quoted value.
            m_ordinaire[c] = c != 0 && c < 0x80 && c != '<' && c != '&' && c != '"' && c != '\'';
        }
    }

    // `texte` is NUL-terminated and followed by kMarge NULs.
    std::size_t longueurSure(const char* texte, int profondeurMax)
    {
        const auto* octets = reinterpret_cast<const unsigned char*>(texte);
        TiXmlEncoding codage = TIXML_ENCODING_UNKNOWN;
        if (octets[0] == 0xEF && octets[1] == 0xBB && octets[2] == 0xBF) {
            codage = TIXML_ENCODING_UTF8;
        }
        m_ouverts.clear();
        const char* p = SkipWhiteSpace(texte, codage);
        const char* avecBlancs = p;
        while (p != nullptr && *p != '\0') {
            if (!m_ouverts.empty() && *p != '<') {
                const char* fin = m_rapide ? texteRapide(p, codage) : nullptr;
                if (fin != nullptr) {
                    p = fin;
                } else {
                    TiXmlText lu("");
                    p = lu.Parse(IsWhiteSpaceCondensed() ? p : avecBlancs, nullptr, codage);
                }
            } else if (!m_ouverts.empty() && p[1] == '/') {
                const Nom& nom = m_ouverts.back();
                if (!finDeBalise(p + 2, nom)) {
                    return static_cast<std::size_t>(p - texte);  // the parser stops here
                }
                p += nom.longueur + 3;
                m_ouverts.pop_back();
            } else {
                // An element whose name starts with a plain letter is known
                // without asking TiXmlNode::Identify, which builds a node.
                const bool simple = m_rapide && *p == '<' && octetSimple(p[1]) && m_debutNom[octet(p[1])] &&
                                    !m_blanc[octet(p[1])];
                std::unique_ptr<TiXmlNode> noeud(simple ? nullptr : Identify(p, codage));
                if (!simple && noeud == nullptr) {
                    break;  // text at the top level ends the parse
                }
                if (simple || noeud->ToElement() != nullptr) {
                    // An empty element is one level deeper too.
                    const char* ouverture = p;
                    if (m_ouverts.size() >= static_cast<std::size_t>(profondeurMax) ||
                        (p = simple ? baliseRapide(p, codage) : baliseOuvrante(p, codage)) == nullptr) {
                        return static_cast<std::size_t>(ouverture - texte);
                    }
                } else {
                    p = noeud->Parse(p, nullptr, codage);
                    if (m_ouverts.empty()) {
                        codage = codageDeclare(noeud.get(), codage);
                    }
                }
            }
            avecBlancs = p;
            p = p != nullptr ? sauterBlancs(p, codage) : nullptr;
        }
        return std::strlen(texte);
    }

private:
    // Where an element's name lies in the text.
    struct Nom {
        const char* debut;
        std::size_t longueur;
    };

    // Whether `p` holds the name and '>' of an end tag; a NUL in the text
    // ends the comparison, as the name holds none.
    static bool finDeBalise(const char* p, const Nom& nom)
    {
        for (std::size_t i = 0; i < nom.longueur; ++i) {
            if (p[i] != nom.debut[i]) {
                return false;
            }
        }
        return p[nom.longueur] == '>';
    }

    static unsigned char octet(char c) { return static_cast<unsigned char>(c); }
    static bool octetSimple(char c) { return octet(c) < 0x80; }

    // SkipWhiteSpace, called only where it has something to skip (a blank,
    // or a UTF-8 byte-order mark it would take as one).
    const char* sauterBlancs(const char* p, TiXmlEncoding codage) const
    {
        if (m_blanc[octet(*p)] || octet(*p) == 0xEF) {
            return SkipWhiteSpace(p, codage);
        }
        return *p != '\0' ? p : nullptr;
    }

    // The bytes TiXmlBase::ReadText takes as one character at `p`: the length
    // utf8ByteTable gives a lead byte in UTF-8, whatever the bytes it covers
    // (markup, the terminating NUL, which the margin stops), one byte
    // otherwise. 0 where the byte loops leave the reading to TinyXML: at a
    // character reference, which runs to the next ';' whatever lies between,
    // and at a lead byte the locale calls a blank, which the text reader
    // steps over by one byte.
    std::size_t caractere(const char* p, TiXmlEncoding codage) const
    {
        if (*p == '&') {
            return p[1] == '#' ? 0 : 1;
        }
        if (codage != TIXML_ENCODING_UTF8 || octetSimple(*p)) {
            return 1;
        }
        const auto longueur = static_cast<std::size_t>(utf8ByteTable[octet(*p)]);
        return longueur > 1 && m_blanc[octet(*p)] ? 0 : longueur;
    }

    // Where TiXmlText::Parse leaves a text that starts at `p` (not a blank):
    // at the next '<' or at the end; nullptr for TinyXML's own reader.
    const char* texteRapide(const char* p, TiXmlEncoding codage) const
    {
        if (!IsWhiteSpaceCondensed()) {
            return nullptr;
        }
        while (*p != '<' && *p != '\0') {
            if (m_ordinaire[octet(*p)]) {
                ++p;
                continue;
            }
            const std::size_t pas = caractere(p, codage);
            if (pas == 0) {
                return nullptr;
            }
            p += pas;
        }
        return p;
    }

    // A start tag whose name begins with a plain letter or '_', read as
    // TiXmlElement::Parse reads it, with the same results as baliseOuvrante;
    // unquoted values, and quoted ones the byte loop leaves to TinyXML, are
    // read again by baliseOuvrante from the tag's start.
    const char* baliseRapide(const char* ouverture, TiXmlEncoding codage)
    {
        const char* p = ouverture + 1;
        const char* debutNom = p;
        while (m_suiteNom[octet(*p)]) {
            ++p;
        }
        const Nom nom{debutNom, static_cast<std::size_t>(p - debutNom)};
        m_attributs.clear();
        while (*p != '\0') {
            p = sauterBlancs(p, codage);
            if (p == nullptr) {
                return nullptr;
            }
            if (*p == '/') {
                return p[1] == '>' ? p + 2 : nullptr;
            }
            if (*p == '>') {
                m_ouverts.push_back(nom);
                return p + 1;
            }
            // An attribute: name, '=', quoted value.
            const char* debutAttribut = p;
            if (!m_debutNom[octet(*p)]) {
                return nullptr;
            }
            while (m_suiteNom[octet(*p)]) {
                ++p;
            }
            const Nom attribut{debutAttribut, static_cast<std::size_t>(p - debutAttribut)};
            p = sauterBlancs(p, codage);
            if (p == nullptr || *p != '=') {
                return nullptr;
            }
            p = sauterBlancs(p + 1, codage);
            if (p == nullptr) {
                return nullptr;
            }
            const char guillemet = *p;
            if (guillemet != '"' && guillemet != '\'') {
                return baliseOuvrante(ouverture, codage);
            }
            for (++p; *p != guillemet && *p != '\0';) {
                if (m_ordinaire[octet(*p)]) {
                    ++p;
                    continue;
                }
                const std::size_t pas = caractere(p, codage);
                if (pas == 0) {
                    return baliseOuvrante(ouverture, codage);
                }
                p += pas;
            }
            // Past the closing quote; a tag that ends there is refused.
            if (*p == '\0' || *++p == '\0') {
                return nullptr;
            }
            for (const Nom& autre : m_attributs) {
                if (autre.longueur == attribut.longueur &&
                    std::memcmp(autre.debut, attribut.debut, attribut.longueur) == 0) {
                    return nullptr;  // a repeated attribute stops the parser too
                }
            }
            m_attributs.push_back(attribut);
        }
        return nullptr;
    }

    // A start tag as TiXmlElement::Parse reads it: past "/>" for an empty
    // element, past '>' with its name pushed otherwise, nullptr where the
    // parser refuses the tag.
    const char* baliseOuvrante(const char* p, TiXmlEncoding codage)
    {
        std::string nom;
        const char* debutNom = SkipWhiteSpace(p + 1, codage);
        p = ReadName(debutNom, &nom, codage);
        std::vector<std::string> attributs;
        while (p != nullptr && *p != '\0') {
            p = SkipWhiteSpace(p, codage);
            if (*p == '/') {
                return p[1] == '>' ? p + 2 : nullptr;
            }
            if (*p == '>') {
                m_ouverts.push_back({debutNom, nom.size()});
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

    const bool m_rapide;
    bool m_debutNom[256];
    bool m_suiteNom[256];
    bool m_blanc[256];
    bool m_ordinaire[256];
    std::vector<Nom> m_ouverts;    // innermost last
    std::vector<Nom> m_attributs;  // of the start tag being read
};

}  // namespace

std::size_t longueurAvantProfondeur(const char* xml, int profondeurMax, Lecture lecture)
{
    const std::string texte = avecMarge(xml, std::strlen(xml));
    return Sonde(lecture).longueurSure(texte.c_str(), profondeurMax);
}

void AjouterElementsXml(const TiXmlElement* element, CTexteDlg& dialogue, int niveau)
{
    if (element == nullptr || niveau < 0 || niveau > kNiveauMax) {
        return;
    }
    for (; element != nullptr; element = element->NextSiblingElement()) {
        // GetText's text, taken as a string rather than measured again.
        const TiXmlNode* premier = element->FirstChild();
        const TiXmlText* texte = premier != nullptr ? premier->ToText() : nullptr;
        const TiXmlElement* enfant = element->FirstChildElement();
        if (texte == nullptr && enfant == nullptr) {
            continue;
        }
        dialogue.text.append(static_cast<std::size_t>(niveau), ' ');
        dialogue.text += element->ValueTStr();
        if (texte != nullptr) {
            dialogue.text += ": ";
            dialogue.text += texte->ValueTStr();
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

    TiXmlDocument document;
    {
        // Only the parse needs the copy. Freed before the nodes, its large
        // block does not make malloc merge all of them on the way out.
        std::string texte = avecMarge(xml, std::strlen(xml));
        const std::size_t longueur = Sonde(Lecture::Rapide).longueurSure(texte.c_str(), kProfondeurMax);
        if (longueur < texte.size() - kMarge) {
            texte = avecMarge(texte.c_str(), longueur);
        }
        document.Parse(texte.c_str());
    }

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
