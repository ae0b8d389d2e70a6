#pragma once
// Renders an XML text returned by the API as an indented listing, one line per
// element that has text or child elements.

#include <cstddef>

class TiXmlElement;

namespace quintor {

class CTexteDlg;

// Deepest level rendered; it is also the widest indentation, in blanks.
inline constexpr int kNiveauMax = 255;

// Sets dialog.text to the listing of what lies under the first top-level node
// named `racine` (case-sensitive), starting at that node's first child when it
// is an element. Text that is not XML, or breaks off, renders what the parser
// read. Elements nested deeper than kNiveauMax levels are not rendered, and the
// text is not parsed past the first of them, which bounds the parser's own
// recursion on hostile input.
void XmlVersTexte(const char* xml, CTexteDlg& dialogue, const char* racine);

// Appends the element, its following sibling elements and all their
// descendants, indented by `niveau` blanks. A null element appends nothing;
// levels above kNiveauMax append nothing.
void AjouterElementsXml(const TiXmlElement* element, CTexteDlg& dialogue, int niveau);

// How longueurAvantProfondeur reads the constructs of the text: byte loops
// for those it is sure of and TinyXML's readers for the rest, or TinyXML's
// readers for everything (the slower reference the fast reading must agree with).
enum class Lecture { Rapide, LecteursTinyXml };

// Length of the prefix of `xml` in which TinyXML builds no element deeper
// than `profondeurMax` (the whole length when the text never goes deeper).
// The text is walked the way TinyXML's own readers walk it, so no markup can
// hide nesting from it. Exposed for tests.
std::size_t longueurAvantProfondeur(const char* xml, int profondeurMax, Lecture lecture = Lecture::Rapide);

}  // namespace quintor
